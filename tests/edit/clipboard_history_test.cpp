// The clipboards live beside the document: undo and redo never reach
// them, and what they hold pastes whole, whatever was undone since.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "anim/key_commands.h"
#include "anim/playback.h"
#include "document/group_edit.h"
#include "edit/history.h"
#include "edit/transform_edits.h"
#include "formats/import_dispatch.h"
#include "geometry/primitives.h"
#include "scene/scene_check.h"
#include "test_util.h"

namespace modra {
namespace {

using TP = TransformPanel;

// The demo scene with a history and an edit layer recording into it.
struct ClipboardHistory : ::testing::Test {
  test::RecordedDocument rec;
  Document& doc = rec.doc;
  Scene& s = rec.doc.scene;
  KeyStore& a = rec.doc.scene.anim;
  History history{doc};
  EditLayer layer{doc, &history};

  void SetUp() override {
    ASSERT_EQ(OpenModelFile(doc, std::string(MODRA_SOURCE_DIR) + "/examples/demo.knf"), 0);
    history.Clear();
    ASSERT_EQ(CheckScene(s), "");
  }
  void Step(std::string_view name, const std::function<void()>& fn) {
    history.Record(name, fn);
    EXPECT_EQ(CheckScene(s), "") << "after " << name;
  }
  void Undo() {
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(CheckScene(s), "") << "after undoing";
  }
  std::vector<int> TopLevel() const {
    std::vector<int> top;
    ForEachSibling(s, s.rootHead, [&](int g) {
      if (IsLiveGroup(s, g)) top.push_back(g);
    });
    return top;
  }
  // The n-th top-level group as the only selection, the way a click leaves it.
  int Select(size_t n) {
    DeselectAll(doc);
    const int g = TopLevel().at(n);
    s.groups[g].flags |= Selected | highlighted;
    s.selectedGroup = g;
    return g;
  }
  // Shows another frame outside any step, as the animation bar does.
  void GoTo(int frame) {
    GoToFrame(doc, frame);
    history.Settle();
  }
  size_t LiveGroups() const {
    size_t n = 0;
    for (const DisplayGroup& g : s.groups)
      n += !(g.flags & Deleted);
    return n;
  }
};

TEST_F(ClipboardHistory, ACopySurvivesTheUndoOfAnEarlierStep) {
  const int g = Select(0);
  const std::string name = s.groups[g].name;
  ASSERT_TRUE(ApplyTransformChange(layer, TP::kTranslation, {1, 0, 0}));
  EXPECT_EQ(CheckScene(s), "");
  const Vec3 moved = s.groups[g].translation;
  Copy(doc);
  const size_t copied = s.clipboard.groups.size();
  ASSERT_GE(copied, 1u);
  Undo();
  ASSERT_NE(s.groups[g].translation, moved);
  const size_t before = LiveGroups();

  Step("Block", [&] { CreateBlock(doc); });
  Step("Paste", [&] { Paste(doc); });
  EXPECT_EQ(LiveGroups(), before + 1 + copied);
  const int pasted = s.selectedGroup;
  EXPECT_EQ(s.groups[pasted].name, name);
  EXPECT_EQ(s.groups[pasted].translation, moved);

  // Undoing both leaves the scene as it was; the clipboard still pastes.
  Undo();
  Undo();
  EXPECT_EQ(LiveGroups(), before);
  Step("Paste", [&] { Paste(doc); });
  EXPECT_EQ(LiveGroups(), before + copied);
  EXPECT_EQ(s.groups[s.selectedGroup].translation, moved);
}

// A cut group that an undo brings back is the scene's alone: the next copy
// or paste cannot take it away or share it.
TEST_F(ClipboardHistory, AnUndoneCutGivesTheSceneItsGroupBack) {
  const int g = Select(0);
  const std::string name = s.groups[g].name;
  const size_t before = LiveGroups();
  Step("Cut", [&] { Cut(doc); });
  const size_t cut = s.clipboard.groups.size();
  EXPECT_EQ(LiveGroups(), before - cut);
  Undo();
  EXPECT_EQ(LiveGroups(), before);
  EXPECT_EQ(s.groups[g].name, name);

  Step("Paste", [&] { Paste(doc); });
  EXPECT_EQ(LiveGroups(), before + cut);
  EXPECT_NE(s.selectedGroup, g);
  Select(1);
  Copy(doc);
  EXPECT_TRUE(IsLiveGroup(s, g));
  EXPECT_EQ(s.groups[g].name, name);
  EXPECT_EQ(CheckScene(s), "");
}

TEST_F(ClipboardHistory, KeysOfAGroupThatAnUndoTookAwayAreNotPasted) {
  Step("Block", [&] { CreateBlock(doc); });
  const int block = s.rootHead;
  Select(0);
  ASSERT_EQ(s.selectedGroup, block);
  GoTo(40);
  ASSERT_TRUE(ApplyTransformChange(layer, TP::kTranslation, {0, 1, 0}));
  ASSERT_NE(FindKey(a, 40, block, kKeyTranslation), -1);
  Step("Copy Key Frame", [&] { CutOrCopyKeyFrame(doc, false); });
  size_t others = 0;
  for (const KnfKeyInfo& k : a.clipboard)
    others += k.owner != block;
  ASSERT_LT(others, a.clipboard.size());
  ASSERT_GT(others, 0u);

  Undo();
  Undo();
  ASSERT_FALSE(IsLiveGroup(s, block));
  GoTo(70);
  Step("Paste Key Frame", [&] { PasteKeyFrame(doc, false); });
  EXPECT_EQ(FindOwnerKey(a, 70, block), -1);
  size_t pasted = 0;
  ForEachKeyInFrame(a, 70, [&](int) { ++pasted; });
  EXPECT_EQ(pasted, others);
  Undo();
  EXPECT_FALSE(IsKeyFrame(a, 70));
}

// A cut key frame's keys are in the clipboard, not in the pool: an undo
// puts the frame back, and the clipboard still pastes its own copies.
TEST_F(ClipboardHistory, ACutKeyFrameSurvivesItsUndo) {
  Select(0);
  GoTo(40);
  ASSERT_TRUE(ApplyTransformChange(layer, TP::kScale, {0.5f, 0, 0}));
  size_t held = 0;
  ForEachKeyInFrame(a, 40, [&](int) { ++held; });
  Step("Cut Key Frame", [&] { CutOrCopyKeyFrame(doc, true); });
  EXPECT_FALSE(IsKeyFrame(a, 40));
  EXPECT_EQ(a.clipboard.size(), held);
  Undo();
  EXPECT_TRUE(IsKeyFrame(a, 40));
  GoTo(80);
  Step("Paste Key Frame", [&] { PasteKeyFrame(doc, false); });
  size_t pasted = 0;
  ForEachKeyInFrame(a, 80, [&](int) { ++pasted; });
  EXPECT_EQ(pasted, held);
}

}  // namespace
}  // namespace modra
