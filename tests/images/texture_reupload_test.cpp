#include <gtest/gtest.h>

#include <filesystem>

#include "document/document.h"
#include "image_test_util.h"
#include "images/texture_table.h"
#include "test_util.h"

namespace modra {
namespace {

using imagetest::RecordingUploader;

// A renderer with a context of its own gets every picture again, each as
// its own entry, from the file it came from.
TEST(UploadAllTextures, GivesEveryEntryItsPictureAgain) {
  test::TempDir dir;
  const std::string ppm = dir / "tile.ppm";
  test::WriteBytes(ppm, imagetest::Concat("P6\n2 1\n255\n", test::Bytes{255, 0, 0, 0, 0, 255}));
  RecordingShell shell;
  Document doc(shell);
  RecordingUploader editor;
  doc.uploader = &editor;
  ASSERT_EQ(AddTexture(doc, "", "Checker"), 0);
  ASSERT_EQ(AddTexture(doc, ppm, "Tile"), 0);

  RecordingUploader renderer;
  doc.uploader = &renderer;
  EXPECT_EQ(UploadAllTextures(doc), 0);
  ASSERT_EQ(renderer.uploads.size(), 2u);
  EXPECT_EQ(renderer.uploads[0].index, 0);
  EXPECT_EQ(renderer.uploads[0].width, 128);  // the checkerboard, made again
  EXPECT_EQ(renderer.uploads[1].index, 1);
  EXPECT_EQ(renderer.uploads[1].width, 2);
  EXPECT_EQ(renderer.uploads[1].height, 1);
  // Bottom row first as on loading: the same bytes the editor got.
  EXPECT_EQ(renderer.uploads[1].rgb, editor.uploads[1].rgb);
  EXPECT_EQ(editor.uploads.size(), 2u);  // the editor's copies are untouched
  EXPECT_TRUE(shell.messages.empty());
}

TEST(UploadAllTextures, PassesOverAFileThatIsGoneWithoutAMessage) {
  test::TempDir dir;
  const std::string ppm = dir / "gone.ppm";
  test::WriteBytes(ppm, imagetest::Concat("P6\n1 1\n255\n", test::Bytes{1, 2, 3}));
  RecordingShell shell;
  Document doc(shell);
  RecordingUploader editor;
  doc.uploader = &editor;
  ASSERT_EQ(AddTexture(doc, ppm, "Gone"), 0);
  ASSERT_EQ(AddTexture(doc, "", "Checker"), 0);
  std::filesystem::remove(ppm);

  RecordingUploader renderer;
  doc.uploader = &renderer;
  EXPECT_EQ(UploadAllTextures(doc), 1);
  ASSERT_EQ(renderer.uploads.size(), 1u);
  EXPECT_EQ(renderer.uploads[0].index, 1);  // the entry after it keeps its index
  EXPECT_TRUE(shell.messages.empty());
}

}  // namespace
}  // namespace modra
