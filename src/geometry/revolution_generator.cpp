// The surface-of-revolution generator: one strip per profile segment swept
// about Y, and triangulated caps on the two open ends.
#include <cmath>
#include <new>
#include <vector>

#include "geometry/revolution.h"
#include "geometry/revolution_block.h"
#include "geometry/texture_mapping.h"
#include "geometry/triangulate.h"

namespace modra {
namespace {

constexpr float kHalfPi = 1.5707964f;
constexpr double kDegreesToRadians = 0.017453292;

struct Vec2 {
  float x, y;
};

Vec2 Normalized(Vec2 v) {
  const float len = std::sqrt(v.x * v.x + v.y * v.y);
  return len == 0.0f ? v : Vec2{v.x / len, v.y / len};
}

// One step of the sweep: where the profile plane stands and how far it has
// climbed and grown.
struct Ring {
  float cosA, sinA, scale, rise;
};

struct Sweep {
  std::vector<Ring> rings;
  std::vector<Vec2> startNormal, endNormal;  // per strip
  float endAngle = 0;                        // radians
};

void ComputeSweep(const RevolutionBlock& p, Sweep& w) {
  const int n = p.pointCount;
  const int steps = p.Steps();
  const double degrees = p.Degrees();
  const double deltaY = p.DeltaY();
  const double scale = p.RadiusScale();
  // Per step: 1/(steps - 1) of the sweep, and that share of a turn's climb
  // and growth. note: written as fractions of a turn, not divided by the
  // steps per turn, so that a sweep of 0 degrees divides by nothing.
  const double angleStep = degrees * kDegreesToRadians / (steps - 1);
  const double turnsPerStep = degrees / (360.0 * (steps - 1));
  w.rings.resize(steps);
  for (int k = 0; k < steps; ++k) {
    double a = kHalfPi + k * angleStep;
    // A full turn ends exactly where it began.
    if (k == steps - 1 && p.sweep.degrees == 360.0f) a = kHalfPi;
    w.rings[k] = {static_cast<float>(std::cos(a)), static_cast<float>(std::sin(a)),
                  static_cast<float>(1.0 + k * (scale - 1.0) * turnsPerStep),
                  static_cast<float>(k * deltaY * turnsPerStep)};
  }
  w.endAngle = static_cast<float>(degrees * kDegreesToRadians);

  // Segment normals point out of the clockwise profile; a point that is no
  // corner shares the mean of its two segments' normals.
  std::vector<Vec2> segment(n);
  for (int i = 0; i < n; ++i) {
    const int next = (i + 1) % n;
    segment[i] = Normalized({p.Y(i) - p.Y(next), p.X(next) - p.X(i)});
  }
  w.startNormal.resize(n);
  w.endNormal.resize(n);
  for (int i = 0; i < n; ++i) {
    const int prev = (i + n - 1) % n, next = (i + 1) % n;
    const Vec2 s = segment[i];
    w.startNormal[i] =
        p.Corner(i) ? s
                    : Normalized({(segment[prev].x + s.x) * 0.5f, (segment[prev].y + s.y) * 0.5f});
    w.endNormal[i] =
        p.Corner(next)
            ? s
            : Normalized({(s.x + segment[next].x) * 0.5f, (s.y + segment[next].y) * 0.5f});
  }
}

void PutVertex(float* v, int normalAt, float x, float y, Vec2 n, const Ring& ring) {
  v[0] = ring.scale * x * ring.cosA;
  v[1] = y + ring.rise;
  v[2] = ring.scale * x * ring.sinA;
  float nx = n.x * ring.cosA, ny = n.y, nz = n.x * ring.sinA;
  const float len = std::sqrt(nx * nx + ny * ny + nz * nz);
  if (len != 0.0f) nx /= len, ny /= len, nz /= len;
  v[normalAt] = nx;
  v[normalAt + 1] = ny;
  v[normalAt + 2] = nz;
}

// Positions and normals of strip i into `v` (2 * steps vertices).
void FillStrip(const RevolutionBlock& p, const Sweep& w, int i, int stride, int normalAt,
               float* v) {
  const int next = (i + 1) % p.pointCount;
  for (const Ring& ring : w.rings) {
    PutVertex(v, normalAt, p.X(i), p.Y(i), w.startNormal[i], ring);
    PutVertex(v + stride, normalAt, p.X(next), p.Y(next), w.endNormal[i], ring);
    v += 2 * stride;
  }
}

bool StripsInPlace(const DisplayGroup& group, int n, int steps) {
  if (group.primitiveCount() != n) return false;
  const size_t floats = 2 * static_cast<size_t>(steps) * VertexStride(group);
  for (const DisplayPrimitive& prim : group.primitives)
    if (prim.type != kTriangleStrip || prim.vertexCount != 2 * steps ||
        prim.vertices.size() != floats)
      return false;
  return true;
}

// The profile at one end of the sweep as one contour, triangulated into
// triangle primitives facing `normal`. The number of triangles.
int AddCap(const RevolutionBlock& p, const Ring& ring, bool startRing, const float normal[3],
           bool swap, int stride, int normalAt, Triangulator& triangulator,
           std::vector<float>& points, std::vector<DisplayPrimitive>& prims) {
  const int n = p.pointCount;
  points.clear();
  for (int k = 0; k < n; ++k) {
    // The start ring holds each strip's first point, the end ring its last.
    const int i = startRing ? k : (k + 1) % n;
    points.insert(points.end(), {ring.scale * p.X(i) * ring.cosA, p.Y(i) + ring.rise,
                                 ring.scale * p.X(i) * ring.sinA});
  }
  const int end = n - 1;
  const size_t before = prims.size();
  const int r = triangulator.Run(points.data(), &end, 1, 0, [&](const float* t) {
    DisplayPrimitive prim;
    prim.type = kTriangles;
    prim.vertexCount = 3;
    prim.vertices.assign(3 * static_cast<size_t>(stride), 0.0f);
    const int order[3] = {0, swap ? 2 : 1, swap ? 1 : 2};
    float* first = prim.vertices.MutableData();
    for (int k = 0; k < 3; ++k) {
      float* v = first + k * stride;
      const float* src = t + 3 * order[k];
      v[0] = src[0], v[1] = src[1], v[2] = src[2];
      v[normalAt] = normal[0], v[normalAt + 1] = normal[1], v[normalAt + 2] = normal[2];
    }
    prims.push_back(std::move(prim));
  });
  if (r != 0) {
    prims.resize(before);
    return 0;
  }
  return static_cast<int>(prims.size() - before);
}

}  // namespace

void GenerateRevolution(Scene& s, int g, int rebuild) {
  DisplayGroup& group = s.groups[g];
  RevolutionBlock p;
  if (!ReadRevolutionBlock(group.generatorParams, p)) {
    group.primitives.clear();
    return;
  }
  const int n = p.pointCount;
  const int steps = p.Steps();
  const int stride = VertexStride(group);
  const int normalAt = NormalOffset(group.flags);
  const bool caps = p.sweep.flags & kCapEnds;
  // Caps may change their triangle counts, so they always rebuild.
  const bool inPlace = rebuild == 0 && !caps && StripsInPlace(group, n, steps);

  Sweep w;
  try {
    ComputeSweep(p, w);
    if (inPlace) {
      for (int i = 0; i < n; ++i)
        FillStrip(p, w, i, stride, normalAt, group.primitives[i].vertices.MutableData());
      return;
    }
    group.primitives.clear();
    group.primitives.resize(n);
    for (int i = 0; i < n; ++i) {
      DisplayPrimitive& prim = group.primitives[i];
      prim.type = kTriangleStrip;
      prim.vertexCount = 2 * steps;
      prim.vertices.assign(2 * static_cast<size_t>(steps) * stride, 0.0f);
      FillStrip(p, w, i, stride, normalAt, prim.vertices.MutableData());
    }
  } catch (const std::bad_alloc&) {
    group.primitives.clear();
    return;
  }

  int startCap = 0;
  // Fewer than three points enclose nothing to cap.
  if (caps && n >= 3) {
    std::vector<float> ring;
    bool haveRing = true;
    try {
      ring.reserve(3 * static_cast<size_t>(n));
    } catch (const std::bad_alloc&) {
      haveRing = false;
      SetBlockInt(group.generatorParams.data(), revolution_word::kFlags, p.sweep.flags & ~kCapEnds);
    }
    if (haveRing) {
      Triangulator triangulator(s.triangulatorDebug);
      const float startNormal[3] = {1.0f, 0.0f, 0.0f};
      const float endNormal[3] = {-std::cos(w.endAngle), 0.0f, -std::sin(w.endAngle)};
      try {
        startCap = AddCap(p, w.rings.front(), true, startNormal, true, stride, normalAt,
                          triangulator, ring, group.primitives);
        AddCap(p, w.rings.back(), false, endNormal, false, stride, normalAt, triangulator, ring,
               group.primitives);
      } catch (const std::bad_alloc&) {
        group.primitives.resize(n);
        startCap = 0;
      }
    }
  }
  SetBlockFloat(group.generatorParams.data(), revolution_word::kStartCap,
                static_cast<float>(startCap));
  ReapplyTextureMapping(s, g);
}

}  // namespace modra
