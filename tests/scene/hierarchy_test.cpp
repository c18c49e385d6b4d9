// The group table, its walks and the level being edited.
#include <gtest/gtest.h>

#include "document/group_edit.h"
#include "test_util.h"

namespace modra {
namespace {

using test::AddTriangle;
using test::Names;

TEST(Hierarchy, NewGroupsGoFirstAndFreedSlotsAreReusedFresh) {
  Scene s;
  int a = AddTriangle(s, "A");
  int b = NewGroup(s, "B");
  EXPECT_EQ(Names(s, s.rootHead), (std::vector<std::string>{"B", "A"}));
  s.groups[a].child = b;  // the reused slot must not keep these links
  s.rootHead = -1;
  ReleaseGroup(s, b);
  ReleaseGroup(s, a);
  EXPECT_EQ(s.freeHead, a);
  EXPECT_FALSE(IsLiveGroup(s, a));
  int c = NewGroup(s, "C");
  EXPECT_EQ(c, a);  // the free list hands back the last released slot first
  EXPECT_EQ(s.freeHead, b);
  EXPECT_EQ(s.rootHead, c);
  EXPECT_EQ(s.groups[c].child, -1);
  EXPECT_TRUE(s.groups[c].primitives.empty());
  EXPECT_EQ(s.groups.size(), 2u);
}

TEST(Hierarchy, WalkIsPreOrderAndVisitsDeletedSlots) {
  Scene s;
  int c = NewGroup(s, "C");
  int b = NewGroup(s, "B");
  int a = NewGroup(s, "A");
  test::Siblings(s, -1, {a});
  test::Siblings(s, a, {b, c});
  int header = NewGroup(s, "header");
  s.groups[header].flags = Deleted;
  int d = NewGroup(s, "D");

  std::vector<int> order;
  ForEachGroup(s, s.rootHead, [&](int g) { order.push_back(g); });
  EXPECT_EQ(order, (std::vector<int>{d, header, a, b, c}));

  std::vector<int> top;
  ForEachSibling(s, s.rootHead, [&](int g) { top.push_back(g); });
  EXPECT_EQ(top, (std::vector<int>{d, header, a}));
}

TEST(Hierarchy, VisitorMayUnlinkTheGroupItIsGiven) {
  Scene s;
  for (const char* n : {"C", "B", "A"})
    NewGroup(s, n);
  int visited = 0;
  ForEachSibling(s, s.rootHead, [&](int g) {
    ++visited;
    UnlinkGroup(s, g, FindGroupLink(s, g));
  });
  EXPECT_EQ(visited, 3);
  EXPECT_EQ(s.rootHead, -1);
}

TEST(Hierarchy, DamagedLinksCannotLoopAWalkForever) {
  Scene s;
  int a = NewGroup(s, "A");
  int b = NewGroup(s, "B");
  s.groups[a].next = b;  // b -> a -> b ...
  s.groups[a].child = b;
  s.groups[b].child = 999;  // out of range
  int visits = 0;
  ForEachGroup(s, s.rootHead, [&](int) { ++visits; });
  EXPECT_LE(visits, 2);
  visits = 0;
  ForEachSibling(s, s.rootHead, [&](int) { ++visits; });
  EXPECT_LE(visits, 2);
  EXPECT_FALSE(FindGroupLink(s, 999).found);
}

TEST(Hierarchy, LevelStackNamesTheLevelBeingEdited) {
  Scene s;
  int kid = NewGroup(s, "kid");
  int top = NewGroup(s, "top");
  test::Siblings(s, -1, {top});
  test::Siblings(s, top, {kid});

  EXPECT_EQ(CurrentLevelHead(s), top);
  EXPECT_EQ(CurrentParent(s), -1);
  ASSERT_TRUE(EnterLevel(s, top));
  EXPECT_EQ(CurrentLevelHead(s), kid);
  EXPECT_EQ(CurrentParent(s), top);
  EXPECT_EQ(PreviousSibling(s, kid), -1);
  EXPECT_EQ(PreviousSibling(s, top), -1);  // not in the level being edited

  // The stack holds 1000 groups and refuses the next one.
  for (int i = 1; i < kMaxLevelDepth; ++i)
    ASSERT_TRUE(EnterLevel(s, top));
  EXPECT_FALSE(EnterLevel(s, top));
  EXPECT_EQ(s.levelStack.size(), static_cast<size_t>(kMaxLevelDepth));
  EXPECT_FALSE(EnterLevel(s, 12345));
  EXPECT_FALSE(EnterLevel(s, -1));

  ResetLevel(s);
  EXPECT_EQ(CurrentLevelHead(s), top);
  EXPECT_EQ(AccumulatedLevelMatrix(s), kIdentity);
}

TEST(Hierarchy, AccumulatedLevelMatrixCombinesOutermostFirst) {
  Scene s;
  int inner = NewGroup(s, "inner");
  int outer = NewGroup(s, "outer");
  s.groups[outer].translation = {1, 0, 0};
  BuildGroupMatrix(s, outer);
  s.groups[inner].rotation = {0, 0, 90};
  BuildGroupMatrix(s, inner);
  ASSERT_TRUE(EnterLevel(s, outer));
  ASSERT_TRUE(EnterLevel(s, inner));
  // Outer first: the point is turned by inner, then moved by outer.
  test::ExpectNear(TransformPoint(AccumulatedLevelMatrix(s), {1, 0, 0}), {1, 1, 0});
}

TEST(Hierarchy, ClearSceneForgetsGroupsSelectionAndLevel) {
  Scene s;
  int a = AddTriangle(s, "A");
  s.selectedGroup = a;
  EnterLevel(s, a);
  ClearScene(s);
  EXPECT_EQ(s.selectedGroup, -1);
  EXPECT_TRUE(s.levelStack.empty());
  EXPECT_EQ(NewGroup(s, "again"), 0);
  EXPECT_EQ(s.groups.size(), 1u);
}

TEST(Hierarchy, LinksAndParentsAreFoundAnywhereInTheTree) {
  Scene s;
  int c = NewGroup(s, "C");
  int b = NewGroup(s, "B");
  int a = NewGroup(s, "A");
  test::Siblings(s, -1, {a});
  test::Siblings(s, a, {b, c});
  GroupLink link = FindGroupLink(s, c);
  EXPECT_TRUE(link.found);
  EXPECT_EQ(link.parent, a);
  EXPECT_EQ(link.prev, b);
  EXPECT_EQ(ParentTable(s), (std::vector<int32_t>{a, a, -1}));
  EXPECT_EQ(LookAtPathTo(s, c), (std::vector<int32_t>{a, c}));

  int loose = PlaceGroup(s, s.groups[c]);  // linked nowhere
  EXPECT_FALSE(FindGroupLink(s, loose).found);
  EXPECT_EQ(ParentTable(s)[loose], kUnreached);
  EXPECT_TRUE(LookAtPathTo(s, loose).empty());
}

}  // namespace
}  // namespace modra
