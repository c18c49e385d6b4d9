#include "images/bmp.h"

#include <cstring>
#include <new>

#include "io/byte_reader.h"
#include "io/file_bytes.h"
#include "io/output_file.h"

namespace modra {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kUncompressed = 0, kRle8 = 1;

struct BmpHeader {
  int width = 0, height = 0;
  int bitCount = 0;
  uint32_t compression = 0;
  size_t pixelStart = 0;
  uint8_t palette[256][3] = {};  // RGB; indices the file never defined stay black
};

// Reads and checks both headers and the palette. Every size that later
// code indexes with has been checked against the file here.
bool ReadHeader(ByteReader& r, int64_t maxPixels, BmpHeader* h) {
  const uint16_t magic = r.U16();
  if (magic == 0x4D42) {
    r.swap = false;
  } else if (magic == 0x424D) {
    r.swap = true;  // every header field is big-endian
  } else {
    return false;
  }
  r.U32();  // file size: writers get it wrong too often to rely on
  r.U32();  // two reserved words
  const uint32_t dataOffset = r.U32();

  const uint32_t infoSize = r.U32();
  const int32_t width = r.I32(), height = r.I32();
  r.U16();  // planes
  const uint16_t bitCount = r.U16();
  const uint32_t compression = r.U32();
  r.U32();  // image size: not needed, the rows give it
  r.U32();  // resolution
  r.U32();
  const uint32_t colorsUsed = r.U32();
  r.U32();  // colours important
  if (!r.ok()) return false;

  // note: smaller (OS/2) info headers lay their fields out differently.
  if (infoSize < kInfoHeaderSize || infoSize > r.size() - kFileHeaderSize) return false;
  // A negative height marks a top-down file, which the rest of this reader
  // does not expect; refusing beats showing it upside down.
  if (width <= 0 || height <= 0) return false;
  if (int64_t{width} * height > maxPixels) return false;
  if (bitCount != 4 && bitCount != 8 && bitCount != 24) return false;
  if (compression != kUncompressed && !(compression == kRle8 && bitCount == 8)) return false;

  const size_t paletteStart = kFileHeaderSize + infoSize;
  const size_t paletteCount = colorsUsed ? colorsUsed : (bitCount <= 8 ? size_t{1} << bitCount : 0);
  if (!r.Seek(paletteStart) || paletteCount > r.remaining() / 4) return false;
  for (size_t i = 0; i < paletteCount; ++i) {
    const uint8_t* bgrx = r.Take(4);
    if (i < 256) {
      h->palette[i][0] = bgrx[2];
      h->palette[i][1] = bgrx[1];
      h->palette[i][2] = bgrx[0];
    }
  }
  // The pixels normally follow the palette at once. A writer that leaves a
  // gap says so in the data offset; one pointing inside the headers or the
  // palette (often just 0) is ignored.
  h->pixelStart = r.pos();
  if (dataOffset > h->pixelStart && dataOffset <= r.size()) h->pixelStart = dataOffset;

  h->width = width;
  h->height = height;
  h->bitCount = bitCount;
  h->compression = compression;
  return true;
}

// Expands 8-bit run-length data into one palette index per pixel, rows in
// file order (bottom row first). `indices` is zeroed: pixels that a delta
// skips or that the data never reaches keep palette index 0.
//
// note: runs, literal strings and deltas that go past the end of a row or
// above the top row are clipped: those pixels are dropped, never wrapped
// onto the next row and never written outside the picture. The data must
// end with the end-of-picture code; data that stops short of it is taken
// as a truncated file.
bool ExpandRle8(ByteReader& r, const BmpHeader& h, uint8_t* indices) {
  const int64_t width = h.width, height = h.height;
  int64_t x = 0, y = 0;
  auto put = [&](uint8_t index) {
    if (x < width && y < height) indices[y * width + x] = index;
    ++x;
  };
  for (;;) {
    const uint8_t* pair = r.Take(2);
    if (!pair) return false;
    if (pair[0] > 0) {
      for (int i = 0; i < pair[0]; ++i)
        put(pair[1]);
      continue;
    }
    switch (pair[1]) {
      case 0:  // end of row
        x = 0;
        ++y;
        break;
      case 1:  // end of picture
        return true;
      case 2: {  // delta: right and up
        const uint8_t* delta = r.Take(2);
        if (!delta) return false;
        x += delta[0];
        y += delta[1];
        break;
      }
      default: {  // a literal string, padded to a whole 16-bit word
        const int count = pair[1];
        const uint8_t* literal = r.Take(count + (count & 1));
        if (!literal) return false;
        for (int i = 0; i < count; ++i)
          put(literal[i]);
        break;
      }
    }
  }
}

}  // namespace

