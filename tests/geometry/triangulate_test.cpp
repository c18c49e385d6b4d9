#include "geometry/triangulate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <random>
#include <set>

#include "triangulate_test_util.h"

namespace modra {
namespace {

using tritest::Build;
using tritest::ExpectTiles;
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

// The planes a polygon is put into: each axis both ways, and x + y + z = 0
// (integer points keep that one exactly planar).
// clang-format off
const Placement kPlanes[] = {
    [](float x, float y) { return std::array<float, 3>{x, y, 0}; },
    [](float x, float y) { return std::array<float, 3>{y, x, 5}; },
    [](float x, float y) { return std::array<float, 3>{-3, x, y}; },
    [](float x, float y) { return std::array<float, 3>{2, y, x}; },
    [](float x, float y) { return std::array<float, 3>{y, 7, x}; },
    [](float x, float y) { return std::array<float, 3>{x, -1, y}; },
    [](float x, float y) { return std::array<float, 3>{x, y, -x - y}; },
};
// clang-format on

// Hand-drawn polygons in every plane, each also turned to start at another
// point with its first hole reversed. Rings that meet at single points cost
// two triangles of no area a touch, so the count is still n + 2h - 2.
TEST(Triangulation, HandDrawnPolygonsTile) {
  const Rings cases[] = {
      {{{0, 0}, {2, 0}, {0, 1}}},
      {kSquare, kSquareHole},
      {Reversed(kSquare), kSquareHole},
      {kSquare, kSquareHole, {{3.5, 0.5}, {3.5, 3.5}, {3.25, 0.5}}},
      // repeated points: a doubled corner, a closing repeat, a tripled side
      {{{0, 0}, {4, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}}, {{1, 1}, {1, 3}, {1, 3}, {1, 3}, {3, 1}}},
      // a comb, holes level with corners, a notch level with the base
      // clang-format off
      {{{0, 0}, {1, 0}, {1, -2}, {2, -2}, {2, 0}, {3, 0}, {3, -2}, {4, -2}, {4, 2}, {3, 2},
        {3, 1}, {2, 1}, {2, 2}, {1, 2}, {1, 1}, {0, 1}}},
      {{{0, 0}, {6, 0}, {6, 2}, {0, 2}}, {{1, 0.5}, {1, 1.5}, {2, 1.5}, {2, 0.5}},
       {{4, 0.5}, {3, 1}, {4, 1.5}, {5, 1}}},
      // clang-format on
      {{{0, 0}, {2, 0}, {2, 2}, {1.5, 2}, {1.5, 0.5}, {0.5, 0.5}, {0.5, 2}, {0, 2}}},
      // the first three points in line, which give no plane by themselves
      {{{0, 0}, {1, 0}, {2, 0}, {2, 2}, {0, 2}}},
      // a hole touching the outer ring at a corner, and on an edge
      {kSquare, {{0, 0}, {1, 3}, {3, 1}}},
      {kSquare, {{2, 0}, {1, 2}, {3, 2}}},
      // two holes touching each other, and the outer ring as well
      {kSquare, {{1, 1}, {2, 2}, {1, 3}}, {{3, 1}, {2, 2}, {3, 3}}},
      {kSquare, {{0, 2}, {2, 3}, {2, 1}}, {{2, 1}, {2, 3}, {4, 2}}},
      // clang-format off
      // a hole touching three others at one point
      {{{0, 0}, {8, 0}, {8, 8}, {0, 8}}, {{4, 4}, {2, 6}, {6, 6}}, {{4, 4}, {6, 2}, {2, 2}},
       {{4, 4}, {6, 6}, {6, 2}}, {{4, 4}, {2, 2}, {2, 6}}},
      // clang-format on
      // an outer ring touching itself: round an inner loop, and a figure 8
      {{{0, 0}, {4, 0}, {4, 4}, {2, 4}, {3, 2}, {1, 2}, {2, 4}, {0, 4}}},
      {{{0, 0}, {2, 0}, {1, 1}, {2, 2}, {0, 2}, {1, 1}}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    Rings turned = cases[i];
    std::rotate(turned[0].begin(), turned[0].begin() + 1, turned[0].end());
    if (turned.size() > 1) turned[1] = Reversed(turned[1]);
    for (size_t plane = 0; plane < std::size(kPlanes); ++plane) {
      SCOPED_TRACE(testing::Message() << "case " << i << " plane " << plane);
      // with extra floats that must arrive unchanged
      const Polygon p = Build(plane % 2 ? turned : cases[i], kPlanes[plane], plane % 3 * 2);
      ExpectTiles(p, Triangulated(p));
    }
  }
  // holes listed before the outer ring, as the extrusion caps list them
  ExpectTiles(Build({kSquare, kSquareHole}), Triangulated(Build({kSquareHole, kSquare})));
}

// The shared collection: valid polygons tile, and real outlines that cross
// themselves a little are covered within a tolerance of their area.
TEST(Triangulation, Fixtures) {
  // two holes meeting at two points cut off a piece of "touching-holes"
  // clang-format off
  const std::pair<const char*, tritest::Want> fixtures[] = {
      {"building", {}}, {"dude", {}}, {"hilbert", {}}, {"issue16", {}}, {"issue17", {}},
      {"eberly-3", {}}, {"self-tangent-1", {}}, {"water2", {}}, {"water4", {}}, {"steiner", {}},
      {"touching-holes", {.count = 57}}, {"water", {.tolerance = 0.002}},
      {"water-huge", {.tolerance = 0.002}}, {"bad-hole", {.tolerance = 0.02}}};
  // clang-format on
  for (const auto& [name, want] : fixtures) {
    SCOPED_TRACE(name);
    const Polygon p = Build(LoadFixture(name));
    ExpectTiles(p, Triangulated(p), want);
  }
}

// Random connected grid cells traced into rings that touch where cells meet only at a
// corner: the area is the cell count, and k outer rings, h holes give n + 2h - 2k triangles.
TEST(Triangulation, GeneratedCellPolygonsTile) {
  using Corner = std::pair<int, int>;
  using Side = std::pair<Corner, Corner>;
  std::mt19937 rng(5);
  Triangulator t;
  for (int round = 0; round < 150; ++round) {
    const int side = 4 + round % 5;
    std::set<Corner> cells = {{side / 2, side / 2}};
    while (cells.size() < static_cast<size_t>(side * side * (2 + round % 4) / 8)) {
      const Corner from = *std::next(cells.begin(), rng() % cells.size());
      const int d = rng() % 4;
      const Corner to{from.first + (d == 0) - (d == 1), from.second + (d == 2) - (d == 3)};
      if (std::min(to.first, to.second) >= 0 && std::max(to.first, to.second) < side)
        cells.insert(to);
    }
    // the cells' sides counter-clockwise, less those two cells share
    std::set<Side> sides;
    for (const auto& [x, y] : cells) {
      const Corner c[4] = {{x, y}, {x + 1, y}, {x + 1, y + 1}, {x, y + 1}};
      for (int k = 0; k < 4; ++k)
        if (!sides.erase({c[(k + 1) % 4], c[k]})) sides.insert({c[k], c[(k + 1) % 4]});
    }
    // each side is followed by the one that turns left where two could, so
    // that rings meeting at a corner touch without crossing; straight
    // corners are left out now and then
    Rings rings;
    long count = 0;
    while (!sides.empty()) {
      std::vector<Side> ring = {*sides.begin()};
      for (;;) {
        const auto [from, at] = ring.back();
        auto next = sides.lower_bound({at, {INT_MIN, INT_MIN}});
        const auto other = std::next(next);
        if (other != sides.end() && other->first == at &&
            (at.first - from.first) * (next->second.second - at.second) <
                (at.second - from.second) * (next->second.first - at.first))
          next = other;
        if (*next == ring.front()) break;
        ring.push_back(*next);
      }
      Ring kept;
      for (size_t i = 0; i < ring.size(); ++i) {
        const auto [a, b] = ring[i];
        const Corner c = ring[(i + 1) % ring.size()].second;
        sides.erase(ring[i]);
        if ((b.first - a.first) * (c.second - b.second) !=
                (b.second - a.second) * (c.first - b.first) ||
            rng() % 2)
          kept.push_back({double(b.first), double(b.second)});
      }
      count += static_cast<long>(kept.size()) + (tritest::SignedArea(kept) > 0 ? -2 : 2);
      std::rotate(kept.begin(), kept.begin() + rng() % kept.size(), kept.end());
      rings.push_back(kept);
    }
    std::sort(rings.begin(), rings.end(), [](const Ring& a, const Ring& b) {
      return std::fabs(tritest::SignedArea(a)) > std::fabs(tritest::SignedArea(b));
    });
    std::shuffle(rings.begin() + 1, rings.end(), rng);
    SCOPED_TRACE(round);
    const Polygon p = Build(rings, kPlanes[round % std::size(kPlanes)]);
    ExpectTiles(p, Triangulated(t, p), {count, static_cast<double>(cells.size())});
    if (HasFailure()) return;
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
  Rings rings = {NoisyCircle(0, 0, 100, 300, 0.05, rng, false)};
  for (int i = -2; i <= 2; ++i)
    for (int j = -2; j <= 2; ++j)
      rings.push_back(NoisyCircle(i * 25, j * 25, 8, 24, 0.2, rng, (i + j) % 2 == 0));
  const Polygon p = Build(rings);
  ExpectTiles(p, Triangulated(p));
  // a few neighbouring points swapped put small twists in the rings: the
  // cover still has about the area
  for (int k = 0; k < 12; ++k) {
    Ring& ring = rings[k % 3 == 0 ? 1 + k : 0];
    const size_t at = rng() % (ring.size() - 1);
    std::swap(ring[at], ring[at + 1]);
  }
  const Polygon twisted = Build(rings);
  ExpectTiles(twisted, Triangulated(twisted), {.tolerance = 0.001});
}

// Small random polygons on a coarse grid, some with a tiny hole: equal
// heights, straight and touching corners, crossings. Those whose points go
// round the origin in order, never half a turn apart, are simple and tile;
// the others are covered unless they enclose nothing.
TEST(Triangulation, RandomGridPolygons) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> coord(-6, 6);
  Triangulator t;
  int simple = 0, other = 0;
  for (int attempt = 0; attempt < 800; ++attempt) {
    std::vector<std::pair<double, Point>> polar;
    for (int i = 0; i < 3 + attempt % 12; ++i) {
      const Point q{double(coord(rng)), double(coord(rng))};
      polar.push_back({std::atan2(q.y, q.x), q});
    }
    const bool sorted = attempt % 4 != 0;
    if (sorted)
      std::sort(polar.begin(), polar.end(), [](auto& a, auto& b) { return a.first < b.first; });
    bool star = sorted &&
                polar.front().first + 2 * std::numbers::pi - polar.back().first < std::numbers::pi;
    Rings rings(1);
    for (size_t i = 0; i < polar.size(); ++i) {
      rings[0].push_back(polar[i].second);
      const double gap = i == 0 ? 1 : polar[i].first - polar[i - 1].first;
      star = star && gap > 0 && gap < std::numbers::pi && (polar[i].second.x || polar[i].second.y);
    }
    if (attempt % 3 == 0)
      rings.push_back({{-0.04, -0.04}, {-0.04, 0.04}, {0.04, 0.04}, {0.04, -0.04}});
    SCOPED_TRACE(attempt);
    const Polygon p = Build(rings);
    const Output out = Triangulated(t, p);
    if (star) {
      ++simple;
      ExpectTiles(p, out);
      continue;
    }
    ++other;
    EXPECT_EQ(tritest::Judge(p, out, false).strangers, 0);
    EXPECT_LE(out.Count(), static_cast<size_t>(p.Count()) + 2 * rings.size() - 2);
    if (std::fabs(tritest::SignedArea(rings[0])) > 0.01) {
      EXPECT_EQ(out.status, 0);
    } else if (out.status != 0) {
      EXPECT_EQ(out.Count(), 0u);
    }
  }
  EXPECT_GT(simple, 200);
  EXPECT_GT(other, 200);
}

TEST(Triangulation, InterleavedTriangulatorsMatchSeparateRuns) {
  // a triangulator carries nothing from one polygon to the next
  const Polygon polygons[] = {Build(LoadFixture("dude")),
                              Build({kSquare, kSquareHole}, kPlanes[2], 2),
                              Build(LoadFixture("eberly-3"))};
  Triangulator first, second;
  for (int round = 0; round < 6; ++round) {
    const Polygon& p = polygons[round % 3];
    EXPECT_EQ(Triangulated(round % 2 ? first : second, p).floats, Triangulated(p).floats);
  }
}

}  // namespace
}  // namespace modra
