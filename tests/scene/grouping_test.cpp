// Grouping, ungrouping, selection, normals and the enabled flag.
#include <gtest/gtest.h>

#include <cmath>

#include "anim/keying.h"
#include "anim/playback.h"
#include "document/group_edit.h"
#include "test_util.h"

namespace modra {
namespace {

using test::AddMesh;
using test::AddTriangle;
using test::ExpectSamePositions;
using test::Names;
using test::WorldPositions;
using Strings = std::vector<std::string>;

void Select(Scene& s, std::initializer_list<int> groups) {
  for (int g : groups)
    s.groups[g].flags |= Selected | highlighted;
  s.selectedGroup = *groups.begin();
}

struct Grouping : ::testing::Test {
  test::RecordedDocument rec;
  Scene& s = rec.scene();
  int other = AddTriangle(s, "other");
  int b = AddMesh(s, "B", {{0, 0, 0}, {2, 0, 1}, {0, 3, -1}});
  int a = AddMesh(s, "A", {{1, 1, 1}, {-1, 2, 0}, {0, 0, 5}});

  void SetUp() override {
    DisplayGroup& ga = s.groups[a];
    ga.translation = {1, 0, 0};
    ga.rotation = {0, 0, 30};
    BuildGroupMatrix(s, a);
    // B turns about a pivot and about its parent's origin too.
    DisplayGroup& gb = s.groups[b];
    gb.center = {0.5f, 0, 0.25f};
    gb.centerRotation = {0, 20, 0};
    gb.rotation = {10, -40, 5};
    gb.translation = {0, -2, 3};
    BuildGroupMatrix(s, b);
    Select(s, {a, b});
  }

  int GroupThem() {
    GroupSelected(rec.doc);
    return s.selectedGroup;
  }
};

TEST_F(Grouping, GroupMakesAParentThatMovesNothing) {
  auto beforeA = WorldPositions(s, a), beforeB = WorldPositions(s, b);
  int group = GroupThem();
  ASSERT_NE(group, -1);
  EXPECT_EQ(s.groups[group].flags, 0x4Bu);
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"Group", "other"}));
  EXPECT_EQ(Names(s, s.groups[group].child), (Strings{"B", "A"}));  // pushed, so reversed
  EXPECT_EQ(s.groups[a].flags & (Selected | highlighted), highlighted);
  EXPECT_EQ(rec.shell.status, "Group");
  EXPECT_TRUE(rec.doc.modified);
  ExpectSamePositions(WorldPositions(s, a), beforeA);
  ExpectSamePositions(WorldPositions(s, b), beforeB);
}

TEST_F(Grouping, UngroupAfterTurningTheGroupKeepsEveryVertexWhereItIsDrawn) {
  int group = GroupThem();
  AddRotation(s, group, 25, 45, -60);
  AddTranslation(s, group, 0, 2, -1);
  AddCenter(s, group, 1, 0, 0);
  BuildGroupMatrix(s, group);
  auto drawnA = WorldPositions(s, a), drawnB = WorldPositions(s, b);
  Vec3 centerB = s.groups[b].center, centerTurnB = s.groups[b].centerRotation;

  Ungroup(rec.doc);
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"B", "A", "other"}));
  EXPECT_FALSE(IsLiveGroup(s, group));
  EXPECT_EQ(s.selectedGroup, -1);
  EXPECT_EQ(s.groups[a].flags & (Selected | highlighted), 0u);
  ExpectSamePositions(WorldPositions(s, a), drawnA);
  ExpectSamePositions(WorldPositions(s, b), drawnB);
  EXPECT_EQ(s.groups[b].center, centerB);
  EXPECT_EQ(s.groups[b].centerRotation, centerTurnB);

  // The rebuilt matrices agree, so the next edit does not make the members jump.
  BuildGroupMatrix(s, a);
  BuildGroupMatrix(s, b);
  ExpectSamePositions(WorldPositions(s, a), drawnA);
  ExpectSamePositions(WorldPositions(s, b), drawnB);
}

