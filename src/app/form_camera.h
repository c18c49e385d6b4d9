// The panel of the Camera mode: the camera's two angles and position,
// manual or look-at aiming and the group it looks at, whether a drag of
// the view turns or moves it, and the View Mode radios. Every change goes
// through the core's camera edits, which re-aim the camera.
#pragma once

#include <array>

#include "app/control_panel.h"
#include "edit/camera_edits.h"

class QButtonGroup;
class QLineEdit;
class QPushButton;

namespace modra {

class ViewModeBox;

class CFormCamera : public ControlPanel {
  Q_OBJECT
 public:
  explicit CFormCamera(GuiDocument& document, QWidget* parent = nullptr);

  void refresh() override;

 private:
  void createGui();
  void bindEvents();

  // Rotate X, Rotate Y, X, Y, Z Position.
  std::array<QLineEdit*, 5> edits_{};
  QButtonGroup* mouse_ = nullptr;  // 0 Rot, 1 Pos
  QButtonGroup* mode_ = nullptr;   // 0 Manual, 1 Look-At
  QPushButton* lookAt_ = nullptr;
  ViewModeBox* views_ = nullptr;
};

}  // namespace modra
