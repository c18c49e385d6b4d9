// Keys, curves and playback.
#include <gtest/gtest.h>

#include <bit>

#include "anim/curves.h"
#include "anim/key_commands.h"
#include "anim/key_values.h"
#include "anim_util.h"

namespace modra {
namespace {

using test::AddTriangle;
using test::ExpectNear;
using test::SetTranslationAt;
using test::TranslationAt;

struct Animation : ::testing::Test {
  test::RecordedDocument rec;
  Document& doc = rec.doc;
  Scene& s = rec.scene();
  KeyStore& a = rec.anim();
  int g = AddTriangle(s, "G");

  int Key(int frame, int owner, int kind) { return FindKey(a, frame, owner, kind); }
  float Value(int frame, int owner, int kind, int i) {
    int k = Key(frame, owner, kind);
    EXPECT_NE(k, -1) << "no key at frame " << frame;
    return k == -1 ? 0 : a.keys[k].values[i];
  }
};

TEST(KeyStoreTables, KindsAndFramesOutsideTheTablesGetNoKey) {
  EXPECT_EQ(ValueCount(14), -1);
  EXPECT_EQ(ValueCount(-1), -1);
  EXPECT_EQ(StoredValueCount(99), -1);
  KeyStore store;
  EXPECT_EQ(AddKey(store, 0, 99), -1);
  EXPECT_EQ(AddKey(store, -1, 0), -1);
  EXPECT_EQ(AddKey(store, kFrameCount, 0), -1);
}

TEST(KeyStoreTables, ReleasedKeysAreReusedAndTheCameraKeyGoesLast) {
  KeyStore store;
  int k1 = AddKey(store, 5, kKeyScale);
  int cam = AddCameraKey(store, 5);
  EXPECT_EQ(store.keys[k1].nextInFrame, cam);
  EXPECT_EQ(store.keys[cam].values.size(), 44u);
  ReleaseFrameKeys(store, 5);
  EXPECT_EQ(store.frameKeys[5], -1);
  size_t records = store.keys.size();
  AddKey(store, 7, kKeyRotation);
  AddKey(store, 7, kKeyRotation);
  EXPECT_EQ(store.keys.size(), records);
  RebuildKeyFrameList(store);
  EXPECT_EQ(store.keyFrameList, (std::vector<int32_t>{7}));
}

TEST_F(Animation, EditAwayFromFrameZeroKeysBothEnds) {
  SetTranslationAt(doc, g, 10, {10, 0, 0});
  EXPECT_EQ(a.keyFrameList, (std::vector<int32_t>{0, 10}));
  EXPECT_EQ(Value(0, g, kKeyTranslation, 0), 0);  // the value before the edit
  EXPECT_EQ(Value(10, g, kKeyTranslation, 0), 10);
  EXPECT_EQ(a.keys[Key(0, g, kKeyTranslation)].span, 10);
  EXPECT_TRUE(doc.modified);

  // Both control points lie a third of the way along: halfway at frame 5,
  // but eased elsewhere (t = 0.2 gives 1.9904, not 2).
  ExpectNear(TranslationAt(doc, g, 5), {5, 0, 0});
  EXPECT_NEAR(TranslationAt(doc, g, 2)[0], 1.9904f, 1e-4);
}

TEST_F(Animation, ASecondKeySetsTheTangentToAQuarterOfTheNeighboursDifference) {
  SetTranslationAt(doc, g, 10, {10, 0, 0});
  SetTranslationAt(doc, g, 20, {30, 4, 0});
  const int n = 3;
  // T = (P20 - P0) / 4 = (7.5, 1, 0) at frame 10.
  EXPECT_FLOAT_EQ(Value(10, g, kKeyTranslation, n + 0), 17.5f);  // C1 of the key at 10
  EXPECT_FLOAT_EQ(Value(10, g, kKeyTranslation, n + 1), 1.0f);
  EXPECT_FLOAT_EQ(Value(0, g, kKeyTranslation, 2 * n + 0), 2.5f);  // C2 of the key at 0
  ExpectNear(TranslationAt(doc, g, 20), {30, 4, 0});  // the curve passes through every key
  // Beyond the last key frame the last values hold; frames are held to the animation.
  ExpectNear(TranslationAt(doc, g, kMaxFrame), {30, 4, 0});
  GoToFrame(doc, 20000);
  EXPECT_EQ(a.currentFrame, kMaxFrame);
  GoToFrame(doc, -3);
  EXPECT_EQ(a.currentFrame, 0);
}

TEST_F(Animation, EditingAtFrameZeroMakesNoKeyFrame) {
  GoToFrame(doc, 0);
  EnsureKeyed(doc, g, kKeyRotation);
  AddRotation(s, g, 0, 45, 0);
  StoreKey(doc, g, kKeyRotation);
  EXPECT_TRUE(a.keyFrameList.empty());
  EXPECT_EQ(FindKey(a, 0, g, kKeyRotation), -1);
  // Once keyed, an edit at frame 0 rewrites frame 0's key.
  SetTranslationAt(doc, g, 10, {1, 0, 0});
  SetTranslationAt(doc, g, 0, {-1, 0, 0});
  EXPECT_EQ(Value(0, g, kKeyTranslation, 0), -1);
  ExpectNear(TranslationAt(doc, g, 5), {0, 0, 0});
}

TEST_F(Animation, ANewKeyFrameBetweenTwoHoldsTheValuesShownThere) {
  SetTranslationAt(doc, g, 20, {20, 0, 0});
  GoToFrame(doc, 10);
  Vec3 between = s.groups[g].translation;
  // Key a different parameter at frame 10.
  EnsureKeyed(doc, g, kKeyColor);
  SetColor(s, g, 1, 0, 0);
  StoreKey(doc, g, kKeyColor);

  EXPECT_EQ(a.keyFrameList, (std::vector<int32_t>{0, 10, 20}));
  EXPECT_FLOAT_EQ(Value(10, g, kKeyTranslation, 0), between[0]);
  EXPECT_EQ(a.keys[Key(0, g, kKeyTranslation)].span, 10);
  EXPECT_EQ(a.keys[Key(10, g, kKeyTranslation)].span, 10);
  // Every key frame keys every keyed parameter.
  for (int f : {0, 10, 20}) {
    EXPECT_NE(Key(f, g, kKeyTranslation), -1) << f;
    EXPECT_NE(Key(f, g, kKeyColor), -1) << f;
  }
  EXPECT_EQ(Value(20, g, kKeyColor, 1), 1);  // green, as before the edit
}

TEST_F(Animation, StepKindsChangeOnlyAtKeyFrames) {
  GoToFrame(doc, 10);
  EnsureKeyed(doc, LightOwner(5), kKeyLightType);
  s.lights[5].type = kLightPositional;
  StoreKey(doc, LightOwner(5), kKeyLightType);
  EXPECT_EQ(a.keys[Key(10, LightOwner(5), kKeyLightType)].mask, kStepMask);

  for (int f : {0, 1, 5, 9}) {
    GoToFrame(doc, f);
    EXPECT_EQ(s.lights[5].type, kLightOff) << f;
  }
  GoToFrame(doc, 10);
  EXPECT_EQ(s.lights[5].type, kLightPositional);
}

TEST_F(Animation, LightKeysAreHeldToTheirLimitsAndTurnTheLight) {
  GoToFrame(doc, 10);
  EnsureKeyed(doc, LightOwner(2), kKeyLightColor);
  s.lights[2].color = {2, -1, 0.5f};  // as a key from a file may hold
  StoreKey(doc, LightOwner(2), kKeyLightColor);
  EnsureKeyed(doc, LightOwner(2), kKeyLightCone);
  s.lights[2].cutoff = 0.5f;
  s.lights[2].spotPower = -2;
  StoreKey(doc, LightOwner(2), kKeyLightCone);
  EnsureKeyed(doc, LightOwner(2), kKeyLightPosition);
  s.lights[2].rotation = {90, 0, 0};
  StoreKey(doc, LightOwner(2), kKeyLightPosition);

  GoToFrame(doc, 0);
  GoToFrame(doc, 10);
  EXPECT_EQ(s.lights[2].color, (Vec3{1, 0, 0.5f}));
  EXPECT_EQ(s.lights[2].cutoff, 1.0f);
  EXPECT_EQ(s.lights[2].spotPower, 0.0f);
  ExpectNear(s.lights[2].direction, {0, 0, -1});
}

TEST_F(Animation, CameraKeysKeepTheLookAtGroupAndPath) {
  int parent = NewGroup(s, "parent");
  // parent(g)
  test::Siblings(s, -1, {parent});
  test::Siblings(s, parent, {g});
  s.groups[parent].translation = {0, 0, 5};
  BuildGroupMatrix(s, parent);
  s.camera.mode = kCameraLookAt;
  s.camera.lookAtGroup = g;
  s.camera.position = {0, 0, 0};
  RebuildCameraPath(s);

  // Moving the target at frame 10 keys the camera's new aim too.
  SetTranslationAt(doc, g, 10, {5, 0, 0});
  int cam = Key(10, kCameraOwner, kKeyCamera);
  ASSERT_NE(cam, -1);
  const KnfKeyInfo& key = a.keys[cam];
  EXPECT_EQ(key.mask, static_cast<uint32_t>(kCameraLookAt));
  ASSERT_EQ(key.values.size(), 46u);
  EXPECT_EQ(std::bit_cast<int32_t>(key.values[kCameraLookAtWord]), g);
  EXPECT_EQ(std::bit_cast<int32_t>(key.values[kCameraPathCountWord]), 2);
  EXPECT_EQ(std::bit_cast<int32_t>(key.values[kCameraPathWord]), parent);
  EXPECT_EQ(std::bit_cast<int32_t>(key.values[kCameraPathWord + 1]), g);

  // Showing the frame restores the look-at settings and re-aims.
  s.camera.mode = kCameraManual;
  s.camera.lookAtGroup = -1;
  s.camera.lookAtPath.clear();
  GoToFrame(doc, 10);
  EXPECT_EQ(s.camera.mode, kCameraLookAt);
  EXPECT_EQ(s.camera.lookAtGroup, g);
  EXPECT_EQ(s.camera.lookAtPath, (std::vector<int32_t>{parent, g}));
  ExpectNear(s.camera.vectorA, {5, 0, 5});
  EXPECT_NEAR(s.camera.rotation[1], 45, 1e-4);
  // Half way, the camera aims at the target half way.
  GoToFrame(doc, 5);
  ExpectNear(s.camera.vectorA, {2.5f, 0, 5});
}

TEST_F(Animation, PlaybackStepsThroughTheFramesAndWraps) {
  StartPlayback(doc);
  EXPECT_FALSE(a.playing);  // nothing to play without key frames
  SetTranslationAt(doc, g, 4, {4, 0, 0});
  rec.shell.framesShown.clear();
  StartPlayback(doc);
  EXPECT_TRUE(a.playing);
  std::vector<float> xs;
  for (int i = 0; i < 7; ++i) {
    PlayStep(doc);
    xs.push_back(s.groups[g].translation[0]);
  }
  EXPECT_EQ(rec.shell.framesShown, (std::vector<int>{0, 1, 2, 3, 4, 0, 1}));
  EXPECT_NEAR(xs[2], 2, 1e-5);
  EXPECT_EQ(xs[4], 4);
  EXPECT_EQ(xs[5], 0);

  StopPlayback(doc);
  EXPECT_FALSE(a.playing);
  EXPECT_EQ(a.currentFrame, 0);
  EXPECT_EQ(s.groups[g].translation[0], 0);
}

TEST_F(Animation, WalkingTheFramesInOrderShowsWhatGoToFrameShows) {
  const int h = AddTriangle(s, "H");
  SetTranslationAt(doc, g, 7, {7, 1, 0});
  SetTranslationAt(doc, g, 30, {-3, 2, 5});
  SetTranslationAt(doc, h, 12, {0, 4, 0});
  GoToFrame(doc, 20);
  EnsureKeyed(doc, h, kKeyRotation);
  s.groups[h].rotation = {10, 80, -30};
  StoreKey(doc, h, kKeyRotation);
  GoToFrame(doc, 40);
  EnsureKeyed(doc, g, kKeyEnabled);
  s.groups[g].flags &= ~Enabled;
  StoreKey(doc, g, kKeyEnabled);
  // Files from elsewhere may leave a curve running past the next key
  // frame, or an owner without a key at a key frame in between.
  a.keys[Key(12, h, kKeyTranslation)].span = 25;
  a.keys[Key(7, g, kKeyTranslation)].span = 0;

  auto state = [&] {
    std::vector<float> v;
    for (int i : {g, h}) {
      const DisplayGroup& d = s.groups[i];
      v.insert(v.end(), d.translation.begin(), d.translation.end());
      v.insert(v.end(), d.rotation.begin(), d.rotation.end());
      v.push_back((d.flags & Enabled) ? 1.0f : 0.0f);
    }
    return v;
  };
  GoToFrame(doc, 25);  // the walk starts from whatever is shown
  std::vector<std::vector<float>> walked;
  ForEachFrameInOrder(doc, [&](int f) {
    EXPECT_EQ(f, static_cast<int>(walked.size()));
    walked.push_back(state());
  });
  ASSERT_EQ(walked.size(), 41u);
  GoToFrame(doc, 25);
  for (int f = 0; f <= 40; ++f) {
    GoToFrame(doc, f);
    // Exactly equal: the export's samples must be the frames as shown.
    EXPECT_EQ(state(), walked[static_cast<size_t>(f)]) << "frame " << f;
  }
}

TEST_F(Animation, ShowFrameAtEvaluatesBetweenFrames) {
  SetTranslationAt(doc, g, 10, {10, 0, 0});
  ShowFrameAt(doc, 4, 0.5f);
  float between = s.groups[g].translation[0];
  // The curve at t = 0.45.
  float a3 = -0.2f, b2 = 0.3f, c1 = 9.9f, t = 0.45f;
  EXPECT_NEAR(between, ((a3 * t + b2) * t + c1) * t, 1e-4);
  ShowFrameAt(doc, 10, 0.5f);  // nothing runs past the last key frame
  EXPECT_EQ(s.groups[g].translation[0], 10);
}

TEST_F(Animation, AKeyWithNothingAfterItHoldsItsValue) {
  // A curve can be left running into a frame that does not key its
  // parameter; it must hold, not fall to zero.
  SetTranslationAt(doc, g, 10, {10, 7, 0});
  int k = Key(10, g, kKeyTranslation);
  a.keys[k].span = 5;
  ComputeCurvesAround(a, 10, k);
  ShowFrameAt(doc, 12, 0);
  ExpectNear(s.groups[g].translation, {10, 7, 0});
}

TEST_F(Animation, KeysOfVanishedOwnersAreIgnored) {
  SetTranslationAt(doc, g, 10, {10, 0, 0});
  int k = Key(10, g, kKeyTranslation);
  a.keys[k].owner = 777;  // no such group
  std::vector<float> values = {0.25f, 0.5f, 0.75f};
  ApplyKeyValues(s, LightOwner(9), kKeyLightColor, 0, values);  // no such light
  ApplyKeyValues(s, g, kKeyLightColor, 0, values);              // wrong kind of owner
  ApplyKeyValues(s, kCameraOwner, kKeyColor, 0, values);
  for (const KnfLight& light : s.lights)
    EXPECT_NE(light.color[0], 0.25f);
  EXPECT_EQ(s.groups[g].color, (Vec3{1, 1, 1}));
  GoToFrame(doc, 10);  // the orphaned key is passed over
  EXPECT_FALSE(OwnerMatchesKind(s, LightOwner(9), kKeyLightColor));
  EXPECT_TRUE(OwnerMatchesKind(s, LightOwner(8), kKeyLightColor));
  EXPECT_FALSE(OwnerMatchesKind(s, kCameraOwner, kKeyTranslation));
}

// Frame 0 loses its keys, breaking the rule that every key frame keys every
// keyed parameter: edits after it are refused and said, and nothing of
// zeros is stored; keying again mends frame 0 without doubling a key.
TEST_F(Animation, AKeyMissingInThePreviousFrameIsReportedAndMended) {
  SetTranslationAt(doc, g, 10, {10, 0, 0});
  ReleaseFrameKeys(a, 0);
  AddKey(a, 0, kKeyColor);
  GoToFrame(doc, 10);
  s.groups[g].translation = {3, 0, 0};
  StoreKey(doc, g, kKeyTranslation);
  ASSERT_EQ(rec.shell.messages.size(), 1u);
  EXPECT_EQ(rec.shell.messages[0],
            "Missing key frame info: frame=10 group=" + std::to_string(g) + " previous_id=0");
  EXPECT_EQ(Value(10, g, kKeyTranslation, 0), 10);  // the edit is not stored
  GoToFrame(doc, 5);
  s.groups[g].translation = {3, 3, 3};
  StoreKey(doc, g, kKeyTranslation);
  EXPECT_EQ(rec.shell.messages.size(), 2u);
  EXPECT_EQ(Key(5, g, kKeyTranslation), -1);

  GoToFrame(doc, 10);
  EnsureKeyed(doc, g, kKeyTranslation);
  int count = 0;
  ForEachKeyInFrame(a, 10, [&](int k) { count += a.keys[k].kind == kKeyTranslation; });
  EXPECT_EQ(count, 1);
  EXPECT_NE(Key(0, g, kKeyTranslation), -1);
}

TEST_F(Animation, ApplyingKeysHoldsValuesToTheirLimitsAndRebuildsTheMatrix) {
  std::vector<float> v = {2, 0.5f, -1, 0};
  ApplyKeyValues(s, g, kKeyColor, 0, v);
  EXPECT_EQ(s.groups[g].color, (Vec3{1, 0.5f, 0}));
  v = {200, 2, 0.5f, -1};
  ApplyKeyValues(s, g, kKeySpecular, 0, v);
  EXPECT_EQ(s.groups[g].shininess, 128);
  EXPECT_EQ(s.groups[g].specular, (Vec3{1, 0.5f, 0}));
  v = {0, 0, 90};
  ApplyKeyValues(s, g, kKeyCenterRotation, 0, v);
  EXPECT_EQ(s.groups[g].matrix, GroupMatrixFromFields(s.groups[g]));
  ExpectNear(TransformPoint(s.groups[g].matrix, {1, 0, 0}), {0, 1, 0});
  v = {std::bit_cast<float>(0)};
  ApplyKeyValues(s, g, kKeyEnabled, kStepMask, v);
  EXPECT_FALSE(s.groups[g].flags & Enabled);
}

TEST_F(Animation, AnInnerKeyShapesTheCurvesOnBothSides) {
  for (int f : {10, 20, 30, 40})
    SetTranslationAt(doc, g, f, {f == 40 ? 60.0f : float(f), 0, 0});
  SetTranslationAt(doc, g, 20, {25, 0, 0});  // neighbours at 0, 10 and 30, 40
  const int n = 3;
  EXPECT_FLOAT_EQ(Value(10, g, kKeyTranslation, n), 16.25f);      // C1: P10 + (P20 - P0)/4
  EXPECT_FLOAT_EQ(Value(0, g, kKeyTranslation, 2 * n), 3.75f);    // C2: P10 - (P20 - P0)/4
  EXPECT_FLOAT_EQ(Value(20, g, kKeyTranslation, 2 * n), 21.25f);  // C2: P30 - (P40 - P20)/4
}

TEST_F(Animation, ANewKeyFrameKeepsTheOrderOfTheOneBefore) {
  SetTranslationAt(doc, g, 10, {10, 0, 0});
  GoToFrame(doc, 10);
  EnsureKeyed(doc, kCameraOwner, kKeyCamera);
  s.camera.position = {1, 1, 1};
  StoreKey(doc, kCameraOwner, kKeyCamera);
  GoToFrame(doc, 5);
  EnsureKeyed(doc, g, kKeyScale);
  s.groups[g].scale = {2, 2, 2};
  StoreKey(doc, g, kKeyScale);
  auto order = [&](int frame) {
    std::vector<std::pair<int, int>> keys;
    ForEachKeyInFrame(a, frame, [&](int k) { keys.emplace_back(a.keys[k].owner, a.keys[k].kind); });
    return keys;
  };
  EXPECT_EQ(order(5), order(0));
  EXPECT_EQ(order(0).back(), std::make_pair(kCameraOwner, int(kKeyCamera)));
}

TEST_F(Animation, FramesOutsideTheAnimationAreNeverKeyed) {
  SetTranslationAt(doc, g, 10, {10, 0, 0});
  for (int frame : {kFrameCount, 12000, -5}) {
    a.currentFrame = frame;  // as a careless caller might leave it
    EnsureKeyed(doc, g, kKeyScale);
    StoreKey(doc, g, kKeyScale);
    CutOrCopyKeyFrame(doc, true);
    PasteKeyFrame(doc, false);
  }
  EXPECT_TRUE(a.clipboard.empty());
  EXPECT_EQ(FindKey(a, 0, g, kKeyScale), -1);
  ShowFrame(doc);  // shows the nearest frame instead
  EXPECT_EQ(a.currentFrame, 0);
  EXPECT_EQ(a.keyFrameList, (std::vector<int32_t>{0, 10}));
}

// The time slider marks only the frames where the current group has keys.
TEST_F(Animation, OwnerKeyFramesAreTheFramesHoldingTheOwnersKeys) {
  SetTranslationAt(doc, g, 10, {10, 0, 0});
  int h = AddTriangle(s, "H");
  SetTranslationAt(doc, h, 20, {0, 5, 0});
  EXPECT_EQ(a.keyFrameList, (std::vector<int32_t>{0, 10, 20}));
  const std::vector<int> hFrames = OwnerKeyFrames(a, h);
  EXPECT_EQ(hFrames.front(), 0);
  EXPECT_EQ(hFrames.back(), 20);
  EXPECT_EQ(OwnerKeyFrames(a, g), (std::vector<int>{0, 10, 20}));
  EXPECT_TRUE(OwnerKeyFrames(a, 99).empty());
  EXPECT_TRUE(OwnerKeyFrames(a, -1).empty());
}

TEST_F(Animation, ClearKeyFramesForgetsEverything) {
  SetTranslationAt(doc, g, 10, {10, 0, 0});
  CutOrCopyKeyFrame(doc, false);
  ASSERT_FALSE(a.clipboard.empty());
  ClearKeyFrames(a);
  EXPECT_TRUE(a.keys.empty());
  EXPECT_TRUE(a.clipboard.empty());
  for (int f : {0, 10})
    EXPECT_EQ(a.frameKeys[f], -1);
  EXPECT_EQ(LastKeyFrame(a), 0);
}

}  // namespace
}  // namespace modra
