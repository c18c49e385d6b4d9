#include "view/interaction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "document/group_edit.h"
#include "edit/edit_session.h"
#include "geometry/primitive_fields.h"
#include "test_util.h"

namespace modra {
namespace {

using test::ExpectNear;
constexpr MouseButton kL = MouseButton::kLeft, kR = MouseButton::kRight;
constexpr uint32_t kPicked = Selected | highlighted;
using Marks = std::vector<uint32_t>;
using Levels = std::vector<int32_t>;

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
  void Click(MouseButton b, float x, bool ctrl = false, bool z = false) {
    Press(b, x, 0, ctrl, false, z);
    Release(b, x, 0);
  }
  // Press at the origin and one move; Drag releases where the move ended,
  // Flick releases there without the move.
  void Hold(MouseButton b, float x, float y) {
    Press(b, 0, 0);
    MoveTo(x, y);
  }
  void Drag(MouseButton b, float x, float y) {
    Hold(b, x, y);
    Release(b, x, y);
  }
  void Flick(MouseButton b, float x, float y) {
    Press(b, 0, 0);
    Release(b, x, y);
  }
  Marks MarksOf(std::initializer_list<int> groups) const {
    Marks m;
    for (int g : groups)
      m.push_back(doc.scene.groups[g].flags & kPicked);
    return m;
  }

  // The change notices since the last call.
  std::vector<unsigned> Notices() { return std::exchange(shell.changes, {}); }

  bool HasDisplayNotice(const std::vector<unsigned>& notices) const {
    for (unsigned what : notices)
      if (what & kDisplayChanged) return true;
    return false;
  }
  // g made the one current and selected group, as a click leaves it.
  void MakeCurrent(int g) {
    s().groups[g].flags |= Selected | highlighted;
    s().selectedGroup = g;
  }

  RecordingShell shell;
  EditSession session{shell};
  Document& doc = session.doc();
  std::map<int, std::pair<float, float>> band;
  ViewInteraction& view = session.interaction();

