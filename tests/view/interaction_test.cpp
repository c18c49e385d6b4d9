#include "view/interaction.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "geometry/primitive_fields.h"
#include "test_util.h"

namespace modra {
namespace {

using test::ExpectNear;

// A panel that records what reaches it. With `applies` set it adds a group
// panel's differences to the current group's translation, as the real one
// does, so that the next motion sees the moved group.
struct FakePanel : AdjustTarget {
  void Adjust(float dx, float dy, float dz, bool ownMode) override {
    changes.push_back({dx, dy, dz});
    own.push_back(ownMode);
    if (applyTo) AddTranslation(*applyTo, applyGroup, dx, dy, dz);
  }
  bool TranslatesLightOrCamera() const override { return translates; }
  void Refresh() override { ++refreshes; }

  std::vector<Vec3> changes;
  std::vector<bool> own;
  int refreshes = 0;
  bool translates = false;
  Scene* applyTo = nullptr;
  int applyGroup = -1;
};

// A view whose groups each cover a band of x. Like the real pick it finds
// only groups of the level being edited.
class Interaction : public ::testing::Test {
 protected:
  Scene& s() { return doc.scene; }
  int Group(const char* name, float from, float to) {
    int g = test::AddTriangle(s(), name);
    band[g] = {from, to};
    return g;
  }
  int Pick(float x) const {
    int hit = -1;
    ForEachSibling(doc.scene, CurrentLevelHead(doc.scene), [&](int g) {
      auto it = band.find(g);
      if (hit == -1 && it != band.end() && x >= it->second.first && x < it->second.second) hit = g;
    });
    return hit;
  }
  void Press(MouseButton b, float x, float y, bool ctrl = false, bool shift = false,
             bool z = false) {
    view.ButtonDown(b, {x, y}, ctrl, shift, z);
  }
  void Release(MouseButton b, float x, float y) { view.ButtonUp(b, {x, y}); }
  void MoveTo(float x, float y) { view.Move({x, y}); }
  void Click(MouseButton b, float x) {
    Press(b, x, 0);
    Release(b, x, 0);
  }
  uint32_t Marks(int g) const { return doc.scene.groups[g].flags & (Selected | highlighted); }

