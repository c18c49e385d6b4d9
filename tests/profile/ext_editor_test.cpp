// The extrusion editor's commands on a real group: every change reaches the
// group's block and geometry at once.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "geometry/extrusion.h"
#include "profile/ext_editor.h"
#include "profile_editor_test_util.h"
#include "test_util.h"

namespace modra {
namespace {

constexpr ProfileEditorKind kExt = ProfileEditorKind::kExtrusion;

struct ExtFixture {
  Document doc;
  RecordingShell shell;
  ExtEditor ed;
  int g = -1;

  ExtFixture() {
    g = CreateExtrusion(doc);
    EXPECT_TRUE(OpenExtEditor(ed, doc.scene, g));
  }
  Scene& s() { return doc.scene; }
  // A press at profile point (x, y), through the window's coordinates.
  unsigned Press(float x, float y, PaneButton b = PaneButton::kLeft, bool ctrl = false) {
    return ExtPress(ed, ProfileToWindowX(kExt, x), y, b, ctrl);
  }
  unsigned PressPoint(int i, PaneButton b = PaneButton::kLeft, bool ctrl = false) {
    return Press(ed.profile.points[2 * i], ed.profile.points[2 * i + 1], b, ctrl);
  }
  ExtrusionProfile InGroup() {
    ExtrusionProfile p;
    EXPECT_TRUE(GetExtrusionProfile(s(), g, p));
    return p;
  }
};

TEST(ProfileExtEditor, OpensOnTheGroupsProfileAndKeepsItsName) {
  ExtFixture f;
  const ExtrusionProfile group = f.InGroup();
  EXPECT_EQ(f.ed.profile.points, group.points);
  EXPECT_EQ(f.ed.profile.depth, group.depth);
  EXPECT_EQ(f.ed.fileName, "new.ext");
  EXPECT_EQ(f.ed.current, -1);
  // Anything but a readable extrusion is refused.
  ExtEditor other;
  EXPECT_FALSE(OpenExtEditor(other, f.s(), -1));
  const int block = NewGroup(f.s(), "plain");
  EXPECT_FALSE(OpenExtEditor(other, f.s(), block));
  EXPECT_EQ(other.group, -1);

  // Rebuilding keeps the group's name.
  ExtToggleBevel(f.ed, f.s(), kBevelFront);
  EXPECT_EQ(f.InGroup().flags, kBevelBack);
  EXPECT_EQ(f.s().groups[f.g].name, "Extrusion");
}

TEST(ProfileExtEditor, PressInThePanePicksTheFirstOfOverlappingPointsOutlineBeforeHoles) {
  ExtFixture f;
  ASSERT_EQ(ExtAddHole(f.ed, f.s(), f.shell), 0);
  const int hole = f.ed.profile.pointCounts[0];
  // Outline point 5 and the hole's first point under one another.
  f.ed.profile.points[10] = f.ed.profile.points[2 * hole] + 0.005f;
  f.ed.profile.points[11] = f.ed.profile.points[2 * hole + 1];
  f.ed.profile.points[2 * (hole + 1) + 1] = f.ed.profile.points[2 * hole + 1] + 0.01f;
  EXPECT_EQ(f.PressPoint(hole), kPaneSelection);
  EXPECT_EQ(f.ed.current, 5);
  f.PressPoint(hole + 1);  // nearer the hole's second point than anything earlier
  EXPECT_EQ(f.ed.current, hole + 1);
  // The left half is the 3D view's.
  EXPECT_EQ(ExtPress(f.ed, -0.5f, 0, PaneButton::kLeft, false), kPaneNothing);
  EXPECT_EQ(f.ed.current, hole + 1);
}

TEST(ProfileExtEditor, DraggingAPointRebuildsTheGroupAsItGoes) {
  ExtFixture f;
  const float x0 = f.ed.profile.points[0], y0 = f.ed.profile.points[1];
  f.PressPoint(0);
  const unsigned moved = ExtMove(f.ed, f.s(), ProfileToWindowX(kExt, x0 + 0.25f), y0 - 0.5f);
  EXPECT_EQ(moved, kPanePoints);
  ExtRelease(f.ed);
  const ExtrusionProfile group = f.InGroup();
  EXPECT_NEAR(group.points[0], x0 + 0.25f, 1e-5f);
  EXPECT_NEAR(group.points[1], y0 - 0.5f, 1e-5f);
  EXPECT_NEAR(f.s().groups[f.g].bboxMax[0], x0 + 0.25f, 1e-5f);
}

TEST(ProfileExtEditor, AddPointBetweenTwoSelectedPointsMakesItCurrent) {
  ExtFixture f;
  const size_t before = f.ed.profile.corners.size();
  f.PressPoint(3);
  f.PressPoint(4, PaneButton::kRight);
  EXPECT_EQ(ExtAddPoint(f.ed, f.s(), f.shell), 4);
  EXPECT_EQ(f.ed.current, 4);
  const ExtrusionProfile group = f.InGroup();
  ASSERT_EQ(group.corners.size(), before + 1);
  EXPECT_FLOAT_EQ(group.points[8], (group.points[6] + group.points[10]) / 2);
  EXPECT_FLOAT_EQ(group.points[9], (group.points[7] + group.points[11]) / 2);
  // Two points that are no neighbours: the reason, and no change.
  f.PressPoint(0);
  f.PressPoint(2, PaneButton::kLeft, true);
  EXPECT_EQ(ExtAddPoint(f.ed, f.s(), f.shell), -1);
  EXPECT_EQ(f.shell.messages, std::vector<std::string>{
                                  "Need to have two adjacent points selected on the same loop to "
                                  "add a point"});
  EXPECT_EQ(f.InGroup().corners.size(), before + 1);
  EXPECT_EQ(f.ed.current, 2);
}

TEST(ProfileExtEditor, CutRemovesTheSelectedPointsAndTheCurrentPoint) {
  ExtFixture f;
  const std::vector<float> before = f.ed.profile.points;
  f.PressPoint(1);
  f.PressPoint(2, PaneButton::kLeft, true);
  ExtCutPoints(f.ed, f.s());
  EXPECT_EQ(f.ed.current, -1);
  const ExtrusionProfile group = f.InGroup();
  ASSERT_EQ(group.points.size(), before.size() - 4);
  EXPECT_EQ(group.points[2], before[6]);  // point 3 moved up to 1
  EXPECT_EQ(group.pointCounts[0], static_cast<int32_t>(before.size() / 2 - 2));
  EXPECT_EQ(PointFields(f.ed.profile.points.data(), 22, f.ed.current).x, "");
}

TEST(ProfileExtEditor, HolesAreAddedAndRemovedWholeInTheGroup) {
  ExtFixture f;
  const size_t primitives = f.s().groups[f.g].primitives.size();
  f.PressPoint(0);
  ASSERT_EQ(ExtAddHole(f.ed, f.s(), f.shell), 0);
  EXPECT_EQ(f.ed.current, 0);
  EXPECT_EQ(f.InGroup().pointCounts, (std::vector<int32_t>{24, 3}));
  // A wall strip per band (walls and both bevels) for the hole.
  EXPECT_GT(f.s().groups[f.g].primitives.size(), primitives + 2);
  // A rubber band around the hole (it spans -0.1..0.1) selects it whole.
  f.Press(-0.15f, -0.15f);
  ExtMove(f.ed, f.s(), ProfileToWindowX(kExt, 0.15f), 0.15f);
  ExtRelease(f.ed);
  EXPECT_EQ(f.ed.current, 26);
  ASSERT_EQ(ExtRemoveHole(f.ed, f.s(), f.shell), 0);
  EXPECT_EQ(f.ed.current, -1);
  EXPECT_EQ(f.InGroup().pointCounts, (std::vector<int32_t>{24}));
  EXPECT_EQ(f.s().groups[f.g].primitives.size(), primitives);
  EXPECT_EQ(ExtRemoveHole(f.ed, f.s(), f.shell), -1);
  EXPECT_EQ(f.shell.messages, std::vector<std::string>{"Need to select entire hole to remove it"});
}

TEST(ProfileExtEditor, CornerBoxWithSeveralPointsSelectedMakesThemAllCorners) {
  ExtFixture f;
  f.PressPoint(5);
  f.PressPoint(9, PaneButton::kLeft, true);
  f.PressPoint(7, PaneButton::kRight);
  EXPECT_EQ(f.ed.current, 9);
  EXPECT_TRUE(ExtToggleCorner(f.ed, f.s()));
  const ExtrusionProfile group = f.InGroup();
  for (int i = 0; i < 24; ++i)
    EXPECT_EQ(group.corners[i], i == 5 || i == 7 || i == 9) << i;
}

TEST(ProfileExtEditor, DepthAndBevelFieldsReachTheBlockAndOtherTextIsMarked) {
  ExtFixture f;
  FieldRead<float> read = ExtDepthField(f.ed, f.s(), "0.8");
  EXPECT_FALSE(read.marked);
  EXPECT_EQ(f.InGroup().depth, 0.8f);
  EXPECT_NEAR(f.s().groups[f.g].bboxMax[2] - f.s().groups[f.g].bboxMin[2], 0.8f, 1e-5f);
  const std::vector<uint8_t> block = f.s().groups[f.g].generatorParams;
  read = ExtDepthField(f.ed, f.s(), "abc");
  EXPECT_TRUE(read.marked);
  EXPECT_EQ(read.value, 0.8f);
  EXPECT_EQ(f.s().groups[f.g].generatorParams, block);
  EXPECT_FALSE(ExtBevelSizeField(f.ed, f.s(), "0.05").marked);
  EXPECT_EQ(f.InGroup().bevelSize, 0.05f);
  EXPECT_TRUE(ExtBevelSizeField(f.ed, f.s(), "0.05.1").marked);
  EXPECT_EQ(f.InGroup().bevelSize, 0.05f);
  // Bevel switches: the default extrusion has both.
  ExtToggleBevel(f.ed, f.s(), kBevelFront);
  EXPECT_EQ(f.InGroup().flags, kBevelBack);
  ExtToggleBevel(f.ed, f.s(), kBevelBack);
  ExtToggleBevel(f.ed, f.s(), kBevelFront);
  EXPECT_EQ(f.InGroup().flags, kBevelFront);
}

TEST(ProfileExtEditor, ControlBarShowsTheBlockAndTheCurrentPoint) {
  ExtFixture f;
  ExtControls c = ExtControlValues(f.ed);
  EXPECT_EQ(c.depth, "0.470");
  EXPECT_EQ(c.bevelSize, "0.0200");
  EXPECT_EQ(c.pointX, "");
  EXPECT_FALSE(c.corner);
  EXPECT_TRUE(c.front && c.back);
  f.PressPoint(2);  // (0.613208, -0.52521) of the default profile
  ExtToggleCorner(f.ed, f.s());
  ExtToggleBevel(f.ed, f.s(), kBevelBack);
  c = ExtControlValues(f.ed);
  EXPECT_EQ(c.pointX, "0.613");
  EXPECT_EQ(c.pointY, "-0.525");
  EXPECT_TRUE(c.corner);
  EXPECT_TRUE(c.front);
  EXPECT_FALSE(c.back);
  // Ctrl-clicking the only selected point empties the point fields.
  f.PressPoint(2, PaneButton::kLeft, true);
  c = ExtControlValues(f.ed);
  EXPECT_EQ(c.pointX, "");
  EXPECT_EQ(c.pointY, "");
  EXPECT_FALSE(c.corner);
}

TEST(ProfileExtEditor, PointFieldsMoveTheCurrentPointOnly) {
  ExtFixture f;
  EXPECT_FALSE(ExtPointField(f.ed, f.s(), 0, "0.5"));  // no current point
  f.PressPoint(2);
  std::optional<FieldRead<float>> read = ExtPointField(f.ed, f.s(), 0, "-0.75");
  ASSERT_TRUE(read);
  EXPECT_FALSE(read->marked);
  ASSERT_TRUE(ExtPointField(f.ed, f.s(), 1, "0.125"));
  EXPECT_EQ(f.InGroup().points[4], -0.75f);
  EXPECT_EQ(f.InGroup().points[5], 0.125f);
  read = ExtPointField(f.ed, f.s(), 1, "x");
  EXPECT_TRUE(read->marked);
  EXPECT_EQ(read->value, 0.125f);
  EXPECT_EQ(f.InGroup().points[5], 0.125f);
}

TEST(ProfileExtEditor, SaveAsAppendsTheEndingAndReopeningRebuildsTheSameGroup) {
  test::TempDir dir;
  ExtFixture f;
  // An edited profile: a hole, a corner, a moved point, one bevel, depth.
  ASSERT_EQ(ExtAddHole(f.ed, f.s(), f.shell), 0);
  f.PressPoint(6);
  ExtToggleCorner(f.ed, f.s());
  ExtPointField(f.ed, f.s(), 0, "0.3");
  ExtToggleBevel(f.ed, f.s(), kBevelBack);
  ExtDepthField(f.ed, f.s(), "0.9");
  ExtBevelSizeField(f.ed, f.s(), "0.03");

  ASSERT_EQ(ExtSaveAs(f.ed, dir / "wing", f.shell), 0);
  EXPECT_EQ(f.ed.fileName, dir / "wing.ext");
  ASSERT_EQ(ExtSaveAs(f.ed, dir / "tail.EXT", f.shell), 0);
  EXPECT_EQ(f.ed.fileName, dir / "tail.EXT");
  EXPECT_EQ(dir.Entries(), 2);

  ExtFixture g;
  ASSERT_EQ(ExtOpen(g.ed, g.s(), dir / "wing.ext", g.shell), 0);
  EXPECT_EQ(g.ed.fileName, dir / "wing.ext");
  EXPECT_EQ(g.s().groups[g.g].generatorParams, f.s().groups[f.g].generatorParams);
  test::ExpectSameGeometry(g.s().groups[g.g], f.s().groups[f.g]);
  // New is not the saved profile any more.
  ExtNew(g.ed, g.s());
  EXPECT_EQ(g.ed.fileName, "new.ext");
  EXPECT_NE(g.s().groups[g.g].generatorParams, f.s().groups[f.g].generatorParams);
  // Save writes to the name in use.
  g.ed.fileName = dir / "again.ext";
  ASSERT_EQ(ExtSave(g.ed, g.shell), 0);
  EXPECT_EQ(dir.Entries(), 3);
  EXPECT_TRUE(g.shell.messages.empty());
}

TEST(ProfileExtEditor, FailedOpenAndSaveChangeNothing) {
  test::TempDir dir;
  ExtFixture f;
  const std::vector<uint8_t> block = f.s().groups[f.g].generatorParams;
  EXPECT_EQ(ExtOpen(f.ed, f.s(), dir / "missing.ext", f.shell), -1);
  EXPECT_EQ(f.s().groups[f.g].generatorParams, block);
  EXPECT_EQ(f.ed.fileName, "new.ext");
  EXPECT_EQ(ExtSaveAs(f.ed, dir / "no/such/folder/x", f.shell), -1);
  EXPECT_EQ(f.ed.fileName, "new.ext");
  EXPECT_EQ(f.shell.messages.size(), 2u);
}

}  // namespace
}  // namespace modra
