// Extrusions: the parameter block, walls, bevels, corners, caps, the default mapping.
#include <cmath>
#include <tuple>

#include "geometry/extrusion.h"
#include "geometry/extrusion_block.h"
#include "geometry/extrusion_profile.h"
#include "geometry/regenerate.h"
#include "geometry/texture_mapping.h"
#include "profile_test_util.h"
#include "scene/group_fields.h"

namespace modra {
namespace {

using test::AddExtrusion;
using test::Square;
using test::Vertex;

const float kRoot2 = std::sqrt(2.0f);

// Signed area in XY of the triangle primitives from `first` on.
float SignedCapArea(const Scene& s, int g, size_t first, size_t end) {
  float area = 0;
  for (size_t p = first; p < end; ++p) {
    auto a = Vertex(s, g, p, 0), b = Vertex(s, g, p, 1), c = Vertex(s, g, p, 2);
    area += 0.5f * ((b.x() - a.x()) * (c.y() - a.y()) - (c.x() - a.x()) * (b.y() - a.y()));
  }
  return area;
}

TEST(ExtrusionBlock, LayoutAndSizeFollowTheWordOrder) {
  Scene s;
  std::vector<float> outer, hole = Square(0.1f);
  for (int i = 0; i < 40; ++i) {  // a clockwise 40-gon
    const float a = -2.0f * 3.14159265f * i / 40;
    outer.push_back(std::cos(a));
    outer.push_back(std::sin(a));
  }
  std::vector<uint8_t> corners(44, 0);
  corners[0] = corners[33] = corners[43] = 1;
  const int g = AddExtrusion(s, {outer, hole}, kBevelBack, 0.5f, 0.05f, corners);
  const auto& block = s.groups[g].generatorParams;
  // The size word, then the words in order, the corner words last.
  EXPECT_EQ(test::BlockIntAt(s, g, 0), static_cast<int32_t>(block.size()));
  EXPECT_EQ(test::BlockFloatAt(s, g, 1), 0.0f);  // mapping kind
  EXPECT_EQ(test::BlockIntAt(s, g, 2), kBevelBack);
  EXPECT_EQ(test::BlockFloatAt(s, g, 3), 0.5f);
  EXPECT_EQ(test::BlockFloatAt(s, g, 4), 0.05f);
  EXPECT_EQ(test::BlockFloatAt(s, g, 6), 2.0f);  // contour count, as a float
  EXPECT_EQ(test::BlockIntAt(s, g, 8), 40);
  EXPECT_EQ(test::BlockIntAt(s, g, 9), 4);
  EXPECT_EQ(test::BlockFloatAt(s, g, 10), outer[0]);
  EXPECT_EQ(test::BlockFloatAt(s, g, 10 + 2 * 43 + 1), hole[7]);
  // Corner bits: point i is bit i % 32 of word i / 32.
  EXPECT_EQ(test::BlockIntAt(s, g, 10 + 88), 1);
  EXPECT_EQ(test::BlockIntAt(s, g, 10 + 88 + 1), (1 << 1) | (1 << 11));
  // and the profile comes back out of it, nothing selected
  ExtrusionProfile p;
  p.selected.assign(3, 1);
  ASSERT_TRUE(GetExtrusionProfile(s, g, p));
  EXPECT_EQ(std::tie(p.flags, p.depth, p.bevelSize, p.pointCounts, p.corners, p.selected),
            std::tuple(kBevelBack, 0.5f, 0.05f, std::vector<int32_t>{40, 4}, corners,
                       std::vector<uint8_t>(44, 0)));
  EXPECT_EQ(p.points[2 * 40 + 7], hole[7]);
  const int plain = test::AddTriangle(s, "mesh");
  EXPECT_FALSE(GetExtrusionProfile(s, plain, p));
  EXPECT_EQ(p.pointCounts.size(), 2u);  // untouched
}

// A block read from a file may claim anything; none of it may be read
// outside the block, and no geometry comes of it.
TEST(ExtrusionBlock, LyingBlocksBuildNothing) {
  Scene s;
  const int g = AddExtrusion(s, {Square(0.5f), Square(0.1f)}, 3, 1, 0.1f);
  const std::vector<uint8_t> good = s.groups[g].generatorParams;
  auto expectRefused = [&](const char* what) {
    SCOPED_TRACE(what);
    RegenerateGroup(s, g, 1);
    EXPECT_EQ(s.groups[g].primitiveCount(), 0);
    ExtrusionProfile p;
    EXPECT_FALSE(GetExtrusionProfile(s, g, p));
    EXPECT_EQ(MapExtrusionDefault(s, g), -1);
    s.groups[g].generatorParams = good;
  };
  for (float count : {1e9f, NAN, 0.0f, -2.0f}) {  // contour counts past the block, or none
    SCOPED_TRACE(count);
    test::SetBlockFloatAt(s, g, 6, count);
    expectRefused("contour count");
  }
  const struct {
    const char* what;
    int word;
    const char* bytes;
  } words[] = {{"point count past the block", 9, "\xff\xff\xff\x7f"},
               {"empty contour", 8, "\0\0\0\0"},
               {"negative point count", 8, "\xfe\xff\xff\xff"},
               {"size word smaller than the counts need", 0, "\x10\0\0\0"}};
  for (const auto& w : words) {
    std::memcpy(s.groups[g].generatorParams.data() + 4 * w.word, w.bytes, 4);
    expectRefused(w.what);
  }
  for (size_t cut = 0; cut < good.size(); cut += 4) {
    s.groups[g].generatorParams.assign(good.begin(), good.begin() + cut);
    expectRefused("truncated");
  }
  RegenerateGroup(s, g, 1);
  EXPECT_GE(s.groups[g].primitiveCount(), 6);
  // a negative count from a caller writes nowhere either
  const int32_t counts[1] = {4};
  MakeExtrusion(s, g, 0, 1, 0.1f, -3, counts, Square(1).data(), good.data());
  EXPECT_TRUE(s.groups[g].primitives.empty());
}

TEST(ExtrusionWalls, WithoutBevelsTheWallsSpanTheWholeDepth) {
  Scene s;
  const int g = AddExtrusion(s, {Square(0.5f)}, 0, 1.0f, 0.1f, {}, TexCoords);
  ASSERT_GE(s.groups[g].primitiveCount(), 1);
  const DisplayPrimitive& wall = s.groups[g].primitives[0];
  EXPECT_EQ(wall.type, kTriangleStrip);
  ASSERT_EQ(wall.vertexCount, 2 * 4 + 2);
  EXPECT_EQ(wall.vertices.size(), 10u * 8);  // the group's own layout
  const std::vector<float> sq = Square(0.5f);
  for (int j = 0; j <= 4; ++j) {
    const auto top = Vertex(s, g, 0, 2 * j), bottom = Vertex(s, g, 0, 2 * j + 1);
    const float x = sq[2 * (j % 4)], y = sq[2 * (j % 4) + 1];
    test::ExpectNear(top.position(), {x, y, 0.5f}, 0);
    test::ExpectNear(bottom.position(), {x, y, -0.5f}, 0);
    // The corners of a square share the diagonal, pointing out.
    test::ExpectNear(top.normal(), {x / 0.5f / kRoot2, y / 0.5f / kRoot2, 0}, 1e-6f);
    test::ExpectNear(bottom.normal(), top.normal(), 0);
  }
}

TEST(ExtrusionWalls, BevelsStopTheWallsAndInsetTheEndsByTheMiter) {
  Scene s;
  const float b = 0.1f;
  const int g = AddExtrusion(s, {Square(0.5f)}, kBevelFront | kBevelBack, 1.0f, b);
  ASSERT_GE(s.groups[g].primitiveCount(), 3);
  // The first corner, (-0.5, -0.5): a right angle, so the miter b * sqrt(2)
  // along the diagonal moves the point in by b on both axes.
  test::ExpectNear(Vertex(s, g, 0, 0).position(), {-0.5f, -0.5f, 0.5f - b}, 1e-6f);
  test::ExpectNear(Vertex(s, g, 0, 1).position(), {-0.5f, -0.5f, -(0.5f - b)}, 1e-6f);
  // Front bevel (band 2): wall end first, then the inset point at -H;
  // the back bevel (band 3) starts at the inset point at +H.
  test::ExpectNear(Vertex(s, g, 1, 0).position(), {-0.5f, -0.5f, -(0.5f - b)}, 1e-6f);
  test::ExpectNear(Vertex(s, g, 1, 1).position(), {-0.4f, -0.4f, -0.5f}, 1e-6f);
  test::ExpectNear(Vertex(s, g, 2, 0).position(), {-0.4f, -0.4f, 0.5f}, 1e-6f);
  // Bevel normals lean out and toward their end.
  test::ExpectNear(Vertex(s, g, 1, 0).normal(), {-0.5f, -0.5f, -1 / kRoot2}, 1e-6f);
  test::ExpectNear(Vertex(s, g, 2, 0).normal(), {-0.5f, -0.5f, 1 / kRoot2}, 1e-6f);
  // A straight point moves in by the bevel, a 135-degree one by bevel / sin(67.5 degrees).
  const float small = 0.05f;
  const std::vector<float> pts = {-0.5f, -0.5f, -0.5f, 0,    -0.5f, 0.3f,
                                  -0.3f, 0.5f,  0.5f,  0.5f, 0.5f,  -0.5f};
  const int m = AddExtrusion(s, {pts}, kBevelBack, 1, small);
  ASSERT_GE(s.groups[m].primitiveCount(), 2);
  auto insetDistance = [&](int j) {
    const auto inset = Vertex(s, m, 1, 2 * j).position();
    return std::hypot(inset[0] - pts[2 * j], inset[1] - pts[2 * j + 1]);
  };
  EXPECT_NEAR(insetDistance(1), small, 1e-6f);
  EXPECT_NEAR(insetDistance(2), small / std::sin(67.5f * 3.14159265f / 180), 1e-6f);
}

TEST(ExtrusionWalls, BandsComeWallsFirstThenFrontThenBackEachByContour) {
  Scene s;
  // Front bevels, then back ones, each outer contour then hole, inset away from the solid.
  const int g = AddExtrusion(s, {Square(1), Square(0.3f)}, 3, 1.0f, 0.1f);
  ASSERT_GE(s.groups[g].primitiveCount(), 6);
  EXPECT_EQ(Vertex(s, g, 2, 1).z(), -0.5f);  // front, outer
  EXPECT_EQ(Vertex(s, g, 3, 0).z(), -0.5f);  // front, hole
  EXPECT_EQ(Vertex(s, g, 4, 0).z(), 0.5f);   // back, outer
  EXPECT_EQ(Vertex(s, g, 5, 1).z(), 0.5f);   // back, hole
  EXPECT_NEAR(std::fabs(Vertex(s, g, 2, 1).x()), 0.9f, 1e-6f);
  EXPECT_NEAR(std::fabs(Vertex(s, g, 5, 1).x()), 0.4f, 1e-6f);
  // Without bevels a hole's pairs start at -Z, normals into the hole.
  const int h = AddExtrusion(s, {Square(1), Square(0.25f)}, 0, 1.0f, 0);
  ASSERT_GE(s.groups[h].primitiveCount(), 2);
  test::ExpectNear(Vertex(s, h, 1, 0).position(), {-0.25f, -0.25f, -0.5f}, 0);
  EXPECT_EQ(Vertex(s, h, 1, 1).z(), 0.5f);
  test::ExpectNear(Vertex(s, h, 1, 0).normal(), {1 / kRoot2, 1 / kRoot2, 0}, 1e-6f);
}

// In a strip, two pairs at different places bound one face: it is flat
// when both pairs carry the same normal.
int SmoothFaces(const Scene& s, int g, size_t prim) {
  int smooth = 0;
  const int pairs = s.groups[g].primitives[prim].vertexCount / 2;
  for (int k = 0; k + 1 < pairs; ++k) {
    const auto a = Vertex(s, g, prim, 2 * k), b = Vertex(s, g, prim, 2 * k + 2);
    if (a.position() == b.position()) continue;
    if (a.normal() != b.normal()) ++smooth;
  }
  return smooth;
}

TEST(ExtrusionWalls, AllCornersShadeEveryFaceFlatAndNoCornersNone) {
  Scene s;
  const int flat = AddExtrusion(s, {Square(0.5f)}, 3, 1, 0.1f, {1, 1, 1, 1});
  const int smooth = AddExtrusion(s, {Square(0.5f)}, 3, 1, 0.1f);
  for (size_t band = 0; band < 3; ++band) {
    SCOPED_TRACE(band);
    ASSERT_GE(s.groups[flat].primitiveCount(), 3);
    // Corners among points 1..n-1 add a pair each: 2(n + k) + 2.
    EXPECT_EQ(s.groups[flat].primitives[band].vertexCount, 2 * (4 + 3) + 2);
    EXPECT_EQ(SmoothFaces(s, flat, band), 0);
    EXPECT_EQ(s.groups[smooth].primitives[band].vertexCount, 2 * 4 + 2);
    EXPECT_EQ(SmoothFaces(s, smooth, band), 4);
  }
  // The first pair takes edge 0's normal, the last the closing edge's.
  test::ExpectNear(Vertex(s, flat, 0, 0).normal(), {-1, 0, 0}, 0);
  test::ExpectNear(Vertex(s, flat, 0, 14).normal(), {0, -1, 0}, 0);
  // At corner 1, the incoming edge's normal, then the outgoing one's.
  test::ExpectNear(Vertex(s, flat, 0, 2).normal(), {-1, 0, 0}, 0);
  test::ExpectNear(Vertex(s, flat, 0, 4).normal(), {0, 1, 0}, 0);
  test::ExpectNear(Vertex(s, flat, 0, 2).position(), Vertex(s, flat, 0, 4).position(), 0);
  // Point 0 is a corner but adds no pair; point 2 does.
  const std::vector<float> pentagon = {0, -1, -1, 0, 0, 1, 1, 1, 1, 0};
  const int g = AddExtrusion(s, {pentagon, Square(0.1f)}, 0, 1, 0, {1, 0, 1, 0, 0, 1, 1, 1, 1});
  ASSERT_GE(s.groups[g].primitiveCount(), 2);
  EXPECT_EQ(s.groups[g].primitives[0].vertexCount, 2 * (5 + 1) + 2);
  EXPECT_EQ(s.groups[g].primitives[1].vertexCount, 2 * (4 + 3) + 2);
}

TEST(ExtrusionWalls, DegenerateProfilesGiveNumbersNotNaN) {
  Scene s;
  // Every point in one place, no depth, a profile that doubles back on
  // itself, and a two-point contour: all without a division by zero.
  const int same = AddExtrusion(s, {{0.2f, 0.2f, 0.2f, 0.2f, 0.2f, 0.2f}}, 3, 1, 0.1f);
  const int flat = AddExtrusion(s, {Square(0.5f)}, 0, 0, 0);
  const int back = AddExtrusion(s, {{0, 0, 1, 0, 0, 0, 0, 1}}, 3, 1, 0.1f);
  const int two = AddExtrusion(s, {{0, 0, 1, 1}}, 3, 1, 0.1f);
  for (int g : {same, flat, back, two}) {
    SCOPED_TRACE(g);
    EXPECT_GE(s.groups[g].primitiveCount(), 1);
    test::ExpectFinite(s.groups[g]);
  }
  // A depth that is not a number, from a damaged block.
  test::SetBlockFloatAt(s, flat, 3, NAN);
  RegenerateGroup(s, flat, 1);
  EXPECT_GE(s.groups[flat].primitiveCount(), 1);
  test::ExpectFinite(s.groups[flat]);
}

TEST(ExtrusionWalls, ColouredVerticesKeepTheirColourThroughARebuild) {
  Scene s;
  const int c = AddExtrusion(s, {Square(0.5f)}, kBevelFront | kBevelBack, 1, 0.1f);
  s.groups[c].flags |= VertexColors;
  SetColor(s, c, 0.25f, 0.5f, 0.75f);
  RegenerateGroup(s, c, 1);
  ASSERT_FALSE(s.groups[c].primitives.empty());
  const int stride = VertexStride(s.groups[c]);
  for (const DisplayPrimitive& prim : s.groups[c].primitives)
    for (size_t v = 0; v + stride <= prim.vertices.size(); v += stride) {
      ASSERT_EQ(prim.vertices[v + 3], 0.25f);
      ASSERT_EQ(prim.vertices[v + 5], 0.75f);
    }
}

TEST(CreateExtrusion, MakesTheDefaultBevelledProfileAsTheCurrentGroup) {
  test::RecordedDocument d;
  const int g = CreateExtrusion(d.doc);
  ASSERT_GE(g, 0);
  const DisplayGroup& group = d.scene().groups[g];
  EXPECT_EQ(std::tie(group.name, group.kind, d.scene().selectedGroup, d.doc.modified),
            std::tuple("Extrusion", kKindExtrusion, g, true));
  ExtrusionProfile p;
  ASSERT_TRUE(GetExtrusionProfile(d.scene(), g, p));
  EXPECT_EQ(p.flags, kBevelFront | kBevelBack);
  // three bands, then both caps whole
  EXPECT_EQ(group.primitiveCount(), 3 + 2 * (p.pointCounts[0] - 2));
  EXPECT_NEAR(group.bboxMax[2], p.depth / 2, 1e-6f);  // the box reaches the bevelled ends
  EXPECT_NEAR(group.bboxMin[2], -p.depth / 2, 1e-6f);
}

TEST(CreateExtrusion, NewProfileIsTheClockwiseDefaultWithFlagsCleared) {
  ExtrusionProfile p;
  p.flags = 3;
  p.depth = 2.5f;
  p.pointCounts = {3, 3};
  p.points.assign(12, 1);
  p.corners.assign(6, 1);
  p.selected.assign(6, 1);
  ResetProfile(p);
  EXPECT_EQ(std::tie(p.flags, p.depth, p.pointCounts, p.corners, p.selected),
            std::tuple(0, 2.5f, std::vector<int32_t>{24}, std::vector<uint8_t>(24, 0),
                       std::vector<uint8_t>(24, 0)));
  ASSERT_EQ(p.points.size(), 48u);
  float area = 0;
  for (int i = 0; i < 24; ++i) {
    const int j = (i + 1) % 24;
    area += p.points[2 * i] * p.points[2 * j + 1] - p.points[2 * j] * p.points[2 * i + 1];
  }
  EXPECT_LT(area, 0);  // clockwise
}

TEST(ExtrusionCaps, CapsCloseTheWallEndsButNotHoles) {
  Scene s;
  const int g = AddExtrusion(s, {Square(0.5f)}, 0, 1.0f, 0.1f);
  // One wall strip, then two triangles a cap.
  ASSERT_EQ(s.groups[g].primitiveCount(), 1 + 2 + 2);
  EXPECT_EQ(test::BlockFloatAt(s, g, 5), 2.0f);
  for (size_t p = 1; p < 5; ++p) {
    const float z = p < 3 ? 0.5f : -0.5f;
    EXPECT_EQ(s.groups[g].primitives[p].type, kTriangles);
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(Vertex(s, g, p, k).z(), z);
      test::ExpectNear(Vertex(s, g, p, k).normal(), {0, 0, z * 2}, 0);
    }
  }
  // Same triangles, the -Z ones wound the other way.
  const float plus = SignedCapArea(s, g, 1, 3), minus = SignedCapArea(s, g, 3, 5);
  EXPECT_NEAR(std::fabs(plus), 1.0f, 1e-5f);
  EXPECT_NEAR(plus, -minus, 1e-5f);
  // Bevelled caps are inset, at the full depth.
  const int h = AddExtrusion(s, {Square(0.5f)}, 3, 1.0f, 0.1f);
  ASSERT_EQ(s.groups[h].primitiveCount(), 3 + 2 + 2);
  for (size_t p = 3; p < 7; ++p)
    for (int k = 0; k < 3; ++k) {
      const auto v = Vertex(s, h, p, k);
      test::ExpectNear({std::fabs(v.x()), std::fabs(v.y()), std::fabs(v.z())}, {0.4f, 0.4f, 0.5f},
                       1e-6f);
    }
  EXPECT_NEAR(std::fabs(SignedCapArea(s, h, 3, 5)), 0.64f, 1e-5f);
  // Holes are left open.
  const int holed = AddExtrusion(s, {Square(1), Square(0.25f)}, 0, 1.0f, 0);
  // 8 points and one hole: 8 + 2 - 2 triangles a cap.
  ASSERT_EQ(s.groups[holed].primitiveCount(), 2 + 8 + 8);
  EXPECT_EQ(test::BlockFloatAt(s, holed, 5), 8.0f);
  EXPECT_NEAR(std::fabs(SignedCapArea(s, holed, 2, 10)), 4.0f - 0.25f, 1e-5f);
  // A bow-tie crosses itself; a two-point contour encloses nothing.
  const int bow = AddExtrusion(s, {{-1, -1, -1, 1, 1, -1, 1, 1}}, 0, 1, 0);
  const int two = AddExtrusion(s, {{0, 0, 1, 1}}, 3, 1, 0.1f);
  EXPECT_EQ(s.groups[bow].primitiveCount(), 1);
  EXPECT_EQ(s.groups[two].primitiveCount(), 3);
  EXPECT_EQ(test::BlockFloatAt(s, bow, 5), 0.0f);
}

using test::U;
using test::V;

TEST(ExtrusionMapping, WallsWrapByLengthAndBandsShareTheDepth) {
  Scene s;
  const float b = 0.1f;
  const int g = AddExtrusion(s, {Square(0.5f), Square(0.25f)}, 3, 1.0f, b, {}, TexCoords);
  ASSERT_EQ(MapExtrusionDefault(s, g), 0);
  for (int j = 0; j <= 4; ++j) {
    EXPECT_NEAR(U(s, g, 0, 2 * j), 1.0f - j * 0.25f, 1e-6f);  // outer: 1 down to 0
    EXPECT_NEAR(U(s, g, 1, 2 * j), j * 0.25f, 1e-6f);         // hole: 0 up to 1
  }
  const float t = 1.0f + 2 * 0.41421f * b;
  // Outer pairs start at +Z, hole pairs at -Z; v = 1 at the front (-Z).
  EXPECT_NEAR(V(s, g, 0, 0), b / t, 1e-6f);
  EXPECT_NEAR(V(s, g, 0, 1), 1 - b / t, 1e-6f);
  EXPECT_NEAR(V(s, g, 1, 0), 1 - b / t, 1e-6f);
  EXPECT_NEAR(V(s, g, 2, 0), 1 - b / t, 1e-6f);  // front bevel: wall end
  EXPECT_NEAR(V(s, g, 2, 1), 1.0f, 1e-6f);       // front bevel: -H
  EXPECT_NEAR(V(s, g, 4, 0), 0.0f, 1e-6f);       // back bevel: +H
  EXPECT_NEAR(V(s, g, 4, 1), b / t, 1e-6f);
}

TEST(ExtrusionMapping, CapsSpanTheirBoxScalesRepeatAndFlatProfilesStayFinite) {
  Scene s;
  const int g = AddExtrusion(s, {Square(0.5f)}, 0, 1.0f, 0);  // coordinates added on mapping
  ASSERT_EQ(s.groups[g].primitiveCount(), 5);                 // needs the caps
  ASSERT_EQ(MapExtrusionDefault(s, g), 0);
  EXPECT_TRUE(s.groups[g].flags & TexCoords);
  for (size_t p = 1; p < 5; ++p)
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(U(s, g, p, k), Vertex(s, g, p, k).x() + 0.5f, 1e-6f);
      EXPECT_NEAR(V(s, g, p, k), Vertex(s, g, p, k).y() + 0.5f, 1e-6f);
    }
  s.groups[g].textureTransform[6] = 2;
  s.groups[g].textureTransform[7] = 3;
  ASSERT_EQ(MapExtrusionDefault(s, g), 0);
  EXPECT_NEAR(U(s, g, 0, 2), 1.5f, 1e-6f);
  EXPECT_NEAR(V(s, g, 0, 1), 3.0f, 1e-6f);
  // No depth, no length: nothing to divide by.
  const int flat = AddExtrusion(s, {{0, 0, 0, 0, 0, 0}}, 0, 0, 0, {}, TexCoords);
  ASSERT_EQ(MapExtrusionDefault(s, flat), 0);
  test::ExpectFinite(s.groups[flat]);
}

TEST(ExtrusionMapping, RebuildingReappliesTheDefaultMappingWhileTheBlockMatches) {
  Scene s;
  const int g = AddExtrusion(s, {Square(0.5f)}, 0, 1.0f, 0.1f, {}, TexCoords);
  SetMappingKind(s, g, kDefaultMapping);
  ExtrusionProfile p;
  ASSERT_TRUE(GetExtrusionProfile(s, g, p));
  p.flags = kBevelBack;
  ApplyProfile(s, g, p);
  ASSERT_GE(s.groups[g].primitiveCount(), 2);
  EXPECT_NEAR(U(s, g, 0, 4), 0.5f, 1e-6f);
  EXPECT_NEAR(V(s, g, 0, 0), 0.1f / (1 + 0.041421f), 1e-6f);  // the wall ends under the bevel
  // Geometry that no longer matches the block is left alone.
  s.groups[g].primitives.erase(s.groups[g].primitives.begin() + 1);
  const auto before = s.groups[g].primitives;
  EXPECT_EQ(MapExtrusionDefault(s, g), -1);
  EXPECT_EQ(s.groups[g].primitives[0].vertices, before[0].vertices);
}

}  // namespace
}  // namespace modra
