#include "images/texture_table.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "document/document.h"
#include "image_test_util.h"
#include "images/bmp.h"
#include "images/png.h"

namespace modra {
namespace {

using imagetest::BmpFile;
using imagetest::Bytes;
using imagetest::Concat;
using imagetest::TestImage;

using Messages = std::vector<std::string>;

// A document whose messages and uploads are kept.
struct Fixture {
  RecordingShell shell;
  Document doc{shell};
  imagetest::RecordingUploader uploader;
  Fixture() { doc.uploader = &uploader; }
};

Bytes Ppm(int width, int height, const Bytes& rgb, const std::string& comment = "") {
  return Concat("P6\n" + comment + std::to_string(width) + " " + std::to_string(height) + "\n255\n",
                rgb);
}

// Rows of packed RGB in the opposite order.
Bytes Flipped(const Bytes& rgb, int width, int height) {
  Bytes out;
  const size_t stride = size_t(width) * 3;
  for (int y = height - 1; y >= 0; --y)
    out.insert(out.end(), rgb.begin() + y * stride, rgb.begin() + (y + 1) * stride);
  return out;
}

TEST(TextureTable, CheckerboardIsEntryZero) {
  Fixture f;
  ASSERT_EQ(AddTexture(f.doc, "", "Checker"), 0);
  ASSERT_EQ(CurrentTextureCount(f.doc.textures), 1);
  EXPECT_EQ(f.doc.textures.entries[0].path, "checker.ppm");
  ASSERT_EQ(f.uploader.uploads.size(), 1u);
  const auto& up = f.uploader.uploads[0];
  ASSERT_EQ(up.width * up.height, 128 * 128);
  // Grey levels, black where bit 4 of x equals bit 4 of y: 16-pixel squares.
  for (int y = 0; y < 128; y += 5)
    for (int x = 0; x < 128; x += 3) {
      const Bytes p = imagetest::PixelAt(up.rgb.data(), 128, x, y);
      ASSERT_EQ(p, Bytes(3, ((x >> 4) & 1) == ((y >> 4) & 1) ? 0 : 255)) << x << "," << y;
    }
}

TEST(TextureTable, HoldsAtMostOneHundredEntries) {
  Fixture f;
  test::TempDir dir;
  test::WriteBytes(dir / "red.ppm", Ppm(1, 1, {255, 0, 0}));
  ASSERT_EQ(AddTexture(f.doc, "", "Checker"), 0);
  for (int i = 1; i < MaxTextures; ++i)
    ASSERT_EQ(AddTexture(f.doc, dir / "red.ppm", "red" + std::to_string(i)), 0) << i;
  ASSERT_EQ(CurrentTextureCount(f.doc.textures), 100);
  EXPECT_TRUE(f.shell.messages.empty());

  EXPECT_EQ(AddTexture(f.doc, dir / "red.ppm", "one more"), -1);
  EXPECT_EQ(f.shell.messages, Messages{"Too many textures loaded"});
  EXPECT_EQ(CurrentTextureCount(f.doc.textures), 100);
  EXPECT_EQ(FindTexture(f.doc.textures, "one more"), -1);
  // The picture went to entry 100 before the limit was known: given back.
  EXPECT_EQ(f.uploader.uploads.back().index, 100);
  EXPECT_EQ(f.uploader.released, std::vector<int>{100});

  // The checkerboard counts the same; a file that fails to load says so
  // first, as the limit comes after loading.
  EXPECT_EQ(AddTexture(f.doc, "", "Checker 2"), -1);
  EXPECT_EQ(AddTexture(f.doc, dir / "missing.ppm", "missing"), -1);
  EXPECT_EQ(f.shell.messages, (Messages{"Too many textures loaded", "Too many textures loaded",
                                        "Can't open \"" + dir / "missing.ppm" +
                                            "\" for read: " + std::strerror(ENOENT)}));
  EXPECT_EQ(CurrentTextureCount(f.doc.textures), 100);
}

TEST(TextureTable, SameFileTwiceMakesTwoEntriesAndNamesAreCaseSensitive) {
  Fixture f;
  test::TempDir dir;
  test::WriteBytes(dir / "red.ppm", Ppm(1, 1, {255, 0, 0}));
  ASSERT_EQ(AddTexture(f.doc, dir / "red.ppm", "red.ppm"), 0);
  ASSERT_EQ(AddTexture(f.doc, dir / "red.ppm", "red.ppm"), 0);
  ASSERT_EQ(AddTexture(f.doc, "", "Red.ppm"), 0);
  ASSERT_EQ(CurrentTextureCount(f.doc.textures), 3);
  EXPECT_EQ(f.uploader.uploads[1].index, 1);
  EXPECT_EQ(FindTexture(f.doc.textures, "red.ppm"), 0);
  EXPECT_EQ(FindTexture(f.doc.textures, "Red.ppm"), 2);
  EXPECT_EQ(FindTexture(f.doc.textures, "RED.PPM"), -1);
  EXPECT_EQ(FindTexture(f.doc.textures, "red"), -1);
}

TEST(TextureTable, SceneTextureSearchesTheDirectoriesInOrderQuietly) {
  Fixture f;
  test::TempDir a, b, c;
  test::WriteBytes(b / "wood.ppm", Ppm(2, 1, Bytes(6, 10)));
  test::WriteBytes(c / "wood.ppm", Ppm(3, 1, Bytes(9, 20)));
  test::WriteBytes(c / "oak.ppm", Ppm(3, 1, Bytes(9, 20)));
  // An empty segment ends the list: c is never searched.
  SetTexturePath(f.doc.textures, a.path.string() + ";" + b.path.string() + ";;" + c.path.string());
  AddTexture(f.doc, "", "Checker");

  EXPECT_EQ(ResolveSceneTexture(f.doc, "wood", "wood.ppm"), 1);
  EXPECT_TRUE(f.shell.messages.empty());  // the first directory lacked the file: not a word
  ASSERT_EQ(CurrentTextureCount(f.doc.textures), 2);
  EXPECT_EQ(f.doc.textures.entries[1].path, b / "wood.ppm");
  EXPECT_EQ(f.uploader.uploads.back().width, 2);
  // Found by name now, without touching the disk.
  const size_t uploads = f.uploader.uploads.size();
  EXPECT_EQ(ResolveSceneTexture(f.doc, "wood", "no such file.ppm"), 1);
  EXPECT_EQ(f.uploader.uploads.size(), uploads);
  // Found nowhere, or an empty file name: the checkerboard stands in.
  EXPECT_EQ(ResolveSceneTexture(f.doc, "oak", "oak.ppm"), 0);
  EXPECT_EQ(ResolveSceneTexture(f.doc, "blank", ""), 0);
  EXPECT_EQ(f.shell.messages,
            (Messages{"Can't load \"oak\" texture", "Can't load \"blank\" texture"}));
  EXPECT_EQ(CurrentTextureCount(f.doc.textures), 2);
}

TEST(TextureTable, PpmTexturesLoadBottomRowFirst) {
  Fixture f;
  test::TempDir dir;
  const Bytes rgb = imagetest::Pattern(4 * 3 * 3);
  test::WriteBytes(dir / "p.ppm", Ppm(4, 3, rgb, "# a comment line\n"));
  ASSERT_EQ(LoadTextureImage(f.doc, 6, dir / "p.ppm"), 0);
  ASSERT_EQ(f.uploader.uploads.size(), 1u);
  EXPECT_EQ(f.uploader.uploads[0].index, 6);
  EXPECT_EQ(f.uploader.uploads[0].height, 3);
  EXPECT_EQ(f.uploader.uploads[0].rgb, Flipped(rgb, 4, 3));
  EXPECT_TRUE(f.shell.messages.empty());
  // Loading alone adds no entry.
  EXPECT_EQ(CurrentTextureCount(f.doc.textures), 0);
}

TEST(TextureTable, ExtensionSpellingChoosesTheDecoder) {
  Fixture f;
  test::TempDir dir;
  const Bytes ppm = Ppm(1, 1, {1, 2, 3});
  const Bytes jpeg = test::ReadBytes(TestImage("testorig.jpg"));
  test::WriteBytes(dir / "a.Jpg", ppm);   // not "jpg" or "JPG": read as PPM
  test::WriteBytes(dir / "b.Jpg", jpeg);  // ... so a real JPEG is the wrong type
  test::WriteBytes(dir / "c.JPG", jpeg);
  test::WriteBytes(dir / "d.jpg", jpeg);
  test::WriteBytes(dir / "e.BMP", test::ReadBytes(TestImage("vgl_6434_0018a.bmp")));
  test::WriteBytes(dir / "f.Bmp", ppm);
  test::WriteBytes(dir / "jpg", jpeg);  // the last three characters are all that count

  EXPECT_EQ(LoadTextureImage(f.doc, 0, dir / "a.Jpg"), 0);
  EXPECT_EQ(LoadTextureImage(f.doc, 0, dir / "b.Jpg"), -1);
  EXPECT_EQ(f.shell.messages, Messages{"\"" + dir / "b.Jpg" + "\" is the wrong file type"});
  EXPECT_EQ(LoadTextureImage(f.doc, 0, dir / "c.JPG"), 0);
  EXPECT_EQ(LoadTextureImage(f.doc, 0, dir / "d.jpg"), 0);
  EXPECT_EQ(LoadTextureImage(f.doc, 0, dir / "e.BMP"), 0);
  EXPECT_EQ(LoadTextureImage(f.doc, 0, dir / "f.Bmp"), 0);
  EXPECT_EQ(LoadTextureImage(f.doc, 0, dir / "jpg"), 0);
  EXPECT_EQ(f.uploader.uploads.size(), 6u);
  EXPECT_EQ(f.shell.messages.size(), 1u);
}

TEST(TextureTable, BmpTexturesLoadBottomRowFirst) {
  Fixture f;
  BmpImage bmp;
  const uint8_t* top = bmp.Read(TestImage("vgl_6434_0018a.bmp"));
  ASSERT_NE(top, nullptr);
  const Bytes topFirst(top, top + size_t(bmp.Width()) * bmp.Height() * 3);
  ASSERT_EQ(LoadTextureImage(f.doc, 0, TestImage("vgl_6434_0018a.bmp")), 0);
  EXPECT_EQ(f.uploader.uploads.back().width, 119);
  EXPECT_EQ(f.uploader.uploads.back().rgb, Flipped(topFirst, bmp.Width(), bmp.Height()));
}

TEST(TextureTable, PngTexturesLoadBottomRowFirstAndDamagedOnesAreRefused) {
  Fixture f;
  test::TempDir dir;
  const Bytes rgb = imagetest::Pattern(5 * 3 * 3);
  ASSERT_EQ(WritePng(dir / "p.png", rgb.data(), 5, 3), 0);
  ASSERT_EQ(LoadTextureImage(f.doc, 2, dir / "p.png"), 0);
  ASSERT_EQ(f.uploader.uploads.size(), 1u);
  EXPECT_EQ(f.uploader.uploads[0].width, 5);
  EXPECT_EQ(f.uploader.uploads[0].rgb, Flipped(rgb, 5, 3));

  const Bytes png = test::ReadBytes(dir / "p.png");
  test::WriteBytes(dir / "cut.png", Bytes(png.begin(), png.begin() + png.size() / 2));
  test::WriteBytes(dir / "ppm.png", Ppm(1, 1, {1, 2, 3}));
  for (const char* name : {"cut.png", "ppm.png"}) {
    f.shell.messages.clear();
    EXPECT_EQ(LoadTextureImage(f.doc, 2, dir / name), -1) << name;
    EXPECT_EQ(f.shell.messages, Messages{"Can't decode \"" + dir / name + "\""});
  }
  EXPECT_EQ(f.uploader.uploads.size(), 1u);
}

TEST(TextureTable, GreyscaleJpegLoadsAsRgb) {
  Fixture f;
  test::TempDir dir;
  Bytes grey(16 * 16, 40);  // top half dark, bottom half light
  std::fill(grey.begin() + 16 * 8, grey.end(), 220);
  test::WriteBytes(dir / "g.jpg", imagetest::EncodeGreyscale(grey, 16, 16));
  ASSERT_EQ(LoadTextureImage(f.doc, 0, dir / "g.jpg"), 0);
  const auto& up = f.uploader.uploads.back();
  ASSERT_EQ(up.rgb.size(), 16u * 16 * 3);
  for (auto [y, level] : {std::pair{0, 220}, {15, 40}}) {  // the bottom row comes first
    const Bytes p = imagetest::PixelAt(up.rgb.data(), 16, 5, y);
    EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]);
    EXPECT_NEAR(p[0], level, 6) << y;
  }
}

