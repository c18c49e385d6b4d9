// Check values that a render's movies carry with every picture, so that a
// join refuses a damaged part instead of copying the damage into the
// movie: a CRC-32 of everything the picture shows, kept where players pass
// over it. Movies made before carry none and are joined unchecked.
#pragma once

#include <gif_lib.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace modra {

// A CRC-32 (as zlib's) gathered piece by piece.
class PictureCheck {
 public:
  void Add(std::span<const uint8_t> bytes);
  // A 16-bit value, low byte first.
  void Add16(int value);
  uint32_t Value() const { return ~crc_; }

 private:
  uint32_t crc_ = ~0u;
};

// MPEG-1: a user data block (start code 00 00 01 B2, "MODRACRC", then the
// CRC-32 of the picture's other bytes as 8 hex digits, so no zero byte can
// make a start code) right before the picture header, after the sequence
// and group headers.
inline constexpr size_t kMpegPictureCheckSize = 4 + 8 + 8;

// `picture` is one coded picture with the headers before it; the block
// goes in before its picture start code, unless one is there already.
// false (nothing changed) when it has no picture start code.
bool AddMpegPictureCheck(std::vector<uint8_t>* picture);
// Whether `block` (from its start code to the next start code) is such a
// block.
bool IsMpegPictureCheck(std::span<const uint8_t> block);
// Whether the block at picture[at, at + size) holds the CRC of the rest.
bool MpegPictureCheckHolds(std::span<const uint8_t> picture, size_t at, size_t size);

// GIF: the check goes beside the frame number in the picture's
// application extension. It covers what the picture shows and where it
// belongs: its frame number, the screen's size and loop count, the
// graphics control (delay), the image descriptor, the colour map and then,
// as PictureCheck::Add, every row of indices in the order the file stores
// them. (The screen's background and
// colour resolution show nowhere: a render's pictures cover the screen.)
struct GifPictureHead {
  int number = 0;
  int screenWidth = 0, screenHeight = 0;
  std::optional<int> loop;
  std::optional<std::array<uint8_t, 4>> control;
  int left = 0, top = 0, width = 0, height = 0;
  bool interlace = false;
  const ColorMapObject* map = nullptr;
};
PictureCheck StartGifPictureCheck(const GifPictureHead& head);

// The application extension before each picture of a render's GIF:
// "MODRAFRM" "NUM", then one block of the picture's frame number (4 bytes,
// low byte first) and its check value (4 more; older files stop at the
// number). false when giflib fails to write it.
inline constexpr char kGifNumberApplication[] = "MODRAFRMNUM";
bool WriteGifFrameNumber(GifFileType* gif, int number, std::optional<uint32_t> check);

}  // namespace modra
