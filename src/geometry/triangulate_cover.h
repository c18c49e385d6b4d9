// The robust path: what a polygon gets when the checks or the sweep
// refuse it (rings that touch, cross, or nest other than as one outer
// ring with holes).
#pragma once

#include "geometry/triangulate_context.h"

namespace modra::triangulation {

// Covers the polygon read by the even-odd rule: the contours left after
// merging repeated points, except those without area, nest into outer
// rings with holes (a ring counts as inside another when most of its
// points are), each outer ring with its holes is joined into one ring and
// clipped ear by ear. Rings that only touch give an exact tiling (n + 2h
// - 2 triangles for one outer ring with h holes, some of no area where
// they touch); rings that cross give a cover of about the polygon's area.
// The triangles wind as the largest ring does. Fills c.triangles; kFailed
// when nothing encloses any area or the triangle list is full.
int CoverRobustly(Context& c);

}  // namespace modra::triangulation
