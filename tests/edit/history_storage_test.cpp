// What the history keeps for a step and what it lets through between steps:
// a move of many groups costs a few bytes each, the display-only box flag
// is no part of undo, a change found outside a step is absorbed, folded in
// or stops the program, and the memory limit drops the oldest steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "document/group_edit.h"
#include "edit/history.h"
#include "edit/history_session.h"
#include "edit/transform_edits.h"
#include "test_util.h"

namespace modra {
namespace {

using TP = TransformPanel;
using test::Matches;
using test::Session;

// Many small groups, every one keyed in translation at frames 0 and 50,
// all selected, at frame 0, with no step yet.
struct ManyGroups {
  static constexpr int kGroups = 300;
  test::RecordedDocument rec;
  Document& doc = rec.doc;
  History history{doc};
  EditLayer layer{doc, nullptr};

  ManyGroups() {
    for (int n = 0; n < kGroups; ++n)
      test::AddTriangle(doc.scene, "part " + std::to_string(n));
    SelectAll(doc);
    for (int frame : {50, 0}) {
      GoToFrame(doc, frame);
      Move();
    }
    history.Clear();
    layer.SetRecorder(&history);
  }
  void Move() { ApplyTransformChange(layer, TP::kTranslation, {0.125f, 0, 0}); }
};

TEST(HistoryStorage, MovingManyGroupsKeepsAFewBytesPerGroup) {
  ManyGroups m;
  m.Move();  // the mirror's work buffer grows once
  const size_t start = m.history.MemoryUse();
  const size_t firstStep = m.history.StepBytes();
  std::vector<DocumentMirror> states;
  for (int i = 0; i < 10; ++i) {
    states.emplace_back(m.doc);
    m.Move();
  }
  ASSERT_EQ(m.history.StepCount(), 11u);
  const size_t perGroupPerStep = (m.history.MemoryUse() - start) / (10 * ManyGroups::kGroups);
  EXPECT_LT(perGroupPerStep, 200u);
  EXPECT_LT(firstStep / ManyGroups::kGroups, 200u);

  // Taking a step back and doing it again swaps what is kept, no more.
  const DocumentMirror last(m.doc);
  const size_t held = m.history.MemoryUse();
  ASSERT_TRUE(m.history.Undo());
  EXPECT_TRUE(Matches(states.back(), m.doc));
  ASSERT_TRUE(m.history.Redo());
  EXPECT_TRUE(Matches(last, m.doc));
  EXPECT_EQ(m.history.MemoryUse(), held);
  for (int i = 9; i >= 0; --i) {
    ASSERT_TRUE(m.history.Undo());
    EXPECT_TRUE(Matches(states[static_cast<size_t>(i)], m.doc)) << "undo to move " << i;
  }
}

// Fields kept whole (a name, a parameter block) and a key whose values
// grow, then shrink, beside words of the same records.
TEST(HistoryStorage, RenamesAndResizedKeyValuesRoundTrip) {
  Session x;
  // Keys of the wrong length are cases for the storage, not scenes the
  // editor makes: the check of what undo restores would stop at them.
  x.history.SetStrict(false);
  const int g = x.TopLevel().at(1);
  int k = -1;
  for (size_t i = 0; i < x.s.anim.keys.size() && k < 0; ++i)
    if (x.s.anim.keys[i].kind != -1) k = static_cast<int>(i);
  ASSERT_GE(k, 0) << "the demo scene has keys";
  KnfKeyInfo& key = x.s.anim.keys[static_cast<size_t>(k)];
  const size_t valueCount = key.values.size();

  std::vector<DocumentMirror> states{DocumentMirror(x.doc)};
  x.Step("Grow", [&] {
    key.values.push_back(2.5f);
    key.span += 3;
    SetGroupName(x.s, g, "a name long enough to live on the heap");
    x.s.groups[g].translation[1] += 1;
    x.s.groups[g].generatorParams.push_back(7);
  });
  states.emplace_back(x.doc);
  x.Step("Shrink", [&] {
    key.values.resize(valueCount - 1);
    key.values[0] += 1;
    SetGroupName(x.s, g, "B");
  });
  states.emplace_back(x.doc);
  ASSERT_EQ(x.history.StepCount(), 2u);

  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass);
    ASSERT_TRUE(x.history.Undo());
    EXPECT_TRUE(Matches(states[1], x.doc));
    ASSERT_TRUE(x.history.Undo());
    EXPECT_TRUE(Matches(states[0], x.doc));
    EXPECT_EQ(x.s.anim.keys[static_cast<size_t>(k)].values.size(), valueCount);
    ASSERT_TRUE(x.history.Redo());
    EXPECT_TRUE(Matches(states[1], x.doc));
    EXPECT_EQ(x.s.groups[g].name, "a name long enough to live on the heap");
    ASSERT_TRUE(x.history.Redo());
    EXPECT_TRUE(Matches(states[2], x.doc));
  }
}

