// What the triangulator refuses, how it reads rings that nest or cross oddly, and that a
// refusal reads nothing outside the caller's arrays and calls nothing.
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
using tritest::Polygon;
using tritest::Ring;
using tritest::Rings;
using tritest::Triangulated;

const Ring kSquare = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
const Ring kSquareHole = {{1, 1}, {1, 3}, {3, 3}, {3, 1}};

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

TEST(TriangulationChecks, NothingEnclosedIsRefused) {
  const Rings cases[] = {
      // points in line, a spike folding back, one point all round
      {{{0, 0}, {1, 0}, {2, 0}}},
      {{{0, 0}, {1, 1}, {2, 2}, {1, 1}}},
      {{{3, 3}, {3, 3}, {3, 3}, {3, 3}}},
      // three points, two of them one; a ring given twice; a bow-tie,
      // whose halves turn opposite ways
      {{{0, 0}, {1, 0}, {1, 0}}},
      {kSquare, kSquare},
      {{{0, 0}, {2, 2}, {2, 0}, {0, 2}}},
  };
  for (const Rings& rings : cases)
    EXPECT_EQ(Refused(Build(rings)), -1);
  for (const char* name : {"degenerate", "empty-square"})
    EXPECT_EQ(Refused(Build(tritest::LoadFixture(name))), -1) << name;
  // all in one line in space: no plane at all
  EXPECT_EQ(Refused({0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3}, {3}, 1), -1);
  // the plane is z = 0 but one point rises straight above its neighbour,
  // so that the two fall on one projected point
  EXPECT_EQ(Refused({0, 0, 0, 4, 0, 0, 4, 4, 0, 4, 4, 3, 0, 4, 0}, {4}, 1), -1);
}

TEST(TriangulationChecks, HolesWithoutAreaAreLeftOut) {
  // a hole of one point, one of two, one whose points merge to two
  const Polygon p = Build({kSquare, {{2, 2}}, {{1, 1}, {3, 2}}, {{1, 3}, {1, 3}, {2, 3}, {2, 3}}});
  ExpectTiles(p, Triangulated(p), {2, 16});
}

// Rings that are not one outer ring round its holes are read by the
// even-odd rule: what lies inside an odd number of rings is covered.
TEST(TriangulationChecks, RingsNestEvenOdd) {
  // a ring beside the square, listed as a hole
  const Polygon beside = Build({kSquare, {{5, 0}, {6, 0}, {6, 1}}});
  ExpectTiles(beside, Triangulated(beside), {3, 16.5});
  // an island in the hole
  const Polygon island = Build({kSquare, kSquareHole, {{1.5, 1.5}, {2.5, 1.5}, {2.5, 2.5}}});
  ExpectTiles(island, Triangulated(island), {9, 12.5});
}

TEST(TriangulationChecks, CrossingRingsAreCovered) {
  // a hole poking out through the top of the square, 0.25 of it outside
  const Polygon poking = Build({kSquare, {{1, 1}, {1, 5}, {3, 1}}});
  ExpectTiles(poking, Triangulated(poking), {.area = 16 - 3.75 + 0.25, .tolerance = 0.05});
  // a corner pushed a little past the edge after the next
  const Polygon folded = Build({{{0, 0}, {4, 0}, {4, 4}, {2, 4}, {2.1, 3.9}, {1.9, 3.9}, {0, 4}}});
  ExpectTiles(folded, Triangulated(folded), {.area = 16, .tolerance = 0.01});
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
