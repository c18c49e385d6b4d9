// Commands on whole key frames.
#include <gtest/gtest.h>

#include <algorithm>

#include "anim/key_commands.h"
#include "anim_util.h"
#include "document/group_edit.h"
#include "scene/scene_check.h"

namespace modra {
namespace {

using test::AddTriangle;
using test::ExpectNear;
using test::SetTranslationAt;
using test::TranslationAt;
using Frames = std::vector<int32_t>;
using Strings = std::vector<std::string>;

// Group G keyed at the given frames, its x translation equal to the frame.
struct KeyFrameCommands : ::testing::Test {
  test::RecordedDocument rec;
  Document& doc = rec.doc;
  Scene& s = rec.scene();
  KeyStore& a = rec.anim();
  int g = AddTriangle(s, "G");

  void KeyAt(std::initializer_list<int> frames) {
    for (int f : frames)
      SetTranslationAt(doc, g, f, {static_cast<float>(f), 0, 0});
    doc.modified = false;
  }
  float X(int frame) { return TranslationAt(doc, g, frame)[0]; }
  int Span(int frame, int kind = kKeyTranslation) {
    int k = FindKey(a, frame, g, kind);
    return k == -1 ? -999 : a.keys[k].span;
  }
  // Translation keyed at 10 and 20, colour (red) from frame 20 on: its keys
  // at 0 and 10 hold white (span 0), then it fades to red.
  void KeyColorFrom20() {
    KeyAt({10, 20});
    GoToFrame(doc, 20);
    EnsureKeyed(doc, g, kKeyColor);
    SetColor(s, g, 1, 0, 0);
    StoreKey(doc, g, kKeyColor);
  }
  Strings Messages() { return rec.shell.messages; }
  // The clipboard's key of G of that kind; null when it holds none.
  const KnfKeyInfo* Clipped(int kind) {
    for (const KnfKeyInfo& k : a.clipboard)
      if (k.owner == g && k.kind == kind) return &k;
    return nullptr;
  }
  // Owner and kind of every key, in list order.
  using Keys = std::vector<std::pair<int, int>>;
  Keys FrameKeys(int frame) {
    Keys keys;
    ForEachKeyInFrame(a, frame, [&](int k) { keys.emplace_back(a.keys[k].owner, a.keys[k].kind); });
    return keys;
  }
  Keys ClipboardKeys() {
    Keys keys;
    for (const KnfKeyInfo& k : a.clipboard)
      keys.emplace_back(k.owner, k.kind);
    return keys;
  }
};

TEST_F(KeyFrameCommands, SqueezeMovesKeyFramesCloser) {
  KeyAt({10, 20});
  ScaleRange(doc, 0, 20, 20);  // by one: nothing changes
  ScaleRange(doc, 10, 10, 30);
  EXPECT_FALSE(doc.modified);
  ScaleRange(doc, 0, 20, 10);
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(a.keyFrameList, (Frames{0, 5, 10}));
  EXPECT_EQ(Span(0), 5);
  EXPECT_EQ(Span(10), 0);
  EXPECT_EQ(X(5), 10);  // the values travel with their frames
  EXPECT_EQ(X(10), 20);
  // Squeezed onto one frame (factor 0.1: 1 and 2 land on 0, 10 on 1), the
  // later key frame stays.
  ClearKeyFrames(a);
  KeyAt({1, 2, 10});
  ScaleRange(doc, 0, 10, 1);
  EXPECT_EQ(a.keyFrameList, (Frames{0, 1}));
  EXPECT_EQ(X(0), 2);
  EXPECT_EQ(X(1), 10);
  EXPECT_EQ(Span(0), 1);
}

TEST_F(KeyFrameCommands, StretchTruncatesTheSinglePrecisionProduct) {
  KeyAt({3, 8});
  ScaleRange(doc, 0, 3, 5);
  // 3 * (5/3 as a float) is just below 5: frame 3 lands on 4; 8 follows to 10.
  EXPECT_EQ(a.keyFrameList, (Frames{0, 4, 10}));
  EXPECT_EQ(Span(0), 4);
  EXPECT_EQ(Span(4), 6);
  EXPECT_EQ(X(10), 8);
}

TEST_F(KeyFrameCommands, RangeChecksSayWhichValueIsOut) {
  KeyAt({10});
  ScaleRange(doc, 10000, 10, 20);
  ScaleRange(doc, 0, 10000, 20);
  ScaleRange(doc, 0, 10, -1);
  ScaleRange(doc, 9999, 10, 20);  // 9999 is in range, but no key frame
  ScaleRange(doc, 10, 0, 20);
  ScaleRange(doc, 10, 10, 5);
  EXPECT_EQ(Messages(),
            (Strings{"A must be less than 9999", "B must be less than 9999",
                     "C must be less than 9999", "A(from) and B(to) values need to be key frames.",
                     "A must not be greater than B or C", "A must not be greater than B or C"}));
  EXPECT_EQ(a.keyFrameList, (Frames{0, 10}));

  rec.shell.messages.clear();
  KeyAt({9000});
  ScaleRange(doc, 0, 10, 2000);  // would push 9000 beyond the last frame
  EXPECT_EQ(Messages(), (Strings{"C must be less than 1009"}));
  EXPECT_EQ(a.keyFrameList, (Frames{0, 10, 9000}));
}

TEST_F(KeyFrameCommands, CopyKeyToRangeCopiesIntoEveryKeyFrameOfTheRange) {
  KeyAt({10, 20, 30});
  GoToFrame(doc, 10);
  CopyKeyToRange(doc, g, 0, 10000);
  GoToFrame(doc, 5);
  CopyKeyToRange(doc, g, 0, 20);
  EXPECT_EQ(Messages(),
            (Strings{"B must be less than 9999", "Need to be at a key frame for copy range"}));
  rec.shell.messages.clear();
  GoToFrame(doc, 10);
  CopyKeyToRange(doc, g, 15, 30);
  EXPECT_EQ(X(20), 10);
  EXPECT_EQ(X(30), 10);
  EXPECT_EQ(X(25), 10);  // the curves follow the copied values
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(doc.modified);
}

TEST_F(KeyFrameCommands, CopyKeyToRangeStopsAtAMissingKeyAndKeepsWhatItCopied) {
  KeyAt({10, 20, 30});
  ReleaseFrameKeys(a, 30);
  AddKey(a, 30, kKeyColor);  // frame 30 lacks G's translation key
  GoToFrame(doc, 10);
  CopyKeyToRange(doc, g, 15, 30);
  EXPECT_EQ(Messages(), (Strings{"unable to find keyinfo"}));
  EXPECT_EQ(X(20), 10);
}

TEST_F(KeyFrameCommands, CutAtFrameZeroCopiesButLeavesItWhileOthersExist) {
  KeyAt({10});
  GoToFrame(doc, 0);
  CutOrCopyKeyFrame(doc, true);
  EXPECT_EQ(a.keyFrameList, (Frames{0, 10}));
  EXPECT_NE(Clipped(kKeyTranslation), nullptr);

  // Cut the other frame away; then frame 0, alone, can go.
  GoToFrame(doc, 10);
  CutOrCopyKeyFrame(doc, true);
  GoToFrame(doc, 0);
  CutOrCopyKeyFrame(doc, true);
  EXPECT_TRUE(a.keyFrameList.empty());
  EXPECT_EQ(a.frameKeys[0], -1);
}

TEST_F(KeyFrameCommands, CutJoinsTheNeighboursOfTheCutFrame) {
  KeyAt({10, 20});
  GoToFrame(doc, 10);
  CutOrCopyKeyFrame(doc, true);
  EXPECT_EQ(a.keyFrameList, (Frames{0, 20}));
  EXPECT_EQ(Span(0), 20);
  // Frame 15 lies on the curve from frame 0 to frame 20, not at the cut value.
  EXPECT_NEAR(X(10), 10, 1e-4);
  EXPECT_GT(X(15), 10);
  EXPECT_TRUE(doc.modified);
}

// A cut frame's keys leave the pool for the clipboard: the clipboard holds
// them in the frame's order, and their records take the next keys made.
TEST_F(KeyFrameCommands, CutMovesTheFrameKeysOutOfThePool) {
  KeyColorFrom20();
  const Keys cut = FrameKeys(20);
  ASSERT_GE(cut.size(), 2u);
  const size_t pool = a.keys.size();
  GoToFrame(doc, 20);
  CutOrCopyKeyFrame(doc, true);
  EXPECT_EQ(ClipboardKeys(), cut);
  for (const KnfKeyInfo& k : a.clipboard) {
    EXPECT_EQ(k.span, 0);
    EXPECT_EQ(k.nextInFrame, -1);
  }
  EXPECT_EQ(Clipped(kKeyColor)->values[0], 1);
  EXPECT_EQ(a.keyFrameList, (Frames{0, 10}));
  EXPECT_EQ(CheckScene(s), "");

  GoToFrame(doc, 30);
  PasteKeyFrame(doc, false);
  EXPECT_EQ(a.keys.size(), pool);
  EXPECT_EQ(FrameKeys(30), cut);
  EXPECT_EQ(X(30), 20);
  EXPECT_EQ(CheckScene(s), "");
  // The clipboard keeps its keys for another paste.
  EXPECT_EQ(ClipboardKeys(), cut);
}

// A clipboard key whose owner is gone, or is no owner of its kind, has
// nothing to animate: a paste leaves it out and pastes the rest.
TEST_F(KeyFrameCommands, PasteLeavesOutKeysWithoutAFittingOwner) {
  KeyAt({10});
  GoToFrame(doc, 10);
  CutOrCopyKeyFrame(doc, false);
  const Keys copied = ClipboardKeys();
  KnfKeyInfo gone = *Clipped(kKeyTranslation);
  gone.owner = 999;
  KnfKeyInfo light = *Clipped(kKeyTranslation);
  light.owner = LightOwner(2);
  a.clipboard.insert(a.clipboard.begin(), {gone, light});
  GoToFrame(doc, 30);
  PasteKeyFrame(doc, false);
  EXPECT_EQ(FrameKeys(30), copied);
  EXPECT_EQ(CheckScene(s), "");
}

TEST_F(KeyFrameCommands, PasteIntoAnEmptyFrameMakesItAKeyFrame) {
  KeyAt({10, 20});
  GoToFrame(doc, 20);
  CutOrCopyKeyFrame(doc, false);
  EXPECT_FALSE(doc.modified);
  GoToFrame(doc, 40);
  PasteKeyFrame(doc, true);
  EXPECT_TRUE(rec.shell.questions.empty());  // nothing to overwrite
  EXPECT_EQ(a.keyFrameList, (Frames{0, 10, 20, 40}));
  EXPECT_EQ(Span(20), 20);  // the last key frame runs on to the pasted one
  EXPECT_EQ(X(40), 20);

  GoToFrame(doc, 15);  // between two key frames
  PasteKeyFrame(doc, true);
  EXPECT_EQ(Span(10), 5);
  EXPECT_EQ(X(15), 20);
  EXPECT_TRUE(doc.modified);
}

TEST_F(KeyFrameCommands, PasteKeepsAHeldParameterHeld) {
  KeyColorFrom20();
  ASSERT_EQ(Span(0, kKeyColor), 0);
  CutOrCopyKeyFrame(doc, false);
  GoToFrame(doc, 5);
  PasteKeyFrame(doc, true);
  EXPECT_EQ(Span(0), 5);             // a running curve now ends here
  EXPECT_EQ(Span(0, kKeyColor), 0);  // a held value stays held
  EXPECT_EQ(Span(5, kKeyColor), 5);
}

// Cut, paste and scaling keep a held value held.
TEST_F(KeyFrameCommands, HeldParametersStayHeld) {
  KeyColorFrom20();
  GoToFrame(doc, 10);
  CutOrCopyKeyFrame(doc, true);
  EXPECT_EQ(Span(0), 20);
  EXPECT_EQ(Span(0, kKeyColor), 0);
  GoToFrame(doc, 5);
  EXPECT_EQ(s.groups[g].color, (Vec3{1, 1, 1}));
  ScaleRange(doc, 0, 20, 40);
  EXPECT_EQ(a.keyFrameList, (Frames{0, 40}));
  EXPECT_EQ(Span(0, kKeyColor), 0);
  EXPECT_EQ(Span(0), 40);
}

TEST_F(KeyFrameCommands, PasteOverKeysAsksFirst) {
  KeyAt({10});
  GoToFrame(doc, 0);
  CutOrCopyKeyFrame(doc, false);
  GoToFrame(doc, 10);
  rec.shell.answer = false;
  PasteKeyFrame(doc, true);
  ASSERT_EQ(rec.shell.questions.size(), 1u);
  EXPECT_EQ(
      rec.shell.questions[0],
      "The current frame has key frame information.\nIs it ok to overwrite with the paste data?");
  EXPECT_EQ(X(10), 10);
  rec.shell.answer = true;
  PasteKeyFrame(doc, true);
  EXPECT_EQ(X(10), 0);
  // An empty clipboard pasted over a frame leaves it without keys.
  ClearKeyFrames(a);
  KeyAt({10, 20});
  GoToFrame(doc, 20);
  PasteKeyFrame(doc, false);
  EXPECT_EQ(a.keyFrameList, (Frames{0, 10}));
}

TEST_F(KeyFrameCommands, CopyRangeToRangeCopiesEachKeyFrame) {
  KeyAt({10});
  CopyRangeToRange(doc, 0, 10, 30);
  EXPECT_EQ(a.keyFrameList, (Frames{0, 10, 30, 40}));
  EXPECT_EQ(X(40), 10);
  // The clipboard holds the last frame copied.
  const KnfKeyInfo* clip = Clipped(kKeyTranslation);
  ASSERT_NE(clip, nullptr);
  EXPECT_EQ(clip->values[0], 10);
  // Inside the range, frames already pasted are copied again.
  ClearKeyFrames(a);
  s.groups[g].translation = {0, 0, 0};
  KeyAt({10});
  CopyRangeToRange(doc, 0, 10, 5);
  // 0 -> 5; then 5 (now a key frame) -> 10; then 10 -> 15: all frame 0's values.
  EXPECT_EQ(a.keyFrameList, (Frames{0, 5, 10, 15}));
  for (int f : {5, 10, 15})
    EXPECT_EQ(X(f), 0) << f;
}

TEST_F(KeyFrameCommands, CopyRangeToRangeRefusals) {
  KeyAt({10});
  CopyRangeToRange(doc, 0, 10, 10000);
  CopyRangeToRange(doc, 0, 5, 20);
  CopyRangeToRange(doc, -7, 10, 20);
  CopyRangeToRange(doc, 0, 10, 9995);
  EXPECT_EQ(
      Messages(),
      (Strings{"C must be less than 9999", "A(from) and B(to) values need to be key frames.",
               "A(from) and B(to) values need to be key frames.", "C must be less than 9989"}));
  EXPECT_EQ(a.keyFrameList, (Frames{0, 10}));
}

TEST_F(KeyFrameCommands, RemoveOwnerKeysLeavesOtherOwnersAnimated) {
  int other = AddTriangle(s, "other");
  KeyAt({10});
  GoToFrame(doc, 10);
  EnsureKeyed(doc, other, kKeyScale);
  s.groups[other].scale = {2, 2, 2};
  StoreKey(doc, other, kKeyScale);
  CutOrCopyKeyFrame(doc, false);

  RemoveOwnerKeys(doc, g);
  for (int f : {0, 10}) {
    EXPECT_EQ(FindOwnerKey(a, f, g), -1);
    EXPECT_NE(FindKey(a, f, other, kKeyScale), -1);
  }
  // Nor can a paste bring them back to a group that a later one may replace.
  EXPECT_EQ(Clipped(kKeyTranslation), nullptr);
  EXPECT_TRUE(std::any_of(a.clipboard.begin(), a.clipboard.end(),
                          [&](const KnfKeyInfo& k) { return k.owner == other; }));
  RemoveOwnerKeys(doc, other);
  EXPECT_TRUE(a.keyFrameList.empty());
  EXPECT_EQ(a.currentFrame, 0);
}

TEST_F(KeyFrameCommands, RemoveOwnerKeysNeedsAKeyAtFrameZero) {
  KeyAt({10});
  ReleaseFrameKeys(a, 0);
  a.keys[AddKey(a, 0, kKeyColor)].owner = 99;  // frame 0 holds neither G's keys nor the camera's
  RemoveOwnerKeys(doc, g);
  EXPECT_NE(FindKey(a, 10, g, kKeyTranslation), -1);
  EXPECT_FALSE(doc.modified);
}

TEST_F(KeyFrameCommands, RemovingTheLookAtGroupTurnsCameraKeysToManual) {
  s.camera.mode = kCameraLookAt;
  s.camera.lookAtGroup = g;
  RebuildCameraPath(s);
  KeyAt({10});
  int cam = FindKey(a, 10, kCameraOwner, kKeyCamera);
  ASSERT_NE(cam, -1);
  GoToFrame(doc, 10);
  CutOrCopyKeyFrame(doc, false);
  auto clippedMode = [&] {
    auto k = std::find_if(a.clipboard.begin(), a.clipboard.end(),
                          [](const KnfKeyInfo& k) { return k.kind == kKeyCamera; });
    return k == a.clipboard.end() ? -1 : static_cast<int>(k->mask & 3);
  };
  EXPECT_EQ(clippedMode(), kCameraLookAt);
  RemoveOwnerKeys(doc, g);
  EXPECT_EQ(a.keys[cam].mask & 3, 0u);
  EXPECT_EQ(clippedMode(), kCameraManual);
}

// A manual camera key copied over a look-at one takes its manual mode:
// its look-at group word names no group.
TEST_F(KeyFrameCommands, ACameraKeyCopiedToARangeTakesItsMode) {
  KeyAt({10, 20});
  GoToFrame(doc, 10);
  EnsureKeyed(doc, kCameraOwner, kKeyCamera);  // manual at every key frame
  StoreKey(doc, kCameraOwner, kKeyCamera);
  GoToFrame(doc, 20);
  s.camera.mode = kCameraLookAt;
  s.camera.lookAtGroup = g;
  RebuildCameraPath(s);
  StoreKey(doc, kCameraOwner, kKeyCamera);
  const int at20 = FindKey(a, 20, kCameraOwner, kKeyCamera);
  ASSERT_NE(at20, -1);
  ASSERT_EQ(a.keys[at20].mask & 3, static_cast<uint32_t>(kCameraLookAt));
  GoToFrame(doc, 10);
  ASSERT_EQ(s.camera.mode, kCameraManual);
  CopyKeyToRange(doc, kCameraOwner, 20, 20);
  EXPECT_EQ(a.keys[at20].mask & 3, static_cast<uint32_t>(kCameraManual));
  GoToFrame(doc, 20);
  EXPECT_EQ(s.camera.mode, kCameraManual);
  EXPECT_EQ(CheckScene(s), "");
}

TEST_F(KeyFrameCommands, PreviousAndNextWrapAroundTheAnimation) {
  KeyAt({10, 20});
  GoToFrame(doc, 0);
  GoToPreviousKeyFrame(doc);
  EXPECT_EQ(a.currentFrame, 20);
  GoToNextKeyFrame(doc);
  EXPECT_EQ(a.currentFrame, 0);
  GoToNextKeyFrame(doc);
  EXPECT_EQ(a.currentFrame, 10);
  GoToFrame(doc, 15);
  GoToNextKeyFrame(doc);
  EXPECT_EQ(a.currentFrame, 20);
  EXPECT_EQ(s.groups[g].translation[0], 20);

  StartPlayback(doc);
  GoToPreviousKeyFrame(doc);  // ignored while playing
  EXPECT_EQ(a.currentFrame, 20);
}

}  // namespace
}  // namespace modra
