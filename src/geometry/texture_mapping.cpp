#include "geometry/texture_mapping.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "geometry/extrusion.h"
#include "geometry/primitive_mapping.h"
#include "geometry/primitives.h"
#include "geometry/revolution.h"
#include "scene/group_fields.h"
#include "scene/matrix.h"

namespace modra {
namespace {

constexpr double kInvTwoPi = 0.15915494;
constexpr double kInvPi = 0.31830987;
constexpr double kOnAxis = 1e-5;

// The vertices an array really holds: never more than its floats allow.
int UsableVertices(const DisplayPrimitive& prim, size_t stride) {
  return static_cast<int>(std::min<size_t>(static_cast<size_t>(std::max(prim.vertexCount, 0)),
                                           prim.vertices.size() / stride));
}

// The frame every projection works in: positions turned by the negated
// texture rotation, boxed, and shifted by the texture translation.
struct Frame {
  Mat4 rotation = kIdentity;
  Vec3 shift = {0, 0, 0};
  Vec3 lo = {1e20f, 1e20f, 1e20f};
  Vec3 extent = {1, 1, 1};

  Vec3 Apply(const float* p) const {
    Vec3 q = TransformPoint(rotation, {p[0], p[1], p[2]});
    return {q[0] - shift[0], q[1] - shift[1], q[2] - shift[2]};
  }
};

// `oriented` false leaves out the texture rotation and translation, as the
// default mappings of generated groups do.
Frame MakeFrame(const DisplayGroup& group, bool oriented) {
  Frame f;
  const auto& tt = group.textureTransform;
  if (oriented) {
    f.rotation = RotationMatrix(-tt[0], -tt[1], -tt[2]);
    f.shift = {tt[3], tt[4], tt[5]};
  }
  Vec3 hi = {-1e20f, -1e20f, -1e20f};
  const size_t stride = static_cast<size_t>(VertexStride(group));
  for (const DisplayPrimitive& prim : group.primitives) {
    const int n = UsableVertices(prim, stride);
    for (int i = 0; i < n; ++i) {
      const Vec3 q =
          TransformPoint(f.rotation, {prim.vertices[i * stride], prim.vertices[i * stride + 1],
                                      prim.vertices[i * stride + 2]});
      for (int a = 0; a < 3; ++a) {
        f.lo[a] = std::min(f.lo[a], q[a]);
        hi[a] = std::max(hi[a], q[a]);
      }
    }
  }
  // A flat box side counts as 1 so nothing divides by zero.
  for (int a = 0; a < 3; ++a) {
    const float e = hi[a] - f.lo[a];
    f.extent[a] = e > 0 ? e : 1.0f;
  }
  return f;
}

enum class Projection { kCylindrical, kSpherical };

// Raw u, v of one primitive's vertices, and which of them lie on the axis
// (their u is undefined there).
void Project(const Frame& f, Projection how, const float* vertices, size_t stride, int n,
             std::vector<double>& u, std::vector<double>& v, std::vector<uint8_t>& axis) {
  u.assign(n, 0.5);
  v.assign(n, 0.0);
  axis.assign(n, 0);
  for (int i = 0; i < n; ++i) {
    const Vec3 q = f.Apply(vertices + i * stride);
    double c[3];
    for (int a = 0; a < 3; ++a)
      c[a] = 2.0 * (q[a] - f.lo[a]) / f.extent[a] - 1.0;
    const double len = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
    const double nx = len != 0 ? c[0] / len : c[0];
    const double ny = len != 0 ? c[1] / len : c[1];
    const double nz = len != 0 ? c[2] / len : c[2];
    if (how == Projection::kCylindrical) {
      v[i] = (c[1] + 1) * 0.5;
      if (std::fabs(nx) < kOnAxis && std::fabs(nz) < kOnAxis)
        axis[i] = 1;
      else
        u[i] = std::atan2(nz, nx) * kInvTwoPi + 0.5;
    } else if (std::fabs(c[0]) < kOnAxis && std::fabs(c[2]) < kOnAxis) {
      // A translated frame puts points outside -1..1: acos must not see them.
      axis[i] = 1;
      v[i] = 1 - std::acos(std::clamp(c[1], -1.0, 1.0)) * kInvPi;
    } else {
      u[i] = std::atan2(nz, nx) * kInvTwoPi + 0.5;
      v[i] = 1 - std::acos(std::clamp(ny, -1.0, 1.0)) * kInvPi;
    }
  }
}

// The seam and axis fix-ups on vertices [b, e) of one unit: a whole strip,
// or one triangle or quad of a list.
void FixUnit(std::vector<double>& u, const std::vector<uint8_t>& axis, int b, int e, bool strip) {
  // Axis vertices first follow the non-axis vertex before them (the first
  // one for those in front), so the seam walk sees no jump at them.
  int firstReal = -1;
  for (int i = b; i < e && firstReal < 0; ++i)
    if (!axis[i]) firstReal = i;
  bool anyAxis = false;
  double last = firstReal >= 0 ? u[firstReal] : 0.5;
  for (int i = b; i < e; ++i) {
    if (axis[i]) {
      u[i] = last;
      anyAxis = true;
    } else {
      last = u[i];
    }
  }
  if (strip) {
    double offset = 0;
    for (int i = b + 1; i < e; ++i) {
      const double d = (u[i] + offset) - u[i - 1];
      if (d >= 0.6)
        offset -= 1;
      else if (d < -0.6)
        offset += 1;
      u[i] += offset;
    }
  } else {
    for (int i = b + 1; i < e; ++i) {
      const double d = u[i] - u[b];
      if (d >= 0.6)
        u[i] -= 1;
      else if (d < -0.6)
        u[i] += 1;
    }
  }
  if (!anyAxis || firstReal < 0) return;
  double sum = 0;
  int count = 0;
  for (int i = b; i < e; ++i)
    if (!axis[i]) sum += u[i], ++count;
  for (int i = b; i < e; ++i)
    if (axis[i]) u[i] = sum / count;
}

void MapRound(DisplayGroup& group, Projection how, bool oriented) {
  const Frame f = MakeFrame(group, oriented);
  const size_t stride = static_cast<size_t>(VertexStride(group));
  const size_t at = stride - 2;
  const double su = group.textureTransform[6], sv = group.textureTransform[7];
  std::vector<double> u, v;
  std::vector<uint8_t> axis;
  for (DisplayPrimitive& prim : group.primitives) {
    const int n = UsableVertices(prim, stride);
    Project(f, how, prim.vertices.data(), stride, n, u, v, axis);
    if (prim.type == kTriangleStrip || prim.type == kQuadStrip) {
      FixUnit(u, axis, 0, n, true);
    } else {
      // note: a list of many triangles or quads is fixed face by face; a
      // pole vertex then takes the mean of its own face, not of the list.
      const int face = prim.type == kQuads ? 4 : 3;
      for (int b = 0; b < n; b += face)
        FixUnit(u, axis, b, std::min(n, b + face), false);
    }
    float* out = prim.vertices.MutableData();
    for (int i = 0; i < n; ++i) {
      out[i * stride + at] = static_cast<float>(u[i] * su);
      out[i * stride + at + 1] = static_cast<float>(v[i] * sv);
    }
  }
}

void MapFlat(DisplayGroup& group) {
  const Frame f = MakeFrame(group, true);
  const size_t stride = static_cast<size_t>(VertexStride(group));
  const size_t at = stride - 2;
  const double su = group.textureTransform[6], sv = group.textureTransform[7];
  for (DisplayPrimitive& prim : group.primitives) {
    const int n = UsableVertices(prim, stride);
    float* first = prim.vertices.MutableData();
    for (int i = 0; i < n; ++i) {
      float* vertex = first + i * stride;
      const Vec3 q = f.Apply(vertex);
      vertex[at] = static_cast<float>((q[0] - f.lo[0]) / f.extent[0] * su);
      vertex[at + 1] = static_cast<float>((q[1] - f.lo[1]) / f.extent[1] * sv);
    }
  }
}

}  // namespace

int AddTextureCoordinates(Scene& s, int g) {
  if (!IsValidSlot(s, g)) return -1;
  DisplayGroup& group = s.groups[g];
  if (group.flags & TexCoords) return 0;
  const size_t stride = static_cast<size_t>(VertexStride(group));
  const size_t wider = stride + 2;
  // An array shorter than its count cannot be widened: it fails like an
  // allocation would, rather than reading past its end.
  bool ok = true;
  for (const DisplayPrimitive& prim : group.primitives)
    if (prim.vertexCount < 0 || prim.vertices.size() < prim.vertexCount * stride) ok = false;
  try {
    for (DisplayPrimitive& prim : group.primitives) {
      if (!ok) break;
      const size_t n = static_cast<size_t>(prim.vertexCount);
      std::vector<float> widened(n * wider, 0.0f);
      for (size_t i = 0; i < n; ++i)
        std::copy_n(prim.vertices.data() + i * stride, stride, widened.data() + i * wider);
      prim.vertices = std::move(widened);
    }
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  if (!ok) {
    // Some arrays may be wide and some not: none can be trusted.
    group.primitives.clear();
    group.primitives.shrink_to_fit();
    return -1;
  }
  group.flags |= TexCoords;
  return 0;
}

int MapPlanar(Scene& s, int g) {
  if (AddTextureCoordinates(s, g) != 0) return -1;
  MapFlat(s.groups[g]);
  SetMappingKind(s, g, kPlanarMapping);
  return 0;
}

int MapCylindrical(Scene& s, int g) {
  if (AddTextureCoordinates(s, g) != 0) return -1;
  MapRound(s.groups[g], Projection::kCylindrical, true);
  SetMappingKind(s, g, kCylindricalMapping);
  return 0;
}

int MapSpherical(Scene& s, int g) {
  if (AddTextureCoordinates(s, g) != 0) return -1;
  MapRound(s.groups[g], Projection::kSpherical, true);
  SetMappingKind(s, g, kSphericalMapping);
  return 0;
}

int MapDefault(Scene& s, int g) {
  if (!IsValidSlot(s, g)) return -1;
  const int32_t kind = s.groups[g].kind;
  if (kind == kKindMesh) return MapSpherical(s, g);
  if (AddTextureCoordinates(s, g) != 0) return -1;
  if (kind == kKindExtrusion) {
    if (MapExtrusionDefault(s, g) != 0) return -1;
  } else if (kind == kKindRevolution) {
    if (MapRevolutionDefault(s, g) != 0) return -1;
  } else if (!IsPrimitiveKind(kind) || !MapPrimitiveDefault(s, g)) {
    // The octahedron sphere, and any kind without a shape mapping, map
    // spherically; a generated group ignores the texture orientation.
    MapRound(s.groups[g], Projection::kSpherical, !IsPrimitiveKind(kind));
  }
  SetMappingKind(s, g, kDefaultMapping);
  return 0;
}

void ReapplyTextureMapping(Scene& s, int g) {
  if (!IsValidSlot(s, g) || !(s.groups[g].flags & TexCoords)) return;
  switch (GetMappingKind(s, g)) {
    case kPlanarMapping:
      MapPlanar(s, g);
      break;
    case kCylindricalMapping:
      MapCylindrical(s, g);
      break;
    case kSphericalMapping:
      MapSpherical(s, g);
      break;
    case kDefaultMapping:
      MapDefault(s, g);
      break;
    default:
      break;
  }
}

}  // namespace modra
