// The surface editor's commands on a real group: every change reaches the
// group's block and geometry at once.
#include <gtest/gtest.h>

#include <vector>

#include "geometry/revolution.h"
#include "profile/surf_editor.h"
#include "profile_editor_test_util.h"
#include "test_util.h"

namespace modra {
namespace {

constexpr ProfileEditorKind kSurf = ProfileEditorKind::kSurface;

struct SurfFixture {
  Document doc;
  RecordingShell shell;
  SurfEditor ed;
  int g = -1;

  SurfFixture() {
    g = CreateRevolution(doc);
    EXPECT_TRUE(OpenSurfEditor(ed, doc.scene, g));
  }
  Scene& s() { return doc.scene; }
  unsigned Press(float x, float y, PaneButton b = PaneButton::kLeft, bool ctrl = false) {
    return SurfPress(ed, ProfileToWindowX(kSurf, x), y, b, ctrl);
  }
  unsigned PressPoint(int i, PaneButton b = PaneButton::kLeft, bool ctrl = false) {
    return Press(ed.profile.points[2 * i], ed.profile.points[2 * i + 1], b, ctrl);
  }
  RevolutionProfile InGroup() {
    RevolutionProfile p;
    EXPECT_TRUE(GetRevolutionProfile(s(), g, p));
    return p;
  }
  RevolutionParams Params() {
    RevolutionParams p;
    EXPECT_TRUE(GetRevolutionParams(s(), g, p));
    return p;
  }
};

TEST(ProfileSurfEditor, PressPicksTheFirstOverlappingPointWithinTheSmallerReach) {
  SurfFixture f;
  EXPECT_EQ(f.ed.fileName, "new.surf");
  EXPECT_EQ(f.ed.params.steps, 30);
  f.ed.profile.points[8] = f.ed.profile.points[12] + 0.01f;  // point 4 beside point 6
  f.ed.profile.points[9] = f.ed.profile.points[13];
  f.PressPoint(6);
  EXPECT_EQ(f.ed.profile.current, 4);
  // Beyond the surface editor's reach, though within the extrusion's.
  const float x = f.ed.profile.points[2] + 0.018f, y = f.ed.profile.points[3];
  EXPECT_EQ(f.Press(x, y), kPaneSelection);  // empty space
  EXPECT_EQ(f.ed.profile.current, -1);
  // The 3D view takes the first two thirds.
  EXPECT_EQ(SurfPress(f.ed, 0.3f, y, PaneButton::kLeft, false), kPaneNothing);
}

TEST(ProfileSurfEditor, CtrlClickOfTheOnlySelectedPointEmptiesThePointFields) {
  SurfFixture f;
  f.PressPoint(2);
  SurfRelease(f.ed);
  const std::vector<float>& pts = f.ed.profile.points;
  EXPECT_EQ(PointFields(pts.data(), 8, f.ed.profile.current).x, NumberFieldText(pts[4], 3));
  f.PressPoint(2, PaneButton::kLeft, true);
  EXPECT_EQ(f.ed.profile.current, -1);
  EXPECT_EQ(PointFields(pts.data(), 8, f.ed.profile.current).x, "");
  EXPECT_EQ(PointFields(pts.data(), 8, f.ed.profile.current).y, "");
  EXPECT_FALSE(SurfPointField(f.ed, f.s(), 0, "0.5"));
  EXPECT_FALSE(SurfToggleCorner(f.ed, f.s()));
}

TEST(ProfileSurfEditor, ControlBarShowsTheSweepAndTheCurrentPoint) {
  SurfFixture f;
  SurfControls c = SurfControlValues(f.ed);
  EXPECT_EQ(c.degrees, "360.00");
  EXPECT_EQ(c.steps, "30");
  EXPECT_EQ(c.deltaY, "0.000");
  EXPECT_EQ(c.radiusScale, "1.000");
  EXPECT_EQ(c.pointX, "");
  EXPECT_FALSE(c.corner || c.caps);
  f.PressPoint(2);  // (0.5, 0.75), a corner of the cup
  SurfToggleCaps(f.ed, f.s());
  SurfStepsField(f.ed, f.s(), "-5");
  c = SurfControlValues(f.ed);
  EXPECT_EQ(c.pointX, "0.500");
  EXPECT_EQ(c.pointY, "0.750");
  EXPECT_TRUE(c.corner);
  EXPECT_TRUE(c.caps);
  EXPECT_EQ(c.steps, "4");
  f.PressPoint(1);  // (0.24, 0.375), no corner
  EXPECT_FALSE(SurfControlValues(f.ed).corner);
}

TEST(ProfileSurfEditor, PointsStayOnTheirSideOfTheAxis) {
  SurfFixture f;
  f.PressPoint(3);
  std::optional<FieldRead<float>> read = SurfPointField(f.ed, f.s(), 0, "-0.25");
  ASSERT_TRUE(read);
  EXPECT_FALSE(read->marked);
  EXPECT_EQ(read->value, 0.0f);
  EXPECT_EQ(f.InGroup().points[6], 0.0f);
  ASSERT_TRUE(SurfPointField(f.ed, f.s(), 1, "-0.25"));  // y may go anywhere
  EXPECT_EQ(f.InGroup().points[7], -0.25f);
  read = SurfPointField(f.ed, f.s(), 0, "abc");
  EXPECT_TRUE(read->marked);
  EXPECT_EQ(f.InGroup().points[6], 0.0f);
  // Dragged across the axis, points stop at it; the others keep their
  // distances.
  SurfSelectAll(f.ed);
  const std::vector<float> before = f.ed.profile.points;
  f.PressPoint(2);
  SurfMove(f.ed, f.s(), ProfileToWindowX(kSurf, before[4] - 0.2f), before[5]);
  SurfRelease(f.ed);
  const RevolutionProfile group = f.InGroup();
  for (int i = 0; i < 8; ++i)
    EXPECT_NEAR(group.points[2 * i], std::max(before[2 * i] - 0.2f, 0.0f), 1e-5f) << i;
}

TEST(ProfileSurfEditor, SweepFieldsReachTheBlockWithStepsHeldToUsableCounts) {
  SurfFixture f;
  struct Case {
    const char* text;
    int steps;
  };
  for (const Case& c : {Case{"12", 12}, Case{"-5", 4}, Case{"5000", 2000}, Case{"0", 2},
                        Case{"1", 2}, Case{"abc", 2}}) {
    const FieldRead<int> read = SurfStepsField(f.ed, f.s(), c.text);
    EXPECT_EQ(read.value, c.steps) << c.text;
    EXPECT_EQ(f.Params().steps, c.steps) << c.text;
    // Each segment's strip has two vertices a step.
    EXPECT_EQ(f.s().groups[f.g].primitives[0].vertexCount, 2 * c.steps) << c.text;
  }
  EXPECT_FALSE(SurfDegreesField(f.ed, f.s(), "180").marked);
  EXPECT_TRUE(SurfDegreesField(f.ed, f.s(), "abc").marked);
  EXPECT_EQ(f.Params().degrees, 180.0f);
  EXPECT_FALSE(SurfDeltaYField(f.ed, f.s(), "0.5").marked);
  EXPECT_FALSE(SurfRadiusScaleField(f.ed, f.s(), "2").marked);
  EXPECT_TRUE(SurfRadiusScaleField(f.ed, f.s(), "").marked);
  EXPECT_EQ(f.Params().deltaY, 0.5f);
  EXPECT_EQ(f.Params().radiusScale, 2.0f);
  EXPECT_EQ(f.s().groups[f.g].name, "Surface of Revolution");
}

TEST(ProfileSurfEditor, AddCutAndCapsRebuildTheGroup) {
  SurfFixture f;
  f.PressPoint(7);
  f.PressPoint(0, PaneButton::kRight);  // the last and the first are neighbours
  EXPECT_EQ(SurfAddPoint(f.ed, f.s(), f.shell), 8);
  EXPECT_EQ(f.ed.profile.current, 8);
  RevolutionProfile group = f.InGroup();
  ASSERT_EQ(group.corners.size(), 9u);
  EXPECT_FLOAT_EQ(group.points[17], (group.points[1] + group.points[15]) / 2);
  EXPECT_EQ(f.s().groups[f.g].primitives.size(), 9u);

  f.PressPoint(1);
  f.PressPoint(3, PaneButton::kLeft, true);
  EXPECT_EQ(SurfAddPoint(f.ed, f.s(), f.shell), -1);
  EXPECT_EQ(f.shell.messages,
            std::vector<std::string>{"Need to have two adjacent points selected add a point"});
  SurfCutPoints(f.ed, f.s());
  EXPECT_EQ(f.ed.profile.current, -1);
  EXPECT_EQ(f.InGroup().corners.size(), 7u);
  EXPECT_EQ(f.s().groups[f.g].primitives.size(), 7u);

  SurfDegreesField(f.ed, f.s(), "180");
  SurfToggleCaps(f.ed, f.s());
  EXPECT_EQ(f.InGroup().flags, kCapEnds);
  EXPECT_GT(f.s().groups[f.g].primitives.size(), 7u);
  SurfToggleCaps(f.ed, f.s());
  EXPECT_EQ(f.s().groups[f.g].primitives.size(), 7u);
}

TEST(ProfileSurfEditor, SaveAsAppendsTheEndingAndReopeningRebuildsTheSameGroup) {
  test::TempDir dir;
  SurfFixture f;
  f.PressPoint(1);
  SurfToggleCorner(f.ed, f.s());
  SurfPointField(f.ed, f.s(), 1, "0.4");
  SurfDegreesField(f.ed, f.s(), "270");
  SurfStepsField(f.ed, f.s(), "17");
  SurfToggleCaps(f.ed, f.s());
  ASSERT_EQ(SurfSaveAs(f.ed, dir / "vase", f.shell), 0);
  EXPECT_EQ(f.ed.fileName, dir / "vase.surf");
  ASSERT_EQ(SurfSaveAs(f.ed, dir / "cup.surf", f.shell), 0);
  EXPECT_EQ(f.ed.fileName, dir / "cup.surf");
  EXPECT_EQ(dir.Entries(), 2);

  // The file keeps the points and corners; the sweep is the editor's.
  SurfFixture g;
  SurfDegreesField(g.ed, g.s(), "270");
  SurfStepsField(g.ed, g.s(), "17");
  SurfToggleCaps(g.ed, g.s());
  ASSERT_EQ(SurfOpen(g.ed, g.s(), dir / "vase.surf", g.shell), 0);
  EXPECT_EQ(g.ed.fileName, dir / "vase.surf");
  EXPECT_EQ(g.s().groups[g.g].generatorParams, f.s().groups[f.g].generatorParams);
  test::ExpectSameGeometry(g.s().groups[g.g], f.s().groups[f.g]);

  SurfNew(g.ed, g.s());
  EXPECT_EQ(g.ed.fileName, "new.surf");
  EXPECT_EQ(g.InGroup().flags, 0);
  EXPECT_EQ(g.Params().degrees, 270.0f);  // New resets the profile only
  EXPECT_EQ(SurfOpen(g.ed, g.s(), dir / "none.surf", g.shell), -1);
  EXPECT_EQ(g.ed.fileName, "new.surf");
  EXPECT_EQ(g.shell.messages.size(), 1u);
}

}  // namespace
}  // namespace modra
