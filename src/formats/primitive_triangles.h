// The triangles of a display primitive, as the exports write them: a
// triangle list as it is, quads and both kinds of strip cut in the order
// the Wavefront export writes its faces.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scene/display_group.h"

namespace modra {

// Calls triangle(a, b, c) with vertex numbers of a primitive of `count`
// vertices, in the order the Wavefront export writes its faces.
template <class Triangle>
inline void ForEachTriangle(int32_t type, size_t count, Triangle&& triangle) {
  switch (type) {
    case kTriangles:
      for (size_t k = 0; k + 3 <= count; k += 3)
        triangle(k, k + 1, k + 2);
      break;
    case kQuads:
      for (size_t k = 0; k + 4 <= count; k += 4) {
        triangle(k, k + 1, k + 2);
        triangle(k, k + 2, k + 3);
      }
      break;
    case kTriangleStrip:
      for (size_t k = 0; k + 3 <= count; ++k)
        if (k % 2 == 0)
          triangle(k, k + 1, k + 2);
        else
          triangle(k + 1, k, k + 2);
      break;
    case kQuadStrip:
      for (size_t k = 0; k + 4 <= count; k += 2) {
        triangle(k, k + 1, k + 3);
        triangle(k, k + 3, k + 2);
      }
      break;
    default:
      break;
  }
}

}  // namespace modra
