#include "geometry/triangulate_clip.h"

namespace modra::triangulation {
namespace {

bool Emit(Context& c, int a, int b, int d) {
  if (c.triangles.size() / 3 >= c.triangleCapacity) return false;
  c.triangles.insert(c.triangles.end(), {a, b, d});
  return true;
}

// Gathers the ring into c.piece; false when it is not a proper ring.
bool GatherRing(Context& c, int start) {
  c.piece.clear();
  const size_t limit = c.nodes.size();
  int x = start;
  do {
    if (x < 0 || c.nodes[x].visited || c.piece.size() >= limit) return false;
    const int next = c.nodes[x].next;
    if (next < 0 || c.nodes[next].prev != x) return false;
    c.nodes[x].visited = true;
    c.piece.push_back(x);
    x = next;
  } while (x != start);
  return true;
}

// Where the chain from the top, following next (or prev), stops going down.
int ChainEnd(const Context& c, int top, bool forward) {
  int x = top;
  for (size_t k = 0; k < c.piece.size(); ++k) {
    const int y = forward ? c.nodes[x].next : c.nodes[x].prev;
    if (!Before(c.nodes[x], c.nodes[y])) break;
    x = y;
  }
  return x;
}

int Turn(const Context& c, int x) {
  const Node& node = c.nodes[x];
  return Orient(c.nodes[node.prev], node, c.nodes[node.next]);
}

}  // namespace

int ClipPiece(Context& c, int start) {
  if (!GatherRing(c, start)) return kSweepFailed;
  int remaining = static_cast<int>(c.piece.size());
  if (remaining < 3) return kSweepFailed;
  int top = c.piece[0], bottom = c.piece[0];
  for (int x : c.piece) {
    if (Before(c.nodes[x], c.nodes[top])) top = x;
    if (Before(c.nodes[bottom], c.nodes[x])) bottom = x;
  }
  // walk down the chain that has corners of its own; the other one is the
  // single edge from top to bottom, and every convex corner facing it is
  // an ear
  bool forward = true;
  if (remaining > 3) {
    const int endNext = ChainEnd(c, top, true), endPrev = ChainEnd(c, top, false);
    if (endNext != endPrev) {
      c.log->FailureF("Can't match [%d-%d] with [%d-%d]!\n", c.nodes[top].index,
                      c.nodes[endNext].index, c.nodes[top].index, c.nodes[endPrev].index);
      return kSweepFailed;
    }
    if (c.nodes[top].next == bottom) {
      forward = false;
    } else if (c.nodes[top].prev != bottom) {
      return kSweepFailed;
    }
  }
  const int o = Turn(c, top);
  if (o == 0) return kSweepFailed;

  auto ahead = [&](int x) { return forward ? c.nodes[x].next : c.nodes[x].prev; };
  int x = ahead(top);
  while (remaining > 3) {
    if (x == bottom) {
      // no ear left: only a rest of straight corners may still go, as a fan
      for (int y = ahead(top); y != bottom; y = ahead(y))
        if (Turn(c, y) != 0) return kSweepFailed;
      for (int y = c.nodes[top].next; c.nodes[y].next != top; y = c.nodes[y].next)
        if (!Emit(c, top, y, c.nodes[y].next)) return kFailed;
      return kOk;
    }
    const int p = c.nodes[x].prev, q = c.nodes[x].next;
    if (Turn(c, x) != o) {
      x = ahead(x);
      continue;
    }
    if (!Emit(c, p, x, q)) return kFailed;
    Link(c.nodes, p, q);
    --remaining;
    const int back = forward ? p : q;
    x = back == top ? ahead(back) : back;
  }
  const int second = c.nodes[top].next;
  return Emit(c, top, second, c.nodes[second].next) ? kOk : kFailed;
}

}  // namespace modra::triangulation
