// The rings of the robust path: every contour that encloses some area,
// read again from the nodes (repeated points already merged), and the
// even-odd reading of how they nest.
#pragma once

#include <cmath>

#include "geometry/triangulate_context.h"

namespace modra::triangulation {

// Sign of the turn a -> b -> c (1 left, -1 right, 0 straight), with
// points exactly in line always giving 0 as long as the coordinate
// differences are exact in a double (any two floats less than 2^29 times
// apart).
inline int OrientExact(double au, double av, double bu, double bv, double cu, double cv) {
  const double x1 = bu - au, y1 = bv - av, x2 = cu - au, y2 = cv - av;
  const double l = x1 * y2, r = y1 * x2;
  const double d = l - r;
  // note: beyond this bound the rounded sign is the true one (Shewchuk's
  // first error bound); inside it the two products are so close that
  // their difference is exact, and their rounding errors (from fma)
  // complete it
  const double bound = 3.3306690738754716e-16 * (std::fabs(l) + std::fabs(r));
  if (d > bound) return 1;
  if (d < -bound) return -1;
  const double le = std::fma(x1, y2, -l), re = std::fma(y1, x2, -r);
  const double s = d + (le - re);
  return (s > 0) - (s < 0);
}

inline int OrientExact(const RingNode& a, const RingNode& b, const RingNode& c) {
  return OrientExact(a.u, a.v, b.u, b.v, c.u, c.v);
}

inline bool SamePoint(const RingNode& a, const RingNode& b) {
  return a.u == b.u && a.v == b.v;
}

// Fills c.ring and c.rings with one ring per contour that is not dropped
// and whose area is not zero, in input order. Returns the number of rings.
int GatherRings(Context& c);

// Gives every ring its parent (the smallest ring that holds most of its
// points) and depth, and turns it to run counter-clockwise at even depth
// and clockwise at odd depth: so each even ring with the odd rings just
// inside it is one polygon with holes, and together they fill what the
// even-odd rule fills when no two rings cross.
void NestRings(Context& c);

// Unlinks corner x from its ring.
inline void Unlink(Context& c, int x) {
  Link(c.ring, c.ring[x].prev, c.ring[x].next);
  c.ring[x].alive = false;
}

}  // namespace modra::triangulation
