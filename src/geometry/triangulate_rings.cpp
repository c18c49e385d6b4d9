#include "geometry/triangulate_rings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace modra::triangulation {
namespace {

// Where p lies against ring r: 1 inside, -1 outside, 0 on its edges.
int Where(const Context& c, const RingInfo& r, const RingNode& p) {
  bool inside = false;
  int a = r.start;
  for (int k = 0; k < r.count; ++k) {
    const RingNode& from = c.ring[a];
    const RingNode& to = c.ring[from.next];
    if (SamePoint(from, p)) return 0;
    if ((from.v > p.v) != (to.v > p.v)) {
      const int o = OrientExact(from, to, p);
      if (o == 0) return 0;
      // a ray from p towards +u crosses the edge
      if ((to.v > from.v) == (o > 0)) inside = !inside;
    } else if (from.v == p.v && to.v == p.v && (from.u < p.u) != (to.u < p.u)) {
      return 0;
    }
    a = from.next;
  }
  return inside ? 1 : -1;
}

// Whether ring `inner` lies in ring `outer`: by the vote of nine of its
// corners, so that a hole poking out a little still counts as inside.
// Corners on the outer ring's edges do not vote, and a tie counts as
// inside, so that a ring given twice cancels out. Three corners a third of
// the way round from each other that agree settle it.
bool Holds(const Context& c, const RingInfo& outer, const RingInfo& inner) {
  if (inner.umin > outer.umax || inner.umax < outer.umin || inner.vmin > outer.vmax ||
      inner.vmax < outer.vmin)
    return false;
  int vote = 0;
  for (int s = 0; s < 9; ++s) {
    // corners 0, 3, 6, then 1, 4, 7, then 2, 5, 8 ninths of the way round
    const int ninth = s % 3 * 3 + s / 3;
    int x = inner.start;
    for (int k = static_cast<int>(int64_t{ninth} * inner.count / 9); k > 0; --k)
      x = c.ring[x].next;
    vote += Where(c, outer, c.ring[x]);
    if (s == 2 && (vote == 3 || vote == -3)) break;
  }
  return vote >= 0;
}

void Reverse(Context& c, const RingInfo& r) {
  int x = r.start;
  for (int k = 0; k < r.count; ++k) {
    RingNode& node = c.ring[x];
    std::swap(node.prev, node.next);
    x = node.prev;
  }
}

}  // namespace

int GatherRings(Context& c) {
  c.ring.clear();
  c.rings.clear();
  for (const Contour& contour : c.contours) {
    if (contour.dropped) continue;
    const int start = static_cast<int>(c.ring.size());
    const int origin = static_cast<int>(c.rings.size());
    for (int i = contour.first; i <= contour.last; ++i)
      if (c.nodes[i].type != kRemoved)
        c.ring.push_back({c.nodes[i].u, c.nodes[i].v, i, -1, -1, -1, 0, origin, true});
    const int count = static_cast<int>(c.ring.size()) - start;
    if (count < 3) {
      c.ring.resize(static_cast<size_t>(start));
      continue;
    }
    RingInfo info{start, count, 0, 1e300, -1e300, 1e300, -1e300, -1, 0, false};
    // note: the area is summed about the first corner, which keeps the
    // products small for a polygon far from the origin
    long double area = 0;
    const RingNode& o = c.ring[start];
    for (int k = 0; k < count; ++k) {
      RingNode& node = c.ring[start + k];
      node.prev = start + (k + count - 1) % count;
      node.next = start + (k + 1) % count;
      const RingNode& next = c.ring[node.next];
      area += static_cast<long double>(node.u - o.u) * (next.v - o.v) -
              static_cast<long double>(next.u - o.u) * (node.v - o.v);
      info.umin = std::min(info.umin, node.u);
      info.umax = std::max(info.umax, node.u);
      info.vmin = std::min(info.vmin, node.v);
      info.vmax = std::max(info.vmax, node.v);
    }
    info.area = static_cast<double>(area / 2);
    // note: points in line can leave rounding in the sum, a part in 10^18
    // of the ring's box a corner; a ring worth covering encloses far more
    const double box = (info.umax - info.umin) * (info.vmax - info.vmin);
    if (!(std::fabs(info.area) > 1e-18 * count * box)) {
      c.ring.resize(static_cast<size_t>(start));
      continue;
    }
    c.rings.push_back(info);
  }
  return static_cast<int>(c.rings.size());
}

void NestRings(Context& c) {
  const int count = static_cast<int>(c.rings.size());
  c.ringOrder.resize(static_cast<size_t>(count));
  for (int r = 0; r < count; ++r)
    c.ringOrder[r] = r;
  std::stable_sort(c.ringOrder.begin(), c.ringOrder.end(), [&](int a, int b) {
    return std::fabs(c.rings[a].area) > std::fabs(c.rings[b].area);
  });
  for (int i = 0; i < count; ++i) {
    RingInfo& inner = c.rings[c.ringOrder[i]];
    // the smallest ring around it is the last holder in this order
    for (int j = i - 1; j >= 0 && inner.parent < 0; --j)
      if (Holds(c, c.rings[c.ringOrder[j]], inner)) inner.parent = c.ringOrder[j];
    inner.depth = inner.parent < 0 ? 0 : c.rings[inner.parent].depth + 1;
    const bool counterClockwise = inner.depth % 2 == 0;
    if ((inner.area > 0) != counterClockwise) {
      Reverse(c, inner);
      inner.area = -inner.area;
      inner.turned = true;
    }
  }
}

}  // namespace modra::triangulation
