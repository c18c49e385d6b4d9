// The texture mappings made for the shapes of the built-in primitives:
// faces mapped by their own extents, strips by ring point and strip
// index, caps by position over their radius. The group's texture rotation
// and translation play no part; its u and v scales do.
#pragma once

#include "scene/scene.h"

namespace modra {

// Writes u, v into every vertex of a primitive group that already carries
// texture coordinates. False (and nothing written) when the kind has no
// mapping of its own here (the octahedron sphere and every non-primitive
// kind) or its block is unreadable: the caller maps spherically instead.
bool MapPrimitiveDefault(Scene& s, int g);

}  // namespace modra
