// Thumbnails as the browser asks for them: their size, the decoder chosen
// by the name's ending, and many threads sharing one cache.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>

#include "browser/cache_location.h"
#include "browser/gif_picture.h"
#include "browser/thumbnail.h"
#include "browser/thumbs_test_util.h"
#include "images/bmp.h"
#include "images/jpeg.h"
#include "images/png.h"

namespace modra {
namespace {

using thumbtest::Solid;

std::string Image(const char* name) {
  return test::TestData(std::string("images/") + name);
}

TEST(ThumbnailSize, LongerSideIs150) {
  struct Case {
    int w, h, tw, th;
  };
  const Case cases[] = {
      {600, 300, 150, 75}, {300, 600, 75, 150}, {150, 150, 150, 150}, {40, 30, 150, 112},
      {3, 1, 150, 50},     {1, 3, 50, 150},     {1000, 1, 150, 1},    {1, 1000, 1, 150},
      {0, 0, 150, 150},    {0, 7, 150, 150},    {7, 0, 150, 1},       {227, 149, 150, 98},
  };
  for (const Case& c : cases) {
    const ThumbSize s = ThumbnailSize(c.w, c.h);
    EXPECT_EQ(s.width, c.tw) << c.w << "x" << c.h;
    EXPECT_EQ(s.height, c.th) << c.w << "x" << c.h;
  }
}

TEST(ThumbnailSize, ScalingAveragesTheCoveredPixels) {
  // 4 x 2 halved: each thumbnail pixel is the mean of a 2 x 2 square.
  Thumbnail in{4, 2, {0, 0, 0, 10, 20, 30, 100, 100, 100, 200, 200, 200,  //
                      2, 4, 6, 20, 40, 60, 100, 100, 100, 100, 0,   0}};
  const Thumbnail out = ScalePicture(in, 2, 1);
  EXPECT_EQ(out.rgb, (std::vector<uint8_t>{8, 16, 24, 125, 100, 100}));
  // Enlarged, each pixel repeats the nearest.
  const Thumbnail big = ScalePicture(Thumbnail{1, 1, {7, 8, 9}}, 3, 2);
  EXPECT_EQ(big.rgb, std::vector<uint8_t>(std::vector<uint8_t>{7, 8, 9, 7, 8, 9, 7, 8, 9, 7, 8, 9,
                                                               7, 8, 9, 7, 8, 9}));
  EXPECT_EQ(ScalePicture(Thumbnail{2, 2, {1, 2, 3}}, 1, 1).width, 0);  // too few bytes
}

void WriteGif(const std::string& path) {
  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
  ASSERT_NE(gif, nullptr);
  const GifColorType colors[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  ColorMapObject* map = GifMakeMapObject(4, colors);
  // A 4 x 2 screen with a blue background; the picture covers its left half
  // in red and green, interlaced.
  ASSERT_EQ(EGifPutScreenDesc(gif, 4, 2, 2, 3, map), GIF_OK);
  ASSERT_EQ(EGifPutImageDesc(gif, 0, 0, 2, 2, true, nullptr), GIF_OK);
  GifPixelType row0[] = {1, 1}, row1[] = {2, 2};
  ASSERT_EQ(EGifPutLine(gif, row0, 2), GIF_OK);
  ASSERT_EQ(EGifPutLine(gif, row1, 2), GIF_OK);
  ASSERT_EQ(EGifCloseFile(gif, &error), GIF_OK);
  GifFreeMapObject(map);
}

TEST(Thumbnail, DecoderIsChosenByTheLastFourCharacters) {
  test::TempDir dir;
  const std::string jpg = Image("testorig.jpg");
  for (const char* name : {"a.jpg", "a.JPG", "a.Jpg", "a.jpeg", "a.JPEG", "jpg", "a.bmp"})
    std::filesystem::create_symlink(jpg, dir / name);
  WriteGif(dir / "g.gif");
  std::filesystem::create_symlink(dir / "g.gif", dir / "g.GIF");
  std::filesystem::create_symlink(dir / "g.gif", dir / "g.Gif");
  std::filesystem::create_symlink(Image("testorig.ppm"), dir / "p.PPM");
  std::filesystem::create_symlink(Image("shira_bird8.bmp"), dir / "b.BMP");
  test::WriteText(dir / "text.ppm", "not a picture");

  Thumbnail out;
  for (const char* name : {"a.jpg", "a.JPG", "g.gif", "g.GIF", "p.PPM", "b.BMP"})
    EXPECT_TRUE(DecodePicture(dir / name, out)) << name;
  for (const char* name : {"a.Jpg", "a.jpeg", "a.JPEG", "jpg", "a.bmp", "g.Gif", "text.ppm"})
    EXPECT_FALSE(DecodePicture(dir / name, out)) << name;
  EXPECT_FALSE(DecodePicture(dir / "missing.jpg", out));

  ASSERT_TRUE(DecodePicture(dir / "g.gif", out));
  EXPECT_EQ(out.rgb, (std::vector<uint8_t>{255, 0,   0, 255, 0,   0, 0, 0, 255, 0, 0, 255,  //
                                           0,   255, 0, 0,   255, 0, 0, 0, 255, 0, 0, 255}));
  // The JPEG and its PPM twin give nearly the same thumbnail.
  ThumbnailCache cache;
  RecordingShell shell;
  ASSERT_EQ(OpenThumbnailCache(cache, dir / "ThumbNails.bin", shell), 0);
  Thumbnail fromJpeg, fromPpm;
  ASSERT_TRUE(GetThumbnail(cache, dir / "a.jpg", fromJpeg, shell));
  ASSERT_TRUE(GetThumbnail(cache, dir / "p.PPM", fromPpm, shell));
  EXPECT_EQ(fromJpeg.width, 150);
  EXPECT_EQ(fromJpeg.height, 98);
  EXPECT_TRUE(thumbtest::Near(fromJpeg, fromPpm, 40));
  EXPECT_FALSE(GetThumbnail(cache, dir / "a.Jpg", out, shell));
  EXPECT_EQ(ThumbnailCount(cache), 2);
}

TEST(Thumbnail, APngGivesThePixelsOfThePictureItHolds) {
  test::TempDir dir;
  Thumbnail ppm;
  ASSERT_TRUE(DecodePicture(Image("testorig.ppm"), ppm));
  ASSERT_EQ(WritePng(dir / "p.png", ppm.rgb.data(), ppm.width, ppm.height), 0);
  std::filesystem::create_symlink(dir / "p.png", dir / "p.PNG");
  std::filesystem::create_symlink(dir / "p.png", dir / "p.Png");
  for (const char* name : {"p.png", "p.PNG"}) {
    Thumbnail png;
    ASSERT_TRUE(DecodePicture(dir / name, png)) << name;
    EXPECT_EQ(png.width, ppm.width);
    EXPECT_EQ(png.height, ppm.height);
    EXPECT_TRUE(png.rgb == ppm.rgb) << name;  // top row first, as every thumbnail
  }
  Thumbnail out;
  EXPECT_FALSE(DecodePicture(dir / "p.Png", out));
  // Cut short in its pixels it is refused; without the end of its last
  // chunk, which holds no pixels, it may still give the whole picture.
  const test::Bytes good = test::ReadBytes(dir / "p.png");
  for (size_t size : {size_t{0}, size_t{8}, size_t{33}, good.size() / 2, good.size() - 1}) {
    test::WriteBytes(dir / "cut.png", test::Bytes(good.begin(), good.begin() + size));
    if (DecodePicture(dir / "cut.png", out)) {
      EXPECT_EQ(size, good.size() - 1);
      EXPECT_TRUE(out.rgb == ppm.rgb);
    }
  }
}

TEST(Thumbnail, DamagedGifsAreRefused) {
  test::TempDir dir;
  WriteGif(dir / "g.gif");
  const test::Bytes good = test::ReadBytes(dir / "g.gif");
  Thumbnail out;
  for (size_t size = 0; size < good.size(); ++size)
    DecodeGifFirstPicture(good.data(), size, out);
  for (size_t at = 0; at < good.size(); ++at) {
    test::Bytes bad = good;
    bad[at] ^= 0xff;
    if (DecodeGifFirstPicture(bad.data(), bad.size(), out)) {
      EXPECT_EQ(out.rgb.size(), size_t(out.width) * size_t(out.height) * 3);
    }
  }
  // A screen that claims more pixels than allowed is refused at once.
  EXPECT_FALSE(DecodeGifFirstPicture(good.data(), good.size(), out, 7));
}

TEST(Thumbnail, SecondTimeComesFromTheCacheAndChangedFilesAreMadeAgain) {
  test::TempDir dir;
  const std::string picture = dir / "p.ppm", path = dir / "ThumbNails.bin";
  thumbtest::WritePpm(picture, Solid(600, 300, 20, 40, 60));
  thumbtest::Touch(picture, 500);
  ThumbnailCache cache;
  RecordingShell shell;
  ASSERT_EQ(OpenThumbnailCache(cache, path, shell), 0);
  Thumbnail out;
  EXPECT_EQ(FetchThumbnail(cache, picture, out, shell), ThumbnailSource::kMade);
  EXPECT_EQ(out.width, 150);
  EXPECT_EQ(out.height, 75);
  EXPECT_EQ(FetchThumbnail(cache, picture, out, shell), ThumbnailSource::kCached);
  EXPECT_TRUE(thumbtest::Near(out, Solid(150, 75, 20, 40, 60), 3));

  thumbtest::WritePpm(picture, Solid(300, 600, 200, 0, 0));
  thumbtest::Touch(picture, 600);
  EXPECT_EQ(FetchThumbnail(cache, picture, out, shell), ThumbnailSource::kMade);
  EXPECT_EQ(out.width, 75);
  EXPECT_EQ(out.height, 150);
  EXPECT_EQ(ThumbnailCount(cache), 2);
  EXPECT_TRUE(shell.messages.empty());

  // Closed, the cache opens again where it was; a damaged one is said so
  // on the caller's shell.
  CloseThumbnailCache(cache);
  test::WriteText(path, "damaged");
  EXPECT_EQ(FetchThumbnail(cache, picture, out, shell), ThumbnailSource::kMade);
  EXPECT_EQ(shell.messages, std::vector<std::string>{kThumbCacheCorrupt});
  EXPECT_EQ(FetchThumbnail(cache, picture, out, shell), ThumbnailSource::kCached);
}

TEST(Thumbnail, AJpegDecodedSmallKeepsTheSizeRuleOfTheWholePicture) {
  test::TempDir dir;
  const std::string picture = dir / "wide.jpg";
  // 1000 x 333 gives 150 x 49 (149.85 cut); its quarter-size decode,
  // 250 x 84, would give 150 x 50.
  const Thumbnail whole = Solid(1000, 333, 90, 120, 30);
  JpegImage jpeg;
  ASSERT_EQ(jpeg.EncodeFile(picture, whole.rgb.data(), whole.width, whole.height), 0);
  Thumbnail small;
  ThumbSize size{0, 0};
  ASSERT_TRUE(DecodeForThumbnail(picture, small, size));
  EXPECT_LT(small.width, 1000);
  EXPECT_GE(std::max(small.width, small.height), kThumbnailSide);
  EXPECT_EQ(size.width, 150);
  EXPECT_EQ(size.height, 49);
  ThumbnailCache cache;
  RecordingShell shell;
  ASSERT_EQ(OpenThumbnailCache(cache, dir / "ThumbNails.bin", shell), 0);
  Thumbnail out;
  ASSERT_TRUE(GetThumbnail(cache, picture, out, shell));
  EXPECT_EQ(out.width, 150);
  EXPECT_EQ(out.height, 49);
  EXPECT_TRUE(thumbtest::Near(out, Solid(150, 49, 90, 120, 30), 4));
}

// Counts messages from any thread.
class CountingShell : public Shell {
 public:
  void Message(std::string_view) override { ++messages; }
  bool Ask(std::string_view) override { return true; }
  std::atomic<int> messages{0};
};

TEST(Thumbnail, ThreadsShareOneCache) {
  test::TempDir dir;
  std::vector<std::string> names;
  for (int i = 0; i < 24; ++i) {
    names.push_back(dir / ("p" + std::to_string(i) + ".ppm"));
    thumbtest::WritePpm(names.back(), Solid(40 + i, 30, uint8_t(10 * i), 100, 200));
  }
  ThumbnailCache cache;
  CountingShell shell;
  ASSERT_EQ(OpenThumbnailCache(cache, dir / "ThumbNails.bin", shell), 0);
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  // Every thread asks for every picture, each in its own order.
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      Thumbnail out;
      for (int i = 0; i < 24; ++i) {
        const int k = (i * 5 + t * 7) % 24;
        if (!GetThumbnail(cache, names[size_t(k)], out, shell) ||
            !thumbtest::Near(out, Solid(150, out.height, uint8_t(10 * k), 100, 200), 3))
          ++failures;
      }
    });
  for (std::thread& t : threads)
    t.join();
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(shell.messages, 0);
  // Each picture once, however many threads made it at the same time.
  EXPECT_EQ(thumbtest::ReadCacheFile(dir / "ThumbNails.bin").entryCount(), 24u);
}

TEST(ThumbnailCacheLocation, FollowsXdgCacheHomeThenHome) {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  const std::string savedXdg = xdg ? xdg : "", savedHome = home ? home : "";
  setenv("XDG_CACHE_HOME", "/x/cache", 1);
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ(DefaultThumbnailCachePath(), "/x/cache/modra/ThumbNails.bin");
  setenv("XDG_CACHE_HOME", "relative", 1);
  EXPECT_EQ(DefaultThumbnailCachePath(), "/home/u/.cache/modra/ThumbNails.bin");
  unsetenv("XDG_CACHE_HOME");
  EXPECT_EQ(DefaultThumbnailCachePath(), "/home/u/.cache/modra/ThumbNails.bin");
  unsetenv("HOME");
  EXPECT_EQ(DefaultThumbnailCachePath(), "");
  if (xdg) setenv("XDG_CACHE_HOME", savedXdg.c_str(), 1);
  if (home) setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
}  // namespace modra
