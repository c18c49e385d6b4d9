// What the triangulator refuses, and that refusing never reaches outside
// the caller's arrays or calls the sink.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>

#include "geometry/triangulate.h"
#include "triangulate_test_util.h"

namespace modra {
namespace {

using tritest::Build;
using tritest::ExpectTiles;
using tritest::Output;
using tritest::Polygon;
using tritest::Ring;
using tritest::Rings;
using tritest::Triangulated;

const Ring kSquare = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};

// Runs on copies in buffers of exactly the right size, so that the
// sanitizer sees any read past them; -1 also means the sink stayed quiet.
int Refused(const std::vector<float>& vertices, const std::vector<int>& ends, int count,
            int extra = 0) {
  auto v = std::make_unique<float[]>(vertices.size() + 1);
  std::copy(vertices.begin(), vertices.end(), v.get());
  auto e = std::make_unique<int[]>(ends.size() + 1);
  std::copy(ends.begin(), ends.end(), e.get());
  int calls = 0;
  const int status = Triangulate(v.get(), e.get(), count, extra, [&](const float*) { ++calls; });
  if (status != 0) {
    EXPECT_EQ(calls, 0);
  }
  return status;
}

int Refused(const Polygon& p) {
  return Refused(p.vertices, p.ends, static_cast<int>(p.ends.size()), p.extra);
}

TEST(TriangulationChecks, BowTieFails) {
  EXPECT_EQ(Refused(Build({{{0, 0}, {2, 2}, {2, 0}, {0, 2}}})), -1);
  // a hole poking through the outer ring
  EXPECT_EQ(Refused(Build({kSquare, {{1, 1}, {1, 5}, {3, 1}}})), -1);
}

TEST(TriangulationChecks, TouchingFails) {
  const Rings cases[] = {
      // a hole corner on the outer edge
      {kSquare, {{2, 0}, {1, 2}, {3, 2}}},
      // two holes sharing a corner
      {kSquare, {{1, 1}, {2, 2}, {1, 3}}, {{3, 1}, {2, 2}, {3, 3}}},
      // a corner of the ring on one of its own edges
      {{{0, 0}, {4, 0}, {4, 4}, {2, 0}, {0, 4}}},
      // a spike folding back along its edge
      {{{0, 0}, {4, 0}, {4, 4}, {4, 2}, {0, 4}}},
      // the same ring twice
      {kSquare, kSquare},
      // a corner where two edges end, touched by one where two start
      {{{3, 1}, {3, 3}, {1, 2}, {1, 3}, {0, 0}, {1, 2}, {1, 1}}},
      // and the other way round
      {{{0, 0}, {2, 1}, {0, 2}, {-1, 3}, {2, 1}, {3, 4}, {-2, 4}}},
  };
  for (const Rings& rings : cases) {
    const Polygon p = Build(rings);
    ASSERT_FALSE(tritest::IsSimple(p));
    EXPECT_EQ(Refused(p), -1);
  }
}

TEST(TriangulationChecks, ContoursOutsideTheOuterOneFail) {
  // a "hole" beside the polygon, and an island inside a hole
  EXPECT_EQ(Refused(Build({kSquare, {{5, 0}, {6, 0}, {6, 1}}})), -1);
  EXPECT_EQ(Refused(Build(
                {kSquare, {{1, 1}, {1, 3}, {3, 3}, {3, 1}}, {{1.5, 1.5}, {2.5, 1.5}, {2.5, 2.5}}})),
            -1);
}

TEST(TriangulationChecks, ContourLeftWithFewerThanThreePointsFails) {
  // four points, two of them one: still a triangle
  const Polygon three = Build({{{0, 0}, {1, 0}, {1, 0}, {0, 1}}});
  ExpectTiles(three, Triangulated(three));
  EXPECT_EQ(Refused(Build({{{0, 0}, {1, 0}, {1, 0}}})), -1);
  EXPECT_EQ(Refused(Build({kSquare, {{1, 1}, {1, 1}, {2, 2}, {2, 2}}})), -1);
  // a point repeated all the way round
  EXPECT_EQ(Refused(Build({{{3, 3}, {3, 3}, {3, 3}, {3, 3}}})), -1);
}

TEST(TriangulationChecks, SameProjectedPointAtAnotherHeightFails) {
  // the polygon's plane is z = 0 but one point rises straight above its
  // neighbour, so the two fall on one projected point
  EXPECT_EQ(Refused({0, 0, 0, 4, 0, 0, 4, 4, 0, 4, 4, 3, 0, 4, 0}, {4}, 1), -1);
}

TEST(TriangulationChecks, FlatPolygonsFail) {
  EXPECT_EQ(Refused(Build({{{0, 0}, {1, 0}, {2, 0}}})), -1);
  EXPECT_EQ(Refused(Build({{{0, 0}, {1, 1}, {2, 2}, {1, 1}}})), -1);
  // all in one line in space: no plane at all
  EXPECT_EQ(Refused({0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3}, {3}, 1), -1);
}

TEST(TriangulationChecks, FirstCornerInLineStillFindsThePlane) {
  // the first three points are in line, so their cross product is zero;
  // the plane is x = 1 all the same
  const Polygon p = Build({{{0, 0}, {1, 0}, {2, 0}, {2, 2}, {0, 2}}}, [](float x, float y) {
    return std::array<float, 3>{1, x, y};
  });
  ExpectTiles(p, Triangulated(p));
}

TEST(TriangulationChecks, NonFiniteCoordinatesFail) {
  const float bad[] = {std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity()};
  for (float value : bad)
    for (int at = 0; at < 12; ++at) {
      std::vector<float> v = {0, 0, 0, 4, 0, 0, 4, 4, 0, 0, 4, 0};
      v[at] = value;
      EXPECT_EQ(Refused(v, {3}, 1), -1) << at;
    }
  // huge but finite is fine
  const Polygon p = Build({{{-3e38, -3e38}, {3e38, -3e38}, {0, 3e38}}});
  EXPECT_EQ(Triangulated(p).Count(), 1u);
}

TEST(TriangulationChecks, BadArgumentsFail) {
  const std::vector<float> v = {0, 0, 0, 4, 0, 0, 4, 4, 0, 0, 4, 0};
  EXPECT_EQ(Refused(v, {3}, 0), -1);
  EXPECT_EQ(Refused(v, {3}, -1), -1);
  EXPECT_EQ(Refused(v, {1}, 1), -1);  // a first contour of 2 points
  EXPECT_EQ(Refused(v, {-5}, 1), -1);
  EXPECT_EQ(Refused(v, {3, 3}, 2), -1);  // not rising
  EXPECT_EQ(Refused(v, {3, 2}, 2), -1);
  EXPECT_EQ(Refused(v, {2, 3}, 2), -1);   // a one-point contour
  EXPECT_EQ(Refused(v, {3}, 1, -1), -1);  // negative extra floats
  EXPECT_EQ(Refused(v, {3}, 1, 1 << 20), -1);
  // counts far beyond the arrays are refused before anything is read
  EXPECT_EQ(Refused(v, {0x7fffffff}, 1), -1);
  EXPECT_EQ(Refused(v, {3}, 0x7fffffff), -1);
  EXPECT_EQ(Triangulate(nullptr, std::vector<int>{3}.data(), 1, 0, {}), -1);
  EXPECT_EQ(Triangulate(v.data(), nullptr, 1, 0, {}), -1);
  // a sink that is empty is no reason to fail
  EXPECT_EQ(Triangulate(v.data(), std::vector<int>{3}.data(), 1, 0, {}), 0);
}

TEST(TriangulationChecks, RunFromInsideTheSinkIsRefused) {
  const Polygon p = Build({kSquare});
  Triangulator t;
  int inner = 0, calls = 0;
  const int status = t.Run(p.vertices.data(), p.ends.data(), 1, 0, [&](const float*) {
    ++calls;
    inner = t.Run(p.vertices.data(), p.ends.data(), 1, 0, [](const float*) {});
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(inner, -1);
  // and the triangulator is fine afterwards
  EXPECT_EQ(Triangulated(t, p).Count(), 2u);
}

TEST(TriangulationChecks, SinkThatThrowsLeavesTheTriangulatorUsable) {
  const Polygon p = Build({kSquare});
  Triangulator t;
  EXPECT_THROW(t.Run(p.vertices.data(), p.ends.data(), 1, 0,
                     [](const float*) { throw std::runtime_error("full"); }),
               std::runtime_error);
  EXPECT_EQ(Triangulated(t, p).Count(), 2u);
}

}  // namespace
}  // namespace modra
