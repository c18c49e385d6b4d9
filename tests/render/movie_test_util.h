// Scratch folders and pictures shared by the movie writer and reader tests.
#pragma once

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "images/image_test_util.h"
#include "render/mpeg_stream.h"
#include "render/picture_check.h"

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

// The movie at `movie` as renders wrote movies before: the bare MPEG-1
// video stream, its pictures without check values, closed by the
// sequence end code.
inline void WriteBareVideo(const std::string& movie, const std::string& path) {
  Bytes video;
  MpegStreamInfo info;
  ASSERT_EQ(ScanMpegMovie(test::ReadBytes(movie), &info,
                          [&](std::span<const uint8_t> picture) {
                            Bytes p(picture.begin(), picture.end());
                            for (size_t at = 0; at + kMpegPictureCheckSize <= p.size(); ++at)
                              if (IsMpegPictureCheck({p.data() + at, kMpegPictureCheckSize})) {
                                p.erase(p.begin() + static_cast<long>(at),
                                        p.begin() + static_cast<long>(at + kMpegPictureCheckSize));
                                break;
                              }
                            video.insert(video.end(), p.begin(), p.end());
                            return std::string();
                          }),
            "");
  video.insert(video.end(), {0x00, 0x00, 0x01, 0xB7});
  test::WriteBytes(path, video);
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