TEST_F(Grouping, UngroupKeepsAMirroredMemberAfterTheGroup) {
  s.groups[b].scale = {-1, 1, 2};
  BuildGroupMatrix(s, b);
  int group = GroupThem();
  // other, Group: the group is not first in its list.
  s.rootHead = other;
  s.groups[other].next = group;
  s.groups[group].next = -1;
  AddRotation(s, group, 0, 30, 70);
  AddTranslation(s, group, 3, 0, 0);
  BuildGroupMatrix(s, group);
  auto drawnA = WorldPositions(s, a), drawnB = WorldPositions(s, b);
  Ungroup(rec.doc);
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"other", "B", "A"}));
  BuildGroupMatrix(s, a);
  BuildGroupMatrix(s, b);
  ExpectSamePositions(WorldPositions(s, a), drawnA);
  ExpectSamePositions(WorldPositions(s, b), drawnB);
  EXPECT_EQ(s.groups[b].scale, (Vec3{-1, 1, 2}));
}

TEST_F(Grouping, AReleasedGroupTakesTheCameraGazeWithIt) {
  int group = GroupThem();
  s.camera.mode = kCameraLookAt;
  s.camera.lookAtGroup = group;
  s.camera.position = {0, 0, -5};
  RebuildCameraPath(s);
  UpdateCameraTarget(s);
  Vec3 facing = s.camera.rotation;
  Ungroup(rec.doc);
  EXPECT_EQ(s.camera.mode, kCameraManual);
  EXPECT_EQ(s.camera.lookAtGroup, -1);
  // A new group in the freed slot is not looked at.
  int fresh = NewGroup(s, "fresh");
  ASSERT_EQ(fresh, group);
  s.groups[fresh].translation = {0, 9, 0};
  UpdateCameraTarget(s);
  EXPECT_EQ(s.camera.rotation, facing);
}

TEST_F(Grouping, GroupAndUngroupInsideALevel) {
  int group = GroupThem();
  DeselectAll(rec.doc);
  ASSERT_TRUE(EnterLevel(s, group));
  Select(s, {a});
  int inner = GroupThem();
  EXPECT_EQ(Names(s, s.groups[group].child), (Strings{"Group", "B"}));
  EXPECT_EQ(Names(s, s.groups[inner].child), (Strings{"A"}));
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"Group", "other"}));

  Ungroup(rec.doc);
  EXPECT_EQ(Names(s, s.groups[group].child), (Strings{"A", "B"}));
  EXPECT_TRUE(s.levelStack.empty());
}

// Ungrouping a group without children, or grouping without a selection in
// the level, changes nothing.
TEST_F(Grouping, NothingToGroupOrUngroupChangesNothing) {
  s.selectedGroup = other;
  Ungroup(rec.doc);
  EXPECT_TRUE(IsLiveGroup(s, other));
  EXPECT_FALSE(rec.doc.modified);
  s.selectedGroup = -1;
  GroupSelected(rec.doc);
  for (int g : {a, b})
    s.groups[g].flags &= ~Selected;
  s.selectedGroup = a;
  GroupSelected(rec.doc);
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"A", "B", "other"}));
  EXPECT_EQ(s.groups.size(), 3u);
}

TEST_F(Grouping, SelectAllAndDeselectAll) {
  int header = NewGroup(s, "header");  // header slots are passed over
  s.groups[header].flags = Deleted;
  int group = GroupThem();
  DeselectAll(rec.doc);
  for (int g : {group, a, b, other})
    EXPECT_EQ(s.groups[g].flags & (Selected | highlighted), 0u);
  EXPECT_EQ(rec.shell.status, kNothingSelected);

  SelectAll(rec.doc);
  EXPECT_EQ(s.selectedGroup, group);
  EXPECT_EQ(rec.shell.status, "Group");
  EXPECT_EQ(s.groups[other].flags & (Selected | highlighted), Selected | highlighted);
  // Descendants are drawn as selected without being selected themselves.
  EXPECT_EQ(s.groups[a].flags & (Selected | highlighted), highlighted);
  EXPECT_EQ(s.groups[header].flags, Deleted);

  EnterLevel(s, group);
  DeselectAll(rec.doc);
  EXPECT_TRUE(s.levelStack.empty());
  EXPECT_EQ(s.selectedGroup, -1);
}