TEST(TextureTable, LoadingMessages) {
  test::TempDir dir;
  test::WriteBytes(dir / "text.ppm", Concat("P3\n1 1\n255\n", {}));
  test::WriteBytes(dir / "header.ppm", Concat("P6\n# size comes never\n", {}));
  test::WriteBytes(dir / "short.ppm", Ppm(2, 2, Bytes(11, 0)));
  test::WriteBytes(dir / "bad.jpg", Bytes(100, 0x55));
  test::WriteBytes(dir / "bad.bmp", Bytes(100, 0x55));
  std::filesystem::create_directory(dir / "folder.ppm");
  ASSERT_EQ(::mkfifo((dir / "fifo.jpg").c_str(), 0600), 0);  // refused, never waited on
  const std::string q = "\"", missing = std::strerror(ENOENT), folder = std::strerror(EISDIR);
  struct Case {
    std::string path;
    std::string message;
    bool quiet;  // silenced while a scene's textures are searched for
  };
  const std::vector<Case> cases = {
      {dir / "none.ppm", "Can't open " + q + dir / "none.ppm" + q + " for read: " + missing, true},
      {dir / "folder.ppm", "Can't open " + q + dir / "folder.ppm" + q + " for read: " + folder,
       true},
      {dir / "none.jpg", "Can't open " + q + dir / "none.jpg" + q + " for read: " + missing, true},
      {dir / "fifo.jpg",
       "Can't open " + q + dir / "fifo.jpg" + q + " for read: Not a regular file (a FIFO)", true},
      {dir / "none.bmp", "Can't decode " + q + dir / "none.bmp" + q, false},
      {dir / "text.ppm", q + dir / "text.ppm" + q + " is the wrong file type", false},
      {dir / "header.ppm", "Can't read all of input file", false},
      {dir / "short.ppm", "Can't read all of " + q + dir / "short.ppm" + q, false},
      {dir / "bad.jpg", "Can't convert all of " + q + dir / "bad.jpg" + q, false},
      {dir / "bad.bmp", "Can't decode " + q + dir / "bad.bmp" + q, false},
  };
  for (const Case& c : cases) {
    for (bool quiet : {false, true}) {
      Fixture f;
      EXPECT_EQ(LoadTextureImage(f.doc, 0, c.path, quiet), -1) << c.path;
      EXPECT_EQ(f.shell.messages, quiet && c.quiet ? Messages{} : Messages{c.message})
          << c.path << (quiet ? " quiet" : "");
      EXPECT_TRUE(f.uploader.uploads.empty());
    }
    // A failed load leaves the table as it was.
    Fixture f;
    AddTexture(f.doc, "", "Checker");
    EXPECT_EQ(AddTexture(f.doc, c.path, "x"), -1);
    EXPECT_EQ(CurrentTextureCount(f.doc.textures), 1);
  }
}

