// The surface of revolution's own texture mapping: u around the sweep, v
// down the profile by arc length; caps flat in distance from the axis and
// height.
#include <algorithm>
#include <cmath>
#include <vector>

#include "geometry/revolution.h"
#include "geometry/revolution_block.h"
#include "geometry/texture_mapping.h"

namespace modra {
namespace {

// True when the primitives are the block's strips followed by triangles.
bool MatchesBlock(const DisplayGroup& group, const RevolutionBlock& p) {
  const size_t strips = static_cast<size_t>(p.pointCount);
  if (group.primitives.size() < strips) return false;
  const size_t stride = static_cast<size_t>(VertexStride(group));
  for (size_t i = 0; i < group.primitives.size(); ++i) {
    const DisplayPrimitive& prim = group.primitives[i];
    const bool fits = i < strips ? prim.type == kTriangleStrip && prim.vertexCount == 2 * p.Steps()
                                 : prim.type == kTriangles && prim.vertexCount == 3;
    if (!fits || prim.vertices.size() < static_cast<size_t>(prim.vertexCount) * stride)
      return false;
  }
  return true;
}

// u from the distance to the axis, v from the height, over the cap's own box.
void MapCap(DisplayGroup& group, size_t begin, size_t end, int stride, int uvAt, float su,
            float sv) {
  float minR = 1e30f, maxR = -1e30f, minY = 1e30f, maxY = -1e30f;
  for (size_t i = begin; i < end; ++i) {
    const float* v = group.primitives[i].vertices.data();
    for (int k = 0; k < 3; ++k, v += stride) {
      const float rho = std::sqrt(v[0] * v[0] + v[2] * v[2]);
      minR = std::min(minR, rho), maxR = std::max(maxR, rho);
      minY = std::min(minY, v[1]), maxY = std::max(maxY, v[1]);
    }
  }
  const float w = maxR > minR ? maxR - minR : 1.0f;
  const float h = maxY > minY ? maxY - minY : 1.0f;
  for (size_t i = begin; i < end; ++i) {
    float* v = group.primitives[i].vertices.MutableData();
    for (int k = 0; k < 3; ++k, v += stride) {
      const float rho = std::sqrt(v[0] * v[0] + v[2] * v[2]);
      v[uvAt] = (rho - minR) / w * su;
      v[uvAt + 1] = (v[1] - minY) / h * sv;
    }
  }
}

}  // namespace

int MapRevolutionDefault(Scene& s, int g) {
  RevolutionBlock p;
  if (!ReadRevolutionBlock(s.groups[g].generatorParams, p)) return -1;
  if (!MatchesBlock(s.groups[g], p)) return -1;
  if (!(s.groups[g].flags & TexCoords) && AddTextureCoordinates(s, g) != 0) return -1;
  // The arrays were just widened: check them at their new stride.
  if (!MatchesBlock(s.groups[g], p)) return -1;

  DisplayGroup& group = s.groups[g];
  const int stride = VertexStride(group);
  const int uvAt = (group.flags & VertexColors) ? 9 : 6;
  const float su = group.textureTransform[6], sv = group.textureTransform[7];
  const int n = p.pointCount;
  const int steps = p.Steps();

  // Arc length from point 0 to each point; the closing segment ends at the
  // full length, so the last strip runs on down to v = 0.
  std::vector<float> along(static_cast<size_t>(n) + 1, 0.0f);
  for (int i = 0; i < n; ++i) {
    const int next = (i + 1) % n;
    along[i + 1] = along[i] + std::hypot(p.X(next) - p.X(i), p.Y(next) - p.Y(i));
  }
  // note: a profile of coincident points has no length to spread v over.
  const float total = along[n] > 0.0f ? along[n] : 1.0f;
  for (int i = 0; i < n; ++i) {
    float* v = group.primitives[i].vertices.MutableData();
    const float vFirst = (1.0f - along[i] / total) * sv;
    const float vSecond = (1.0f - along[i + 1] / total) * sv;
    for (int k = 0; k < steps; ++k, v += 2 * stride) {
      const float u = static_cast<float>(k) / static_cast<float>(steps - 1) * su;
      v[uvAt] = u;
      v[uvAt + 1] = vFirst;
      v[stride + uvAt] = u;
      v[stride + uvAt + 1] = vSecond;
    }
  }

  // The start cap's triangles come first; the block counts them.
  const size_t strips = static_cast<size_t>(n);
  const size_t triangles = group.primitives.size() - strips;
  const int64_t counted =
      BlockCount(BlockFloat(p.data, revolution_word::kStartCap), static_cast<int64_t>(triangles));
  const size_t startEnd = strips + static_cast<size_t>(std::max<int64_t>(counted, 0));
  MapCap(group, strips, startEnd, stride, uvAt, su, sv);
  MapCap(group, startEnd, group.primitives.size(), stride, uvAt, su, sv);
  return 0;
}

}  // namespace modra
