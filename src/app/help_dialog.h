// The help window: a read-only text and a Close button.
#pragma once

#include <QDialog>

namespace modra {

class HelpDialog : public QDialog {
  Q_OBJECT
 public:
  HelpDialog(const QString& text, QWidget* parent = nullptr);
};

}  // namespace modra
