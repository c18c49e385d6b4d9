#include "geometry/triangulate_cover.h"

#include <algorithm>
#include <cmath>

#include "geometry/triangulate_bridges.h"
#include "geometry/triangulate_ears.h"
#include "geometry/triangulate_rings.h"
#include "geometry/triangulate_uncross.h"

namespace modra::triangulation {

int CoverRobustly(Context& c) {
  c.triangles.clear();
  if (GatherRings(c) == 0) return kFailed;
  NestRings(c);
  const bool flip = c.rings[c.ringOrder[0]].turned;

  // the holes grouped by the outer ring they lie in
  c.ringOrder.clear();
  for (int r = 0; r < static_cast<int>(c.rings.size()); ++r)
    if (c.rings[r].depth % 2 == 1) c.ringOrder.push_back(r);
  std::stable_sort(c.ringOrder.begin(), c.ringOrder.end(),
                   [&](int a, int b) { return c.rings[a].parent < c.rings[b].parent; });
  size_t next = 0;
  for (int r = 0; r < static_cast<int>(c.rings.size()); ++r) {
    if (c.rings[r].depth % 2 == 1) continue;
    c.holes.clear();
    double area = c.rings[r].area;
    while (next < c.ringOrder.size() && c.rings[c.ringOrder[next]].parent < r)
      ++next;
    for (; next < c.ringOrder.size() && c.rings[c.ringOrder[next]].parent == r; ++next) {
      c.holes.push_back(c.ringOrder[next]);
      area += c.rings[c.ringOrder[next]].area;
    }
    // note: holes that cancel their outer ring (the same ring given twice)
    // leave nothing to fill
    if (!(area > 1e-12 * c.rings[r].area)) continue;
    Untangle(c, r);
    const int count = BridgeHoles(c, r);
    if (int status = ClipEars(c, c.rings[r].start, count, flip); status != kOk) return status;
  }
  return c.triangles.empty() ? kFailed : kOk;
}

}  // namespace modra::triangulation
