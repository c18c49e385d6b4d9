// Recomputing a generated group's geometry from its parameter block.
#pragma once

#include "scene/scene.h"

namespace modra {

// Runs the generator of the group's kind: in place (rebuild 0: same counts,
// positions and normals overwritten, texture coordinates kept) or with new
// arrays (rebuild 1, after which the group's texture mapping is applied
// again). Kinds without a generator only get their bounding box
// recomputed, as every group does afterwards.
void RegenerateGroup(Scene& s, int g, int rebuild);

}  // namespace modra
