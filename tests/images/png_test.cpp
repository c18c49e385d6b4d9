// PNG frames: what the writer makes reads back through libpng pixel for
// pixel, and a file it cannot make is not left half-written.
#include "images/png.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>

#include "image_test_util.h"

namespace modra {
namespace {

using imagetest::Bytes;
using imagetest::Pattern;

// A PNG read back whole by libpng as 8-bit RGB, top row first.
struct DecodedPng {
  bool ok = false;
  int width = 0, height = 0;
  int colorType = -1, bitDepth = -1, interlace = -1;
  Bytes rgb;
};

// The header fields, read by libpng's own reader. note: no object with a
// destructor lives here, since libpng reports errors by longjmp.
bool ReadHeader(std::FILE* file, int* colorType, int* bitDepth, int* interlace) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  bool ok = false;
  if (!setjmp(png_jmpbuf(png))) {
    png_init_io(png, file);
    png_read_info(png, info);
    *colorType = png_get_color_type(png, info);
    *bitDepth = png_get_bit_depth(png, info);
    *interlace = png_get_interlace_type(png, info);
    ok = true;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return ok;
}

DecodedPng DecodePng(const std::string& path) {
  DecodedPng d;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return d;
  image.format = PNG_FORMAT_RGB;
  d.width = static_cast<int>(image.width);
  d.height = static_cast<int>(image.height);
  d.rgb.resize(PNG_IMAGE_SIZE(image));
  d.ok = png_image_finish_read(&image, nullptr, d.rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  // What the file says of itself, beyond what the simplified reader converts.
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    d.ok = ReadHeader(file, &d.colorType, &d.bitDepth, &d.interlace) && d.ok;
    std::fclose(file);
  }
  return d;
}

TEST(PngWriting, PixelsReadBackExactlyAtAnySize) {
  test::TempDir dir;
  for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {17, 5}, {64, 48}}) {
    const Bytes rgb = Pattern(static_cast<size_t>(w) * h * 3, static_cast<uint32_t>(w * 100 + h));
    const std::string path = dir / ("p" + std::to_string(w) + ".png");
    ASSERT_EQ(WritePng(path, rgb.data(), w, h), 0) << w;
    const DecodedPng d = DecodePng(path);
    ASSERT_TRUE(d.ok) << w;
    EXPECT_EQ(d.width, w);
    EXPECT_EQ(d.height, h);
    EXPECT_EQ(d.colorType, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(d.bitDepth, 8);
    EXPECT_EQ(d.interlace, PNG_INTERLACE_NONE);
    EXPECT_EQ(d.rgb, rgb) << w << "x" << h;
  }
}

TEST(PngWriting, RefusesBadArgumentsAndLeavesNoFileItCouldNotMake) {
  test::TempDir dir;
  const Bytes rgb = Pattern(12);
  const Bytes wide = Pattern(size_t{2000000} * 3);
  const std::string path = dir / "p.png";
  EXPECT_EQ(WritePng(path, nullptr, 2, 2), -1);
  EXPECT_EQ(WritePng(path, rgb.data(), 0, 2), -1);
  EXPECT_EQ(WritePng(path, rgb.data(), 2, -1), -1);
  EXPECT_EQ(WritePng(dir / "missing/p.png", rgb.data(), 2, 2), -1);
  // Beyond libpng's own limit on a side.
  EXPECT_EQ(WritePng(path, wide.data(), 2000000, 1), -1);
  EXPECT_EQ(dir.Entries(), 0);

  // An older file stays until a new one is whole.
  test::WriteText(path, "old");
  EXPECT_EQ(WritePng(path, wide.data(), 2000000, 1), -1);
  EXPECT_EQ(test::ReadText(path), "old");
  ASSERT_EQ(WritePng(path, rgb.data(), 2, 2), 0);
  EXPECT_EQ(DecodePng(path).rgb, rgb);
  EXPECT_EQ(dir.Entries(), 1);
}

}  // namespace
}  // namespace modra
