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
    // Outer contours and holes alike run clockwise; whether the holes lie
    // inside and nothing crosses shows when every part triangulates below.
    for (const PartView& part : Parts(g))
      for (int c = 0; c < part.contourCount; ++c) {
        ASSERT_GE(part.Contour(c).size(), 3u) << "contour " << c;
        EXPECT_LT(SignedArea(part.Contour(c)), 0) << "contour " << c << " runs counter-clockwise";
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

float CapTriangles(const DisplayGroup& group) {
  float v = -1;
  if (group.generatorParams.size() >= 24) std::memcpy(&v, group.generatorParams.data() + 20, 4);
  return v;
}

// Every part triangulates to its area, and with the front bevel of 3D
// text both caps come out whole: the +Z cap is the glyph itself, the -Z
// cap its ring moved in by the bevel.
TEST_P(FontData, EveryPartTriangulatesAndExtrudesWithBothCaps) {
  Triangulator t;
  Document doc;
  Scene& s = doc.scene;
  const int g = NewGroup(s, "");
  ASSERT_GE(g, 0);
  for (int code = kFirstGlyphCode; code <= kLastGlyphCode; ++code) {
    SCOPED_TRACE(GlyphName(GetParam(), code));
    for (const PartView& part : Parts(GetGlyphOutline(font(), code))) {
      const int capTriangles = part.pointCount + 2 * part.Holes() - 2;
      int triangles = 0;
      double area = 0, expected = 0;
      ASSERT_EQ(TriangulatePart(t, part, triangles, area), 0);
      EXPECT_EQ(triangles, capTriangles);
      for (int c = 0; c < part.contourCount; ++c)
        expected += (c == 0 ? 1 : -1) * std::fabs(SignedArea(part.Contour(c)));
      EXPECT_NEAR(area, expected, 1e-4 * expected + 1e-7);
      MakeExtrusion(s, g, kTextBevelFlags, kTextDepth, kTextBevelSize, part.contourCount,
                    part.pointCounts, part.points, part.corners);
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
