// The one edit layer: keys, matrices, the modified flag, one notice and one
// recorder step per edit.
#include "edit/edit_layer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "anim/playback.h"
#include "scene/group_fields.h"
#include "scene/key_store.h"
#include "scene/lights_camera.h"
#include "test_util.h"

namespace modra {
namespace {

using test::AddTriangle;

// Logs each step with what the document looked like at its two ends.
struct LogRecorder : EditRecorder {
  explicit LogRecorder(test::RecordedDocument& rec, int watched) : rec(rec), watched(watched) {}
  void BeginEdit(CommandId command) override {
    log.push_back("begin " + StepName(command, {}));
    xAtBegin = rec.scene().groups[watched].translation[0];
    modifiedAtBegin = rec.doc.modified;
  }
  void EndEdit() override {
    log.push_back("end");
    matrixXAtEnd = rec.scene().groups[watched].matrix[12];
    noticesAtEnd = rec.shell.changes.size();
  }
  test::RecordedDocument& rec;
  int watched;
  std::vector<std::string> log;
  float xAtBegin = -1, matrixXAtEnd = -1;
  bool modifiedAtBegin = true;
  size_t noticesAtEnd = 99;
};

struct EditLayerTest : ::testing::Test {
  test::RecordedDocument rec;
  Scene& s = rec.scene();
  int a = AddTriangle(s, "A");
  int b = AddTriangle(s, "B");
  int c = AddTriangle(s, "C");
  LogRecorder recorder{rec, a};
  EditLayer layer{rec.doc, &recorder};

