// The extrusion generator: wall strips, bevel strips and triangulated caps
// from the profile held in the group's block.
#include <cmath>
#include <new>
#include <vector>

#include "geometry/extrusion.h"
#include "geometry/extrusion_block.h"
#include "geometry/texture_mapping.h"
#include "geometry/triangulate.h"

namespace modra {
namespace {

constexpr double kPi = 3.14159265358979323846;

enum Band { kWall, kFrontBevel, kBackBevel };

struct Vec2 {
  float x, y;
};

Vec2 Normalized(float x, float y) {
  const float len = std::sqrt(x * x + y * y);
  if (len == 0.0f) return {x, y};
  return {x / len, y / len};
}

// Per-point quantities of one profile, all contours in one array.
struct ProfileFrame {
  std::vector<Vec2> edgeNormal;    // of the edge from point i to the next
  std::vector<Vec2> smoothNormal;  // mean of the two edges at point i
  std::vector<float> miter;        // how far the bevel insets point i
};

void ComputeFrame(const ExtrusionBlock& p, float bevel, ProfileFrame& f) {
  f.edgeNormal.resize(p.pointCount);
  f.smoothNormal.resize(p.pointCount);
  f.miter.resize(p.pointCount);
  int first = 0;
  for (int c = 0; c < p.contourCount; ++c) {
    const int n = p.Count(c);
    const bool hole = c > 0;
    for (int j = 0; j < n; ++j) {
      const int i = first + j;
      const int next = first + (j + 1) % n;
      const float dx = p.X(next) - p.X(i), dy = p.Y(next) - p.Y(i);
      float len = std::sqrt(dx * dx + dy * dy);
      if (len == 0.0f) len = 1.0f;
      // Clockwise contours: this side faces out of the solid.
      f.edgeNormal[i] = hole ? Vec2{dy / len, -dx / len} : Vec2{-dy / len, dx / len};
    }
    for (int j = 0; j < n; ++j) {
      const int i = first + j;
      const int prev = first + (j + n - 1) % n;
      const int next = first + (j + 1) % n;
      const Vec2 a = f.edgeNormal[prev], b = f.edgeNormal[i];
      f.smoothNormal[i] = Normalized((a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f);
      const double inX = p.X(i) - p.X(prev), inY = p.Y(i) - p.Y(prev);
      const double outX = p.X(next) - p.X(i), outY = p.Y(next) - p.Y(i);
      const double aIn = std::atan2(inY, inX), aOut = std::atan2(outY, outX);
      const double s = std::fabs(std::sin(((kPi - aIn) + aOut) / 2));
      // note: a contour that doubles back on itself gives s near 0 but not
      // exactly 0 in floating point; such a point gets no inset rather than
      // one thousands of times the bevel.
      f.miter[i] = s < 1e-6 ? 0.0f : static_cast<float>(bevel / s);
    }
    first += n;
  }
}

struct Layout {
  int stride, normalAt;
  float halfDepth, zFront, zBack;
};

void PutVertex(float* v, const Layout& l, float x, float y, float z, float nx, float ny, float nz) {
  v[0] = x;
  v[1] = y;
  v[2] = z;
  v[l.normalAt] = nx;
  v[l.normalAt + 1] = ny;
  v[l.normalAt + 2] = nz;
}

// One strip: a vertex pair per point (twice at corners), the outer
// contour's pairs starting with the +Z vertex, the holes' with the -Z one.
void BuildStrip(const ExtrusionBlock& p, const ProfileFrame& f, const Layout& l, Band band,
                int first, int n, bool hole, DisplayPrimitive& prim) {
  int corners = 0;
  for (int j = 1; j < n; ++j)
    corners += p.Corner(first + j);
  prim.type = kTriangleStrip;
  prim.vertexCount = 2 * (n + corners) + 2;
  prim.vertices.assign(static_cast<size_t>(prim.vertexCount) * l.stride, 0.0f);
  float* out = prim.vertices.MutableData();

  auto pair = [&](int i, Vec2 n2) {
    const float x = p.X(i), y = p.Y(i);
    const Vec2 s = f.smoothNormal[i];
    const float ix = x - f.miter[i] * s.x, iy = y - f.miter[i] * s.y;
    float plus[3], minus[3], nz = 0.0f;
    switch (band) {
      case kWall:
        plus[0] = x, plus[1] = y, plus[2] = l.zBack;
        minus[0] = x, minus[1] = y, minus[2] = l.zFront;
        break;
      case kFrontBevel:
        plus[0] = x, plus[1] = y, plus[2] = l.zFront;
        minus[0] = ix, minus[1] = iy, minus[2] = -l.halfDepth;
        nz = -1.0f;
        break;
      case kBackBevel:
        plus[0] = ix, plus[1] = iy, plus[2] = l.halfDepth;
        minus[0] = x, minus[1] = y, minus[2] = l.zBack;
        nz = 1.0f;
        break;
    }
    float nx = n2.x, ny = n2.y;
    if (nz != 0.0f) {
      const float len = std::sqrt(nx * nx + ny * ny + 1.0f);
      nx /= len, ny /= len, nz /= len;
    }
    const float* a = hole ? minus : plus;
    const float* b = hole ? plus : minus;
    PutVertex(out, l, a[0], a[1], a[2], nx, ny, nz);
    PutVertex(out + l.stride, l, b[0], b[1], b[2], nx, ny, nz);
    out += 2 * l.stride;
  };

  for (int j = 0; j <= n; ++j) {
    const int i = first + j % n;
    if (!p.Corner(i)) {
      pair(i, f.smoothNormal[i]);
    } else if (j == 0) {
      pair(i, f.edgeNormal[first]);
    } else if (j == n) {
      pair(i, f.edgeNormal[first + n - 1]);
    } else {
      pair(i, f.edgeNormal[i - 1]);
      pair(i, f.edgeNormal[i]);
    }
  }
}

// One cap: the end rings of every contour, holes first and the outer one
// last, triangulated. The triangles land in `triangles` (9 floats each);
// nothing when the triangulation fails.
void TriangulateCap(const ExtrusionBlock& p, const ProfileFrame& f, bool inset, float z,
                    Triangulator& triangulator, std::vector<float>& ring, std::vector<int>& ends,
                    std::vector<float>& triangles) {
  ring.clear();
  ends.clear();
  triangles.clear();
  std::vector<int> firsts(p.contourCount);
  for (int c = 0, first = 0; c < p.contourCount; first += p.Count(c), ++c)
    firsts[c] = first;
  auto addContour = [&](int c) {
    for (int i = firsts[c]; i < firsts[c] + p.Count(c); ++i) {
      const float m = inset ? f.miter[i] : 0.0f;
      ring.insert(ring.end(),
                  {p.X(i) - m * f.smoothNormal[i].x, p.Y(i) - m * f.smoothNormal[i].y, z});
    }
    ends.push_back(static_cast<int>(ring.size() / 3) - 1);
  };
  for (int c = 1; c < p.contourCount; ++c)
    addContour(c);
  addContour(0);
  const int r =
      triangulator.Run(ring.data(), ends.data(), static_cast<int>(ends.size()), 0,
                       [&](const float* t) { triangles.insert(triangles.end(), t, t + 9); });
  if (r != 0) triangles.clear();
}

void AppendCap(const std::vector<float>& triangles, const Layout& l, float nz, bool swap,
               std::vector<DisplayPrimitive>& prims) {
  for (size_t t = 0; t + 9 <= triangles.size(); t += 9) {
    DisplayPrimitive prim;
    prim.type = kTriangles;
    prim.vertexCount = 3;
    prim.vertices.assign(3 * static_cast<size_t>(l.stride), 0.0f);
    const int order[3] = {0, swap ? 2 : 1, swap ? 1 : 2};
    for (int k = 0; k < 3; ++k) {
      const float* src = &triangles[t + 3 * order[k]];
      PutVertex(prim.vertices.MutableData() + k * l.stride, l, src[0], src[1], src[2], 0.0f, 0.0f,
                nz);
    }
    prims.push_back(std::move(prim));
  }
}

}  // namespace

void GenerateExtrusion(Scene& s, int g) {
  DisplayGroup& group = s.groups[g];
  group.primitives.clear();
  ExtrusionBlock p;
  if (!ReadExtrusionBlock(group.generatorParams, p)) return;

  // A depth or bevel that is not a number would make every vertex one.
  const float depth = std::isfinite(p.depth) ? p.depth : 0.0f;
  const float bevel = std::isfinite(p.bevelSize) ? p.bevelSize : 0.0f;
  const bool front = p.flags & kBevelFront, back = p.flags & kBevelBack;
  Layout l;
  l.stride = VertexStride(group);
  l.normalAt = NormalOffset(group.flags);
  l.halfDepth = depth / 2;
  l.zFront = front ? -(l.halfDepth - bevel) : -l.halfDepth;
  l.zBack = back ? l.halfDepth - bevel : l.halfDepth;

  try {
    ProfileFrame f;
    ComputeFrame(p, bevel, f);
    // Walls first, then the front bevel, then the back one.
    Band bands[3];
    int bandCount = 0;
    bands[bandCount++] = kWall;
    if (front) bands[bandCount++] = kFrontBevel;
    if (back) bands[bandCount++] = kBackBevel;

    std::vector<DisplayPrimitive>& prims = group.primitives;
    prims.reserve(static_cast<size_t>(bandCount) * p.contourCount + 2 * p.pointCount);
    for (int b = 0; b < bandCount; ++b) {
      for (int c = 0, first = 0; c < p.contourCount; first += p.Count(c), ++c) {
        prims.emplace_back();
        BuildStrip(p, f, l, bands[b], first, p.Count(c), c > 0, prims.back());
      }
    }

    Triangulator triangulator(s.triangulatorDebug);
    std::vector<float> ring, triangles;
    std::vector<int> ends;
    ring.reserve(3 * static_cast<size_t>(p.pointCount));
    TriangulateCap(p, f, back, l.halfDepth, triangulator, ring, ends, triangles);
    const size_t plusCap = triangles.size() / 9;
    AppendCap(triangles, l, 1.0f, false, prims);
    TriangulateCap(p, f, front, -l.halfDepth, triangulator, ring, ends, triangles);
    AppendCap(triangles, l, -1.0f, true, prims);
    SetBlockFloat(group.generatorParams.data(), extrusion_word::kCapTriangles,
                  static_cast<float>(plusCap));
  } catch (const std::bad_alloc&) {
    group.primitives.clear();
    return;
  }
  ReapplyTextureMapping(s, g);
}

}  // namespace modra
