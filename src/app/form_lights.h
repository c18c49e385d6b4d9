// The panel of the Lights mode: the "Modify Light" list (the background,
// the ambient term and the eight lights), the current light's type, angles,
// position, colour, cone and attenuation, and whether a drag of the view
// turns or moves it. Every change goes through the core's light edits.
#pragma once

#include <array>

#include "app/control_panel.h"
#include "app/panel_widgets.h"
#include "edit/light_edits.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;

namespace modra {

class CFormLights : public ControlPanel {
  Q_OBJECT
 public:
  explicit CFormLights(GuiDocument& document, QWidget* parent = nullptr);

  void refresh() override;

 private:
  void createGui();
  void bindEvents();

  QComboBox* list_ = nullptr;
  QButtonGroup* types_ = nullptr;
  QButtonGroup* mouse_ = nullptr;  // 0 Rot, 1 Pos
  std::array<QLineEdit*, 2> angles_{};
  std::array<QLineEdit*, 3> position_{};
  std::array<QLineEdit*, 3> attenuation_{};
  std::array<SliderRow, 3> color_{};
  SliderRow cutoff_;
  SliderRow spotPower_;
};

}  // namespace modra
