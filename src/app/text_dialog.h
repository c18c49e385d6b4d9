// "Create 3D Text": the line of text, the scale as typed and the font.
// It takes and returns plain values and never touches the document; the
// Create panel builds the letters from what it returns.
#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;

namespace modra {

class TextDialog : public QDialog {
  Q_OBJECT
 public:
  struct Values {
    QString text;
    QString scale = QStringLiteral("1.0");  // read by the core as "%f" reads it
    int font = 0;                           // index into the font list
  };

  explicit TextDialog(QWidget* parent = nullptr);
  void setValues(const Values& values);
  Values values() const;

 private:
  QLineEdit* text_;
  QLineEdit* scale_;
  QListWidget* fonts_;
};

}  // namespace modra
