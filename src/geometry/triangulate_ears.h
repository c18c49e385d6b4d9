// Clipping one counter-clockwise ring of the robust path into triangles,
// ear by ear, where the ring may pass through one point several times
// (rings that touch, holes joined by cuts) or cross itself.
#pragma once

#include "geometry/triangulate_context.h"

namespace modra::triangulation {

// Cuts the ring through corner `start` (`count` corners) into triangles
// added to c.triangles, turned the other way round when `flip` is set. A
// corner goes as an ear when it turns left and no other part of the ring
// reaches into its triangle (corners at the ear's own points and on its
// sides count only when an edge of theirs leads inside); a corner on an
// edge of no length, or the tip of a spike, goes as a triangle of no area;
// an ear whose cut is itself an edge of the ring, running the same way,
// is a piece that touches the rest at two points only, and the rest goes
// on as two rings. So a ring that touches itself but does not cross gives
// count - 2 triangles, 2 fewer for each such piece. A ring that crosses
// itself may come to have nothing to cut: then its straight corners go,
// or else the smallest left turn, and after too many of those the rest
// is a fan. Returns kFailed when the triangle list is full.
int ClipEars(Context& c, int start, int count, bool flip);

}  // namespace modra::triangulation
