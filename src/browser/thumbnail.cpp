#include "browser/thumbnail.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "browser/cache_location.h"
#include "browser/gif_picture.h"
#include "images/bmp.h"
#include "images/jpeg.h"
#include "images/png_decode.h"
#include "images/ppm.h"
#include "io/file_bytes.h"

namespace modra {
namespace {

enum class Decoder { kNone, kJpeg, kBmp, kPpm, kGif, kPng };

// Chosen by the last four characters, as the browser always has: ".jpeg"
// and ".Jpg" are not taken.
Decoder DecoderFor(std::string_view name) {
  if (name.size() < 4) return Decoder::kNone;
  const std::string_view end = name.substr(name.size() - 4);
  if (end == ".jpg" || end == ".JPG") return Decoder::kJpeg;
  if (end == ".bmp" || end == ".BMP") return Decoder::kBmp;
  if (end == ".ppm" || end == ".PPM") return Decoder::kPpm;
  if (end == ".gif" || end == ".GIF") return Decoder::kGif;
  if (end == ".png" || end == ".PNG") return Decoder::kPng;
  return Decoder::kNone;
}

bool FromPixels(const uint8_t* rgb, int width, int height, Thumbnail& out) {
  if (!rgb || width <= 0 || height <= 0) return false;
  out.width = width;
  out.height = height;
  out.rgb.assign(rgb, rgb + size_t(width) * size_t(height) * 3);
  return true;
}

void Say(ThumbnailCache& cache, Shell& shell) {
  for (const std::string& m : TakeThumbnailCacheMessages(cache))
    shell.Message(m);
}

}  // namespace

ThumbSize ThumbnailSize(int width, int height) {
  // Worked in whole numbers: h / w in floating point may truncate 50 to 49.
  if (width <= 0) width = height = 1;
  height = std::max(height, 0);
  const int64_t tall = int64_t{kThumbnailSide} * height / width;
  if (tall <= kThumbnailSide) return {kThumbnailSide, std::max<int>(1, static_cast<int>(tall))};
  const int64_t wide = int64_t{kThumbnailSide} * width / height;
  return {std::max<int>(1, static_cast<int>(wide)), kThumbnailSide};
}

Thumbnail ScalePicture(const Thumbnail& picture, int width, int height) {
  Thumbnail out;
  if (width <= 0 || height <= 0 || picture.width <= 0 || picture.height <= 0 ||
      picture.rgb.size() < size_t(picture.width) * size_t(picture.height) * 3)
    return out;
  out.width = width;
  out.height = height;
  out.rgb.resize(size_t(width) * size_t(height) * 3);
  // The source columns and rows each thumbnail pixel covers.
  auto spans = [](int from, int to) {
    std::vector<std::pair<int, int>> s(static_cast<size_t>(to));
    for (int i = 0; i < to; ++i) {
      const int first = static_cast<int>(int64_t{i} * from / to);
      const int last = static_cast<int>(int64_t{i + 1} * from / to);
      s[size_t(i)] = {first, std::max(last, first + 1)};
    }
    return s;
  };
  const auto columns = spans(picture.width, width);
  const auto rows = spans(picture.height, height);
  const size_t stride = size_t(picture.width) * 3;
  std::vector<uint64_t> sum(size_t(width) * 3);
  for (int y = 0; y < height; ++y) {
    std::fill(sum.begin(), sum.end(), 0);
    const auto [top, bottom] = rows[size_t(y)];
    for (int sy = top; sy < bottom; ++sy) {
      const uint8_t* line = picture.rgb.data() + size_t(sy) * stride;
      for (int x = 0; x < width; ++x) {
        const auto [left, right] = columns[size_t(x)];
        uint64_t* s = &sum[size_t(x) * 3];
        for (int sx = left; sx < right; ++sx) {
          s[0] += line[size_t(sx) * 3];
          s[1] += line[size_t(sx) * 3 + 1];
          s[2] += line[size_t(sx) * 3 + 2];
        }
      }
    }
    uint8_t* o = out.rgb.data() + size_t(y) * size_t(width) * 3;
    for (int x = 0; x < width; ++x) {
      const auto [left, right] = columns[size_t(x)];
      const uint64_t count = uint64_t(right - left) * uint64_t(bottom - top);
      for (int c = 0; c < 3; ++c)
        o[size_t(x) * 3 + size_t(c)] =
            static_cast<uint8_t>((sum[size_t(x) * 3 + size_t(c)] + count / 2) / count);
    }
  }
  return out;
}

bool IsPictureName(const std::string& name) {
  return DecoderFor(name) != Decoder::kNone;
}

namespace {

bool Decode(const std::string& name, Thumbnail& out, int leastJpegSide, ThumbSize* source) {
  const Decoder decoder = DecoderFor(name);
  if (decoder == Decoder::kNone) return false;
  FileBytes file;
  if (ReadWholeFile(name, file) != 0) return false;
  switch (decoder) {
    case Decoder::kJpeg: {
      JpegImage jpeg;
      jpeg.printMessages = false;
      jpeg.SetLeastLongerSide(leastJpegSide);
      const uint8_t* rgb = jpeg.DecodeMemory(file.data.get(), file.size);
      if (source) *source = {jpeg.SourceWidth(), jpeg.SourceHeight()};
      return FromPixels(rgb, jpeg.Width(), jpeg.Height(), out);
    }
    case Decoder::kBmp: {
      BmpImage bmp;
      const uint8_t* rgb = bmp.ReadMemory(file.data.get(), file.size);
      return FromPixels(rgb, bmp.Width(), bmp.Height(), out);
    }
    case Decoder::kPpm: {
      int width = 0, height = 0;
      const auto rgb = ReadPpmMemory(file.data.get(), file.size, &width, &height);
      return FromPixels(rgb.get(), width, height, out);
    }
    case Decoder::kGif:
      return DecodeGifFirstPicture(file.data.get(), file.size, out);
    case Decoder::kPng: {
      std::vector<uint8_t> rgb;
      int width = 0, height = 0;
      return DecodePngTopDown(file.span(), JpegImage::kDefaultMaxPixels, rgb, width, height) &&
             FromPixels(rgb.data(), width, height, out);
    }
    case Decoder::kNone:
      break;
  }
  return false;
}

}  // namespace

bool DecodePicture(const std::string& name, Thumbnail& out) {
  return Decode(name, out, 0, nullptr);
}

bool DecodeForThumbnail(const std::string& name, Thumbnail& out, ThumbSize& size) {
  ThumbSize source{0, 0};
  if (!Decode(name, out, kThumbnailSide, &source)) return false;
  if (source.width <= 0 || source.height <= 0) source = {out.width, out.height};
  size = ThumbnailSize(source.width, source.height);
  return true;
}

ThumbnailSource FetchThumbnail(ThumbnailCache& cache, const std::string& name, Thumbnail& out,
                               Shell& shell) {
  const bool open = EnsureThumbnailCacheOpen(cache, DefaultThumbnailCachePath(), shell) == 0;
  if (open && LookupThumbnail(cache, name, out)) {
    Say(cache, shell);
    return ThumbnailSource::kCached;
  }
  Thumbnail picture;
  ThumbSize size{0, 0};
  if (!DecodeForThumbnail(name, picture, size)) {
    Say(cache, shell);
    return ThumbnailSource::kNotDecoded;
  }
  out = ScalePicture(picture, size.width, size.height);
  if (open) StoreThumbnail(cache, name, out);
  Say(cache, shell);
  return ThumbnailSource::kMade;
}

bool GetThumbnail(ThumbnailCache& cache, const std::string& name, Thumbnail& out, Shell& shell) {
  return FetchThumbnail(cache, name, out, shell) != ThumbnailSource::kNotDecoded;
}

}  // namespace modra