TEST_F(Grouping, ReverseNormalsLeavesColoursAndUnselectedGroupsAlone) {
  Document doc;
  Scene& s = doc.scene;
  int plain = AddTriangle(s, "plain");
  int coloured = NewGroup(s, "coloured");
  s.groups[coloured].flags |= VertexColors | TexCoords | Selected;
  DisplayPrimitive prim;
  prim.vertexCount = 1;
  prim.vertices = {1, 2, 3, 0.1f, 0.2f, 0.3f, 0, 0.6f, -0.8f, 0.5f, 0.25f};
  s.groups[coloured].primitives = {prim};
  s.selectedGroup = coloured;
  ReverseNormals(doc);
  EXPECT_EQ(s.groups[coloured].primitives[0].vertices,
            (std::vector<float>{1, 2, 3, 0.1f, 0.2f, 0.3f, -0.0f, -0.6f, 0.8f, 0.5f, 0.25f}));
  EXPECT_EQ(s.groups[plain].primitives[0].vertices[5], 1);
  EXPECT_TRUE(doc.modified);
}

TEST_F(Grouping, DisablingAwayFromFrameZeroIsAKeyThatHoldsUntilTheNextKeyFrame) {
  test::RecordedDocument rec;
  Scene& s = rec.scene();
  int g = AddTriangle(s, "G");
  Select(s, {g});
  GoToFrame(rec.doc, 10);
  DisableSelected(rec.doc);
  EXPECT_EQ(s.groups[g].flags & (Enabled | Selected), 0u);
  EXPECT_EQ(s.selectedGroup, -1);

  GoToFrame(rec.doc, 9);
  EXPECT_TRUE(s.groups[g].flags & Enabled);  // a step key: no in-between values
  GoToFrame(rec.doc, 10);
  EXPECT_FALSE(s.groups[g].flags & Enabled);
  GoToFrame(rec.doc, 500);
  EXPECT_FALSE(s.groups[g].flags & Enabled);

  Select(s, {g});
  GoToFrame(rec.doc, 20);
  EnableSelected(rec.doc);
  GoToFrame(rec.doc, 15);
  EXPECT_FALSE(s.groups[g].flags & Enabled);
  GoToFrame(rec.doc, 20);
  EXPECT_TRUE(s.groups[g].flags & Enabled);
  EXPECT_TRUE(rec.shell.messages.empty());
}

TEST_F(Grouping, EnablingAtFrameZeroMakesNoKey) {
  s.groups[a].flags &= ~Enabled;
  EnableSelected(rec.doc);
  EXPECT_TRUE(s.groups[a].flags & s.groups[b].flags & Enabled);
  EXPECT_EQ(rec.anim().frameKeys[0], -1);
}

// Boxes reach a selected group's whole subtree and nothing that is not
// selected; switching back clears them the same way.
TEST_F(Grouping, DrawAsBoxCoversSelectedSubtreesOnly) {
  Select(s, {a, b});
  GroupSelected(rec.doc);
  const int parent = s.selectedGroup;
  ASSERT_NE(parent, -1);
  DeselectAll(rec.doc);
  Select(s, {parent});
  rec.doc.modified = false;
  SetDrawAsBox(rec.doc, true);
  EXPECT_TRUE(s.groups[parent].flags & drawAsBox);
  EXPECT_TRUE(s.groups[a].flags & drawAsBox);
  EXPECT_TRUE(s.groups[b].flags & drawAsBox);
  EXPECT_FALSE(s.groups[other].flags & drawAsBox);
  EXPECT_FALSE(rec.doc.modified);  // a way of drawing, not an edit

  s.groups[parent].flags &= ~Selected;
  Select(s, {a});
  SetDrawAsBox(rec.doc, false);
  EXPECT_FALSE(s.groups[a].flags & drawAsBox);
  EXPECT_TRUE(s.groups[b].flags & drawAsBox);
  EXPECT_TRUE(s.groups[parent].flags & drawAsBox);
}

}  // namespace
}  // namespace modra