TEST(HistoryStorage, UndoLeavesTheBoxFlagAsTheUserSetIt) {
  Session x;
  const int a = x.Select({0});
  const int b = x.TopLevel().at(1);
  x.s.groups[a].flags |= drawAsBox;  // no step, and none needed
  const float was = x.s.groups[a].translation[0];
  ApplyTransformChange(x.layer, TP::kTranslation, {1, 0, 0});
  x.Step("Disable", [&] { DisableSelected(x.doc); });  // rewrites the flags
  ASSERT_EQ(x.history.StepCount(), 2u);
  ASSERT_FALSE(x.s.groups[a].flags & Enabled);
  x.s.groups[a].flags &= ~drawAsBox;
  x.s.groups[b].flags |= drawAsBox;

  ASSERT_TRUE(x.history.Undo());
  ASSERT_TRUE(x.history.Undo());
  EXPECT_EQ(x.s.groups[a].translation[0], was);
  EXPECT_TRUE(x.s.groups[a].flags & Enabled);
  EXPECT_FALSE(x.s.groups[a].flags & drawAsBox);
  EXPECT_TRUE(x.s.groups[b].flags & drawAsBox);
  ASSERT_TRUE(x.history.Redo());
  ASSERT_TRUE(x.history.Redo());
  EXPECT_EQ(x.s.groups[a].translation[0], was + 1);
  EXPECT_FALSE(x.s.groups[a].flags & Enabled);
  EXPECT_FALSE(x.s.groups[a].flags & drawAsBox);
  EXPECT_TRUE(x.s.groups[b].flags & drawAsBox);

  // Showing groups as boxes is no step of its own.
  x.Select({0});
  x.Step("Draw As Box", [&] { SetDrawAsBox(x.doc, true); });
  EXPECT_EQ(x.history.StepCount(), 2u);

  // A group a step removes comes back shown as it was.
  x.Select({0, 1});
  x.Step("Group", [&] { GroupSelected(x.doc); });
  const int group = x.s.selectedGroup;
  SetDrawAsBox(x.doc, true);
  x.Step("Ungroup", [&] { Ungroup(x.doc); });
  ASSERT_FALSE(IsLiveGroup(x.s, group));
  ASSERT_TRUE(x.history.Undo());
  ASSERT_TRUE(IsLiveGroup(x.s, group));
  EXPECT_TRUE(x.s.groups[group].flags & drawAsBox);
}

