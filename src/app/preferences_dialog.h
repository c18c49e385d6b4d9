// Options > Set General Options: the display switches, the import switch,
// the texture search path and the undo history's memory. It takes and returns plain values and
// never touches the document.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace modra {

class PreferencesDialog : public QDialog {
  Q_OBJECT
 public:
  struct Values {
    bool lightDisplay = true;
    bool cameraDisplay = true;
    bool solidAxis = true;
    bool whiteUncoloredParts = false;
    QString texturePath;
    int undoMegabytes = 256;
  };

  explicit PreferencesDialog(QWidget* parent = nullptr);
  void setValues(const Values& values);
  Values values() const;

 private:
  QCheckBox* lightDisplay_;
  QCheckBox* cameraDisplay_;
  QCheckBox* solidAxis_;
  QCheckBox* whiteUncolored_;
  QLineEdit* texturePath_;
  QSpinBox* undoMemory_;
};

}  // namespace modra
