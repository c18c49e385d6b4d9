// Polygons for the triangulator tests, and the checks that a set of
// triangles really tiles a polygon.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "geometry/triangulate.h"

namespace modra::tritest {

struct Point {
  double x, y;
};
using Ring = std::vector<Point>;
using Rings = std::vector<Ring>;  // outer ring first

// Where a 2D point of a ring goes in space.
using Placement = std::function<std::array<float, 3>(float x, float y)>;
inline std::array<float, 3> InXY(float x, float y) {
  return {x, y, 0};
}

// The input of one run, with the 2D point each vertex came from.
struct Polygon {
  std::vector<float> vertices;
  std::vector<int> ends;
  int extra = 0;
  std::vector<Point> flat;  // per vertex, the 2D point (rounded to float)
  int Count() const { return static_cast<int>(flat.size()); }
};

// Extra floats, when asked for, are distinct per vertex and float.
inline Polygon Build(const Rings& rings, const Placement& place = InXY, int extra = 0) {
  Polygon p;
  p.extra = extra;
  for (const Ring& ring : rings) {
    for (const Point& q : ring) {
      const float x = static_cast<float>(q.x), y = static_cast<float>(q.y);
      const std::array<float, 3> at = place(x, y);
      p.vertices.insert(p.vertices.end(), at.begin(), at.end());
      for (int k = 0; k < extra; ++k)
        p.vertices.push_back(static_cast<float>(p.Count() * 10 + k) + 0.25f);
      p.flat.push_back({x, y});
    }
    p.ends.push_back(p.Count() - 1);
  }
  return p;
}

struct Output {
  int status = -2;
  int stride = 3;
  std::vector<float> floats;  // three vertices per triangle
  size_t Count() const { return floats.size() / (3 * stride); }
  const float* Vertex(size_t t, int k) const { return &floats[(t * 3 + k) * stride]; }
};

inline Output Triangulated(Triangulator& t, const Polygon& p) {
  Output out;
  out.stride = 3 + p.extra;
  out.status = t.Run(
      p.vertices.data(), p.ends.data(), static_cast<int>(p.ends.size()), p.extra,
      [&](const float* tri) { out.floats.insert(out.floats.end(), tri, tri + 3 * out.stride); });
  return out;
}

inline Output Triangulated(const Polygon& p) {
  Triangulator t;
  return Triangulated(t, p);
}

// A fixture of the shared polygon collection, with each ring's closing
// repeat of its first point dropped.
inline Rings LoadFixture(const std::string& name) {
  std::ifstream in(std::string(MODRA_TESTDATA_DIR) + "/polygons/" + name + ".json");
  EXPECT_TRUE(in.good()) << name;
  Rings rings;
  if (!in.good()) return rings;
  const nlohmann::json j = nlohmann::json::parse(in);
  for (const auto& r : j) {
    Ring ring;
    for (const auto& q : r)
      ring.push_back({q[0].get<double>(), q[1].get<double>()});
    if (ring.size() > 1 && ring.front().x == ring.back().x && ring.front().y == ring.back().y)
      ring.pop_back();
    rings.push_back(ring);
  }
  return rings;
}

inline double SignedArea(const std::vector<Point>& pts) {
  double a = 0;
  for (size_t i = 0; i < pts.size(); ++i) {
    const Point& p = pts[i];
    const Point& q = pts[(i + 1) % pts.size()];
    a += p.x * q.y - q.x * p.y;
  }
  return a / 2;
}

inline double Cross(const Point& a, const Point& b, const Point& c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

inline bool InsideRing(const std::vector<Point>& ring, const Point& p) {
  bool in = false;
  for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
    const Point& a = ring[i];
    const Point& b = ring[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y)) in = !in;
  }
  return in;
}

