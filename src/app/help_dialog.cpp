#include "app/help_dialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace modra {

HelpDialog::HelpDialog(const QString& text, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("HelpDialog"));
  setWindowTitle(QStringLiteral("Help"));
  auto* layout = new QVBoxLayout(this);
  auto* view = new QPlainTextEdit(text, this);
  view->setObjectName(QStringLiteral("HelpDialog_Text"));
  view->setReadOnly(true);
  view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  layout->addWidget(view);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(640, 480);
}

}  // namespace modra
