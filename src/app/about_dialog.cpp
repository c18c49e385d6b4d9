#include "app/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/tool_icons.h"

namespace modra {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutDialog"));
  setWindowTitle(QStringLiteral("About modra"));
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* icon = new QLabel(this);
  icon->setPixmap(ProgramIcon().pixmap(48, 48));
  auto* text = new QLabel(QString::fromLatin1(kVersionText), this);
  text->setObjectName(QStringLiteral("AboutDialog_Version"));
  row->addWidget(icon);
  row->addWidget(text, 1);
  layout->addLayout(row);
  auto* picture = new QLabel(this);
  picture->setPixmap(AboutPicture());
  layout->addWidget(picture, 0, Qt::AlignCenter);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

}  // namespace modra