// Scene textures are looked for beside the scene last, so a scene that ships
// its images opens from any working directory.
TEST(TextureTable, SceneTexturesAreLookedForBesideTheSceneLast) {
  Fixture f;
  test::TempDir dir;
  const std::string scenes = dir / "scenes", textures = dir / "textures";
  std::filesystem::create_directories(scenes);
  std::filesystem::create_directories(textures);
  AddTexture(f.doc, "", "Checker");
  SetTexturePath(f.doc.textures, dir / "nowhere;" + textures);
  test::WriteBytes(scenes + "/wood.ppm", Ppm(1, 1, {10, 10, 10}));
  test::WriteBytes(scenes + "/oak.ppm", Ppm(1, 1, {10, 10, 10}));
  test::WriteBytes(textures + "/oak.ppm", Ppm(1, 1, {20, 20, 20}));
  EXPECT_EQ(ResolveSceneTexture(f.doc, "wood", "wood.ppm", scenes), 1);
  EXPECT_EQ(ResolveSceneTexture(f.doc, "oak", "oak.ppm", scenes), 2);
  ASSERT_EQ(CurrentTextureCount(f.doc.textures), 3);
  EXPECT_EQ(f.doc.textures.entries[1].path, scenes + "/wood.ppm");
  EXPECT_EQ(f.doc.textures.entries[2].path, textures + "/oak.ppm");
  EXPECT_TRUE(f.shell.messages.empty());
  EXPECT_EQ(ResolveSceneTexture(f.doc, "elm", "elm.ppm", scenes), 0);
  EXPECT_EQ(f.shell.messages, Messages{"Can't load \"elm\" texture"});
}

TEST(FolderOf, ThePathUpToItsLastSeparator) {
  EXPECT_EQ(FolderOf("../a/b/demo.knf"), "../a/b");
  EXPECT_EQ(FolderOf("C:\\scenes\\demo.knf"), "C:\\scenes");
  EXPECT_EQ(FolderOf("demo.knf"), ".");
  EXPECT_EQ(FolderOf(""), ".");
  EXPECT_EQ(FolderOf("/demo.knf"), "/");
}

}  // namespace
}  // namespace modra
