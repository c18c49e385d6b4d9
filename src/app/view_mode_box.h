// The View Mode radios, which the view panels and the camera panel share:
// choosing one makes that view current through the interaction model.
#pragma once

#include <QGroupBox>

class QButtonGroup;

namespace modra {

class ViewInteraction;

class ViewModeBox : public QGroupBox {
  Q_OBJECT
 public:
  ViewModeBox(ViewInteraction& interaction, QWidget* parent = nullptr);
  // Checks the radio of `view` without choosing it again.
  void showView(int view);

 private:
  QButtonGroup* views_;
};

}  // namespace modra
