#include "geometry/triangulate_splice.h"

#include <cmath>

namespace modra::triangulation {
namespace {

int CopyNode(Context& c, int from) {
  Node copy = c.nodes[from];
  copy.prev = copy.next = -1;
  copy.outCount = copy.inCount = 0;
  copy.dupCount = 0;
  copy.visited = false;
  c.nodes.push_back(copy);
  return static_cast<int>(c.nodes.size()) - 1;
}

// How far, turning towards the polygon's interior, the direction x -> to
// lies from the direction x -> from: a value in [0, 4) that grows with the
// angle (a "diamond angle", which needs no trigonometry).
double Turn(const Node& x, const Node& from, const Node& to, int interiorSign) {
  const double fu = from.u - x.u, fv = from.v - x.v;
  const double tu = to.u - x.u, tv = to.v - x.v;
  const double across = interiorSign * (fu * tv - fv * tu);
  const double along = fu * tu + fv * tv;
  const double size = std::fabs(across) + std::fabs(along);
  if (!(size > 0)) return 0;
  if (across >= 0) return along >= 0 ? across / size : 1 - along / size;
  return along < 0 ? 2 - across / size : 3 + along / size;
}

void Unlist(int* list, uint8_t& count, int d) {
  for (int i = 0; i < count; ++i) {
    if (list[i] == d) {
      list[i] = list[--count];
      return;
    }
  }
}

void MoveDiagonal(Context& c, int d, int from, int to) {
  Diagonal& diagonal = c.diagonals[d];
  Node& source = c.nodes[from];
  Node& target = c.nodes[to];
  if (diagonal.lower == from) {
    if (target.outCount >= kMaxDiagonals) return DropDiagonal(c, d);
    Unlist(source.out, source.outCount, d);
    target.out[target.outCount++] = d;
    diagonal.lower = to;
  } else {
    if (target.inCount >= kMaxDiagonals) return DropDiagonal(c, d);
    Unlist(source.in, source.inCount, d);
    target.in[target.inCount++] = d;
    diagonal.upper = to;
  }
}

// The diagonals at node x other than `except`.
int OtherDiagonals(const Context& c, int x, int except, int* list) {
  const Node& node = c.nodes[x];
  int count = 0;
  for (int i = 0; i < node.outCount; ++i)
    if (node.out[i] != except) list[count++] = node.out[i];
  for (int i = 0; i < node.inCount; ++i)
    if (node.in[i] != except) list[count++] = node.in[i];
  return count;
}

int FarEnd(const Context& c, int d, int x) {
  const Diagonal& diagonal = c.diagonals[d];
  return diagonal.lower == x ? diagonal.upper : diagonal.lower;
}

}  // namespace

int ContourOrientation(Context& c, int k) {
  Contour& contour = c.contours[k];
  if (contour.orientation != -2) return contour.orientation;
  const Node& top = c.nodes[contour.top];
  int o = Orient(c.nodes[top.prev], top, c.nodes[top.next]);
  if (o == 0) {
    // a flat top corner: fall back to the sign of the ring's area
    double area = 0;
    int x = contour.top;
    size_t steps = 0;
    do {
      const Node& a = c.nodes[x];
      const Node& b = c.nodes[a.next];
      area += (a.u - top.u) * (b.v - top.v) - (b.u - top.u) * (a.v - top.v);
      x = a.next;
    } while (x != contour.top && ++steps <= c.nodes.size());
    o = (area > 0) - (area < 0);
  }
  contour.orientation = o;
  return o;
}

void DropDiagonal(Context& c, int d) {
  Diagonal& diagonal = c.diagonals[d];
  if (!diagonal.alive) return;
  Node& lower = c.nodes[diagonal.lower];
  Node& upper = c.nodes[diagonal.upper];
  Unlist(lower.out, lower.outCount, d);
  Unlist(upper.in, upper.inCount, d);
  diagonal.alive = false;
}

bool Splice(Context& c, int d, int interiorSign, int* copyA, int* copyB) {
  const int a = c.diagonals[d].lower, b = c.diagonals[d].upper;
  if (a == b || RingNeighbours(c, a, b)) {
    DropDiagonal(c, d);
    return false;
  }
  const int pa = c.nodes[a].prev, na = c.nodes[a].next;
  const int nb = c.nodes[b].next;

  // Handing over the other diagonals. Each one leaves its node through the
  // polygon's interior, inside the corner between the node's two ring
  // edges, and the cut splits that corner in two: after the relinking a
  // keeps the part from a.next round to the cut and a' the part from the
  // cut round to a.prev; b' gets the part from b.next round to the cut and
  // b the rest. Measuring every direction from the ring edge to next,
  // turning into the interior, a diagonal that turns less than the cut lies
  // in the first part, one that turns more in the second. So each diagonal
  // goes to the copy whose new ring holds it and can never cross that
  // ring's edges (which a blind choice could make it do).
  const int a2 = CopyNode(c, a);
  const int b2 = CopyNode(c, b);
  int others[2 * kMaxDiagonals];
  const double cutAtA = Turn(c.nodes[a], c.nodes[na], c.nodes[b], interiorSign);
  int count = OtherDiagonals(c, a, d, others);
  for (int i = 0; i < count; ++i) {
    const int w = FarEnd(c, others[i], a);
    if (w == b) {
      DropDiagonal(c, others[i]);  // the same cut twice
    } else if (Turn(c.nodes[a], c.nodes[na], c.nodes[w], interiorSign) >= cutAtA) {
      MoveDiagonal(c, others[i], a, a2);
    }
  }
  const double cutAtB = Turn(c.nodes[b], c.nodes[nb], c.nodes[a], interiorSign);
  count = OtherDiagonals(c, b, d, others);
  for (int i = 0; i < count; ++i) {
    const int w = FarEnd(c, others[i], b);
    if (Turn(c.nodes[b], c.nodes[nb], c.nodes[w], interiorSign) < cutAtB)
      MoveDiagonal(c, others[i], b, b2);
  }
  DropDiagonal(c, d);

  Link(c.nodes, pa, a2);
  Link(c.nodes, a2, b2);
  Link(c.nodes, b2, nb);
  Link(c.nodes, b, a);
  *copyA = a2;
  *copyB = b2;
  return true;
}

}  // namespace modra::triangulation
