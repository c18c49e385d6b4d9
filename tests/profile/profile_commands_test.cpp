// The profile editors' commands in a session: each change of the edited
// group is one undo step (a drag from press to release, a value typed),
// selecting is none, and the editors follow their groups through undo and
// close when the group goes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "edit/edit_session.h"
#include "edit/field_values.h"
#include "edit/profile_commands.h"
#include "geometry/extrusion.h"
#include "geometry/revolution.h"

namespace modra {
namespace {

constexpr ProfileEditorKind kExt = ProfileEditorKind::kExtrusion;
constexpr ProfileEditorKind kSurf = ProfileEditorKind::kSurface;
constexpr int kExtIndex = 0, kSurfIndex = 1;

struct ProfileSession {
  RecordingShell shell;
  EditSession session{shell};
  Scene& s = session.doc().scene;
  ExtEditor& ext = session.profiles().ext;
  SurfEditor& surf = session.profiles().surf;

  ExtrusionProfile ExtInGroup() {
    ExtrusionProfile p;
    EXPECT_TRUE(GetExtrusionProfile(s, ext.group, p));
    return p;
  }
  // Presses on point i of the extrusion editor's profile.
  void PressExt(int i, PaneButton button = PaneButton::kLeft, bool ctrl = false) {
    ProfilePress(session, kExt, ProfileToWindowX(kExt, ext.profile.points[2 * i]),
                 ext.profile.points[2 * i + 1], button, ctrl);
  }
  void Type(int field, const std::string& text) {
    for (size_t n = 1; n <= text.size(); ++n)
      session.FieldEdited(CommandId::kProfileField, field, text.substr(0, n), false);
    session.FieldEdited(CommandId::kProfileField, field, text, true);
  }
};

TEST(ProfileCommands, CreatingOpensTheEditorAndEachEditIsOneUndoStep) {
  ProfileSession p;
  EXPECT_FALSE(CommandEnabled(p.session, CommandId::kProfileAddHole));
  EXPECT_EQ(p.session.Run(CommandId::kProfileAddHole), -1);
  ASSERT_EQ(p.session.Run(CommandId::kCreateExtrusion), 0);
  ASSERT_EQ(p.ext.group, p.s.selectedGroup);
  EXPECT_TRUE(CommandEnabled(p.session, CommandId::kProfileAddHole));
  const size_t steps = p.session.history().StepCount();

  ASSERT_EQ(p.session.Run(CommandId::kProfileAddHole), 0);
  EXPECT_EQ(p.session.history().StepCount(), steps + 1);
  EXPECT_EQ(p.session.UndoName(), "Add Hole");
  EXPECT_EQ(p.ExtInGroup().pointCounts.size(), 2u);
  EXPECT_TRUE(p.session.doc().modified);

  // Selecting is no step; cutting is one, and Undo gives the points back
  // to the group and the editor alike.
  const std::vector<float> before = p.ext.profile.points;
  EXPECT_EQ(p.session.Run(CommandId::kProfileSelectAll, kExtIndex), 0);
  EXPECT_EQ(p.session.history().StepCount(), steps + 1);
  ASSERT_EQ(p.session.Run(CommandId::kProfileCut, kExtIndex), 0);
  EXPECT_EQ(p.session.UndoName(), "Cut Selected Points");
  EXPECT_LT(p.ExtInGroup().points.size(), before.size());
  ASSERT_TRUE(p.session.Undo());
  EXPECT_EQ(p.ExtInGroup().points, before);
  EXPECT_EQ(p.ext.profile.points, before);
  EXPECT_EQ(p.ext.current, -1);
  ASSERT_TRUE(p.session.Undo());
  EXPECT_EQ(p.ExtInGroup().pointCounts.size(), 1u);
  EXPECT_EQ(p.ext.profile.pointCounts.size(), 1u);
  ASSERT_TRUE(p.session.Redo());
  EXPECT_EQ(p.ext.profile.pointCounts.size(), 2u);
  // Refusals leave no step.
  const size_t now = p.session.history().StepCount();
  EXPECT_EQ(p.session.Run(CommandId::kProfileRemoveHole), -1);
  EXPECT_EQ(p.shell.messages.back(), "Need to select entire hole to remove it");
  EXPECT_EQ(p.session.history().StepCount(), now);
}

TEST(ProfileCommands, DragFromPressToReleaseIsOneStep) {
  ProfileSession p;
  ASSERT_EQ(p.session.Run(CommandId::kCreateExtrusion), 0);
  const size_t steps = p.session.history().StepCount();
  const float x = p.ext.profile.points[0], y = p.ext.profile.points[1];
  p.PressExt(0);
  for (int k = 1; k <= 3; ++k)
    ProfileMove(p.session, kExt, ProfileToWindowX(kExt, x + 0.1f * static_cast<float>(k)), y);
  ProfileRelease(p.session, kExt);
  EXPECT_NEAR(p.ExtInGroup().points[0], x + 0.3f, 1e-5f);
  EXPECT_EQ(p.session.history().StepCount(), steps + 1);
  EXPECT_EQ(p.session.UndoName(), "Move Points");
  ASSERT_TRUE(p.session.Undo());
  EXPECT_EQ(p.ExtInGroup().points[0], x);
  EXPECT_EQ(p.ext.profile.points[0], x);
  // The selection survives undo when the points are the same ones.
  EXPECT_EQ(p.ext.current, 0);
  EXPECT_EQ(p.ext.profile.selected[0], 1);

  // A rubber band is no step.
  ProfilePress(p.session, kExt, ProfileToWindowX(kExt, -0.9f), -0.9f, PaneButton::kLeft, false);
  ProfileMove(p.session, kExt, ProfileToWindowX(kExt, 0.9f), 0.9f);
  ProfileRelease(p.session, kExt);
  EXPECT_EQ(p.ext.profile.selected, std::vector<uint8_t>(24, 1));
  EXPECT_EQ(p.session.history().StepCount(), steps + 1);
  EXPECT_EQ(p.session.RedoName(), "Move Points");  // a new step would drop it
}

TEST(ProfileCommands, TypedValuesAreOneStepAndTextThatIsNoNumberChangesNothing) {
  ProfileSession p;
  ASSERT_EQ(p.session.Run(CommandId::kCreateRevolution), 0);
  ASSERT_EQ(p.surf.group, p.s.selectedGroup);
  const int steps = static_cast<int>(ProfileField::kSteps);
  EXPECT_EQ(FieldText(p.session, CommandId::kProfileField, steps), "30");
  const size_t before = p.session.history().StepCount();
  p.Type(steps, "-5");
  EXPECT_EQ(FieldText(p.session, CommandId::kProfileField, steps), "4");
  RevolutionParams params;
  ASSERT_TRUE(GetRevolutionParams(p.s, p.surf.group, params));
  EXPECT_EQ(params.steps, 4);
  EXPECT_EQ(p.session.history().StepCount(), before + 1);
  p.Type(steps, "abc");
  EXPECT_EQ(p.session.history().StepCount(), before + 1);
  EXPECT_EQ(p.surf.params.steps, 4);
  ASSERT_TRUE(p.session.Undo());
  EXPECT_EQ(p.surf.params.steps, 30);
  EXPECT_EQ(FieldText(p.session, CommandId::kProfileField, steps), "30");
  // The point fields are empty without a current point, and typing there
  // changes nothing.
  const int x = static_cast<int>(ProfileField::kSurfPointX);
  EXPECT_EQ(FieldText(p.session, CommandId::kProfileField, x), "");
  p.Type(x, "0.5");
  EXPECT_EQ(p.session.history().StepCount(), before + 1);
  EXPECT_TRUE(p.session.CanRedo());
  // The other editor's fields are empty while it is closed.
  EXPECT_EQ(FieldText(p.session, CommandId::kProfileField, 0), "");
}

TEST(ProfileCommands, EditGeometryOpensTheEditorOfTheCurrentGroupsKind) {
  ProfileSession p;
  ASSERT_EQ(p.session.Run(CommandId::kCreateExtrusion), 0);
  const int extrusion = p.s.selectedGroup;
  ASSERT_EQ(p.session.Run(CommandId::kCreateRevolution), 0);
  const int surface = p.s.selectedGroup;
  ASSERT_EQ(p.session.Run(CommandId::kCreateBlock), 0);
  EXPECT_FALSE(CommandEnabled(p.session, CommandId::kEditGeometry));
  EXPECT_EQ(p.session.Run(CommandId::kEditGeometry), -1);
  p.ext = ExtEditor{};
  p.surf = SurfEditor{};
  p.s.selectedGroup = extrusion;
  EXPECT_TRUE(CommandEnabled(p.session, CommandId::kEditGeometry));
  ASSERT_EQ(p.session.Run(CommandId::kEditGeometry), 0);
  EXPECT_EQ(p.ext.group, extrusion);
  EXPECT_EQ(p.surf.group, -1);
  p.s.selectedGroup = surface;
  ASSERT_EQ(p.session.Run(CommandId::kEditGeometry), 0);
  EXPECT_EQ(p.surf.group, surface);
  EXPECT_EQ(p.ext.group, extrusion);
}

TEST(ProfileCommands, AnEditorClosesWhenItsGroupGoes) {
  ProfileSession p;
  ASSERT_EQ(p.session.Run(CommandId::kCreateRevolution), 0);
  ASSERT_EQ(p.session.Run(CommandId::kCreateExtrusion), 0);
  EXPECT_TRUE(CommandEnabled(p.session, CommandId::kProfileCaps));
  ASSERT_EQ(p.session.Run(CommandId::kNew), 0);
  EXPECT_EQ(p.ext.group, -1);
  EXPECT_EQ(p.surf.group, -1);
  EXPECT_FALSE(CommandEnabled(p.session, CommandId::kProfileCaps));
  EXPECT_FALSE(CommandEnabled(p.session, CommandId::kProfileCut));
  EXPECT_EQ(p.session.Run(CommandId::kProfileCut, kSurfIndex), -1);
  EXPECT_EQ(ProfilePress(p.session, kSurf, 0.9f, 0, PaneButton::kLeft, false), kPaneNothing);
}

TEST(ProfileCommands, ThePanesViewAndTheEditorsClosingAreNoStepsAndKeepTheGroup) {
  ProfileSession p;
  ASSERT_EQ(p.session.Run(CommandId::kCreateExtrusion), 0);
  const int group = p.ext.group;
  const size_t steps = p.session.history().StepCount();
  ZoomProfilePane(p.session, kExt, 0.5f, 0.5f, 2);
  EXPECT_FLOAT_EQ(p.ext.view.scale, kPaneZoomPerNotch * kPaneZoomPerNotch);
  // A pan by a window motion moves the pane by as much on the screen.
  const float before = p.ext.view.offset.x;
  PanProfilePane(p.session, kExt, 0.25f, 0);
  EXPECT_NEAR(p.ext.view.offset.x - before, 0.5f, 1e-6f);  // the pane is half the window
  SetProfileSnap(p.session, kExt, true);
  EXPECT_TRUE(ProfileSnap(p.session, kExt));
  // A press lands on the point drawn under it, zoomed or not.
  const PanePoint shown =
      ProfileToShown(p.ext.view, {p.ext.profile.points[4], p.ext.profile.points[5]});
  ProfilePress(p.session, kExt, ProfileToWindowX(kExt, shown.x), shown.y, PaneButton::kLeft, false);
  EXPECT_EQ(p.ext.current, 2);
  ProfileRelease(p.session, kExt);
  EXPECT_EQ(p.session.history().StepCount(), steps);

  CloseProfileEditor(p.session, kExt);
  EXPECT_EQ(p.ext.group, -1);
  EXPECT_TRUE(IsLiveGroup(p.s, group));
  EXPECT_EQ(p.session.history().StepCount(), steps);
}

TEST(ProfileCommands, DraggingAParameterIsOneStepAndTypedTextReadsWithTheFieldsLimits) {
  ProfileSession p;
  ASSERT_EQ(p.session.Run(CommandId::kCreateRevolution), 0);
  const size_t steps = p.session.history().StepCount();
  const int field = static_cast<int>(ProfileField::kSteps);
  p.session.BeginGesture();
  for (float dx : {0.1f, 0.2f, 0.5f})
    DragProfileField(p.session, ProfileField::kSteps, 30, dx);
  p.session.EndGesture();
  EXPECT_EQ(p.surf.params.steps,
            30 + std::lround(0.5f * ProfileFieldDragRate(ProfileField::kSteps)));
  EXPECT_EQ(p.session.history().StepCount(), steps + 1);
  // Far below, the count is held where the generator can still work.
  DragProfileField(p.session, ProfileField::kSteps, 30, -100);
  EXPECT_EQ(p.surf.params.steps, kNegativeSteps);

  EXPECT_EQ(ProfileFieldReading(field, "1"), float(kLeastSteps));
  EXPECT_EQ(ProfileFieldReading(field, "5000"), float(kMostSteps));
  EXPECT_EQ(ProfileFieldReading(field, "2.5"), std::nullopt);
  EXPECT_EQ(ProfileFieldReading(static_cast<int>(ProfileField::kSurfPointX), "-0.3"), 0.0f);
  EXPECT_EQ(ProfileFieldReading(static_cast<int>(ProfileField::kDepth), "abc"), std::nullopt);
}

}  // namespace
}  // namespace modra
