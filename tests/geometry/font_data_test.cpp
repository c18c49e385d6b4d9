// The built-in fonts: every glyph must be a profile an extrusion takes as it is.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "document/document.h"
#include "geometry/extrusion.h"
#include "geometry/fonts/font_outlines.h"
#include "geometry/primitive_test_util.h"
#include "geometry/text.h"
#include "triangulate_test_util.h"

namespace modra {
namespace {

// One part of a glyph: an outer contour and its holes.
struct PartView {
  int contourCount = 0;
  const int32_t* pointCounts = nullptr;
  const float* points = nullptr;
  const uint8_t* corners = nullptr;
  int pointCount = 0;

  tritest::Rings Rings() const {
    tritest::Rings rings(contourCount);
    for (int c = 0, i = 0; c < contourCount; ++c)
      for (int end = i + pointCounts[c]; i < end; ++i)
        rings[c].push_back({points[2 * i], points[2 * i + 1]});
    return rings;
  }
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

std::string GlyphName(int fontIndex, int code) {
  return std::string(kTextFonts[fontIndex].name) + " '" + static_cast<char>(code) + "'";
}

class FontData : public testing::TestWithParam<int> {
 protected:
  const FontOutlines& font() const { return *kTextFonts[GetParam()].outlines; }
};

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

// Every contour runs clockwise, every part's cap tiles it, and with the
// front bevel of 3D text both caps come out whole: the +Z cap is the glyph
// itself, the -Z cap its ring moved in by the bevel.
TEST_P(FontData, EveryPartTilesAndExtrudesWithBothCaps) {
  Triangulator t;
  Document doc;
  Scene& s = doc.scene;
  const int g = NewGroup(s, "");
  ASSERT_GE(g, 0);
  for (int code = kFirstGlyphCode; code <= kLastGlyphCode; ++code) {
    SCOPED_TRACE(GlyphName(GetParam(), code));
    const GlyphOutline glyph = GetGlyphOutline(font(), code);
    EXPECT_GT(glyph.advance, 0);
    for (int i = 0; i < glyph.pointCount; ++i)
      EXPECT_LE(glyph.corners[i], 1);
    for (const PartView& part : Parts(glyph)) {
      const tritest::Rings rings = part.Rings();
      for (const tritest::Ring& ring : rings)
        ASSERT_LT(tritest::SignedArea(ring), 0) << "a contour runs counter-clockwise";
      const tritest::Polygon p = tritest::Build(rings);
      tritest::ExpectTiles(p, tritest::Triangulated(t, p));
      const int capTriangles = part.pointCount + 2 * (part.contourCount - 1) - 2;
      MakeExtrusion(s, g, kTextBevelFlags, kTextDepth, kTextBevelSize, part.contourCount,
                    part.pointCounts, part.points, part.corners);
      EXPECT_EQ(test::BlockFloatAt(s, g, 5), static_cast<float>(capTriangles));
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
