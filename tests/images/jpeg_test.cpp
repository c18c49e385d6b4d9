#include "images/jpeg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "image_test_util.h"
#include "images/ppm.h"
#include "reader_harness.h"

namespace modra {
namespace {

using imagetest::Bytes;
using imagetest::EncodeGreyscale;
using imagetest::TestImage;

struct Difference {
  int largest = 0;
  double mean = 0;
};

Difference Compare(const uint8_t* a, const uint8_t* b, size_t count) {
  Difference d;
  for (size_t i = 0; i < count; ++i) {
    const int diff = std::abs(a[i] - b[i]);
    d.largest = std::max(d.largest, diff);
    d.mean += diff;
  }
  d.mean /= static_cast<double>(count);
  return d;
}

// A smooth picture with some colour, as JPEG likes them.
Bytes Gradient(int width, int height) {
  Bytes rgb;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      rgb.push_back(static_cast<uint8_t>(x * 255 / std::max(1, width - 1)));
      rgb.push_back(static_cast<uint8_t>(y * 255 / std::max(1, height - 1)));
      rgb.push_back(static_cast<uint8_t>(128 + 100 * std::sin((x + y) * 0.1)));
    }
  }
  return rgb;
}

Bytes SmallJpeg() {
  JpegImage jpeg;
  const Bytes rgb = Gradient(16, 8);
  const uint8_t* out = jpeg.EncodeMemory(rgb.data(), 16, 8);
  return out ? Bytes(out, out + jpeg.CompressedSize()) : Bytes{};
}

TEST(JpegCoding, RealFilesDecodeToTheirPpmTwin) {
  int w = 0, h = 0;
  std::unique_ptr<uint8_t[]> twin = ReadPpm(TestImage("testorig.ppm"), &w, &h);
  ASSERT_NE(twin, nullptr);
  const size_t count = size_t(w) * h * 3;

  JpegImage jpeg;
  const uint8_t* rgb = jpeg.DecodeFile(TestImage("testorig.jpg"));
  ASSERT_NE(rgb, nullptr);
  ASSERT_EQ(jpeg.Width(), w);
  ASSERT_EQ(jpeg.Height(), h);
  // The twin is this file decoded by libjpeg: only rounding may differ.
  Difference d = Compare(rgb, twin.get(), count);
  EXPECT_LE(d.largest, 4);
  EXPECT_LT(d.mean, 0.5);

  // The same picture compressed again, with the integer DCT.
  rgb = jpeg.DecodeFile(TestImage("testimgint.jpg"));
  ASSERT_NE(rgb, nullptr);
  ASSERT_EQ(jpeg.Width(), w);
  ASSERT_EQ(jpeg.Height(), h);
  d = Compare(rgb, twin.get(), count);
  EXPECT_LT(d.mean, 1.5) << "largest difference " << d.largest;
}

TEST(JpegCoding, GreyscaleIsWidenedToRgb) {
  Bytes grey;
  for (int i = 0; i < 24 * 16; ++i)
    grey.push_back(static_cast<uint8_t>(i * 7 % 256 / 8 * 8));
  const Bytes file = EncodeGreyscale(grey, 24, 16);
  JpegImage jpeg;
  const uint8_t* rgb = jpeg.DecodeMemory(file.data(), file.size());
  ASSERT_NE(rgb, nullptr);
  ASSERT_EQ(jpeg.Width(), 24);
  ASSERT_EQ(jpeg.Height(), 16);
  Bytes values;
  for (size_t i = 0; i < grey.size(); ++i) {
    ASSERT_EQ(rgb[3 * i], rgb[3 * i + 1]) << i;
    ASSERT_EQ(rgb[3 * i], rgb[3 * i + 2]) << i;
    values.push_back(rgb[3 * i]);
  }
  EXPECT_LT(Compare(values.data(), grey.data(), grey.size()).mean, 8.0);
}

TEST(JpegCoding, EncodeDecodeRoundTrip) {
  const int width = 40, height = 24;
  const Bytes rgb = Gradient(width, height);
  JpegImage jpeg;
  const uint8_t* file = jpeg.EncodeMemory(rgb.data(), width, height);
  ASSERT_NE(file, nullptr);
  const Bytes bytes(file, file + jpeg.CompressedSize());
  ASSERT_GT(bytes.size(), 4u);
  EXPECT_EQ(bytes[1], 0xD8);  // starts and ends with its markers
  EXPECT_EQ(bytes.back(), 0xD9);

  JpegImage reader;
  const uint8_t* back = reader.DecodeMemory(bytes.data(), bytes.size());
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(reader.Width(), width);
  ASSERT_EQ(reader.Height(), height);
  EXPECT_LT(Compare(back, rgb.data(), rgb.size()).mean, 4.0);
}

TEST(JpegCoding, ADecodeForAThumbnailIsSmallerButNeverBelowItsLongerSide) {
  const int width = 1000, height = 333;
  const Bytes rgb = Gradient(width, height);
  JpegImage jpeg;
  const uint8_t* file = jpeg.EncodeMemory(rgb.data(), width, height);
  ASSERT_NE(file, nullptr);
  const Bytes bytes(file, file + jpeg.CompressedSize());
  for (const auto& [side, expectedWidth] :
       {std::pair{150, 250}, std::pair{200, 250}, std::pair{300, 500}, std::pair{2000, 1000}}) {
    JpegImage reader;
    reader.SetLeastLongerSide(side);
    ASSERT_NE(reader.DecodeMemory(bytes.data(), bytes.size()), nullptr) << side;
    EXPECT_EQ(reader.Width(), expectedWidth) << side;
    EXPECT_EQ(reader.Height(), (height * expectedWidth + width - 1) / width) << side;
    EXPECT_EQ(reader.SourceWidth(), width);
    EXPECT_EQ(reader.SourceHeight(), height);
  }
}