  Interaction() {
    view.SetPick([this](float x, float) { return Pick(x); });
  }
};

TEST(InteractionRules, ModifierKeysChooseTheModeAndOwnModeOnlyForTheCurrentOne) {
  const struct {
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
  for (const auto& c : cases) {
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
  const struct {
    float px, py, w, h, x, y;
  } cases[] = {{0, 0, 200, 100, -1, 1}, {150, 75, 200, 100, 0.5f, -0.5f}, {10, 10, 0, 0, 0, 0}};
  for (const auto& c : cases) {
    ViewPoint p = NormalizePoint(c.px, c.py, c.w, c.h);
    EXPECT_FLOAT_EQ(p.x, c.x) << c.px;
    EXPECT_FLOAT_EQ(p.y, c.y) << c.px;
  }
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
  int a = Group("A", -1, 0.1f), b = Group("B", 0.1f, 0.5f);
  int a1 = Group("A1", -1, -0.5f), a2 = Group("A2", -0.5f, 0);
  test::Siblings(s(), -1, {a, b});
  test::Siblings(s(), a, {a1, a2});
  view.SetMode(EditMode::kSelection);

  Click(kL, -0.7f);
  EXPECT_EQ(s().selectedGroup, a);
  EXPECT_EQ(MarksOf({a, a1, a2}), (Marks{kPicked, highlighted, highlighted}));
  EXPECT_TRUE(s().levelStack.empty());
  EXPECT_EQ(shell.status, "A");
  // The same point again enters A and picks among its children there.
  Click(kL, -0.7f);
  EXPECT_EQ(s().levelStack, Levels{a});
  EXPECT_EQ(s().selectedGroup, a1);
  EXPECT_EQ(MarksOf({a, a1, a2}), (Marks{0, kPicked, 0}));
  EXPECT_EQ(shell.status, "A1");
  Click(kL, -0.3f);
  EXPECT_EQ(s().selectedGroup, a2);
  EXPECT_EQ(s().levelStack, Levels{a});
  // B is not in this level: its place is empty space, which climbs out.
  Click(kL, 0.3f);
  EXPECT_TRUE(s().levelStack.empty());
  EXPECT_EQ(s().selectedGroup, a);
  EXPECT_EQ(MarksOf({a, a1, a2}), (Marks{kPicked, highlighted, highlighted}));
  // Empty space at the top level leaves nothing.
  Click(kL, 0.8f);
  EXPECT_EQ(s().selectedGroup, -1);
  EXPECT_TRUE(s().levelStack.empty());
  EXPECT_EQ(MarksOf({a, b, a1, a2}), (Marks{0, 0, 0, 0}));
  EXPECT_EQ(shell.status, "Nothing Selected");
  EXPECT_EQ(shell.redraws, 5);

  // B has no children: clicking it again keeps it, at the top level.
  Click(kL, 0.2f);
  Click(kL, 0.2f);
  EXPECT_EQ(s().selectedGroup, b);
  EXPECT_TRUE(s().levelStack.empty());
  // Entering A where no child lies leaves nothing current inside it.
  Click(kL, 0.05f);
  Click(kL, 0.05f);
  EXPECT_EQ(s().levelStack, Levels{a});
  EXPECT_EQ(s().selectedGroup, -1);
  EXPECT_EQ(shell.status, "Nothing Selected");
  // Deselecting the last child there selects the entered group.
  Click(kR, -0.7f);
  ASSERT_EQ(s().selectedGroup, a1);
  Click(kR, -0.7f);
  EXPECT_EQ(s().selectedGroup, a);
  EXPECT_EQ(MarksOf({a, a1, a2}), (Marks{kPicked, highlighted, highlighted}));
  EXPECT_EQ(s().levelStack, Levels{a});
}

TEST_F(Interaction, RightClickTogglesAndTheFirstSelectedEnabledInPreOrderTakesOver) {
  int a = Group("A", -1, -0.5f), b = Group("B", -0.5f, 0), c = Group("C", 0, 0.5f);
  int a1 = Group("A1", -1, -0.5f);
  test::Siblings(s(), -1, {a, b, c});
  test::Siblings(s(), a, {a1});
  view.SetMode(EditMode::kSelection);

  for (float x : {-0.2f, 0.2f, -0.7f})
    Click(kR, x);
  EXPECT_EQ(s().selectedGroup, a);
  EXPECT_EQ(MarksOf({a, b, c}), (Marks{kPicked, kPicked, kPicked}));
  // A is hidden but selected; a child of it is selected and shown.
  s().groups[a].flags &= ~Enabled;
  s().groups[a1].flags |= Selected;
  Click(kR, 0.2f);
  EXPECT_EQ(MarksOf({c}), Marks{0});
  EXPECT_EQ(s().selectedGroup, a1);  // pre-order reaches into A before B
  EXPECT_EQ(shell.status, "A1");
  // Deselecting A takes its subtree with it; B is next.
  Click(kR, -0.7f);
  EXPECT_EQ(MarksOf({a, a1}), (Marks{0, 0}));
  EXPECT_EQ(s().selectedGroup, b);
  Click(kR, -0.2f);
  EXPECT_EQ(s().selectedGroup, -1);
  EXPECT_EQ(shell.status, "Nothing Selected");
  // A right click on nothing changes nothing.
  Click(kR, -0.2f);
  Click(kR, 0.9f);
  EXPECT_EQ(s().selectedGroup, b);
  EXPECT_EQ(MarksOf({b}), Marks{kPicked});
}

TEST_F(Interaction, CtrlZClickPicksFromAnyModeAndZAloneDoesNot) {
  int a = Group("A", -1, 0);
  view.SetMode(EditMode::kRotateView);
  Click(kL, -0.5f, false, true);
  EXPECT_EQ(s().selectedGroup, -1);
  Click(kL, -0.5f, true, true);
  EXPECT_EQ(s().selectedGroup, a);
  EXPECT_EQ(MarksOf({a}), Marks{kPicked});
  EXPECT_EQ(shell.status, "A");
  EXPECT_FALSE(view.HoldsCapture());
}

TEST_F(Interaction, AViewTurnInAnOrthographicViewChangesNothing) {
  view.SetMode(EditMode::kRotateView);
  doc.display.currentView = kViewFront;
  const auto before = doc.display.views;
  Notices();
  for (MouseButton b : {kL, kR}) {
    Hold(b, 0.5f, 0.5f);
    Release(b, 0.9f, 0.9f);
  }
  for (int v = 0; v < kViewCount; ++v) {
    const ViewSetting &now = doc.display.views[v], &was = before[v];
    EXPECT_EQ(std::tie(now.rotation, now.translation, now.scale),
              std::tie(was.rotation, was.translation, was.scale));
  }
  for (const Vec3& angles :
       {view.State().totalAngles, view.State().baseAngles, view.State().spinRates})
    EXPECT_EQ(angles, Vec3{});
  EXPECT_FALSE(HasDisplayNotice(Notices()));

  // The same drag in the perspective view turns it, and the turn stays.
  doc.display.currentView = kViewPerspective;
  Hold(kL, 0.5f, 0.25f);
  ExpectNear(doc.display.views[kViewPerspective].rotation, {-45, 90, 0});
  Release(kL, 0.5f, 0.25f);
  ExpectNear(view.State().baseAngles, {-45, 90, 0});
  EXPECT_EQ(view.State().deltaAngles, Vec3{});
  // The view panel shows the totals from the notice.
  EXPECT_TRUE(HasDisplayNotice(Notices()));
  ExpectNear(view.State().totalAngles, {-45, 90, 0});
  Press(kR, 0.2f, 0);
  MoveTo(0.1f, 0.7f);
  ExpectNear(view.State().totalAngles, {-45, 90, 18});
}

TEST_F(Interaction, AFlickSpinsAtMostFiftyAndASlowReleaseStopsTheSpin) {
  view.SetMode(EditMode::kRotateView);
  // Left held, right dragged and flung past the edge of the view.
  Press(kL, 0, 0);
  Hold(kR, -0.9f, 0);
  Release(kR, 1.5f, 0);
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
  Release(kL, 0.3f, 0.3f);
  EXPECT_FALSE(view.HoldsCapture());

  // A left flick sets x and y rates; its z stays.
  Hold(kL, 0.2f, 0);
  Release(kL, 0.5f, 0);
  ExpectNear(view.State().spinRates, {0, 27, -50});
  // A slow right release (under 1 degree) stops every axis.
  Flick(kR, 0.005f, 0);
  EXPECT_EQ(view.State().spinRates, Vec3{});
  // A right click without a move gives no spin, wherever it lands.
  Click(kR, 0.6f);
  EXPECT_EQ(view.State().spinRates, Vec3{});
  // A slow left release stops z too.
  view.ResetView();
  Flick(kR, 0.5f, 0);
  ASSERT_EQ(view.State().spinRates[2], -45);
  Flick(kL, 0.001f, 0.001f);
  EXPECT_EQ(view.State().spinRates, Vec3{});
}

TEST_F(Interaction, TranslateViewAddsUpAndZoomsOutLogarithmicallyNeverBelowZero) {
  view.SetMode(EditMode::kTranslateView);
  doc.display.currentView = kViewTop;
  const ViewSetting& top = doc.display.views[kViewTop];
  Notices();
  MoveTo(0.5f, 0.5f);  // no button: the view does not hold the mouse
  EXPECT_TRUE(Notices().empty());

  Hold(kL, 0.1f, 0.2f);
  MoveTo(0.3f, 0.1f);
  Release(kL, 0.3f, 0.1f);
  ExpectNear(top.translation, {0.3f, 0, 0.1f});
  EXPECT_TRUE(HasDisplayNotice(Notices()));
  ExpectNear(view.State().viewTranslation, {0.3f, 0.1f, 0});

  Press(kR, 0.7f, 0.5f);
  MoveTo(0, 0.75f);  // tz = 1
  EXPECT_NEAR(top.scale, 1 - 0.30103f, 1e-6);
  MoveTo(0, 3);  // tz = 10
  EXPECT_EQ(top.scale, 0);
  ExpectNear(top.rawTranslation, {0.3f, 0.1f, 10});
  MoveTo(0, 0);  // tz = -2 zooms in
  EXPECT_FLOAT_EQ(top.scale, 3);
  ExpectNear(view.State().viewTranslation, {0.3f, 0.1f, -2});
}

// The wheel zooms whatever the mode, the way a Translate View right drag
// does, and a zero or broken step changes nothing.
TEST_F(Interaction, TheWheelZoomsInEveryModeLikeARightDrag) {
  doc.display.currentView = kViewTop;
  const ViewSetting& top = doc.display.views[kViewTop];
  for (EditMode mode : {EditMode::kSelection, EditMode::kTranslateObject, EditMode::kLights}) {
    view.SetMode(mode);
    const float z = view.State().viewTranslation[2];
    Notices();
    view.Wheel(4);
    EXPECT_FLOAT_EQ(view.State().viewTranslation[2], z - 1);
    EXPECT_TRUE(HasDisplayNotice(Notices()));
  }
  EXPECT_FLOAT_EQ(top.scale, 4);  // tz = -3 after the twelve notches
  view.Wheel(-12);
  EXPECT_FLOAT_EQ(top.scale, 1);
  Notices();
  for (float broken : {0.0f, std::numeric_limits<float>::quiet_NaN(), INFINITY}) {
    view.Wheel(broken);
    EXPECT_TRUE(Notices().empty());
    EXPECT_FLOAT_EQ(view.State().viewTranslation[2], 0);
  }
}

// A drag puts the dragged value at where it started plus the way the
// pointer went, one undo step from press to release.
TEST_F(Interaction, GroupDragsMoveFromTheStartValueByTheWayDragged) {
  int g = Group("G", -1, 1);
  s().groups[g].translation = {1, 2, 3};
  s().groups[g].rotation = {10, 20, 30};
  session.history().Settle();  // the scene as built is where the steps start
  view.SetMode(EditMode::kTranslateObject);
  Drag(kL, 0.3f, 0.2f);  // no group is current yet
  ExpectNear(s().groups[g].translation, {1, 2, 3});
  EXPECT_EQ(session.history().StepCount(), 0u);

  MakeCurrent(g);
  Hold(kL, 0.5f, 0.25f);
  ExpectNear(s().groups[g].translation, {1.5f, 2.25f, 3});
  EXPECT_EQ(s().groups[g].matrix[12], s().groups[g].translation[0]);
  MoveTo(0.6f, 0.25f);
  ExpectNear(s().groups[g].translation, {1.6f, 2.25f, 3});
  Release(kL, 0.6f, 0.25f);
  EXPECT_EQ(session.history().StepCount(), 1u);
  EXPECT_EQ(session.UndoName(), "Translate");

  // A lock box holds its axis in the panel's own mode ...
  session.panels().locks[static_cast<size_t>(TransformPanel::kTranslation)][2] = true;
  Hold(kR, 0.4f, 0.25f);
  MoveTo(0.4f, 0.5f);
  Release(kR, 0.4f, 0.5f);
  ExpectNear(s().groups[g].translation, {1.6f, 2.25f, 3});
  EXPECT_EQ(session.history().StepCount(), 1u);  // a drag that moved nothing
  // ... but not when Shift+Ctrl borrows the mode from another one.
  view.SetMode(EditMode::kColor);
  Press(kR, 0.4f, 0.25f, true, true);
  MoveTo(0.4f, 0.5f);
  Release(kR, 0.4f, 0.5f);
  ExpectNear(s().groups[g].translation, {1.6f, 2.25f, 4});

  // Shift+Ctrl+Z turns the selection from another mode.
  Press(kL, 0, 0, true, true, true);
  MoveTo(0.5f, 0.25f);
  ExpectNear(s().groups[g].rotation, {55, -70, 30});
  Release(kL, 0.5f, 0.25f);
  Press(kR, 0.2f, 0, true, true, true);
  MoveTo(0.7f, 0);
  Release(kR, 0.7f, 0);
  ExpectNear(s().groups[g].rotation, {55, -70, -60});
  EXPECT_EQ(session.history().StepCount(), 4u);
  // Undo takes back one drag at a time.
  ASSERT_TRUE(session.Undo());
  ExpectNear(s().groups[g].rotation, {55, -70, 30});
}

TEST_F(Interaction, ModifierShortcutLastsUntilTheFirstRelease) {
  const int g = Group("G", -1, 1);
  MakeCurrent(g);
  view.SetMode(EditMode::kScaleObject);
  Press(kL, 0, 0, true, true);
  Press(kR, 0, 0, true, true);
  Release(kL, 0, 0);
  EXPECT_TRUE(view.HoldsCapture());
  // The release ended the shortcut and the drag state: moving on with the
  // right button changes neither the translation nor the scale.
  MoveTo(0, 0.5f);
  EXPECT_EQ(s().groups[g].translation, (Vec3{0, 0, 0}));
  EXPECT_EQ(s().groups[g].scale, (Vec3{1, 1, 1}));
  Release(kR, 0, 0.5f);
  EXPECT_FALSE(view.HoldsCapture());
  Release(kR, 0, 0.5f);  // a stray release is ignored
  EXPECT_EQ(session.history().StepCount(), 0u);
}

TEST_F(Interaction, CreateDragsOnlyTheSizesTheGeneratorHas) {
  view.SetMode(EditMode::kCreateObjects);
  auto param = [&](int i) {
    float v = -1;
    ReadBlockFloat(s().groups[s().selectedGroup], i, v);
    return v;
  };
  ASSERT_EQ(session.Run(CommandId::kCreateSphere1), 0);
  const float radius = param(0), resolution = param(1);
  Drag(kL, 0.5f, 0.3f);
  EXPECT_FLOAT_EQ(param(0), radius + 0.5f);
  EXPECT_EQ(param(1), resolution);  // a resolution, which no drag touches

  ASSERT_EQ(session.Run(CommandId::kCreateBlock), 0);
  const float width = param(0), depth = param(2);
  Drag(kR, 0.4f, 0.25f);
  EXPECT_EQ(param(0), width);
  EXPECT_FLOAT_EQ(param(2), depth + 1);
  // A plain mesh has nothing to size.
  const int mesh = Group("Mesh", -1, 1);
  DeselectAll(doc);
  MakeCurrent(mesh);
  session.history().Settle();
  const size_t steps = session.history().StepCount();
  Drag(kL, 0.5f, 0.5f);
  EXPECT_EQ(session.history().StepCount(), steps);
}

TEST_F(Interaction, LightAndCameraDragsFollowThePanelsMoveOrTurnChoice) {
  PanelValues& panels = session.panels();
  s().lights[2].type = kLightCone;  // both controls apply
  s().lights[2].position = {1, 2, 3};
  s().lights[2].rotation = {10, 20, 0};
  s().camera.position = {0, 0, -4};
  s().camera.rotation = {5, 6, 7};
  session.history().Settle();
  view.SetMode(EditMode::kLights);
  session.Run(CommandId::kLightEntry, EntryOfLight(2));
  panels.lightMouse = LightMouse::kPosition;
  Drag(kL, 0.5f, 0.25f);
  Drag(kR, 0.5f, 0.25f);
  ExpectNear(s().lights[2].position, {1.5f, 2.25f, 4});
  panels.lightMouse = LightMouse::kRotation;
  Drag(kL, 0.5f, 0.25f);
  ExpectNear(s().lights[2].rotation, {55, -70, 0});  // the third angle is never driven

  view.SetMode(EditMode::kCamera);
  panels.cameraMouse = CameraMouse::kPosition;
  Drag(kL, 0.5f, 0.25f);
  ExpectNear(s().camera.position, {0.5f, 0.25f, -4});
  panels.cameraMouse = CameraMouse::kRotation;
  Drag(kL, 0.5f, 0.25f);
  EXPECT_NEAR(s().camera.rotation[0], 50, 1e-3);
  EXPECT_NEAR(s().camera.rotation[1], -84, 1e-3);
  // A look-at camera aims itself: its new mode brings the move choice.
  s().camera.mode = kCameraLookAt;
  EXPECT_EQ(CameraMouseChoice(s(), panels), CameraMouse::kPosition);
  s().camera.mode = kCameraManual;

  // A light type that cannot turn is moved instead; the background entry,
  // which has no light, refuses drags.
  view.SetMode(EditMode::kLights);
  s().lights[2].type = kLightPositional;
  session.history().Settle();
  Drag(kL, 0.5f, 0.25f);
  ExpectNear(s().lights[2].position, {2, 2.5f, 4});
  panels.lightEntry = kLightListBackground;
  const KnfLight before = s().lights[2];
  const size_t steps = session.history().StepCount();
  Drag(kL, 0.5f, 0.25f);
  EXPECT_EQ(s().lights[2].position, before.position);
  EXPECT_EQ(session.history().StepCount(), steps);
}

TEST_F(Interaction, ResetViewClearsTheTurnAndTranslationButKeepsCameraLevelAndSelection) {
  int a = Group("A", -1, 0), a1 = Group("A1", -1, 0);
  test::Siblings(s(), -1, {a});
  test::Siblings(s(), a, {a1});
  view.SetMode(EditMode::kSelection);
  Click(kL, -0.5f);
  Click(kL, -0.5f);
  view.SetMode(EditMode::kTranslateView);
  Drag(kR, 0.3f, 0.5f);
  view.SetRotationTotals({30, 40, 50});
  ViewSetting& camera = doc.display.views[kViewCamera];
  camera.eye = {1, 2, 3};
  camera.lookAtGroup = a;
  view.Panels().nearOffset = 2;
  view.Panels().fieldOfView = 90;
  ASSERT_EQ(doc.display.views[kViewPerspective].rotation, (Vec3{30, 40, 50}));

  view.ResetView();
  const InteractionState fresh, &now = view.State();
  EXPECT_EQ(std::tie(now.viewTranslation, now.totalAngles, now.baseAngles),
            std::tie(fresh.viewTranslation, fresh.totalAngles, fresh.baseAngles));
  const ViewSetting& perspective = doc.display.views[kViewPerspective];
  EXPECT_EQ(std::tie(perspective.rotation, perspective.translation), std::tuple(Vec3{}, Vec3{}));
  const auto& panel = view.Panels();
  EXPECT_EQ(std::tie(panel.nearOffset, panel.farOffset, panel.fieldOfView),
            std::tuple(-12, 15, 30));
  // The camera view, the level and the selection stay.
  EXPECT_EQ(std::tie(camera.eye, camera.lookAtGroup), std::tuple(Vec3{1, 2, 3}, a));
  EXPECT_EQ(std::tie(s().levelStack, s().selectedGroup), std::tuple(Levels{a}, a1));

  Notices();
  view.SelectView(kViewRight);
  EXPECT_EQ(doc.display.currentView, kViewRight);
  EXPECT_TRUE(HasDisplayNotice(Notices()));
  view.SelectView(kViewCount);
  view.SelectView(kViewRight);
  EXPECT_EQ(doc.display.currentView, kViewRight);
  EXPECT_TRUE(Notices().empty());
}

const std::vector<unsigned> kOneSelectionNotice = {kSelectionChanged};

TEST_F(Interaction, LeftClicksNoticeEachChangeOfGroupOrLevelOnce) {
  int a = Group("A", -1, 0);
  int b = Group("B", 0, 0.5f);
  int a1 = Group("A1", -1, -0.5f);
  test::Siblings(s(), -1, {a, b});
  test::Siblings(s(), a, {a1});
  view.SetMode(EditMode::kSelection);
  Notices();

  Click(MouseButton::kLeft, -0.7f);
  EXPECT_EQ(Notices(), kOneSelectionNotice);
  Click(MouseButton::kLeft, 0.2f);
  EXPECT_EQ(Notices(), kOneSelectionNotice);
  // B again: it has no children to enter, so nothing changes.
  Click(MouseButton::kLeft, 0.2f);
  EXPECT_TRUE(Notices().empty());

  // Entering A and picking its child, then climbing out through empty
  // space: each is a change.
  Click(MouseButton::kLeft, -0.7f);
  Click(MouseButton::kLeft, -0.7f);
  ASSERT_EQ(s().selectedGroup, a1);
  EXPECT_EQ(Notices(), (std::vector<unsigned>{kSelectionChanged, kSelectionChanged}));
  Click(MouseButton::kLeft, 0.9f);
  ASSERT_EQ(s().selectedGroup, a);
  EXPECT_EQ(Notices(), kOneSelectionNotice);
  Click(MouseButton::kLeft, 0.9f);
  ASSERT_EQ(s().selectedGroup, -1);
  EXPECT_EQ(Notices(), kOneSelectionNotice);
  // Empty space with nothing selected at the top level stays as it was.
  Click(MouseButton::kLeft, 0.9f);
  EXPECT_TRUE(Notices().empty());
}

TEST_F(Interaction, RightClicksAndCtrlClicksNoticeTooButDragsDoNot) {
  int a = Group("A", -1, 0);
  int b = Group("B", 0, 0.5f);
  test::Siblings(s(), -1, {a, b});
  view.SetMode(EditMode::kSelection);
  Notices();

  Click(MouseButton::kRight, -0.5f);
  Click(MouseButton::kRight, 0.2f);
  EXPECT_EQ(Notices(), (std::vector<unsigned>{kSelectionChanged, kSelectionChanged}));
  // Taking A out of the selection leaves B current.
  Click(MouseButton::kRight, -0.5f);
  EXPECT_EQ(s().selectedGroup, b);
  EXPECT_EQ(Notices(), kOneSelectionNotice);
  Click(MouseButton::kRight, 0.9f);  // nothing there
  EXPECT_TRUE(Notices().empty());

  // Ctrl picks from another mode; the view drag of that mode sends no
  // selection notice.
  view.SetMode(EditMode::kRotateView);
  Notices();
  Click(MouseButton::kLeft, -0.5f, true);
  EXPECT_EQ(s().selectedGroup, a);
  EXPECT_EQ(Notices(), kOneSelectionNotice);
  view.ButtonDown(MouseButton::kLeft, {-0.5f, 0}, false, false, false);
  view.Move({0.2f, 0.1f});
  view.ButtonUp(MouseButton::kLeft, {0.2f, 0.1f});
  for (unsigned what : Notices())
    EXPECT_FALSE(what & kSelectionChanged);
  EXPECT_EQ(s().selectedGroup, a);
}

TEST_F(Interaction, AClickInsideACommandJoinsItsOneNotice) {
  int a = Group("A", -1, 0);
  test::Siblings(s(), -1, {a});
  view.SetMode(EditMode::kSelection);
  Notices();
  {
    ChangeBatch batch(doc);
    Click(MouseButton::kLeft, -0.5f);
    NotifyChanged(doc, kValuesChanged);
    EXPECT_TRUE(shell.changes.empty());
  }
  EXPECT_EQ(Notices(), (std::vector<unsigned>{kSelectionChanged | kValuesChanged}));
}

TEST_F(Interaction, PerspectiveSlidersReachOnlyViewsThatAreNotOrthographic) {
  view.SetPerspective(45, -3, 9);
  const ViewSetting& p = doc.display.views[kViewPerspective];
  EXPECT_EQ(std::tie(p.fieldOfView, p.nearOffset, p.farOffset), std::make_tuple(45.f, -3.f, 9.f));
  view.SelectView(kViewFront);
  view.SetPerspective(20, -1, 2);
  const ViewSetting& f = doc.display.views[kViewFront];
  EXPECT_EQ(std::tie(f.fieldOfView, f.nearOffset, f.farOffset), std::make_tuple(30.f, -12.f, 15.f));
  EXPECT_EQ(view.Panels().fieldOfView, 20);
  EXPECT_EQ(p.fieldOfView, 45);
}

}  // namespace
}  // namespace modra
