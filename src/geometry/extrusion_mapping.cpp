// The extrusion's own texture mapping: the image wraps around each contour
// by edge length and runs down the depth across walls and bevels; the caps
// take it flat in x and y.
#include <algorithm>
#include <cmath>

#include "geometry/extrusion.h"
#include "geometry/extrusion_block.h"
#include "geometry/texture_mapping.h"

namespace modra {
namespace {

int StripVertexCount(const ExtrusionBlock& p, int first, int n) {
  int corners = 0;
  for (int j = 1; j < n; ++j)
    corners += p.Corner(first + j);
  return 2 * (n + corners) + 2;
}

// True when the group's primitives are the strips the block describes,
// followed by triangles only.
bool MatchesBlock(const DisplayGroup& group, const ExtrusionBlock& p, int bandCount) {
  const auto& prims = group.primitives;
  const size_t strips = static_cast<size_t>(bandCount) * p.contourCount;
  if (prims.size() < strips) return false;
  const size_t stride = static_cast<size_t>(VertexStride(group));
  for (int b = 0; b < bandCount; ++b) {
    for (int c = 0, first = 0; c < p.contourCount; first += p.Count(c), ++c) {
      const DisplayPrimitive& prim = prims[static_cast<size_t>(b) * p.contourCount + c];
      if (prim.type != kTriangleStrip || prim.vertexCount != StripVertexCount(p, first, p.Count(c)))
        return false;
    }
  }
  for (size_t i = 0; i < prims.size(); ++i) {
    const DisplayPrimitive& prim = prims[i];
    if (i >= strips && (prim.type != kTriangles || prim.vertexCount != 3)) return false;
    if (prim.vertexCount < 0 ||
        prim.vertices.size() < static_cast<size_t>(prim.vertexCount) * stride)
      return false;
  }
  return true;
}

float Distance(const ExtrusionBlock& p, int a, int b) {
  return std::hypot(p.X(b) - p.X(a), p.Y(b) - p.Y(a));
}

}  // namespace

int MapExtrusionDefault(Scene& s, int g) {
  ExtrusionBlock p;
  if (!ReadExtrusionBlock(s.groups[g].generatorParams, p)) return -1;
  const bool front = p.flags & kBevelFront, back = p.flags & kBevelBack;
  const int bandCount = 1 + front + back;
  if (!MatchesBlock(s.groups[g], p, bandCount)) return -1;
  if (!(s.groups[g].flags & TexCoords) && AddTextureCoordinates(s, g) != 0) return -1;
  // The arrays were just widened: check them at their new stride.
  if (!MatchesBlock(s.groups[g], p, bandCount)) return -1;

  DisplayGroup& group = s.groups[g];
  const int stride = VertexStride(group);
  const int uvAt = (group.flags & VertexColors) ? 9 : 6;
  const float su = group.textureTransform[6], sv = group.textureTransform[7];
  const float depth = std::isfinite(p.depth) ? p.depth : 0.0f;
  const float b = std::isfinite(p.bevelSize) ? p.bevelSize : 0.0f;
  const float bFront = front ? b : 0.0f, bBack = back ? b : 0.0f;
  float t = depth + (front ? 0.41421f * b : 0.0f) + (back ? 0.41421f * b : 0.0f);
  // note: a flat, unbevelled extrusion has no length to spread v over.
  if (t == 0.0f) t = 1.0f;

  // v of the +Z and the -Z vertex of each band's pairs: the image's top
  // edge (v = 1) on the front (-Z) face.
  struct BandV {
    float plusZ, minusZ;
  };
  BandV bands[3];
  int bandAt = 0;
  bands[bandAt++] = {bBack / t, 1.0f - bFront / t};
  if (front) bands[bandAt++] = {1.0f - b / t, 1.0f};
  if (back) bands[bandAt++] = {0.0f, b / t};

  for (int band = 0; band < bandCount; ++band) {
    for (int c = 0, first = 0; c < p.contourCount; first += p.Count(c), ++c) {
      const int n = p.Count(c);
      const bool hole = c > 0;
      float perimeter = 0.0f;
      for (int j = 0; j < n; ++j)
        perimeter += Distance(p, first + j, first + (j + 1) % n);
      if (perimeter == 0.0f) perimeter = 1.0f;
      DisplayPrimitive& prim = group.primitives[static_cast<size_t>(band) * p.contourCount + c];
      float* v = prim.vertices.MutableData();
      // The outer contour's pairs start with the +Z vertex, the holes' with -Z.
      const float vFirst = hole ? bands[band].minusZ : bands[band].plusZ;
      const float vSecond = hole ? bands[band].plusZ : bands[band].minusZ;
      auto pair = [&](float along) {
        const float u = hole ? along / perimeter : 1.0f - along / perimeter;
        v[uvAt] = u * su;
        v[uvAt + 1] = vFirst * sv;
        v[stride + uvAt] = u * su;
        v[stride + uvAt + 1] = vSecond * sv;
        v += 2 * stride;
      };
      float along = 0.0f;
      for (int j = 0; j <= n; ++j) {
        if (j > 0) along += Distance(p, first + j - 1, first + j % n);
        if (p.Corner(first + j % n) && j > 0 && j < n) pair(along);
        pair(along);
      }
    }
  }

  // The caps: flat over the box of both caps together.
  const size_t strips = static_cast<size_t>(bandCount) * p.contourCount;
  float minX = 1e30f, maxX = -1e30f, minY = 1e30f, maxY = -1e30f;
  for (size_t i = strips; i < group.primitives.size(); ++i) {
    const float* v = group.primitives[i].vertices.data();
    for (int k = 0; k < 3; ++k) {
      minX = std::min(minX, v[k * stride]);
      maxX = std::max(maxX, v[k * stride]);
      minY = std::min(minY, v[k * stride + 1]);
      maxY = std::max(maxY, v[k * stride + 1]);
    }
  }
  const float w = maxX > minX ? maxX - minX : 1.0f;
  const float h = maxY > minY ? maxY - minY : 1.0f;
  for (size_t i = strips; i < group.primitives.size(); ++i) {
    float* v = group.primitives[i].vertices.MutableData();
    for (int k = 0; k < 3; ++k) {
      v[k * stride + uvAt] = (v[k * stride] - minX) / w * su;
      v[k * stride + uvAt + 1] = (v[k * stride + 1] - minY) / h * sv;
    }
  }
  return 0;
}

}  // namespace modra
