// The View Mode radios, which the view panels and the camera panel share:
// choosing one makes that view current through the core.
#pragma once

#include <QGroupBox>

class QButtonGroup;

namespace modra {

class GuiDocument;

class ViewModeBox : public QGroupBox {
  Q_OBJECT
 public:
  ViewModeBox(GuiDocument& document, QWidget* parent = nullptr);
  // Checks the radio of `view` without choosing it again.
  void showView(int view);

 private:
  QButtonGroup* views_;
};

}  // namespace modra
