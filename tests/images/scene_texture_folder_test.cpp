// A scene's textures are looked for in the texture directories first and
// then beside the scene file, so a scene that ships its images with it
// opens from any working directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "image_test_util.h"
#include "images/texture_table.h"
#include "scene/document.h"

namespace modra {
namespace {

using imagetest::Concat;

using Messages = std::vector<std::string>;

struct SceneTexture : ::testing::Test {
  RecordingShell shell;
  Document doc{shell};
  test::TempDir dir;
  std::string scenes = dir / "scenes";
  std::string textures = dir / "textures";

  void SetUp() override {
    std::filesystem::create_directories(scenes);
    std::filesystem::create_directories(textures);
    AddTexture(doc, "", "Checker");
    SetTexturePath(doc.textures, dir / "nowhere;" + textures);
  }
  void Image(const std::string& path, uint8_t level) {
    test::WriteBytes(path, Concat("P6\n1 1\n255\n", {level, level, level}));
  }
};

TEST_F(SceneTexture, AnImageBesideTheSceneIsFoundWhenNoDirectoryHoldsIt) {
  Image(scenes + "/wood.ppm", 10);
  EXPECT_EQ(ResolveSceneTexture(doc, "wood", "wood.ppm", scenes), 1);
  ASSERT_EQ(CurrentTextureCount(doc.textures), 2);
  EXPECT_EQ(doc.textures.entries[1].name, "wood");
  EXPECT_EQ(doc.textures.entries[1].path, scenes + "/wood.ppm");
  EXPECT_EQ(shell.messages, Messages{});
}

TEST_F(SceneTexture, TheTextureDirectoriesComeFirst) {
  Image(scenes + "/wood.ppm", 10);
  Image(textures + "/wood.ppm", 20);
  EXPECT_EQ(ResolveSceneTexture(doc, "wood", "wood.ppm", scenes), 1);
  EXPECT_EQ(doc.textures.entries[1].path, textures + "/wood.ppm");
}

TEST_F(SceneTexture, AnImageFoundNowhereIsStillReportedOnce) {
  EXPECT_EQ(ResolveSceneTexture(doc, "wood", "wood.ppm", scenes), 0);
  EXPECT_EQ(ResolveSceneTexture(doc, "oak", "oak.ppm"), 0);  // no scene folder given
  EXPECT_EQ(shell.messages,
            (Messages{"Can't load \"wood\" texture", "Can't load \"oak\" texture"}));
  EXPECT_EQ(CurrentTextureCount(doc.textures), 1);
}

TEST(FolderOf, ThePathUpToItsLastSeparator) {
  EXPECT_EQ(FolderOf("examples/demo.knf"), "examples");
  EXPECT_EQ(FolderOf("../a/b/demo.knf"), "../a/b");
  EXPECT_EQ(FolderOf("C:\\scenes\\demo.knf"), "C:\\scenes");
  EXPECT_EQ(FolderOf("demo.knf"), ".");
  EXPECT_EQ(FolderOf(""), ".");
  EXPECT_EQ(FolderOf("/demo.knf"), "/");
}

}  // namespace
}  // namespace modra
