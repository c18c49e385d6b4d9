// 3D text: which groups a line makes, where they stand, what each is built from.
#include "geometry/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "geometry/primitive_test_util.h"
#include "scene/group_fields.h"
#include "test_util.h"

namespace modra {
namespace {

const FontOutlines& Sans() {
  return *kTextFonts[0].outlines;
}

float Advance(const FontOutlines& font, char c) {
  return GetGlyphOutline(font, static_cast<unsigned char>(c)).advance;
}

// Live groups in creation order (NewGroup puts each one in front).
std::vector<int> NewestLast(const Scene& s) {
  std::vector<int> groups;
  ForEachSibling(s, s.rootHead, [&](int g) { groups.insert(groups.begin(), g); });
  return groups;
}

TEST(CreateText, TwoLettersIMakeFourSelectedGroups) {
  test::RecordedDocument rd;
  Scene& s = rd.scene();
  const int last = CreateText(rd.doc, "ii", 1.0f, 0);

  const std::vector<int> groups = NewestLast(s);
  ASSERT_EQ(groups.size(), 4u);
  EXPECT_EQ(last, groups.back());
  for (int g : groups) {
    const DisplayGroup& group = s.groups[g];
    EXPECT_EQ(group.name, "Text");
    EXPECT_EQ(group.flags, 0x43u);
    EXPECT_EQ(group.color, (Vec3{1.0f, 0.9f, 0.8f}));
    EXPECT_EQ(group.scale, (Vec3{0.2f, 0.2f, 0.2f}));
    EXPECT_EQ(group.matrix, GroupMatrixFromFields(group));
  }
  // the dot and the stem of the first "i" share its origin, both of the
  // second one stand one advance further
  const float s0 = 0.2f, adv = Advance(Sans(), 'i');
  EXPECT_FLOAT_EQ(s.groups[groups[0]].translation[0], -adv * s0);
  EXPECT_FLOAT_EQ(s.groups[groups[1]].translation[0], -adv * s0);
  EXPECT_FLOAT_EQ(s.groups[groups[2]].translation[0], 0);
  EXPECT_FLOAT_EQ(s.groups[groups[3]].translation[0], 0);
  EXPECT_EQ(s.groups[groups[3]].translation[1], 0);
  EXPECT_EQ(s.groups[groups[3]].translation[2], 0);
  // the first character's last part is the current group
  EXPECT_EQ(s.selectedGroup, groups[1]);
  EXPECT_TRUE(rd.doc.modified);
  EXPECT_TRUE(rd.shell.messages.empty());
}

TEST(CreateText, LineIsCentredOnTheOrigin) {
  for (int font = 0; font < kTextFontCount; ++font) {
    for (float scale : {1.0f, 2.0f, 0.35f}) {
      SCOPED_TRACE(std::string(kTextFonts[font].name) + " scale " + std::to_string(scale));
      test::RecordedDocument rd;
      const std::string text = "Wo!d";
      CreateText(rd.doc, text, scale, font);
      const FontOutlines& f = *kTextFonts[font].outlines;
      const float s = scale * kTextFonts[font].factor;
      float width = 0;
      for (char c : text)
        width += Advance(f, c);

      const std::vector<int> groups = NewestLast(rd.scene());
      ASSERT_FALSE(groups.empty());
      const DisplayGroup& first = rd.scene().groups[groups.front()];
      const DisplayGroup& last = rd.scene().groups[groups.back()];
      EXPECT_NEAR(first.translation[0], -width * s / 2, 1e-5);
      EXPECT_NEAR(last.translation[0] + Advance(f, 'd') * s, width * s / 2, 1e-5);
      EXPECT_EQ(last.scale, (Vec3{s, s, s}));
    }
  }
}

// Between two dashes: characters without a glyph make no group and each
// one, of however many bytes, advances like '+'; a byte that is not part
// of a well-formed UTF-8 character is a character of its own.
TEST(CreateText, CharactersWithoutGlyphAdvanceOnceLikePlus) {
  const struct {
    const char* between;
    int characters;
  } cases[] = {{" ", 1},        {"\xc3\xa9", 1},     {"\xf0\x9f\x98\x80", 1},
               {"\xe9", 1},     {"\xc3", 1},         {"\xe2\x82", 2},
               {"\xc0\xaf", 2}, {"\xed\xa0\x80", 3}, {"\xf4\x90\x80\x80", 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.between)));
    test::RecordedDocument rd;
    CreateText(rd.doc, std::string("-") + c.between + "-", 1.0f, 0);
    const std::vector<int> groups = NewestLast(rd.scene());
    ASSERT_EQ(groups.size(), 2u);
    const float x0 = rd.scene().groups[groups[0]].translation[0];
    const float gap = c.characters * Advance(Sans(), '+');
    EXPECT_NEAR(rd.scene().groups[groups[1]].translation[0] - x0,
                (Advance(Sans(), '-') + gap) * 0.2f, 1e-6);
    // and they count in the width
    EXPECT_NEAR(x0, -(2 * Advance(Sans(), '-') + gap) * 0.2f / 2, 1e-6);
  }
}

