// The built-in fonts: every glyph of every font must be a profile that an
// extrusion takes as it is, with caps that triangulate.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "document/document.h"
#include "geometry/extrusion.h"
#include "geometry/fonts/font_outlines.h"
#include "geometry/text.h"
#include "geometry/triangulate.h"

namespace modra {
namespace {

struct Pt {
  double x, y;
};

// One part of a glyph: an outer contour and its holes.
struct PartView {
  int contourCount = 0;
  const int32_t* pointCounts = nullptr;
  const float* points = nullptr;
  const uint8_t* corners = nullptr;
  int pointCount = 0;

  std::vector<Pt> Contour(int c) const {
    int first = 0;
    for (int k = 0; k < c; ++k)
      first += pointCounts[k];
    std::vector<Pt> out;
    for (int i = 0; i < pointCounts[c]; ++i)
      out.push_back({points[2 * (first + i)], points[2 * (first + i) + 1]});
    return out;
  }
  int Holes() const { return contourCount - 1; }
};

std::vector<PartView> Parts(const GlyphOutline& g) {
  std::vector<PartView> parts;
  const int32_t* counts = g.pointCounts;
  const float* points = g.points;
  const uint8_t* corners = g.corners;
  for (int p = 0; p < g.partCount; ++p) {
    PartView v{g.contoursPerPart[p], counts, points, corners, 0};
    for (int c = 0; c < v.contourCount; ++c)
      v.pointCount += counts[c];
    parts.push_back(v);
    counts += v.contourCount;
    points += 2 * v.pointCount;
    corners += v.pointCount;
  }
  return parts;
}

double SignedArea(const std::vector<Pt>& ring) {
  double a = 0;
  for (size_t i = 0; i < ring.size(); ++i) {
    const Pt& p = ring[i];
    const Pt& q = ring[(i + 1) % ring.size()];
    a += p.x * q.y - q.x * p.y;
  }
  return a / 2;
}

// Even-odd; points on an edge count as outside.
bool StrictlyInside(Pt p, const std::vector<Pt>& ring) {
  bool in = false;
  for (size_t i = 0, n = ring.size(); i < n; ++i) {
    Pt a = ring[i], b = ring[(i + 1) % n];
    double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    if (cross == 0 && std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) &&
        std::min(a.y, b.y) <= p.y && p.y <= std::max(a.y, b.y))
      return false;
    if ((a.y > p.y) != (b.y > p.y) && (b.y > a.y ? cross > 0 : cross < 0)) in = !in;
  }
  return in;
}

double Orient(Pt a, Pt b, Pt c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}
bool OnSegment(Pt p, Pt a, Pt b) {
  return Orient(a, b, p) == 0 && std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) &&
         std::min(a.y, b.y) <= p.y && p.y <= std::max(a.y, b.y);
}
// Crossing or touching, end points included.
bool SegmentsMeet(Pt a, Pt b, Pt c, Pt d) {
  double d1 = Orient(c, d, a), d2 = Orient(c, d, b), d3 = Orient(a, b, c), d4 = Orient(a, b, d);
  if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
    return true;
  return OnSegment(a, c, d) || OnSegment(b, c, d) || OnSegment(c, a, b) || OnSegment(d, a, b);
}

// A description of the first place where two edges of the part meet other
// than at the corner they share, or "" when there is none.
std::string FirstTouch(const PartView& part) {
  struct Edge {
    Pt a, b;
    int contour, index, n;
  };
  std::vector<Edge> edges;
  for (int c = 0; c < part.contourCount; ++c) {
    std::vector<Pt> ring = part.Contour(c);
    const int n = static_cast<int>(ring.size());
    for (int i = 0; i < n; ++i)
      edges.push_back({ring[i], ring[(i + 1) % n], c, i, n});
  }
  for (size_t i = 0; i < edges.size(); ++i) {
    for (size_t j = i + 1; j < edges.size(); ++j) {
      const Edge& e = edges[i];
      const Edge& f = edges[j];
      const bool same = e.contour == f.contour;
      if (same && (e.index + 1) % e.n == f.index) {
        // consecutive: they may share e.b only, and must not fold back
        if (Orient(e.a, e.b, f.b) == 0 && OnSegment(f.b, e.a, e.b)) return "folded";
        continue;
      }
      if (same && (f.index + 1) % f.n == e.index) {
        if (Orient(f.a, f.b, e.b) == 0 && OnSegment(e.b, f.a, f.b)) return "folded";
        continue;
      }
      if (SegmentsMeet(e.a, e.b, f.a, f.b))
        return "contour " + std::to_string(e.contour) + " edge " + std::to_string(e.index) +
               " meets contour " + std::to_string(f.contour) + " edge " + std::to_string(f.index);
    }
  }
  return "";
}

