// Joining the holes of one polygon of the robust path to the ring around
// them, so that a single ring is left to clip.
#pragma once

#include "geometry/triangulate_context.h"

namespace modra::triangulation {

// Joins every ring listed in c.holes (clockwise, inside ring `outer`,
// which runs counter-clockwise) to it: rightmost hole first, a cut from
// the hole's rightmost corner to a corner of the ring that it can see
// (Eberly's "Triangulation by Ear Clipping"), both ends doubled. A hole
// that touches the ring there joins it at the touching point (a cut of
// no length), taking the side of a corner visited twice that holds the
// hole. Returns the corner count of the joined ring: two more per hole.
int BridgeHoles(Context& c, int outer);

// Whether the point t lies inside the corner at x, on the ring's left
// (strictly, measured from the nearest neighbours at another point).
bool InCorner(const Context& c, int x, const RingNode& t);

}  // namespace modra::triangulation
