#include "app/text_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "geometry/text.h"

namespace modra {

TextDialog::TextDialog(QWidget* parent)
    : QDialog(parent),
      text_(new QLineEdit(this)),
      scale_(new QLineEdit(this)),
      fonts_(new QListWidget(this)) {
  setObjectName(QStringLiteral("TextDialog"));
  setWindowTitle(QStringLiteral("Create 3D Text"));
  text_->setObjectName(QStringLiteral("TextDialog_Text"));
  scale_->setObjectName(QStringLiteral("TextDialog_Scale"));
  fonts_->setObjectName(QStringLiteral("TextDialog_Font"));
  text_->setMinimumWidth(240);
  for (const TextFont& font : kTextFonts)
    fonts_->addItem(
        QString::fromLatin1(font.name.data(), static_cast<qsizetype>(font.name.size())));
  // Five names need no scrolling.
  fonts_->setFixedHeight(fonts_->sizeHintForRow(0) * kTextFontCount + 2 * fonts_->frameWidth());

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Text:"), text_);
  form->addRow(QStringLiteral("Scale:"), scale_);
  form->addRow(QStringLiteral("Font:"), fonts_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("TextDialog_Ok"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  setValues(Values{});
}

void TextDialog::setValues(const Values& v) {
  text_->setText(v.text);
  scale_->setText(v.scale);
  fonts_->setCurrentRow(v.font >= 0 && v.font < kTextFontCount ? v.font : 0);
}

TextDialog::Values TextDialog::values() const {
  return {text_->text(), scale_->text(), fonts_->currentRow() < 0 ? 0 : fonts_->currentRow()};
}

}  // namespace modra
