// JPEG pictures through libjpeg: decoding from a file or from memory into
// 8-bit RGB (greyscale widened to RGB), and encoding RGB into a file or
// into memory. Pixels are three bytes a pixel, rows packed, top row first.
// A corrupt or truncated file is refused; libjpeg never gets to end the
// process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace modra {

class JpegImage {
 public:
  // Encoding quality, 0..100 (libjpeg treats 0 as 1).
  int quality = 75;
  // libjpeg's warnings and errors go to the error stream, marked
  // "convert_jpeg:"; false keeps them back.
  bool printMessages = true;

  // Decodes a whole JPEG file. Returns Width() x Height() RGB pixels owned
  // by this object (valid until the next decode or its end), top row first
  // unless SetBottomUp was called, or nullptr
  // when the file cannot be read, is not a JPEG libjpeg can turn into RGB
  // (CMYK is not), is corrupt or cut short, or has more than MaxPixels().
  const uint8_t* DecodeFile(const std::string& path);
  const uint8_t* DecodeMemory(const uint8_t* bytes, size_t size);
  // Size of the last successful decode (0 after a failure).
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Decodes the bottom row first, as OpenGL textures want it.
  void SetBottomUp(bool bottomUp = true) { bottomUp_ = bottomUp; }
  // Lets libjpeg decode at 1/2, 1/4 or 1/8 of the size (far faster) when
  // the longer side still has at least `side` pixels; 0 decodes whole.
  void SetLeastLongerSide(int side) { leastLongerSide_ = side; }
  // The size the file holds, whatever size it was decoded at.
  int SourceWidth() const { return sourceWidth_; }
  int SourceHeight() const { return sourceHeight_; }

  // Encodes width x height RGB pixels with `quality`. EncodeMemory returns
  // the compressed bytes, owned by this object (valid until the next
  // encode or its end), or nullptr on failure. EncodeFile returns 0, or -1
  // when encoding fails or the file cannot be written; the file is
  // replaced only when all of it was written. Both leave the compressed
  // size in CompressedSize() (0 after a failure).
  const uint8_t* EncodeMemory(const uint8_t* rgb, int width, int height);
  int EncodeFile(const std::string& path, const uint8_t* rgb, int width, int height);
  size_t CompressedSize() const { return compressedSize_; }

  // Pictures with more pixels are refused before decoding starts: a header
  // of a few bytes can claim any size up to 65500 x 65500.
  static constexpr int64_t kDefaultMaxPixels = int64_t{1} << 26;
  int64_t MaxPixels() const { return maxPixels_; }
  void SetMaxPixels(int64_t maxPixels) { maxPixels_ = maxPixels; }

 private:
  struct FreeBytes {
    void operator()(uint8_t* p) const { std::free(p); }
  };

  std::unique_ptr<uint8_t[]> rgb_;
  int width_ = 0, height_ = 0;
  int sourceWidth_ = 0, sourceHeight_ = 0;
  int leastLongerSide_ = 0;
  bool bottomUp_ = false;
  std::unique_ptr<uint8_t, FreeBytes> compressed_;  // libjpeg allocates it with malloc
  size_t compressedSize_ = 0;
  int64_t maxPixels_ = kDefaultMaxPixels;
};

}  // namespace modra
