// What the panels keep of their own, apart from the document: the
// perspective sliders' values, the light the light panel shows, the lock
// boxes of the transform panels and the mouse-control choices of the light
// and camera panels. A drag of the view reads them here, so the whole drag
// runs in the core. None of it is saved or undone.
#pragma once

#include <array>
#include <cstdint>

#include "edit/camera_edits.h"
#include "edit/light_edits.h"
#include "edit/transform_edits.h"

namespace modra {

inline constexpr int kTransformPanelCount = 5;

struct PanelValues {
  // Copied into the perspective views (Reset View restores them).
  float nearOffset = -12;
  float farOffset = 15;
  float fieldOfView = 30;
  // The "Modify Light" list entry shown, and the light a drag and the key
  // dialogs' "Light" choice reach: the background keeps the last light.
  int lightEntry = EntryOfLight(1);
  int currentLight = 1;
  std::array<AxisLocks, kTransformPanelCount> locks{};
  LightMouse lightMouse = LightMouse::kRotation;
  CameraMouse cameraMouse = CameraMouse::kRotation;
  // The camera mode the mouse choice was made for: a camera whose mode
  // changes by other means (a file, a key frame) gets the choice its new
  // mode implies.
  int32_t cameraMouseMode = kCameraManual;
  // The sizes a drag in Create mode left on a group: the fields show them
  // in the drag's shorter form until they change again.
  int draggedSizesGroup = -1;
  std::array<float, 3> draggedSizes{};
};

// The light panel's choice as it acts: when the light's type disables the
// chosen control, the other one, so that a drag always does something.
LightMouse LightMouseChoice(const Scene& s, const PanelValues& p);
// The camera panel's choice as it acts: a look-at camera aims itself, so a
// mode changed since the choice brings the choice that mode implies.
CameraMouse CameraMouseChoice(const Scene& s, const PanelValues& p);

// A panel starts afresh when its mode is entered: lock boxes off, the
// mouse controls as a new panel chooses them, the light list on the
// current light. What the panels keep across modes stays: the current
// light, the perspective values.
void StartPanelsAfresh(PanelValues& p, const Scene& s);

// The lock box `axis` (0..2) of a transform panel as one index, 0..14.
inline int LockIndex(TransformPanel panel, int axis) {
  return static_cast<int>(panel) * 3 + axis;
}

}  // namespace modra