std::string GlyphName(int fontIndex, int code) {
  return std::string(kTextFonts[fontIndex].name) + " '" + static_cast<char>(code) + "'";
}

class FontData : public testing::TestWithParam<int> {
 protected:
  const FontOutlines& font() const { return *kTextFonts[GetParam()].outlines; }
};

TEST_P(FontData, RecordsShareTheArraysWithoutGapsOrOverlaps) {
  const FontOutlines& f = font();
  int parts = 0, contours = 0, points = 0;
  for (int i = 0; i < kGlyphCount; ++i) {
    const GlyphRecord& r = f.glyphs[i];
    ASSERT_EQ(r.firstPart, parts) << "glyph " << i;
    ASSERT_EQ(r.firstContour, contours) << "glyph " << i;
    ASSERT_EQ(r.firstPoint, points) << "glyph " << i;
    ASSERT_GE(r.partCount, 1) << "every printable character has ink";
    for (int p = 0; p < r.partCount; ++p) {
      const int c = f.contoursPerPart[parts + p];
      ASSERT_GE(c, 1);
      for (int k = 0; k < c; ++k)
        points += f.pointCounts[contours + k];
      contours += c;
    }
    parts += r.partCount;
    const GlyphOutline g = GetGlyphOutline(f, kFirstGlyphCode + i);
    EXPECT_EQ(g.partCount, r.partCount);
    EXPECT_EQ(g.contourCount, contours - r.firstContour);
    EXPECT_EQ(g.pointCount, points - r.firstPoint);
  }
  EXPECT_EQ(parts, f.partTotal);
  EXPECT_EQ(contours, f.contourTotal);
  EXPECT_EQ(points, f.pointTotal);
}

TEST_P(FontData, EveryGlyphIsAValidExtrusionProfile) {
  const FontOutlines& f = font();
  for (int code = kFirstGlyphCode; code <= kLastGlyphCode; ++code) {
    SCOPED_TRACE(GlyphName(GetParam(), code));
    const GlyphOutline g = GetGlyphOutline(f, code);
    EXPECT_GE(g.advance, 0.4f);
    EXPECT_LE(g.advance, 0.65f);
    for (int i = 0; i < g.pointCount; ++i) {
      ASSERT_TRUE(std::isfinite(g.points[2 * i]) && std::isfinite(g.points[2 * i + 1]));
      EXPECT_GT(g.points[2 * i], -0.3f);
      EXPECT_LT(g.points[2 * i], 0.95f);
      EXPECT_GT(g.points[2 * i + 1], -0.4f);
      EXPECT_LT(g.points[2 * i + 1], 1.0f);
      EXPECT_LE(g.corners[i], 1);
    }
    for (const PartView& part : Parts(g)) {
      const std::vector<Pt> outer = part.Contour(0);
      for (int c = 0; c < part.contourCount; ++c) {
        const std::vector<Pt> ring = part.Contour(c);
        ASSERT_GE(ring.size(), 3u) << "contour " << c;
        EXPECT_LT(SignedArea(ring), 0) << "contour " << c << " runs counter-clockwise";
        if (c == 0) continue;
        EXPECT_LT(std::fabs(SignedArea(ring)), std::fabs(SignedArea(outer)));
        for (const Pt& p : ring)
          ASSERT_TRUE(StrictlyInside(p, outer)) << "hole " << c;
        for (int other = 1; other < part.contourCount; ++other) {
          if (other == c) continue;
          for (const Pt& p : ring)
            ASSERT_FALSE(StrictlyInside(p, part.Contour(other))) << "hole in hole " << c;
        }
      }
      EXPECT_EQ(FirstTouch(part), "");
    }
  }
}