  RecordingShell shell;
  Document doc{shell};
  std::map<int, std::pair<float, float>> band;
  std::map<EditMode, FakePanel> panels;
  ViewInteraction view{doc, ViewHooks{[this](float x, float) { return Pick(x); },
                                      [this](EditMode m) { return &panels[m]; }}};
};

constexpr uint32_t kPicked = Selected | highlighted;

TEST(InteractionRules, ModifierKeysChooseTheModeAndOwnModeOnlyForTheCurrentOne) {
  struct Case {
    bool ctrl, shift, z;
    int code;
    EditMode mode;
  } cases[] = {
      {false, false, false, 0, EditMode::kColor},
      {false, false, true, 0, EditMode::kColor},  // Z alone is no modifier
      {true, false, false, 1, EditMode::kSelection},
      {true, false, true, 5, EditMode::kSelection},
      {false, true, false, 2, EditMode::kRotateView},
      {false, true, true, 6, EditMode::kTranslateView},
      {true, true, false, 3, EditMode::kTranslateObject},
      {true, true, true, 7, EditMode::kRotateObject},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    int code = ModifierCode(c.ctrl, c.shift, c.z);
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(EffectiveMode(code, EditMode::kColor), c.mode);
    EXPECT_EQ(IsOwnMode(code, EditMode::kColor), code == 0);
  }
  // A shortcut into the mode that is current anyway is that mode's own.
  EXPECT_TRUE(IsOwnMode(3, EditMode::kTranslateObject));

  EXPECT_EQ(EditModeStatusText(EditMode::kTexture), "");
  EXPECT_EQ(EditModeMenuText(static_cast<EditMode>(kEditModeCount)), "");
  EXPECT_EQ(EditModeStatusText(static_cast<EditMode>(-1)), "");
}

TEST(InteractionRules, PointsNormaliseWithYUpAndZeroSizedViewsGiveTheCentre) {
  ViewPoint corner = NormalizePoint(0, 0, 200, 100);
  EXPECT_EQ(corner.x, -1);
  EXPECT_EQ(corner.y, 1);
  ViewPoint p = NormalizePoint(150, 75, 200, 100);
  EXPECT_FLOAT_EQ(p.x, 0.5f);
  EXPECT_FLOAT_EQ(p.y, -0.5f);
  ViewPoint none = NormalizePoint(10, 10, 0, 0);
  EXPECT_EQ(none.x, 0);
  EXPECT_EQ(none.y, 0);
}

TEST(InteractionRules, EachViewPansInItsOwnPlane) {
  DisplayState display;
  InteractionState state;
  state.viewTranslation = {1, 2, 3};
  state.totalAngles = {10, 20, 30};
  const Vec3 expected[kViewCount] = {{1, 2, 0},  {1, 0, 2}, {0, 2, -1}, {-1, 2, 0},
                                     {1, 0, -2}, {0, 2, 1}, {1, 2, 3},  {0, 0, 0}};
  for (int v = 0; v < kViewCount; ++v) {
    SCOPED_TRACE(v);
    display.currentView = v;
    ApplyView(display, state);
    EXPECT_EQ(display.views[v].translation, expected[v]);
    EXPECT_EQ(display.views[v].rawTranslation, state.viewTranslation);
    EXPECT_NEAR(display.views[v].scale, 1 - 0.60206f, 1e-6);
    EXPECT_EQ(display.views[v].rotation, (v == kViewPerspective ? state.totalAngles : Vec3{}));
  }
}

TEST_F(Interaction, ClickingTheCurrentParentEntersItAndEmptySpaceClimbsBack) {
  int a = Group("A", -1, 0.1f);
  int b = Group("B", 0.1f, 0.5f);
  int a1 = Group("A1", -1, -0.5f);
  int a2 = Group("A2", -0.5f, 0);
  test::Siblings(s(), -1, {a, b});
  test::Siblings(s(), a, {a1, a2});
  view.SetMode(EditMode::kSelection);

  Click(MouseButton::kLeft, -0.7f);
  EXPECT_EQ(s().selectedGroup, a);
  EXPECT_EQ(Marks(a), kPicked);
  EXPECT_EQ(Marks(a1), highlighted);
  EXPECT_EQ(Marks(a2), highlighted);
  EXPECT_TRUE(s().levelStack.empty());
  EXPECT_EQ(shell.status, "A");

  // The same point again enters A and picks among its children there.
  Click(MouseButton::kLeft, -0.7f);
  EXPECT_EQ(s().levelStack, std::vector<int32_t>{a});
  EXPECT_EQ(s().selectedGroup, a1);
  EXPECT_EQ(Marks(a1), kPicked);
  EXPECT_EQ(Marks(a), 0u);
  EXPECT_EQ(Marks(a2), 0u);
  EXPECT_EQ(shell.status, "A1");

  Click(MouseButton::kLeft, -0.3f);
  EXPECT_EQ(s().selectedGroup, a2);
  EXPECT_EQ(s().levelStack.size(), 1u);

  // B is not in this level: its place is empty space, which climbs out.
  Click(MouseButton::kLeft, 0.3f);
  EXPECT_TRUE(s().levelStack.empty());
  EXPECT_EQ(s().selectedGroup, a);
  EXPECT_EQ(Marks(a), kPicked);
  EXPECT_EQ(Marks(a1), highlighted);
  EXPECT_EQ(Marks(a2), highlighted);

  // Empty space at the top level leaves nothing.
  Click(MouseButton::kLeft, 0.8f);
  EXPECT_EQ(s().selectedGroup, -1);
  EXPECT_TRUE(s().levelStack.empty());
  for (int g : {a, b, a1, a2})
    EXPECT_EQ(Marks(g), 0u);
  EXPECT_EQ(shell.status, "Nothing Selected");
  EXPECT_EQ(shell.redraws, 5);
  EXPECT_EQ(panels[EditMode::kSelection].refreshes, 5);
}

TEST_F(Interaction, EnteringWithNoChildUnderThePointLeavesNothingCurrent) {
  int a = Group("A", -1, 0.1f);
  int b = Group("B", 0.1f, 0.5f);
  int a1 = Group("A1", -1, 0);
  test::Siblings(s(), -1, {a, b});
  test::Siblings(s(), a, {a1});
  view.SetMode(EditMode::kSelection);

  // B has no children: clicking it again keeps it, at the top level.
  Click(MouseButton::kLeft, 0.2f);
  Click(MouseButton::kLeft, 0.2f);
  EXPECT_EQ(s().selectedGroup, b);
  EXPECT_TRUE(s().levelStack.empty());

  Click(MouseButton::kLeft, 0.05f);
  Click(MouseButton::kLeft, 0.05f);
  EXPECT_EQ(s().levelStack, std::vector<int32_t>{a});
  EXPECT_EQ(s().selectedGroup, -1);
  EXPECT_EQ(shell.status, "Nothing Selected");
}

TEST_F(Interaction, RightClickTogglesAndTheFirstSelectedEnabledInPreOrderTakesOver) {
  int a = Group("A", -1, -0.5f);
  int b = Group("B", -0.5f, 0);
  int c = Group("C", 0, 0.5f);
  int a1 = Group("A1", -1, -0.5f);
  test::Siblings(s(), -1, {a, b, c});
  test::Siblings(s(), a, {a1});
  view.SetMode(EditMode::kSelection);

  Click(MouseButton::kRight, -0.2f);
  Click(MouseButton::kRight, 0.2f);
  Click(MouseButton::kRight, -0.7f);
  EXPECT_EQ(s().selectedGroup, a);
  for (int g : {a, b, c})
    EXPECT_EQ(Marks(g), kPicked);
  // A is hidden but selected; a child of it is selected and shown.
  s().groups[a].flags &= ~Enabled;
  s().groups[a1].flags |= Selected;

  Click(MouseButton::kRight, 0.2f);
  EXPECT_EQ(Marks(c), 0u);
  EXPECT_EQ(s().selectedGroup, a1);  // pre-order reaches into A before B
  EXPECT_EQ(shell.status, "A1");

  // Deselecting A takes its subtree with it; B is next.
  Click(MouseButton::kRight, -0.7f);
  EXPECT_EQ(Marks(a), 0u);
  EXPECT_EQ(Marks(a1), 0u);
  EXPECT_EQ(s().selectedGroup, b);

  Click(MouseButton::kRight, -0.2f);
  EXPECT_EQ(s().selectedGroup, -1);
  EXPECT_EQ(shell.status, "Nothing Selected");

  // A right click on nothing changes nothing.
  Click(MouseButton::kRight, -0.2f);
  Click(MouseButton::kRight, 0.9f);
  EXPECT_EQ(s().selectedGroup, b);
  EXPECT_EQ(Marks(b), kPicked);
}

TEST_F(Interaction, DeselectingTheLastChildSelectsTheEnteredGroup) {
  int a = Group("A", -1, 0);
  int a1 = Group("A1", -1, -0.5f);
  int a1x = Group("A1x", -1, -0.5f);
  test::Siblings(s(), -1, {a});
  test::Siblings(s(), a, {a1});
  test::Siblings(s(), a1, {a1x});
  view.SetMode(EditMode::kSelection);
  Click(MouseButton::kLeft, -0.7f);
  Click(MouseButton::kLeft, -0.7f);
  ASSERT_EQ(s().selectedGroup, a1);

  Click(MouseButton::kRight, -0.7f);
  EXPECT_FALSE(s().groups[a1].flags & Selected);
  EXPECT_EQ(s().selectedGroup, a);
  EXPECT_EQ(Marks(a), kPicked);
  EXPECT_EQ(s().levelStack, std::vector<int32_t>{a});
}

TEST_F(Interaction, CtrlZClickPicksFromAnyModeAndZAloneDoesNot) {
  int a = Group("A", -1, 0);
  view.SetMode(EditMode::kRotateView);
  Press(MouseButton::kLeft, -0.5f, 0, false, false, true);
  Release(MouseButton::kLeft, -0.5f, 0);
  EXPECT_EQ(s().selectedGroup, -1);

  Press(MouseButton::kLeft, -0.5f, 0, true, false, true);
  Release(MouseButton::kLeft, -0.5f, 0);
  EXPECT_EQ(s().selectedGroup, a);
  EXPECT_EQ(Marks(a), kPicked);
  EXPECT_EQ(shell.status, "A");
  // The panel of the current mode refreshes, not the Selection one.
  EXPECT_EQ(panels[EditMode::kRotateView].refreshes, 1);
  EXPECT_FALSE(view.HoldsCapture());
}

TEST_F(Interaction, AViewTurnInAnOrthographicViewChangesNothing) {
  view.SetMode(EditMode::kRotateView);
  doc.display.currentView = kViewFront;
  const auto before = doc.display.views;
  Press(MouseButton::kLeft, 0, 0);
  MoveTo(0.5f, 0.5f);
  Release(MouseButton::kLeft, 0.9f, 0.9f);
  Press(MouseButton::kRight, 0, 0);
  MoveTo(0.5f, 0.5f);
  Release(MouseButton::kRight, 0.9f, 0.9f);
  for (int v = 0; v < kViewCount; ++v) {
    EXPECT_EQ(doc.display.views[v].rotation, before[v].rotation);
    EXPECT_EQ(doc.display.views[v].translation, before[v].translation);
    EXPECT_EQ(doc.display.views[v].scale, before[v].scale);
  }
  EXPECT_EQ(view.State().totalAngles, Vec3{});
  EXPECT_EQ(view.State().baseAngles, Vec3{});
  EXPECT_EQ(view.State().spinRates, Vec3{});
  EXPECT_TRUE(panels[EditMode::kRotateView].changes.empty());

  // The same drag in the perspective view turns it, and the turn stays.
  doc.display.currentView = kViewPerspective;
  Press(MouseButton::kLeft, 0, 0);
  MoveTo(0.5f, 0.25f);
  ExpectNear(doc.display.views[kViewPerspective].rotation, {-45, 90, 0});
  Release(MouseButton::kLeft, 0.5f, 0.25f);
  ExpectNear(view.State().baseAngles, {-45, 90, 0});
  EXPECT_EQ(view.State().deltaAngles, Vec3{});
  ASSERT_EQ(panels[EditMode::kRotateView].changes.size(), 1u);
  ExpectNear(panels[EditMode::kRotateView].changes[0], {-45, 90, 0});

  Press(MouseButton::kRight, 0.2f, 0);
  MoveTo(0.1f, 0.7f);
  ExpectNear(view.State().totalAngles, {-45, 90, 18});
}

TEST_F(Interaction, AFlickSpinsAtMostFiftyAndASlowReleaseStopsTheSpin) {
  view.SetMode(EditMode::kRotateView);
  // Left held, right dragged and flung past the edge of the view.
  Press(MouseButton::kLeft, 0, 0);
  Press(MouseButton::kRight, 0, 0);
  MoveTo(-0.9f, 0);
  Release(MouseButton::kRight, 1.5f, 0);
  EXPECT_EQ(view.State().spinRates, (Vec3{0, 0, -50}));
  EXPECT_NEAR(view.State().baseAngles[2], 162, 1e-3);

  // With the left button still down and no drag, each move spins on,
  // wrapping once past -360.
  for (int i = 0; i < 10; ++i)
    MoveTo(0.3f, 0.3f);
  EXPECT_NEAR(view.State().totalAngles[2], 162 - 500, 1e-3);
  MoveTo(0.3f, 0.3f);
  EXPECT_NEAR(view.State().totalAngles[2], 162 - 550 + 360, 1e-3);
  EXPECT_NEAR(doc.display.views[kViewPerspective].rotation[2], 162 - 550 + 360, 1e-3);
  Release(MouseButton::kLeft, 0.3f, 0.3f);
  EXPECT_FALSE(view.HoldsCapture());

  // A left flick sets x and y rates; its z stays.
  Press(MouseButton::kLeft, 0, 0);
  MoveTo(0.2f, 0);
  Release(MouseButton::kLeft, 0.5f, 0);
  ExpectNear(view.State().spinRates, {0, 27, -50});

  // A slow right release (under 1 degree) stops every axis.
  Press(MouseButton::kRight, 0, 0);
  Release(MouseButton::kRight, 0.005f, 0);
  EXPECT_EQ(view.State().spinRates, Vec3{});

  // A right click without a move gives no spin, wherever it lands.
  Press(MouseButton::kRight, 0.6f, 0);
  Release(MouseButton::kRight, 0.6f, 0);
  EXPECT_EQ(view.State().spinRates, Vec3{});

  // A slow left release stops z too.
  view.ResetView();
  Press(MouseButton::kRight, 0, 0);
  Release(MouseButton::kRight, 0.5f, 0);
  ASSERT_EQ(view.State().spinRates[2], -45);
  Press(MouseButton::kLeft, 0, 0);
  Release(MouseButton::kLeft, 0.001f, 0.001f);
  EXPECT_EQ(view.State().spinRates, Vec3{});
}

TEST_F(Interaction, TranslateViewAddsUpAndZoomsOutLogarithmicallyNeverBelowZero) {
  view.SetMode(EditMode::kTranslateView);
  doc.display.currentView = kViewTop;
  MoveTo(0.5f, 0.5f);  // no button: the view does not hold the mouse
  EXPECT_TRUE(panels[EditMode::kTranslateView].changes.empty());

  Press(MouseButton::kLeft, 0, 0);
  MoveTo(0.1f, 0.2f);
  MoveTo(0.3f, 0.1f);
  Release(MouseButton::kLeft, 0.3f, 0.1f);
  ExpectNear(doc.display.views[kViewTop].translation, {0.3f, 0, 0.1f});
  ExpectNear(panels[EditMode::kTranslateView].changes.back(), {0.3f, 0.1f, 0});

  Press(MouseButton::kRight, 0.7f, 0.5f);
  MoveTo(0, 0.75f);  // tz = 1
  EXPECT_NEAR(doc.display.views[kViewTop].scale, 1 - 0.30103f, 1e-6);
  MoveTo(0, 3);  // tz = 10
  EXPECT_EQ(doc.display.views[kViewTop].scale, 0);
  ExpectNear(doc.display.views[kViewTop].rawTranslation, {0.3f, 0.1f, 10});
  MoveTo(0, 0);  // tz = -2 zooms in
  EXPECT_FLOAT_EQ(doc.display.views[kViewTop].scale, 3);
  ExpectNear(view.State().viewTranslation, {0.3f, 0.1f, -2});
}

TEST_F(Interaction, GroupDragsSendTheWayFromTheCurrentValueToStartPlusDrag) {
  int g = Group("G", -1, 1);
  s().groups[g].translation = {1, 2, 3};
  s().groups[g].rotation = {10, 20, 30};
  FakePanel& move = panels[EditMode::kTranslateObject];
  FakePanel& turn = panels[EditMode::kRotateObject];
  move.applyTo = &s();
  move.applyGroup = g;
  view.SetMode(EditMode::kTranslateObject);

  Press(MouseButton::kLeft, 0.2f, 0.2f);
  MoveTo(0.3f, 0.2f);  // no group is current yet
  EXPECT_TRUE(move.changes.empty());
  Release(MouseButton::kLeft, 0.3f, 0.2f);

  s().selectedGroup = g;
  Press(MouseButton::kLeft, 0, 0);
  MoveTo(0.5f, 0.25f);
  MoveTo(0.6f, 0.25f);
  ASSERT_EQ(move.changes.size(), 2u);
  ExpectNear(move.changes[0], {0.5f, 0.25f, 0});
  ExpectNear(move.changes[1], {0.1f, 0, 0});
  ExpectNear(s().groups[g].translation, {1.6f, 2.25f, 3});
  Release(MouseButton::kLeft, 0.6f, 0.25f);

  // A panel that holds an axis still (a lock box) sees the whole way
  // again on the next move.
  move.applyTo = nullptr;
  Press(MouseButton::kRight, 0, 0);
  MoveTo(0.4f, 0.25f);
  MoveTo(0.4f, 0.5f);
  ExpectNear(move.changes[2], {0, 0, 1});
  ExpectNear(move.changes[3], {0, 0, 2});
  EXPECT_EQ(move.own, (std::vector<bool>{true, true, true, true}));
  Release(MouseButton::kRight, 0.4f, 0.5f);

  // Shift+Ctrl+Z turns the selection from another mode, without own mode.
  view.SetMode(EditMode::kColor);
  Press(MouseButton::kLeft, 0, 0, true, true, true);
  MoveTo(0.5f, 0.25f);
  ASSERT_EQ(turn.changes.size(), 1u);
  ExpectNear(turn.changes[0], {45, -90, 0});
  EXPECT_EQ(turn.own, std::vector<bool>{false});
  EXPECT_TRUE(panels[EditMode::kColor].changes.empty());
  Release(MouseButton::kLeft, 0.5f, 0.25f);

  Press(MouseButton::kRight, 0.2f, 0, true, true, true);
  MoveTo(0.7f, 0);
  ExpectNear(turn.changes[1], {0, 0, -90});
  Release(MouseButton::kRight, 0.7f, 0);
}

TEST_F(Interaction, ModifierShortcutLastsUntilTheFirstRelease) {
  int g = Group("G", -1, 1);
  s().selectedGroup = g;
  view.SetMode(EditMode::kScaleObject);
  Press(MouseButton::kLeft, 0, 0, true, true);
  Press(MouseButton::kRight, 0, 0, true, true);
  Release(MouseButton::kLeft, 0, 0);
  EXPECT_TRUE(view.HoldsCapture());
  // The release ended the shortcut and the drag state: moving on with the
  // right button reaches neither panel.
  MoveTo(0, 0.5f);
  EXPECT_TRUE(panels[EditMode::kTranslateObject].changes.empty());
  EXPECT_TRUE(panels[EditMode::kScaleObject].changes.empty());
  Release(MouseButton::kRight, 0, 0.5f);
  EXPECT_FALSE(view.HoldsCapture());
  Release(MouseButton::kRight, 0, 0.5f);  // a stray release is ignored
}

TEST_F(Interaction, CreateDragsOnlyTheSizesTheGeneratorHas) {
  int g = Group("Sphere", -1, 1);
  s().groups[g].kind = kKindSphere;
  ASSERT_EQ(AllocGeneratorParams(s(), g), 0);
  for (int i = 0; i < 4; ++i)
    WriteBlockFloat(s().groups[g], i, 1.0f + i);
  s().selectedGroup = g;
  FakePanel& create = panels[EditMode::kCreateObjects];
  view.SetMode(EditMode::kCreateObjects);
  Press(MouseButton::kLeft, 0, 0);
  MoveTo(0.5f, 0.3f);
  Release(MouseButton::kLeft, 0.5f, 0.3f);
  ASSERT_EQ(create.changes.size(), 1u);
  ExpectNear(create.changes[0], {0.5f, 0, 0});

  s().groups[g].kind = kKindBlock;
  ASSERT_EQ(AllocGeneratorParams(s(), g), 0);
  for (int i = 0; i < 5; ++i)
    WriteBlockFloat(s().groups[g], i, 1.0f + i);
  WriteBlockFloat(s().groups[g], 2, 0.5f);
  Press(MouseButton::kRight, 0, 0);
  WriteBlockFloat(s().groups[g], 2, 0.75f);  // the panel applied an earlier move
  MoveTo(0.4f, 0.25f);
  ExpectNear(create.changes[1], {0, 0, 0.75f});

  // A plain mesh has nothing to size.
  s().groups[g].kind = kKindMesh;
  Press(MouseButton::kLeft, 0, 0);
  MoveTo(0.5f, 0.5f);
  EXPECT_EQ(create.changes.size(), 2u);
}

TEST_F(Interaction, LightAndCameraDragsFollowThePanelsMoveOrTurnChoice) {
  view.Panels().currentLight = 2;
  s().lights[2].position = {1, 2, 3};
  s().lights[2].rotation = {10, 20, 0};
  s().camera.position = {0, 0, -4};
  s().camera.rotation = {5, 6, 7};
  for (EditMode mode : {EditMode::kLights, EditMode::kCamera}) {
    SCOPED_TRACE(static_cast<int>(mode));
    FakePanel& panel = panels[mode];
    view.SetMode(mode);
    panel.translates = true;
    Press(MouseButton::kLeft, 0, 0);
    MoveTo(0.5f, 0.25f);
    Release(MouseButton::kLeft, 0.5f, 0.25f);
    Press(MouseButton::kRight, 0, 0);
    MoveTo(0.5f, 0.25f);
    Release(MouseButton::kRight, 0.5f, 0.25f);
    panel.translates = false;
    Press(MouseButton::kLeft, 0, 0);
    MoveTo(0.5f, 0.25f);
    Release(MouseButton::kLeft, 0.5f, 0.25f);
    ASSERT_EQ(panel.changes.size(), 3u);
    ExpectNear(panel.changes[0], {0.5f, 0.25f, 0});
    ExpectNear(panel.changes[1], {0, 0, 1});
    ExpectNear(panel.changes[2], {45, -90, 0});  // the third angle is never driven
  }
  // No light to drive: the panel's list is on an entry that is not a light.
  view.Panels().currentLight = 9;
  view.SetMode(EditMode::kLights);
  Press(MouseButton::kLeft, 0, 0);
  MoveTo(0.5f, 0.25f);
  EXPECT_EQ(panels[EditMode::kLights].changes.size(), 3u);
}

TEST_F(Interaction, ResetViewClearsTheTurnAndTranslationButKeepsCameraLevelAndSelection) {
  int a = Group("A", -1, 0);
  int a1 = Group("A1", -1, 0);
  test::Siblings(s(), -1, {a});
  test::Siblings(s(), a, {a1});
  view.SetMode(EditMode::kSelection);
  Click(MouseButton::kLeft, -0.5f);
  Click(MouseButton::kLeft, -0.5f);
  view.SetMode(EditMode::kTranslateView);
  Press(MouseButton::kRight, 0, 0);
  MoveTo(0.3f, 0.5f);
  Release(MouseButton::kRight, 0.3f, 0.5f);
  view.SetRotationTotals({30, 40, 50});
  doc.display.views[kViewCamera].eye = {1, 2, 3};
  doc.display.views[kViewCamera].lookAtGroup = a;
  view.Panels().nearOffset = 2;
  view.Panels().fieldOfView = 90;
  ASSERT_EQ(doc.display.views[kViewPerspective].rotation, (Vec3{30, 40, 50}));

  view.ResetView();
  const InteractionState fresh;
  EXPECT_EQ(view.State().viewTranslation, fresh.viewTranslation);
  EXPECT_EQ(view.State().totalAngles, fresh.totalAngles);
  EXPECT_EQ(view.State().baseAngles, fresh.baseAngles);
  EXPECT_EQ(doc.display.views[kViewPerspective].rotation, Vec3{});
  EXPECT_EQ(doc.display.views[kViewPerspective].translation, Vec3{});
  EXPECT_EQ(view.Panels().nearOffset, -12);
  EXPECT_EQ(view.Panels().farOffset, 15);
  EXPECT_EQ(view.Panels().fieldOfView, 30);
  EXPECT_EQ(doc.display.views[kViewCamera].eye, (Vec3{1, 2, 3}));
  EXPECT_EQ(doc.display.views[kViewCamera].lookAtGroup, a);
  EXPECT_EQ(s().levelStack, std::vector<int32_t>{a});
  EXPECT_EQ(s().selectedGroup, a1);

  FakePanel& panel = panels[EditMode::kTranslateView];
  int refreshes = panel.refreshes;
  view.SelectView(kViewRight);
  EXPECT_EQ(doc.display.currentView, kViewRight);
  view.SelectView(kViewCount);
  EXPECT_EQ(doc.display.currentView, kViewRight);
  EXPECT_EQ(panel.refreshes, refreshes + 1);
}

}  // namespace
}  // namespace modra
