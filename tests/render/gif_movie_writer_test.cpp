#include "render/gif_movie_writer.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "movie_test_util.h"

namespace modra {
namespace {

using movietest::Bytes;
using movietest::DecodedGif;
using movietest::Rgb;
using movietest::Solid;

// More colours than one map holds: red across, green down, blue by frame.
Bytes Gradient(int width, int height, int blue) {
  Bytes out(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &out[(static_cast<size_t>(y) * width + x) * 3];
      p[0] = static_cast<uint8_t>(x * 255 / (width - 1));
      p[1] = static_cast<uint8_t>(y * 255 / (height - 1));
      p[2] = static_cast<uint8_t>(blue);
    }
  return out;
}

TEST(GifMovieWriter, WritesALoopingMovieWithLocalMapsAndDelays) {
  test::TempDir dir;
  const std::string path = dir / "loop.gif";
  const int w = 64, h = 40, blues[] = {0, 120, 250};
  {
    GifMovieWriter writer;
    ASSERT_EQ(writer.Create(path, w, h), 0);
    for (int blue : blues) {
      Bytes frame = Gradient(w, h, blue);
      ASSERT_EQ(writer.AddFrame(frame.data()), 0);
    }
    EXPECT_EQ(writer.FramesWritten(), 3);
    EXPECT_EQ(writer.Finish(), 0);
  }

  const Bytes bytes = test::ReadBytes(path);
  ASSERT_GT(bytes.size(), 32u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
  // Screen descriptor: the size, no global map, colour resolution 8.
  EXPECT_EQ(bytes[6] | bytes[7] << 8, w);
  EXPECT_EQ(bytes[8] | bytes[9] << 8, h);
  EXPECT_EQ(bytes[10] & 0xF0, 0x70);
  // The looping extension comes straight after it, loop count 0.
  Bytes loop = {0x21, 0xFF, 11,  'N', 'E', 'T', 'S', 'C', 'A', 'P',
                'E',  '2',  '.', '0', 3,   1,   0,   0,   0};
  EXPECT_EQ(Bytes(bytes.begin() + 13, bytes.begin() + 13 + static_cast<long>(loop.size())), loop);
  EXPECT_EQ(bytes.back(), ';');

  DecodedGif decoded(path);
  ASSERT_NE(decoded.gif, nullptr);
  ASSERT_EQ(decoded.gif->ImageCount, 3);
  for (int i = 0; i < 3; ++i) {
    const SavedImage& image = decoded.gif->SavedImages[i];
    EXPECT_EQ(image.ImageDesc.Width, w);
    ASSERT_NE(image.ImageDesc.ColorMap, nullptr);
    EXPECT_EQ(image.ImageDesc.ColorMap->ColorCount, 256);
    GraphicsControlBlock control{};
    ASSERT_EQ(DGifSavedExtensionToGCB(decoded.gif, i, &control), GIF_OK);
    EXPECT_EQ(control.DelayTime, 10);
    EXPECT_EQ(control.TransparentColor, NO_TRANSPARENT_COLOR);
    // Every pixel stays near its colour, and on average much nearer.
    const Bytes original = Gradient(w, h, blues[i]);
    double total = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        for (int c = 0; c < 3; ++c) {
          const int error = std::abs(decoded.Pixel(i, x, y)[c] - original[(y * w + x) * 3 + c]);
          ASSERT_LE(error, 48) << "frame " << i << " at " << x << "," << y;
          total += error;
        }
    EXPECT_LT(total / (w * h * 3), 10.0) << "frame " << i;
  }
}

TEST(GifMovieWriter, FlatColoursKeepTheirExactValues) {
  test::TempDir dir;
  const std::string path = dir / "flat.gif";
  GifMovieWriter writer;
  ASSERT_EQ(writer.Create(path, 7, 3), 0);
  Bytes frame = Solid(7, 3, {200, 16, 96});
  ASSERT_EQ(writer.AddFrame(frame.data(), 25), 0);
  ASSERT_EQ(writer.Finish(), 0);

  DecodedGif decoded(path);
  ASSERT_NE(decoded.gif, nullptr);
  ASSERT_EQ(decoded.gif->ImageCount, 1);
  // The quantiser alone would give 5 bits a channel; the map holds the
  // pixels' own colours.
  EXPECT_EQ(decoded.Pixel(0, 6, 2), (Rgb{200, 16, 96}));
  GraphicsControlBlock control{};
  ASSERT_EQ(DGifSavedExtensionToGCB(decoded.gif, 0, &control), GIF_OK);
  EXPECT_EQ(control.DelayTime, 25);
}

TEST(GifMovieWriter, RefusesBadSizesAndKeepsThePreviousFile) {
  test::TempDir dir;
  const std::string path = dir / "keep.gif";
  test::WriteBytes(path, Bytes{'o', 'l', 'd'});
  Bytes frame = Solid(4, 4, {9, 9, 9});

  GifMovieWriter writer;
  EXPECT_EQ(writer.AddFrame(frame.data()), -1);
  EXPECT_EQ(writer.Finish(), -1);
  EXPECT_EQ(writer.Create(path, 0, 4), -1);
  EXPECT_EQ(writer.Create(path, 4, 0), -1);
  EXPECT_EQ(writer.Create(path, GifMovieWriter::kMaxSide + 1, 4), -1);
  EXPECT_EQ(writer.Create(path, GifMovieWriter::kMaxSide, GifMovieWriter::kMaxSide), -1);
  EXPECT_EQ(writer.Create(dir / "missing/a.gif", 4, 4), -1);
  EXPECT_FALSE(writer.IsOpen());

  ASSERT_EQ(writer.Create(path, 4, 4), 0);
  EXPECT_EQ(writer.AddFrame(nullptr), -1);
  EXPECT_EQ(writer.AddFrame(frame.data(), -1), -1);
  EXPECT_EQ(writer.AddFrame(frame.data(), 0x10000), -1);
  EXPECT_TRUE(writer.IsOpen());
  // No frame: nothing is written over the old file.
  EXPECT_EQ(writer.Finish(), -1);
  EXPECT_EQ(test::ReadBytes(path), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(dir.Entries(), 1);
}

TEST(GifMovieWriter, DestroyingAnOpenWriterKeepsItsFrames) {
  test::TempDir dir;
  const std::string path = dir / "closed.gif";
  {
    GifMovieWriter writer;
    ASSERT_EQ(writer.Create(path, 5, 5), 0);
    Bytes frame = movietest::Halves(5, 5, {0, 0, 0}, {255, 255, 255});
    ASSERT_EQ(writer.AddFrame(frame.data()), 0);
    ASSERT_EQ(writer.AddFrame(frame.data()), 0);
  }
  DecodedGif decoded(path);
  ASSERT_NE(decoded.gif, nullptr);
  EXPECT_EQ(decoded.gif->ImageCount, 2);
  EXPECT_EQ(decoded.Pixel(1, 4, 4), (Rgb{255, 255, 255}));
  EXPECT_EQ(decoded.Pixel(1, 0, 4), (Rgb{0, 0, 0}));
}

}  // namespace
}  // namespace modra
