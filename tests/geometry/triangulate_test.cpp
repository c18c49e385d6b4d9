#include "geometry/triangulate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "triangulate_test_util.h"

namespace modra {
namespace {

using tritest::Build;
using tritest::ExpectTiles;
using tritest::IsSimple;
using tritest::LoadFixture;
using tritest::Output;
using tritest::Placement;
using tritest::Point;
using tritest::Polygon;
using tritest::Ring;
using tritest::Rings;
using tritest::Triangulated;

const Ring kSquare = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};      // counter-clockwise
const Ring kSquareHole = {{1, 1}, {1, 3}, {3, 3}, {3, 1}};  // clockwise

Ring Reversed(const Ring& r) {
  return Ring(r.rbegin(), r.rend());
}

Placement AtHeight(float z) {
  return [z](float x, float y) { return std::array<float, 3>{x, y, z}; };
}

// The planes a polygon is put into: each axis both ways, and x + y + z = 0.
struct Plane {
  const char* name;
  Placement place;
};
const Plane kPlanes[] = {
    {"+z",
     [](float x, float y) {
       return std::array<float, 3>{x, y, 0};
     }},
    {"-z",
     [](float x, float y) {
       return std::array<float, 3>{y, x, 5};
     }},
    {"+x",
     [](float x, float y) {
       return std::array<float, 3>{-3, x, y};
     }},
    {"-x",
     [](float x, float y) {
       return std::array<float, 3>{2, y, x};
     }},
    {"+y",
     [](float x, float y) {
       return std::array<float, 3>{y, 7, x};
     }},
    {"-y",
     [](float x, float y) {
       return std::array<float, 3>{x, -1, y};
     }},
    // integer points keep this one exactly planar
    {"(1,1,1)",
     [](float x, float y) {
       return std::array<float, 3>{x, y, -x - y};
     }},
};

TEST(Triangulation, TriangleComesBackAsItself) {
  const Polygon p = Build({{{0, 0}, {2, 0}, {0, 1}}}, AtHeight(1.5f));
  const Output out = Triangulated(p);
  ASSERT_EQ(out.status, 0);
  ASSERT_EQ(out.Count(), 1u);
  // the same corners, turning the same way
  int start = 0;
  while (start < 3 && (out.Vertex(0, start)[0] != 0.0f || out.Vertex(0, start)[1] != 0.0f))
    ++start;
  ASSERT_LT(start, 3);
  const float expected[3][3] = {{0, 0, 1.5f}, {2, 0, 1.5f}, {0, 1, 1.5f}};
  for (int k = 0; k < 3; ++k)
    for (int j = 0; j < 3; ++j)
      EXPECT_EQ(out.Vertex(0, (start + k) % 3)[j], expected[k][j]) << k << "," << j;
}

TEST(Triangulation, ConvexQuadGivesTwoTriangles) {
  for (const Ring& quad :
       {Ring{{0, 0}, {3, 0}, {4, 2}, {1, 3}}, Reversed({{0, 0}, {3, 0}, {4, 2}, {1, 3}})}) {
    const Polygon p = Build({quad});
    ExpectTiles(p, Triangulated(p));
  }
}

TEST(Triangulation, SquareWithSquareHoleGivesEight) {
  // the hole either way round, and listed before the outer ring as the
  // extrusion caps list it
  const Rings cases[] = {
      {kSquare, kSquareHole},
      {kSquare, Reversed(kSquareHole)},
      {Reversed(kSquare), kSquareHole},
      {kSquareHole, kSquare},
      {Reversed(kSquareHole), Reversed(kSquare)},
  };
  for (const Rings& rings : cases) {
    const Polygon p = Build(rings);
    const Output out = Triangulated(p);
    ASSERT_EQ(out.Count(), 8u);
    // ExpectTiles takes ring 0 as the outer one
    Rings outerFirst = rings;
    if (std::fabs(tritest::SignedArea(rings[0])) < 16) std::swap(outerFirst[0], outerFirst[1]);
    ExpectTiles(Build(outerFirst), out);
  }
}

TEST(Triangulation, EveryProjectionPlane) {
  const Rings rings = {kSquare, kSquareHole, {{3.5, 0.5}, {3.5, 3.5}, {3.25, 0.5}}};
  for (const Plane& plane : kPlanes) {
    SCOPED_TRACE(plane.name);
    const Polygon p = Build(rings, plane.place);
    ExpectTiles(p, Triangulated(p));
  }
}

TEST(Triangulation, RepeatedPointsAreMerged) {
  const Rings cases[] = {
      // a doubled corner, and a ring closed by repeating its first point
      {{{0, 0}, {4, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}}, {{1, 1}, {1, 1}, {1, 3}, {3, 3}, {3, 1}}},
      // the top corners doubled, and tripled
      {{{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 4}}, {{1, 1}, {1, 3}, {1, 3}, {1, 3}, {3, 3}, {3, 1}}},
  };
  for (const Rings& rings : cases) {
    const Polygon p = Build(rings);
    ExpectTiles(p, Triangulated(p));
  }
}

TEST(Triangulation, ExtraFloatsArriveUnchanged) {
  const Polygon p = Build({kSquare, kSquareHole}, AtHeight(0), 5);
  const Output out = Triangulated(p);
  ASSERT_EQ(out.stride, 8);
  // ExpectTiles finds each corner, extra floats and all, among the inputs
  ExpectTiles(p, out);
  for (size_t t = 0; t < out.Count(); ++t)
    for (int k = 0; k < 3; ++k) {
      const float* v = out.Vertex(t, k);
      const int i = static_cast<int>(v[3] / 10);
      for (int j = 0; j < 5; ++j)
        EXPECT_EQ(v[3 + j], static_cast<float>(i * 10 + j) + 0.25f);
      EXPECT_EQ(v[0], p.vertices[i * 8]);
      EXPECT_EQ(v[1], p.vertices[i * 8 + 1]);
    }
}

// The collection's fixtures that are simple polygons. The others touch or
// cross themselves (bad-hole, eberly-3, self-tangent-1, touching-holes,
// water, water2, water4, water-huge), have one- or two-point holes
// (steiner, water-huge) or no area (degenerate, empty-square).
const char* const kSimpleFixtures[] = {"building", "dude", "hilbert", "issue16", "issue17"};
const char* const kOtherFixtures[] = {
    "bad-hole",       "degenerate", "eberly-3", "empty-square", "self-tangent-1", "steiner",
    "touching-holes", "water",      "water2",   "water4",       "water-huge"};

TEST(Triangulation, SimpleFixtures) {
  for (const char* name : kSimpleFixtures) {
    SCOPED_TRACE(name);
    const Rings rings = LoadFixture(name);
    ASSERT_TRUE(IsSimple(Build(rings)));
    const Polygon p = Build(rings);
    ExpectTiles(p, Triangulated(p));
    // and turned into other projection planes
    for (const Plane& plane : {kPlanes[2], kPlanes[5]}) {
      SCOPED_TRACE(plane.name);
      const Polygon turned = Build(rings, plane.place);
      ExpectTiles(turned, Triangulated(turned));
    }
  }
}

TEST(Triangulation, OtherFixturesFailCleanly) {
  for (const char* name : kOtherFixtures) {
    SCOPED_TRACE(name);
    const Polygon p = Build(LoadFixture(name));
    EXPECT_FALSE(IsSimple(p));
    const Output out = Triangulated(p);
    EXPECT_EQ(out.status, -1);
    EXPECT_EQ(out.Count(), 0u);
  }
}

// A ring of `count` points around (cx, cy), radius r, wobbling by `noise`.
Ring NoisyCircle(double cx, double cy, double r, int count, double noise, std::mt19937& rng,
                 bool clockwise) {
  std::uniform_real_distribution<double> wobble(-noise, noise);
  Ring ring;
  for (int i = 0; i < count; ++i) {
    const double a = 2 * std::numbers::pi * i / count * (clockwise ? -1 : 1);
    const double rr = r * (1 + wobble(rng));
    ring.push_back({cx + rr * std::cos(a), cy + rr * std::sin(a)});
  }
  return ring;
}

TEST(Triangulation, NoisyCircleWithHoles) {
  std::mt19937 rng(7);
  Rings rings = {NoisyCircle(0, 0, 100, 1200, 0.05, rng, false)};
  for (int i = -2; i <= 2; ++i)
    for (int j = -2; j <= 2; ++j)
      rings.push_back(NoisyCircle(i * 25, j * 25, 8, 40, 0.2, rng, (i + j) % 2 == 0));
  const Polygon p = Build(rings);
  ASSERT_TRUE(IsSimple(p));
  ExpectTiles(p, Triangulated(p));
}

// Polygons where many points share a height or lie on one line.
TEST(Triangulation, FlatRunsAndStraightCorners) {
  const Rings cases[] = {
      // points along every side of a square
      {{{0, 0},
        {1, 0},
        {2, 0},
        {3, 0},
        {3, 1},
        {3, 2},
        {3, 3},
        {2, 3},
        {1, 3},
        {0, 3},
        {0, 2},
        {0, 1}}},
      // a staircase
      {{{0, 0}, {4, 0}, {4, 1}, {3, 1}, {3, 2}, {2, 2}, {2, 3}, {1, 3}, {1, 4}, {0, 4}}},
      // a comb with teeth up and down
      {{{0, 0},
        {1, 0},
        {1, -2},
        {2, -2},
        {2, 0},
        {3, 0},
        {3, -2},
        {4, -2},
        {4, 2},
        {3, 2},
        {3, 1},
        {2, 1},
        {2, 2},
        {1, 2},
        {1, 1},
        {0, 1}}},
      // holes level with the outer corners and with each other
      {{{0, 0}, {6, 0}, {6, 2}, {0, 2}},
       {{1, 0.5}, {1, 1.5}, {2, 1.5}, {2, 0.5}},
       {{4, 0.5}, {3, 1}, {4, 1.5}, {5, 1}}},
      // a notch whose bottom is level with the base
      {{{0, 0}, {2, 0}, {2, 2}, {1.5, 2}, {1.5, 0.5}, {0.5, 0.5}, {0.5, 2}, {0, 2}}},
  };
  for (const Rings& rings : cases) {
    for (const Plane& plane : {kPlanes[0], kPlanes[1], kPlanes[3]}) {
      const Polygon p = Build(rings, plane.place);
      ASSERT_TRUE(IsSimple(p));
      ExpectTiles(p, Triangulated(p));
      const Polygon back = Build({Reversed(rings[0])}, plane.place);
      if (rings.size() == 1) ExpectTiles(back, Triangulated(back));
    }
  }
}

// Random polygons on a coarse grid: plenty of equal heights, straight
// corners, touching corners and crossings. The simple ones must be tiled,
// the others refused.
TEST(Triangulation, RandomGridPolygons) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> coord(-6, 6);
  int simple = 0, refused = 0;
  for (int attempt = 0; attempt < 3000; ++attempt) {
    const int count = 3 + attempt % 12;
    std::vector<std::pair<double, Point>> polar;
    for (int i = 0; i < count; ++i) {
      const Point q{double(coord(rng)), double(coord(rng))};
      polar.push_back({std::atan2(q.y, q.x), q});
    }
    // mostly star-shaped around the origin, so that many are simple
    if (attempt % 4 != 0)
      std::sort(polar.begin(), polar.end(), [](auto& a, auto& b) { return a.first < b.first; });
    Rings rings(1);
    for (auto& [angle, q] : polar)
      rings[0].push_back(q);
    if (attempt % 3 == 0) {
      // a small hole somewhere
      const double hx = coord(rng) / 2.0, hy = coord(rng) / 2.0;
      rings.push_back({{hx, hy}, {hx, hy + 1}, {hx + 1, hy + 1}, {hx + 1, hy}});
    }
    SCOPED_TRACE(attempt);
    Polygon p = Build(rings);
    if (!IsSimple(p) && rings.size() == 2) {
      // the "hole" may be the one around the other ring
      std::swap(rings[0], rings[1]);
      if (IsSimple(Build(rings))) {
        ExpectTiles(Build(rings), Triangulated(p));
        continue;
      }
    }
    if (IsSimple(p)) {
      ++simple;
      ExpectTiles(p, Triangulated(p));
    } else {
      ++refused;
      EXPECT_EQ(Triangulated(p).status, -1);
    }
  }
  EXPECT_GT(simple, 500);
  EXPECT_GT(refused, 500);
}

TEST(Triangulation, InterleavedTriangulatorsMatchSeparateRuns) {
  const Polygon a = Build(LoadFixture("dude"));
  const Polygon b = Build({kSquare, kSquareHole}, kPlanes[2].place, 2);
  const Output aAlone = Triangulated(a), bAlone = Triangulated(b);
  Triangulator first, second;
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(Triangulated(first, a).floats, aAlone.floats);
    EXPECT_EQ(Triangulated(second, b).floats, bAlone.floats);
    // and swapped over: a triangulator carries nothing from one polygon to the next
    EXPECT_EQ(Triangulated(second, a).floats, aAlone.floats);
    EXPECT_EQ(Triangulated(first, b).floats, bAlone.floats);
  }
}

}  // namespace
}  // namespace modra
