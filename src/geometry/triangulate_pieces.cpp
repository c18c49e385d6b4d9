#include "geometry/triangulate_pieces.h"

#include "geometry/triangulate_clip.h"
#include "geometry/triangulate_splice.h"

namespace modra::triangulation {

int CutAndClip(Context& c) {
  for (size_t d = 0; d < c.diagonals.size(); ++d) {
    if (!c.diagonals[d].alive) continue;
    const int a = c.diagonals[d].lower;
    int copyA, copyB;
    Splice(c, static_cast<int>(d), c.contours[c.nodes[a].contour].orientation, &copyA, &copyB);
  }
  // pieces roughly from the top down: originals in sweep order, then copies
  for (int x : c.order) {
    if (c.nodes[x].type == kRemoved || c.nodes[x].visited) continue;
    if (int status = ClipPiece(c, x); status != kOk) return status;
  }
  for (size_t x = c.order.size(); x < c.nodes.size(); ++x) {
    if (c.nodes[x].visited) continue;
    if (int status = ClipPiece(c, static_cast<int>(x)); status != kOk) return status;
  }
  return kOk;
}

}  // namespace modra::triangulation