// Whether segments ab and cd cross at a point inside both.
inline bool ProperlyCross(const Point& a, const Point& b, const Point& c, const Point& d) {
  const double d1 = Cross(a, b, c), d2 = Cross(a, b, d);
  const double d3 = Cross(c, d, a), d4 = Cross(c, d, b);
  return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

// The 2D rings as the triangulator sees them: float points, back-to-back
// repeats merged.
inline std::vector<std::vector<Point>> FlatRings(const Polygon& p) {
  std::vector<std::vector<Point>> rings;
  int first = 0;
  for (int end : p.ends) {
    std::vector<Point> ring;
    for (int i = first; i <= end; ++i) {
      const Point& q = p.flat[i];
      if (ring.empty() || ring.back().x != q.x || ring.back().y != q.y) ring.push_back(q);
    }
    while (ring.size() > 1 && ring.front().x == ring.back().x && ring.front().y == ring.back().y)
      ring.pop_back();
    rings.push_back(ring);
    first = end + 1;
  }
  return rings;
}

inline int Side(const Point& a, const Point& b, const Point& c) {
  const long double d = static_cast<long double>(b.x - a.x) * (c.y - a.y) -
                        static_cast<long double>(b.y - a.y) * (c.x - a.x);
  return (d > 0) - (d < 0);
}

inline bool OnSegment(const Point& a, const Point& b, const Point& p) {
  return Side(a, b, p) == 0 && std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) &&
         std::min(a.y, b.y) <= p.y && p.y <= std::max(a.y, b.y);
}

// Whether closed segments ab and cd have any point in common.
inline bool SegmentsMeet(const Point& a, const Point& b, const Point& c, const Point& d) {
  const int d1 = Side(a, b, c), d2 = Side(a, b, d), d3 = Side(c, d, a), d4 = Side(c, d, b);
  if (d1 * d2 < 0 && d3 * d4 < 0) return true;
  return OnSegment(a, b, c) || OnSegment(a, b, d) || OnSegment(c, d, a) || OnSegment(c, d, b);
}

// A brute-force judge of the polygon as the triangulator sees it: every
// ring has 3 points or more, no two edges meet except neighbours at their
// shared corner (and those do not fold back over each other), and every
// hole lies inside the outer ring and outside the other holes.
inline bool IsSimple(const Polygon& p) {
  const std::vector<std::vector<Point>> rings = FlatRings(p);
  struct Seg {
    Point a, b;
    size_t ring, index;
  };
  std::vector<Seg> segs;
  for (size_t r = 0; r < rings.size(); ++r) {
    if (rings[r].size() < 3) return false;
    for (size_t i = 0; i < rings[r].size(); ++i)
      segs.push_back({rings[r][i], rings[r][(i + 1) % rings[r].size()], r, i});
  }
  for (size_t i = 0; i < segs.size(); ++i) {
    const Seg& s = segs[i];
    for (size_t j = i + 1; j < segs.size(); ++j) {
      const Seg& t = segs[j];
      if (std::max(s.a.x, s.b.x) < std::min(t.a.x, t.b.x) ||
          std::max(t.a.x, t.b.x) < std::min(s.a.x, s.b.x) ||
          std::max(s.a.y, s.b.y) < std::min(t.a.y, t.b.y) ||
          std::max(t.a.y, t.b.y) < std::min(s.a.y, s.b.y))
        continue;
      const size_t n = rings[s.ring].size();
      const bool sThenT = s.ring == t.ring && (s.index + 1) % n == t.index;
      const bool tThenS = s.ring == t.ring && (t.index + 1) % n == s.index;
      if (sThenT || tThenS) {
        // neighbours: only a fold back along the shared line is wrong
        const Seg& first = sThenT ? s : t;
        const Seg& second = sThenT ? t : s;
        if (OnSegment(first.a, first.b, second.b) || OnSegment(second.a, second.b, first.a))
          return false;
        if (n == 3 && sThenT && tThenS) return false;
        continue;
      }
      if (SegmentsMeet(s.a, s.b, t.a, t.b)) return false;
    }
  }
  for (size_t h = 1; h < rings.size(); ++h) {
    if (!InsideRing(rings[0], rings[h][0])) return false;
    for (size_t k = 1; k < rings.size(); ++k)
      if (k != h && InsideRing(rings[k], rings[h][0])) return false;
  }
  return true;
}

