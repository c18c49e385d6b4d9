// A key frame dialog's request reaches every chosen owner, yet the user
// hears a refusal once however many owners it covers.
#include "anim/key_range_commands.h"

#include <gtest/gtest.h>

#include "anim_util.h"

namespace modra {
namespace {

using test::SetTranslationAt;
using test::TranslationAt;
using Strings = std::vector<std::string>;

struct KeyRangeRequests : ::testing::Test {
  test::RecordedDocument rec;
  Document& doc = rec.doc;
  Scene& s = rec.scene();
  int one = test::AddTriangle(s, "One");
  int two = test::AddTriangle(s, "Two");

  void SetUp() override {
    for (int g : {one, two}) {
      s.groups[g].flags |= Selected;
      for (int f : {0, 10, 20})
        SetTranslationAt(doc, g, f, {static_cast<float>(f + g), 0, 0});
    }
  }
};

TEST_F(KeyRangeRequests, CopyToRangeReachesEveryOwnerAndRefusesOnce) {
  GoToFrame(doc, 0);
  RunKeyRangeRequest(
      doc, {KeyRangeCommand::kCopyKeyToRange, KeyOwnerChoice::kSelectedObjects, 0, 10000, 0}, 1);
  EXPECT_EQ(rec.shell.messages, (Strings{"B must be less than 9999"}));

  RunKeyRangeRequest(
      doc, {KeyRangeCommand::kCopyKeyToRange, KeyOwnerChoice::kSelectedObjects, 5, 20, 0}, 1);
  for (int g : {one, two})
    EXPECT_EQ(TranslationAt(doc, g, 20)[0], static_cast<float>(g)) << g;
  // One owner's refusal does not stop the others: Two, which comes first
  // in the level, has no key at frame 30, One does; One still gets its
  // copies.
  rec.shell.messages.clear();
  KeyStore& a = rec.anim();
  const int k = AddKey(a, 30, kKeyTranslation);
  a.keys[k].owner = one;
  a.keys[k].values = a.keys[FindKey(a, 20, one, kKeyTranslation)].values;
  RebuildKeyFrameList(a);
  SetTranslationAt(doc, one, 10, {99, 0, 0});
  RunKeyRangeRequest(
      doc, {KeyRangeCommand::kCopyKeyToRange, KeyOwnerChoice::kSelectedObjects, 15, 35, 0}, 1);
  EXPECT_EQ(rec.shell.messages, Strings{"unable to find keyinfo"});
  EXPECT_EQ(TranslationAt(doc, one, 30)[0], 99.0f);
  // The refusals still reach the document's own shell afterwards.
  RunKeyRangeRequest(doc, {KeyRangeCommand::kScaleRange, {}, 0, 20, 10000}, 1);
  EXPECT_EQ(rec.shell.messages.back(), "C must be less than 9999");
}

}  // namespace
}  // namespace modra
