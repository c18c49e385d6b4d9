// The panel of the Color mode: the current group's colour, shine and
// specular colour as sliders. Moving one changes every selected group
// through the core's colour edits.
#pragma once

#include <array>

#include "app/control_panel.h"
#include "app/panel_widgets.h"

namespace modra {

class CFormColor : public ControlPanel {
  Q_OBJECT
 public:
  explicit CFormColor(GuiDocument& document, QWidget* parent = nullptr);
  void refresh() override;

 private:
  void createGui();
  void bindEvents();

  // Red, Green, Blue, Material Shine, Specular Red, Green, Blue.
  std::array<SliderRow, 7> rows_{};
};

}  // namespace modra
