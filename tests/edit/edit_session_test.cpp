// The edit session: the command table's step policy, gestures that make
// one step of a typed value or a slider drag, fields that stand for the
// exact value they show, and edits that change nothing leaving no trace.
#include "edit/edit_session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <utility>

#include "anim/playback.h"
#include "edit/color_edits.h"
#include "edit/field_values.h"
#include "test_util.h"

namespace modra {
namespace {

const std::string kDemo = std::string(MODRA_SOURCE_DIR) + "/examples/demo.knf";

struct Session : ::testing::Test {
  RecordingShell shell;
  EditSession session{shell};
  Document& doc = session.doc();
  Scene& s = doc.scene;
  int vase = -1;

  void SetUp() override {
    ASSERT_EQ(session.Run(CommandId::kOpen, TextArgs(kDemo)), 0);
    ForEachGroup(s, s.rootHead, [&](int g) {
      if (s.groups[g].name == "Vase") vase = g;
    });
    ASSERT_NE(vase, -1);
    s.groups[vase].flags |= Selected | highlighted;
    s.selectedGroup = vase;
    shell.changes.clear();
  }
  // Each keystroke's text of `typed`, then the field finished.
  void Type(CommandId id, int index, const std::string& typed) {
    for (size_t n = 1; n <= typed.size(); ++n)
      session.FieldEdited(id, index, typed.substr(0, n), false);
    session.FieldEdited(id, index, typed, true);
  }
  unsigned Notices() {
    unsigned all = shell.AllChanges();
    shell.changes.clear();
    return all;
  }
};

TEST(CommandTable, EveryStepHasANameAndEveryNameOneCommand) {
  std::set<std::string> names;
  for (const CommandInfo& c : AllCommands()) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(names.insert(c.name).second);
    const bool step = c.policy == StepPolicy::kStep || c.policy == StepPolicy::kGesture;
    EXPECT_EQ(c.stepName != nullptr, step);
    // Only drags' names run no function of their own.
    if (!c.run) {
      EXPECT_EQ(c.policy, StepPolicy::kGesture);
    }
  }
  EXPECT_EQ(StepName(CommandId::kAppend, TextArgs("/models/cube.obj")), "Append cube.obj");
  EXPECT_EQ(StepName(CommandId::kTranslate, {}), "Translate");
}

// Typing "0.955" is one step, whatever the value was after each key, and
// one Undo brings back the value from before the first key.
TEST_F(Session, ATypedValueIsOneStepFromItsFirstKeyToReturn) {
  const float before = s.groups[vase].translation[0];
  Type(CommandId::kTranslate, 0, "0.955");
  EXPECT_EQ(s.groups[vase].translation[0], 0.955f);
  EXPECT_EQ(session.history().StepCount(), 1u);
  EXPECT_EQ(session.UndoName(), "Translate");
  EXPECT_TRUE(doc.modified);
  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(s.groups[vase].translation[0], before);
  EXPECT_FALSE(doc.modified);

  // While typing, text that is no number yet waits; finished, it is 0.
  session.FieldEdited(CommandId::kTranslate, 1, "-", false);
  EXPECT_FALSE(session.CanUndo());
  session.FieldEdited(CommandId::kTranslate, 1, "-", true);
  EXPECT_EQ(s.groups[vase].translation[1], 0.0f);
}

// A field whose text still reads as the value it shows stands for the
// exact value: Return in a field nobody typed in, or typing into X, leaves
// the other axes exactly as they were.
TEST_F(Session, AFieldShowingItsValueStandsForTheExactValue) {
  s.groups[vase].translation = {0.12345f, -0.98765f, 0.5f};
  session.history().Settle();
  const std::string shownY = FieldText(session, CommandId::kTranslate, 1);
  ASSERT_EQ(shownY, "-0.988");
  session.FieldEdited(CommandId::kTranslate, 1, shownY, true);
  EXPECT_EQ(s.groups[vase].translation[1], -0.98765f);
  EXPECT_EQ(session.history().StepCount(), 0u);
  EXPECT_FALSE(doc.modified);
  EXPECT_EQ(Notices(), 0u);

  GoToFrame(doc, 30);
  session.history().Settle();
  const size_t keys = s.anim.keys.size();
  Type(CommandId::kTranslate, 0, "2");
  EXPECT_EQ(s.groups[vase].translation, (Vec3{2, -0.98765f, 0.5f}));
  EXPECT_GT(s.anim.keys.size(), keys);  // a key at frame 30
}

// An edit with the values the document has is no edit: no step, no key,
// no modified flag and no notice, for any panel.
TEST_F(Session, AnEditWithTheCurrentValuesLeavesNoTrace) {
  GoToFrame(doc, 20);
  session.history().Settle();
  shell.changes.clear();
  const size_t keys = s.anim.keys.size();
  const std::array<float, 5> camera = CameraFieldValues(CameraPanelFields(s));
  for (int i = 0; i < 5; ++i) {
    char exact[32];
    std::snprintf(exact, sizeof exact, "%.9g", static_cast<double>(camera[i]));
    EXPECT_NE(session.Run(CommandId::kMoveCamera, FieldArgs(i, exact)), 0) << exact;
  }
  EXPECT_FALSE(SetCameraFields(session.layer(), CameraPanelFields(s)));
  const ColorSliders color = ColorPanelSliders(s);
  s.groups[vase].color[1] = static_cast<float>(color.green) / 1000;
  session.history().Settle();
  EXPECT_NE(session.Run(CommandId::kColor, SliderArgs(1, color.green)), 0);
  EXPECT_NE(session.Run(CommandId::kLightType, RadioOfLightType(s.lights[1].type)), 0);
  EXPECT_EQ(s.anim.keys.size(), keys);
  EXPECT_EQ(session.history().StepCount(), 0u);
  EXPECT_FALSE(doc.modified);
  EXPECT_EQ(Notices(), 0u);
}

// A slider held and moved is one step; the step opens at the first move,
// so a press and release without one leaves none.
TEST_F(Session, ASliderDragIsOneStep) {
  const Vec3 before = s.groups[vase].color;
  session.BeginGesture();
  session.EndGesture();
  session.BeginGesture();
  for (int position : {100, 300, 500, 700})
    session.Run(CommandId::kColor, SliderArgs(0, position));
  EXPECT_TRUE(session.CanUndo());
  EXPECT_EQ(session.UndoName(), "Color");
  session.EndGesture();
  EXPECT_EQ(session.history().StepCount(), 1u);
  EXPECT_FLOAT_EQ(s.groups[vase].color[0], 0.7f);
  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(s.groups[vase].color, before);
}

// Anything else that happens to the document closes the open gesture
// first, so a step takes in nothing its gesture did not do.
TEST_F(Session, ACommandOrUndoClosesTheGestureFirst) {
  const float x = s.groups[vase].translation[0];
  session.FieldEdited(CommandId::kTranslate, 0, "1.5", false);
  EXPECT_EQ(session.UndoName(), "Translate");
  EXPECT_FALSE(session.CanRedo());
  ASSERT_EQ(session.Run(CommandId::kReverseNormals), 0);
  EXPECT_EQ(session.history().StepCount(), 2u);
  EXPECT_EQ(session.UndoName(), "Reverse Normals");
  ASSERT_TRUE(session.Undo());
  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(s.groups[vase].translation[0], x);

  // Undo with a field open takes back the field's edit.
  session.FieldEdited(CommandId::kScale, 2, "3", false);
  ASSERT_TRUE(session.CanUndo());
  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(s.groups[vase].scale[2], 1.0f);
  // A frame moved by the animation bar is no step and closes the gesture.
  session.FieldEdited(CommandId::kScale, 2, "4", false);
  session.Run(CommandId::kFrameBox, TextArgs("15"));
  EXPECT_EQ(s.anim.currentFrame, 15);
  EXPECT_EQ(session.history().StepCount(), 1u);
  EXPECT_EQ(session.UndoName(), "Scale");
}

// Whatever a create button makes (a primitive, an extrusion, a surface of
// revolution) is current and selected, and the panels act on it at once.
TEST_F(Session, EveryCreatedGroupIsCurrentAndSelected) {
  for (CommandId id :
       {CommandId::kCreateExtrusion, CommandId::kCreateRevolution, CommandId::kCreateBlock}) {
    SCOPED_TRACE(Info(id).name);
    ASSERT_EQ(session.Run(id), 0);
    const int g = s.selectedGroup;
    ASSERT_TRUE(IsLiveGroup(s, g));
    EXPECT_TRUE(s.groups[g].flags & Selected);
    ASSERT_EQ(session.Run(CommandId::kTranslate, FieldArgs(0, "0.5")), 0);
    EXPECT_EQ(s.groups[g].translation[0], 0.5f);
    EXPECT_FALSE(s.groups[vase].flags & Selected);
  }
}

// Append goes back to frame 0, and Append, Open and New forget how the old
// scene was turned and moved in the view, as Reset View does.
TEST_F(Session, AppendRewindsAndNewScenesStartFromAFreshView) {
  ViewInteraction& view = session.interaction();
  const auto turn = [&] {
    view.SetMode(EditMode::kRotateView);
    view.ButtonDown(MouseButton::kLeft, {0, 0}, false, false, false);
    view.Move({0.4f, 0.2f});
    view.ButtonUp(MouseButton::kLeft, {0.4f, 0.2f});
    ASSERT_NE(view.State().totalAngles, (Vec3{0, 0, 0}));
  };
  session.Run(CommandId::kFrameBox, TextArgs("30"));
  turn();
  ASSERT_EQ(session.Run(CommandId::kAppend, TextArgs(test::TestData("models/obj/box.obj"))), 0);
  EXPECT_EQ(s.anim.currentFrame, 0);
  EXPECT_EQ(view.State().totalAngles, (Vec3{0, 0, 0}));
  turn();
  ASSERT_EQ(session.Run(CommandId::kOpen, TextArgs(kDemo)), 0);
  EXPECT_EQ(view.State().totalAngles, (Vec3{0, 0, 0}));
  turn();
  ASSERT_EQ(session.Run(CommandId::kNew), 0);
  EXPECT_EQ(view.State().totalAngles, (Vec3{0, 0, 0}));
  EXPECT_EQ(doc.display.views[kViewPerspective].rotation, (Vec3{0, 0, 0}));
}

// A panel starts afresh when its mode is entered; the current light and the
// perspective values carry over.
TEST_F(Session, EnteringAModeStartsItsPanelAfresh) {
  ViewInteraction& view = session.interaction();
  PanelValues& p = session.panels();
  view.SetMode(EditMode::kTranslateObject);
  session.Run(CommandId::kLockAxis, SliderArgs(LockIndex(TransformPanel::kTranslation, 1), 1));
  view.SetMode(EditMode::kLights);
  session.Run(CommandId::kLightEntry, EntryOfLight(3));
  session.Run(CommandId::kLightEntry, kLightListBackground);
  session.Run(CommandId::kLightMouse, 1);
  session.Run(CommandId::kViewSlider, SliderArgs(0, 600));
  view.SetMode(EditMode::kTranslateObject);
  EXPECT_FALSE(p.locks[static_cast<size_t>(TransformPanel::kTranslation)][1]);
  view.SetMode(EditMode::kLights);
  EXPECT_EQ(p.lightEntry, EntryOfLight(3));
  EXPECT_EQ(p.lightMouse, LightMouse::kRotation);
  EXPECT_EQ(p.fieldOfView, 60.0f);
}

TEST_F(Session, StepsTellTheWindowAndSavingMarksThePointWhereNothingIsModified) {
  test::TempDir dir;
  Type(CommandId::kRotate, 1, "45");
  EXPECT_TRUE(Notices() & kHistoryChanged);
  ASSERT_EQ(session.Run(CommandId::kSaveAs, TextArgs(dir / "saved")), 0);
  EXPECT_EQ(doc.name, dir / "saved.knf");
  EXPECT_FALSE(doc.modified);
  Type(CommandId::kRotate, 1, "90");
  EXPECT_TRUE(doc.modified);
  ASSERT_TRUE(session.Undo());
  EXPECT_FALSE(doc.modified);
  // Display switches and panel choices are no steps and modify nothing.
  Notices();
  for (CommandId id : {CommandId::kWireFrame, CommandId::kShowNormals, CommandId::kShowDisabled,
                       CommandId::kDrawAsBox})
    session.Run(id);
  EXPECT_EQ(doc.display.displayMode, 0);
  EXPECT_TRUE(s.groups[vase].flags & drawAsBox);
  EXPECT_TRUE(Notices() & kDisplayChanged);
  session.Run(CommandId::kLockAxis, SliderArgs(LockIndex(TransformPanel::kScale, 1), 1));
  EXPECT_TRUE(session.panels().locks[static_cast<size_t>(TransformPanel::kScale)][1]);
  EXPECT_EQ(Notices(), static_cast<unsigned>(kPanelChanged));
  EXPECT_FALSE(doc.modified);
  EXPECT_TRUE(session.CanRedo());  // no step dropped the one undone
}

}  // namespace
}  // namespace modra
