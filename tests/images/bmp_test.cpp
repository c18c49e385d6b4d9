#include "images/bmp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "image_test_util.h"
#include "reader_harness.h"

namespace modra {
namespace {

using imagetest::BmpFile;
using imagetest::Bytes;
using imagetest::PixelAt;
using imagetest::TestImage;

constexpr uint32_t kGrey = 0x101010, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF,
                   kWhite = 0xFFFFFF;

// Decodes and returns every pixel as 0xRRGGBB, top row first.
std::vector<uint32_t> Decode(const Bytes& file, BmpImage* bmp) {
  const uint8_t* rgb = bmp->ReadMemory(file.data(), file.size());
  if (!rgb) return {};
  std::vector<uint32_t> out;
  for (int i = 0; i < bmp->Width() * bmp->Height(); ++i)
    out.push_back(rgb[3 * i] << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2]);
  return out;
}

std::vector<uint32_t> Decode(const Bytes& file) {
  BmpImage bmp;
  return Decode(file, &bmp);
}

// 3 x 2, 8 bits, a full 256-entry palette; each 3-byte row is padded to 4.
BmpFile EightBit() {
  BmpFile f;
  f.width = 3;
  f.height = 2;
  f.bitCount = 8;
  f.palette.resize(256, kGrey);
  f.palette[1] = kRed;
  f.palette[2] = kGreen;
  f.palette[3] = kBlue;
  f.palette[255] = kWhite;
  f.pixels = {1,   2, 3, 0xEE,  // bottom row, then its padding
              255, 0, 1, 0xEE};
  return f;
}

// 3 x 2, 4 bits: 2 bytes of pixels and 2 of padding a row; 16 colours.
BmpFile FourBit() {
  BmpFile f;
  f.width = 3;
  f.height = 2;
  f.bitCount = 4;
  f.palette.resize(16, kGrey);
  f.palette[1] = kRed;
  f.palette[2] = kGreen;
  f.palette[15] = kWhite;
  f.pixels = {0x12, 0xF7, 0xAA, 0xAA,  // bottom: red green white (7: low nibble unused)
              0xF1, 0x20, 0xAA, 0xAA};
  return f;
}

// 2 x 2, 24 bits: 6 bytes of blue-green-red and 2 of padding a row.
BmpFile TwentyFourBit() {
  BmpFile f;
  f.width = 2;
  f.height = 2;
  f.pixels = {0xFF, 0, 0,    0,    0xFF, 0,    0xEE, 0xEE,  // bottom: blue, green
              0,    0, 0xFF, 0x30, 0x20, 0x10, 0xEE, 0xEE};
  return f;
}

BmpFile Rle8(int width, int height, Bytes data) {
  BmpFile f;
  f.width = width;
  f.height = height;
  f.bitCount = 8;
  f.compression = 1;
  f.colorsUsed = 5;
  f.palette = {kGrey, kRed, kGreen, kBlue, kWhite};
  f.pixels = std::move(data);
  return f;
}

TEST(BmpReading, EachBitCountSkipsRowPaddingAndPutsTheTopRowFirst) {
  // 8 bits: a palette, each 3-byte row padded to 4.
  EXPECT_EQ(Decode(EightBit().Build()),
            (std::vector<uint32_t>{kWhite, kGrey, kRed, kRed, kGreen, kBlue}));
  // 4 bits: the high nibble first.
  EXPECT_EQ(Decode(FourBit().Build()),
            (std::vector<uint32_t>{kWhite, kRed, kGreen, kRed, kGreen, kWhite}));
  EXPECT_EQ(Decode(TwentyFourBit().Build()),
            (std::vector<uint32_t>{0xFF0000, 0x102030, 0x0000FF, 0x00FF00}));
  BmpImage bmp;
  bmp.SetBottomUp();  // keeps the file's row order
  EXPECT_EQ(Decode(TwentyFourBit().Build(), &bmp),
            (std::vector<uint32_t>{0x0000FF, 0x00FF00, 0xFF0000, 0x102030}));
}

TEST(BmpReading, ByteSwappedHeadersReadLikeLittleEndianOnes) {
  for (BmpFile f : {EightBit(), FourBit(), TwentyFourBit()}) {
    const std::vector<uint32_t> plain = Decode(f.Build());
    f.bigEndian = true;
    const Bytes swapped = f.Build();
    ASSERT_EQ(swapped[0], 'M');
    EXPECT_FALSE(plain.empty());
    EXPECT_EQ(Decode(swapped), plain);
  }
}

TEST(BmpReading, IndicesPastTheStoredPaletteAreBlack) {
  BmpFile f = EightBit();
  f.colorsUsed = 2;
  f.palette.resize(2);
  EXPECT_EQ(Decode(f.Build()), (std::vector<uint32_t>{0, kGrey, kRed, kRed, 0, 0}));
}

TEST(BmpReading, PixelsStartAtTheDataOffsetWhenItLeavesAGap) {
  BmpFile f = TwentyFourBit();
  f.gap = {9, 9, 9, 9};
  f.dataOffset = 14 + 40 + 4;
  EXPECT_EQ(Decode(f.Build()), Decode(TwentyFourBit().Build()));
  // An offset pointing back into the headers is ignored.
  f = TwentyFourBit();
  f.dataOffset = 20;
  EXPECT_EQ(Decode(f.Build()), Decode(TwentyFourBit().Build()));
}

TEST(BmpReading, Rle8ExpandsRunsLiteralsRowEndsAndDeltas) {
  // 5 x 3. Bottom row: a run of two 1s, a literal 2 3 4 (odd: one pad
  // byte), end of row. Then a delta of 1 right and 1 up skips the middle
  // row and the top row's first pixel; a run of four 4s ends the top row.
  const Bytes data = {2, 1, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 1, 1, 4, 4, 0, 1};
  // Skipped pixels keep palette index 0 (grey here).
  EXPECT_EQ(Decode(Rle8(5, 3, data).Build()),
            (std::vector<uint32_t>{kGrey, kWhite, kWhite, kWhite, kWhite,  //
                                   kGrey, kGrey, kGrey, kGrey, kGrey,      //
                                   kRed, kRed, kGreen, kBlue, kWhite}));
}

TEST(BmpReading, Rle8ClipsWhatRunsPastTheRowOrThePicture) {
  // 2 x 2. A run of five 1s fills the bottom row; the rest is dropped, not
  // wrapped. The top row gets a 2, then a literal of three 3s of which one
  // fits; a delta far above the picture and a run after it change nothing.
  const Bytes data = {5, 1, 0, 0, 1, 2, 0, 3, 3, 3, 3, 0, 0, 2, 0, 200, 3, 2, 0, 1};
  EXPECT_EQ(Decode(Rle8(2, 2, data).Build()), (std::vector<uint32_t>{kGreen, kBlue, kRed, kRed}));
  // Also a delta far to the right.
  EXPECT_EQ(Decode(Rle8(2, 1, {0, 2, 250, 0, 9, 1, 0, 1}).Build()),
            (std::vector<uint32_t>{kGrey, kGrey}));
}

TEST(BmpReading, Rle8MustEndWithTheEndOfPictureCode) {
  EXPECT_EQ(Decode(Rle8(2, 1, {2, 1}).Build()), std::vector<uint32_t>{});
  EXPECT_EQ(Decode(Rle8(2, 1, {2, 1, 0, 0}).Build()), std::vector<uint32_t>{});
  // Nothing but the end code: every pixel keeps index 0.
  EXPECT_EQ(Decode(Rle8(2, 1, {0, 1}).Build()), (std::vector<uint32_t>{kGrey, kGrey}));
}

TEST(BmpReading, RefusesOtherCodingsAndHeadersThatDoNotHold) {
  for (auto [bits, compression] :
       {std::pair<uint16_t, uint32_t>{4, 2}, {32, 3}, {24, 1}, {4, 1}, {1, 0}, {16, 0}, {24, 4}}) {
    BmpFile f;
    f.width = f.height = 2;
    f.bitCount = bits;
    f.compression = compression;
    f.colorsUsed = bits <= 8 ? 2 : 0;
    f.palette.resize(f.colorsUsed, kRed);
    f.pixels.assign(64, 0);
    f.pixels.insert(f.pixels.end(), {0, 1});
    EXPECT_EQ(Decode(f.Build()), std::vector<uint32_t>{}) << bits << " bits, " << compression;
  }
  auto refused = [](auto change) {
    BmpFile f = EightBit();
    change(f);
    return Decode(f.Build()).empty();
  };
  EXPECT_TRUE(refused([](BmpFile& f) { f.infoSize = 12; }));  // OS/2 info header
  EXPECT_TRUE(refused([](BmpFile& f) { f.infoSize = 0xFFFFFFF0; }));
  EXPECT_TRUE(refused([](BmpFile& f) { f.width = -3; }));
  EXPECT_TRUE(refused([](BmpFile& f) { f.height = 0; }));
  EXPECT_TRUE(refused([](BmpFile& f) { f.height = -2; }));  // top-down
  EXPECT_TRUE(refused([](BmpFile& f) { f.colorsUsed = 0xFFFFFFFF; }));
  EXPECT_TRUE(refused([](BmpFile& f) { f.height = 3; }));  // rows past the end
  EXPECT_TRUE(refused([](BmpFile& f) { f.width = f.height = 0x7FFFFFFF; }));
  Bytes notBmp = EightBit().Build();
  notBmp[1] = 'A';
  EXPECT_EQ(Decode(notBmp), std::vector<uint32_t>{});
}

TEST(BmpReading, RefusesMorePixelsThanTheLimitBeforeAllocating) {
  // Four bytes of run-length data may claim any size.
  const Bytes huge = Rle8(60000, 60000, {0, 1}).Build();
  BmpImage bmp;
  EXPECT_EQ(bmp.ReadMemory(huge.data(), huge.size()), nullptr);

  const Bytes small = Rle8(2, 2, {0, 1}).Build();
  bmp.SetMaxPixels(3);
  EXPECT_EQ(bmp.ReadMemory(small.data(), small.size()), nullptr);
  bmp.SetMaxPixels(4);
  EXPECT_NE(bmp.ReadMemory(small.data(), small.size()), nullptr);
}

TEST(BmpReading, EveryTruncationIsRefusedAndDamageIsSurvived) {
  BmpFile swapped = EightBit();
  swapped.bigEndian = true;
  const Bytes rle = Rle8(5, 3, {2, 1, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 1, 1, 4, 4, 0, 1}).Build();
  int decoded = 0;
  for (const Bytes& whole :
       {EightBit().Build(), FourBit().Build(), TwentyFourBit().Build(), swapped.Build(), rle,
        test::ReadBytes(TestImage("vgl_6434_0018a.bmp"))}) {
    ASSERT_FALSE(Decode(whole).empty());
    test::ForEachCut(
        whole,
        [](const Bytes& cut, size_t) {
          BmpImage bmp;
          EXPECT_EQ(bmp.ReadMemory(cut.data(), cut.size()), nullptr);
          EXPECT_EQ(bmp.Width(), 0);
        },
        2048, 500);
    test::ForEachDamage(whole, 500, [&](const Bytes& bad) {
      BmpImage bmp;
      bmp.SetMaxPixels(1 << 16);
      if (bmp.ReadMemory(bad.data(), bad.size())) {
        ++decoded;
        EXPECT_GT(bmp.Width(), 0);
        EXPECT_GT(bmp.Height(), 0);
        EXPECT_LE(int64_t{bmp.Width()} * bmp.Height(), 1 << 16);
      }
    });
  }
  EXPECT_GT(decoded, 0);  // corrupting pixel bytes only still decodes
}

TEST(BmpReading, RealTwentyFourBitFilesWithOddWidths) {
  struct Case {
    const char* name;
    int width, height;
  };
  for (Case c : {Case{"vgl_6434_0018a.bmp", 119, 96}, Case{"shira_bird8.bmp", 192, 144}}) {
    const Bytes file = test::ReadBytes(TestImage(c.name));
    ASSERT_FALSE(file.empty()) << c.name;
    BmpImage bmp;
    const uint8_t* rgb = bmp.Read(TestImage(c.name));
    ASSERT_NE(rgb, nullptr) << c.name;
    ASSERT_EQ(bmp.Width(), c.width);
    ASSERT_EQ(bmp.Height(), c.height);
    // Compare the corners with the stored blue-green-red bytes; the file
    // keeps the bottom row first and pads each row to 4 bytes.
    const size_t rowBytes = (3 * c.width + 3) / 4 * 4;
    for (int y : {0, c.height - 1}) {
      for (int x : {0, c.width - 1}) {
        const uint8_t* stored = file.data() + 54 + (c.height - 1 - y) * rowBytes + 3 * x;
        EXPECT_EQ(PixelAt(rgb, c.width, x, y), (Bytes{stored[2], stored[1], stored[0]}))
            << c.name << " at " << x << "," << y;
      }
    }
  }
}

TEST(BmpWriting, RoundTripsEveryPadding) {
  test::TempDir dir;
  for (int width = 1; width <= 4; ++width) {
    const int height = 3;
    const Bytes rgb = imagetest::Pattern(size_t(width) * height * 3, width);
    const std::string path = dir / ("w" + std::to_string(width) + ".bmp");
    ASSERT_EQ(WriteBmp(path, rgb.data(), width, height), 0);
    EXPECT_EQ(std::filesystem::file_size(path), 54 + (3u * width + 3) / 4 * 4 * height);
    BmpImage bmp;
    const uint8_t* back = bmp.Read(path);
    ASSERT_NE(back, nullptr) << width;
    ASSERT_EQ(bmp.Width(), width);
    ASSERT_EQ(bmp.Height(), height);
    EXPECT_EQ(Bytes(back, back + rgb.size()), rgb) << width;
  }
}

// With the real files read correctly above, the writer's row order and
// padding show here.
TEST(BmpWriting, ReproducesARealFileByteForByte) {
  // The test picture was written with the same header choices as ours.
  const std::string original = TestImage("vgl_6434_0018a.bmp");
  BmpImage bmp;
  const uint8_t* rgb = bmp.Read(original);
  ASSERT_NE(rgb, nullptr);
  test::TempDir dir;
  ASSERT_EQ(WriteBmp(dir / "copy.bmp", rgb, bmp.Width(), bmp.Height()), 0);
  EXPECT_EQ(test::ReadBytes(dir / "copy.bmp"), test::ReadBytes(original));
}

TEST(BmpWriting, FailuresLeaveNoFileAndKeepTheOldOne) {
  test::TempDir dir;
  const Bytes rgb(3 * 4, 200);
  EXPECT_EQ(WriteBmp(dir / "missing/a.bmp", rgb.data(), 2, 2), -1);
  BmpImage bmp;  // nor can a missing file or a folder be read
  EXPECT_EQ(bmp.Read(dir / "missing.bmp"), nullptr);
  EXPECT_EQ(bmp.Read(dir.path), nullptr);
  EXPECT_EQ(WriteBmp(dir / "zero.bmp", rgb.data(), 0, 2), -1);
  EXPECT_EQ(WriteBmp(dir / "zero.bmp", rgb.data(), 2, -1), -1);
  EXPECT_EQ(WriteBmp(dir / "zero.bmp", nullptr, 2, 2), -1);
  EXPECT_FALSE(std::filesystem::exists(dir / "zero.bmp"));

  ASSERT_EQ(WriteBmp(dir / "keep.bmp", rgb.data(), 2, 2), 0);
  const Bytes before = test::ReadBytes(dir / "keep.bmp");
  EXPECT_EQ(WriteBmp(dir / "keep.bmp", rgb.data(), 0, 0), -1);
  EXPECT_EQ(test::ReadBytes(dir / "keep.bmp"), before);
  // Nothing but the picture is left in the folder.
  EXPECT_EQ(dir.Entries(), 1);
}

}  // namespace
}  // namespace modra
