// Polygons for the triangulator tests and an independent judge of the triangles that
// come back; nothing here uses the triangulator's own helpers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
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

// Where a 2D point of a ring goes in space (none: to z = 0).
using Placement = std::function<std::array<float, 3>(float x, float y)>;

// The input of one run, with the 2D point each vertex came from.
struct Polygon {
  std::vector<float> vertices;
  std::vector<int> ends;
  int extra = 0;
  std::vector<Point> flat;  // per vertex, the 2D point (rounded to float)
  int Count() const { return static_cast<int>(flat.size()); }
};

// Extra floats, when asked for, are distinct per vertex and float.
inline Polygon Build(const Rings& rings, const Placement& place = {}, int extra = 0) {
  Polygon p;
  p.extra = extra;
  for (const Ring& ring : rings) {
    for (const Point& q : ring) {
      const float x = static_cast<float>(q.x), y = static_cast<float>(q.y);
      const std::array<float, 3> at = place ? place(x, y) : std::array<float, 3>{x, y, 0};
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

// A polygon of the shared collection.
inline Rings LoadFixture(const std::string& name) {
  std::ifstream in(std::string(MODRA_TESTDATA_DIR) + "/polygons/" + name + ".json");
  Rings rings;
  for (const auto& r : nlohmann::json::parse(in)) {
    rings.emplace_back();
    for (const auto& q : r)
      rings.back().push_back({q[0].get<double>(), q[1].get<double>()});
  }
  return rings;
}

inline double Cross(const Point& a, const Point& b, const Point& c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

inline double SignedArea(const Ring& r) {
  double a = 0;
  for (size_t i = 0; i < r.size(); ++i)
    a += Cross({0, 0}, r[i], r[(i + 1) % r.size()]);
  return a / 2;
}

// The rings as the triangulator reads them: float points, repeats back to
// back merged, rings left with fewer than 3 points dropped.
inline Rings FlatRings(const Polygon& p) {
  Rings rings;
  for (size_t k = 0, first = 0; k < p.ends.size(); first = p.ends[k++] + 1) {
    Ring ring;
    for (int i = static_cast<int>(first); i <= p.ends[k]; ++i)
      if (ring.empty() || ring.back().x != p.flat[i].x || ring.back().y != p.flat[i].y)
        ring.push_back(p.flat[i]);
    while (ring.size() > 1 && ring.front().x == ring.back().x && ring.front().y == ring.back().y)
      ring.pop_back();
    if (ring.size() >= 3) rings.push_back(ring);
  }
  return rings;
}

// Ring 0's area less the others', as the shoelace formula gives them.
inline double PolygonArea(const Rings& rings) {
  double area = std::fabs(SignedArea(rings[0]));
  for (size_t h = 1; h < rings.size(); ++h)
    area -= std::fabs(SignedArea(rings[h]));
  return area;
}

inline bool ProperlyCross(const Point& a, const Point& b, const Point& c, const Point& d) {
  const double d1 = Cross(a, b, c), d2 = Cross(a, b, d), d3 = Cross(c, d, a), d4 = Cross(c, d, b);
  return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

// Whether p lies inside the rings by the even-odd rule.
inline bool Inside(const Rings& rings, const Point& p) {
  bool in = false;
  for (const Ring& ring : rings)
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
      const Point &a = ring[i], &b = ring[j];
      if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y))
        in = !in;
    }
  return in;
}

// Whether segment pq crosses an edge of the rings at a point inside both.
inline bool CrossesRings(const Rings& rings, const Point& p, const Point& q) {
  for (const Ring& ring : rings)
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
      if (ProperlyCross(p, q, ring[i], ring[j])) return true;
  return false;
}

using Triangle = std::array<Point, 3>;

// Whether two triangles share more than a boundary: no edge of either has
// the other wholly outside it (by more than `slack`).
inline bool Overlap(const Triangle& s, const Triangle& t, double slack) {
  for (const auto& [a, b] : {std::pair{&s, &t}, std::pair{&t, &s}}) {
    const double turn = Cross((*a)[0], (*a)[1], (*a)[2]) > 0 ? 1 : -1;
    for (int k = 0; k < 3; ++k) {
      const Point &p = (*a)[k], &q = (*a)[(k + 1) % 3];
      const double length = std::hypot(q.x - p.x, q.y - p.y);
      double deepest = -1e300;
      for (const Point& r : *b)
        deepest = std::max(deepest, turn * Cross(p, q, r) / length);
      if (deepest <= slack) return false;
    }
  }
  return true;
}

// What a set of triangles is, measured against the polygon's rings.
struct Judgement {
  std::vector<Triangle> triangles;  // in the rings' 2D points
  double area = 0;                  // sum of the triangles' areas
  int strangers = 0;                // corners that are no input vertex (extra floats and all)
  int wrongWay = 0, overlaps = 0, outside = 0;
};

// `whole`: also test every triangle against the rings and the others.
inline Judgement Judge(const Polygon& p, const Output& out, bool whole = true) {
  Judgement j;
  const Rings rings = FlatRings(p);
  const double turn = SignedArea(rings[0]) > 0 ? 1 : -1;
  const int stride = 3 + p.extra;
  std::map<std::vector<float>, int> inputs;
  for (int i = p.Count() - 1; i >= 0; --i)
    inputs[std::vector<float>(p.vertices.data() + i * stride,
                              p.vertices.data() + (i + 1) * stride)] = i;
  double scale = 0;
  for (const Point& q : p.flat)
    scale = std::max({scale, std::fabs(q.x), std::fabs(q.y)});
  for (size_t t = 0; t < out.Count(); ++t) {
    Triangle tri;
    for (int k = 0; k < 3; ++k) {
      auto it = inputs.find(std::vector<float>(out.Vertex(t, k), out.Vertex(t, k) + stride));
      j.strangers += it == inputs.end();
      tri[k] =
          it == inputs.end() ? Point{out.Vertex(t, k)[0], out.Vertex(t, k)[1]} : p.flat[it->second];
    }
    const double area = Cross(tri[0], tri[1], tri[2]) / 2 * turn;
    j.area += std::fabs(area);
    j.wrongWay += area < 0;
    j.triangles.push_back(tri);
    if (area == 0 || !whole) continue;
    const Point centroid{(tri[0].x + tri[1].x + tri[2].x) / 3,
                         (tri[0].y + tri[1].y + tri[2].y) / 3};
    bool beyond = !Inside(rings, centroid);
    for (int k = 0; k < 3; ++k)
      beyond = beyond || CrossesRings(rings, tri[k], tri[(k + 1) % 3]);
    j.outside += beyond;
  }
  if (!whole) return j;
  // pairs whose boxes meet, found by sorting on the least x
  std::vector<std::pair<double, size_t>> order;
  for (size_t t = 0; t < j.triangles.size(); ++t)
    order.push_back({std::min({j.triangles[t][0].x, j.triangles[t][1].x, j.triangles[t][2].x}), t});
  std::sort(order.begin(), order.end());
  const double slack = 1e-9 * scale;
  for (size_t a = 0; a < order.size(); ++a) {
    const Triangle& s = j.triangles[order[a].second];
    const double right = std::max({s[0].x, s[1].x, s[2].x});
    const double low = std::min({s[0].y, s[1].y, s[2].y}),
                 high = std::max({s[0].y, s[1].y, s[2].y});
    for (size_t b = a + 1; b < order.size() && order[b].first < right; ++b) {
      const Triangle& t = j.triangles[order[b].second];
      if (std::max({t[0].y, t[1].y, t[2].y}) > low && std::min({t[0].y, t[1].y, t[2].y}) < high)
        j.overlaps += Overlap(s, t, slack);
    }
  }
  return j;
}

// By default a tiling: n + 2h - 2 triangles (or `count`) of input vertices, wound like
// ring 0, inside, not overlapping, adding up to the area. With a tolerance (rings that
// cross): triangles of input vertices whose areas add up to it within that fraction.
struct Want {
  long count = -1;
  double area = -1;
  double tolerance = 0;
};

inline void ExpectTiles(const Polygon& p, const Output& out, const Want& want = {}) {
  ASSERT_EQ(out.status, 0);
  const Rings rings = FlatRings(p);
  const double area = want.area >= 0 ? want.area : PolygonArea(rings);
  const Judgement j = Judge(p, out, want.tolerance == 0);
  EXPECT_EQ(j.strangers, 0);
  if (want.tolerance > 0) {
    EXPECT_GT(out.Count(), 0u);
    EXPECT_NEAR(j.area, area, want.tolerance * area);
    return;
  }
  size_t n = 0;
  for (const Ring& r : rings)
    n += r.size();
  EXPECT_EQ(static_cast<long>(out.Count()),
            want.count >= 0 ? want.count : static_cast<long>(n + 2 * rings.size() - 4));
  EXPECT_EQ(j.wrongWay, 0);
  EXPECT_EQ(j.overlaps, 0);
  EXPECT_EQ(j.outside, 0);
  EXPECT_NEAR(j.area, area, 1e-9 * area);
}

}  // namespace modra::tritest
