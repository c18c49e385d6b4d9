#include "render/render_image.h"

#include <gtest/gtest.h>

#include <vector>

namespace modra {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(RenderImage, AverageTruncatesOverEverySample) {
  std::vector<Bytes> samples = {{0, 255, 10}, {1, 255, 11}, {1, 254, 13}};
  Bytes out(3);
  AverageSamples(samples, 3, 3, out.data());
  EXPECT_EQ(out, (Bytes{0, 254, 11}));
  // Longer than one block of sums.
  std::vector<Bytes> big = {Bytes(10000, 200), Bytes(10000, 101)};
  Bytes bigOut(10000);
  AverageSamples(big, 2, 10000, bigOut.data());
  EXPECT_EQ(bigOut, Bytes(10000, 150));
}

TEST(RenderImage, ResampleUpIsBilinearAndFlips) {
  // 2 x 1: black, white -> 4 x 2, flipped (rows identical here).
  const Bytes src = {0, 0, 0, 255, 255, 255};
  Bytes dst(4 * 2 * 3);
  ResampleRgb(src.data(), 2, 1, dst.data(), 4, 2, true);
  // Pixel centres 0.5..3.5 map to -0.25, 0.25, 0.75, 1.25 held to 0..1.
  EXPECT_EQ(dst[0], 0);
  EXPECT_EQ(dst[3], 64);
  EXPECT_EQ(dst[6], 191);
  EXPECT_EQ(dst[9], 255);
  EXPECT_EQ(Bytes(dst.begin(), dst.begin() + 12), Bytes(dst.begin() + 12, dst.end()));
}

TEST(RenderImage, ResampleDownPicksNearestAndFlipPutsTheTopLast) {
  // 2 x 2: top row red, bottom row blue; to 1 x 2 unchanged rows, flipped.
  const Bytes src = {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255};
  Bytes dst(1 * 2 * 3);
  ResampleRgb(src.data(), 2, 2, dst.data(), 1, 2, true);
  EXPECT_EQ(dst, (Bytes{0, 0, 255, 255, 0, 0}));
  ResampleRgb(src.data(), 2, 2, dst.data(), 1, 2, false);
  EXPECT_EQ(dst, (Bytes{255, 0, 0, 0, 0, 255}));
  Bytes wide(3 * 3 * 3);  // wider but shorter: point-sampled, not bilinear
  ResampleRgb(src.data(), 2, 2, wide.data(), 3, 1, false);
  EXPECT_EQ(wide[0], 255);
}

}  // namespace
}  // namespace modra
