// The key frame dialogs' requests: whose keys each owner choice names, and
// one refusal per request however many owners it covers.
#include "anim/key_range_commands.h"

#include <gtest/gtest.h>

#include "anim/key_commands.h"
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

TEST_F(KeyRangeRequests, OwnerChoices) {
  EXPECT_EQ(ChosenKeyOwners(s, KeyOwnerChoice::kSelectedObjects, 3), SelectedOwners(s));
  EXPECT_EQ(ChosenKeyOwners(s, KeyOwnerChoice::kCamera, 3), std::vector<int>{kCameraOwner});
  EXPECT_EQ(ChosenKeyOwners(s, KeyOwnerChoice::kLight, 3), std::vector<int>{LightOwner(3)});
}

TEST_F(KeyRangeRequests, CopyToRangeReachesEveryOwnerAndRefusesOnce) {
  GoToFrame(doc, 0);
  RunKeyRangeRequest(
      doc, {KeyRangeCommand::kCopyKeyToRange, KeyOwnerChoice::kSelectedObjects, 0, 10000, 0}, 1);
  EXPECT_EQ(rec.shell.messages, (Strings{"B must be less than 9999"}));

  RunKeyRangeRequest(
      doc, {KeyRangeCommand::kCopyKeyToRange, KeyOwnerChoice::kSelectedObjects, 5, 20, 0}, 1);
  for (int g : {one, two})
    EXPECT_EQ(TranslationAt(doc, g, 20)[0], static_cast<float>(g)) << g;
  // The refusals still reach the document's own shell afterwards.
  RunKeyRangeRequest(doc, {KeyRangeCommand::kScaleRange, {}, 0, 20, 10000}, 1);
  EXPECT_EQ(rec.shell.messages.back(), "C must be less than 9999");
}

TEST_F(KeyRangeRequests, RemoveTakesOnlyTheChosenOwner) {
  s.groups[two].flags &= ~Selected;
  RunKeyRangeRequest(doc, {KeyRangeCommand::kRemoveOwnerKeys, KeyOwnerChoice::kSelectedObjects}, 1);
  EXPECT_EQ(FindOwnerKey(s.anim, 10, one), -1);
  EXPECT_NE(FindOwnerKey(s.anim, 10, two), -1);
}

}  // namespace
}  // namespace modra
