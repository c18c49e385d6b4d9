// The torus and the two spheres.
#include <array>
#include <cmath>

#include "geometry/primitive_fields.h"
#include "geometry/primitive_generators.h"
#include "geometry/primitives.h"

namespace modra {
namespace {

using Dir = std::array<double, 3>;

// Sines and cosines of the octahedron sphere's angle steps, with dir() as
// its unit vectors: (sin(j g), sin(i g), cos(e g)) normalised.
struct OctaTable {
  int q, D, P;
  std::vector<double> sinT, cosT;

  explicit OctaTable(int quality) : q(quality), D(quality + 1), P(quality + 2) {
    const double g = kPi / (2 * D);
    sinT.resize(2 * D + 1);
    cosT.resize(2 * D + 1);
    for (int i = 0; i <= 2 * D; ++i) {
      sinT[i] = std::sin(i * g);
      cosT[i] = std::cos(i * g);
    }
  }
  Dir dir(int i, int j, int e) const { return Normalised({sinT[j], sinT[i], cosT[e]}); }

  static Dir Normalised(Dir v) {
    const double len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (len != 0) v = {v[0] / len, v[1] / len, v[2] / len};
    return v;
  }
};

// The four quarter patches turn the first one about Z.
Dir Turn(int patch, const Dir& v) {
  switch (patch) {
    case 1:
      return {v[1], -v[0], v[2]};
    case 2:
      return {-v[0], -v[1], v[2]};
    case 3:
      return {-v[1], v[0], v[2]};
    default:
      return v;
  }
}

void PutDir(VertexWriter& out, double r, const Dir& d) {
  out.Put(r * d[0], r * d[1], r * d[2], d[0], d[1], d[2]);
}

// Patches 0 and 2 lose column 0 of their last row, patches 1 and 3
// column D of their first row: those corners are the poles on Y, closed
// by the eight triangles instead.
bool Skipped(const OctaTable& t, int patch, int row, int column) {
  if (patch % 2 == 0) return row == t.q && column == 0;
  return row == 0 && column == t.D;
}

}  // namespace

Prepared GenerateTorus(Scene& s, int g, int rebuild) {
  TorusParams p;
  if (!ReadTorus(s.groups[g], p)) return Prepared::kUnchanged;
  const int M = p.ring, m = p.tubeSteps;
  std::vector<PrimitiveShape> shapes;
  AppendShapes(shapes, m, kTriangleStrip, 2 * M);
  Prepared r = PrepareArrays(s, g, shapes, rebuild);
  if (r == Prepared::kFailed) return r;
  Ring ring;
  MakeRing(M, ring);
  const double R = p.major, rho = p.minor;
  // note: one strip (minor resolution 1) has no step to take; it lies on
  // the inner circle like the closing strip of every torus.
  const double step = m >= 2 ? 2 * kPi / (m - 1) : 0.0;
  // The normal is rho (cos phi cos a, sin phi, cos phi sin a) normalised,
  // turned round when both radii are negative; written without rho it
  // stays a unit vector even for a zero minor radius.
  const double sign = ((R < 0 && rho < 0) ? -1.0 : 1.0) * (rho < 0 ? -1.0 : 1.0);
  VertexWriter out(s.groups[g]);
  for (int i = 0; i < m; ++i) {
    out.Start(i);
    const double phiA = kPi + i * step;
    const double phiB = i == m - 1 ? kPi : phiA + step;
    const double cA = std::cos(phiA), sA = std::sin(phiA);
    const double cB = std::cos(phiB), sB = std::sin(phiB);
    for (int k = 0; k < M; ++k) {
      const double ca = ring.cosA[k], sa = ring.sinA[k];
      out.Put((R + rho * cB) * ca, rho * sB, (R + rho * cB) * sa, sign * cB * ca, sign * sB,
              sign * cB * sa);
      out.Put((R + rho * cA) * ca, rho * sA, (R + rho * cA) * sa, sign * cA * ca, sign * sA,
              sign * cA * sa);
    }
  }
  return r;
}

Prepared GenerateSphere(Scene& s, int g, int rebuild) {
  SphereParams p;
  if (!ReadSphere(s.groups[g], p)) return Prepared::kUnchanged;
  const int S = p.ring, B = p.bands;
  std::vector<PrimitiveShape> shapes;
  AppendShapes(shapes, B, kTriangleStrip, 2 * S);
  Prepared r = PrepareArrays(s, g, shapes, rebuild);
  if (r == Prepared::kFailed) return r;
  Ring ring;
  MakeRing(S, ring);
  const double radius = p.radius, band = kPi / B;
  VertexWriter out(s.groups[g]);
  for (int i = 0; i < B; ++i) {
    out.Start(i);
    // The poles are kept 0.001 away so no ring collapses into a point.
    const double phiA = i == 0 ? kHalfPi - 0.001 : kHalfPi - i * band;
    const double phiB = i == B - 1 ? -(kHalfPi - 0.001) : kHalfPi - i * band - band;
    const double cA = std::cos(phiA), sA = std::sin(phiA);
    const double cB = std::cos(phiB), sB = std::sin(phiB);
    for (int k = 0; k < S; ++k) {
      const double ca = ring.cosA[k], sa = ring.sinA[k];
      out.Put(radius * ca * cA, radius * sA, radius * sa * cA, ca * cA, sA, sa * cA);
      out.Put(radius * ca * cB, radius * sB, radius * sa * cB, ca * cB, sB, sa * cB);
    }
  }
  return r;
}

Prepared GenerateSphere2(Scene& s, int g, int rebuild) {
  Sphere2Params p;
  if (!ReadSphere2(s.groups[g], p)) return Prepared::kUnchanged;
  const OctaTable t(p.quality);
  const int q = t.q, D = t.D, P = t.P;
  std::vector<PrimitiveShape> shapes;
  for (int patch = 0; patch < 4; ++patch)
    for (int w = 0; w <= q; ++w) {
      const bool short_ = (patch % 2 == 0) ? w == q : w == 0;
      shapes.push_back({kTriangleStrip, 2 * P - (short_ ? 2 : 0)});
    }
  AppendShapes(shapes, 8, kTriangles, 3);
  Prepared r = PrepareArrays(s, g, shapes, rebuild);
  if (r == Prepared::kFailed) return r;

  const double radius = p.radius;
  VertexWriter out(s.groups[g]);
  for (int patch = 0; patch < 4; ++patch)
    for (int w = 0; w <= q; ++w) {
      out.Start(patch * (q + 1) + w);
      for (int c = 0; c < P; ++c) {
        if (Skipped(t, patch, w, c)) continue;
        for (int k = 0; k < 2; ++k) {
          const int e = w + k + c;
          const Dir d = e < P ? t.dir(w + k, c, e) : t.dir(D - c, D - k - w, e);
          PutDir(out, radius, Turn(patch, d));
        }
      }
    }

  // The pole fans, patches 0, 2, 1, 3 in that order.
  const int first = 4 * (q + 1);
  const Dir u1 = t.dir(q, 0, q), u2 = t.dir(q, 1, q + 1), u3 = t.dir(q, 0, q + 2);
  const Dir v1 = OctaTable::Normalised({t.sinT[q], 0, t.cosT[q]});
  const Dir v2 = OctaTable::Normalised({t.sinT[q], t.sinT[1], t.cosT[D]});
  const Dir v3 = OctaTable::Normalised({t.sinT[q], 0, t.cosT[P]});
  const Dir up = {0, 1, 0}, down = {0, -1, 0};
  struct Fan {
    int patch;
    Dir pole;
  };
  const Fan fans[4] = {{0, up}, {2, down}, {1, down}, {3, up}};
  for (int f = 0; f < 4; ++f) {
    const int patch = fans[f].patch;
    const Dir& E = fans[f].pole;
    const int tri = first + 2 * f;
    if (patch % 2 == 0) {
      const Dir a = Turn(patch, u1), b = Turn(patch, u2), c = Turn(patch, u3);
      out.Start(tri);
      PutDir(out, radius, a), PutDir(out, radius, E), PutDir(out, radius, b);
      out.Start(tri + 1);
      PutDir(out, radius, b), PutDir(out, radius, E), PutDir(out, radius, c);
    } else {
      const Dir a = Turn(patch, v1), b = Turn(patch, v2), c = Turn(patch, v3);
      out.Start(tri);
      PutDir(out, radius, a), PutDir(out, radius, b), PutDir(out, radius, E);
      out.Start(tri + 1);
      PutDir(out, radius, E), PutDir(out, radius, b), PutDir(out, radius, c);
    }
  }
  return r;
}

void MakeTorus(Scene& s, int g, float majorRadius, float minorRadius, float majorResolution,
               float minorResolution) {
  MakePrimitive(s, g, kKindTorus, {majorRadius, minorRadius, majorResolution, minorResolution});
}

void MakeSphere1(Scene& s, int g, float radius, float yAxisResolution, float xAxisResolution) {
  MakePrimitive(s, g, kKindSphere, {radius, yAxisResolution, xAxisResolution});
}

void MakeSphere2(Scene& s, int g, float radius, float quality) {
  MakePrimitive(s, g, kKindSphere2, {radius, quality});
}

}  // namespace modra
