#include "images/gif_loop.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "image_test_util.h"

namespace modra {
namespace {

using imagetest::Bytes;

int Append(GifFileType* gif, const GifByteType* bytes, int count) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), bytes, bytes + count);
  return count;
}

struct MemoryReader {
  const Bytes* bytes;
  size_t at = 0;
};

int Take(GifFileType* gif, GifByteType* bytes, int count) {
  auto* in = static_cast<MemoryReader*>(gif->UserData);
  const size_t n = std::min(static_cast<size_t>(count), in->bytes->size() - in->at);
  std::memcpy(bytes, in->bytes->data() + in->at, n);
  in->at += n;
  return static_cast<int>(n);
}

// A GIF being written into memory, its screen descriptor already out.
struct GifInMemory {
  Bytes bytes;
  GifFileType* gif = nullptr;
  size_t headerSize = 0;

  GifInMemory() {
    int error = 0;
    gif = EGifOpen(&bytes, Append, &error);
    EXPECT_NE(gif, nullptr) << GifErrorString(error);
    if (!gif) return;
    EGifSetGifVersion(gif, true);
    GifColorType colors[2] = {{0, 0, 0}, {255, 255, 255}};
    ColorMapObject* map = GifMakeMapObject(2, colors);
    EXPECT_EQ(EGifPutScreenDesc(gif, 2, 1, 1, 0, map), GIF_OK);
    GifFreeMapObject(map);
    headerSize = bytes.size();
  }
  // Finishes the file with one 2 x 1 picture.
  void Finish() {
    GifPixelType line[2] = {0, 1};
    EXPECT_EQ(EGifPutImageDesc(gif, 0, 0, 2, 1, false, nullptr), GIF_OK);
    EXPECT_EQ(EGifPutLine(gif, line, 2), GIF_OK);
    Close();
  }
  void Close() {
    if (gif) EGifCloseFile(gif, nullptr);
    gif = nullptr;
  }
  ~GifInMemory() { Close(); }
  Bytes Written() const {
    return Bytes(bytes.begin() + static_cast<long>(headerSize), bytes.end());
  }
};

Bytes Expected(uint8_t lo, uint8_t hi) {
  Bytes out = {0x21, 0xFF, 11};
  for (char c : std::string("NETSCAPE2.0"))
    out.push_back(static_cast<uint8_t>(c));
  out.insert(out.end(), {3, 1, lo, hi, 0});
  return out;
}

TEST(GifLoopExtension, WritesTheNetscapeBlockByteForByte) {
  struct Case {
    int count;
    uint8_t lo, hi;
  };
  for (Case c : {Case{0, 0, 0}, Case{1, 1, 0}, Case{0x1234, 0x34, 0x12}, Case{65535, 0xFF, 0xFF}}) {
    GifInMemory file;
    ASSERT_NE(file.gif, nullptr);
    EXPECT_EQ(WriteGifLoopExtension(file.gif, c.count), 1);
    EXPECT_EQ(file.Written(), Expected(c.lo, c.hi)) << c.count;
  }
}

TEST(GifLoopExtension, RefusesCountsThatDoNotFitSixteenBits) {
  for (int count : {-1, 65536, 1 << 30}) {
    GifInMemory file;
    ASSERT_NE(file.gif, nullptr);
    EXPECT_EQ(WriteGifLoopExtension(file.gif, count), 0) << count;
    EXPECT_EQ(file.Written(), Bytes{}) << count;
  }
  EXPECT_EQ(WriteGifLoopExtension(nullptr, 0), 0);
}

TEST(GifLoopExtension, RefusesAFileOpenForReading) {
  GifInMemory file;
  ASSERT_NE(file.gif, nullptr);
  file.Finish();
  MemoryReader reader{&file.bytes};
  int error = 0;
  GifFileType* in = DGifOpen(&reader, Take, &error);
  ASSERT_NE(in, nullptr);
  const size_t before = reader.at;
  EXPECT_EQ(WriteGifLoopExtension(in, 5), 0);
  EXPECT_EQ(in->Error, E_GIF_ERR_NOT_WRITEABLE);
  EXPECT_EQ(reader.at, before);
  DGifCloseFile(in, nullptr);
}

}  // namespace
}  // namespace modra
