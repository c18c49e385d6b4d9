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
  CFormLights(GuiDocument& document, ViewInteraction& interaction, QWidget* parent = nullptr);

  void refresh() override;
  void Adjust(float dx, float dy, float dz, bool ownMode) override;
  bool TranslatesLightOrCamera() const override;

 private:
  void createGui();
  void bindEvents();
  void entryChosen(int entry);
  void anglesEdited(bool finished);
  void positionEdited(bool finished);
  void attenuationEdited(bool finished);
  void colorMoved();
  void coneMoved();
  LightMouse mouse() const;

  ViewInteraction& interaction_;
  // The list entry shown. The background has no light index, so the panel
  // keeps the entry itself; the lights are shared with the view's drags.
  int entry_ = 0;
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
