#include "geometry/primitive_mapping.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "geometry/primitive_fields.h"

namespace modra {
namespace {

using UV = std::pair<double, double>;

// A zero size maps as size 1 rather than dividing by zero.
double Over(double a, double b) {
  return a / (b != 0 ? b : 1.0);
}

// u of vertex i of a strip of n vertices: its ring point over the ring.
double RingU(int i, int n) {
  const int points = n / 2;
  return points >= 2 ? static_cast<double>(i / 2) / (points - 1) : 0.0;
}

// Calls uv(primitive, vertex, vertexCount, position) for every vertex and
// stores the result scaled by the group's u and v scales.
template <class Fn>
void MapEach(DisplayGroup& group, Fn uv) {
  const size_t stride = static_cast<size_t>(VertexStride(group));
  const size_t at = stride - 2;
  const double su = group.textureTransform[6], sv = group.textureTransform[7];
  const int count = group.primitiveCount();
  for (int p = 0; p < count; ++p) {
    DisplayPrimitive& prim = group.primitives[p];
    const int n = static_cast<int>(std::min<size_t>(
        static_cast<size_t>(std::max(prim.vertexCount, 0)), prim.vertices.size() / stride));
    float* first = prim.vertices.MutableData();
    for (int i = 0; i < n; ++i) {
      float* v = first + i * stride;
      const UV r = uv(p, i, n, v);
      v[at] = static_cast<float>(r.first * su);
      v[at + 1] = static_cast<float>(r.second * sv);
    }
  }
}

// Side strips as the tube's: u by ring point, v from strip i's top edge
// (first vertex of each pair) to its bottom edge over `steps` strips.
UV SideUV(int strip, int i, int n, int steps) {
  const double v = (i % 2 == 0) ? strip + 1 : strip;
  return {RingU(i, n), v / steps};
}

UV TopCapUV(const float* pos, double radius) {
  return {0.5 * Over(pos[0], radius) + 0.5, 0.5 * Over(pos[2], radius) + 0.5};
}
UV BottomCapUV(const float* pos, double radius) {
  return {0.5 * Over(pos[0], radius) + 0.5, 0.5 - 0.5 * Over(pos[2], radius)};
}

void MapBlock(DisplayGroup& group, const BlockParams& b) {
  const int count = group.primitiveCount();
  MapEach(group, [&](int p, int, int, const float* pos) -> UV {
    const double x = pos[0], y = pos[1], z = pos[2];
    switch (std::min(5, p * 6 / count)) {
      case 0:  // back
        return {Over(x, b.width) + 0.5, Over(y, b.height) + 0.5};
      case 1:  // front
        return {-Over(x, b.width) + 0.5, Over(y, b.height) + 0.5};
      case 2:  // left
        return {-Over(z, b.depth) + 0.5, Over(y, b.height) + 0.5};
      case 3:  // right
        return {Over(z, b.depth) + 0.5, Over(y, b.height) + 0.5};
      case 4:  // top
        return {Over(x, b.width) + 0.5, Over(z, b.depth) + 0.5};
      default:  // bottom
        return {Over(x, b.width) + 0.5, -Over(z, b.depth) + 0.5};
    }
  });
}

// The rounded cone's v follows the profile's arc length from the bottom
// pole (0) to the top pole (1).
void MapRoundedCone(DisplayGroup& group, const ConeParams& c) {
  const RoundedConeShape shape = RoundedConeShapeOf(c);
  const double topArc = std::fabs(shape.alpha * shape.topRadius);
  const double bottomArc = std::fabs((kPi - shape.alpha) * shape.bottomRadius);
  double total = topArc + bottomArc + std::fabs(static_cast<double>(c.length));
  if (!(total > 0) || !std::isfinite(total)) total = 1;
  const double sideBottom = bottomArc / total, sideTop = 1 - topArc / total;
  const double sideStep = (sideTop - sideBottom) / c.lengthSteps;
  const double topStep = topArc / total / c.topCap;
  const double bottomStep = bottomArc / total / c.bottomCap;
  const int N = c.lengthSteps, T = c.topCap;
  MapEach(group, [&](int p, int i, int n, const float*) -> UV {
    const bool first = i % 2 == 0;
    double v;
    if (p < N) {
      v = sideBottom + (first ? p + 1 : p) * sideStep;
    } else if (p < N + T) {
      const int j = p - N;  // far edge first
      v = sideTop + (first ? j + 1 : j) * topStep;
    } else {
      const int j = p - N - T;  // near edge first
      v = sideBottom - (first ? j : j + 1) * bottomStep;
    }
    return {RingU(i, n), v};
  });
}

}  // namespace

bool MapPrimitiveDefault(Scene& s, int g) {
  DisplayGroup& group = s.groups[g];
  switch (group.kind) {
    case kKindRectangle: {
      RectangleParams r;
      if (!ReadRectangle(group, r)) return false;
      MapEach(group, [&](int, int, int, const float* pos) -> UV {
        return {Over(pos[0], r.width) + 0.5, Over(pos[1], r.height) + 0.5};
      });
      return true;
    }
    case kKindBlock: {
      BlockParams b;
      if (!ReadBlock(group, b)) return false;
      MapBlock(group, b);
      return true;
    }
    case kKindTube: {
      TubeParams t;
      if (!ReadTube(group, t)) return false;
      MapEach(group,
              [&](int p, int i, int n, const float*) { return SideUV(p, i, n, t.lengthSteps); });
      return true;
    }
    case kKindTorus: {
      TorusParams t;
      if (!ReadTorus(group, t)) return false;
      MapEach(group,
              [&](int p, int i, int n, const float*) { return SideUV(p, i, n, t.tubeSteps); });
      return true;
    }
    case kKindCylinder: {
      CylinderParams c;
      if (!ReadCylinder(group, c)) return false;
      MapEach(group, [&](int p, int i, int n, const float* pos) -> UV {
        if (p < c.lengthSteps) return SideUV(p, i, n, c.lengthSteps);
        if (p < c.lengthSteps + c.cap) return TopCapUV(pos, c.radius);
        return BottomCapUV(pos, c.radius);
      });
      return true;
    }
    case kKindCone: {
      ConeParams c;
      if (!ReadCone(group, c)) return false;
      MapEach(group, [&](int p, int i, int n, const float* pos) -> UV {
        if (p < c.lengthSteps) return SideUV(p, i, n, c.lengthSteps);
        if (p < c.lengthSteps + c.topCap) return TopCapUV(pos, c.topRadius);
        return BottomCapUV(pos, c.bottomRadius);
      });
      return true;
    }
    case kKindRoundedCone: {
      ConeParams c;
      if (!ReadCone(group, c)) return false;
      MapRoundedCone(group, c);
      return true;
    }
    case kKindSphere: {
      SphereParams sp;
      if (!ReadSphere(group, sp)) return false;
      const double B = sp.bands;
      MapEach(group, [&](int p, int i, int n, const float*) -> UV {
        return {RingU(i, n), 1 - (i % 2 == 0 ? p : p + 1) / B};
      });
      return true;
    }
    default:
      return false;
  }
}

}  // namespace modra
