// Monotone pieces: the remaining diagonals cut the (joined) rings into
// rings that are each clipped into triangles.
#pragma once

#include "geometry/triangulate_context.h"

namespace modra::triangulation {

// Cuts along every live diagonal, then clips each resulting ring, adding
// to c.triangles. Returns kOk, kFailed when the triangle list is full, or
// kSweepFailed when a ring is broken or a piece cannot be clipped.
int CutAndClip(Context& c);

}  // namespace modra::triangulation
