// The five panels that move, turn and scale the selected groups or their
// centres: three fields showing the current group's value and three lock
// boxes that hold an axis still while the mouse drags in the panel's own
// mode. Fields and boxes are bound to the core's commands.
#pragma once

#include <array>

#include "app/control_panel.h"
#include "edit/transform_edits.h"

class QCheckBox;
class QLineEdit;

namespace modra {

class TransformPanelForm : public ControlPanel {
  Q_OBJECT
 public:
  TransformPanelForm(GuiDocument& document, TransformPanel panel, QWidget* parent = nullptr);

  TransformPanel panel() const { return panel_; }
  void refresh() override;

 private:
  void createGui();
  void bindEvents();
  CommandId command() const;

  const TransformPanel panel_;
  std::array<QLineEdit*, 3> edits_{};
  std::array<QCheckBox*, 3> locks_{};
};

}  // namespace modra
