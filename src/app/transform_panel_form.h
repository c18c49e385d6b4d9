// The five panels that move, turn and scale the selected groups or their
// centres: three fields showing the current group's value and three lock
// boxes that hold an axis still while the mouse drags in the panel's own
// mode. Typed values and drags go to the core's transform edits.
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
  // The panel of an edit mode, if that mode has one of these.
  static bool ForMode(EditMode mode, TransformPanel* panel);

  void refresh() override;
  void Adjust(float dx, float dy, float dz, bool ownMode) override;

 private:
  void createGui();
  void bindEvents();
  // `finished`: the user left the field, so its text counts even when it
  // does not parse; while typing, a field that does not parse ("-", "1e")
  // waits for more.
  void fieldEdited(int axis, bool finished);
  AxisLocks locks() const;

  const TransformPanel panel_;
  std::array<QLineEdit*, 3> edits_{};
  std::array<QCheckBox*, 3> locks_{};
};

}  // namespace modra
