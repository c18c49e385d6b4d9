// Undo and redo: every kind of edit taken back gives the document it was
// made on, record for record and byte for byte, and done again gives the
// document it made.
#include "edit/history.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "anim/key_commands.h"
#include "anim/playback.h"
#include "document/group_edit.h"
#include "edit/camera_edits.h"
#include "edit/history_session.h"
#include "edit/light_edits.h"
#include "edit/transform_edits.h"
#include "formats/import_dispatch.h"
#include "formats/obj_reader.h"
#include "geometry/extrusion.h"
#include "geometry/primitives.h"
#include "geometry/texture_mapping.h"
#include "nativefile/native_writer.h"
#include "scene/scene_check.h"
#include "test_util.h"

namespace modra {
namespace {

using TP = TransformPanel;
using test::Matches;
using test::Session;

struct Family {
  const char* name;
  std::function<void(Session&)> prepare;  // not a step
  std::function<void(Session&)> run;      // one step
};

void Nothing(Session&) {}

const std::vector<Family>& Families() {
  static const std::vector<Family> families = {
      {"Translate",
       [](Session& x) {
         x.Select({0, 2});
       },
       [](Session& x) {
         ApplyTransformChange(x.layer, TP::kTranslation, {0.25f, 0, -1});
       }},
      {"Rotate",
       [](Session& x) {
         x.Select({1});
         x.GoTo(37);
       },
       [](Session& x) {
         ApplyTransformChange(x.layer, TP::kRotation, {0, 30, 0});
       }},
      {"Cut", [](Session& x) { x.Select({0}); },
       [](Session& x) { x.Step("Cut", [&] { Cut(x.doc); }); }},
      {"Paste",
       [](Session& x) {
         x.Select({1});
         Copy(x.doc);
       },
       [](Session& x) { x.Step("Paste", [&] { Paste(x.doc); }); }},
      {"Group",
       [](Session& x) {
         x.Select({0, -1});
       },
       [](Session& x) { x.Step("Group", [&] { GroupSelected(x.doc); }); }},
      {"Ungroup",
       [](Session& x) {
         x.Select({0, 1});
         GroupSelected(x.doc);
       },
       [](Session& x) { x.Step("Ungroup", [&] { Ungroup(x.doc); }); }},
      {"Reverse Normals", [](Session& x) { x.Select({-1}); },
       [](Session& x) { x.Step("Reverse Normals", [&] { ReverseNormals(x.doc); }); }},
      {"Disable", [](Session& x) { x.Select({0}); },
       [](Session& x) { x.Step("Disable", [&] { DisableSelected(x.doc); }); }},
      {"Block", Nothing, [](Session& x) { x.Step("Block", [&] { CreateBlock(x.doc); }); }},
      {"Extrusion", Nothing,
       [](Session& x) { x.Step("Extrusion", [&] { CreateExtrusion(x.doc); }); }},
      {"Append WusonOBJ.obj", [](Session& x) { x.GoTo(12); },
       [](Session& x) {
         x.Step("Append WusonOBJ.obj",
                [&] { AppendModelFile(x.doc, test::TestData("models/obj/WusonOBJ.obj")); });
       }},
      {"Load Wavefront Material", Nothing,
       [](Session& x) {
         x.Step("Load Wavefront Material",
                [&] { LoadWavefrontMaterials(x.doc, test::TestData("models/obj/spider.mtl")); });
       }},
      {"Cut Key Frame",
       [](Session& x) {
         x.Select({0});
         x.GoTo(40);
         ApplyTransformChange(x.layer, TP::kScale, {0.5f, 0, 0});
       },
       [](Session& x) {
         // Saving the state to compare with rewinds to frame 0, which a cut only copies.
         x.Step("Cut Key Frame", [&] {
           GoToFrame(x.doc, 40);
           CutOrCopyKeyFrame(x.doc, true);
         });
       }},
      {"Paste Key Frame",
       [](Session& x) {
         x.Select({0});
         x.GoTo(40);
         ApplyTransformChange(x.layer, TP::kTranslation, {0, 1, 0});
         x.Step("Copy Key Frame", [&] { CutOrCopyKeyFrame(x.doc, false); });
         x.GoTo(0);
       },
       [](Session& x) { x.Step("Paste Key Frame", [&] { PasteKeyFrame(x.doc, false); }); }},
      {"Scale Range",
       [](Session& x) {
         x.Select({1});
         x.GoTo(20);
         ApplyTransformChange(x.layer, TP::kTranslation, {1, 0, 0});
       },
       [](Session& x) { x.Step("Scale Range", [&] { ScaleRange(x.doc, 0, 20, 70); }); }},
      {"Light Color", Nothing,
       [](Session& x) { SetLightColorSlider(x.layer, EntryOfLight(1), 1, 200); }},
      {"Background Color", Nothing,
       [](Session& x) { SetLightColorSlider(x.layer, kLightListBackground, 2, 250); }},
      {"Move Camera", Nothing,
       [](Session& x) {
         AdjustCamera(x.layer, CameraMouse::kPosition, {0.5f, -0.25f, 1});
       }},
      {"Rename", [](Session& x) { x.Select({1}); },
       [](Session& x) {
         x.Step("Rename", [&] { SetGroupName(x.s, x.s.selectedGroup, "Renamed"); });
       }},
      {"Texture", [](Session& x) { x.Select({-1}); },
       [](Session& x) {
         x.Step("Texture", [&] {
           DisplayGroup& g = x.s.groups[x.s.selectedGroup];
           g.textureIndex = 0;
           g.flags |= Textured;
           MapSpherical(x.s, x.s.selectedGroup);
         });
       }},
  };
  return families;
}

TEST(History, EachKindOfEditUndoesAndRedoesExactly) {
  for (const Family& f : Families()) {
    SCOPED_TRACE(f.name);
    Session x;
    f.prepare(x);
    x.history.Clear();
    const test::Bytes bytesBefore = x.Saved();
    const DocumentMirror before(x.doc);
    f.run(x);
    ASSERT_EQ(x.history.StepCount(), 1u);
    EXPECT_EQ(x.history.UndoName(), f.name);
    ASSERT_FALSE(Matches(before, x.doc));
    const DocumentMirror after(x.doc);

    ASSERT_TRUE(x.history.Undo());
    EXPECT_TRUE(Matches(before, x.doc));
    EXPECT_EQ(x.history.RedoName(), f.name);
    ASSERT_TRUE(x.history.Redo());
    EXPECT_TRUE(Matches(after, x.doc));

    // The same through the saved file, after saving has rewound the frame.
    const test::Bytes bytesAfter = x.Saved();
    x.history.Undo();
    EXPECT_EQ(x.Saved(), bytesBefore);
    x.history.Redo();
    EXPECT_EQ(x.Saved(), bytesAfter);
  }
}

// A seeded mix of edits at various frames, selections, undos and redos.
// The frame moves inside each edit's step: a scene shown at a frame keeps
// the values of what no key sets there, so which frames were shown before
// matters, and only steps are replayed.
TEST(History, RandomEditsUndoToTheFirstBytesAndRedoToTheLast) {
  const char* env = std::getenv("MODRA_HISTORY_STEPS");
  // The editor's own commands get their seeded runs in random_edits_test;
  // here 300 steps at many frames, more through the environment.
  const int count = env ? std::atoi(env) : 300;
  Session x;
  std::mt19937 random(14);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  // Selection is no step: none on either side of a comparison.
  auto settled = [&] {
    DeselectAll(x.doc);
    return DocumentMirror(x.doc);
  };
  const test::Bytes first = x.Saved();
  const DocumentMirror firstState = settled();
  for (int i = 0; i < count; ++i) {
    const std::vector<int> top = x.TopLevel();
    if (!top.empty()) x.Select({pick(static_cast<int>(top.size()))});
    const int frame = pick(3) ? x.s.anim.currentFrame : pick(6) * 10;
    const Vec3 d = {pick(5) * 0.25f, pick(3) * 15.0f, pick(2) * 0.5f};
    const std::vector<std::pair<const char*, std::function<void()>>> edits = {
        {"Move", [&] { ApplyTransformChange(x.layer, TP::kTranslation, d); }},
        {"Turn", [&] { ApplyTransformChange(x.layer, TP::kRotation, d); }},
        {"Size", [&] { ApplyTransformChange(x.layer, TP::kScale, d); }},
        {"Cut", [&] { Cut(x.doc); }},
        {"Copy", [&] { Copy(x.doc); }},
        {"Paste", [&] { Paste(x.doc); }},
        {"Group", [&] { GroupSelected(x.doc); }},
        {"Ungroup", [&] { Ungroup(x.doc); }},
        {"Block", [&] { CreateBlock(x.doc); }},
        {"Paste Key Frame", [&] { PasteKeyFrame(x.doc, false); }},
        {"Cut Key Frame", [&] { CutOrCopyKeyFrame(x.doc, true); }},
        {"Copy Key Frame", [&] { CutOrCopyKeyFrame(x.doc, false); }},
        {"Move Camera", [&] { AdjustCamera(x.layer, CameraMouse::kPosition, d); }},
    };
    const int n = pick(static_cast<int>(edits.size()) + 1);
    if (n < static_cast<int>(edits.size())) {
      x.Step(edits[n].first, [&] {
        GoToFrame(x.doc, frame);
        edits[n].second();
      });
    } else {
      for (int k = pick(4); k >= 0; --k)
        pick(3) ? x.history.Undo() : x.history.Redo();
    }
  }
  while (x.history.Redo()) {
  }
  const DocumentMirror lastState = settled();
  ASSERT_GT(x.history.StepCount(), static_cast<size_t>(count / 4));
  while (x.history.Undo()) {
  }
  settled();
  EXPECT_TRUE(Matches(firstState, x.doc));
  EXPECT_EQ(x.Saved(), first);
  while (x.history.Redo()) {
  }
  settled();
  EXPECT_TRUE(Matches(lastState, x.doc));
}

TEST(History, ModifiedFollowsTheSavedPointAndANewStepDropsRedo) {
  Session x;
  x.Select({0});
  auto move = [&] { ApplyTransformChange(x.layer, TP::kTranslation, {1, 0, 0}); };
  auto save = [&] {
    x.Saved();
    SetModified(x.doc, false);
    x.history.MarkSaved();
  };
  move();  // A
  save();
  move();  // B
  struct Expect {
    const char* what;
    std::function<bool()> act;
    bool modified, canUndo, canRedo;
  };
  const std::vector<Expect> script = {
      {"undo B to the saved state", [&] { return x.history.Undo(); }, false, true, true},
      {"undo A past it", [&] { return x.history.Undo(); }, true, false, true},
      {"nothing left to undo", [&] { return !x.history.Undo(); }, true, false, true},
      {"redo A back to it", [&] { return x.history.Redo(); }, false, true, true},
      {"a new step C drops B",
       [&] {
         move();
         return x.history.StepCount() == 2;
       },
       true, true, false},
      {"undo C to the saved state", [&] { return x.history.Undo(); }, false, true, true},
      {"redo C", [&] { return x.history.Redo(); }, true, true, false},
      {"undo C, then D drops the saved C",
       [&] {
         save();
         x.history.Undo();
         move();
         return x.history.StepCount() == 2;
       },
       true, true, false},
      {"the saved state is gone for good", [&] { return x.history.Undo(); }, true, true, true},
      {"a bracket that changes nothing leaves no step",
       [&] {
         x.Step("Nothing", [] {});
         return x.history.CanRedo();
       },
       true, true, true},
      {"nested brackets are one step",
       [&] {
         x.Step("Outer", [&] { x.Step("Inner", move); });
         return x.history.UndoName() == "Outer" && x.history.StepCount() == 2;
       },
       true, true, false},
      {"a limit keeps the newest steps",
       [&] {
         x.history.SetLimit(2);
         move();
         move();
         return x.history.StepCount() == 2;
       },
       true, true, false},
      {"clear forgets every step",
       [&] {
         x.history.Clear();
         return true;
       },
       true, false, false},
  };
  for (const Expect& e : script) {
    SCOPED_TRACE(e.what);
    EXPECT_TRUE(e.act());
    EXPECT_EQ(x.doc.modified, e.modified);
    EXPECT_EQ(x.history.CanUndo(), e.canUndo);
    EXPECT_EQ(x.history.CanRedo(), e.canRedo);
  }
}

// Undo puts back what the step changed and nothing else: a selection made
// since stays, one the step made goes; undo returns to the step's frame.
TEST(History, UndoKeepsLaterSelectionAndReturnsToTheStepsFrame) {
  Session x;
  const int a = x.Select({0});
  x.GoTo(30);
  ApplyTransformChange(x.layer, TP::kTranslation, {2, 0, 0});
  const float moved = x.s.groups[a].translation[0];
  const int b = x.Select({1});
  x.GoTo(0);
  ASSERT_TRUE(x.history.Undo());
  EXPECT_EQ(x.s.anim.currentFrame, 30);
  EXPECT_EQ(x.s.groups[a].translation[0], moved - 2);
  EXPECT_FALSE(x.s.groups[a].flags & Selected);
  EXPECT_TRUE(x.s.groups[b].flags & Selected);
  EXPECT_EQ(x.s.selectedGroup, b);

  // A group the step made and the user chose since goes with the step,
  // and so do the selection and level that named it.
  DeselectAll(x.doc);
  x.Step("Append", [&] { AppendModelFile(x.doc, test::TestData("models/obj/box.obj")); });
  const int appended = x.Select({0});
  ASSERT_TRUE(EnterLevel(x.s, appended));
  ASSERT_TRUE(x.history.Undo());
  EXPECT_FALSE(IsLiveGroup(x.s, appended));
  EXPECT_EQ(x.s.selectedGroup, -1);
  EXPECT_TRUE(x.s.levelStack.empty());
}

// Levels entered since a step stay entered only while they still form a
// chain: undoing an Ungroup puts the group back above a level entered in
// one of its children, and that level ends.
TEST(History, UndoKeepsOnlyTheLevelsThatStillFormAChain) {
  test::Session x;
  std::vector<int> top = x.TopLevel();
  int title = -1;
  for (size_t i = 0; i < top.size(); ++i)
    if (x.s.groups[top[i]].name == "Title") title = static_cast<int>(i);
  ASSERT_NE(title, -1);
  x.Select({title, 0});
  x.Step("Group", [&] { GroupSelected(x.doc); });
  x.Step("Ungroup", [&] { Ungroup(x.doc); });
  const int entered = top[static_cast<size_t>(title)];
  ASSERT_TRUE(EnterLevel(x.s, entered));
  ASSERT_TRUE(x.history.Undo());
  EXPECT_TRUE(x.s.levelStack.empty());
  EXPECT_EQ(CheckScene(x.s), "");
  // Levels that still hang where they did stay entered.
  const int group = x.s.rootHead;
  ASSERT_EQ(x.s.groups[group].name, "Group");
  ASSERT_TRUE(EnterLevel(x.s, group));
  ASSERT_TRUE(EnterLevel(x.s, entered));
  x.Step("Rename", [&] { SetGroupName(x.s, group, "Renamed"); });
  ASSERT_TRUE(x.history.Undo());
  EXPECT_EQ(x.s.levelStack, (std::vector<int32_t>{group, entered}));
  EXPECT_EQ(CheckScene(x.s), "");
}

// Moving a big group keeps records, not vertices; rewriting its vertices
// keeps one copy of them.
TEST(History, AMoveCostsRecordsAndANormalFlipOneCopy) {
  Session x;
  const int g = x.Select({0});
  DisplayPrimitive big;
  big.vertexCount = 30000;
  big.vertices.assign(30000 * 6, 0.5f);
  x.s.groups[g].primitives.push_back(big);
  const size_t arrayBytes = 30000 * 6 * sizeof(float);
  x.history.Clear();

  const size_t start = x.history.MemoryUse();
  for (int i = 0; i < 10; ++i)
    ApplyTransformChange(x.layer, TP::kTranslation, {0.1f, 0, 0});
  const size_t moved = x.history.MemoryUse();
  EXPECT_LT(moved - start, arrayBytes / 4);
  x.Step("Reverse Normals", [&] { ReverseNormals(x.doc); });
  const size_t flipped = x.history.MemoryUse();
  EXPECT_GE(flipped - moved, arrayBytes);
  EXPECT_LT(flipped - moved, 2 * arrayBytes);
  ASSERT_TRUE(x.history.Undo());
  EXPECT_EQ(x.s.groups[g].primitives.back().vertices[3], 0.5f);
}

}  // namespace
}  // namespace modra
