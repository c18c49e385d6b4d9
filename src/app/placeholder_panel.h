// TODO(panels): the panels of the modes whose editing comes next show
// their title and controls, disabled, so that every mode has its place in
// the window. Each becomes its own CForm... class.
#pragma once

#include "app/control_panel.h"

namespace modra {

class PlaceholderPanel : public ControlPanel {
  Q_OBJECT
 public:
  // `mode` is one of the modes without a panel class yet.
  PlaceholderPanel(GuiDocument& document, EditMode mode, QWidget* parent = nullptr);
  void refresh() override {}

  // Whether `mode` is one of them.
  static bool Covers(EditMode mode);
};

}  // namespace modra
