#include "geometry/triangulate_holes.h"

#include <utility>

#include "geometry/triangulate_splice.h"

namespace modra::triangulation {
namespace {

bool ReverseRing(Context& c, int start) {
  int x = start;
  size_t steps = 0;
  do {
    Node& node = c.nodes[x];
    std::swap(node.prev, node.next);
    x = node.prev;  // the old successor
    if (x < 0 || ++steps > c.nodes.size()) return false;
  } while (x != start);
  return true;
}

bool Relabel(Context& c, int start, int contour) {
  int x = start;
  size_t steps = 0;
  do {
    c.nodes[x].contour = contour;
    x = c.nodes[x].next;
    if (x < 0 || ++steps > c.nodes.size()) return false;
  } while (x != start);
  return true;
}

void CountCopy(Context& c, int x) {
  Node& node = c.nodes[x];
  if (node.dupCount >= kMaxDupVertices) {
    c.log->Failure("Need more than MAX_DUP_VERTICES duplicated vertices!!\n");
    return;
  }
  ++node.dupCount;
}

}  // namespace

int JoinHoles(Context& c) {
  for (size_t d = 0; d < c.diagonals.size(); ++d) {
    if (!c.diagonals[d].alive) continue;
    const int a = c.diagonals[d].lower, b = c.diagonals[d].upper;
    const int ka = c.nodes[a].contour, kb = c.nodes[b].contour;
    if (ka == kb) continue;
    const bool aFirst = Before(c.nodes[c.contours[ka].top], c.nodes[c.contours[kb].top]);
    const int keep = aFirst ? ka : kb;
    const int hole = aFirst ? kb : ka;
    if (ContourOrientation(c, ka) == ContourOrientation(c, kb)) {
      if (!ReverseRing(c, c.contours[hole].top)) return kSweepFailed;
      c.contours[hole].orientation = -c.contours[hole].orientation;
    }
    if (!Relabel(c, c.contours[hole].top, keep)) return kSweepFailed;
    int copyA, copyB;
    if (!Splice(c, static_cast<int>(d), c.contours[keep].orientation, &copyA, &copyB)) continue;
    CountCopy(c, a);
    CountCopy(c, b);
    c.contours[keep].count += c.contours[hole].count + 2;
    c.contours[hole].merged = true;
  }
  return kOk;
}

}  // namespace modra::triangulation
