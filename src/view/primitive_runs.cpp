#include "view/primitive_runs.h"

#include <GL/gl.h>

#include <algorithm>

namespace modra {

int DrawnVertexCount(const DisplayPrimitive& prim, int stride) {
  return DrawnVertexCount(prim.type, prim.vertexCount, prim.vertices.size(), stride);
}

int DrawnVertexCount(int32_t type, int32_t vertexCount, size_t floats, int stride) {
  if (stride <= 0 || vertexCount <= 0) return 0;
  const size_t stored = floats / static_cast<size_t>(stride);
  const int n = static_cast<int>(std::min(static_cast<size_t>(vertexCount), stored));
  switch (type) {
    case kTriangles:
      return n - n % 3;
    case kQuads:
      return n - n % 4;
    case kTriangleStrip:
      return n >= 3 ? n : 0;
    case kQuadStrip:
      return n >= 4 ? n - n % 2 : 0;
    default:
      return 0;
  }
}

unsigned GlModeOf(int32_t type) {
  switch (type) {
    case kTriangles:
      return GL_TRIANGLES;
    case kQuads:
      return GL_QUADS;
    case kTriangleStrip:
      return GL_TRIANGLE_STRIP;
    default:
      return GL_QUAD_STRIP;
  }
}

}  // namespace modra