TEST(CreateText, EmptyOrBlankTextMakesNothing) {
  for (const char* text : {"", "   ", "\xe9\t\x7f"}) {
    test::RecordedDocument rd;
    const int before = test::AddTriangle(rd.scene(), "Keep");
    rd.scene().selectedGroup = before;
    EXPECT_EQ(CreateText(rd.doc, text, 1.0f, 0), -1);
    EXPECT_EQ(NewestLast(rd.scene()), std::vector<int>{before});
    EXPECT_EQ(rd.scene().selectedGroup, before);
  }
}

TEST(CreateText, LeadingSpaceLeavesTheFirstLetterCurrent) {
  test::RecordedDocument rd;
  CreateText(rd.doc, " io", 1.0f, 0);
  const std::vector<int> groups = NewestLast(rd.scene());
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(rd.scene().selectedGroup, groups[1]);
}

TEST(CreateText, FontIndexOutsideTheListMeansArial) {
  for (int outside : {-1, 5, 1000, std::numeric_limits<int>::min()})
    EXPECT_EQ(&TextFontAt(outside), &kTextFonts[0]) << outside;
}

TEST(CreateText, ScaleThatIsNotANumberCountsAsOne) {
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity()}) {
    test::RecordedDocument rd;
    CreateText(rd.doc, "T", bad, 0);
    const std::vector<int> groups = NewestLast(rd.scene());
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(rd.scene().groups[groups[0]].scale, (Vec3{0.2f, 0.2f, 0.2f}));
    for (float m : rd.scene().groups[groups[0]].matrix)
      EXPECT_TRUE(std::isfinite(m));
  }
}

TEST(CreateText, EachPartIsExtrudedFromItsOwnSliceOfTheGlyph) {
  // the second part must start where the first one's data ends
  test::RecordedDocument rd;
  CreateText(rd.doc, "%", 1.0f, 0);
  const std::vector<int> groups = NewestLast(rd.scene());
  const GlyphOutline glyph = GetGlyphOutline(Sans(), '%');
  ASSERT_EQ(groups.size(), static_cast<size_t>(glyph.partCount));

  const Scene& sc = rd.scene();
  int contour = 0, point = 0;
  for (int p = 0; p < glyph.partCount; ++p) {
    SCOPED_TRACE("part " + std::to_string(p));
    const int g = groups[p], contours = glyph.contoursPerPart[p];
    int points = 0;
    for (int c = 0; c < contours; ++c)
      points += glyph.pointCounts[contour + c];
    EXPECT_EQ(sc.groups[g].kind, kKindExtrusion);
    ASSERT_GE(sc.groups[g].generatorParams.size(), 4u * (8 + contours + 2 * points));
    EXPECT_EQ(test::BlockIntAt(sc, g, 2), kTextBevelFlags);
    EXPECT_EQ(test::BlockFloatAt(sc, g, 3), kTextDepth);
    EXPECT_EQ(test::BlockFloatAt(sc, g, 4), kTextBevelSize);
    ASSERT_EQ(test::BlockFloatAt(sc, g, 6), static_cast<float>(contours));
    for (int c = 0; c < contours; ++c)
      EXPECT_EQ(test::BlockIntAt(sc, g, 8 + c), glyph.pointCounts[contour + c]);
    for (int i = 0; i < 2 * points; ++i)
      ASSERT_EQ(test::BlockFloatAt(sc, g, 8 + contours + i), glyph.points[2 * point + i]) << i;
    contour += contours;
    point += points;
  }
  EXPECT_EQ(point, glyph.pointCount);
}

}  // namespace
}  // namespace modra
