#include "render/picture_check.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavutil/crc.h>
}

namespace modra {
namespace {

constexpr char kMpegTag[] = "MODRACRC";
constexpr size_t kMpegTagSize = sizeof kMpegTag - 1;
constexpr char kHexDigits[] = "0123456789abcdef";

int HexValue(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Position of the picture start code (00 00 01 00), or size.
size_t PictureStart(std::span<const uint8_t> bytes) {
  for (size_t i = 0; i + 3 < bytes.size(); ++i)
    if (bytes[i] == 0 && bytes[i + 1] == 0 && bytes[i + 2] == 1 && bytes[i + 3] == 0) return i;
  return bytes.size();
}

}  // namespace

void PictureCheck::Add(std::span<const uint8_t> bytes) {
  // av_crc's reflected table works on the inverted value, as zlib does.
  if (!bytes.empty())
    crc_ = av_crc(av_crc_get_table(AV_CRC_32_IEEE_LE), crc_, bytes.data(), bytes.size());
}

void PictureCheck::Add16(int value) {
  const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
  Add(bytes);
}

bool AddMpegPictureCheck(std::vector<uint8_t>* picture) {
  const size_t at = PictureStart(*picture);
  if (at == picture->size()) return false;
  if (at >= kMpegPictureCheckSize &&
      IsMpegPictureCheck({picture->data() + at - kMpegPictureCheckSize, kMpegPictureCheckSize}))
    return true;
  PictureCheck check;
  check.Add(*picture);
  uint8_t block[kMpegPictureCheckSize] = {0, 0, 1, 0xB2};
  std::memcpy(block + 4, kMpegTag, kMpegTagSize);
  const uint32_t value = check.Value();
  for (int i = 0; i < 8; ++i)
    block[4 + kMpegTagSize + i] = static_cast<uint8_t>(kHexDigits[(value >> (28 - 4 * i)) & 15]);
  picture->insert(picture->begin() + static_cast<ptrdiff_t>(at), block, block + sizeof block);
  return true;
}

bool IsMpegPictureCheck(std::span<const uint8_t> block) {
  static constexpr uint8_t kUserDataCode[4] = {0, 0, 1, 0xB2};
  if (block.size() != kMpegPictureCheckSize || std::memcmp(block.data(), kUserDataCode, 4) != 0 ||
      std::memcmp(block.data() + 4, kMpegTag, kMpegTagSize) != 0)
    return false;
  // Hex digits: no start code can hide among them.
  return std::all_of(block.begin() + 4 + kMpegTagSize, block.end(),
                     [](uint8_t c) { return HexValue(c) >= 0; });
}

bool MpegPictureCheckHolds(std::span<const uint8_t> picture, size_t at, size_t size) {
  if (at > picture.size() || picture.size() - at < size ||
      !IsMpegPictureCheck(picture.subspan(at, size)))
    return false;
  uint32_t stored = 0;
  for (size_t i = 0; i < 8; ++i)
    stored = stored << 4 | static_cast<uint32_t>(HexValue(picture[at + 4 + kMpegTagSize + i]));
  PictureCheck check;
  check.Add(picture.first(at));
  check.Add(picture.subspan(at + size));
  return check.Value() == stored;
}

PictureCheck StartGifPictureCheck(const GifPictureHead& head) {
  PictureCheck check;
  check.Add16(head.number & 0xFFFF);
  check.Add16(head.number >> 16 & 0xFFFF);
  for (int value : {head.screenWidth, head.screenHeight, head.loop ? 1 : 0, head.loop.value_or(0),
                    head.control ? 1 : 0})
    check.Add16(value);
  if (head.control) check.Add(*head.control);
  for (int value : {head.left, head.top, head.width, head.height, head.interlace ? 1 : 0})
    check.Add16(value);
  const int colors = head.map ? head.map->ColorCount : 0;
  check.Add16(colors);
  for (int i = 0; i < colors; ++i) {
    const GifColorType& c = head.map->Colors[i];
    const uint8_t rgb[3] = {c.Red, c.Green, c.Blue};
    check.Add(rgb);
  }
  return check;
}

bool WriteGifFrameNumber(GifFileType* gif, int number, std::optional<uint32_t> check) {
  uint8_t bytes[8];
  const uint32_t n = static_cast<uint32_t>(number), c = check.value_or(0);
  for (int i = 0; i < 4; ++i) {
    bytes[i] = static_cast<uint8_t>(n >> (8 * i));
    bytes[4 + i] = static_cast<uint8_t>(c >> (8 * i));
  }
  return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, sizeof kGifNumberApplication - 1, kGifNumberApplication) ==
             GIF_OK &&
         EGifPutExtensionBlock(gif, check ? 8 : 4, bytes) == GIF_OK &&
         EGifPutExtensionTrailer(gif) == GIF_OK;
}

}  // namespace modra
