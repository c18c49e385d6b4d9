// Cutting the polygon's rings along a diagonal: the one operation behind
// both joining a hole to its surrounding ring and splitting a ring into
// monotone pieces.
#pragma once

#include "geometry/triangulate_context.h"

namespace modra::triangulation {

// The direction contour k's ring runs in: 1 counter-clockwise, -1
// clockwise, 0 flat. Worked out once, from the turn at its top node (which
// is always convex), or from the ring's area when that turn is straight.
int ContourOrientation(Context& c, int k);

// Cuts along live diagonal d from a = d.lower to b = d.upper. Copies a' and
// b' are made and the links changed so that the rings run
//   a.prev, a', b', b.next, ...   and   ..., b.prev, b, a, a.next, ...
// Two rings become one (a hole joins its surrounding ring); one ring
// becomes two. Every other diagonal of a or b moves to the copy whose
// corner it leaves through, so it stays inside the ring it belongs to;
// `interiorSign` tells which side of the ring edges the polygon lies on
// (1 left, -1 right). The copies are returned through copyA and copyB. A
// diagonal between the same node or two ring neighbours is dropped
// instead (false).
bool Splice(Context& c, int d, int interiorSign, int* copyA, int* copyB);

// Forgets a diagonal at both of its ends.
void DropDiagonal(Context& c, int d);

}  // namespace modra::triangulation
