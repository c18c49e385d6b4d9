#include "geometry/triangulate_ears.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "geometry/triangulate_rings.h"

namespace modra::triangulation {
namespace {

// The corners of the ring bucketed by position, so that an ear test looks
// only at the corners near its triangle.
struct Grid {
  double umin = 0, vmin = 0, cellU = 1, cellV = 1;
  int columns = 1, rows = 1;

  int Column(double u) const { return Cell((u - umin) / cellU, columns); }
  int Row(double v) const { return Cell((v - vmin) / cellV, rows); }
  static int Cell(double at, int cells) {
    return at >= 1 ? static_cast<int>(std::min(at, cells - 1.0)) : 0;
  }
};

Grid BuildGrid(Context& c, int start, int count) {
  Grid g;
  double umax = -std::numeric_limits<double>::infinity(), vmax = umax;
  g.umin = g.vmin = std::numeric_limits<double>::infinity();
  int x = start;
  for (int k = 0; k < count; ++k, x = c.ring[x].next) {
    g.umin = std::min(g.umin, c.ring[x].u);
    g.vmin = std::min(g.vmin, c.ring[x].v);
    umax = std::max(umax, c.ring[x].u);
    vmax = std::max(vmax, c.ring[x].v);
  }
  // about two corners a cell, the cells as square as the box allows
  const double width = umax - g.umin, height = vmax - g.vmin;
  const double cells = std::max(1.0, count / 2.0);
  const double side = std::sqrt(width * height / cells);
  if (side > 0 && std::isfinite(side)) {
    g.columns = static_cast<int>(std::clamp(width / side, 1.0, cells));
    g.rows = static_cast<int>(std::clamp(height / side, 1.0, cells));
  } else {
    g.columns = static_cast<int>(width > 0 ? cells : 1);
    g.rows = static_cast<int>(height > 0 ? cells : 1);
  }
  g.cellU = width > 0 ? width / g.columns : 1;
  g.cellV = height > 0 ? height / g.rows : 1;
  c.cells.assign(static_cast<size_t>(g.columns) * g.rows, -1);
  for (int k = 0; k < count; ++k, x = c.ring[x].next) {
    const size_t cell = static_cast<size_t>(g.Row(c.ring[x].v)) * g.columns + g.Column(c.ring[x].u);
    c.ring[x].piece = 0;
    c.ring[x].cellNext = c.cells[cell];
    c.cells[cell] = x;
  }
  return g;
}

// The nearest corner before (or after) x at another point, or x itself.
int Away(const Context& c, int x, bool forward) {
  int y = x;
  for (size_t k = 0; k < c.ring.size(); ++k) {
    y = forward ? c.ring[y].next : c.ring[y].prev;
    if (!SamePoint(c.ring[y], c.ring[x])) return y;
    if (y == x) break;
  }
  return x;
}

// An ear a, b, d (turning left) and where some point p lies against its
// sides: on[k] when p is on side k (a-b, b-d, d-a).
struct Ear {
  const RingNode *a, *b, *d;
  // Whether, from p, q leads inside the ear: inside every side p is on.
  bool Enters(const bool on[3], const RingNode& q) const {
    if (on[0] && OrientExact(*a, *b, q) <= 0) return false;
    if (on[1] && OrientExact(*b, *d, q) <= 0) return false;
    if (on[2] && OrientExact(*d, *a, q) <= 0) return false;
    return true;
  }
  // Whether the edge from p (on side d-a) to q runs along that side.
  bool AlongCut(const RingNode& p, const RingNode& q) const {
    if (OrientExact(*d, *a, q) != 0) return false;
    const double tu = q.u - p.u, tv = q.v - p.v;
    if (SamePoint(p, *d)) return tu * (a->u - d->u) + tv * (a->v - d->v) > 0;
    if (SamePoint(p, *a)) return tu * (d->u - a->u) + tv * (d->v - a->v) > 0;
    return true;
  }
};

// What the ring does at a point p on the ear's sides: kClear, kBlocks (an
// edge of p's leads inside, or runs along the cut a-d, where it would
// leave the ear's far side bare), or kSplits (p's edge to its successor is
// the cut itself, d to a: the ear is a piece of the polygon that touches
// the rest at a and d only).
enum Touch { kClear, kBlocks, kSplits };

Touch TouchAt(const Context& c, const Ear& ear, const bool on[3], int p, int* cutFrom) {
  Touch touch = kClear;
  for (const bool forward : {false, true}) {
    const int q = Away(c, p, forward);
    if (q == p) continue;
    const RingNode& to = c.ring[q];
    if (ear.Enters(on, to)) return kBlocks;
    if (!on[2] || !ear.AlongCut(c.ring[p], to)) continue;
    // the edge from d to a, seen from either end, in the ear's own ring;
    // the edge leaving d itself only leaves a spike behind
    const int from = forward ? p : q, until = forward ? q : p;
    if (&c.ring[from] == ear.d || &c.ring[until] == ear.a) continue;
    if (c.ring[from].next != until || !SamePoint(c.ring[from], *ear.d) ||
        !SamePoint(c.ring[until], *ear.a) || c.ring[from].piece != ear.b->piece)
      return kBlocks;
    *cutFrom = from;
    touch = kSplits;
  }
  return touch;
}

// Whether a, b, d is an ear; *split gets the corner whose edge is its cut
// when it is one (-1 otherwise).
bool IsEar(const Context& c, const Grid& g, int a, int b, int d, int* split) {
  *split = -1;
  const Ear ear{&c.ring[a], &c.ring[b], &c.ring[d]};
  // the ring's edges on from the ear's ends must not lead inside it
  const bool atA[3] = {true, false, true}, atD[3] = {false, true, true};
  const int beforeA = Away(c, a, false), afterD = Away(c, d, true);
  if (beforeA != a && ear.Enters(atA, c.ring[beforeA])) return false;
  if (afterD != d && ear.Enters(atD, c.ring[afterD])) return false;

  const double umin = std::min({ear.a->u, ear.b->u, ear.d->u});
  const double umax = std::max({ear.a->u, ear.b->u, ear.d->u});
  const double vmin = std::min({ear.a->v, ear.b->v, ear.d->v});
  const double vmax = std::max({ear.a->v, ear.b->v, ear.d->v});
  const int c0 = g.Column(umin), c1 = g.Column(umax), r0 = g.Row(vmin), r1 = g.Row(vmax);
  for (int row = r0; row <= r1; ++row) {
    for (int column = c0; column <= c1; ++column) {
      for (int p = c.cells[static_cast<size_t>(row) * g.columns + column]; p >= 0;
           p = c.ring[p].cellNext) {
        const RingNode& q = c.ring[p];
        if (!q.alive || p == a || p == b || p == d) continue;
        if (q.u < umin || q.u > umax || q.v < vmin || q.v > vmax) continue;
        const int s0 = OrientExact(*ear.a, *ear.b, q);
        if (s0 < 0) continue;
        const int s1 = OrientExact(*ear.b, *ear.d, q);
        if (s1 < 0) continue;
        const int s2 = OrientExact(*ear.d, *ear.a, q);
        if (s2 < 0) continue;
        if (s0 > 0 && s1 > 0 && s2 > 0) return false;
        const bool on[3] = {s0 == 0, s1 == 0, s2 == 0};
        switch (TouchAt(c, ear, on, p, split)) {
          case kBlocks:
            return false;
          case kSplits:
            break;
          case kClear:
            break;
        }
      }
    }
  }
  return true;
}

// Whether b, in line with a and d, lies strictly between them.
bool Between(const RingNode& a, const RingNode& b, const RingNode& d) {
  return (b.u - a.u) * (d.u - b.u) + (b.v - a.v) * (d.v - b.v) > 0;
}

class Clipper {
 public:
  Clipper(Context& c, bool flip) : c_(c), flip_(flip) {}

