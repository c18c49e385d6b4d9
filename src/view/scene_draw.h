// One picture of the scene as the main view shows it: the camera and the
// lights as small models (when their display is on; never the camera from
// the Camera view, nor from a view whose eye is inside the camera model or
// too close to it to see past it), the scene lights, the display mode,
// every top-level group with its subtree, and the normals when they are
// shown. The caller has cleared the buffers and set up the view
// (projection.h); the modelview matrix is left as it was.
#pragma once

#include "scene/scene.h"
#include "view/draw_groups.h"
#include "view/view_setting.h"

namespace modra {

// The switches a scene draw gives the group walk for display state d.
DrawSwitches SceneDrawSwitches(const Scene& s, const DisplayState& d);

// Needs a current context with the state of InitGlState. Textured groups
// bind the objects of `textureNames` (none: drawn without textures).
void DrawScene(GroupDrawer& drawer, const Scene& s, const DisplayState& d,
               std::span<const unsigned> textureNames = {});

}  // namespace modra
