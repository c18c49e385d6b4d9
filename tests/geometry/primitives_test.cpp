// The nine built-in primitives: counts, vertex orders, normals, rings,
// negative sizes, the cone and torus rules, and the create buttons.
#include "geometry/primitives.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "geometry/primitive_fields.h"
#include "geometry/primitive_test_util.h"
#include "geometry/regenerate.h"
#include "scene/group_fields.h"
#include "test_util.h"

namespace modra {
namespace {

using test::Normal;
using test::Pos;
using test::Repeat;
using test::Shapes;

constexpr float kHalfPiF = 1.5707964f;
constexpr double kTwoPi = 6.283185307179586;

// The angle of ring point k of S around Y; the last repeats the first.
double RingAngle(int k, int S) {
  return k == S - 1 ? kHalfPiF : kHalfPiF + k * kTwoPi / (S - 1);
}

void ExpectVec(const Vec3& got, double x, double y, double z, double tol = 1e-6) {
  EXPECT_NEAR(got[0], x, tol);
  EXPECT_NEAR(got[1], y, tol);
  EXPECT_NEAR(got[2], z, tol);
}

// The first positions of primitive p.
void ExpectPositions(const DisplayGroup& g, int p,
                     std::initializer_list<std::array<double, 3>> want, double tol = 1e-6) {
  int v = 0;
  for (const auto& w : want) {
    SCOPED_TRACE(testing::Message() << "primitive " << p << " vertex " << v);
    ExpectVec(Pos(g, p, v++), w[0], w[1], w[2], tol);
  }
}

void ExpectFinite(const DisplayGroup& g) {
  for (float f : test::AllFloats(g))
    ASSERT_TRUE(std::isfinite(f));
}

void SetField(Scene& s, int g, int field, float v) {
  std::memcpy(s.groups[g].generatorParams.data() + 4 * field, &v, 4);
}

struct Primitives : ::testing::Test {
  Scene s;
  int g = NewGroup(s, "");
  const DisplayGroup& group() const { return s.groups[g]; }
};

// --- rectangle and block -------------------------------------------------

TEST_F(Primitives, RectangleIsOneQuadOrStripsRowByRowFromTheTop) {
  MakeRectangle(s, g, 0.5f, 0.3f, 1);
  ASSERT_EQ(Shapes(group()), Repeat(1, kQuads, 4));
  ExpectPositions(group(), 0,
                  {{-0.25, 0.15, 0}, {-0.25, -0.15, 0}, {0.25, -0.15, 0}, {0.25, 0.15, 0}});
  EXPECT_EQ(group().bboxMin, (Vec3{-0.25f, -0.15f, 0}));
  EXPECT_EQ(group().bboxMax, (Vec3{0.25f, 0.15f, 0}));
  MakeRectangle(s, g, 1, 1, 1.5f);  // the quad is chosen on the stored float
  EXPECT_EQ(Shapes(group()), Repeat(1, kTriangleStrip, 4));
  MakeRectangle(s, g, 2, 1, 2);
  ASSERT_EQ(Shapes(group()), Repeat(2, kTriangleStrip, 6));
  ExpectPositions(group(), 0,
                  {{-1, 0.5, 0}, {-1, 0, 0}, {0, 0.5, 0}, {0, 0, 0}, {1, 0.5, 0}, {1, 0, 0}});
  ExpectPositions(group(), 1,
                  {{-1, 0, 0}, {-1, -0.5, 0}, {0, 0, 0}, {0, -0.5, 0}, {1, 0, 0}, {1, -0.5, 0}});
  for (int p = 0; p < 2; ++p)
    for (int v = 0; v < 6; ++v)
      EXPECT_EQ(Normal(group(), p, v), (Vec3{0, 0, -1}));
}

TEST_F(Primitives, BlockQuadsComeInFaceOrderWithTheirCorners) {
  MakeBlock(s, g, 2, 4, 6, 1);  // X = 1, Y = 2, Z = 3
  ASSERT_EQ(Shapes(group()), Repeat(6, kQuads, 4));
  const double corners[6][4][3] = {
      {{-1, 2, -3}, {-1, -2, -3}, {1, -2, -3}, {1, 2, -3}},  // back
      {{1, 2, 3}, {1, -2, 3}, {-1, -2, 3}, {-1, 2, 3}},      // front
      {{-1, 2, 3}, {-1, -2, 3}, {-1, -2, -3}, {-1, 2, -3}},  // left
      {{1, 2, -3}, {1, -2, -3}, {1, -2, 3}, {1, 2, 3}},      // right
      {{-1, 2, 3}, {-1, 2, -3}, {1, 2, -3}, {1, 2, 3}},      // top
      {{-1, -2, -3}, {-1, -2, 3}, {1, -2, 3}, {1, -2, -3}},  // bottom
  };
  const Vec3 normals[6] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
  for (int f = 0; f < 6; ++f)
    for (int v = 0; v < 4; ++v) {
      SCOPED_TRACE(testing::Message() << "face " << f << " corner " << v);
      ExpectVec(Pos(group(), f, v), corners[f][v][0], corners[f][v][1], corners[f][v][2]);
      EXPECT_EQ(Normal(group(), f, v), normals[f]);
    }
}

TEST_F(Primitives, BlockStripsStartOnEachRowsStartingEdge) {
  MakeBlock(s, g, 2, 4, 6, 2);  // dx 1, dy 2, dz 3
  ASSERT_EQ(Shapes(group()), Repeat(12, kTriangleStrip, 6));
  // First three vertices of the second strip of each face.
  const double second[6][3][3] = {
      {{-1, 0, -3}, {-1, -2, -3}, {0, 0, -3}},  // back: x up, rows down y
      {{1, 0, 3}, {1, -2, 3}, {0, 0, 3}},       // front: x down
      {{-1, 0, 3}, {-1, -2, 3}, {-1, 0, 0}},    // left: z down
      {{1, 0, -3}, {1, -2, -3}, {1, 0, 0}},     // right: z up
      {{-1, 2, 0}, {-1, 2, -3}, {0, 2, 0}},     // top: rows down z, x up
      {{1, -2, 0}, {1, -2, -3}, {0, -2, 0}},    // bottom: x down
  };
  for (int f = 0; f < 6; ++f)
    for (int v = 0; v < 3; ++v) {
      SCOPED_TRACE(testing::Message() << "face " << f << " vertex " << v);
      ExpectVec(Pos(group(), 2 * f + 1, v), second[f][v][0], second[f][v][1], second[f][v][2]);
    }
}

TEST_F(Primitives, FacesAreClockwiseSeenFromWhereTheirNormalPoints) {
  for (float n : {1.0f, 3.0f}) {
    MakeBlock(s, g, 0.5f, 0.05f, 0.3f, n);
    for (int p = 0; p < group().primitiveCount(); ++p) {
      Vec3 a = Pos(group(), p, 0), b = Pos(group(), p, 1), c = Pos(group(), p, 2);
      // A strip's first triangle and a quad's first three corners.
      EXPECT_LT(test::Dot(test::Cross(test::Sub(b, a), test::Sub(c, b)), Normal(group(), p, 0)), 0)
          << "resolution " << n << " primitive " << p;
    }
  }
}

// --- counts and first vertices, hand computed ------------------------------

TEST_F(Primitives, RingKindsMakeTheirStripCounts) {
  MakeCone(s, g, 0.1f, 0.25f, 0.05f, 12, 3, 2, 4);
  EXPECT_EQ(Shapes(group()), Repeat(9, kTriangleStrip, 24));
  MakeCone(s, g, 0.1f, 0.25f, 0.05f, 8, 2, 2, 0);  // a bottom cap of 0 counts as 1
  EXPECT_EQ(Shapes(group()), Repeat(5, kTriangleStrip, 16));
  MakeRoundedCone(s, g, 0.1f, 0.25f, 0.05f, 12, 3, 2, 4);
  EXPECT_EQ(Shapes(group()), Repeat(9, kTriangleStrip, 24));
  MakeTube(s, g, 0.1f, 0.25f, 7, 5);
  EXPECT_EQ(Shapes(group()), Repeat(5, kTriangleStrip, 14));
  MakeCylinder(s, g, 0.1f, 0.25f, 7, 5, 3);
  EXPECT_EQ(Shapes(group()), Repeat(11, kTriangleStrip, 14));
  MakeTorus(s, g, 0.1f, 0.02f, 9, 6);
  EXPECT_EQ(Shapes(group()), Repeat(6, kTriangleStrip, 18));
  MakeSphere1(s, g, 0.1f, 9, 6);
  EXPECT_EQ(Shapes(group()), Repeat(6, kTriangleStrip, 18));
  MakeSphere2(s, g, 0.1f, 4);  // q = 4: 20 strips of 12 (four of 10), 8 triangles
  auto shapes = Repeat(20, kTriangleStrip, 12);
  for (int shortStrip : {4, 5, 14, 15})
    shapes[shortStrip][1] = 10;
  auto triangles = Repeat(8, kTriangles, 3);
  shapes.insert(shapes.end(), triangles.begin(), triangles.end());
  EXPECT_EQ(Shapes(group()), shapes);
}

TEST_F(Primitives, TubeStripsGoUpperThenLowerRoundFromPlusZ) {
  MakeTube(s, g, 0.1f, 0.25f, 20, 2);
  ExpectPositions(group(), 0, {{0, 0, 0.1}, {0, -0.125, 0.1}});  // strip 0's upper ring: y = 0
  ExpectPositions(group(), 1, {{0, 0.125, 0.1}});
  ExpectVec(Normal(group(), 0, 0), 0, 0, 1);
  const double a = RingAngle(5, 20);
  ExpectVec(Pos(group(), 0, 10), 0.1 * std::cos(a), 0, 0.1 * std::sin(a));
  ExpectVec(Normal(group(), 0, 11), std::cos(a), 0, std::sin(a));
}

TEST_F(Primitives, ConeSidesCapsAndNormalsMatchHandValues) {
  MakeCone(s, g, 0.1f, 0.25f, 0.05f, 20, 1, 1, 1);
  ASSERT_EQ(group().primitiveCount(), 3);
  // Side: upper vertex first; normal (cos a, c, sin a) normalised, c the
  // cosine of the side's slope.
  const double c = 0.05 / std::sqrt(0.25 * 0.25 + 0.05 * 0.05), len = std::sqrt(1 + c * c);
  ExpectPositions(group(), 0, {{0, 0.125, 0.05}, {0, -0.125, 0.1}});
  ExpectVec(Normal(group(), 0, 0), 0, c / len, 1 / len);
  // Top cap: inner ring (0.001 of the rim) first; bottom cap: the rim first.
  ExpectPositions(group(), 1, {{0, 0.125, 0.00005}, {0, 0.125, 0.05}}, 1e-8);
  ExpectVec(Normal(group(), 1, 0), 0, 1, 0);
  ExpectPositions(group(), 2, {{0, -0.125, 0.1}, {0, -0.125, 0.0001}}, 1e-8);
  ExpectVec(Normal(group(), 2, 1), 0, -1, 0);
}

TEST_F(Primitives, CylinderCapsTakeTheRingAndScaleInwards) {
  MakeCylinder(s, g, 0.2f, 1, 8, 1, 2);
  ASSERT_EQ(group().primitiveCount(), 5);
  // Top cap ring 0 goes from scale 1/2 (first) to 1; ring 1 from 0.001 to
  // 1/2. Bottom caps put the outer ring first.
  ExpectPositions(group(), 1, {{0, 0.5, 0.1}, {0, 0.5, 0.2}}, 1e-8);
  ExpectPositions(group(), 2, {{0, 0.5, 0.0002}, {0, 0.5, 0.1}}, 1e-8);
  ExpectPositions(group(), 3, {{0, -0.5, 0.2}, {0, -0.5, 0.1}}, 1e-8);
  ExpectVec(Pos(group(), 4, 1), 0, -0.5, 0.0002, 1e-8);
  ExpectVec(Normal(group(), 4, 1), 0, -1, 0);
}

TEST_F(Primitives, TorusStartsOnTheInnerEquatorFarVertexFirst) {
  MakeTorus(s, g, 0.1f, 0.02f, 30, 20);
  ASSERT_EQ(Shapes(group()), Repeat(20, kTriangleStrip, 60));
  const double phiB = M_PI + kTwoPi / 19;
  ExpectPositions(group(), 0,
                  {{0, 0.02 * std::sin(phiB), 0.1 + 0.02 * std::cos(phiB)}, {0, 0, 0.08}});
  ExpectVec(Normal(group(), 0, 1), 0, 0, -1);
  ExpectVec(Normal(group(), 0, 0), 0, std::sin(phiB), std::cos(phiB));
}

TEST_F(Primitives, Sphere1StripsRunFromJustBelowTheTopPole) {
  MakeSphere1(s, g, 0.1f, 30, 15);
  ASSERT_EQ(Shapes(group()), Repeat(15, kTriangleStrip, 60));
  const double top = kHalfPiF - 0.001, next = kHalfPiF - M_PI / 15;
  ExpectPositions(group(), 0,
                  {{0, 0.1 * std::sin(top), 0.1 * std::cos(top)},
                   {0, 0.1 * std::sin(next), 0.1 * std::cos(next)}},
                  1e-7);
  ExpectVec(Normal(group(), 0, 0), 0, std::sin(top), std::cos(top));
  ExpectVec(Pos(group(), 14, 1), 0, -0.1 * std::sin(top), 0.1 * std::cos(top), 1e-7);
}

TEST_F(Primitives, Sphere2PatchesAndPoleTriangles) {
  MakeSphere2(s, g, 0.1f, 8);
  ASSERT_EQ(group().primitiveCount(), 44);
  const double step = M_PI / 18, s8 = 0.1 * std::sin(8 * step), c8 = 0.1 * std::cos(8 * step);
  ExpectPositions(group(), 0, {{0, 0, 0.1}, {0, 0.1 * std::sin(step), 0.1 * std::cos(step)}});
  // Patch 1 turns (A, B, C) into (B, -A, C): its row 0 column 1 top vertex
  // dir(1, 1, 2) = normalise(sin g, sin g, cos 2g).
  const double a = std::sin(step), c2 = std::cos(2 * step);
  const double l = std::sqrt(2 * a * a + c2 * c2);
  ExpectVec(Pos(group(), 9, 3), 0.1 * a / l, -0.1 * a / l, 0.1 * c2 / l);
  // Pole triangles: (U1, E, U2) in patches 0 and 2, (V1, V2, E) in 1 and 3.
  ExpectPositions(group(), 36, {{0, s8, c8}, {0, 0.1, 0}});
  ExpectVec(Pos(group(), 38, 1), 0, -0.1, 0);
  ExpectVec(Pos(group(), 40, 0), 0, -s8, c8);
  ExpectVec(Pos(group(), 40, 2), 0, -0.1, 0);
  ExpectVec(Pos(group(), 42, 2), 0, 0.1, 0);
}

// --- rings, normals, sizes ----------------------------------------------

using Maker = std::function<void(Scene&, int, float)>;  // sign of the sizes

struct NamedMaker {
  const char* name;
  Maker make;
};

const NamedMaker kRingKinds[] = {
    {"cone",
     [](Scene& s, int g, float k) { MakeCone(s, g, k * 0.1f, k * 0.25f, k * 0.05f, 20, 3, 2, 2); }},
    {"rounded cone",
     [](Scene& s, int g, float k) {
       MakeRoundedCone(s, g, k * 0.1f, k * 0.25f, k * 0.05f, 20, 3, 5, 5);
     }},
    {"tube", [](Scene& s, int g, float k) { MakeTube(s, g, k * 0.1f, k * 0.25f, 17, 3); }},
    {"cylinder",
     [](Scene& s, int g, float k) { MakeCylinder(s, g, k * 0.1f, k * 0.25f, 17, 3, 3); }},
    {"torus", [](Scene& s, int g, float k) { MakeTorus(s, g, k * 0.1f, k * 0.02f, 30, 20); }},
    {"sphere", [](Scene& s, int g, float k) { MakeSphere1(s, g, k * 0.1f, 30, 15); }},
};

TEST_F(Primitives, EveryRingClosesBitForBit) {
  for (const NamedMaker& m : kRingKinds) {
    SCOPED_TRACE(m.name);
    m.make(s, g, 1);
    const int stride = VertexStride(group());
    for (int p = 0; p < group().primitiveCount(); ++p) {
      const int n = group().primitives[p].vertexCount;
      // The last pair repeats the first one: positions and normals.
      EXPECT_TRUE(test::SameBits(test::VertexAt(group(), p, 0), test::VertexAt(group(), p, n - 2),
                                 2 * stride))
          << "strip " << p;
    }
  }
}

TEST_F(Primitives, NormalsAreUnitAndPointOutwards) {
  for (const NamedMaker& m : kRingKinds) {
    SCOPED_TRACE(m.name);
    m.make(s, g, 1);
    const bool torus = group().kind == kKindTorus, tube = group().kind == kKindTube;
    for (int p = 0; p < group().primitiveCount(); ++p)
      for (int v = 0; v < group().primitives[p].vertexCount; ++v) {
        Vec3 n = Normal(group(), p, v), pos = Pos(group(), p, v);
        EXPECT_NEAR(test::Length(n), 1, 1e-5);
        Vec3 from = {0, 0, 0};
        if (tube) from = {0, pos[1], 0};
        if (torus) {
          const float r = std::hypot(pos[0], pos[2]);
          from = {0.1f * pos[0] / r, 0, 0.1f * pos[2] / r};  // the tube's centre line
        }
        EXPECT_GT(test::Dot(n, test::Sub(pos, from)), 0) << "primitive " << p << " vertex " << v;
      }
  }
  MakeSphere2(s, g, 0.1f, 8);
  for (int p = 0; p < group().primitiveCount(); ++p)
    for (int v = 0; v < group().primitives[p].vertexCount; ++v) {
      EXPECT_NEAR(test::Length(Normal(group(), p, v)), 1, 1e-5);
      EXPECT_NEAR(test::Dot(Normal(group(), p, v), Pos(group(), p, v)), 0.1, 1e-6);
    }
}

TEST_F(Primitives, NegativeSizesMirrorPointsAndKeepNormals) {
  Scene other;
  const int h = NewGroup(other, "");
  for (const NamedMaker& m : kRingKinds) {
    // The torus has its own rule; the rounded cone's cap spheres follow
    // the side's angle, which a negative length turns over.
    if (std::string(m.name) == "torus" || std::string(m.name) == "rounded cone") continue;
    SCOPED_TRACE(m.name);
    m.make(s, g, 1);
    m.make(other, h, -1);
    const DisplayGroup& mirrored = other.groups[h];
    ASSERT_EQ(Shapes(group()), Shapes(mirrored));
    for (int p = 0; p < group().primitiveCount(); ++p)
      for (int v = 0; v < group().primitives[p].vertexCount; ++v) {
        Vec3 a = Pos(group(), p, v), b = Pos(mirrored, p, v);
        ExpectVec(b, -a[0], -a[1], -a[2]);
        test::ExpectNear(Normal(mirrored, p, v), Normal(group(), p, v), 1e-6f);
      }
  }
  MakeBlock(s, g, 0.5f, 0.05f, 0.3f, 2);
  MakeBlock(other, h, -0.5f, -0.05f, -0.3f, 2);
  for (int p = 0; p < 12; ++p) {
    const Vec3 a = Pos(group(), p, 3);
    ExpectVec(Pos(other.groups[h], p, 3), -a[0], -a[1], -a[2]);
    EXPECT_EQ(Normal(other.groups[h], p, 3), Normal(group(), p, 3));
  }
}

TEST_F(Primitives, TorusNormalsTurnInwardOnlyWhenBothRadiiAreNegative) {
  for (const auto& [major, minor] :
       {std::pair{0.1f, 0.02f}, {-0.1f, 0.02f}, {0.1f, -0.02f}, {-0.1f, -0.02f}}) {
    SCOPED_TRACE(testing::Message() << major << ", " << minor);
    MakeTorus(s, g, major, minor, 12, 8);
    const float outward = major < 0 && minor < 0 ? -1 : 1;
    for (int p = 0; p + 1 < group().primitiveCount(); ++p)
      for (int v = 0; v < group().primitives[p].vertexCount; ++v) {
        const Vec3 pos = Pos(group(), p, v);
        const float r = std::hypot(pos[0], pos[2]);
        const Vec3 centre = {0.1f * pos[0] / r, 0, 0.1f * pos[2] / r};
        EXPECT_GT(outward * test::Dot(Normal(group(), p, v), test::Sub(pos, centre)), 0);
      }
  }
}

TEST_F(Primitives, SurfacesCoverTheirShapes) {
  // Misordered strips fold over themselves and change the drawn area.
  MakeSphere1(s, g, 1, 200, 100);
  EXPECT_NEAR(test::DrawnArea(group()), 4 * M_PI, 0.01);
  MakeSphere2(s, g, 1, 40);
  EXPECT_NEAR(test::DrawnArea(group()), 4 * M_PI, 0.02);
  MakeTorus(s, g, 1, 0.25f, 300, 100);
  EXPECT_NEAR(test::DrawnArea(group()), 4 * M_PI * M_PI * 0.25, 0.01);
  MakeCylinder(s, g, 1, 2, 400, 3, 4);
  EXPECT_NEAR(test::DrawnArea(group()), 2 * M_PI * 2 + 2 * M_PI, 0.01);
  MakeBlock(s, g, 1, 2, 3, 5);
  EXPECT_NEAR(test::DrawnArea(group()), 2 * (2 + 3 + 6), 1e-4);
}

// --- the cone's and the torus's own rules -------------------------------

TEST_F(Primitives, ConeWithEqualRadiiHasLevelSideNormals) {
  MakeCone(s, g, 0.1f, 0.25f, 0.1f, 12, 4, 1, 1);
  for (int p = 0; p < 4; ++p)
    for (int v = 0; v < 24; ++v)
      EXPECT_EQ(Normal(group(), p, v)[1], 0.0f);
}

TEST_F(Primitives, InnermostCapRingIsScaledNotCollapsed) {
  for (int caps = 1; caps <= 7; ++caps) {
    SCOPED_TRACE(caps);
    MakeCone(s, g, 0.1f, 0.25f, 0.05f, 12, 1, caps, caps);
    const int lastTop = caps, lastBottom = 2 * caps;
    for (int k = 0; k < 12; ++k) {
      Vec3 rim = Pos(group(), 0, 2 * k);  // the top ring on the side strip
      Vec3 inner = Pos(group(), lastTop, 2 * k);
      ExpectVec(inner, 0.001 * rim[0], 0.125, 0.001 * rim[2], 1e-9);
      Vec3 bottomRim = Pos(group(), 0, 2 * k + 1);
      ExpectVec(Pos(group(), lastBottom, 2 * k + 1), 0.001 * bottomRim[0], -0.125,
                0.001 * bottomRim[2], 1e-9);
    }
  }
}

TEST_F(Primitives, DegenerateSizesStayFinite) {
  // A cone of zero top radius ends in a point with an upward cap.
  MakeCone(s, g, 0.1f, 0.25f, 0, 12, 2, 2, 1);
  ExpectFinite(group());
  for (int v = 0; v < 24; ++v) {
    ExpectVec(Pos(group(), 2, v), 0, 0.125, 0, 1e-8);
    EXPECT_EQ(Normal(group(), 2, v), (Vec3{0, 1, 0}));
  }
  MakeTorus(s, g, 0.1f, 0.02f, 10, 1);  // one tube step
  ASSERT_EQ(Shapes(group()), Repeat(1, kTriangleStrip, 20));
  ExpectFinite(group());
  ExpectVec(Pos(group(), 0, 0), 0, 0, 0.08);
  MakeRoundedCone(s, g, 0.1f, 0, 0.05f, 8, 1, 3, 3);  // zero length
  ExpectFinite(group());
  MakeRoundedCone(s, g, 0, 0.25f, 0, 8, 1, 3, 3);  // zero radii
  ExpectFinite(group());
  for (int p = 0; p < group().primitiveCount(); ++p)
    for (int v = 0; v < group().primitives[p].vertexCount; ++v)
      EXPECT_NEAR(test::Length(Normal(group(), p, v)), 1, 1e-5);
}

TEST_F(Primitives, ConeAndCylinderKeepOldGeometryWhenAskedForNothing) {
  struct Case {
    int32_t kind;
    int field;
    float value;
  };
  // Top cap < 1, ring < 2, length < 1 for the cone; cap, ring, length for
  // the cylinder.
  for (Case c : {Case{kKindCone, 5, 0}, Case{kKindCone, 3, 1}, Case{kKindCone, 4, 0.5f},
                 Case{kKindRoundedCone, 5, 0}, Case{kKindCylinder, 4, 0},
                 Case{kKindCylinder, 2, 1.9f}, Case{kKindCylinder, 3, 0}}) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " field " << c.field);
    if (c.kind == kKindCylinder)
      MakeCylinder(s, g, 0.1f, 0.25f, 20, 1, 1);
    else if (c.kind == kKindCone)
      MakeCone(s, g, 0.1f, 0.25f, 0.05f, 20, 1, 1, 1);
    else
      MakeRoundedCone(s, g, 0.1f, 0.25f, 0.05f, 20, 1, 5, 5);
    const std::vector<float> before = test::AllFloats(group());
    const auto shapes = Shapes(group());
    SetField(s, g, 0, 0.7f);  // a new size that must not show
    SetField(s, g, c.field, c.value);
    RegenerateGroup(s, g, 1);
    EXPECT_EQ(Shapes(group()), shapes);
    EXPECT_EQ(test::AllFloats(group()), before);
  }
}