  void Select(std::initializer_list<int> groups) {
    for (int g : groups)
      s.groups[g].flags |= Selected;
  }
  bool MoveX(float dx) {
    return layer.EditSelectedGroups(CommandId::kTranslate, {kKeyTranslation},
                                    [&](Scene& sc, int g) { AddTranslation(sc, g, dx, 0, 0); });
  }
};

TEST_F(EditLayerTest, OneStepOneNoticeForAllSelectedGroups) {
  Select({a, c});
  MoveX(2);
  EXPECT_EQ(recorder.log, (std::vector<std::string>{"begin Translate", "end"}));
  EXPECT_EQ(recorder.xAtBegin, 0.0f);      // the step opens before any change
  EXPECT_EQ(recorder.matrixXAtEnd, 2.0f);  // and closes with matrices rebuilt
  EXPECT_FALSE(recorder.modifiedAtBegin);
  EXPECT_EQ(recorder.noticesAtEnd, 0u);  // the window refreshes after the step
  ASSERT_EQ(rec.shell.changes.size(), 1u);
  EXPECT_EQ(rec.shell.changes[0] & (kValuesChanged | kSceneChanged),
            kValuesChanged | kSceneChanged);
  EXPECT_TRUE(rec.doc.modified);
  EXPECT_GE(rec.shell.redraws, 1);
  EXPECT_EQ(s.groups[a].matrix[12], 2.0f);
  EXPECT_EQ(s.groups[c].matrix[12], 2.0f);
  EXPECT_EQ(s.groups[b].translation[0], 0.0f);
  EXPECT_EQ(s.groups[b].matrix[12], 0.0f);
}

TEST_F(EditLayerTest, NothingSelectedIsNoEdit) {
  MoveX(2);
  EXPECT_TRUE(recorder.log.empty());
  EXPECT_TRUE(rec.shell.changes.empty());
  EXPECT_FALSE(rec.doc.modified);
}

// An edit whose values are the ones the owners have is no edit at all: not
// at frame 0, and not at another frame, where it would otherwise make keys.
TEST_F(EditLayerTest, AnEditThatChangesNothingLeavesNoTrace) {
  Select({a, b});
  s.groups[b].translation[0] = 3;
  for (int frame : {0, 10}) {
    SCOPED_TRACE(frame);
    GoToFrame(rec.doc, frame);
    rec.shell.changes.clear();
    const size_t keys = rec.anim().keys.size();
    EXPECT_FALSE(
        layer.EditSelectedGroups(CommandId::kTranslate, {kKeyTranslation}, [&](Scene& sc, int g) {
          // rewrites the value as it is
          sc.groups[g].translation[1] = 0;
        }));
    EXPECT_FALSE(MoveX(0));
    EXPECT_FALSE(layer.EditOwner(CommandId::kMoveCamera, kCameraOwner, {kKeyCamera},
                                 [](Scene& sc) { sc.camera.position = sc.camera.position; }));
    EXPECT_EQ(rec.anim().keys.size(), keys);
    EXPECT_TRUE(rec.shell.changes.empty());
    EXPECT_FALSE(rec.doc.modified);
  }
  // The recorder saw the brackets, which made no step of their own.
  EXPECT_EQ(recorder.log.size(), 12u);

  // With one group changing, only that one is keyed.
  ASSERT_TRUE(
      layer.EditSelectedGroups(CommandId::kTranslate, {kKeyTranslation}, [&](Scene& sc, int g) {
        sc.groups[g].translation = {3, 0, 0};
      }));
  EXPECT_NE(FindKey(rec.anim(), 10, a, kKeyTranslation), -1);
  EXPECT_EQ(FindKey(rec.anim(), 10, b, kKeyTranslation), -1);
  EXPECT_EQ(s.groups[a].matrix[12], 3.0f);
}

TEST_F(EditLayerTest, SelectionReachesChildrenAndSkipsUnselectedAndDeleted) {
  test::MakeChild(s, c, b);
  Select({c, a});
  int gone = AddTriangle(s, "Gone");
  s.groups[gone].flags |= Selected | Deleted;
  std::vector<int> selected = layer.SelectedGroups();
  EXPECT_EQ(selected.size(), 2u);
  EXPECT_NE(std::find(selected.begin(), selected.end(), c), selected.end());
  EXPECT_NE(std::find(selected.begin(), selected.end(), a), selected.end());
}

TEST_F(EditLayerTest, EditsAwayFromFrameZeroBecomeKeysOfEveryGroup) {
  Select({a, b});
  GoToFrame(rec.doc, 10);
  MoveX(4);
  KeyStore& k = rec.anim();
  for (int g : {a, b}) {
    EXPECT_NE(FindKey(k, 0, g, kKeyTranslation), -1) << g;
    EXPECT_NE(FindKey(k, 10, g, kKeyTranslation), -1) << g;
  }
  EXPECT_EQ(FindKey(k, 10, c, kKeyTranslation), -1);
  GoToFrame(rec.doc, 5);
  EXPECT_NEAR(s.groups[a].translation[0], 2.0f, 1e-5);
  EXPECT_NEAR(s.groups[b].matrix[12], 2.0f, 1e-5);
  GoToFrame(rec.doc, 0);
  EXPECT_EQ(s.groups[a].translation[0], 0.0f);
}

TEST_F(EditLayerTest, EditOwnerBracketsOneOwnerWithEveryKind) {
  GoToFrame(rec.doc, 10);
  layer.EditOwner(CommandId::kScale, b, {kKeyScale, kKeyTranslation}, [&](Scene& sc) {
    AddScale(sc, b, 1, 0, 0);
    AddTranslation(sc, b, 0, 3, 0);
  });
  EXPECT_EQ(recorder.log, (std::vector<std::string>{"begin Scale", "end"}));
  EXPECT_NE(FindKey(rec.anim(), 10, b, kKeyScale), -1);
  EXPECT_NE(FindKey(rec.anim(), 10, b, kKeyTranslation), -1);
  EXPECT_EQ(s.groups[b].matrix[0], 2.0f);
  EXPECT_EQ(s.groups[b].matrix[13], 3.0f);
  GoToFrame(rec.doc, 5);
  EXPECT_NEAR(s.groups[b].scale[0], 1.5f, 1e-5);
}

// Lights and the camera edit through the same layer: the owner is the light
// index - 100 or -1, and no group is touched.
TEST_F(EditLayerTest, ALightOwnerIsKeyedLikeAGroup) {
  const int light = 1, owner = light - 100;
  rec.scene().lights[light].type = kLightPositional;
  GoToFrame(rec.doc, 10);
  const Mat4 groupBefore = s.groups[a].matrix;
  layer.EditOwner(CommandId::kMoveLight, owner, {kKeyLightPosition},
                  [&](Scene& sc) { sc.lights[light].position[0] += 2; });
  EXPECT_NE(FindKey(rec.anim(), 10, owner, kKeyLightPosition), -1);
  EXPECT_EQ(s.groups[a].matrix, groupBefore);
  const float start = rec.scene().lights[light].position[0] - 2;
  GoToFrame(rec.doc, 5);
  EXPECT_NEAR(rec.scene().lights[light].position[0], start + 1, 1e-5);
}

TEST_F(EditLayerTest, WorksWithoutARecorder) {
  EditLayer plain(rec.doc);
  Select({b});
  plain.EditSelectedGroups(CommandId::kTranslate, {kKeyTranslation},
                           [&](Scene& sc, int g) { AddTranslation(sc, g, 1, 0, 0); });
  EXPECT_TRUE(recorder.log.empty());
  EXPECT_EQ(s.groups[b].matrix[12], 1.0f);
  EXPECT_EQ(rec.shell.changes.size(), 1u);
}

}  // namespace
}  // namespace modra
