// The thirteen edit modes of the main view: what a drag does, the Edit
// Mode menu item that chooses it, and the status-bar text shown while the
// cursor is over the view.
#pragma once

#include <string_view>

namespace modra {

// The values are stored and compared as numbers (menus, key frames of the
// panels), so their order is fixed.
enum class EditMode : int {
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
inline constexpr int kEditModeCount = 13;
// The mode the program starts in.
inline constexpr EditMode kInitialEditMode = EditMode::kRotateView;

// True for 0..12.
bool IsEditMode(int value);
// The Edit Mode menu item ("Rotate View"). Empty for a value outside the modes.
std::string_view EditModeMenuText(EditMode mode);
// What the mouse buttons do in the mode; empty for Texture and for a value
// outside the modes.
std::string_view EditModeStatusText(EditMode mode);

}  // namespace modra
