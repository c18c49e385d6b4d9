// Windows BMP pictures: a reader for the kinds that paint programs write
// for textures (4- and 8-bit palettes, 24-bit, 8-bit run-length coding;
// headers little-endian or byte-swapped) and a 24-bit writer.
// Pixels are 8-bit RGB, three bytes a pixel, rows packed without padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "io/output_file.h"

namespace modra {

class BmpImage {
 public:
  // Decodes the file at `path`. Returns width x height RGB pixels owned by
  // this object (valid until the next read or its end), top row first
  // unless SetBottomUp was called, or nullptr when the file cannot be read
  // or is not a BMP this reader understands (RLE4, bit fields and bit
  // counts other than 4, 8 and 24 are refused, as is anything malformed or
  // larger than MaxPixels()).
  const uint8_t* Read(const std::string& path);
  // The same, from a whole file's bytes in memory.
  const uint8_t* ReadMemory(const uint8_t* data, size_t size);

  // Width and height of the last successful read (0 after a failure).
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Keeps the file's own row order, bottom row first, as OpenGL textures
  // want it.
  void SetBottomUp(bool bottomUp = true) { bottomUp_ = bottomUp; }

  // Pictures with more pixels are refused before any pixel memory is
  // taken: run-length data lets a file of a few bytes claim any size.
  static constexpr int64_t kDefaultMaxPixels = int64_t{1} << 26;
  int64_t MaxPixels() const { return maxPixels_; }
  void SetMaxPixels(int64_t maxPixels) { maxPixels_ = maxPixels; }

 private:
  std::unique_ptr<uint8_t[]> rgb_;
  int width_ = 0, height_ = 0;
  bool bottomUp_ = false;
  int64_t maxPixels_ = kDefaultMaxPixels;
};

// Writes width x height RGB pixels (top row first) as an uncompressed
// 24-bit BMP, each row padded with zeros to a multiple of 4 bytes. The file
// is replaced only when all of it was written. 0, or -1 when the file
// cannot be made or written or the size is not positive.
int WriteBmp(const std::string& path, const uint8_t* rgb, int width, int height);
// The same into a file opened by the caller, who commits it.
int WriteBmp(OutputFile& out, const uint8_t* rgb, int width, int height);

}  // namespace modra