TEST(HistoryOutside, ComparisonTellsSelectionFromOtherChanges) {
  struct Case {
    const char* what;
    std::function<void(Session&)> change;
    OutsideChange expected;
  };
  const std::vector<Case> cases = {
      {"nothing", [](Session&) {}, OutsideChange::kNone},
      {"a group shown as a box", [](Session& x) { x.s.groups[x.TopLevel()[0]].flags |= drawAsBox; },
       OutsideChange::kNone},
      {"a click selecting a group", [](Session& x) { x.Select({1}); }, OutsideChange::kSelection},
      {"a level entered", [](Session& x) { ASSERT_TRUE(EnterLevel(x.s, x.TopLevel()[0])); },
       OutsideChange::kSelection},
      {"a selection flag on an empty slot",
       [](Session& x) {
         auto empty = std::find_if(x.s.groups.begin(), x.s.groups.end(),
                                   [](const DisplayGroup& g) { return g.flags & Deleted; });
         ASSERT_NE(empty, x.s.groups.end());
         empty->flags |= highlighted;
       },
       OutsideChange::kOther},
      {"another frame shown", [](Session& x) { GoToFrame(x.doc, 30); }, OutsideChange::kOther},
      {"a rename", [](Session& x) { SetGroupName(x.s, x.TopLevel()[0], "Other"); },
       OutsideChange::kOther},
      {"a group disabled", [](Session& x) { x.s.groups[x.TopLevel()[0]].flags ^= Enabled; },
       OutsideChange::kOther},
      {"a key's value", [](Session& x) { x.s.anim.keys.at(0).values.at(0) += 1; },
       OutsideChange::kOther},
      {"the background", [](Session& x) { x.s.global.background[0] += 0.5f; },
       OutsideChange::kOther},
      {"a new group", [](Session& x) { test::AddTriangle(x.s, "New"); }, OutsideChange::kOther},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Session x;
    x.Select({0});
    x.history.Settle();
    const DocumentMirror mirror(x.doc);
    c.change(x);
    EXPECT_EQ(mirror.Compare(x.doc), c.expected);
  }
}

// A selection made between steps is absorbed: the next step neither
// takes it back nor counts it as a change of its own.
TEST(HistoryOutside, SelectionBetweenStepsIsNoPartOfTheNext) {
  Session x;
  x.Select({0});
  ApplyTransformChange(x.layer, TP::kTranslation, {1, 0, 0});
  const int b = x.Select({1});
  x.Step("Nothing", [] {});
  EXPECT_EQ(x.history.StepCount(), 1u);
  const DocumentMirror selected(x.doc);
  ApplyTransformChange(x.layer, TP::kTranslation, {0, 1, 0});
  ASSERT_EQ(x.history.StepCount(), 2u);
  ASSERT_TRUE(x.history.Undo());
  EXPECT_TRUE(Matches(selected, x.doc));
  EXPECT_EQ(x.s.selectedGroup, b);
}

TEST(HistoryOutside, SettledFrameIsWhereTheNextStepStarts) {
  Session x;
  x.Select({0});
  x.GoTo(30);
  const DocumentMirror settled(x.doc);
  ApplyTransformChange(x.layer, TP::kTranslation, {1, 0, 0});
  ASSERT_EQ(x.history.StepCount(), 1u);
  ASSERT_TRUE(x.history.Undo());
  EXPECT_TRUE(Matches(settled, x.doc));
  EXPECT_EQ(x.s.anim.currentFrame, 30);
  EXPECT_FALSE(x.history.CanUndo());
}

// Without strictness the changes join the step that opens next, so its
// undo still gives back the whole document, frame and all.
TEST(HistoryOutside, OtherChangesJoinTheNextStepWhenNotStrict) {
  Session x;
  x.history.SetStrict(false);
  const test::Bytes bytesBefore = x.Saved();
  const DocumentMirror before(x.doc);
  const std::string name = x.s.groups[x.TopLevel()[1]].name;
  GoToFrame(x.doc, 30);
  SetGroupName(x.s, x.TopLevel()[1], "Renamed outside");
  x.Select({0});
  ApplyTransformChange(x.layer, TP::kTranslation, {1, 0, 0});
  ASSERT_EQ(x.history.StepCount(), 1u);
  const DocumentMirror after(x.doc);

  ASSERT_TRUE(x.history.Undo());
  EXPECT_TRUE(Matches(before, x.doc));
  EXPECT_EQ(x.s.anim.currentFrame, 0);
  EXPECT_EQ(x.s.groups[x.TopLevel()[1]].name, name);
  EXPECT_EQ(x.Saved(), bytesBefore);
  ASSERT_TRUE(x.history.Redo());
  EXPECT_TRUE(Matches(after, x.doc));
  EXPECT_EQ(x.s.anim.currentFrame, 30);
}

TEST(HistoryDeathTest, StrictModeStopsAtAChangeOutsideAStep) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        Session x;
        x.history.SetStrict(true);
        SetGroupName(x.s, x.TopLevel()[1], "Renamed outside");
        x.Select({0});
        ApplyTransformChange(x.layer, TP::kTranslation, {1, 0, 0});
      },
      "changed outside an undo step.*\"Translate");
}

