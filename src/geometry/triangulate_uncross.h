// Taking the crossings out of one polygon of the robust path (an outer
// ring and its holes) before its holes are joined to it.
#pragma once

#include "geometry/triangulate_context.h"

namespace modra::triangulation {

// While two edges of ring `outer` and the holes in c.holes cross at a
// point inside both, reconnects their ends the other way round: a -> b
// and c -> d become a -> d and c -> b, which joins two rings into one
// (a hole poking out of its polygon, two holes that overlap), or, within
// one ring, a -> c and b -> d with the corners between turned round (a
// twist undone). Every corner is kept and the edges get shorter each
// time, so this ends. A polygon with crossings all over (more than about
// 4 sqrt(n)) is left as it is, and the rounds are bounded as well, so that
// it cannot take long. Holes joined to another ring leave c.holes; the
// rings' starts and counts follow.
void Untangle(Context& c, int outer);

}  // namespace modra::triangulation
