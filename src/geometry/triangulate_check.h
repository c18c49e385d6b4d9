// The checks a polygon passes before the sweep (skipped when the debug
// environment declares every polygon simple).
#pragma once

#include "geometry/triangulate_context.h"

namespace modra::triangulation {

// Unlinks every node that has the same projected point as its successor;
// they must be the same 3D point too. A contour left with fewer than 3
// points is dropped. Returns kFailed when they are not the same point or
// no contour is left.
int MergeRepeatedPoints(Context& c);

// Sweeps the ring edges in order and fails (kFailed, "Self intersecting:\n"
// when failures are shown) when two of them meet anywhere but at the
// corner they share, within eps. The active edges are kept in their order
// along the sweep line and each edge is tested against its neighbours
// there (Shamos and Hoey's method), so the test costs O(n log n).
int CheckCrossings(Context& c);

}  // namespace modra::triangulation