// Ten equal moves; the limit leaves room for a few of them.
TEST(HistoryMemoryLimit, DropsTheOldestStepsAndKeepsTheNewest) {
  ManyGroups m;
  std::vector<DocumentMirror> states;
  size_t stepBytes = 0;
  for (int i = 0; i < 10; ++i) {
    states.emplace_back(m.doc);
    m.Move();
    if (i == 0) stepBytes = m.history.StepBytes();
  }
  ASSERT_EQ(m.history.StepCount(), 10u);
  const size_t limit = stepBytes * 7 / 2;
  m.history.SetMemoryLimit(limit);
  const size_t kept = m.history.StepCount();
  EXPECT_GE(kept, 2u);
  EXPECT_LE(kept, 4u);
  EXPECT_LE(m.history.StepBytes(), limit);
  // Each new step pushes out an old one.
  states.emplace_back(m.doc);
  m.Move();
  EXPECT_LE(m.history.StepBytes(), limit);
  EXPECT_LE(m.history.StepCount(), kept + 1);
  const size_t count = m.history.StepCount();
  while (m.history.Undo()) {
  }
  EXPECT_TRUE(Matches(states[states.size() - count], m.doc));
  while (m.history.Redo()) {
  }

  // However big, the newest step stays.
  m.history.SetMemoryLimit(1);
  EXPECT_EQ(m.history.StepCount(), 1u);
  ASSERT_TRUE(m.history.Undo());
  EXPECT_TRUE(Matches(states.back(), m.doc));
}

TEST(HistoryMemoryLimit, TheSavedPointGoesOnlyWithItsStep) {
  ManyGroups m;
  auto move = [&](int times) {
    for (int i = 0; i < times; ++i)
      m.Move();
  };
  move(1);
  const size_t stepBytes = m.history.StepBytes();
  move(2);
  m.history.MarkSaved();
  SetModified(m.doc, false);
  EXPECT_TRUE(m.history.AtSavedPoint());
  move(2);
  EXPECT_FALSE(m.history.AtSavedPoint());

  // Three older steps go; the saved point is two undos away still.
  m.history.SetMemoryLimit(stepBytes * 5 / 2);
  ASSERT_EQ(m.history.StepCount(), 2u);
  m.history.Undo();
  m.history.Undo();
  EXPECT_TRUE(m.history.AtSavedPoint());
  EXPECT_FALSE(m.doc.modified);

  // Done steps go before those that could be redone, then the far end of
  // those; the saved point went with the first.
  m.history.Redo();
  m.history.SetMemoryLimit(stepBytes / 2);
  ASSERT_EQ(m.history.StepCount(), 1u);
  EXPECT_EQ(m.history.Position(), 0u);
  EXPECT_FALSE(m.history.AtSavedPoint());
  ASSERT_TRUE(m.history.Redo());
  EXPECT_TRUE(m.doc.modified);
}

// A step holds its other side, which is larger undone than done when the
// step added groups: the weight follows each undo and redo.
TEST(HistoryMemoryLimit, AStepWeighsTheSideItHolds) {
  Session x;
  x.Select({1});
  x.Step("Copy", [&] { Copy(x.doc); });
  x.Step("Paste", [&] { Paste(x.doc); });
  const size_t done = x.history.StepBytes();
  ASSERT_TRUE(x.history.Undo());
  const size_t undone = x.history.StepBytes();
  EXPECT_GT(undone, done + sizeof(DisplayGroup));
  ASSERT_TRUE(x.history.Redo());
  EXPECT_EQ(x.history.StepBytes(), done);

  // Undone, the paste alone is over a limit that both steps done were under.
  ASSERT_TRUE(x.history.Undo());
  x.history.SetMemoryLimit(undone - 1);
  EXPECT_EQ(x.history.StepCount(), 1u);
  EXPECT_FALSE(x.history.CanUndo());
  EXPECT_EQ(x.history.RedoName(), "Paste");
}

}  // namespace
}  // namespace modra
