// The arithmetic of the camera panel: its five fields, its two modes, the
// look-at group and the mouse's adjust, each followed by re-aiming the
// camera, all made through the edit layer (the camera is key owner -1).
#pragma once

#include <array>

#include "edit/edit_layer.h"

namespace modra {

inline constexpr char kNoLookAtGroup[] =
    "Must select a group to look at\nbefore pushing that button";

enum class CameraMouse { kRotation, kPosition };

// Rotate X, Y and X, Y, Z Position.
struct CameraFields {
  float rx = 0, ry = 0;
  Vec3 position = {0, 0, 0};
};
CameraFields CameraPanelFields(const Scene& s);

// Any field typed: all five are set and the camera re-aimed. Keyed 3.
// false when the camera stays as it was.
bool SetCameraFields(EditLayer& layer, const CameraFields& fields);
// Field `index` (Rotate X, Rotate Y, X, Y, Z Position) typed; the other
// four keep the camera's exact values.
bool SetCameraField(EditLayer& layer, int index, float value);
// The five fields in panel order.
std::array<float, 5> CameraFieldValues(const CameraFields& fields);

// Manual (kCameraManual) or Look-At (kCameraLookAt) chosen, keyed 3; the
// answer is the Mouse Control choice the panel switches to: Rot for
// manual, Pos for Look-At. Another mode changes nothing.
CameraMouse SetCameraMode(EditLayer& layer, int mode);

// "Set Look-At Group": the current group becomes the camera's target, its
// path is rebuilt and the camera re-aimed (keyed 3). Without a current
// group the shell shows kNoLookAtGroup and false comes back.
bool SetLookAtGroup(EditLayer& layer);

// The mouse's entry point: position mode adds d to the position, rotation
// mode adds (dx, dy) to the two angles; then re-aim. Keyed 3. false when d
// changes nothing.
bool AdjustCamera(EditLayer& layer, CameraMouse mode, const Vec3& d);

}  // namespace modra
