// What the two view panels share: three fields (the Perspective view's
// rotation, or the view translation), the perspective sliders and the
// View Mode radios.
#pragma once

#include <array>

#include "app/control_panel.h"
#include "edit/commands.h"

class QLabel;
class QLineEdit;
class QSlider;

namespace modra {

class ViewModeBox;

class ViewPanel : public ControlPanel {
  Q_OBJECT
 public:
  enum class Fields { kRotation, kTranslation };
  ViewPanel(GuiDocument& document, Fields fields, const QString& title, QWidget* parent = nullptr);

  void refresh() override;

 private:
  void createGui();
  void bindEvents();
  CommandId command() const;

  const Fields fields_;
  std::array<QLineEdit*, 3> edits_{};
  QSlider* fieldOfView_ = nullptr;
  QSlider* nearPlane_ = nullptr;
  QSlider* farPlane_ = nullptr;
  QLabel* fieldOfViewValue_ = nullptr;
  QLabel* nearPlaneValue_ = nullptr;
  QLabel* farPlaneValue_ = nullptr;
  ViewModeBox* views_ = nullptr;
};

}  // namespace modra