TEST_P(FontData, PartsSplitWhereTheInkIsSeparate) {
  const FontOutlines& f = font();
  for (char c : std::string("!\":;=?ij"))
    EXPECT_EQ(GetGlyphOutline(f, c).partCount, 2) << c;
  EXPECT_EQ(GetGlyphOutline(f, '%').partCount, 3);
  for (char c : std::string("oOB8")) {
    const GlyphOutline g = GetGlyphOutline(f, c);
    EXPECT_EQ(g.partCount, 1) << c;
    EXPECT_EQ(g.contourCount, c == 'B' || c == '8' ? 3 : 2) << c;
  }
  EXPECT_EQ(GetGlyphOutline(f, '-').contourCount, 1);
}

TEST_P(FontData, LettersStandOnTheBaseline) {
  const FontOutlines& f = font();
  for (char c : std::string("HIEx")) {
    const GlyphOutline g = GetGlyphOutline(f, c);
    float low = 1, high = -1;
    for (int i = 0; i < g.pointCount; ++i) {
      low = std::min(low, g.points[2 * i + 1]);
      high = std::max(high, g.points[2 * i + 1]);
    }
    EXPECT_NEAR(low, 0, 0.01) << c;
    if (c != 'x') {
      EXPECT_GT(high, 0.55f) << c;
      EXPECT_LT(high, 0.75f) << c;
    }
  }
}

// Each part's contours, outer first, as the triangulator takes them.
int TriangulatePart(Triangulator& t, const PartView& part, int& triangles, double& area) {
  std::vector<float> vertices;
  std::vector<int> ends;
  for (int i = 0; i < part.pointCount; ++i)
    vertices.insert(vertices.end(), {part.points[2 * i], part.points[2 * i + 1], 0});
  int end = -1;
  for (int c = 0; c < part.contourCount; ++c)
    ends.push_back(end += part.pointCounts[c]);
  triangles = 0;
  area = 0;
  return t.Run(vertices.data(), ends.data(), part.contourCount, 0, [&](const float* v) {
    ++triangles;
    area += std::fabs((v[3] - v[0]) * (v[7] - v[1]) - (v[4] - v[1]) * (v[6] - v[0])) / 2;
  });
}

TEST_P(FontData, EveryPartTriangulates) {
  Triangulator t;
  for (int code = kFirstGlyphCode; code <= kLastGlyphCode; ++code) {
    SCOPED_TRACE(GlyphName(GetParam(), code));
    for (const PartView& part : Parts(GetGlyphOutline(font(), code))) {
      int triangles = 0;
      double area = 0;
      ASSERT_EQ(TriangulatePart(t, part, triangles, area), 0);
      EXPECT_EQ(triangles, part.pointCount + 2 * part.Holes() - 2);
      double expected = 0;
      for (int c = 0; c < part.contourCount; ++c)
        expected += (c == 0 ? 1 : -1) * std::fabs(SignedArea(part.Contour(c)));
      EXPECT_NEAR(area, expected, 1e-4 * expected + 1e-7);
    }
  }
}

float CapTriangles(const DisplayGroup& group) {
  float v = -1;
  if (group.generatorParams.size() >= 24) std::memcpy(&v, group.generatorParams.data() + 20, 4);
  return v;
}

// With the front bevel of 3D text both caps must come out whole: the +Z cap
// is the glyph itself, the -Z cap its ring moved in by the bevel.
TEST_P(FontData, EveryPartExtrudesWithBothCaps) {
  Document doc;
  Scene& s = doc.scene;
  const int g = NewGroup(s, "");
  ASSERT_GE(g, 0);
  for (int code = kFirstGlyphCode; code <= kLastGlyphCode; ++code) {
    SCOPED_TRACE(GlyphName(GetParam(), code));
    for (const PartView& part : Parts(GetGlyphOutline(font(), code))) {
      MakeExtrusion(s, g, kTextBevelFlags, kTextDepth, kTextBevelSize, part.contourCount,
                    part.pointCounts, part.points, part.corners);
      const int capTriangles = part.pointCount + 2 * part.Holes() - 2;
      EXPECT_EQ(CapTriangles(s.groups[g]), static_cast<float>(capTriangles));
      // two bands of one strip per contour, then both caps
      EXPECT_EQ(s.groups[g].primitiveCount(), 2 * part.contourCount + 2 * capTriangles);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllFonts, FontData, testing::Range(0, kTextFontCount),
                         [](const testing::TestParamInfo<int>& info) {
                           std::string name(kTextFonts[info.param].name);
                           std::erase(name, ' ');
                           return name;
                         });

}  // namespace
}  // namespace modra
