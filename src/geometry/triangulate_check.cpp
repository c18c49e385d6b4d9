#include "geometry/triangulate_check.h"

#include <algorithm>
#include <cmath>

#include "geometry/triangulate_nodes.h"

namespace modra::triangulation {
namespace {

// The line L1 u + L2 v + L3 = 0 through an edge and its box widened by eps.
struct Line {
  double l1, l2, l3;
  double umin, umax, vmin, vmax;
};

Line LineOf(const Context& c, const Edge& e) {
  return {e.vb - e.va,
          e.ua - e.ub,
          e.ub * e.va - e.ua * e.vb,
          std::min(e.ua, e.ub) - c.eps,
          std::max(e.ua, e.ub) + c.eps,
          std::min(e.va, e.vb) - c.eps,
          std::max(e.va, e.vb) + c.eps};
}

bool InBox(const Line& box, double u, double v) {
  return u >= box.umin && u <= box.umax && v >= box.vmin && v <= box.vmax;
}

bool InBox(const Line& box, const Node& p) {
  return InBox(box, p.u, p.v);
}

// Whether two edges meet anywhere but at a corner they share.
bool Meet(const Context& c, const Edge& e, const Edge& f) {
  if (std::max(e.ua, e.ub) + c.eps < std::min(f.ua, f.ub) - c.eps ||
      std::max(f.ua, f.ub) + c.eps < std::min(e.ua, e.ub) - c.eps)
    return false;
  const Line le = LineOf(c, e), lf = LineOf(c, f);
  const double d = le.l1 * lf.l2 - le.l2 * lf.l1;
  const bool parallel = std::fabs(d) <= c.eps;
  int shared = -1;
  if (e.a == f.a || e.a == f.b) shared = e.a;
  if (e.b == f.a || e.b == f.b) shared = e.b;
  if (shared >= 0) {
    // neighbouring edges only meet when one folds back over the other
    if (!parallel) return false;
    const int farE = e.a == shared ? e.b : e.a;
    const int farF = f.a == shared ? f.b : f.a;
    return InBox(lf, c.nodes[farE]) || InBox(le, c.nodes[farF]);
  }
  if (parallel) {
    const double length = std::hypot(lf.l1, lf.l2);
    const Node& p = c.nodes[e.a];
    return !(std::fabs(lf.l1 * p.u + lf.l2 * p.v + lf.l3) > c.eps * length);
  }
  const double u = (le.l2 * lf.l3 - le.l3 * lf.l2) / d;
  const double v = (le.l3 * lf.l1 - le.l1 * lf.l3) / d;
  return InBox(le, u, v) && InBox(lf, u, v);
}

bool MeetHandles(const Context& c, int h1, int h2) {
  if (h1 < 0 || h2 < 0) return false;
  return Meet(c, c.edges[c.line.Payload(h1)], c.edges[c.line.Payload(h2)]);
}

// Takes edge `id` (ending at the current node) off the sweep line; its
// two neighbours become neighbours and are tested.
bool RemoveEdge(Context& c, int id) {
  const int h = c.edges[id].handle;
  if (h < 0) return true;
  const int before = c.line.Prev(h), after = c.line.Next(h);
  c.line.Erase(h);
  c.edges[id].handle = -1;
  return !MeetHandles(c, before, after);
}

// Puts the edge from node a down to node b on the sweep line and tests it
// against its new neighbours.
bool AddEdge(Context& c, int id, int a, int b) {
  const Node& na = c.nodes[a];
  const Node& nb = c.nodes[b];
  c.edges[id] = {na.u, na.v, nb.u, nb.v, a, b, -1};
  // note: an active edge runs downwards in the sweep order, so a positive
  // turn from it means "further along the sweep line"
  auto where = [&](int other) {
    const Edge& o = c.edges[other];
    int side = Orient(o.ua, o.va, o.ub, o.vb, na.u, na.v);
    if (side == 0) side = Orient(o.ua, o.va, o.ub, o.vb, nb.u, nb.v);
    return side >= 0 ? 1 : -1;
  };
  int parent;
  bool after;
  c.line.Locate(where, &parent, &after);
  const int h = c.line.InsertAt(parent, after, id);
  c.edges[id].handle = h;
  return !MeetHandles(c, h, c.line.Prev(h)) && !MeetHandles(c, h, c.line.Next(h));
}

// The edge `ending` at node a gives way to the edge `starting` from a
// down to b, in the same place on the sweep line.
bool ReplaceEdge(Context& c, int ending, int starting, int a, int b) {
  const int h = c.edges[ending].handle;
  if (h < 0) return AddEdge(c, starting, a, b);
  const Node& na = c.nodes[a];
  const Node& nb = c.nodes[b];
  c.edges[starting] = {na.u, na.v, nb.u, nb.v, a, b, h};
  c.edges[ending].handle = -1;
  c.line.Replace(h, starting);
  return !MeetHandles(c, h, c.line.Prev(h)) && !MeetHandles(c, h, c.line.Next(h));
}

}  // namespace

int MergeRepeatedPoints(Context& c) {
  const int n = c.vertexCount;
  for (int i = 0; i < n; ++i) {
    Node& node = c.nodes[i];
    if (node.type == kRemoved) continue;
    const Node& next = c.nodes[node.next];
    if (node.u != next.u || node.v != next.v) continue;
    const float* p = c.Vertex(i);
    const float* q = c.Vertex(node.next);
    if (p[0] != q[0] || p[1] != q[1] || p[2] != q[2]) return kFailed;
    Contour& contour = c.contours[node.contour];
    if (--contour.count < 3) {
      DropContour(c, node.contour);
      continue;
    }
    Link(c.nodes, node.prev, node.next);
    if (contour.top == i) contour.top = node.next;
    node.type = kRemoved;
    node.prev = node.next = -1;
  }
  for (const Contour& contour : c.contours)
    if (!contour.dropped) return kOk;
  return kFailed;
}

int CheckCrossings(Context& c) {
  c.edges.resize(c.nodes.size());
  c.endedEdges.clear();
  c.line.Clear();
  size_t firstEnded = 0;
  bool ok = true;
  for (size_t r = 0; r < c.order.size() && ok; ++r) {
    const int x = c.order[r];
    Node& node = c.nodes[x];
    if (node.type == kRemoved) continue;
    // note: an edge that has ended stays on the sweep line until its box,
    // widened by eps, lies wholly above the new edges' boxes; so a corner
    // that touches another one from below (or passes within eps under it)
    // still meets its edges
    while (ok && firstEnded < c.endedEdges.size()) {
      const Edge& ended = c.edges[c.endedEdges[firstEnded]];
      if (!(std::min(ended.va, ended.vb) - c.eps > node.v + c.eps)) break;
      ok = RemoveEdge(c, c.endedEdges[firstEnded++]);
    }
    if (!ok) break;
    // edge i runs from node i to its successor
    const int toPrev = node.prev, toNext = x;
    if (node.edgeToPrev != node.edgeToNext) {
      // one edge ends here and the other starts: the new one takes the old
      // one's place on the sweep line
      const bool fromPrev = node.edgeToPrev;
      const int ending = fromPrev ? toPrev : toNext;
      const int starting = fromPrev ? toNext : toPrev;
      const int other = fromPrev ? node.next : node.prev;
      node.edgeToPrev = node.edgeToNext = true;
      if (fromPrev) {
        c.nodes[other].edgeToPrev = true;
      } else {
        c.nodes[other].edgeToNext = true;
      }
      ok = ReplaceEdge(c, ending, starting, x, other);
      continue;
    }
    if (node.edgeToPrev) c.endedEdges.push_back(toPrev);
    if (node.edgeToNext) c.endedEdges.push_back(toNext);
    if (!node.edgeToPrev) {
      node.edgeToPrev = true;
      c.nodes[node.prev].edgeToNext = true;
      ok = AddEdge(c, toPrev, x, node.prev);
    }
    if (ok && !node.edgeToNext) {
      node.edgeToNext = true;
      c.nodes[node.next].edgeToPrev = true;
      ok = AddEdge(c, toNext, x, node.next);
    }
  }
  c.line.Clear();
  if (ok) return kOk;
  c.log->Failure("Self intersecting:\n");
  return kFailed;
}

}  // namespace modra::triangulation