// Everything a triangulation of a simple polygon must be: n + 2h - 2
// triangles whose corners are input vertices (extra floats and all), all
// wound like the outer ring, their areas adding up to the polygon's, every
// one inside (centroid inside the outer ring and outside the holes), no
// edge crossing the boundary, and every inner edge shared by exactly two
// triangles running it opposite ways.
inline void ExpectTiles(const Polygon& p, const Output& out, bool checkCrossings = true) {
  ASSERT_EQ(out.status, 0);
  const std::vector<std::vector<Point>> rings = FlatRings(p);
  size_t n = 0;
  for (const auto& r : rings)
    n += r.size();
  ASSERT_EQ(out.Count(), n + 2 * (rings.size() - 1) - 2);

  const int stride = 3 + p.extra;
  std::map<std::vector<float>, int> inputIndex;
  for (int i = p.Count() - 1; i >= 0; --i)
    inputIndex[std::vector<float>(p.vertices.data() + i * stride,
                                  p.vertices.data() + (i + 1) * stride)] = i;

  double expectedArea = std::fabs(SignedArea(rings[0]));
  for (size_t h = 1; h < rings.size(); ++h)
    expectedArea -= std::fabs(SignedArea(rings[h]));
  const double outerSign = SignedArea(rings[0]) > 0 ? 1 : -1;

  double total = 0;
  using Key = std::pair<double, double>;
  std::map<std::pair<Key, Key>, int> edgeUse;
  for (size_t t = 0; t < out.Count(); ++t) {
    Point tri[3];
    for (int k = 0; k < 3; ++k) {
      auto it = inputIndex.find(std::vector<float>(out.Vertex(t, k), out.Vertex(t, k) + stride));
      ASSERT_NE(it, inputIndex.end())
          << "triangle " << t << " corner " << k << " is no input vertex";
      tri[k] = p.flat[it->second];
    }
    const double area = Cross(tri[0], tri[1], tri[2]) / 2;
    total += area;
    EXPECT_GE(area * outerSign, 0) << "triangle " << t << " wound against the outer ring";
    for (int k = 0; k < 3; ++k)
      ++edgeUse[{{tri[k].x, tri[k].y}, {tri[(k + 1) % 3].x, tri[(k + 1) % 3].y}}];
    if (area == 0) continue;
    const Point centroid{(tri[0].x + tri[1].x + tri[2].x) / 3,
                         (tri[0].y + tri[1].y + tri[2].y) / 3};
    EXPECT_TRUE(InsideRing(rings[0], centroid)) << "triangle " << t << " outside the outer ring";
    for (size_t h = 1; h < rings.size(); ++h)
      EXPECT_FALSE(InsideRing(rings[h], centroid)) << "triangle " << t << " inside hole " << h;
    if (!checkCrossings) continue;
    for (const auto& ring : rings)
      for (size_t i = 0; i < ring.size(); ++i)
        for (int k = 0; k < 3; ++k)
          EXPECT_FALSE(
              ProperlyCross(tri[k], tri[(k + 1) % 3], ring[i], ring[(i + 1) % ring.size()]))
              << "triangle " << t << " crosses the boundary";
  }
  EXPECT_NEAR(std::fabs(total), expectedArea, 1e-9 * expectedArea);
  EXPECT_NEAR(total * outerSign, expectedArea, 1e-9 * expectedArea);

  // boundary edges are used once, inner edges once each way
  std::map<std::pair<Key, Key>, int> boundary;
  for (const auto& ring : rings) {
    for (size_t i = 0; i < ring.size(); ++i) {
      const Point& a = ring[i];
      const Point& b = ring[(i + 1) % ring.size()];
      ++boundary[{{a.x, a.y}, {b.x, b.y}}];
      ++boundary[{{b.x, b.y}, {a.x, a.y}}];
      auto used = [&](const Key& from, const Key& to) {
        auto it = edgeUse.find({from, to});
        return it == edgeUse.end() ? 0 : it->second;
      };
      EXPECT_EQ(used({a.x, a.y}, {b.x, b.y}) + used({b.x, b.y}, {a.x, a.y}), 1)
          << "boundary edge " << i << " of a ring with " << ring.size() << " points";
    }
  }
  for (const auto& [edge, count] : edgeUse) {
    EXPECT_EQ(count, 1) << "two triangles run one edge the same way";
    if (boundary.count(edge)) continue;
    auto it = edgeUse.find({edge.second, edge.first});
    EXPECT_TRUE(it != edgeUse.end() && it->second == 1) << "an inner edge with one triangle";
  }
}

}  // namespace modra::tritest