  // Cuts corner b off as the triangle (its predecessor, b, its successor).
  bool Cut(int b) {
    const int a = c_.ring[b].prev, d = c_.ring[b].next;
    if (!Emit(a, b, d)) return false;
    Unlink(c_, b);
    --count_;
    return true;
  }

  bool Emit(int a, int b, int d) {
    if (c_.triangles.size() / 3 >= c_.triangleCapacity) return false;
    const int na = c_.ring[a].node, nb = c_.ring[b].node, nd = c_.ring[d].node;
    if (flip_) {
      c_.triangles.insert(c_.triangles.end(), {na, nd, nb});
    } else {
      c_.triangles.insert(c_.triangles.end(), {na, nb, nd});
    }
    return true;
  }

  // Whether corner b can go as it is; *split as IsEar gives it.
  bool CanCut(const Grid& g, int b, int* split) const {
    *split = -1;
    const int a = c_.ring[b].prev, d = c_.ring[b].next;
    const RingNode &pa = c_.ring[a], &pb = c_.ring[b], &pd = c_.ring[d];
    if (SamePoint(pa, pb) || SamePoint(pb, pd)) return true;
    const int turn = OrientExact(pa, pb, pd);
    if (turn == 0) return !Between(pa, pb, pd);
    if (turn < 0 || !IsEar(c_, g, a, b, d, split)) return false;
    // note: a cut edge right next to the ear would leave a ring of nothing
    return *split < 0 || (c_.ring[*split].next != a && c_.ring[d].next != *split);
  }