TEST(JpegCoding, QualityDecidesTheSize) {
  const Bytes rgb = imagetest::Pattern(64 * 64 * 3);
  JpegImage jpeg;
  jpeg.quality = 20;
  ASSERT_NE(jpeg.EncodeMemory(rgb.data(), 64, 64), nullptr);
  const size_t small = jpeg.CompressedSize();
  jpeg.quality = 95;
  ASSERT_NE(jpeg.EncodeMemory(rgb.data(), 64, 64), nullptr);
  EXPECT_GT(jpeg.CompressedSize(), small + small / 2);
}

TEST(JpegCoding, EncodeFileWritesWhatEncodeMemoryMakes) {
  test::TempDir dir;
  const Bytes rgb = Gradient(20, 10);
  JpegImage jpeg;
  jpeg.quality = 65;
  ASSERT_EQ(jpeg.EncodeFile(dir / "a.jpg", rgb.data(), 20, 10), 0);
  const Bytes file = test::ReadBytes(dir / "a.jpg");
  EXPECT_EQ(file.size(), jpeg.CompressedSize());
  const uint8_t* memory = jpeg.EncodeMemory(rgb.data(), 20, 10);
  ASSERT_NE(memory, nullptr);
  EXPECT_EQ(Bytes(memory, memory + jpeg.CompressedSize()), file);

  // A failed write leaves the old file as it was and nothing else behind.
  EXPECT_EQ(jpeg.EncodeFile(dir / "a.jpg", rgb.data(), 0, 10), -1);
  EXPECT_EQ(jpeg.CompressedSize(), 0u);
  EXPECT_EQ(test::ReadBytes(dir / "a.jpg"), file);
  EXPECT_EQ(jpeg.EncodeFile(dir / "missing/a.jpg", rgb.data(), 20, 10), -1);
  EXPECT_EQ(dir.Entries(), 1);
}

TEST(JpegCoding, RefusesWhatItCannotCodeWithoutEndingTheProcess) {
  const Bytes rgb(3 * 70000, 128);
  JpegImage jpeg;
  jpeg.printMessages = false;
  EXPECT_EQ(jpeg.EncodeMemory(nullptr, 2, 2), nullptr);
  EXPECT_EQ(jpeg.EncodeMemory(rgb.data(), 1, -1), nullptr);
  // Past JPEG's largest dimension: libjpeg's error comes back as a failure.
  EXPECT_EQ(jpeg.EncodeMemory(rgb.data(), 70000, 1), nullptr);
  EXPECT_EQ(jpeg.CompressedSize(), 0u);
  EXPECT_EQ(jpeg.DecodeMemory(rgb.data(), 100), nullptr);
  EXPECT_EQ(jpeg.DecodeMemory(nullptr, 10), nullptr);
  EXPECT_EQ(jpeg.DecodeFile(TestImage("testorig.ppm")), nullptr);
  EXPECT_EQ(jpeg.DecodeFile(TestImage("no such file.jpg")), nullptr);
  EXPECT_EQ(jpeg.Width(), 0);
}

TEST(JpegCoding, EveryTruncationIsRefusedAndDamageIsSurvived) {
  auto decode = [](const Bytes& bytes) {
    JpegImage jpeg;
    jpeg.printMessages = false;
    jpeg.SetMaxPixels(1 << 16);
    const bool decoded = jpeg.DecodeMemory(bytes.data(), bytes.size()) != nullptr;
    EXPECT_LE(int64_t{jpeg.Width()} * jpeg.Height(), 1 << 16);
    return decoded;
  };
  const Bytes whole = SmallJpeg();
  ASSERT_FALSE(whole.empty());
  test::ForEachCut(whole, [&](const Bytes& cut, size_t) { EXPECT_FALSE(decode(cut)); });
  test::ForEachCut(
      test::ReadBytes(TestImage("testorig.jpg")),
      [&](const Bytes& cut, size_t) { EXPECT_FALSE(decode(cut)); }, 1024, 300);
  test::ForEachDamage(whole, 1000, [&](const Bytes& bad) { decode(bad); });
}

TEST(JpegCoding, RefusesMorePixelsThanTheLimit) {
  Bytes file = SmallJpeg();
  JpegImage jpeg;
  jpeg.SetMaxPixels(16 * 8 - 1);
  EXPECT_EQ(jpeg.DecodeMemory(file.data(), file.size()), nullptr);
  jpeg.SetMaxPixels(16 * 8);
  EXPECT_NE(jpeg.DecodeMemory(file.data(), file.size()), nullptr);

  // The frame header claims 60000 x 60000: refused before decoding.
  jpeg.SetMaxPixels(JpegImage::kDefaultMaxPixels);
  jpeg.printMessages = false;
  for (size_t i = 0; i + 8 < file.size(); ++i) {
    if (file[i] == 0xFF && file[i + 1] == 0xC0) {
      file[i + 5] = file[i + 7] = 0xEA;
      file[i + 6] = file[i + 8] = 0x60;
      break;
    }
  }
  EXPECT_EQ(jpeg.DecodeMemory(file.data(), file.size()), nullptr);
}

}  // namespace
}  // namespace modra
