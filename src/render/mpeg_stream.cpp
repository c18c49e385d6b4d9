#include "render/mpeg_stream.h"

namespace modra {
namespace {

constexpr uint8_t kPictureCode = 0x00;
constexpr uint8_t kSequenceHeaderCode = 0xB3;
constexpr uint8_t kSequenceEndCode = 0xB7;
constexpr uint8_t kGroupCode = 0xB8;
constexpr int kIntraPicture = 1;

// Time codes count whole frames a second: the nominal rate of each code.
constexpr int kTimeCodeRates[9] = {0, 24, 24, 25, 30, 30, 50, 60, 60};

// Position of the next start code prefix (00 00 01) at or after `from`
// with at least one byte after it, or bytes.size().
size_t NextStartCode(std::span<const uint8_t> bytes, size_t from) {
  for (size_t i = from; i + 3 < bytes.size(); ++i) {
    if (bytes[i + 2] > 1) {
      i += 2;  // no prefix can end before i + 3
      continue;
    }
    if (bytes[i] == 0 && bytes[i + 1] == 0 && bytes[i + 2] == 1) return i;
  }
  return bytes.size();
}

// The bits of `bytes` from bit `first` on (bit 0 is the top bit of byte 0).
uint32_t Bits(const uint8_t* bytes, int first, int count) {
  uint32_t value = 0;
  for (int i = first; i < first + count; ++i)
    value = (value << 1) | ((bytes[i / 8] >> (7 - i % 8)) & 1u);
  return value;
}

}  // namespace

std::string ScanMpegStream(std::span<const uint8_t> bytes, MpegStreamInfo* info) {
  *info = MpegStreamInfo{};
  info->end = bytes.size();
  if (bytes.size() < 12 || NextStartCode(bytes, 0) != 0 || bytes[3] != kSequenceHeaderCode)
    return "is not an MPEG-1 video stream";
  info->width = static_cast<int>(Bits(&bytes[4], 0, 12));
  info->height = static_cast<int>(Bits(&bytes[4], 12, 12));
  info->rateCode = static_cast<int>(Bits(&bytes[4], 28, 4));
  if (info->width < 1 || info->height < 1 || info->rateCode < 1 || info->rateCode > 8)
    return "is not an MPEG-1 video stream";

  bool numbered = true;
  int group = -1;  // frame number of the current group's time code
  int expected = 0;
  for (size_t at = NextStartCode(bytes, 4); at < bytes.size(); at = NextStartCode(bytes, at + 3)) {
    const uint8_t code = bytes[at + 3];
    const size_t left = bytes.size() - at - 4;
    const uint8_t* body = bytes.data() + at + 4;
    if (code == kSequenceHeaderCode) {
      if (left < 4 || static_cast<int>(Bits(body, 0, 12)) != info->width ||
          static_cast<int>(Bits(body, 12, 12)) != info->height ||
          static_cast<int>(Bits(body, 28, 4)) != info->rateCode)
        return "changes its picture size or rate";
    } else if (code == kGroupCode) {
      if (left < 4) {
        group = -1;
        continue;
      }
      const int rate = kTimeCodeRates[info->rateCode];
      group = ((static_cast<int>(Bits(body, 1, 5)) * 60 + static_cast<int>(Bits(body, 6, 6))) * 60 +
               static_cast<int>(Bits(body, 13, 6))) *
                  rate +
              static_cast<int>(Bits(body, 19, 6));
    } else if (code == kPictureCode) {
      if (left < 2) return "ends inside a picture header";
      if (static_cast<int>(Bits(body, 10, 3)) != kIntraPicture)
        return "has pictures that are not intra-coded";
      const int frame = group < 0 ? -1 : group + static_cast<int>(Bits(body, 0, 10));
      if (info->pictures == 0) info->firstFrame = frame;
      if (frame < 0 || (info->pictures > 0 && frame != expected)) numbered = false;
      expected = frame + 1;
      ++info->pictures;
    } else if (code == kSequenceEndCode && left == 0) {
      info->end = at;
    }
  }
  if (info->pictures == 0) return "holds no picture";
  info->numbered = numbered;
  info->lastFrame = numbered ? info->firstFrame + info->pictures - 1 : -1;
  if (!numbered) info->firstFrame = 0;
  return {};
}

}  // namespace modra
