// The stored preferences: defaults, what is read and written under which
// name, how they reach the document, and the texture browser's folder.
#include "document/settings.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace modra {
namespace {

using Strings = std::vector<std::string>;

TEST(Settings, NothingStoredGivesTheDefaults) {
  MemorySettingsStore store;
  for (const char* home : {"/home/ann", ""}) {
    const Settings s = LoadSettings(store, home);
    EXPECT_TRUE(s.lightDisplay && s.cameraDisplay && s.solidAxisDisplay);
    EXPECT_EQ(s.texturePath, "./;./textures/;/textures/");
    EXPECT_EQ(s.lastPath, home);
    EXPECT_FALSE(s.whiteUncoloredParts);
    EXPECT_EQ(s.undoMegabytes, 256);
  }
  test::RecordedDocument r;
  ApplySettings(r.doc, LoadSettings(store));
  EXPECT_EQ(r.doc.textures.searchPath, (Strings{"./", "./textures/", "/textures/"}));
  EXPECT_EQ(r.doc.textures.lastPath, "");
}

TEST(Settings, StoredValuesAreReadByTheirNames) {
  MemorySettingsStore store;
  store.ints = {{"General/EnableLightDisplay", 0},
                {"General/EnableCameraDisplay", 7},
                {"General/SolidAxisDisplay", 0}};
  store.strings = {{"Texture/Path", "/pics;;/more"}, {"Texture/LastPath", "/pics/wood"}};
  const Settings s = LoadSettings(store, "/home/ann");
  EXPECT_FALSE(s.lightDisplay);
  EXPECT_TRUE(s.cameraDisplay);
  EXPECT_FALSE(s.solidAxisDisplay);
  EXPECT_EQ(s.texturePath, "/pics;;/more");
  EXPECT_EQ(s.lastPath, "/pics/wood");

  test::RecordedDocument r;
  r.doc.whiteUncoloredParts = true;
  ApplySettings(r.doc, s);
  EXPECT_FALSE(r.doc.display.lightDisplay);
  EXPECT_TRUE(r.doc.display.cameraDisplay);
  EXPECT_FALSE(r.doc.display.solidAxisDisplay);
  // An empty segment ends the list.
  EXPECT_EQ(r.doc.textures.searchPath, Strings{"/pics"});
  EXPECT_EQ(r.doc.textures.lastPath, "/pics/wood");
  EXPECT_FALSE(r.doc.whiteUncoloredParts);
  EXPECT_EQ(r.shell.redraws, 1);
  EXPECT_EQ(r.shell.AllChanges(), static_cast<unsigned>(kDisplayChanged));

  // The undo memory is held to what the preferences offer.
  for (const auto& [stored, read] : {std::pair{64, 64}, {0, 1}, {-5, 1}, {1 << 30, 65536}}) {
    store.ints.insert_or_assign("Edit/UndoMemory", stored);
    EXPECT_EQ(LoadSettings(store).undoMegabytes, read) << stored;
  }
}

TEST(Settings, SavingStoresTheSwitchesAndThePathAsTyped) {
  Settings s;
  s.lightDisplay = false;
  s.texturePath = " ./tex ; /x;";
  s.lastPath = "/not/saved/here";
  s.whiteUncoloredParts = true;
  MemorySettingsStore store;
  SaveSettings(store, s);
  EXPECT_EQ(store.ints, (std::map<std::string, int, std::less<>>{{"General/EnableLightDisplay", 0},
                                                                 {"General/EnableCameraDisplay", 1},
                                                                 {"General/SolidAxisDisplay", 1},
                                                                 {"Edit/UndoMemory", 256}}));
  EXPECT_EQ(store.strings,
            (std::map<std::string, std::string, std::less<>>{{"Texture/Path", " ./tex ; /x;"}}));

  Settings back = LoadSettings(store, "/home/ann");
  EXPECT_EQ(back.texturePath, s.texturePath);
  EXPECT_FALSE(back.lightDisplay);
  EXPECT_EQ(back.lastPath, "/home/ann");
  EXPECT_FALSE(back.whiteUncoloredParts);
}

TEST(Settings, TheBrowserOpensWhereTheLastTextureCameFrom) {
  const struct {
    const char* loaded;
    const char* folder;
  } kCases[] = {
      {"/home/ann/pics/wood.jpg", "/home/ann/pics"},
      {"wood.jpg", "."},
  };
  for (const auto& c : kCases) {
    test::RecordedDocument r;
    MemorySettingsStore store;
    Settings s;
    RememberTextureFolder(r.doc, s, store, c.loaded);
    EXPECT_EQ(s.lastPath, c.folder) << c.loaded;
    EXPECT_EQ(r.doc.textures.lastPath, c.folder) << c.loaded;
    EXPECT_EQ(LoadSettings(store).lastPath, c.folder) << c.loaded;
  }
}

}  // namespace
}  // namespace modra
