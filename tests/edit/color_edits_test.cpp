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
      EXPECT_FALSE(SetColorSliders(layer, 100, 200, 300)) << c.current;
      EXPECT_FALSE(SetMaterialSliders(layer, 500, 1, 2, 3)) << c.current;
    }
  }
  // A disabled panel changed nothing, not even the selected leaves.
  EXPECT_EQ(s.groups[other].color, (Vec3{1, 1, 1}));
  EXPECT_FALSE(rec.doc.modified);
  EXPECT_TRUE(rec.shell.changes.empty());
}

TEST_F(ColorEdits, ColourSkipsVertexColouredGroupsWhileShineReachesAll) {
  ASSERT_TRUE(SetColorSliders(layer, 250, 500, 1000));
  for (int g : {plain, other})
    ExpectNear(s.groups[g].color, {0.25f, 0.5f, 1.0f});
  EXPECT_EQ(s.groups[painted].color, (Vec3{1, 1, 1}));
  EXPECT_EQ(s.groups[unselected].color, (Vec3{1, 1, 1}));

  ASSERT_TRUE(SetMaterialSliders(layer, 640, 100, 200, 300));
  for (int g : {plain, painted, other}) {
    EXPECT_FLOAT_EQ(s.groups[g].shininess, 64.0f) << g;
    ExpectNear(s.groups[g].specular, {0.1f, 0.2f, 0.3f});
  }
  EXPECT_FLOAT_EQ(s.groups[unselected].shininess, 15.0f);
  EXPECT_EQ(rec.shell.changes.size(), 2u);  // one notice per slider move
  EXPECT_TRUE(rec.doc.modified);
}

TEST_F(ColorEdits, OnlyVertexColouredGroupsSelectedLeavesColourNothingToDo) {
  s.groups[plain].flags &= ~Selected;
  s.groups[other].flags &= ~Selected;
  // the current group need not be selected for the panel to be enabled
  EXPECT_FALSE(SetColorSliders(layer, 0, 0, 0));
  EXPECT_FALSE(rec.doc.modified);
  EXPECT_TRUE(SetMaterialSliders(layer, 10, 0, 0, 0));
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
    ASSERT_TRUE(SetMaterialSliders(layer, c.shine, c.specular, c.specular, c.specular));
    EXPECT_FLOAT_EQ(s.groups[other].shininess, c.shininess) << c.shine;
    EXPECT_FLOAT_EQ(s.groups[other].specular[1], c.specularValue) << c.specular;
  }
  ASSERT_TRUE(SetColorSliders(layer, -1, 1001, 999));
  ExpectNear(s.groups[other].color, {0, 1, 0.999f});
}

TEST_F(ColorEdits, EachSliderEditIsKeyedAndInterpolated) {
  SetColor(s, plain, 0, 0, 0);
  SetSpecular(s, plain, 0, 0, 0);
  SetShininess(s, plain, 10);
  GoToFrame(rec.doc, 10);
  ASSERT_TRUE(SetColorSliders(layer, 800, 400, 200));
  ASSERT_TRUE(SetMaterialSliders(layer, 500, 600, 600, 600));
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
