// BMP files assembled field by field, JPEGs made by libjpeg, a keeping uploader.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "images/texture_table.h"
#include "test_util.h"

namespace modra::imagetest {

using Bytes = test::Bytes;

inline std::string TestImage(const char* name) {
  return std::string(MODRA_TESTDATA_DIR) + "/images/" + name;
}

inline Bytes Concat(const std::string& text, const Bytes& bytes) {
  Bytes out(text.begin(), text.end());
  out.insert(out.end(), bytes.begin(), bytes.end());
  return out;
}

// Pixels a test can tell apart: every byte differs from its neighbours.
inline Bytes Pattern(size_t count, uint32_t seed = 1) {
  std::mt19937 random(seed);
  Bytes out(count);
  for (uint8_t& b : out)
    b = static_cast<uint8_t>(random());
  return out;
}

// One pixel of packed RGB rows.
inline Bytes PixelAt(const uint8_t* rgb, int width, int x, int y) {
  const uint8_t* p = rgb + (static_cast<size_t>(y) * width + x) * 3;
  return {p[0], p[1], p[2]};
}

// A BMP file assembled field by field, so tests can write what our writer
// never would: palettes, run-length data, byte-swapped headers, lies.
struct BmpFile {
  int32_t width = 1, height = 1;
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  uint32_t infoSize = 40;
  uint32_t dataOffset = 0;        // 0: right after the palette
  bool bigEndian = false;         // headers stored byte-swapped ("MB")
  std::vector<uint32_t> palette;  // 0xRRGGBB, stored blue, green, red, 0
  Bytes gap;                      // between the palette and the pixels
  Bytes pixels;                   // exactly as stored

  Bytes Build() const {
    Bytes out;
    auto put = [&](uint64_t v, int size) {
      for (int i = 0; i < size; ++i) {
        const int shift = 8 * (bigEndian ? size - 1 - i : i);
        out.push_back(static_cast<uint8_t>(v >> shift));
      }
    };
    const uint32_t pixelStart =
        14 + (infoSize <= 1024 ? infoSize : 40) + 4 * static_cast<uint32_t>(palette.size());
    if (bigEndian) {
      out.insert(out.end(), {'M', 'B'});
    } else {
      out.insert(out.end(), {'B', 'M'});
    }
    put(pixelStart + gap.size() + pixels.size(), 4);
    put(0, 4);
    put(dataOffset ? dataOffset : pixelStart, 4);
    put(infoSize, 4);
    put(static_cast<uint32_t>(width), 4);
    put(static_cast<uint32_t>(height), 4);
    put(1, 2);
    put(bitCount, 2);
    put(compression, 4);
    put(pixels.size(), 4);
    put(2835, 4);
    put(2835, 4);
    put(colorsUsed, 4);
    put(0, 4);
    // Claimed sizes past any real header are left as a lie.
    out.resize(14 + (infoSize <= 1024 ? infoSize : 40), 0);
    for (uint32_t c : palette)
      out.insert(out.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 0});
    out.insert(out.end(), gap.begin(), gap.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
  }
};

// A one-component JPEG made with libjpeg itself.
inline Bytes EncodeGreyscale(const Bytes& grey, int width, int height) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = 1;
  cinfo.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(grey.data() + cinfo.next_scanline * width);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes jpeg(out, out + size);
  std::free(out);
  return jpeg;
}

// Keeps every upload and release that would have reached OpenGL.
class RecordingUploader : public TextureUploader {
 public:
  struct Uploaded {
    int index;
    int width, height;
    Bytes rgb;
  };
  bool Upload(int index, const uint8_t* rgb, int width, int height) override {
    uploads.push_back({index, width, height, Bytes(rgb, rgb + size_t(width) * height * 3)});
    return true;
  }
  void Release(int index) override { released.push_back(index); }

  std::vector<Uploaded> uploads;
  std::vector<int> released;
};

}  // namespace modra::imagetest
