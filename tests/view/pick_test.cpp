#include "view/pick.h"

#include <gtest/gtest.h>

#include "view_test_util.h"

namespace modra {
namespace {

using test::AddSquare;

class Picking : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(rig.Make(&error)) << error;
    test::FlatFrontView(doc.doc);
    target = {test::kViewSize, test::kViewSize, rig.depth};
  }
  Scene& s() { return doc.scene(); }
  int Pick(float x, float y) { return PickGroupAt(rig.drawer, s(), doc.doc.display, target, x, y); }

  test::RecordedDocument doc;
  test::ViewRig rig;
  PickTarget target;
};

TEST_F(Picking, BackgroundEmptySceneAndPointsOutsideTheViewGiveMinusOne) {
  EXPECT_EQ(Pick(0, 0), -1);
  int g = AddSquare(s(), "Square", 0, 0, 0, 0.3f, {1, 0, 0});
  EXPECT_EQ(Pick(0, 0), g);
  EXPECT_EQ(Pick(0.8f, 0.8f), -1);
  EXPECT_EQ(Pick(1, 0), -1);
  EXPECT_EQ(Pick(0, -1.5f), -1);
  EXPECT_EQ(Pick(std::numeric_limits<float>::quiet_NaN(), 0), -1);
  target.width = 0;
  EXPECT_EQ(Pick(0, 0), -1);
}

TEST_F(Picking, ReturnsTheTopLevelAncestorOfTheGroupHit) {
  int other = AddSquare(s(), "Other", -0.5f, 0, 0, 0.2f, {0, 0, 1});
  int parent = NewGroup(s(), "Parent");
  s().groups[parent].flags |= Enabled;
  int child = AddSquare(s(), "Child", 0.5f, 0, 0, 0.2f, {1, 0, 0});
  int grandchild = AddSquare(s(), "Grandchild", 0.5f, 0.5f, 0, 0.1f, {1, 0, 0});
  test::MakeChild(s(), child, parent);
  test::MakeChild(s(), grandchild, child);
  EXPECT_EQ(Pick(0.5f, 0), parent);
  EXPECT_EQ(Pick(0.5f, 0.5f), parent);
  EXPECT_EQ(Pick(-0.5f, 0), other);
  // The scene's current group and its display are as they were.
  EXPECT_EQ(s().selectedGroup, -1);
}

TEST_F(Picking, PicksFilledGroupsWhileAGroupIsCurrentAndSkipsHiddenOnes) {
  int a = AddSquare(s(), "A", -0.5f, 0, 0, 0.2f, {1, 0, 0});
  int b = AddSquare(s(), "B", 0.5f, 0, 0, 0.2f, {0, 1, 0});
  s().selectedGroup = a;
  s().groups[a].flags |= highlighted;
  s().groups[b].flags |= drawAsBox;
  EXPECT_EQ(Pick(0.5f, 0), b);  // drawn filled, not as its outline or box
  s().groups[b].flags &= ~Enabled;
  EXPECT_EQ(Pick(0.5f, 0), -1);
  doc.doc.display.disabledDisplay = true;
  EXPECT_EQ(Pick(0.5f, 0), b);
  EXPECT_EQ(Pick(-0.5f, 0), -1);
  EXPECT_EQ(s().selectedGroup, a);
}

TEST_F(Picking, PicksFromTheChildrenOfTheEnteredGroup) {
  int parent = NewGroup(s(), "Parent");
  s().groups[parent].flags |= Enabled;
  s().groups[parent].matrix = TranslationMatrix({0.2f, 0, 0});
  int left = AddSquare(s(), "Left", -0.5f, 0, 0, 0.15f, {1, 0, 0});
  int right = AddSquare(s(), "Right", 0.3f, 0, 0, 0.15f, {0, 1, 0});
  test::MakeChild(s(), left, parent);
  test::MakeChild(s(), right, parent);
  int outside = AddSquare(s(), "Outside", 0, 0.6f, 0, 0.15f, {0, 0, 1});
  ASSERT_TRUE(EnterLevel(s(), parent));
  // The parent's matrix still places its children.
  EXPECT_EQ(Pick(-0.3f, 0), left);
  EXPECT_EQ(Pick(0.5f, 0), right);
  EXPECT_EQ(Pick(-0.5f, 0), -1);
  EXPECT_EQ(Pick(0, 0.6f), -1);  // not of this level
  ResetLevel(s());
  EXPECT_EQ(Pick(0, 0.6f), outside);
  EXPECT_EQ(Pick(-0.3f, 0), parent);
}

// With one bit per channel a pass codes 8 values; 40 slots take two passes.
TEST_F(Picking, JoinsSeveralPassesWhenTheColourBitsAreFew) {
  target.bits = {1, 1, 1};
  std::vector<int> groups;
  for (int row = 0; row < 5; ++row)
    for (int col = 0; col < 8; ++col)
      groups.push_back(
          AddSquare(s(), "G", -0.875f + 0.25f * col, -0.8f + 0.4f * row, 0, 0.1f, {1, 1, 1}));
  ASSERT_EQ(s().groups.size(), 40u);
  for (int row = 0; row < 5; ++row)
    for (int col = 0; col < 8; ++col)
      EXPECT_EQ(Pick(-0.875f + 0.25f * col, -0.8f + 0.4f * row), groups[row * 8 + col])
          << row << ", " << col;
  EXPECT_EQ(Pick(-0.75f, -0.6f), -1);

  // Uneven and oversized bit counts are held to 1..8 and still agree.
  target.bits = {3, 0, 12};
  EXPECT_EQ(Pick(-0.875f + 0.25f * 5, -0.8f + 0.4f * 3), groups[3 * 8 + 5]);
  EXPECT_EQ(Pick(-0.75f, -0.6f), -1);
}

TEST_F(Picking, RestoresTheStateTheSceneDrawNeeds) {
  AddSquare(s(), "Square", 0, 0, 0, 0.3f, {1, 0, 0});
  Pick(0, 0);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_DITHER));
  GLfloat clear[4] = {};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_FLOAT_EQ(clear[0], s().global.background[0]);
  EXPECT_FLOAT_EQ(clear[2], s().global.background[2]);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
}  // namespace modra
