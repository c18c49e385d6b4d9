#include "images/ppm.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "image_test_util.h"
#include "reader_harness.h"

namespace modra {
namespace {

using imagetest::Bytes;
using imagetest::Concat;
using imagetest::TestImage;

const Bytes kSixBytes = {10, 20, 30, 40, 50, 60};

// Reads from a buffer of exactly the file's size, so that the sanitizer
// catches any read past it.
Bytes Read(const Bytes& file, int* width = nullptr, int* height = nullptr) {
  int w = -1, h = -1;
  std::unique_ptr<uint8_t[]> rgb = ReadPpmMemory(file.data(), file.size(), &w, &h);
  if (width) *width = w;
  if (height) *height = h;
  if (!rgb) return {};
  return Bytes(rgb.get(), rgb.get() + size_t(w) * h * 3);
}

PpmStatus Status(const std::string& text) {
  PpmHeader header;
  return ParsePpmHeader(reinterpret_cast<const uint8_t*>(text.data()), text.size(), &header);
}

TEST(PpmReading, HeaderLayouts) {
  struct Case {
    const char* header;
    size_t dataOffset;
  };
  for (Case c : {Case{"P6\n2 1\n255\n", 11}, Case{"P6\n# made by hand\n2 1\n255\n", 26},
                 Case{"P6\n2\n1\n255\n", 11}, Case{"P6\n2 1 255\n", 11}, Case{"P6 2 1 255\n", 11},
                 Case{"P6\r\n2 1\r\n255\r\n", 14}, Case{"P6\n#\n\n# 7 x\n 2  1 \n\t255\n", 24}}) {
    const std::string text = c.header;
    PpmHeader header;
    ASSERT_EQ(ParsePpmHeader(reinterpret_cast<const uint8_t*>(text.data()), text.size(), &header),
              PpmStatus::kOk)
        << text;
    EXPECT_EQ(header.maxValue, 255) << text;
    EXPECT_EQ(header.dataOffset, c.dataOffset) << text;
    int w = 0, h = 0;
    EXPECT_EQ(Read(Concat(c.header, kSixBytes), &w, &h), kSixBytes) << text;
    EXPECT_EQ(w * 10 + h, 21) << text;
  }
}

TEST(PpmReading, HeadersItCannotUseSayWhy) {
  for (const char* text : {"P3\n2 1\n255\n", "P66\n2 1\n255\n", "p6\n2 1\n255\n",
                           "\nP6\n2 1\n255\n", "P\n6\n2 1\n255\n", "GIF89a"})
    EXPECT_EQ(Status(text), PpmStatus::kWrongType) << text;
  EXPECT_EQ(Read(Concat("P3\n2 1\n255\n", kSixBytes)), Bytes{});
  for (const char* text : {"", "P6\n", "P6\n2 1\n", "P6\n# no size\n", "P6\n2 1\n# 255"})
    EXPECT_EQ(Status(text), PpmStatus::kShortHeader) << '"' << text << '"';
  for (const char* text : {"P6\n0 1\n255\n", "P6\n-2 1\n255\n", "P6\n2 1\n0\n", "P6\n2 1\n65535\n",
                           "P6\n99999999999 1\n255\n", "P6\n2 1\n2147483648\n"})
    EXPECT_EQ(Status(text), PpmStatus::kBadHeader) << text;
}

TEST(PpmReading, CutsAndDamageAreRefusedOrReadInsideTheFile) {
  test::ForEachCut(Concat("P6\n2 1\n255\n", kSixBytes),
                   [](const Bytes& cut, size_t) { EXPECT_EQ(Read(cut), Bytes{}); });
  test::ForEachCut(
      test::ReadBytes(TestImage("testorig.ppm")),
      [](const Bytes& cut, size_t) { EXPECT_EQ(Read(cut), Bytes{}); }, 64, 50);
  // Bytes after the picture do no harm; a header claiming billions of
  // pixels is refused without trying to allocate them.
  EXPECT_EQ(Read(Concat("P6\n2 1\n255\n", {10, 20, 30, 40, 50, 60, 99})), kSixBytes);
  EXPECT_EQ(Read(Concat("P6\n2000000000 2000000000\n255\n", kSixBytes)), Bytes{});
  test::ForEachDamage(
      Concat("P6\n# c\n3 2\n255\n", imagetest::Pattern(18)), 5000,
      [](const Bytes& bad) {
        int w = 0, h = 0;
        if (!Read(bad, &w, &h).empty()) {
          EXPECT_LE(size_t(w) * h * 3, bad.size());
        }
      },
      "0123456789 \n#P-", 3, 3);
}

TEST(PpmReading, RealFileMatchesItsBytes) {
  const Bytes file = test::ReadBytes(TestImage("testorig.ppm"));
  ASSERT_GT(file.size(), 15u);
  int w = 0, h = 0;
  std::unique_ptr<uint8_t[]> rgb = ReadPpm(TestImage("testorig.ppm"), &w, &h);
  ASSERT_NE(rgb, nullptr);
  EXPECT_EQ(w, 227);
  EXPECT_EQ(h, 149);
  // "P6\n227 149\n255\n" is 15 bytes; the top row comes first.
  EXPECT_EQ(Bytes(rgb.get(), rgb.get() + size_t(w) * h * 3), Bytes(file.begin() + 15, file.end()));
}

// The frame header is the first layout above.
TEST(PpmReading, FrameHeaderIsTheSimplestLayoutAndAMissingFileIsSaid) {
  EXPECT_EQ(PpmFrameHeader(640, 480), "P6\n640 480\n255\n");
  test::TempDir dir;
  int w = 0, h = 0;
  testing::internal::CaptureStderr();
  EXPECT_EQ(ReadPpm(dir / "none.ppm", &w, &h), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Can't open " + dir / "none.ppm" + " for read: " + std::strerror(ENOENT) + "\n");
}

}  // namespace
}  // namespace modra
