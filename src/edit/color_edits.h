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

// Red, Green or Blue moved: colour = sliders / 1000 on every selected group
// without vertex colours (their colour is in the vertices). Keyed 7.
// false, and nothing changed, when the panel is disabled or no selected
// group can take the colour.
bool SetColorSliders(EditLayer& layer, int red, int green, int blue);

// Shine or a specular slider moved: shininess = shine / 10 and specular =
// sliders / 1000 on every selected group, vertex-coloured or not. Keyed 9.
bool SetMaterialSliders(EditLayer& layer, int shine, int specularRed, int specularGreen,
                        int specularBlue);

}  // namespace modra
