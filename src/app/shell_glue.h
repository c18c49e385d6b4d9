// TODO(wiring): the edit modes' texts belong to the core's interaction
// model (view/); they live here only until it lands, and then this file
// goes and its callers call the core.
#pragma once

#include <array>

namespace modra::glue {

struct ModeTexts {
  const char* menu;    // the Edit Mode item
  const char* status;  // shown while the cursor is over the view
};
inline constexpr std::array<ModeTexts, 13> kModes = {{
    {"Selection", "Left to Select,  Right to add to selection"},
    {"Rotate View", "Left to rotate X-Y,  Right to rotate Z"},
    {"Translate View", "Left to translate X-Y,  Right to translate Z"},
    {"Translate Object", "Left to translate X-Y,  Right to translate Z"},
    {"Rotate Object", "Left to rotate X-Y,  Right to rotate Z"},
    {"Translate Center", "Left to translate X-Y,  Right to translate Z"},
    {"Rotate Center", "Left to rotate X-Y,  Right to rotate Z"},
    {"Color", "Use sliders to alter color"},
    {"Create Objects", "Left to size X-Y,  Right to size Z"},
    {"Texture", ""},
    {"Scale Object", "Left to scale X-Y,  Right to scale Z"},
    {"Lights", "Left to rotate/Translate X-Y,  Right to translate Z"},
    {"Camera", "Left to rotate/Translate X-Y,  Right to translate Z"},
}};
enum Mode : int {
  kSelection = 0,
  kRotateView = 1,
  kTranslateView = 2,
  kTranslateObject = 3,
  kRotateObject = 4,
  kTranslateCenter = 5,
  kRotateCenter = 6,
  kColor = 7,
  kCreateObjects = 8,
  kTexture = 9,
  kScaleObject = 10,
  kLights = 11,
  kCamera = 12,
};

}  // namespace modra::glue