TEST_F(Primitives, TorusLastStripStartsAndEndsOnTheSameCircle) {
  for (int m : {3, 4, 20}) {
    SCOPED_TRACE(m);
    MakeTorus(s, g, 0.1f, 0.02f, 10, static_cast<float>(m));
    ASSERT_EQ(group().primitiveCount(), m);
    const int last = m - 1;
    for (int v = 0; v < 20; v += 2) {
      test::ExpectNear(Pos(group(), last, v), Pos(group(), last, v + 1), 1e-6f);
      // ... the inner equator, where strip 0 started.
      test::ExpectNear(Pos(group(), last, v), Pos(group(), 0, v + 1), 1e-6f);
    }
  }
}

TEST_F(Primitives, RoundedConeCapsMeetTheSideAndCloseNearThePoles) {
  MakeRoundedCone(s, g, 0.1f, 0.25f, 0.05f, 16, 2, 5, 5);
  ASSERT_EQ(Shapes(group()), Repeat(12, kTriangleStrip, 32));
  for (int k = 0; k < 16; ++k) {
    // The near edge of each first cap strip is the side's end ring, with
    // the side's normals.
    test::ExpectNear(Pos(group(), 2, 2 * k + 1), Pos(group(), 1, 2 * k), 1e-6f);
    EXPECT_EQ(Normal(group(), 2, 2 * k + 1), Normal(group(), 1, 2 * k));
    test::ExpectNear(Pos(group(), 7, 2 * k), Pos(group(), 0, 2 * k + 1), 1e-6f);
    EXPECT_EQ(Normal(group(), 7, 2 * k), Normal(group(), 0, 2 * k + 1));
  }
  // alpha = atan2(0.25, 0.05), t = 0.2: top sphere centre 0.115, radius
  // 0.05 * sqrt(1.04); bottom centre -0.145, radius 0.1 * sqrt(1.04).
  const double rt = 0.05 * std::sqrt(1.04), rb = 0.1 * std::sqrt(1.04);
  EXPECT_NEAR(Pos(group(), 6, 0)[1], 0.115 + rt * std::sin(kHalfPiF - 0.001), 1e-6);
  EXPECT_NEAR(Pos(group(), 11, 1)[1], -0.145 - rb * std::sin(kHalfPiF - 0.001), 1e-6);
  EXPECT_NEAR(test::Length(Pos(group(), 6, 0)), 0.115 + rt, 1e-4);
}

