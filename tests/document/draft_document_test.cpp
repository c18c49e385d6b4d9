// The draft a file is read into: it speaks through the document's shell,
// touches nothing of the document's until it is moved in, and gives back
// the pictures of textures that no table will hold.
#include "document/draft_document.h"

#include <gtest/gtest.h>

#include "images/image_test_util.h"
#include "images/texture_table.h"
#include "test_util.h"

namespace modra {
namespace {

struct Drafts : ::testing::Test {
  test::RecordedDocument r;
  imagetest::RecordingUploader uploader;
  Drafts() {
    r.doc.uploader = &uploader;
    EXPECT_EQ(AddTexture(r.doc, "", "Checker"), 0);
    test::AddTriangle(r.scene(), "mine");
    r.shell.changes.clear();
  }
};

TEST_F(Drafts, ADraftLeftUntakenChangesNothingAndReleasesItsTextures) {
  {
    DraftDocument draft(r.doc, DraftStart::kNewScene);
    EXPECT_EQ(draft.doc().scene.rootHead, -1);
    ASSERT_EQ(AddTexture(draft.doc(), "", "Second"), 0);
    test::AddTriangle(draft.doc().scene, "theirs");
    draft.doc().shell->Message("said");
    EXPECT_TRUE(draft.doc().shell->Ask("asked"));
  }
  // Its messages and questions reached the user; nothing else did.
  EXPECT_EQ(r.shell.messages, std::vector<std::string>{"said"});
  EXPECT_EQ(r.shell.questions, std::vector<std::string>{"asked"});
  EXPECT_TRUE(r.shell.changes.empty());
  EXPECT_EQ(r.shell.redraws, 0);
  EXPECT_EQ(test::Names(r.scene(), r.scene().rootHead), std::vector<std::string>{"mine"});
  EXPECT_EQ(CurrentTextureCount(r.doc.textures), 1);
  EXPECT_EQ(uploader.released, std::vector<int>{1});
}

TEST_F(Drafts, ADraftMovedInBringsItsSceneAndTexturesWithOneNotice) {
  {
    DraftDocument draft(r.doc, DraftStart::kSceneCopy);
    ASSERT_EQ(AddTexture(draft.doc(), "", "Second"), 0);
    test::AddTriangle(draft.doc().scene, "theirs");
    EXPECT_EQ(test::Names(r.scene(), r.scene().rootHead), std::vector<std::string>{"mine"});
    draft.MoveInto(r.doc);
  }
  EXPECT_EQ(test::Names(r.scene(), r.scene().rootHead),
            (std::vector<std::string>{"theirs", "mine"}));
  EXPECT_EQ(CurrentTextureCount(r.doc.textures), 2);
  EXPECT_TRUE(uploader.released.empty());
  EXPECT_EQ(r.shell.changes, std::vector<unsigned>{kSceneChanged | kSelectionChanged});
  EXPECT_EQ(r.shell.redraws, 1);
}

}  // namespace
}  // namespace modra
