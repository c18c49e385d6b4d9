// The panel of the Create mode: a button per primitive, 3D text,
// surfaces of revolution and extrusions; the current primitive's sizes in
// three fields; and the "Modify Resolution" dialog.
#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "app/control_panel.h"
#include "app/text_dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace modra {

class CFormCreate : public ControlPanel {
  Q_OBJECT
 public:
  explicit CFormCreate(GuiDocument& document, QWidget* parent = nullptr);

  void refresh() override;

  // How the panel runs its modal dialogs: exec() by default. Tests fill
  // the dialog in and accept or reject it instead of waiting on a
  // nested event loop.
  using DialogRunner = std::function<int(QDialog&)>;
  void setDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }

 private:
  void createGui();
  void bindEvents();
  void createText();
  void editResolution();

  std::array<QLabel*, 3> labels_{};
  std::array<QLineEdit*, 3> fields_{};
  QPushButton* editGeometry_ = nullptr;
  QPushButton* editResolution_ = nullptr;
  DialogRunner runDialog_;
  TextDialog::Values lastText_;
};

}  // namespace modra
