// Bounding boxes of groups and the extents of the whole scene.
#pragma once

#include "scene/scene.h"

namespace modra {

// The box of the group's own vertex positions, untransformed; (0,0,0) twice
// for a group without primitives.
void ComputeBoundingBox(Scene& s, int g);
// Each top-level group's transformed subtree box into its extentMin and
// extentMax, and their union into sceneMin and sceneMax. Only leaf groups
// contribute; subtrees deeper than kMaxLevelDepth are left out.
void ComputeSceneExtents(Scene& s);

}  // namespace modra
