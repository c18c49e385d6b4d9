#include "geometry/primitive_mesh.h"

#include <cmath>
#include <new>

#include "geometry/primitive_fields.h"

namespace modra {
namespace {

bool Matches(const DisplayGroup& group, const std::vector<PrimitiveShape>& shapes) {
  if (group.primitives.size() != shapes.size()) return false;
  const size_t stride = static_cast<size_t>(VertexStride(group));
  for (size_t p = 0; p < shapes.size(); ++p) {
    const DisplayPrimitive& prim = group.primitives[p];
    if (prim.type != shapes[p].type || prim.vertexCount != shapes[p].vertexCount ||
        prim.vertices.size() != static_cast<size_t>(shapes[p].vertexCount) * stride)
      return false;
  }
  return true;
}

}  // namespace

Prepared PrepareArrays(Scene& s, int g, const std::vector<PrimitiveShape>& shapes, int rebuild) {
  DisplayGroup& group = s.groups[g];
  if (rebuild == 0 && Matches(group, shapes)) return Prepared::kInPlace;

  // The old arrays are reused where they are large enough: a rebuild at
  // the same or a lower resolution then touches no fresh memory, whose
  // page faults would cost more than the generator itself.
  const size_t stride = static_cast<size_t>(VertexStride(group));
  const bool colored = (group.flags & VertexColors) != 0;
  try {
    group.primitives.resize(shapes.size());
    for (size_t p = 0; p < shapes.size(); ++p) {
      DisplayPrimitive& prim = group.primitives[p];
      const size_t floats = static_cast<size_t>(shapes[p].vertexCount) * stride;
      prim.type = shapes[p].type;
      prim.vertexCount = shapes[p].vertexCount;
      if (prim.vertices.capacity() > 2 * floats + 1024) prim.vertices.clear();
      prim.vertices.assign(floats, 0.0f);
      if (colored) {
        float* v = prim.vertices.MutableData();
        for (int i = 0; i < shapes[p].vertexCount; ++i, v += stride) {
          v[3] = group.color[0];
          v[4] = group.color[1];
          v[5] = group.color[2];
        }
      }
    }
  } catch (const std::bad_alloc&) {
    group.primitives.clear();
    group.primitives.shrink_to_fit();
    return Prepared::kFailed;
  }
  return Prepared::kRebuilt;
}

void MakeRing(int points, Ring& ring) {
  assert(points >= 2);
  ring.cosA.resize(points);
  ring.sinA.resize(points);
  const double step = 2 * kPi / (points - 1);
  for (int k = 0; k < points; ++k) {
    // The last point is taken at pi/2 itself, not at pi/2 + 2 pi.
    const double a = k == points - 1 ? kHalfPi : kHalfPi + k * step;
    ring.cosA[k] = std::cos(a);
    ring.sinA[k] = std::sin(a);
  }
}

void AppendShapes(std::vector<PrimitiveShape>& shapes, int n, int32_t type, int32_t count) {
  for (int i = 0; i < n; ++i)
    shapes.push_back({type, count});
}

}  // namespace modra
