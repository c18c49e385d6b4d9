#include "geometry/triangulate_uncross.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "geometry/triangulate_rings.h"

namespace modra::triangulation {
namespace {

bool Cross(const RingNode& a, const RingNode& b, const RingNode& p, const RingNode& q) {
  return OrientExact(a, b, p) * OrientExact(a, b, q) < 0 &&
         OrientExact(p, q, a) * OrientExact(p, q, b) < 0;
}

// Turns the corners from b round to c (forward) the other way, between a
// and d: a -> c -> ... -> b -> d.
void Reverse(Context& c, int a, int b, int cc, int d) {
  for (int x = b;;) {
    RingNode& node = c.ring[x];
    const int next = node.next;
    std::swap(node.prev, node.next);
    if (x == cc) break;
    x = next;
  }
  Link(c.ring, a, cc);
  Link(c.ring, b, d);
}

// Each corner's piece becomes the ring (c.rings index) it is in now, and
// c.places its place along it.
void Label(Context& c, const std::vector<int>& members) {
  for (int m : members) {
    int x = c.rings[m].start;
    for (int k = 0; k < c.rings[m].count; ++k, x = c.ring[x].next) {
      c.ring[x].piece = m;
      c.places[x] = k;
    }
  }
}

// Every crossing of two edges (each given by its first corner) into
// c.crossings, found by sweeping the edges in order of their least u.
// False, with the list unfinished, once more than `most` crossings turn
// up or the pairs tested pass `tests`.
bool FindCrossings(Context& c, const std::vector<int>& members, size_t most, size_t tests) {
  std::vector<std::pair<double, int>>& spans = c.spans;
  spans.clear();
  for (int m : members) {
    int x = c.rings[m].start;
    for (int k = 0; k < c.rings[m].count; ++k, x = c.ring[x].next)
      spans.push_back({std::min(c.ring[x].u, c.ring[c.ring[x].next].u), x});
  }
  std::sort(spans.begin(), spans.end());
  c.crossings.clear();
  for (size_t i = 0; i < spans.size(); ++i) {
    const RingNode& a = c.ring[spans[i].second];
    const RingNode& b = c.ring[a.next];
    const double umax = std::max(a.u, b.u);
    const double vmin = std::min(a.v, b.v), vmax = std::max(a.v, b.v);
    for (size_t j = i + 1; j < spans.size() && spans[j].first <= umax; ++j) {
      const RingNode& p = c.ring[spans[j].second];
      const RingNode& q = c.ring[p.next];
      if (tests-- == 0) return false;
      if (std::max(p.v, q.v) >= vmin && std::min(p.v, q.v) <= vmax && Cross(a, b, p, q))
        c.crossings.push_back({spans[i].second, a.next, spans[j].second, p.next});
      if (c.crossings.size() > most) return false;
    }
  }
  return true;
}

// Adds the crossings of the edge from x to its successor with every other
// edge of the polygon.
void FindCrossingsOf(Context& c, const std::vector<int>& members, int x) {
  const RingNode& a = c.ring[x];
  const RingNode& b = c.ring[a.next];
  for (int m : members) {
    int y = c.rings[m].start;
    for (int k = 0; k < c.rings[m].count; ++k, y = c.ring[y].next)
      if (Cross(a, b, c.ring[y], c.ring[c.ring[y].next]))
        c.crossings.push_back({x, a.next, y, c.ring[y].next});
  }
}

// Twice the change in enclosed area when a -> b and d -> e become a -> e
// and d -> b.
double JoinCost(const RingNode& a, const RingNode& b, const RingNode& d, const RingNode& e) {
  auto cross = [&](const RingNode& p, const RingNode& q) {
    return (p.u - a.u) * (q.v - a.v) - (q.u - a.u) * (p.v - a.v);
  };
  return std::fabs(cross(a, e) + cross(d, b) - cross(a, b) - cross(d, e));
}

// The edge between two corners as its ring runs it (first corner, or -1
// when they are no longer neighbours).
int EdgeFrom(const Context& c, int x, int y) {
  if (c.ring[x].next == y) return x;
  if (c.ring[y].next == x) return y;
  return -1;
}

}  // namespace

void Untangle(Context& c, int outer) {
  std::vector<int>& members = c.members;
  members.assign(1, outer);
  members.insert(members.end(), c.holes.begin(), c.holes.end());
  c.places.resize(c.ring.size());
  size_t corners = 0;
  for (int m : members)
    corners += c.rings[m].count;
  // note: a polygon that crosses itself a little has a few crossings; one
  // that crosses itself all over would take long to untangle (each round
  // weighs every crossing) and be no better for it: the clipping copes
  const size_t most = 64 + 4 * static_cast<size_t>(std::sqrt(static_cast<double>(corners)));
  Label(c, members);
  if (!FindCrossings(c, members, most, 64 * corners + 4096)) return;
  for (size_t round = 0; round < most; ++round) {
    // the crossing to undo first: across rings the one that changes the
    // area least, else the one closing the smallest loop
    int best = -1, bestA = -1, bestC = -1;
    bool bestAcross = false;
    double bestCost = 0;
    for (size_t k = 0; k < c.crossings.size(); ++k) {
      const auto [x1, y1, x2, y2] = c.crossings[k];
      int a = EdgeFrom(c, x1, y1), cc = EdgeFrom(c, x2, y2);
      if (a < 0 || cc < 0 || !Cross(c.ring[x1], c.ring[y1], c.ring[x2], c.ring[y2])) {
        c.crossings[k--] = c.crossings.back();
        c.crossings.pop_back();
        continue;
      }
      const bool across = c.ring[a].piece != c.ring[cc].piece;
      double cost;
      if (across) {
        cost = JoinCost(c.ring[a], c.ring[c.ring[a].next], c.ring[cc], c.ring[c.ring[cc].next]);
      } else {
        const int count = c.rings[c.ring[a].piece].count;
        cost = (c.places[cc] - c.places[a] + count) % count;
        if (cost > count / 2) {
          std::swap(a, cc);
          cost = count - cost;
        }
      }
      if (best < 0 || (across && !bestAcross) || (across == bestAcross && cost < bestCost)) {
        best = static_cast<int>(k);
        bestA = a;
        bestC = cc;
        bestAcross = across;
        bestCost = cost;
      }
    }
    if (best < 0) break;
    const int a = bestA, b = c.ring[a].next, cc = bestC, d = c.ring[cc].next;
    if (!bestAcross) {
      Reverse(c, a, b, cc, d);
    } else {
      // one ring from two: ..., a, d, ... round the other ..., c, b, ...
      Link(c.ring, a, d);
      Link(c.ring, cc, b);
      // the outer ring keeps its number
      const int into = c.ring[a].piece, from = c.ring[cc].piece;
      const int keep = from == outer ? from : into, gone = from == outer ? into : from;
      c.rings[keep].count += c.rings[gone].count;
      c.rings[keep].start = a;
      members.erase(std::find(members.begin(), members.end(), gone));
    }
    Label(c, members);
    // the two new edges may cross others
    FindCrossingsOf(c, members, a);
    FindCrossingsOf(c, members, bestAcross ? cc : b);
  }
  c.holes.assign(members.begin() + 1, members.end());
}

}  // namespace modra::triangulation
