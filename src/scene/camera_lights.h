// Aiming the camera and turning the lights; the values a reset scene starts
// with.
#pragma once

#include <vector>

#include "scene/scene.h"

namespace modra {

// The groups from the top level down to g, g last; empty when g is in no
// level of the scene.
std::vector<int32_t> LookAtPathTo(const Scene& s, int g);
// Rebuilds the camera's own look-at path from its lookAtGroup.
void RebuildCameraPath(Scene& s);
// True when the camera looks at a group and g is that group or above it.
bool IsOnLookAtPath(const Scene& s, int g);

// Camera keys that look at g lose their Look-At mode.
void DropLookAtFromKeys(Scene& s, int g);
// The camera and every camera key that looks at g stop looking: the camera
// turns manual, keeping where it stands and faces.
void StopLookingAt(Scene& s, int g);

// Manual mode (0): the target is 4.33 units ahead of the camera. Look-At
// mode (2) with a live look-at group: the target is that group's
// translation carried through its ancestors, and the camera turns to it.
// Other cases change nothing.
void UpdateCameraTarget(Scene& s);
// fromVector 0: direction from the rotation angles; 1: angles from the direction.
void UpdateLightDirection(Scene& s, int light, int fromVector);
// The light's direction for its two angles: (0, -1, 0) turned by the group
// rotation rule with the third angle 0.
Vec3 LightDirectionFromAngles(float x, float y);
// The reverse, for a light that has a direction but no angles: (x, y, 0).
Vec3 LightAnglesFromDirection(const Vec3& direction);

// Ambient 0.2 grey, lights 1-4 directional, 5-8 off.
void ResetLights(Scene& s);
// A manual camera at (0, 0, -4.33) looking at the origin.
void ResetCamera(Scene& s);

}  // namespace modra
