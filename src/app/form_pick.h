// The panel of the Selection mode: which groups are drawn (enabled or
// disabled ones), whether the selection draws as boxes, and switching
// the selected groups on and off.
#pragma once

#include "app/control_panel.h"

class QButtonGroup;
class QPushButton;
class QRadioButton;

namespace modra {

class CFormPick : public ControlPanel {
  Q_OBJECT
 public:
  explicit CFormPick(GuiDocument& document, QWidget* parent = nullptr);
  void refresh() override;

 private:
  void createGui();
  void bindEvents();

  QButtonGroup* drawMode_ = nullptr;  // 0 enabled groups, 1 disabled groups
  QButtonGroup* drawAs_ = nullptr;    // 0 normal, 1 bounding box
  QPushButton* disable_ = nullptr;
  QPushButton* enable_ = nullptr;
};

}  // namespace modra
