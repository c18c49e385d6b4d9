// `modra thumbnails` as a script drives it: it counts what it made, what
// was current and what it could not decode, and says which folder it
// could not read.
#include <gtest/gtest.h>

#include <filesystem>

#include "browser/thumbnail_cache.h"
#include "modra_runner.h"
#include "test_util.h"

namespace modra {
namespace {

TEST(ThumbnailsCommand, FillsTheCacheAndCountsWhatItDid) {
  test::TempDir dir;
  const std::string pictures = dir / "pictures", other = dir / "other", cache = dir / "c.bin";
  std::filesystem::create_directories(pictures + "/sub");
  std::filesystem::create_directories(other);
  const std::string images = test::TestData("images/");
  std::filesystem::create_symlink(images + "testorig.jpg", pictures + "/a.jpg");
  std::filesystem::create_symlink(images + "testorig.ppm", pictures + "/b.ppm");
  std::filesystem::create_symlink(images + "shira_bird8.bmp", pictures + "/sub/c.bmp");
  std::filesystem::create_symlink(images + "vgl_6434_0018a.bmp", other + "/d.BMP");
  test::WriteText(pictures + "/broken.jpg", "no JPEG");
  test::WriteText(pictures + "/notes.txt", "not a picture");

  test::CliRun r = test::Modra({"thumbnails", pictures, other, "--cache", cache});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "made 3, current 0, not decoded 1\n");
  EXPECT_EQ(r.err, "");
  r = test::Modra({"thumbnails", "--cache", cache, "--threads", "1", pictures, other});
  EXPECT_EQ(r.out, "made 0, current 3, not decoded 1\n");

  // A folder it cannot read is named; the others are done all the same.
  r = test::Modra({"thumbnails", dir / "missing", pictures + "/sub", "--cache", cache});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "made 1, current 0, not decoded 0\n");
  EXPECT_EQ(r.err,
            "modra thumbnails: can't read " + dir / "missing" + ": No such file or directory\n");

  // Without --cache it fills the cache under $XDG_CACHE_HOME.
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  const std::string saved = xdg ? xdg : "";
  setenv("XDG_CACHE_HOME", (dir / "xdg").c_str(), 1);
  r = test::Modra({"thumbnails", other});
  EXPECT_EQ(r.out, "made 1, current 0, not decoded 0\n");
  EXPECT_TRUE(std::filesystem::exists(dir / "xdg/modra/ThumbNails.bin"));
  if (xdg)
    setenv("XDG_CACHE_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_CACHE_HOME");

  r = test::Modra({"thumbnails", pictures, "--cache", pictures + "/a.jpg/c.bin"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "modra thumbnails: can't open the thumbnail cache " + pictures + "/a.jpg/c.bin\n");
  EXPECT_EQ(test::Modra({"thumbnails"}).status, 2);
}

}  // namespace
}  // namespace modra