const uint8_t* BmpImage::ReadMemory(const uint8_t* data, size_t size) {
  rgb_.reset();
  width_ = height_ = 0;
  if (!data) return nullptr;

  ByteReader r(data, size);
  BmpHeader h;
  if (!ReadHeader(r, maxPixels_, &h)) return nullptr;
  const size_t width = static_cast<size_t>(h.width), height = static_cast<size_t>(h.height);
  const size_t pixelCount = width * height;

  std::unique_ptr<uint8_t[]> rgb(new (std::nothrow) uint8_t[pixelCount * 3]);
  if (!rgb) return nullptr;
  auto outRow = [&](size_t fileRow) {
    return rgb.get() + (bottomUp_ ? fileRow : height - 1 - fileRow) * width * 3;
  };
  auto putIndex = [&](uint8_t* out, uint8_t index) { std::memcpy(out, h.palette[index], 3); };

  r.Seek(h.pixelStart);
  if (h.compression == kRle8) {
    std::unique_ptr<uint8_t[]> indices(new (std::nothrow) uint8_t[pixelCount]());
    if (!indices || !ExpandRle8(r, h, indices.get())) return nullptr;
    for (size_t y = 0; y < height; ++y) {
      const uint8_t* in = indices.get() + y * width;
      uint8_t* out = outRow(y);
      for (size_t x = 0; x < width; ++x)
        putIndex(out + 3 * x, in[x]);
    }
  } else {
    // Rows are padded to whole 32-bit words; the last row's padding is
    // required too, so a file cut anywhere inside its pixels is refused.
    const size_t rowBytes = (width * h.bitCount + 31) / 32 * 4;
    if (r.remaining() / rowBytes < height) return nullptr;
    for (size_t y = 0; y < height; ++y) {
      const uint8_t* in = r.Take(rowBytes);
      uint8_t* out = outRow(y);
      for (size_t x = 0; x < width; ++x, out += 3) {
        switch (h.bitCount) {
          case 4:
            putIndex(out, x % 2 ? in[x / 2] & 0x0F : in[x / 2] >> 4);
            break;
          case 8:
            putIndex(out, in[x]);
            break;
          default:  // 24: blue, green, red
            out[0] = in[3 * x + 2];
            out[1] = in[3 * x + 1];
            out[2] = in[3 * x];
            break;
        }
      }
    }
  }

  rgb_ = std::move(rgb);
  width_ = h.width;
  height_ = h.height;
  return rgb_.get();
}

const uint8_t* BmpImage::Read(const std::string& path) {
  rgb_.reset();
  width_ = height_ = 0;
  FileBytes file;
  if (ReadWholeFile(path, file) != 0) return nullptr;
  return ReadMemory(file.data.get(), file.size);
}

namespace {

void PutU16(uint8_t* at, uint32_t v) {
  at[0] = static_cast<uint8_t>(v);
  at[1] = static_cast<uint8_t>(v >> 8);
}

void PutU32(uint8_t* at, uint32_t v) {
  PutU16(at, v);
  PutU16(at + 2, v >> 16);
}

}  // namespace

int WriteBmp(const std::string& path, const uint8_t* rgb, int width, int height) {
  if (!rgb || width <= 0 || height <= 0) return -1;
  OutputFile out;
  if (!out.Open(path) || WriteBmp(out, rgb, width, height) != 0) return -1;
  return out.Commit() ? 0 : -1;
}

int WriteBmp(OutputFile& out, const uint8_t* rgb, int width, int height) {
  if (!rgb || width <= 0 || height <= 0) return -1;
  // note: 3 x width bytes need width mod 4 bytes of padding to reach a
  // multiple of 4 (3w + w = 4w).
  const uint64_t rowBytes = 3 * uint64_t{static_cast<uint32_t>(width)} + width % 4;
  const uint64_t dataSize = rowBytes * static_cast<uint32_t>(height);
  const uint64_t headersSize = kFileHeaderSize + kInfoHeaderSize;
  if (dataSize > UINT32_MAX - headersSize) return -1;  // the header fields cannot hold it

  uint8_t header[kFileHeaderSize + kInfoHeaderSize] = {'B', 'M'};
  PutU32(header + 2, static_cast<uint32_t>(headersSize + dataSize));
  PutU32(header + 10, static_cast<uint32_t>(headersSize));
  PutU32(header + 14, kInfoHeaderSize);
  PutU32(header + 18, static_cast<uint32_t>(width));
  PutU32(header + 22, static_cast<uint32_t>(height));
  PutU16(header + 26, 1);   // planes
  PutU16(header + 28, 24);  // bits per pixel
  PutU32(header + 34, static_cast<uint32_t>(dataSize));

  out.Write(header, sizeof header);
  std::unique_ptr<uint8_t[]> row(new (std::nothrow) uint8_t[rowBytes]());
  if (!row) return -1;
  for (int y = height - 1; y >= 0; --y) {
    const uint8_t* in = rgb + static_cast<size_t>(y) * width * 3;
    for (size_t x = 0; x < static_cast<size_t>(width); ++x) {
      row[3 * x] = in[3 * x + 2];
      row[3 * x + 1] = in[3 * x + 1];
      row[3 * x + 2] = in[3 * x];
    }
    if (!out.Write(row.get(), rowBytes)) return -1;
  }
  return 0;
}

}  // namespace modra
