// Cut, copy and paste of groups.
#include <gtest/gtest.h>

#include "anim/keying.h"
#include "anim/playback.h"
#include "document/group_edit.h"
#include "test_util.h"

namespace modra {
namespace {

using test::AddTriangle;
using test::Names;
using Strings = std::vector<std::string>;

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
  Copy(rec.doc);
  EXPECT_EQ(Names(s, s.clipHead), (Strings{"C", "A"}));
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"A", "B", "C"}));  // the scene is untouched

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
}

TEST_F(Clipboard, CopyKeepsEachSubtreeInItsOrder) {
  int y = AddTriangle(s, "y"), x = AddTriangle(s, "x");
  test::Siblings(s, -1, {a, b, c});
  test::Siblings(s, a, {x, y});
  Copy(rec.doc);
  int copyA = s.groups[s.clipHead].next;
  EXPECT_EQ(s.groups[copyA].name, "A");
  EXPECT_EQ(Names(s, s.groups[copyA].child), (Strings{"y", "x"}));
  Paste(rec.doc);
  EXPECT_EQ(Names(s, s.groups[s.rootHead].child), (Strings{"x", "y"}));
}

TEST_F(Clipboard, CutMovesTheSelectionToTheClipboardAndDropsItsKeys) {
  GoToFrame(rec.doc, 10);
  EnsureKeyed(rec.doc, a, kKeyTranslation);
  AddTranslation(s, a, 1, 0, 0);
  StoreKey(rec.doc, a, kKeyTranslation);
  ASSERT_NE(FindKey(rec.anim(), 10, a, kKeyTranslation), -1);

  Cut(rec.doc);
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"B"}));
  EXPECT_EQ(Names(s, s.clipHead), (Strings{"C", "A"}));
  EXPECT_EQ(s.groups[a].flags & (Selected | highlighted), highlighted);
  EXPECT_EQ(s.selectedGroup, -1);
  EXPECT_EQ(FindKey(rec.anim(), 0, a, kKeyTranslation), -1);
  EXPECT_EQ(FindKey(rec.anim(), 10, a, kKeyTranslation), -1);
  EXPECT_EQ(rec.shell.status, kNothingSelected);

  Paste(rec.doc);
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"A", "C", "B"}));
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
  EXPECT_EQ(Names(s, s.clipHead), (Strings{"kid1"}));
  EXPECT_TRUE(s.levelStack.empty());
}

TEST_F(Clipboard, PasteGoesToTheFrontOfTheLevelBeingEdited) {
  Copy(rec.doc);
  size_t slots = s.groups.size();
  Copy(rec.doc);  // the next copy takes the slots the last one released
  EXPECT_EQ(s.groups.size(), slots);
  // Make B a parent with one child, and edit inside it.
  int kid = NewGroup(s, "kid");
  test::Siblings(s, -1, {a, b, c});
  test::Siblings(s, b, {kid});
  ASSERT_TRUE(EnterLevel(s, b));
  Paste(rec.doc);
  EXPECT_EQ(Names(s, s.groups[b].child), (Strings{"A", "C", "kid"}));
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"A", "B", "C"}));
}

TEST_F(Clipboard, NothingToCopyCutOrPaste) {
  Paste(rec.doc);  // empty clipboard: nothing changes, the selection stays
  EXPECT_EQ(s.selectedGroup, a);
  EXPECT_FALSE(rec.doc.modified);
  s.selectedGroup = -1;
  Copy(rec.doc);
  Cut(rec.doc);
  EXPECT_EQ(s.clipHead, -1);
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"A", "B", "C"}));
}

TEST_F(Clipboard, CopyGroupCopiesTheBodyNotTheLinks) {
  Scene s;
  int src = AddTriangle(s, "src");
  s.groups[src].kind = kKindTorus;
  AllocGeneratorParams(s, src);
  s.groups[src].generatorParams[3] = 7;
  s.groups[src].rotation = {1, 2, 3};
  s.groups[src].child = 5;
  int root = s.rootHead;
  int c = CopyGroup(s, src);
  EXPECT_EQ(s.rootHead, root);
  EXPECT_EQ(s.groups[c].next, -1);
  EXPECT_EQ(s.groups[c].child, 5);
  EXPECT_EQ(s.groups[c].generatorParams, s.groups[src].generatorParams);
  EXPECT_EQ(s.groups[c].rotation, (Vec3{1, 2, 3}));
  EXPECT_EQ(CopyGroup(s, 1234), -1);
}

}  // namespace
}  // namespace modra
