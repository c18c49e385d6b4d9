// The pane's mouse rules: picking, toggling, the current point, the rubber
// band, dragging, Select All / Deselect All and the corner box.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "profile/point_selection.h"
#include "profile/profile_fields.h"

namespace modra {
namespace {

constexpr float kHit = kExtrusionHitSize;
constexpr float kFree = -std::numeric_limits<float>::infinity();

// Four points on a row, x = 0.0, 0.2, 0.4, 0.6 at y = 0, and a fifth at
// (0.4, 0.5).
struct Pane {
  std::vector<float> points = {0.0f, 0, 0.2f, 0, 0.4f, 0, 0.6f, 0, 0.4f, 0.5f};
  std::vector<uint8_t> corners = std::vector<uint8_t>(5, 0);
  std::vector<uint8_t> selected = std::vector<uint8_t>(5, 0);
  int current = -1;
  PaneGesture gesture;

  ProfilePoints view() { return {points, corners, selected, current}; }
  unsigned Press(float x, float y, PaneButton b = PaneButton::kLeft, bool ctrl = false) {
    return PressProfilePane(view(), gesture, {x, y}, b, ctrl, kHit);
  }
  unsigned Move(float x, float y, float minX = kFree, float snap = 0) {
    return MoveProfilePane(view(), gesture, {x, y}, minX, snap);
  }
  unsigned Release() { return ReleaseProfilePane(view(), gesture); }
  std::vector<uint8_t> Selected(std::initializer_list<int> which) const {
    std::vector<uint8_t> s(selected.size(), 0);
    for (int i : which)
      s[i] = 1;
    return s;
  }
};

TEST(ProfileSelection, PlainClickSelectsOnlyThePointUnlessItIsAlreadySelected) {
  Pane p;
  p.selected = p.Selected({0, 3});
  EXPECT_EQ(p.Press(0.41f, 0.01f), kPaneSelection);
  EXPECT_EQ(p.selected, p.Selected({2}));
  EXPECT_EQ(p.current, 2);
  p.Release();
  // Clicking an already selected point keeps the others, ready to drag.
  p.selected = p.Selected({0, 2, 3});
  p.Press(0.0f, 0.0f);
  EXPECT_EQ(p.selected, p.Selected({0, 2, 3}));
  EXPECT_EQ(p.current, 0);
}

TEST(ProfileSelection, CtrlOrRightClickTogglesAndTheHighestSelectedIsCurrent) {
  for (bool right : {false, true}) {
    Pane p;
    const PaneButton button = right ? PaneButton::kRight : PaneButton::kLeft;
    const bool ctrl = !right;
    p.Press(0.2f, 0, button, ctrl);
    p.Press(0.6f, 0, button, ctrl);
    p.Press(0.0f, 0, button, ctrl);
    EXPECT_EQ(p.selected, p.Selected({0, 1, 3}));
    EXPECT_EQ(p.current, 3);
    p.Press(0.6f, 0, button, ctrl);  // off again
    EXPECT_EQ(p.selected, p.Selected({0, 1}));
    EXPECT_EQ(p.current, 1);
    // Toggling on empty space changes nothing and starts no rubber band.
    EXPECT_EQ(p.Press(0.9f, 0.9f, button, ctrl), kPaneNothing);
    EXPECT_EQ(p.selected, p.Selected({0, 1}));
    EXPECT_EQ(p.Move(-1, -1), kPaneNothing);
  }
}

TEST(ProfileSelection, CtrlClickOfTheOnlySelectedPointLeavesNoCurrentPoint) {
  Pane p;
  p.Press(0.2f, 0);
  p.Release();
  EXPECT_EQ(PointFields(p.points.data(), 5, p.current).x, "0.200");
  p.Press(0.2f, 0, PaneButton::kLeft, true);
  EXPECT_EQ(p.selected, p.Selected({}));
  EXPECT_EQ(p.current, -1);
  const PointFieldTexts fields = PointFields(p.points.data(), 5, p.current);
  EXPECT_EQ(fields.x, "");
  EXPECT_EQ(fields.y, "");
  // and the corner box has nothing to set
  EXPECT_FALSE(ToggleCornerOfSelected(p.view()));
  EXPECT_EQ(p.corners, std::vector<uint8_t>(5, 0));
}

TEST(ProfileSelection, RubberBandSelectsExactlyThePointsInsideIt) {
  Pane p;
  p.selected = p.Selected({4});
  p.current = 4;
  EXPECT_EQ(p.Press(0.3f, -0.1f), kPaneSelection);  // empty space
  EXPECT_EQ(p.selected, p.Selected({}));
  EXPECT_EQ(p.current, -1);
  // Dragged up and right over points 2 and 3, then back left to 2 only.
  EXPECT_EQ(p.Move(0.7f, 0.1f), kPaneSelection);
  EXPECT_EQ(p.selected, p.Selected({2, 3}));
  p.Move(0.5f, 0.6f);  // now takes in point 4 but leaves 3
  EXPECT_EQ(p.selected, p.Selected({2, 4}));
  // No point moved, and letting go makes the highest selected current.
  EXPECT_EQ(p.points[8], 0.4f);
  p.Release();
  EXPECT_EQ(p.current, 4);
  // A band dragged from right to left and downwards works the same.
  p.Press(0.15f, 0.1f);
  p.Move(-0.1f, -0.1f);
  EXPECT_EQ(p.selected, p.Selected({0}));
  p.Release();
  EXPECT_EQ(p.current, 0);
}

TEST(ProfileSelection, DraggingMovesEverySelectedPointWithThePointer) {
  Pane p;
  p.selected = p.Selected({1, 3});
  p.Press(0.61f, 0.01f);  // grabs point 3, already selected
  EXPECT_EQ(p.Move(0.66f, -0.09f), kPanePoints);
  EXPECT_EQ(p.Move(0.71f, 0.21f), kPanePoints);
  EXPECT_NEAR(p.points[2], 0.3f, 1e-6f);
  EXPECT_NEAR(p.points[3], 0.2f, 1e-6f);
  EXPECT_NEAR(p.points[6], 0.7f, 1e-6f);
  EXPECT_NEAR(p.points[7], 0.2f, 1e-6f);
  EXPECT_EQ(p.points[0], 0.0f);  // unselected points stay
  EXPECT_EQ(p.Move(0.71f, 0.21f), kPaneNothing);
  EXPECT_EQ(p.Release(), kPaneNothing);
  EXPECT_EQ(p.Move(0.9f, 0.9f), kPaneNothing);  // after the release nothing moves
  EXPECT_NEAR(p.points[6], 0.7f, 1e-6f);

  // A floor keeps dragged points at or right of it.
  p.selected = p.Selected({0, 1});
  p.Press(0.3f, 0.2f);
  p.Move(-0.2f, 0.2f, 0.0f);
  EXPECT_EQ(p.points[0], 0.0f);
  EXPECT_EQ(p.points[2], 0.0f);
}

TEST(ProfileSelection, SnappingPutsTheGrabbedPointOnTheGridAndMovesTheOthersAsFar) {
  Pane p;
  p.points[2] = 0.21f;  // point 1 starts off the grid
  p.selected = p.Selected({1, 4});
  p.Press(0.21f, 0.0f);
  // Small motions add up from the press rather than each rounding away.
  for (float x : {0.22f, 0.23f, 0.24f})
    p.Move(x, 0.01f, kFree, 0.05f);
  EXPECT_NEAR(p.points[2], 0.25f, 1e-6f);
  EXPECT_NEAR(p.points[3], 0.0f, 1e-6f);
  // The other selected point moved exactly as far, off the grid or not.
  EXPECT_NEAR(p.points[8], 0.4f + 0.04f, 1e-6f);
  EXPECT_NEAR(p.points[9], 0.5f, 1e-6f);
  EXPECT_EQ(p.Move(0.241f, 0.011f, kFree, 0.05f), kPaneNothing);
  // Snapped below the floor, the grabbed point stops at it.
  p.Move(-0.3f, 0.0f, 0.0f, 0.05f);
  EXPECT_EQ(p.points[2], 0.0f);
  p.Release();
}

TEST(ProfileSelection, SelectAllAndDeselectAll) {
  Pane p;
  SelectAllPoints(p.view());
  EXPECT_EQ(p.selected, std::vector<uint8_t>(5, 1));
  EXPECT_EQ(p.current, 4);
  p.current = 1;
  SelectAllPoints(p.view());
  EXPECT_EQ(p.current, 1);
  DeselectAllPoints(p.view());
  EXPECT_EQ(p.selected, std::vector<uint8_t>(5, 0));
  EXPECT_EQ(p.current, -1);
}

TEST(ProfileSelection, CornerBoxGivesTheCurrentPointsNewFlagToEverySelectedPoint) {
  Pane p;
  p.corners = {1, 0, 0, 1, 0};
  p.Press(0.4f, 0);
  p.Press(0.6f, 0, PaneButton::kLeft, true);
  p.Press(0.2f, 0, PaneButton::kRight);
  ASSERT_EQ(p.current, 3);  // a corner: the box turns corners off
  EXPECT_TRUE(ToggleCornerOfSelected(p.view()));
  EXPECT_EQ(p.corners, (std::vector<uint8_t>{1, 0, 0, 0, 0}));
  EXPECT_TRUE(ToggleCornerOfSelected(p.view()));
  EXPECT_EQ(p.corners, (std::vector<uint8_t>{1, 1, 1, 1, 0}));
}

}  // namespace
}  // namespace modra
