// Scratch folders and pictures shared by the movie writer and reader tests.
#pragma once

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "images/image_test_util.h"

namespace modra::movietest {

using imagetest::Bytes;
using Rgb = std::array<int, 3>;

inline Bytes Solid(int width, int height, Rgb color) {
  Bytes out(static_cast<size_t>(width) * height * 3);
  for (size_t i = 0; i < out.size(); i += 3)
    for (int c = 0; c < 3; ++c)
      out[i + c] = static_cast<uint8_t>(color[c]);
  return out;
}

// Left half one colour, right half another.
inline Bytes Halves(int width, int height, Rgb left, Rgb right) {
  Bytes out = Solid(width, height, left);
  for (int y = 0; y < height; ++y)
    for (int x = width / 2; x < width; ++x)
      for (int c = 0; c < 3; ++c)
        out[(static_cast<size_t>(y) * width + x) * 3 + c] = static_cast<uint8_t>(right[c]);
  return out;
}

// Mean colour of a width x height RGB region starting at (x0, y0).
inline std::array<double, 3> MeanColor(const uint8_t* rgb, int width, int x0, int y0, int w,
                                       int h) {
  std::array<double, 3> sum{};
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x)
      for (int c = 0; c < 3; ++c)
        sum[c] += rgb[(static_cast<size_t>(y) * width + x) * 3 + c];
  for (double& s : sum)
    s /= static_cast<double>(w) * h;
  return sum;
}

// A GIF read back whole by giflib.
struct DecodedGif {
  GifFileType* gif = nullptr;
  explicit DecodedGif(const std::string& path) {
    int error = 0;
    gif = DGifOpenFileName(path.c_str(), &error);
    EXPECT_NE(gif, nullptr) << GifErrorString(error);
    if (gif) {
      EXPECT_EQ(DGifSlurp(gif), GIF_OK) << GifErrorString(gif->Error);
    }
  }
  ~DecodedGif() {
    if (gif) DGifCloseFile(gif, nullptr);
  }
  Rgb Pixel(int image, int x, int y) const {
    const SavedImage& saved = gif->SavedImages[image];
    const int index = saved.RasterBits[y * saved.ImageDesc.Width + x];
    const GifColorType c = saved.ImageDesc.ColorMap->Colors[index];
    return {c.Red, c.Green, c.Blue};
  }
};

}  // namespace modra::movietest
