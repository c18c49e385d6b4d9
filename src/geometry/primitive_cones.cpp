// Shapes made of rings around Y: the cone, the rounded cone, the tube and
// the cylinder. Every strip is a triangle strip of two vertices per ring
// point.
#include <cmath>

#include "geometry/primitive_fields.h"
#include "geometry/primitive_generators.h"
#include "geometry/primitives.h"

namespace modra {
namespace {

// N side strips from radius rb at y = -L/2 to rt at +L/2; per ring point
// the upper vertex first. normalY is the Y part of the unnormalised normal.
void WriteSides(VertexWriter& out, int first, const Ring& ring, double rb, double rt, double L,
                int N, double normalY) {
  const double dr = (rt - rb) / N, h = L / N;
  const size_t S = ring.cosA.size();
  for (int i = 0; i < N; ++i) {
    out.Start(first + i);
    const double r = rb + i * dr, y = -L / 2 + i * h;
    for (size_t k = 0; k < S; ++k) {
      const double ca = ring.cosA[k], sa = ring.sinA[k];
      double nx = ca, ny = normalY, nz = sa;
      const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
      if (len != 0) nx /= len, ny /= len, nz /= len;
      out.Put((r + dr) * ca, y + h, (r + dr) * sa, nx, ny, nz);
      out.Put(r * ca, y, r * sa, nx, ny, nz);
    }
  }
}

// Cap ring j of `count` runs from scale (count - j) / count outside to
// (count - j - 1) / count inside; the innermost ring is kept at 0.001 so
// the cap does not close into one point. Taken on whole numbers so the
// last inner scale is exactly 0 whatever the count.
double OuterScale(int j, int count) {
  return static_cast<double>(count - j) / count;
}
double InnerScale(int j, int count) {
  const int left = count - j - 1;
  return left == 0 ? 0.001 : static_cast<double>(left) / count;
}

// A flat cap of `count` strips on the ring of `radius` at height y. The
// top (normal +Y) puts the inner vertex of each pair first, the bottom the
// outer one.
void WriteFlatCap(VertexWriter& out, int first, const Ring& ring, double radius, double y,
                  int count, bool top) {
  const double ny = top ? 1 : -1;
  const size_t S = ring.cosA.size();
  for (int j = 0; j < count; ++j) {
    out.Start(first + j);
    const double so = OuterScale(j, count), si = InnerScale(j, count);
    const double s1 = top ? si : so, s2 = top ? so : si;
    for (size_t k = 0; k < S; ++k) {
      const double x = radius * ring.cosA[k], z = radius * ring.sinA[k];
      out.Put(s1 * x, y, s1 * z, 0, ny, 0);
      out.Put(s2 * x, y, s2 * z, 0, ny, 0);
    }
  }
}

// A polar angle on a cap sphere, its sine and cosine taken once a strip.
struct Polar {
  double c, s;
  explicit Polar(double phi) : c(std::cos(phi)), s(std::sin(phi)) {}
};

// One vertex on a cap sphere: centre height cy, sphere radius R, ratio k
// of the sphere's radius to the ring's. A zero normal (a cap on a zero
// radius) points along the axis instead.
void PutOnSphere(VertexWriter& out, double x, double z, double cy, double R, double k,
                 const Polar& phi, double axisY) {
  const double px = k * phi.c * x, py = R * phi.s, pz = k * phi.c * z;
  const double len = std::sqrt(px * px + py * py + pz * pz);
  if (len != 0)
    out.Put(px, cy + py, pz, px / len, py / len, pz / len);
  else
    out.Put(px, cy + py, pz, 0, axisY, 0);
}

void PutWithNormal(VertexWriter& out, double x, double z, double cy, double R, double k,
                   const Polar& phi, const float* normal) {
  out.Put(k * phi.c * x, cy + R * phi.s, k * phi.c * z, normal[0], normal[1], normal[2]);
}

Prepared GenerateConeKind(Scene& s, int g, int rebuild, bool rounded) {
  ConeParams p;
  if (!ReadCone(s.groups[g], p) || p.keepOld) return Prepared::kUnchanged;
  const int S = p.ring, N = p.lengthSteps, T = p.topCap, B = p.bottomCap;
  std::vector<PrimitiveShape> shapes;
  AppendShapes(shapes, N + T + B, kTriangleStrip, 2 * S);
  Prepared r = PrepareArrays(s, g, shapes, rebuild);
  if (r == Prepared::kFailed) return r;

  Ring ring;
  MakeRing(S, ring);
  const double rb = p.bottomRadius, rt = p.topRadius, L = p.length;
  const RoundedConeShape shape = RoundedConeShapeOf(p);
  double normalY = 0;
  if (rounded)
    normalY = shape.sideNormalY;
  else if (rb != rt)
    // note: taken on |L| with the radii's difference turned for a negative
    // length, so a cone of all-negative sizes keeps its normals as every
    // other mirrored primitive does; the same angle for L >= 0.
    normalY = std::cos(std::atan2(std::fabs(L), L < 0 ? rt - rb : rb - rt));
  VertexWriter out(s.groups[g]);
  WriteSides(out, 0, ring, rb, rt, L, N, normalY);
  // The caps start from the rings the sides ended on.
  const double topRing = rb + (N - 1) * ((rt - rb) / N) + (rt - rb) / N;
  if (!rounded) {
    WriteFlatCap(out, N, ring, topRing, L / 2, T, true);
    WriteFlatCap(out, N + T, ring, rb, -L / 2, B, false);
    return r;
  }

  // Top sphere: from the side's tangent up towards the pole.
  const double alpha = shape.alpha;
  const double phi0 = kHalfPi - alpha;
  const double topStep = alpha / T;
  for (int j = 0; j < T; ++j) {
    out.Start(N + j);
    const Polar phiA(phi0 + j * topStep);
    const Polar phiB(phi0 + (j + 1) * topStep - (j == T - 1 ? 0.001 : 0.0));
    for (int k = 0; k < S; ++k) {
      const double x = topRing * ring.cosA[k], z = topRing * ring.sinA[k];
      PutOnSphere(out, x, z, shape.topCenterY, shape.topRadius, shape.topRatio, phiB, 1);
      if (j == 0)
        PutWithNormal(out, x, z, shape.topCenterY, shape.topRadius, shape.topRatio, phiA,
                      out.NormalOf(N - 1, 2 * k));
      else
        PutOnSphere(out, x, z, shape.topCenterY, shape.topRadius, shape.topRatio, phiA, 1);
    }
  }
  // Bottom sphere: from the tangent down towards the pole.
  const double bottomStep = (kPi - alpha) / B;
  for (int j = 0; j < B; ++j) {
    out.Start(N + T + j);
    const Polar phiA(phi0 - j * bottomStep);
    const Polar phiB(phi0 - (j + 1) * bottomStep + (j == B - 1 ? 0.001 : 0.0));
    for (int k = 0; k < S; ++k) {
      const double x = rb * ring.cosA[k], z = rb * ring.sinA[k];
      if (j == 0)
        PutWithNormal(out, x, z, shape.bottomCenterY, shape.bottomRadius, shape.bottomRatio, phiA,
                      out.NormalOf(0, 2 * k + 1));
      else
        PutOnSphere(out, x, z, shape.bottomCenterY, shape.bottomRadius, shape.bottomRatio, phiA,
                    -1);
      PutOnSphere(out, x, z, shape.bottomCenterY, shape.bottomRadius, shape.bottomRatio, phiB, -1);
    }
  }
  return r;
}

}  // namespace

Prepared GenerateCone(Scene& s, int g, int rebuild) {
  return GenerateConeKind(s, g, rebuild, false);
}

Prepared GenerateRoundedCone(Scene& s, int g, int rebuild) {
  return GenerateConeKind(s, g, rebuild, true);
}

Prepared GenerateTube(Scene& s, int g, int rebuild) {
  TubeParams p;
  if (!ReadTube(s.groups[g], p)) return Prepared::kUnchanged;
  std::vector<PrimitiveShape> shapes;
  AppendShapes(shapes, p.lengthSteps, kTriangleStrip, 2 * p.ring);
  Prepared r = PrepareArrays(s, g, shapes, rebuild);
  if (r == Prepared::kFailed) return r;
  Ring ring;
  MakeRing(p.ring, ring);
  VertexWriter out(s.groups[g]);
  WriteSides(out, 0, ring, p.radius, p.radius, p.length, p.lengthSteps, 0);
  return r;
}

Prepared GenerateCylinder(Scene& s, int g, int rebuild) {
  CylinderParams p;
  if (!ReadCylinder(s.groups[g], p) || p.keepOld) return Prepared::kUnchanged;
  const int N = p.lengthSteps, E = p.cap;
  std::vector<PrimitiveShape> shapes;
  AppendShapes(shapes, N + 2 * E, kTriangleStrip, 2 * p.ring);
  Prepared r = PrepareArrays(s, g, shapes, rebuild);
  if (r == Prepared::kFailed) return r;
  Ring ring;
  MakeRing(p.ring, ring);
  VertexWriter out(s.groups[g]);
  WriteSides(out, 0, ring, p.radius, p.radius, p.length, N, 0);
  WriteFlatCap(out, N, ring, p.radius, p.length / 2.0, E, true);
  WriteFlatCap(out, N + E, ring, p.radius, -p.length / 2.0, E, false);
  return r;
}

void MakeCone(Scene& s, int g, float bottomRadius, float length, float topRadius,
              float radiusResolution, float lengthResolution, float topCapResolution,
              float bottomCapResolution) {
  MakePrimitive(s, g, kKindCone,
                {bottomRadius, length, topRadius, radiusResolution, lengthResolution,
                 topCapResolution, bottomCapResolution});
}

void MakeRoundedCone(Scene& s, int g, float bottomRadius, float length, float topRadius,
                     float radiusResolution, float lengthResolution, float topCapResolution,
                     float bottomCapResolution) {
  MakePrimitive(s, g, kKindRoundedCone,
                {bottomRadius, length, topRadius, radiusResolution, lengthResolution,
                 topCapResolution, bottomCapResolution});
}

void MakeTube(Scene& s, int g, float radius, float length, float radiusResolution,
              float lengthResolution) {
  MakePrimitive(s, g, kKindTube, {radius, length, radiusResolution, lengthResolution});
}

void MakeCylinder(Scene& s, int g, float radius, float length, float radiusResolution,
                  float lengthResolution, float endCapResolution) {
  MakePrimitive(s, g, kKindCylinder,
                {radius, length, radiusResolution, lengthResolution, endCapResolution});
}

}  // namespace modra
