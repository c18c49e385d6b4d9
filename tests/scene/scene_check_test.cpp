// The scene check: whole scenes pass, real ones too, and each kind of
// broken link is named; no scene, however damaged, stops the check.
#include "scene/scene_check.h"

#include <gtest/gtest.h>

#include <bit>
#include <functional>
#include <random>
#include <string>

#include "anim/anim_util.h"
#include "anim/key_commands.h"
#include "document/group_edit.h"
#include "formats/import_test_util.h"
#include "scene/camera_lights.h"

namespace modra {
namespace {

using test::AddTriangle;

// Top level A, B; A's children X, Y; one free slot F. A's translation and
// the camera, which looks at X, are keyed at frames 0 and 10; the group
// clipboard holds a copy of B and the key clipboard a copy of frame 10.
struct Whole {
  test::RecordedDocument rec;
  Scene& s = rec.scene();
  KeyStore& keys = rec.anim();
  int f = AddTriangle(s, "F");
  int y = AddTriangle(s, "Y");
  int x = AddTriangle(s, "X");
  int b = AddTriangle(s, "B");
  int a = AddTriangle(s, "A");

  Whole() {
    test::Siblings(s, -1, {a, b});
    test::Siblings(s, a, {x, y});
    s.groups[f].next = -1;
    ReleaseGroup(s, f);
    test::SetTranslationAt(rec.doc, a, 10, {1, 0, 0});
    s.camera.mode = kCameraLookAt;
    s.camera.lookAtGroup = x;
    RebuildCameraPath(s);
    EnsureKeyed(rec.doc, kCameraOwner, kKeyCamera);
    StoreKey(rec.doc, kCameraOwner, kKeyCamera);
    CutOrCopyKeyFrame(rec.doc, false);
    s.groups[b].flags |= Selected;
    s.selectedGroup = b;
    Copy(rec.doc);
  }
  // The first key of a frame's list.
  KnfKeyInfo& First(int frame) { return keys.keys[keys.frameKeys[frame]]; }
  KnfKeyInfo& KeyOf(int frame, int owner, int kind) {
    const int k = FindKey(keys, frame, owner, kind);
    EXPECT_NE(k, -1);
    return keys.keys.at(static_cast<size_t>(k));
  }
};

TEST(SceneCheck, WholeScenesPass) {
  Scene empty;
  EXPECT_EQ(CheckScene(empty), "");
  Whole w;
  ASSERT_FALSE(w.s.clipboard.Empty());
  ASSERT_FALSE(w.keys.clipboard.empty());
  // The camera keys hold the path to X after their curve values.
  ASSERT_EQ(w.KeyOf(10, kCameraOwner, kKeyCamera).values.size(), size_t{kCameraPathWord + 2});
  EXPECT_EQ(CheckScene(w.s), "");
  // A level two deep, and a camera that looks at a child.
  w.s.groups[w.x].child = w.f;
  w.s.freeHead = -1;
  w.s.groups[w.f] = DisplayGroup{};
  w.s.groups[w.f].name = "F";
  ASSERT_TRUE(EnterLevel(w.s, w.a));
  ASSERT_TRUE(EnterLevel(w.s, w.x));
  w.s.selectedGroup = w.f;
  w.s.camera.lookAtGroup = w.y;
  EXPECT_EQ(CheckScene(w.s), "");
}

// Header slots of a native file are Deleted slots that lie on no list.
TEST(SceneCheck, RealScenesPass) {
  const std::vector<std::string> files = {
      std::string(MODRA_SOURCE_DIR) + "/examples/demo.knf",
      test::ModelPath("obj/WusonOBJ.obj"),
      test::ModelPath("obj/spider.obj"),
      test::ModelPath("3ds/CameraRollAnimWithChildObject.3ds"),
      test::ModelPath("3ds/fels.3ds"),
      test::ModelPath("cob/spider_4_3.cob"),
      test::ModelPath("cob/molecule_ascii.cob"),
      test::ModelPath("dxf/PinkEggFromLW.dxf"),
  };
  test::RecordedDocument rec;
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    ASSERT_EQ(OpenModelFile(rec.doc, file), 0);
    EXPECT_EQ(CheckScene(rec.scene()), "");
  }
  // Appended under a group of its own, beside the scene that was there.
  ASSERT_EQ(OpenModelFile(rec.doc, files[0]), 0);
  ASSERT_FALSE(rec.anim().keyFrameList.empty());
  AppendModelFile(rec.doc, files[0]);
  AppendModelFile(rec.doc, files[1]);
  EXPECT_EQ(CheckScene(rec.scene()), "");
}

struct Breach {
  const char* name;
  std::function<void(Whole&)> breakIt;
  const char* named;  // a part of the line that must name the problem
};

void PrintTo(const Breach& b, std::ostream* os) {
  *os << b.name;
}

const Breach kBreaches[] = {
    // The hierarchy.
    {"SiblingsInACircle", [](Whole& w) { w.s.groups[w.b].next = w.a; }, "slot 4 is reached twice"},
    {"ChildBackToAnAncestor", [](Whole& w) { w.s.groups[w.y].child = w.a; }, "reached twice"},
    {"RootOutsideTheTable", [](Whole& w) { w.s.rootHead = 5; }, "names slot 5, outside"},
    {"NegativeLink", [](Whole& w) { w.s.groups[w.x].next = -7; }, "outside the table"},
    {"ListReachesAFreeSlot", [](Whole& w) { w.s.groups[w.y].next = w.f; },
     "free list holds slot 0, which is linked in the scene"},
    {"GroupOnNoList", [](Whole& w) { w.s.groups[w.x].next = -1; },
     "\"Y\") holds a group that is in no level"},
    // The free list.
    {"FreeListInACircle", [](Whole& w) { w.s.groups[w.f].next = w.f; }, "reaches slot 0 twice"},
    {"FreeListHoldsAGroup", [](Whole& w) { w.s.groups[w.f].next = w.b; }, "which holds a group"},
    {"FreeListOutsideTheTable", [](Whole& w) { w.s.freeHead = 40; }, "free list names slot 40"},
    // The level, the selection and the camera.
    {"LevelNotAtTheTop", [](Whole& w) { w.s.levelStack = {w.x}; }, "not in the top level"},
    {"LevelNotAChild",
     [](Whole& w) {
       w.s.levelStack = {w.a, w.b};
     },
     "not in the children of slot 4"},
    {"LevelOfAFreeSlot", [](Whole& w) { w.s.levelStack = {w.f}; }, "not a group of the scene"},
    {"LevelTooDeep", [](Whole& w) { w.s.levelStack.assign(kMaxLevelDepth + 1, w.a); },
     "levels deep"},
    {"SelectedFreeSlot", [](Whole& w) { w.s.selectedGroup = w.f; }, "selected group 0"},
    {"SelectedOutsideTheTable", [](Whole& w) { w.s.selectedGroup = 9; }, "selected group 9"},
    {"CameraLooksAtAFreeSlot", [](Whole& w) { w.s.camera.lookAtGroup = w.f; }, "camera looks at"},
    // The group clipboard.
    {"ClipboardInACircle", [](Whole& w) { w.s.clipboard.groups[0].next = 0; },
     "clipboard record 0 is reached twice"},
    {"ClipboardChildOutside", [](Whole& w) { w.s.clipboard.groups[0].child = 3; },
     "names clipboard record 3, outside"},
    {"ClipboardNamesASceneSlot", [](Whole& w) { w.s.clipboard.head = w.b; }, "outside"},
    {"ClipboardRecordOnNoList",
     [](Whole& w) { w.s.clipboard.groups.push_back(w.s.clipboard.groups[0]); },
     "clipboard record 1 is in no list"},
    // Frame lists.
    {"KeysInACircle", [](Whole& w) { w.First(10).nextInFrame = w.keys.frameKeys[10]; },
     "runs in a circle"},
    {"KeyInTwoFrames", [](Whole& w) { w.keys.frameKeys[20] = w.keys.frameKeys[10]; },
     "in frame 20 and in frame 10"},
    {"FrameNamesAKeyOutsideThePool", [](Whole& w) { w.First(10).nextInFrame = 500; },
     "names key 500, outside"},
    {"ReleasedKeyInAFrame", [](Whole& w) { w.First(0).kind = -1; }, "has no kind (-1)"},
    {"TooFewValues", [](Whole& w) { w.KeyOf(10, w.a, kKeyTranslation).values.pop_back(); },
     "holds 20 values for kind 1"},
    {"CameraPathLongerThanItsValues",
     [](Whole& w) {
       w.KeyOf(10, kCameraOwner, kKeyCamera).values[kCameraPathCountWord] = std::bit_cast<float>(3);
     },
     "values for kind 3"},
    {"KeyOfAFreeSlot", [](Whole& w) { w.KeyOf(10, w.a, kKeyTranslation).owner = w.f; },
     "for owner 0, which has no such keys"},
    {"GroupKindForALight",
     [](Whole& w) { w.KeyOf(10, w.a, kKeyTranslation).owner = LightOwner(3); }, "owner -97"},
    {"NoSuchLight", [](Whole& w) { w.KeyOf(10, w.a, kKeyTranslation).owner = -50; }, "owner -50"},
    {"CameraKindForAGroup", [](Whole& w) { w.KeyOf(10, kCameraOwner, kKeyCamera).owner = w.b; },
     "kind 3 for owner"},
    // The key free list and the pool.
    {"FreeKeyInACircle",
     [](Whole& w) {
       w.keys.keys.emplace_back();
       w.keys.freeKey = static_cast<int>(w.keys.keys.size()) - 1;
       w.keys.keys.back().nextInFrame = w.keys.freeKey;
     },
     "key free list runs in a circle"},
    {"FreeKeyHoldsAKey", [](Whole& w) { w.keys.freeKey = w.keys.frameKeys[10]; },
     "is free and in frame 10"},
    {"FreeKeyOutsideThePool", [](Whole& w) { w.keys.freeKey = 300; }, "names key 300"},
    {"KeyNowhere", [](Whole& w) { w.keys.keys.emplace_back(); }, "in no frame and not free"},
    {"FreeRecordWithAKind",
     [](Whole& w) {
       w.keys.keys.emplace_back().kind = kKeyScale;
       w.keys.freeKey = static_cast<int>(w.keys.keys.size()) - 1;
     },
     "holds a key of kind 2"},
    // The list of key frames.
    {"KeyFrameListBackwards",
     [](Whole& w) {
       w.keys.keyFrameList = {10, 0};
     },
     "does not ascend"},
    {"KeyFrameListTwice",
     [](Whole& w) {
       w.keys.keyFrameList = {0, 10, 10};
     },
     "does not ascend"},
    {"KeyFrameListNamesAnEmptyFrame",
     [](Whole& w) {
       w.keys.keyFrameList = {0, 5, 10};
     },
     "frame 5, which holds no keys"},
    {"KeyFrameListLeavesOneOut", [](Whole& w) { w.keys.keyFrameList = {0}; },
     "frame 10 holds keys but"},
    {"KeyFrameListOutsideTheAnimation",
     [](Whole& w) {
       w.keys.keyFrameList = {0, 10, 10000};
     },
     "names frame 10000"},
    // The key clipboard.
    {"ClipboardKeyWithoutAKind", [](Whole& w) { w.keys.clipboard[0].kind = 14; },
     "clipboard key 0 has no kind"},
    {"ClipboardKeyShort", [](Whole& w) { w.keys.clipboard.back().values.resize(2); },
     "holds 2 values"},
};

struct SceneCheckBreaches : ::testing::TestWithParam<Breach> {};

TEST_P(SceneCheckBreaches, NameTheFirstProblem) {
  Whole w;
  ASSERT_EQ(CheckScene(w.s), "");
  GetParam().breakIt(w);
  const std::string problem = CheckScene(w.s);
  EXPECT_NE(problem.find(GetParam().named), std::string::npos) << problem;
  EXPECT_EQ(problem.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Rules, SceneCheckBreaches, ::testing::ValuesIn(kBreaches),
                         [](const auto& info) { return std::string(info.param.name); });

// Links set to anything at all, a few at a time: the check reads inside
// its tables, ends, and finds something wrong in most.
TEST(SceneCheck, SurvivesAnyLinks) {
  const Whole w;
  std::mt19937 random(7);
  int found = 0;
  for (int round = 0; round < 1500; ++round) {
    Scene s = w.s;
    KeyStore& a = s.anim;
    auto any = [&] { return static_cast<int32_t>(random() % 24) - 4; };
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    for (int n = 1 + static_cast<int>(random() % 3); n > 0; --n) {
      switch (random() % 12) {
        case 0:
          s.groups[pick(s.groups.size())].next = any();
          break;
        case 1:
          s.groups[pick(s.groups.size())].child = any();
          break;
        case 2:
          (random() % 2 ? s.rootHead : s.freeHead) = any();
          break;
        case 3:
          s.levelStack.push_back(any());
          break;
        case 4:
          (random() % 2 ? s.selectedGroup : s.camera.lookAtGroup) = any();
          break;
        case 5:
          s.clipboard.groups[pick(s.clipboard.groups.size())].next = any();
          break;
        case 6:
          s.clipboard.head = any();
          break;
        case 7:
          a.frameKeys[pick(12)] = any();
          break;
        case 8:
          a.keys[pick(a.keys.size())].nextInFrame = any();
          break;
        case 9:
          a.freeKey = any();
          break;
        case 10:
          a.keys[pick(a.keys.size())].kind = any();
          break;
        default:
          a.keyFrameList.push_back(any());
          break;
      }
    }
    found += !CheckScene(s).empty();
  }
  EXPECT_GT(found, 1000);
}

}  // namespace
}  // namespace modra
