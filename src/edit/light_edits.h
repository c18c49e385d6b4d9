// The arithmetic of the light panel: the "Modify Light" list, which
// controls each light type enables, and the light edits made through the
// edit layer (a light is key owner index - 100). The background colour
// shares the list and the colour sliders. The Qt panel only shows fields
// and calls these.
#pragma once

#include <cstdint>

#include "edit/edit_layer.h"
#include "scene/camera_lights.h"
#include "scene/key_store.h"

namespace modra {

// List entries: 0 the background, 1 the ambient term (light 0), 2..9
// lights 1..8.
inline constexpr int kLightListBackground = 0;
inline constexpr int kLightListAmbient = 1;
inline constexpr int kLightListCount = 10;

// "Background", "Ambient", "Light #1" ... "Light #8"; "" outside the list.
const char* LightListName(int entry);
// The light an entry edits, -1 for the background and outside the list.
int LightOfEntry(int entry);
// The entry that shows light `light`.
inline int EntryOfLight(int light) {
  return light + 1;
}

// The type radios Off, Directional, Positional, Cone in order.
inline constexpr int32_t kLightTypeOfRadio[4] = {kLightOff, kLightDirectional, kLightPositional,
                                                 kLightCone};
// The radio showing `type`, -1 for none (the ambient term's "on").
int RadioOfLightType(int32_t type);

enum class LightMouse { kRotation, kPosition };

// What the panel enables for an entry; labels of a control that is off are
// empty.
struct LightPanelState {
  bool typeRadios = false;  // lights 1..8 only
  int checkedRadio = -1;
  bool mouseRotation = false;  // directional and cone
  bool mousePosition = false;  // positional and cone
  bool angles = false;         // Rotate X, Y: directional and cone
  bool position = false;       // X, Y, Z Position: positional and cone
  bool attenuation = false;    // C1, C2, C3: positional and cone
  bool color = false;          // any light that is not off, and the background
  bool cone = false;           // Cutoff Angle, Spot Power: cone only
};
LightPanelState LightPanel(const Scene& s, int entry);

// Slider scales.
inline constexpr int kLightColorSliderMax = 1000;  // component × 1000
inline constexpr int kCutoffSliderMin = 10;        // degrees × 10
inline constexpr int kCutoffSliderMax = 900;
inline constexpr int kSpotPowerSliderMax = 1280;  // power × 10

struct LightSliders {
  int red = 0, green = 0, blue = 0;
  int cutoff = kCutoffSliderMin, spotPower = 0;
};
// The entry's colour (the background's for entry 0) and cone as positions.
LightSliders LightPanelSliders(const Scene& s, int entry);

// Each returns false, and changes nothing, for an entry or light type whose
// panel has the control disabled.
// Type radio `radio` (0..3) chosen. Keyed 4.
bool SetLightTypeRadio(EditLayer& layer, int entry, int radio);
// Rotate X, Y typed: the angles and the direction they give. Keyed 5.
bool SetLightAngles(EditLayer& layer, int entry, float x, float y);
// X, Y, Z Position typed. Keyed 5.
bool SetLightPosition(EditLayer& layer, int entry, const Vec3& position);
// C1, C2, C3 typed: quadratic, linear, constant. Keyed 10.
bool SetLightAttenuation(EditLayer& layer, int entry, float c1, float c2, float c3);
// One of those fields typed (angle 0..1, position axis 0..2, C1..C3 as
// 0..2): the others keep the light's exact values.
bool SetLightAngle(EditLayer& layer, int entry, int axis, float value);
bool SetLightPositionField(EditLayer& layer, int entry, int axis, float value);
bool SetLightAttenuationField(EditLayer& layer, int entry, int index, float value);
// Red, Green or Blue (0, 1, 2) moved: that component of the light's colour
// (keyed 6), or for the background entry of the background colour, which
// has no keys of its own; the others keep their exact values.
bool SetLightColorSlider(EditLayer& layer, int entry, int slider, int position);
// Cutoff Angle (0) or Spot Power (1) moved. Keyed 8.
bool SetLightConeSlider(EditLayer& layer, int entry, int slider, int position);

// The mouse's entry point: position mode moves the light by d, rotation
// mode turns its angles by (dx, dy) and recomputes the direction. Keyed 5.
// false when the mode's radio is disabled for the light or d changes
// nothing.
bool AdjustLight(EditLayer& layer, int entry, LightMouse mode, const Vec3& d);

}  // namespace modra
