// The nine built-in primitives: counts, vertex orders, normals, rings, sizes, create buttons.
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

using test::ExpectFinite;
using test::Normal;
using test::Pos;
using test::Repeat;
using test::Shapes;

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

struct Primitives : ::testing::Test {
  Scene s;
  int g = NewGroup(s, "");
  const DisplayGroup& group() const { return s.groups[g]; }
};

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
  ExpectPositions(group(), 1, {{-1, 0, 0}, {-1, -0.5, 0}, {0, 0, 0}, {0, -0.5, 0}, {1, 0, 0}});
  EXPECT_EQ(Normal(group(), 1, 5), (Vec3{0, 0, -1}));
}

// Faces back, front, left, right, top, bottom: the normal, quad corners 0
// and 2, and the first and third vertex of each face's second strip.
TEST_F(Primitives, BlockFacesComeInOrderWithTheirCornersAndRows) {
  const double faces[6][5][3] = {
      {{0, 0, -1}, {-1, 2, -3}, {1, -2, -3}, {-1, 0, -3}, {0, 0, -3}},
      {{0, 0, 1}, {1, 2, 3}, {-1, -2, 3}, {1, 0, 3}, {0, 0, 3}},
      {{-1, 0, 0}, {-1, 2, 3}, {-1, -2, -3}, {-1, 0, 3}, {-1, 0, 0}},
      {{1, 0, 0}, {1, 2, -3}, {1, -2, 3}, {1, 0, -3}, {1, 0, 0}},
      {{0, 1, 0}, {-1, 2, 3}, {1, 2, -3}, {-1, 2, 0}, {0, 2, 0}},
      {{0, -1, 0}, {-1, -2, -3}, {1, -2, 3}, {1, -2, 0}, {0, -2, 0}},
  };
  for (int f = 0; f < 6; ++f) {
    SCOPED_TRACE(f);
    const auto& w = faces[f];
    MakeBlock(s, g, 2, 4, 6, 1);  // X = 1, Y = 2, Z = 3
    ASSERT_EQ(Shapes(group()), Repeat(6, kQuads, 4));
    ExpectVec(Normal(group(), f, 3), w[0][0], w[0][1], w[0][2]);
    ExpectVec(Pos(group(), f, 0), w[1][0], w[1][1], w[1][2]);
    ExpectVec(Pos(group(), f, 2), w[2][0], w[2][1], w[2][2]);
    MakeBlock(s, g, 2, 4, 6, 2);
    ASSERT_EQ(Shapes(group()), Repeat(12, kTriangleStrip, 6));
    ExpectVec(Pos(group(), 2 * f + 1, 0), w[3][0], w[3][1], w[3][2]);
    ExpectVec(Pos(group(), 2 * f + 1, 2), w[4][0], w[4][1], w[4][2]);
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

// Where each shape starts and in which order its strips and caps run.
TEST_F(Primitives, FirstVerticesMatchHandValues) {
  struct At {
    int prim, vertex;
    double x, y, z;
  };
  auto expect = [&](const char* what, std::initializer_list<At> want) {
    for (const At& w : want) {
      SCOPED_TRACE(testing::Message() << what << " " << w.prim << "/" << w.vertex);
      ExpectVec(Pos(group(), w.prim, w.vertex), w.x, w.y, w.z, 1e-7);
    }
  };
  // clang-format off
  // upper ring then lower, round from +Z
  MakeTube(s, g, 0.1f, 0.25f, 20, 2);
  expect("tube", {{0, 0, 0, 0, 0.1}, {0, 1, 0, -0.125, 0.1}, {1, 0, 0, 0.125, 0.1}});
  ExpectVec(Normal(group(), 0, 0), 0, 0, 1);
  // side upper vertex first; top cap from its inner ring (0.001 of the rim), bottom from the rim
  MakeCone(s, g, 0.1f, 0.25f, 0.05f, 20, 1, 1, 1);
  ASSERT_EQ(group().primitiveCount(), 3);
  expect("cone", {{0, 0, 0, 0.125, 0.05}, {0, 1, 0, -0.125, 0.1}, {1, 0, 0, 0.125, 0.00005},
                  {1, 1, 0, 0.125, 0.05}, {2, 0, 0, -0.125, 0.1}, {2, 1, 0, -0.125, 0.0001}});
  ExpectVec(Normal(group(), 0, 0), 0, 0.19245009, 0.98130676);  // (0, c, 1) normalised
  ExpectVec(Normal(group(), 1, 0), 0, 1, 0);
  ExpectVec(Normal(group(), 2, 1), 0, -1, 0);
  // cap ring 0 from scale 1/2 to 1, ring 1 from 0.001 to 1/2
  MakeCylinder(s, g, 0.2f, 1, 8, 1, 2);
  ASSERT_EQ(group().primitiveCount(), 5);
  expect("cylinder", {{1, 0, 0, 0.5, 0.1}, {2, 0, 0, 0.5, 0.0002}, {3, 0, 0, -0.5, 0.2}});
  // the torus from the inner equator, far vertex first; the sphere just below the top pole
  MakeTorus(s, g, 0.1f, 0.02f, 30, 20);
  expect("torus", {{0, 1, 0, 0, 0.08}});
  ExpectVec(Normal(group(), 0, 1), 0, 0, -1);
  MakeSphere1(s, g, 0.1f, 30, 15);
  expect("sphere", {{0, 0, 0, 0.09999995, 0.0001}, {14, 1, 0, -0.09999995, 0.0001}});
  // patch 1 turns (A, B, C) into (B, -A, C); pole triangles (U1, E, U2) in patches 0 and 2,
  // (V1, V2, E) in 1 and 3
  MakeSphere2(s, g, 0.1f, 8);
  ASSERT_EQ(group().primitiveCount(), 44);
  expect("sphere2", {{0, 0, 0, 0, 0.1}, {9, 3, 0.01787881, -0.01787881, 0.09675069},
                     {36, 1, 0, 0.1, 0}, {40, 0, 0, -0.09848078, 0.01736482}, {42, 2, 0, 0.1, 0}});
  // clang-format on
}

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
  MakeBlock(s, g, 0.5f, 0.05f, 0.3f, 2);
  MakeBlock(other, h, -0.5f, -0.05f, -0.3f, 2);
  for (int p = 0; p < 12; ++p) {
    const Vec3 a = Pos(group(), p, 3);
    ExpectVec(Pos(other.groups[h], p, 3), -a[0], -a[1], -a[2]);
    EXPECT_EQ(Normal(other.groups[h], p, 3), Normal(group(), p, 3));
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
  // cap < 1, ring < 2, length < 1
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
    test::SetBlockFloatAt(s, g, 0, 0.7f);  // a new size that must not show
    test::SetBlockFloatAt(s, g, c.field, c.value);
    RegenerateGroup(s, g, 1);
    EXPECT_EQ(Shapes(group()), shapes);
    EXPECT_EQ(test::AllFloats(group()), before);
  }
}

TEST_F(Primitives, RoundedConeCapsMeetTheSideAndCloseNearThePoles) {
  MakeRoundedCone(s, g, 0.1f, 0.25f, 0.05f, 16, 2, 5, 5);
  ASSERT_EQ(Shapes(group()), Repeat(12, kTriangleStrip, 32));
  for (int k = 0; k < 16; ++k) {  // each first cap strip starts on the side's end ring
    test::ExpectNear(Pos(group(), 2, 2 * k + 1), Pos(group(), 1, 2 * k), 1e-6f);
    EXPECT_EQ(Normal(group(), 2, 2 * k + 1), Normal(group(), 1, 2 * k));
    test::ExpectNear(Pos(group(), 7, 2 * k), Pos(group(), 0, 2 * k + 1), 1e-6f);
    EXPECT_EQ(Normal(group(), 7, 2 * k), Normal(group(), 0, 2 * k + 1));
  }
  // cap spheres centred at 0.115 and -0.145, radii 0.05 and 0.1 times sqrt(1.04)
  EXPECT_NEAR(Pos(group(), 6, 0)[1], 0.1659902, 1e-6);
  EXPECT_NEAR(Pos(group(), 11, 1)[1], -0.2469803, 1e-6);
}

}  // namespace
}  // namespace modra
