// Cut, copy and paste of groups.
#include <gtest/gtest.h>

#include <algorithm>

#include "anim/anim_util.h"
#include "anim/keying.h"
#include "anim/playback.h"
#include "document/group_edit.h"
#include "scene/scene_check.h"
#include "test_util.h"

namespace modra {
namespace {

using test::AddTriangle;
using test::Names;
using Strings = std::vector<std::string>;

// Names of a sibling list of the clipboard, in order.
Strings ClipNames(const GroupClipboard& clip, int first) {
  Strings names;
  ForEachClipboardSibling(clip, first, [&](int g) { names.push_back(clip.groups[g].name); });
  return names;
}

// Live groups of the scene.
size_t GroupCount(const Scene& s) {
  return static_cast<size_t>(
      std::count_if(s.groups.begin(), s.groups.end(),
                    [](const DisplayGroup& g) { return !(g.flags & Deleted); }));
}

// Top level A, B, C (in that order), with A and C selected.
struct Clipboard : ::testing::Test {
  test::RecordedDocument rec;
  Scene& s = rec.scene();
  int c = AddTriangle(s, "C");
  int b = AddTriangle(s, "B");
  int a = AddTriangle(s, "A");

  void SetUp() override {
    for (int g : {a, c})
      s.groups[g].flags |= Selected | highlighted;
    s.selectedGroup = a;
  }
};

TEST_F(Clipboard, CopyReversesAndPasteReversesBack) {
  const size_t slots = s.groups.size();
  Copy(rec.doc);
  EXPECT_EQ(ClipNames(s.clipboard, s.clipboard.head), (Strings{"C", "A"}));
  // The scene is untouched: no slot taken, nothing to save.
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"A", "B", "C"}));
  EXPECT_EQ(s.groups.size(), slots);
  EXPECT_FALSE(rec.doc.modified);

  Paste(rec.doc);
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"A", "C", "A", "B", "C"}));
  // The pasted groups are the selection; the originals are not.
  int pastedA = s.rootHead;
  EXPECT_EQ(s.selectedGroup, pastedA);
  EXPECT_EQ(s.groups[pastedA].flags & (Selected | highlighted), Selected | highlighted);
  EXPECT_EQ(s.groups[a].flags & (Selected | highlighted), 0u);
  EXPECT_EQ(rec.shell.status, "A");
  EXPECT_TRUE(rec.doc.modified);

  // A second paste is another deep copy, independent of the first.
  Paste(rec.doc);
  int second = s.rootHead;
  ASSERT_NE(pastedA, second);
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"A", "C", "A", "C", "A", "B", "C"}));
  s.groups[pastedA].primitives[0].vertices.Mutable()[0] = 42;
  SetColor(s, pastedA, 0, 0, 0);
  EXPECT_EQ(s.groups[second].primitives[0].vertices[0], 0);
  EXPECT_EQ(s.groups[second].color, (Vec3{1, 1, 1}));
  EXPECT_EQ(s.groups[a].primitives[0].vertices[0], 0);
  EXPECT_EQ(CheckScene(s), "");
}

// The clipboard holds what was copied, whatever happens to the originals.
TEST_F(Clipboard, CopiesDoNotFollowTheirOriginals) {
  Copy(rec.doc);
  SetGroupName(s, a, "renamed");
  s.groups[a].primitives[0].vertices.Mutable()[0] = 7;
  SetColor(s, a, 0, 0, 1);
  Paste(rec.doc);
  const int pasted = s.selectedGroup;
  EXPECT_EQ(s.groups[pasted].name, "A");
  EXPECT_EQ(s.groups[pasted].primitives[0].vertices[0], 0);
  EXPECT_EQ(s.groups[pasted].color, (Vec3{1, 1, 1}));
  // The copy shares the original's floats until one of them is written.
  const int c2 = s.groups[s.rootHead].next;
  EXPECT_EQ(s.groups[c2].name, "C");
  EXPECT_EQ(s.groups[c2].primitives[0].vertices.data(), s.groups[c].primitives[0].vertices.data());
}

