#include "geometry/triangulate_bridges.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "geometry/triangulate_rings.h"

namespace modra::triangulation {
namespace {

int NewCopy(Context& c, int x) {
  RingNode copy = c.ring[x];
  copy.cellNext = -1;
  c.ring.push_back(copy);
  return static_cast<int>(c.ring.size()) - 1;
}

// Splices the hole whose corner is m into the ring right after corner
// `after`, closing the loop with a copy of m and a copy of `closer`:
//   after, m, ... round the hole ..., m', closer', after's old successor
void Join(Context& c, int after, int m, int closer) {
  const int m2 = NewCopy(c, m), k2 = NewCopy(c, closer);
  const int next = c.ring[after].next, mPrev = c.ring[m].prev;
  Link(c.ring, after, m);
  Link(c.ring, mPrev, m2);
  Link(c.ring, m2, k2);
  Link(c.ring, k2, next);
}

int Rightmost(const Context& c, const RingInfo& r) {
  int best = r.start;
  for (int k = 0, x = r.start; k < r.count; ++k, x = c.ring[x].next) {
    const RingNode& node = c.ring[x];
    if (node.u > c.ring[best].u || (node.u == c.ring[best].u && node.v < c.ring[best].v)) best = x;
  }
  return best;
}

// Of the ring's corners at the point of corner p, the one whose corner
// holds t (the first one when none does, as with a polygon that crosses
// itself).
int CornerHolding(const Context& c, int start, int p, const RingNode& t) {
  int x = start;
  do {
    if (SamePoint(c.ring[x], c.ring[p]) && InCorner(c, x, t)) return x;
    x = c.ring[x].next;
  } while (x != start);
  return p;
}

// The first thing a ray from m towards +u meets on the ring: a corner or
// an edge (from corner `at`), how far along, and whether m lies on it.
struct Hit {
  double distance = std::numeric_limits<double>::infinity();
  int at = -1;
  bool corner = false, touching = false;
};

Hit CastRay(const Context& c, int start, const RingNode& m) {
  Hit hit;
  int x = start;
  do {
    const RingNode& p = c.ring[x];
    const RingNode& q = c.ring[p.next];
    if (p.v == m.v && p.u >= m.u) {
      const double d = p.u - m.u;
      if (d < hit.distance || (d == hit.distance && !hit.corner)) hit = {d, x, true, d == 0};
    } else if ((p.v < m.v && q.v > m.v) || (p.v > m.v && q.v < m.v)) {
      // the edge passes m's level to its right when m lies on the edge's
      // left going up, or on its right going down
      const int o = OrientExact(p, q, m);
      const double d =
          o == 0 ? 0 : std::max(0.0, p.u + (m.v - p.v) * (q.u - p.u) / (q.v - p.v) - m.u);
      if ((o == 0 || (q.v > p.v) == (o > 0)) && d < hit.distance) hit = {d, x, false, o == 0};
    }
    x = p.next;
  } while (x != start);
  return hit;
}

// Eberly's choice for a ray that meets the edge p -> q away from m: of the
// corners in the triangle (m, where the ray meets the edge, the edge's end
// further along the ray), the one seen at the smallest angle from the ray,
// and the nearest of those.
int VisibleCorner(const Context& c, int start, const RingNode& m, int p) {
  const RingNode& a = c.ring[p];
  const RingNode& b = c.ring[a.next];
  const int end = a.u > b.u ? p : a.next;
  const RingNode& e = c.ring[end];
  const int side = e.v > m.v ? 1 : -1;
  const int inner = OrientExact(a, b, m);
  int best = end;
  double bestRise = std::fabs(e.v - m.v), bestRun = e.u - m.u;
  int x = start;
  do {
    const RingNode& r = c.ring[x];
    const double rise = (r.v - m.v) * side, run = r.u - m.u;
    if (run > 0 && rise >= 0 && OrientExact(m, e, r) * side <= 0 &&
        OrientExact(a, b, r) * inner >= 0) {
      const double lhs = rise * bestRun, rhs = bestRise * run;
      if (lhs < rhs || (lhs == rhs && run < bestRun)) {
        best = x;
        bestRise = rise;
        bestRun = run;
      }
    }
    x = r.next;
  } while (x != start);
  return best;
}

int Nearest(const Context& c, int start, const RingNode& m) {
  int best = start;
  double bestDistance = std::numeric_limits<double>::infinity();
  int x = start;
  do {
    const double du = c.ring[x].u - m.u, dv = c.ring[x].v - m.v;
    if (du * du + dv * dv < bestDistance) {
      best = x;
      bestDistance = du * du + dv * dv;
    }
    x = c.ring[x].next;
  } while (x != start);
  return best;
}

}  // namespace

bool InCorner(const Context& c, int x, const RingNode& t) {
  const RingNode& at = c.ring[x];
  int next = at.next, prev = at.prev;
  for (size_t k = 0; k < c.ring.size() && SamePoint(c.ring[next], at); ++k)
    next = c.ring[next].next;
  for (size_t k = 0; k < c.ring.size() && SamePoint(c.ring[prev], at); ++k)
    prev = c.ring[prev].prev;
  if (SamePoint(c.ring[next], at) || SamePoint(c.ring[prev], at)) return true;
  const int toNext = OrientExact(at, c.ring[next], t);
  const int toPrev = OrientExact(at, c.ring[prev], t);
  if (OrientExact(at, c.ring[next], c.ring[prev]) > 0) return toNext > 0 && toPrev < 0;
  return toNext > 0 || toPrev < 0;
}

int BridgeHoles(Context& c, int outer) {
  const int start = c.rings[outer].start;
  int count = c.rings[outer].count;
  std::vector<std::pair<int, int>>& order = c.holeOrder;
  order.clear();
  for (int h : c.holes)
    order.push_back({h, Rightmost(c, c.rings[h])});
  std::sort(order.begin(), order.end(), [&](const auto& a, const auto& b) {
    const RingNode& p = c.ring[a.second];
    const RingNode& q = c.ring[b.second];
    return p.u != q.u ? p.u > q.u : p.v < q.v;
  });
  for (const auto& [h, m] : order) {
    const RingNode point = c.ring[m];
    const RingNode before = c.ring[point.prev], after = c.ring[point.next];
    const Hit hit = CastRay(c, start, point);
    if (hit.at < 0) {
      // nothing to its right: the hole pokes out of its polygon
      const int p = Nearest(c, start, point);
      Join(c, p, m, p);
    } else if (hit.touching && !hit.corner) {
      // m touches an edge: the hole joins it there
      Join(c, hit.at, m, m);
    } else if (hit.touching) {
      // m touches a corner: the hole joins the side of it the hole lies in
      int p = CornerHolding(c, start, hit.at, before);
      if (!InCorner(c, p, before)) p = CornerHolding(c, start, hit.at, after);
      Join(c, p, m, p);
    } else {
      const int seen = hit.corner ? hit.at : VisibleCorner(c, start, point, hit.at);
      const int p = CornerHolding(c, start, seen, point);
      Join(c, p, m, p);
    }
    count += c.rings[h].count + 2;
  }
  return count;
}

}  // namespace modra::triangulation
