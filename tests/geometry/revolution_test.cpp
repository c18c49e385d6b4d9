// Surfaces of revolution: the block, the sweep, normals, caps, the default mapping.
#include <cmath>

#include "geometry/regenerate.h"
#include "geometry/revolution.h"
#include "geometry/revolution_block.h"
#include "geometry/revolution_profile.h"
#include "geometry/texture_mapping.h"
#include "profile_test_util.h"

namespace modra {
namespace {

using test::AddRevolution;
using test::Vertex;

// A clockwise square profile off the axis: x 0.5..1, y -0.25..0.25.
const std::vector<float> kBox = {0.5f, -0.25f, 0.5f, 0.25f, 1.0f, 0.25f, 1.0f, -0.25f};

float Radius(const Vec3& p) {
  return std::hypot(p[0], p[2]);
}

TEST(RevolutionBlock, WordsFollowTheLayout) {
  Scene s;
  const int g = AddRevolution(s, kBox, kCapEnds, 180, 12, 0.3f, 1.5f, {1, 0, 1, 1});
  EXPECT_EQ(test::BlockIntAt(s, g, 0), static_cast<int32_t>(s.groups[g].generatorParams.size()));
  EXPECT_EQ(GeneratorParamSize(s.groups[g]), test::BlockIntAt(s, g, 0));
  EXPECT_EQ(test::BlockFloatAt(s, g, 1), 0.0f);  // mapping kind
  EXPECT_EQ(test::BlockIntAt(s, g, 2), kCapEnds);
  const float sweep[] = {180, 0.3f, 1.5f, 12, 4};  // degrees, climb, growth, steps, points
  for (int w = 0; w < 5; ++w)
    EXPECT_EQ(test::BlockFloatAt(s, g, 3 + w), sweep[w]) << "word " << 3 + w;
  EXPECT_EQ(test::BlockFloatAt(s, g, 8), 2.0f);  // start-cap triangles
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(test::BlockFloatAt(s, g, 9 + i), kBox[i]);
  EXPECT_EQ(test::BlockIntAt(s, g, 17), 0xD);  // corner i is bit i
}

// Params are written at once but built on regeneration, and then show
// what was built rather than what was asked for.
TEST(RevolutionBlock, ParamsReportTheSweepThatIsBuilt) {
  Scene s;
  const int g = AddRevolution(s, kBox, 0, 360, 10);
  const struct {
    RevolutionParams stored, built;
  } cases[] = {
      {{90, 7, 0.5f, 2}, {90, 7, 0.5f, 2}},
      {{90, 5000, 0.5f, 2}, {90, kMaxRevolutionSteps, 0.5f, 2}},
      {{90, 1, 0, 1}, {90, kMinRevolutionSteps, 0, 1}},
      {{NAN, 7, INFINITY, -NAN}, {0, 7, 0, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored.steps);
    const int before = s.groups[g].primitives[0].vertexCount;
    ASSERT_TRUE(SetRevolutionParams(s, g, c.stored));
    EXPECT_EQ(s.groups[g].primitives[0].vertexCount, before);
    RegenerateGroup(s, g, 1);
    EXPECT_EQ(s.groups[g].primitives[0].vertexCount, 2 * c.built.steps);
    RevolutionParams shown;
    ASSERT_TRUE(GetRevolutionParams(s, g, shown));
    EXPECT_EQ(shown.degrees, c.built.degrees);
    EXPECT_EQ(shown.steps, c.built.steps);
    EXPECT_EQ(shown.deltaY, c.built.deltaY);
    EXPECT_EQ(shown.radiusScale, c.built.radiusScale);
  }
  const int plain = test::AddTriangle(s, "mesh");
  RevolutionParams params;
  EXPECT_FALSE(GetRevolutionParams(s, plain, params));
  EXPECT_FALSE(SetRevolutionParams(s, plain, params));
  EXPECT_EQ(s.groups[plain].generatorParams.size(), 0u);
}

TEST(RevolutionBlock, LyingBlocksBuildNothing) {
  Scene s;
  const int g = AddRevolution(s, kBox, kCapEnds, 90, 10);
  const std::vector<uint8_t> good = s.groups[g].generatorParams;
  auto expectRefused = [&](const char* what) {
    SCOPED_TRACE(what);
    RegenerateGroup(s, g, 1);
    EXPECT_EQ(s.groups[g].primitiveCount(), 0);
    RevolutionProfile p;
    EXPECT_FALSE(GetRevolutionProfile(s, g, p));
    EXPECT_EQ(MapRevolutionDefault(s, g), -1);
    s.groups[g].generatorParams = good;
  };
  // point counts past the block (by one, too), not a number, negative
  for (float count : {1e9f, 5.0f, NAN, -1.0f}) {
    SCOPED_TRACE(count);
    test::SetBlockFloatAt(s, g, 7, count);
    expectRefused("point count");
  }
  std::memcpy(s.groups[g].generatorParams.data(), "\x20\x00\x00\x00", 4);
  expectRefused("size word smaller than the points need");
  for (size_t cut = 0; cut < good.size(); cut += 4) {
    s.groups[g].generatorParams.assign(good.begin(), good.begin() + cut);
    expectRefused("truncated");
  }
  RegenerateGroup(s, g, 1);
  EXPECT_GE(s.groups[g].primitiveCount(), 4);
}

TEST(RevolutionSweep, OneStripPerSegmentFromThePlusZAxis) {
  Scene s;
  const int g = AddRevolution(s, kBox, 0, 90, 4);
  ASSERT_EQ(test::Shapes(s.groups[g]), test::Repeat(4, kTriangleStrip, 8));
  // Strip i pairs point i with point i + 1, starting on +Z; a quarter
  // turn later it is on -X.
  test::ExpectNear(Vertex(s, g, 2, 0).position(), {0, 0.25f, 1}, 1e-6f);
  test::ExpectNear(Vertex(s, g, 2, 1).position(), {0, -0.25f, 1}, 1e-6f);
  test::ExpectNear(Vertex(s, g, 2, 6).position(), {-1, 0.25f, 0}, 1e-6f);
  test::ExpectNear(Vertex(s, g, 3, 3).position(), {-0.25f, -0.25f, 0.4330127f}, 1e-6f);
  test::ExpectNear(Vertex(s, g, 3, 7).position(), {-0.5f, -0.25f, 0}, 1e-6f);
  // A full turn ends exactly where it started.
  const int full = AddRevolution(s, kBox, 0, 360, 30);
  for (int i = 0; i < 4; ++i)
    for (int v = 0; v < 2; ++v) {
      EXPECT_EQ(Vertex(s, full, i, v).position(), Vertex(s, full, i, 58 + v).position());
      EXPECT_EQ(Vertex(s, full, i, v).normal(), Vertex(s, full, i, 58 + v).normal());
    }
}

TEST(RevolutionSweep, ClimbAndGrowthArePerTurn) {
  Scene s;
  const int rise = AddRevolution(s, kBox, 0, 720, 41, 0.5f, 1.0f);
  const int grow = AddRevolution(s, kBox, 0, 360, 31, 0.0f, 2.0f);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(Vertex(s, rise, i, 80).y() - Vertex(s, rise, i, 0).y(), 1.0f, 1e-5f);
    EXPECT_NEAR(Vertex(s, rise, i, 40).y() - Vertex(s, rise, i, 0).y(), 0.5f, 1e-5f);
    EXPECT_NEAR(Radius(Vertex(s, rise, i, 80).position()), kBox[2 * i], 1e-5f);
    EXPECT_NEAR(Radius(Vertex(s, grow, i, 60).position()), 2 * kBox[2 * i], 1e-5f);
    EXPECT_NEAR(Radius(Vertex(s, grow, i, 30).position()), 1.5f * kBox[2 * i], 1e-5f);
    EXPECT_EQ(Vertex(s, grow, i, 60).y(), kBox[2 * i + 1]);
  }
}

TEST(RevolutionSweep, CornersMakeFlatBandsAndNoCornersSmoothOnes) {
  Scene s;
  const int flat = AddRevolution(s, kBox, 0, 90, 5, 0, 1, {1, 1, 1, 1});
  const int smooth = AddRevolution(s, kBox, 0, 90, 5);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const int prev = (i + 3) % 4;
    for (int k = 0; k < 5; ++k) {
      // Across a band: one normal. Across a point: two.
      EXPECT_EQ(Vertex(s, flat, i, 2 * k).normal(), Vertex(s, flat, i, 2 * k + 1).normal());
      EXPECT_NE(Vertex(s, flat, i, 2 * k).normal(), Vertex(s, flat, prev, 2 * k + 1).normal());
      EXPECT_EQ(Vertex(s, smooth, i, 2 * k).normal(), Vertex(s, smooth, prev, 2 * k + 1).normal());
      EXPECT_NEAR(test::Length(Vertex(s, smooth, i, 2 * k).normal()), 1.0f, 1e-6f);
    }
  }
  // The outer side (x = 1) faces away from the axis, the top faces up.
  test::ExpectNear(Vertex(s, flat, 2, 0).normal(), {0, 0, 1}, 1e-6f);
  test::ExpectNear(Vertex(s, flat, 1, 0).normal(), {0, 1, 0}, 1e-6f);
  test::ExpectNear(Vertex(s, smooth, 2, 0).normal(), {0, 1 / std::sqrt(2.0f), 1 / std::sqrt(2.0f)},
                   1e-6f);
}

TEST(RevolutionSweep, StepCountsWithoutAnAngleStepStillBuild) {
  Scene s;
  // 0 or 1 steps have no angle between rings: two rings are made instead;
  // a huge count is held to the editor's limit.
  for (int steps : {0, 1, -5}) {
    SCOPED_TRACE(steps);
    const int g = AddRevolution(s, kBox, kCapEnds, 90, steps);
    ASSERT_GE(s.groups[g].primitiveCount(), 4);
    EXPECT_EQ(s.groups[g].primitives[0].vertexCount, 4);
    test::ExpectFinite(s.groups[g]);
    test::ExpectNear(Vertex(s, g, 2, 2).position(), {-1, 0.25f, 0}, 1e-6f);
  }
  const int huge = AddRevolution(s, kBox, 0, 90, 1000000);
  EXPECT_EQ(s.groups[huge].primitives[0].vertexCount, 2 * 2000);
  test::SetBlockFloatAt(s, huge, 6, NAN);
  RegenerateGroup(s, huge, 1);
  EXPECT_EQ(s.groups[huge].primitives[0].vertexCount, 4);
}

TEST(RevolutionSweep, DegenerateSweepsGiveNumbersNotNaN) {
  Scene s;
  const int zero = AddRevolution(s, kBox, kCapEnds, 0, 10, 0.5f, 2.0f);
  ASSERT_GE(s.groups[zero].primitiveCount(), 4);
  test::ExpectFinite(s.groups[zero]);
  // No sweep: every ring where the first one is.
  EXPECT_EQ(Vertex(s, zero, 0, 18).position(), Vertex(s, zero, 0, 0).position());
  const int point = AddRevolution(s, {0.3f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f}, kCapEnds, 180, 10);
  const int two = AddRevolution(s, {0.3f, 0.3f, 0.6f, 0.3f}, kCapEnds, 180, 10);
  const int none = AddRevolution(s, {}, kCapEnds, 180, 10);
  for (int g : {point, two})
    test::ExpectFinite(s.groups[g]);
  EXPECT_EQ(s.groups[two].primitiveCount(), 2);
  EXPECT_EQ(s.groups[none].primitiveCount(), 0);
  const int bad = AddRevolution(s, kBox, 0, 90, 10);
  test::SetBlockFloatAt(s, bad, 3, INFINITY);
  test::SetBlockFloatAt(s, bad, 4, NAN);
  test::SetBlockFloatAt(s, bad, 5, NAN);
  RegenerateGroup(s, bad, 1);
  test::ExpectFinite(s.groups[bad]);
}

TEST(RevolutionSweep, RegeneratingInPlaceKeepsTextureCoordinates) {
  Scene s;
  const int g = NewGroup(s, "");
  s.groups[g].flags |= TexCoords;
  const uint8_t corners[4] = {0, 0, 0, 0};
  MakeRevolution(s, g, 0, 90, 0, 1, 6, 4, kBox.data(), corners);
  ASSERT_EQ(s.groups[g].primitiveCount(), 4);
  s.groups[g].primitives[1].vertices.Mutable()[6] = 0.125f;  // a u of vertex 0
  const float* before = s.groups[g].primitives[1].vertices.data();
  SetRevolutionParams(s, g, {180, 6, 0, 1});
  RegenerateGroup(s, g, 0);
  EXPECT_EQ(s.groups[g].primitives[1].vertices.data(), before);
  EXPECT_EQ(s.groups[g].primitives[1].vertices[6], 0.125f);
  test::ExpectNear(Vertex(s, g, 1, 11).position(), {0, 0.25f, -1}, 1e-6f);
  // A changed step count cannot be done in place: it rebuilds.
  SetRevolutionParams(s, g, {180, 8, 0, 1});
  RegenerateGroup(s, g, 0);
  EXPECT_EQ(s.groups[g].primitives[1].vertexCount, 16);
}

TEST(CreateRevolution, MakesTheCupAsTheCurrentGroupAndCapsIt) {
  test::RecordedDocument d;
  const int g = CreateRevolution(d.doc);
  ASSERT_GE(g, 0);
  const DisplayGroup& group = d.scene().groups[g];
  EXPECT_EQ(group.name, "Surface of Revolution");
  EXPECT_EQ(group.kind, kKindRevolution);
  EXPECT_EQ(d.scene().selectedGroup, g);
  EXPECT_TRUE(d.doc.modified);
  ASSERT_EQ(group.primitiveCount(), 8);
  EXPECT_EQ(group.primitives[0].vertexCount, 60);
  EXPECT_NEAR(group.bboxMax[1], 0.75f, 1e-6f);
  EXPECT_NEAR(group.bboxMin[1], -0.3f, 1e-6f);
  EXPECT_NEAR(group.bboxMax[2], 0.5f, 1e-6f);  // the rim, where the sweep starts
  RevolutionProfile p;
  ASSERT_TRUE(GetRevolutionProfile(d.scene(), g, p));
  p.flags = kCapEnds;
  SetRevolutionParams(d.scene(), g, {270, 30, 0, 1});
  ApplyRevolution(d.scene(), g, p);
  EXPECT_EQ(group.name, "Surface of Revolution");
  EXPECT_EQ(group.primitiveCount(), 8 + 6 + 6);
  EXPECT_EQ(test::BlockFloatAt(d.scene(), g, 8), 6.0f);
}

TEST(CreateRevolution, NewProfileEndsOnTheAxis) {
  RevolutionProfile p;
  p.flags = 1;
  p.current = 1;
  ResetRevolution(p);
  EXPECT_EQ(p.flags, 0);
  ASSERT_GE(p.points.size(), 4u);
  EXPECT_NEAR(p.points.front(), 0, 1e-3f);
  EXPECT_NEAR(p.points[p.points.size() - 2], 0, 1e-3f);
  EXPECT_EQ(p.selected, std::vector<uint8_t>(p.points.size() / 2, 0));
  EXPECT_EQ(p.current, -1);
}

TEST(RevolutionCaps, CapsCloseTheEndsFacingAwayFromTheSweep) {
  Scene s;
  const int g = AddRevolution(s, kBox, kCapEnds, 180, 10);
  // Four points: two triangles a cap, in the plane x = 0, facing +X.
  ASSERT_EQ(s.groups[g].primitiveCount(), 4 + 2 + 2);
  EXPECT_EQ(test::BlockFloatAt(s, g, 8), 2.0f);
  for (size_t p = 4; p < 8; ++p) {
    EXPECT_EQ(s.groups[g].primitives[p].type, kTriangles);
    for (int k = 0; k < 3; ++k) {
      const auto v = Vertex(s, g, p, k);
      EXPECT_NEAR(v.x(), 0, 1e-6f);
      EXPECT_GT(v.z() * (p < 6 ? 1 : -1), 0);  // start at +Z, end at -Z
      test::ExpectNear(v.normal(), {1, 0, 0}, 1e-6f);
    }
  }
  // After a quarter turn the end cap faces -Z.
  const int q = AddRevolution(s, kBox, kCapEnds, 90, 10);
  ASSERT_EQ(s.groups[q].primitiveCount(), 8);
  for (int k = 0; k < 3; ++k) {
    test::ExpectNear(Vertex(s, q, 7, k).normal(), {0, 0, -1}, 1e-6f);
    EXPECT_NEAR(Vertex(s, q, 7, k).z(), 0, 1e-6f);
    EXPECT_LT(Vertex(s, q, 7, k).x(), 0);
  }
  // Seen from the side each cap faces, both turn the same way: from +X the
  // start cap's (right, up) is (-z, y), from -Z the end cap's is (-x, y).
  auto turn = [&](size_t p, int a, int b) {
    const auto v0 = Vertex(s, q, p, 0), v1 = Vertex(s, q, p, 1), v2 = Vertex(s, q, p, 2);
    return (v1.v[a] - v0.v[a]) * (v2.v[b] - v0.v[b]) - (v1.v[b] - v0.v[b]) * (v2.v[a] - v0.v[a]);
  };
  EXPECT_GT(turn(4, 2, 1) * turn(7, 0, 1), 0);
  // A profile that crosses itself cannot be capped: only the strips stay.
  const int bow = AddRevolution(s, {0.2f, 0, 0.2f, 0.5f, 0.8f, 0, 0.8f, 0.5f}, kCapEnds, 90, 5);
  EXPECT_EQ(s.groups[bow].primitiveCount(), 4);
  EXPECT_EQ(test::BlockFloatAt(s, bow, 8), 0.0f);
}

using test::U;
using test::V;

// u round the sweep and v down the profile; each cap spans its own box
TEST(RevolutionMapping, DefaultCoordinates) {
  Scene s;
  const int g = AddRevolution(s, kBox, kCapEnds, 90, 5);
  ASSERT_EQ(s.groups[g].primitiveCount(), 8);  // needs the caps
  s.groups[g].textureTransform[7] = 2;         // v scale
  ASSERT_EQ(MapRevolutionDefault(s, g), 0);
  EXPECT_TRUE(s.groups[g].flags & TexCoords);
  // Perimeter 0.5 + 0.5 + 0.5 + 0.5 = 2, a quarter per segment.
  for (int i = 0; i < 4; ++i)
    for (int k = 0; k < 5; ++k) {
      EXPECT_NEAR(U(s, g, i, 2 * k), k / 4.0f, 1e-6f);
      EXPECT_NEAR(V(s, g, i, 2 * k), 2 * (1 - i * 0.25f), 1e-6f);
      EXPECT_NEAR(V(s, g, i, 2 * k + 1), 2 * (1 - (i + 1) * 0.25f), 1e-6f);
    }
  for (size_t p = 4; p < 8; ++p)
    for (int k = 0; k < 3; ++k) {
      const auto v = Vertex(s, g, p, k);
      EXPECT_NEAR(U(s, g, p, k), (Radius(v.position()) - 0.5f) / 0.5f, 1e-5f);
      EXPECT_NEAR(V(s, g, p, k), 2 * (v.y() + 0.25f) / 0.5f, 1e-5f);
    }
  const int flat = AddRevolution(s, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0, 0, 0);
  ASSERT_EQ(MapRevolutionDefault(s, flat), 0);
  test::ExpectFinite(s.groups[flat]);
}

TEST(RevolutionMapping, RebuildingReappliesTheDefaultMapping) {
  Scene s;
  const int g = AddRevolution(s, kBox, 0, 90, 5);
  ASSERT_EQ(MapDefault(s, g), 0);
  EXPECT_EQ(GetMappingKind(s, g), kDefaultMapping);
  SetRevolutionParams(s, g, {90, 9, 0, 1});
  RegenerateGroup(s, g, 1);
  ASSERT_EQ(s.groups[g].primitives[0].vertexCount, 18);
  EXPECT_NEAR(U(s, g, 0, 2), 1 / 8.0f, 1e-6f);
  EXPECT_NEAR(V(s, g, 3, 1), 0.0f, 1e-6f);
}

}  // namespace
}  // namespace modra
