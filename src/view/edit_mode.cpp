#include "view/edit_mode.h"

namespace modra {
namespace {

struct ModeTexts {
  std::string_view menu, status;
};

constexpr ModeTexts kTexts[kEditModeCount] = {
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
};

}  // namespace

bool IsEditMode(int value) {
  return value >= 0 && value < kEditModeCount;
}

std::string_view EditModeMenuText(EditMode mode) {
  int m = static_cast<int>(mode);
  return IsEditMode(m) ? kTexts[m].menu : std::string_view();
}

std::string_view EditModeStatusText(EditMode mode) {
  int m = static_cast<int>(mode);
  return IsEditMode(m) ? kTexts[m].status : std::string_view();
}

}  // namespace modra