TEST_F(Clipboard, CopyKeepsEachSubtreeInItsOrder) {
  int y = AddTriangle(s, "y"), x = AddTriangle(s, "x");
  test::Siblings(s, -1, {a, b, c});
  test::Siblings(s, a, {x, y});
  Copy(rec.doc);
  const GroupClipboard& clip = s.clipboard;
  int copyA = clip.groups[clip.head].next;
  EXPECT_EQ(clip.groups[copyA].name, "A");
  EXPECT_EQ(ClipNames(clip, clip.groups[copyA].child), (Strings{"y", "x"}));
  EXPECT_EQ(CheckScene(s), "");
  Paste(rec.doc);
  EXPECT_EQ(Names(s, s.groups[s.rootHead].child), (Strings{"x", "y"}));
  EXPECT_EQ(CheckScene(s), "");
}

TEST_F(Clipboard, CutMovesTheSelectionToTheClipboardAndDropsItsKeys) {
  GoToFrame(rec.doc, 10);
  EnsureKeyed(rec.doc, a, kKeyTranslation);
  AddTranslation(s, a, 1, 0, 0);
  StoreKey(rec.doc, a, kKeyTranslation);
  ASSERT_NE(FindKey(rec.anim(), 10, a, kKeyTranslation), -1);

  Cut(rec.doc);
  const GroupClipboard& clip = s.clipboard;
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"B"}));
  EXPECT_EQ(ClipNames(clip, clip.head), (Strings{"C", "A"}));
  const DisplayGroup& cutA = clip.groups[clip.groups[clip.head].next];
  EXPECT_EQ(cutA.flags & (Selected | highlighted), highlighted);
  EXPECT_EQ(cutA.translation, (Vec3{1, 0, 0}));
  EXPECT_EQ(s.selectedGroup, -1);
  EXPECT_EQ(FindKey(rec.anim(), 0, a, kKeyTranslation), -1);
  EXPECT_EQ(FindKey(rec.anim(), 10, a, kKeyTranslation), -1);
  EXPECT_EQ(rec.shell.status, kNothingSelected);
  EXPECT_TRUE(rec.doc.modified);
  // The records left the scene: their slots are free for the next groups.
  EXPECT_FALSE(IsLiveGroup(s, a));
  EXPECT_FALSE(IsLiveGroup(s, c));
  EXPECT_EQ(CheckScene(s), "");
  const size_t slots = s.groups.size();

  Paste(rec.doc);
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"A", "C", "B"}));
  EXPECT_EQ(s.groups.size(), slots);
  EXPECT_EQ(CheckScene(s), "");
}

// A cut subtree leaves the scene whole, with every member's keys and the
// camera's gaze; it waits on the clipboard as it was, and each paste
// reverses its lists.
TEST_F(Clipboard, CutTakesWholeSubtreesAndTheirKeys) {
  int y = AddTriangle(s, "y"), x = AddTriangle(s, "x");
  test::Siblings(s, -1, {a, b, c});
  test::Siblings(s, a, {x, y});
  test::SetTranslationAt(rec.doc, x, 10, {2, 0, 0});
  s.camera.mode = kCameraLookAt;
  s.camera.lookAtGroup = y;
  RebuildCameraPath(s);
  ASSERT_EQ(CheckScene(s), "");

  Cut(rec.doc);
  const GroupClipboard& clip = s.clipboard;
  const int cutA = clip.groups[clip.head].next;
  EXPECT_EQ(ClipNames(clip, clip.groups[cutA].child), (Strings{"x", "y"}));
  EXPECT_EQ(FindOwnerKey(rec.anim(), 0, x), -1);
  EXPECT_EQ(FindOwnerKey(rec.anim(), 10, x), -1);
  EXPECT_EQ(s.camera.lookAtGroup, -1);
  for (int g : {a, c, x, y})
    EXPECT_FALSE(IsLiveGroup(s, g)) << g;
  EXPECT_EQ(GroupCount(s), 1u);
  EXPECT_EQ(CheckScene(s), "");

  Paste(rec.doc);
  Paste(rec.doc);
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"A", "C", "A", "C", "B"}));
  EXPECT_EQ(Names(s, s.groups[s.rootHead].child), (Strings{"y", "x"}));
  EXPECT_EQ(GroupCount(s), 9u);
  EXPECT_EQ(CheckScene(s), "");
}

