// Texture coordinates: the mappings, their seam and axis fix-ups, and regeneration.
#include "geometry/texture_mapping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "geometry/primitive_params.h"
#include "geometry/primitive_test_util.h"
#include "geometry/primitives.h"
#include "geometry/regenerate.h"
#include "test_util.h"

namespace modra {
namespace {

using test::Pos;
using test::UV;
using UVs = std::array<float, 2>;

void ExpectUV(const UVs& got, double u, double v, double tol = 1e-6) {
  EXPECT_NEAR(got[0], u, tol);
  EXPECT_NEAR(got[1], v, tol);
}

struct Mapping : ::testing::Test {
  test::RecordedDocument rec;
  Scene& s = rec.scene();
  DisplayGroup& G(int g) { return s.groups[g]; }
};

TEST_F(Mapping, AddingCoordinatesWidensEveryVertexAndKeepsItsFloats) {
  const int g = CreateCylinder(rec.doc);
  ReapplyTextureMapping(s, g);  // no coordinates yet: nothing to do
  EXPECT_EQ(VertexStride(G(g)), 6);
  const std::vector<float> before = test::AllFloats(G(g));
  ASSERT_EQ(AddTextureCoordinates(s, g), 0);
  EXPECT_TRUE(G(g).flags & TexCoords);
  EXPECT_EQ(VertexStride(G(g)), 8);
  size_t at = 0;
  for (const DisplayPrimitive& p : G(g).primitives) {
    ASSERT_EQ(p.vertices.size(), static_cast<size_t>(p.vertexCount) * 8);
    for (int v = 0; v < p.vertexCount; ++v, at += 6)
      EXPECT_TRUE(test::SameBits(p.vertices.data() + v * 8, before.data() + at, 6));
  }
  // A second call changes nothing, nor does reapplying no mapping.
  ASSERT_EQ(AddTextureCoordinates(s, g), 0);
  ReapplyTextureMapping(s, g);
  EXPECT_EQ(VertexStride(G(g)), 8);
  EXPECT_EQ(UV(G(g), 0, 3), (UVs{0, 0}));
}

TEST_F(Mapping, CoordinatesFollowTheColoursWhenVerticesHaveThem) {
  const int g = NewGroup(s, "coloured");
  G(g).flags = VertexColors;
  DisplayPrimitive prim;
  prim.type = kTriangles;
  prim.vertexCount = 3;
  prim.vertices = {0, 0, 0, 0.1f, 0.2f, 0.3f, 0, 0, 1,  //
                   2, 0, 0, 0.4f, 0.5f, 0.6f, 0, 0, 1,  //
                   0, 4, 0, 0.7f, 0.8f, 0.9f, 0, 0, 1};
  G(g).primitives.push_back(prim);
  ASSERT_EQ(MapPlanar(s, g), 0);
  const std::vector<float>& v = G(g).primitives[0].vertices.vector();
  ASSERT_EQ(v.size(), 33u);
  EXPECT_EQ(v[15], 0.5f);  // vertex 1's colour stays
  EXPECT_EQ(v[19], 1.0f);  // and its normal
  EXPECT_EQ(v[20], 1.0f);  // u at float 9
  EXPECT_EQ(v[21], 0.0f);
  EXPECT_EQ(v[31], 0.0f);
  EXPECT_EQ(v[32], 1.0f);
}

TEST_F(Mapping, FailingToAddCoordinatesLeavesNoPrimitives) {
  const int g = test::AddTriangle(s, "damaged");
  DisplayPrimitive more;
  more.type = kTriangles;
  more.vertexCount = 3;
  more.vertices.assign(18, 0.5f);
  G(g).primitives.push_back(more);
  G(g).primitives[0].vertexCount = 1000;  // more than its array holds
  EXPECT_EQ(MapPlanar(s, g), -1);
  EXPECT_EQ(G(g).primitiveCount(), 0);
  EXPECT_FALSE(G(g).flags & TexCoords);

  const int negative = test::AddTriangle(s, "negative");
  G(negative).primitives[0].vertexCount = -3;
  EXPECT_EQ(AddTextureCoordinates(s, negative), -1);
  EXPECT_EQ(G(negative).primitiveCount(), 0);
  EXPECT_EQ(MapDefault(s, 12345), -1);
}

// A 2 x 1 rectangle, corners (-1, 0.5), (-1, -0.5), (1, -0.5), (1, 0.5).
TEST_F(Mapping, PlanarTranslationAndRotationMoveTheImage) {
  const struct {
    const char* what;
    int field;
    float value, value2;  // value2 goes in the next field
    UVs corners[3];
  } cases[] = {
      {"spanning 0 to 1", 3, 0, 0, {{0, 1}, {0, 0}, {1, 0}}},
      {"shifted by a share of the box", 3, 0.5f, 0, {{-0.25f, 1}, {-0.25f, 0}, {0.75f, 0}}},
      {"turned about Z: u runs with y", 2, 90, 0, {{1, 1}, {0, 1}, {0, 0}}},
      // R = Ry(-40) Rx(-30) worked by hand
      {"turned about X, then Y", 0, 30, 40, {{0.1734f, 1}, {0, 0}, {0.8266f, 0}}},
      {"scaled: the image repeats", 6, 2, 2, {{0, 3}, {0, 0}, {2, 0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const int g = NewGroup(s, "r");
    MakeRectangle(s, g, 2, 1, 1);
    G(g).textureTransform[c.field] = c.value;
    G(g).textureTransform[c.field + 1] += c.value2;
    ASSERT_EQ(MapPlanar(s, g), 0);
    for (int v = 0; v < 3; ++v)
      ExpectUV(UV(G(g), 0, v), c.corners[v][0], c.corners[v][1], 1e-4);
    EXPECT_EQ(GetMappingKind(s, g), kPlanarMapping);
  }
}

TEST_F(Mapping, CylindricalTubeHasNoJumpAlongAStrip) {
  const int g = CreateTube(rec.doc);
  ASSERT_EQ(MapCylindrical(s, g), 0);
  const DisplayGroup& tube = G(g);
  // The ring starts at +Z (u 0.75) and runs once round: after the seam at
  // -X the u values carry on above 1 instead of falling back to 0.
  ExpectUV(UV(tube, 0, 0), 0.75, 1, 1e-5);
  ExpectUV(UV(tube, 0, 1), 0.75, 0, 1e-5);
  bool seamSeen = false;
  for (int v = 2; v < 40; ++v) {
    const float before = UV(tube, 0, v - 1)[0], now = UV(tube, 0, v)[0];
    EXPECT_LT(std::fabs(now - before), 0.1f) << v;
    EXPECT_GE(now, before - 1e-6f);
    if (before > 0.9f && before < 1 && now > 1 && now < 1.1f) seamSeen = true;
  }
  EXPECT_TRUE(seamSeen);
  EXPECT_NEAR(UV(tube, 0, 39)[0], 1.75, 1e-5);
  EXPECT_EQ(GetMappingKind(s, g), kCylindricalMapping);
}

// A cone as one strip that returns to its apex on the axis after every
// ring point, the ring running one way or the other.
int AddFan(Scene& s, double turn) {
  const int g = NewGroup(s, "fan");
  DisplayPrimitive prim;
  prim.type = kTriangleStrip;
  const int ring = 9;
  for (int k = 0; k < ring; ++k) {
    const double a = turn * 2 * M_PI * k / (ring - 1);
    const float apex[] = {0, 1, 0, 0, 1, 0};
    const float rim[] = {
        static_cast<float>(std::cos(a)), 0, static_cast<float>(std::sin(a)), 0, 0, 1};
    prim.vertices.insert(prim.vertices.end(), apex, apex + 6);
    prim.vertices.insert(prim.vertices.end(), rim, rim + 6);
  }
  prim.vertexCount = 2 * ring;
  s.groups[g].primitives.push_back(prim);
  return g;
}

TEST_F(Mapping, AxisVerticesOfAStripTakeTheMeanU) {
  for (double turn : {1.0, -1.0}) {
    SCOPED_TRACE(turn);
    const int g = AddFan(s, turn);
    ASSERT_EQ(MapCylindrical(s, g), 0);
    double sum = 0;
    for (int k = 0; k < 9; ++k)
      sum += UV(G(g), 0, 2 * k + 1)[0];
    for (int k = 0; k < 9; ++k) {
      EXPECT_NEAR(UV(G(g), 0, 2 * k)[0], sum / 9, 1e-5);
      EXPECT_NEAR(UV(G(g), 0, 2 * k)[1], 1, 1e-6);
      // The rim runs once round without a jump: 0.5 ... 0.5 + turn.
      EXPECT_NEAR(UV(G(g), 0, 2 * k + 1)[0], 0.5 + turn * k / 8.0, 1e-6);
    }
  }
}

TEST_F(Mapping, SphericalPolesTakeTheMeanOfTheirTriangle) {
  const int g = CreateSphere2(rec.doc);
  ASSERT_EQ(MapSpherical(s, g), 0);
  const DisplayGroup& sphere = G(g);
  const int first = sphere.primitiveCount() - 8;
  // Triangles (U1, E, U2) and (U2, E, U3) for patches 0 and 2, (V1, V2,
  // E) and (E, V2, V3) for patches 1 and 3.
  const int pole[8] = {1, 1, 1, 1, 2, 0, 2, 0};
  for (int t = 0; t < 8; ++t) {
    const int p = first + t;
    double sum = 0;
    for (int v = 0; v < 3; ++v)
      if (v != pole[t]) sum += UV(sphere, p, v)[0];
    EXPECT_NEAR(UV(sphere, p, pole[t])[0], sum / 2, 1e-6) << "triangle " << t;
    EXPECT_NEAR(std::fabs(UV(sphere, p, pole[t])[1] - 0.5), 0.5, 1e-6);
    for (int v = 1; v < 3; ++v)
      EXPECT_LT(std::fabs(UV(sphere, p, v)[0] - UV(sphere, p, 0)[0]), 0.6);
  }
}

TEST_F(Mapping, DegenerateCentresAndFlatGroupsStayNumbers) {
  const int g = CreateSphere2(rec.doc);
  G(g).textureTransform[4] = 5;  // the poles leave -1..1 in y
  ASSERT_EQ(MapSpherical(s, g), 0);
  test::ExpectFinite(G(g));
  const int point = test::AddMesh(s, "point", {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}});
  for (auto map : {MapPlanar, MapCylindrical, MapSpherical, MapDefault}) {
    ASSERT_EQ(map(s, point), 0);
    test::ExpectFinite(G(point));
  }
}

TEST_F(Mapping, DefaultsOfFlatShapesFollowTheirSizes) {
  const int rect = NewGroup(s, "r");
  MakeRectangle(s, rect, 2, 1, 2);
  G(rect).textureTransform = {0, 0, 45, 3, 3, 3, 2, 3, 1};  // only the scales count
  ASSERT_EQ(MapDefault(s, rect), 0);
  ExpectUV(UV(G(rect), 0, 0), 0, 3);
  ExpectUV(UV(G(rect), 0, 3), 1, 1.5);
  ExpectUV(UV(G(rect), 1, 5), 2, 0);
  EXPECT_EQ(GetMappingKind(s, rect), kDefaultMapping);

  const int block = NewGroup(s, "b");
  MakeBlock(s, block, 2, 4, 6, 1);
  ASSERT_EQ(MapDefault(s, block), 0);
  // The first corner of each face: back (-1, 2, -3), front (1, 2, 3),
  // left (-1, 2, 3), right (1, 2, -3), top (-1, 2, 3), bottom (-1, -2, -3).
  for (int face = 0; face < 6; ++face)
    ExpectUV(UV(G(block), face, 0), 0, 1);
  ExpectUV(UV(G(block), 5, 2), 1, 0);  // bottom (1, -2, 3)
}

// Cylinder and cone caps: ring point 0 is +Z, so the top rim has
// v = 0.5 z / r + 0.5 and the bottom 0.5 - 0.5 z / r.
TEST_F(Mapping, DefaultsOfRingShapesFollowRingAndStrip) {
  struct At {
    int prim, vertex;
    double u, v;
  };
  auto expect = [&](const char* what, std::initializer_list<At> want) {
    SCOPED_TRACE(what);
    ASSERT_EQ(MapDefault(s, 0), 0);
    for (const At& w : want)
      ExpectUV(UV(G(0), w.prim, w.vertex), w.u, w.v);
  };
  ASSERT_EQ(NewGroup(s, ""), 0);
  MakeTube(s, 0, 0.1f, 0.25f, 5, 4);
  expect("tube", {{0, 0, 0, 0.25}, {2, 4, 0.5, 0.75}, {3, 9, 1, 0.75}});
  MakeSphere1(s, 0, 0.1f, 5, 4);
  expect("sphere", {{0, 3, 0.25, 0.75}, {3, 9, 1, 0}});
  MakeTorus(s, 0, 0.1f, 0.02f, 5, 4);
  expect("torus", {{3, 6, 0.75, 1}});
  MakeCylinder(s, 0, 0.2f, 0.25f, 5, 1, 1);
  expect("cylinder", {{1, 1, 0.5, 1}, {2, 0, 0.5, 0}, {1, 0, 0.5, 0.5005}});
  MakeCone(s, 0, 0.2f, 0.25f, 0.1f, 5, 1, 1, 1);
  expect("cone", {{1, 1, 0.5, 1}, {2, 0, 0.5, 0}});
}

TEST_F(Mapping, RoundedConeDefaultClimbsFromPoleToPole) {
  const int g = NewGroup(s, "r");
  MakeRoundedCone(s, g, 0.1f, 0.25f, 0.05f, 8, 3, 4, 5);
  ASSERT_EQ(MapDefault(s, g), 0);
  const DisplayGroup& rc = G(g);
  EXPECT_NEAR(UV(rc, 6, 0)[1], 1, 1e-6);   // top pole edge
  EXPECT_NEAR(UV(rc, 11, 1)[1], 0, 1e-6);  // bottom pole edge
  // v rises with y along the whole profile at every ring point.
  std::vector<std::pair<float, float>> profile;  // (y, v) of ring point 0
  for (int p = 0; p < rc.primitiveCount(); ++p)
    for (int v = 0; v < 2; ++v)
      profile.push_back({Pos(rc, p, v)[1], UV(rc, p, v)[1]});
  std::sort(profile.begin(), profile.end());
  for (size_t i = 1; i < profile.size(); ++i)
    EXPECT_LE(profile[i - 1].second, profile[i].second + 1e-6f);
  EXPECT_EQ(UV(rc, 0, 2)[0], 1.0f / 7);
}

TEST_F(Mapping, DefaultOfTheOctahedronSphereAndOfMeshesIsUnorientedSpherical) {
  const int a = CreateSphere2(rec.doc);
  const int b = CreateSphere2(rec.doc);
  G(a).textureTransform = {30, 40, 50, 1, 2, 3, 2, 1, 1};
  G(b).textureTransform = {0, 0, 0, 0, 0, 0, 2, 1, 1};
  ASSERT_EQ(MapDefault(s, a), 0);
  ASSERT_EQ(MapSpherical(s, b), 0);
  EXPECT_EQ(test::AllFloats(G(a)), test::AllFloats(G(b)));
  EXPECT_EQ(GetMappingKind(s, a), kDefaultMapping);
  // On an imported mesh the default is spherical too, and stores nothing.
  const int c = test::AddMesh(s, "c", {{1, 0, 0}, {0, 1, 0}, {-1, 0, 0.5f}});
  const int d = test::AddMesh(s, "d", {{1, 0, 0}, {0, 1, 0}, {-1, 0, 0.5f}});
  G(c).textureTransform = G(d).textureTransform = {10, 20, 30, 0.1f, 0, 0, 1, 2, 1};
  ASSERT_EQ(MapDefault(s, c), 0);
  ASSERT_EQ(MapSpherical(s, d), 0);
  EXPECT_EQ(test::AllFloats(G(c)), test::AllFloats(G(d)));
  EXPECT_TRUE(G(c).generatorParams.empty());
  EXPECT_EQ(GetMappingKind(s, c), kNoMapping);
}

TEST_F(Mapping, SizeChangesKeepCountsAndCoordinates) {
  const int g = CreateSphere1(rec.doc);
  ASSERT_EQ(MapSpherical(s, g), 0);
  const auto shapes = test::Shapes(G(g));
  std::vector<UVs> before;
  for (int v = 0; v < 60; ++v)
    before.push_back(UV(G(g), 3, v));
  const Vec3 pos = Pos(G(g), 3, 7);
  SetSizeParam(rec.doc, g, 0, 0.5f);
  EXPECT_EQ(test::Shapes(G(g)), shapes);
  for (int v = 0; v < 60; ++v)
    EXPECT_EQ(UV(G(g), 3, v), before[v]);
  test::ExpectNear(Pos(G(g), 3, 7), {pos[0] * 5, pos[1] * 5, pos[2] * 5});
  EXPECT_NEAR(G(g).bboxMax[1], 0.5f, 1e-5);
}

TEST_F(Mapping, ResolutionChangesRebuildAndMapAgain) {
  const int g = CreateTorus(rec.doc);
  ASSERT_EQ(MapCylindrical(s, g), 0);
  std::array<int, kMaxResolutionParams> values = {12, 6};
  SetResolutionParams(rec.doc, g, values);
  ASSERT_EQ(test::Shapes(G(g)), test::Repeat(6, kTriangleStrip, 24));
  EXPECT_EQ(GetMappingKind(s, g), kCylindricalMapping);
  EXPECT_TRUE(G(g).flags & TexCoords);
  const std::vector<float> rebuilt = test::AllFloats(G(g));
  ASSERT_EQ(MapCylindrical(s, g), 0);
  EXPECT_EQ(test::AllFloats(G(g)), rebuilt);
  EXPECT_NE(UV(G(g), 0, 0)[0], 0.0f);

  // The default mapping comes back too.
  ASSERT_EQ(MapDefault(s, g), 0);
  values = {5, 4};
  SetResolutionParams(rec.doc, g, values);
  ExpectUV(UV(G(g), 3, 6), 0.75, 1);
}

TEST_F(Mapping, InPlaceRegenerationOfStaleArraysRebuildsInstead) {
  const int g = CreateCylinder(rec.doc);
  ASSERT_EQ(MapDefault(s, g), 0);
  // A resolution written behind the generator's back, then an in-place
  // request: the arrays no longer fit, so they are made anew and mapped.
  test::SetBlockFloatAt(s, g, 2, 6);
  RegenerateGroup(s, g, 0);
  ASSERT_EQ(test::Shapes(G(g)), test::Repeat(3, kTriangleStrip, 12));
  ExpectUV(UV(G(g), 0, 11), 1, 0);
}

}  // namespace
}  // namespace modra
