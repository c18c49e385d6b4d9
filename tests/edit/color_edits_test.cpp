// The colour panel: when it works, which selected groups each slider
// reaches, its scales and its keys.
#include "edit/color_edits.h"

#include <gtest/gtest.h>

#include "anim/playback.h"
#include "scene/group_fields.h"
#include "scene/key_store.h"
#include "test_util.h"

namespace modra {
namespace {

using test::AddTriangle;
using test::ExpectNear;

struct ColorEdits : ::testing::Test {
  test::RecordedDocument rec;
  Scene& s = rec.scene();
  EditLayer layer{rec.doc};
  int plain = AddTriangle(s, "Plain");
  int painted = AddTriangle(s, "Painted");  // vertex colours
  int other = AddTriangle(s, "Plain too");
  int unselected = AddTriangle(s, "Unselected");

  void SetUp() override {
    s.groups[painted].flags |= VertexColors;
    for (int g : {plain, painted, other})
      s.groups[g].flags |= Selected;
    s.selectedGroup = plain;
  }
  // The three colour sliders moved one after another; true when any moved
  // something.
  bool Color(int red, int green, int blue) {
    const int positions[3] = {red, green, blue};
    bool moved = false;
    for (int i : {0, 1, 2})
      moved = SetColorSlider(layer, i, positions[i]) || moved;
    return moved;
  }
  bool Material(int shine, int specular) {
    bool moved = SetMaterialSlider(layer, 0, shine);
    for (int i : {1, 2, 3})
      moved = SetMaterialSlider(layer, i, specular) || moved;
    return moved;
  }
};

TEST_F(ColorEdits, PanelWorksOnlyForALeafWithoutVertexColours) {
  int parent = AddTriangle(s, "Parent");
  int child = AddTriangle(s, "Child");
  test::MakeChild(s, child, parent);
  int gone = AddTriangle(s, "Gone");
  s.groups[gone].flags |= Deleted;
  struct Case {
    int current;
    bool enabled;
  };
  const Case cases[] = {
      {plain, true}, {child, true}, {painted, false}, {parent, false},
      {-1, false},   {gone, false}, {9999, false},
  };
  for (const Case& c : cases) {
    s.selectedGroup = c.current;
    EXPECT_EQ(ColorPanelEnabled(s), c.enabled) << c.current;
    if (!c.enabled) {
      const ColorSliders zero = ColorPanelSliders(s);
      EXPECT_EQ(zero.red + zero.shine + zero.specularBlue, 0) << c.current;
      EXPECT_FALSE(Color(100, 200, 300)) << c.current;
      EXPECT_FALSE(Material(500, 1)) << c.current;
    }
  }
  // A disabled panel changed nothing, not even the selected leaves.
  EXPECT_EQ(s.groups[other].color, (Vec3{1, 1, 1}));
  EXPECT_FALSE(rec.doc.modified);
  EXPECT_TRUE(rec.shell.changes.empty());
}

TEST_F(ColorEdits, ColourSkipsVertexColouredGroupsWhileShineReachesAll) {
  ASSERT_TRUE(Color(250, 500, 1000));
  for (int g : {plain, other})
    ExpectNear(s.groups[g].color, {0.25f, 0.5f, 1.0f});
  EXPECT_EQ(s.groups[painted].color, (Vec3{1, 1, 1}));
  EXPECT_EQ(s.groups[unselected].color, (Vec3{1, 1, 1}));

  ASSERT_TRUE(SetMaterialSlider(layer, 0, 640));
  ASSERT_TRUE(SetMaterialSlider(layer, 1, 100));
  ASSERT_TRUE(SetMaterialSlider(layer, 2, 200));
  ASSERT_TRUE(SetMaterialSlider(layer, 3, 300));
  for (int g : {plain, painted, other}) {
    EXPECT_FLOAT_EQ(s.groups[g].shininess, 64.0f) << g;
    ExpectNear(s.groups[g].specular, {0.1f, 0.2f, 0.3f});
  }
  EXPECT_FLOAT_EQ(s.groups[unselected].shininess, 15.0f);
  // One notice per slider that moved something: blue was at its end.
  EXPECT_EQ(rec.shell.changes.size(), 6u);
  EXPECT_TRUE(rec.doc.modified);

  // A slider moved to where it stands changes nothing and tells nobody.
  rec.shell.changes.clear();
  EXPECT_FALSE(SetColorSlider(layer, 1, 500));
  EXPECT_FALSE(SetMaterialSlider(layer, 0, 640));
  EXPECT_TRUE(rec.shell.changes.empty());
}

// A slider's position is the value rounded to a thousandth: moving one
// must not round the other components the current group has.
TEST_F(ColorEdits, OneSliderLeavesTheOtherComponentsExact) {
  SetColor(s, plain, 0.1234f, 0.5678f, 0.9999f);
  SetSpecular(s, plain, 0.0101f, 0.2f, 0.3f);
  SetShininess(s, plain, 12.34f);
  ASSERT_TRUE(SetColorSlider(layer, 1, 250));
  EXPECT_EQ(s.groups[plain].color, (Vec3{0.1234f, 0.25f, 0.9999f}));
  ASSERT_TRUE(SetMaterialSlider(layer, 3, 700));
  EXPECT_EQ(s.groups[plain].shininess, 12.34f);
  EXPECT_EQ(s.groups[plain].specular, (Vec3{0.0101f, 0.2f, 0.7f}));
  // The other selected groups take the current group's material, as the
  // sliders show it.
  EXPECT_EQ(s.groups[other].color, (Vec3{0.1234f, 0.25f, 0.9999f}));
  EXPECT_EQ(s.groups[other].shininess, 12.34f);
}

TEST_F(ColorEdits, OnlyVertexColouredGroupsSelectedLeavesColourNothingToDo) {
  s.groups[plain].flags &= ~Selected;
  s.groups[other].flags &= ~Selected;
  // the current group need not be selected for the panel to be enabled
  EXPECT_FALSE(Color(0, 0, 0));
  EXPECT_FALSE(rec.doc.modified);
  EXPECT_TRUE(SetMaterialSlider(layer, 0, 10));
  EXPECT_FLOAT_EQ(s.groups[painted].shininess, 1.0f);
}

TEST_F(ColorEdits, SlidersShowTheScaledMaterialAndTheSettersClamp) {
  SetColor(s, plain, 0.1234f, 0.5f, 1.0f);
  SetSpecular(s, plain, 0.0f, 0.333f, 0.9996f);
  SetShininess(s, plain, 128.0f);
  const ColorSliders shown = ColorPanelSliders(s);
  EXPECT_EQ(shown.red, 123);
  EXPECT_EQ(shown.green, 500);
  EXPECT_EQ(shown.blue, 1000);
  EXPECT_EQ(shown.shine, 1280);
  EXPECT_EQ(shown.specularRed, 0);
  EXPECT_EQ(shown.specularGreen, 333);
  EXPECT_EQ(shown.specularBlue, 1000);

  // Positions past a slider's ends act as its ends; shine 0 is below the
  // lowest shininess the setter allows.
  struct Case {
    int shine, specular;
    float shininess, specularValue;
  };
  const Case cases[] = {{0, -5, 1.0f, 0.0f},
                        {5, 0, 1.0f, 0.0f},
                        {15, 1, 1.5f, 0.001f},
                        {1280, 1000, 128.0f, 1.0f},
                        {5000, 2000, 128.0f, 1.0f}};
  for (const Case& c : cases) {
    Material(c.shine, c.specular);
    EXPECT_FLOAT_EQ(s.groups[other].shininess, c.shininess) << c.shine;
    EXPECT_FLOAT_EQ(s.groups[other].specular[1], c.specularValue) << c.specular;
  }
  ASSERT_TRUE(Color(-1, 1001, 999));
  ExpectNear(s.groups[other].color, {0, 1, 0.999f});
}

TEST_F(ColorEdits, EachSliderEditIsKeyedAndInterpolated) {
  SetColor(s, plain, 0, 0, 0);
  SetSpecular(s, plain, 0, 0, 0);
  SetShininess(s, plain, 10);
  GoToFrame(rec.doc, 10);
  ASSERT_TRUE(Color(800, 400, 200));
  ASSERT_TRUE(Material(500, 600));
  for (int kind : {kKeyColor, kKeySpecular}) {
    EXPECT_NE(FindKey(rec.anim(), 10, plain, kind), -1) << kind;
    EXPECT_NE(FindKey(rec.anim(), 0, plain, kind), -1) << kind;
  }
  EXPECT_EQ(FindKey(rec.anim(), 10, painted, kKeyColor), -1);
  EXPECT_NE(FindKey(rec.anim(), 10, painted, kKeySpecular), -1);
  EXPECT_EQ(FindKey(rec.anim(), 10, unselected, kKeySpecular), -1);
  GoToFrame(rec.doc, 5);
  ExpectNear(s.groups[plain].color, {0.4f, 0.2f, 0.1f}, 1e-3f);
  ExpectNear(s.groups[plain].specular, {0.3f, 0.3f, 0.3f}, 1e-3f);
  EXPECT_NEAR(s.groups[plain].shininess, 30.0f, 1e-2f);
  GoToFrame(rec.doc, 0);
  EXPECT_EQ(s.groups[plain].color, (Vec3{0, 0, 0}));
}

}  // namespace
}  // namespace modra
