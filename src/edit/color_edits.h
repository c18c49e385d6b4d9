// The arithmetic of the colour panel: which groups its sliders reach, the
// slider scales, and the material edits they make through the edit layer.
// The Qt panel only shows positions and labels and calls these.
#pragma once

#include "edit/edit_layer.h"

namespace modra {

inline constexpr int kColorSliderMax = 1000;  // a colour component × 1000
inline constexpr int kShineSliderMax = 1280;  // shininess × 10

// Slider positions for the seven sliders, in panel order.
struct ColorSliders {
  int red = 0, green = 0, blue = 0;
  int shine = 0;
  int specularRed = 0, specularGreen = 0, specularBlue = 0;
};

// The panel works only on a current group that has no children and no
// vertex colours; otherwise it is disabled with empty labels.
bool ColorPanelEnabled(const Scene& s);

// The current group's material as slider positions; all 0 when the panel
// is disabled.
ColorSliders ColorPanelSliders(const Scene& s);

// Red, Green or Blue (slider 0, 1, 2) moved to `position`: every selected
// group without vertex colours (their colour is in the vertices) takes the
// current group's colour with that component = position / 1000. The other
// components are the current group's exact values, not what their sliders'
// rounded positions would give. Keyed 7. false, and nothing changed, when
// the panel is disabled or no selected group changes.
bool SetColorSlider(EditLayer& layer, int slider, int position);

// Material Shine (slider 0: shininess = position / 10) or Specular Red,
// Green, Blue (1, 2, 3: position / 1000) moved: every selected group,
// vertex-coloured or not, takes the current group's shininess and specular
// colour with that one value changed. Keyed 9.
bool SetMaterialSlider(EditLayer& layer, int slider, int position);

}  // namespace modra