  // Cuts off the ear at b whose cut d -> a is also the ring's edge p -> q.
  // What is left of the ring splits in two at a and d:
  //   ..., a, b, d, y, ..., p, q, w, ...  into  ..., a, w, ...  and  y, ..., p
  // The second ring's first corner is returned.
  int SplitCut(int b, int p) {
    const int a = c_.ring[b].prev, d = c_.ring[b].next;
    const int q = c_.ring[p].next;
    const int w = c_.ring[q].next, y = c_.ring[d].next;
    if (!Emit(a, b, d)) return -1;
    Link(c_.ring, a, w);
    Link(c_.ring, p, y);
    c_.ring[b].alive = c_.ring[d].alive = c_.ring[q].alive = false;
    count_ -= 3;
    return p;
  }

  int Run(int start, int count) {
    pending_.clear();
    pending_.push_back({start, count});
    const Grid g = BuildGrid(c_, start, count);
    while (!pending_.empty()) {
      const auto [first, size] = pending_.back();
      pending_.pop_back();
      if (int status = ClipRing(g, first, size); status != kOk) return status;
    }
    return kOk;
  }

  int ClipRing(const Grid& g, int start, int count) {
    count_ = count;
    if (count_ < 3) return kOk;
    int x = start, idle = 0, forced = 0;
    // note: a ring that crosses itself badly could otherwise take a full
    // round per corner
    const int forcedLimit = 16 + count / 16;
    while (count_ > 3) {
      if (idle > count_) {
        const int status = Unstick(x, forced >= forcedLimit, &x);
        if (status != kOk) return status;
        ++forced;
        idle = 0;
        continue;
      }
      const int next = c_.ring[x].next;
      int split;
      if (!CanCut(g, x, &split)) {
        x = next;
        ++idle;
        continue;
      }
      idle = 0;
      if (split >= 0) {
        const int a = c_.ring[x].prev;
        const int second = SplitCut(x, split);
        if (second < 0) return kFailed;
        // the second ring's size and mark, and the rest for this one
        int size = 1;
        ++pieces_;
        c_.ring[second].piece = pieces_;
        for (int y = c_.ring[second].next; y != second && size < count_; y = c_.ring[y].next) {
          c_.ring[y].piece = pieces_;
          ++size;
        }
        count_ -= size;
        pending_.push_back({second, size});
        x = a;
        if (count_ < 3) return kOk;
        continue;
      }
      if (!Cut(x)) return kFailed;
      // note: going on past the next corner spreads the cuts round the
      // ring, which keeps the triangles and their tests small
      x = count_ > 3 ? c_.ring[next].next : next;
    }
    const int b = c_.ring[x].next;
    return Emit(x, b, c_.ring[b].next) ? kOk : kFailed;
  }

 private:
  // A full round found nothing to cut. *resume gets a corner still in the ring.
  int Unstick(int x, bool giveUp, int* resume) {
    if (giveUp) {
      // the rest as a fan from x
      while (count_ > 3)
        if (!Cut(c_.ring[x].next)) return kFailed;
      *resume = x;
      return kOk;
    }
    bool cut = false;
    int y = x;
    for (int k = count_; k > 0 && count_ > 3; --k) {
      const int next = c_.ring[y].next;
      const RingNode &a = c_.ring[c_.ring[y].prev], &b = c_.ring[y], &d = c_.ring[next];
      if (OrientExact(a, b, d) == 0) {
        if (!Cut(y)) return kFailed;
        cut = true;
      }
      y = next;
    }
    if (!cut) {
      // the left turn with the smallest triangle, or failing that the
      // smallest turn of all
      int best = -1;
      double bestArea = std::numeric_limits<double>::infinity();
      bool bestLeft = false;
      for (int k = count_; k > 0; --k, y = c_.ring[y].next) {
        const RingNode &a = c_.ring[c_.ring[y].prev], &b = c_.ring[y],
                       &d = c_.ring[c_.ring[y].next];
        const double area = (b.u - a.u) * (d.v - a.v) - (b.v - a.v) * (d.u - a.u);
        const bool left = area > 0;
        if ((left && !bestLeft) || (left == bestLeft && std::fabs(area) < bestArea)) {
          best = y;
          bestArea = std::fabs(area);
          bestLeft = left;
        }
      }
      y = c_.ring[best].next;
      if (!Cut(best)) return kFailed;
    }
    *resume = y;
    return kOk;
  }

  Context& c_;
  bool flip_;
  int count_ = 0;
  int pieces_ = 0;
  std::vector<std::pair<int, int>> pending_;  // rings split off, still to clip
};

}  // namespace

int ClipEars(Context& c, int start, int count, bool flip) {
  return Clipper(c, flip).Run(start, count);
}

}  // namespace modra::triangulation
