// Clipping a monotone piece into triangles.
#pragma once

#include "geometry/triangulate_context.h"

namespace modra::triangulation {

// Clips the monotone piece whose ring holds `start`, marking its nodes
// visited and adding to c.triangles. The piece's top corner sets the turn
// an ear must have; each ear (previous, node, next) is cut off walking
// down the chain that is not a single edge, stepping back after each cut;
// a rest whose corners are all straight becomes a fan from the top.
// Returns kFailed when the triangle list is full and kSweepFailed when the
// ring is broken, is not monotone ("Can't match [%d-%d] with [%d-%d]!\n"
// with the input indices of the top and the two chain ends) or has a
// chain that will not clip.
int ClipPiece(Context& c, int start);

}  // namespace modra::triangulation
