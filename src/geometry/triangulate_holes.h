// Joining the holes: every hole's ring is spliced into the ring around it
// along the first diagonal (in sweep order) that reaches another contour.
#pragma once

#include "geometry/triangulate_context.h"

namespace modra::triangulation {

// Before a join the two rings are made to run opposite ways, by reversing
// the one whose top comes later in the sweep (the hole), so the outer
// contour keeps its direction and the triangles keep its winding. The
// hole's nodes then take the outer contour's number. Returns kSweepFailed
// when a ring walk does not come back within the node count.
int JoinHoles(Context& c);

}  // namespace modra::triangulation