TEST_F(Clipboard, CutInsideALevelTakesTheGroupFromItsParent) {
  int kid2 = AddTriangle(s, "kid2"), kid1 = AddTriangle(s, "kid1");
  test::Siblings(s, -1, {a, b, c});
  test::Siblings(s, b, {kid1, kid2});
  DeselectAll(rec.doc);
  ASSERT_TRUE(EnterLevel(s, b));
  s.groups[kid1].flags |= Selected;
  s.selectedGroup = kid1;
  Cut(rec.doc);
  EXPECT_EQ(Names(s, s.groups[b].child), (Strings{"kid2"}));
  EXPECT_EQ(ClipNames(s.clipboard, s.clipboard.head), (Strings{"kid1"}));
  EXPECT_TRUE(s.levelStack.empty());
  EXPECT_EQ(CheckScene(s), "");
}

TEST_F(Clipboard, PasteGoesToTheFrontOfTheLevelBeingEdited) {
  Copy(rec.doc);
  // Make B a parent with one child, and edit inside it.
  int kid = NewGroup(s, "kid");
  test::Siblings(s, -1, {a, b, c});
  test::Siblings(s, b, {kid});
  ASSERT_TRUE(EnterLevel(s, b));
  Paste(rec.doc);
  EXPECT_EQ(Names(s, s.groups[b].child), (Strings{"A", "C", "kid"}));
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"A", "B", "C"}));
  EXPECT_EQ(CheckScene(s), "");
}

// The next copy or cut replaces what the clipboard held; a new scene
// empties it.
TEST_F(Clipboard, TheNextCopyOrCutReplacesTheClipboard) {
  Copy(rec.doc);
  DeselectAll(rec.doc);
  s.groups[b].flags |= Selected;
  s.selectedGroup = b;
  Copy(rec.doc);
  EXPECT_EQ(ClipNames(s.clipboard, s.clipboard.head), (Strings{"B"}));
  EXPECT_EQ(s.clipboard.groups.size(), 1u);
  Cut(rec.doc);
  EXPECT_EQ(ClipNames(s.clipboard, s.clipboard.head), (Strings{"B"}));
  EXPECT_EQ(s.clipboard.groups.size(), 1u);
  NewDocument(rec.doc);
  EXPECT_TRUE(s.clipboard.Empty());
  EXPECT_TRUE(s.clipboard.groups.empty());
  Paste(rec.doc);
  EXPECT_EQ(s.rootHead, -1);
}

TEST_F(Clipboard, NothingToCopyCutOrPaste) {
  Paste(rec.doc);  // empty clipboard: nothing changes, the selection stays
  EXPECT_EQ(s.selectedGroup, a);
  EXPECT_FALSE(rec.doc.modified);
  s.selectedGroup = -1;
  Copy(rec.doc);
  Cut(rec.doc);
  EXPECT_TRUE(s.clipboard.Empty());
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"A", "B", "C"}));
}

TEST(PlaceGroup, TakesAFreeSlotFirstAndLinksNothing) {
  Scene s;
  int src = AddTriangle(s, "src");
  int gone = AddTriangle(s, "gone");
  UnlinkGroup(s, gone, FindGroupLink(s, gone));
  ReleaseGroup(s, gone);
  DisplayGroup record = s.groups[src];
  record.rotation = {1, 2, 3};
  record.next = src;
  record.child = 5;
  const int root = s.rootHead;
  int placed = PlaceGroup(s, record);
  EXPECT_EQ(placed, gone);
  EXPECT_EQ(s.freeHead, -1);
  EXPECT_EQ(s.rootHead, root);
  EXPECT_EQ(s.groups[placed].next, -1);
  EXPECT_EQ(s.groups[placed].child, -1);
  EXPECT_EQ(s.groups[placed].rotation, (Vec3{1, 2, 3}));
  EXPECT_EQ(PlaceGroup(s, record), 2);  // no free slot left: the table grows
  EXPECT_EQ(s.groups.size(), 3u);
}

}  // namespace
}  // namespace modra