// --- create buttons ------------------------------------------------------

TEST(CreatePrimitives, EveryButtonMakesASelectedGroupInFront) {
  const std::pair<int (*)(Document&), int32_t> buttons[] = {
      {CreateRectangle, kKindRectangle}, {CreateBlock, kKindBlock},
      {CreateCone, kKindCone},           {CreateRoundedCone, kKindRoundedCone},
      {CreateTube, kKindTube},           {CreateCylinder, kKindCylinder},
      {CreateTorus, kKindTorus},         {CreateSphere1, kKindSphere},
      {CreateSphere2, kKindSphere2}};
  test::RecordedDocument rec;
  Scene& s = rec.scene();
  int previous = -1;
  for (const auto& [create, kind] : buttons) {
    SCOPED_TRACE(kind);
    rec.doc.modified = false;
    const int g = create(rec.doc);
    ASSERT_GE(g, 0);
    const DisplayGroup& group = s.groups[g];
    EXPECT_EQ(group.flags, 67u);
    EXPECT_EQ(group.kind, kind);
    EXPECT_EQ(s.selectedGroup, g);
    EXPECT_EQ(s.rootHead, g);
    EXPECT_EQ(group.next, previous);
    EXPECT_TRUE(rec.doc.modified);
    float mapping = -1;  // the block's last word: no mapping yet
    std::memcpy(&mapping, group.generatorParams.data() + group.generatorParams.size() - 4, 4);
    EXPECT_EQ(mapping, 0);
    EXPECT_GT(group.bboxMax[0], group.bboxMin[0]);
    previous = g;
  }
  // The previous groups keep their own flags: clearing them is the panel's.
  EXPECT_EQ(s.groups[previous].flags, 67u);
}

}  // namespace
}  // namespace modra
