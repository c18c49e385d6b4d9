#include "render/mpeg_stream.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "render/picture_check.h"

namespace modra {
namespace {

constexpr uint8_t kPictureCode = 0x00;
constexpr uint8_t kUserDataCode = 0xB2;
constexpr uint8_t kSequenceHeaderCode = 0xB3;
constexpr uint8_t kSequenceEndCode = 0xB7;
constexpr uint8_t kGroupCode = 0xB8;
constexpr uint8_t kProgramEndCode = 0xB9;
constexpr uint8_t kPackCode = 0xBA;
constexpr uint8_t kSystemHeaderCode = 0xBB;
constexpr uint8_t kPaddingStream = 0xBE;
constexpr uint8_t kVideoStream = 0xE0;
constexpr int kIntraPicture = 1;

// Time codes count whole frames a second: the nominal rate of each code.
constexpr int kTimeCodeRates[9] = {0, 24, 24, 25, 30, 30, 50, 60, 60};

// A raw video stream is read in pieces of this size, as a program
// stream's packets would hand it over.
constexpr size_t kRawPiece = size_t{64} << 10;

bool StartsWithCode(std::span<const uint8_t> bytes, uint8_t code) {
  return bytes.size() >= 4 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 1 && bytes[3] == code;
}

// Position of the next start code prefix (00 00 01) at or after `from`
// with at least one byte after it, or size.
size_t NextStartCode(const uint8_t* bytes, size_t size, size_t from) {
  for (size_t i = from; i + 3 < size; ++i) {
    if (bytes[i + 2] > 1) {
      i += 2;  // no prefix can end before i + 3
      continue;
    }
    if (bytes[i] == 0 && bytes[i + 1] == 0 && bytes[i + 2] == 1) return i;
  }
  return size;
}

// The bits of `bytes` from bit `first` on (bit 0 is the top bit of byte 0).
uint32_t Bits(const uint8_t* bytes, int first, int count) {
  uint32_t value = 0;
  for (int i = first; i < first + count; ++i)
    value = (value << 1) | ((bytes[i / 8] >> (7 - i % 8)) & 1u);
  return value;
}

// The video stream, fed in pieces of any size: cut into pictures at the
// first header after each picture's slices, each picture checked once it
// is whole and handed on. Only the picture being gathered is kept.
class VideoScanner {
 public:
  // `checked`: every picture must carry a check value, as in the program
  // streams renders write; otherwise every picture or none.
  VideoScanner(MpegStreamInfo* info, const MpegPictureSink& sink, bool checked)
      : info_(info), sink_(sink), mustCheck_(checked) {}

  // false once the stream was found wanting (Problem() says why).
  bool Feed(std::span<const uint8_t> bytes) {
    if (!problem_.empty()) return false;
    // The bytes of pictures handed on go once they are half the buffer.
    if (start_ > 0 && start_ >= buffer_.size() / 2) {
      buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<ptrdiff_t>(start_));
      scanned_ -= start_;
      start_ = 0;
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    const size_t size = buffer_.size();
    // A start code takes four bytes: the next begins after them, here as
    // in Check, so that both see the same codes.
    for (size_t at = NextStartCode(buffer_.data(), size, scanned_); at < size;
         at = NextStartCode(buffer_.data(), size, scanned_)) {
      const uint8_t code = buffer_[at + 3];
      const bool opensPicture =
          code == kSequenceHeaderCode || code == kGroupCode || code == kPictureCode;
      if (opensPicture && sawPicture_ && !Cut(at)) return false;
      if (code == kPictureCode) sawPicture_ = true;
      scanned_ = at + 4;
    }
    // A prefix may still end in the next piece.
    if (size >= 3) scanned_ = std::max(scanned_, size - 3);
    if (size - start_ > kMaxPictureBytes) return Fail("has a picture too large to be one");
    return true;
  }

  // The last picture, which the sequence end code closes; then the checks
  // of the whole stream.
  std::string Finish() {
    if (!problem_.empty()) return problem_;
    // Every movie a render writes ends with it: without it the last
    // picture may have lost its end.
    if (!Closed()) return Truncated();
    const size_t end = buffer_.size() - 4;
    if (sawPicture_) {
      if (!Cut(end)) return problem_;
    } else if (info_->pictures > 0) {
      return "ends with headers but no picture";
    } else if (!started_) {
      Check(start_, end);  // says what is wrong with the start
      if (!problem_.empty()) return problem_;
    }
    if (info_->pictures == 0) return "holds no picture";
    info_->numbered = numbered_;
    info_->lastFrame = numbered_ ? info_->firstFrame + info_->pictures - 1 : -1;
    if (!numbered_) info_->firstFrame = 0;
    return {};
  }

  const std::string& Problem() const { return problem_; }

  // The stream ends before its end: names the last picture that is there
  // whole. The one being gathered counts when its check value proves it
  // whole; without one nothing can.
  std::string Truncated() {
    if (problem_.empty() && sawPicture_) {
      const size_t end = buffer_.size() - (Closed() ? 4 : 0);
      if (Check(start_, end) && checked_) lastWhole_ = Name();
    }
    problem_ = lastWhole_.empty() ? "is truncated before its first whole picture"
                                  : "is truncated after " + lastWhole_;
    return problem_;
  }

 private:
  bool Closed() const {
    const size_t end = buffer_.size();
    return end - start_ >= 4 && buffer_[end - 4] == 0 && buffer_[end - 3] == 0 &&
           buffer_[end - 2] == 1 && buffer_[end - 1] == kSequenceEndCode;
  }

  // The picture Check saw last, as a person would find it: by its frame
  // number while the pictures are numbered, else by its place.
  std::string Name() const {
    if (numbered_ && expected_ > 0) return "frame " + std::to_string(expected_ - 1);
    return "picture " + std::to_string(info_->pictures);
  }

  bool Fail(std::string problem) {
    problem_ = std::move(problem);
    return false;
  }

  // The picture in buffer_[start_, end) is whole.
  bool Cut(size_t end) {
    if (!Check(start_, end)) return false;
    if (!pictureSeen_) return Fail("is damaged: a picture lost its header");
    if (sink_) {
      const std::string refused =
          sink_(std::span<const uint8_t>(buffer_.data() + start_, end - start_));
      if (!refused.empty()) return Fail("is damaged: " + Name() + " " + refused);
    }
    lastWhole_ = Name();
    start_ = end;
    sawPicture_ = false;
    return true;
  }

  bool Check(size_t from, size_t to) {
    const uint8_t* unit = buffer_.data() + from;
    const size_t size = to - from;
    if (!started_) {
      if (size < 12 || !StartsWithCode({unit, size}, kSequenceHeaderCode))
        return Fail("does not start its video with a sequence header");
      info_->width = static_cast<int>(Bits(unit + 4, 0, 12));
      info_->height = static_cast<int>(Bits(unit + 4, 12, 12));
      info_->rateCode = static_cast<int>(Bits(unit + 4, 28, 4));
      if (info_->width < 1 || info_->height < 1 || info_->rateCode < 1 || info_->rateCode > 8)
        return Fail("does not start its video with a sequence header");
      started_ = true;
    }
    size_t checkAt = 0, checkSize = 0;  // the picture's check value block
    bool pictureSeen = false;
    pictureSeen_ = false;
    for (size_t at = NextStartCode(unit, size, 0); at < size;
         at = NextStartCode(unit, size, at + 4)) {
      const uint8_t code = unit[at + 3];
      const size_t left = size - at - 4;
      const uint8_t* body = unit + at + 4;
      if (code == kSequenceHeaderCode) {
        if (left < 4 || static_cast<int>(Bits(body, 0, 12)) != info_->width ||
            static_cast<int>(Bits(body, 12, 12)) != info_->height ||
            static_cast<int>(Bits(body, 28, 4)) != info_->rateCode)
          return Fail("changes its picture size or rate");
      } else if (code == kGroupCode) {
        if (left < 4) {
          group_ = -1;
          continue;
        }
        const int rate = kTimeCodeRates[info_->rateCode];
        group_ =
            ((static_cast<int>(Bits(body, 1, 5)) * 60 + static_cast<int>(Bits(body, 6, 6))) * 60 +
             static_cast<int>(Bits(body, 13, 6))) *
                rate +
            static_cast<int>(Bits(body, 19, 6));
      } else if (code == kUserDataCode && !pictureSeen) {
        const size_t next = NextStartCode(unit, size, at + 4);
        if (IsMpegPictureCheck({unit + at, next - at})) {
          // Where a render puts it, and once.
          if (checkSize || next == size || unit[next + 3] != kPictureCode)
            return Fail("is damaged: a check value is out of place");
          checkAt = at;
          checkSize = next - at;
        }
      } else if (code == kPictureCode) {
        if (left < 2) return Fail("ends inside a picture header");
        if (static_cast<int>(Bits(body, 10, 3)) != kIntraPicture)
          return Fail("has pictures that are not intra-coded");
        pictureSeen = pictureSeen_ = true;
        const int frame = group_ < 0 ? -1 : group_ + static_cast<int>(Bits(body, 0, 10));
        if (info_->pictures == 0) info_->firstFrame = frame;
        if (frame < 0 || (info_->pictures > 0 && frame != expected_)) numbered_ = false;
        expected_ = frame + 1;
        ++info_->pictures;
      }
    }
    // Check values come with every picture, or with none in the bare
    // video streams of older renders: a picture without one is damaged.
    const bool checked = checkSize > 0;
    if ((mustCheck_ || info_->pictures > 1) && checked != (mustCheck_ || checked_))
      return Fail("is damaged: " + Name() + " lost its check value");
    checked_ = checked;
    if (checked && !MpegPictureCheckHolds({unit, size}, checkAt, checkSize))
      return Fail("is damaged: " + Name() + " does not match its check value");
    return true;
  }

  MpegStreamInfo* info_;
  const MpegPictureSink& sink_;
  const bool mustCheck_;
  std::vector<uint8_t> buffer_;
  size_t start_ = 0;          // where the picture being gathered begins
  size_t scanned_ = 0;        // where the search for the next start code goes on
  bool sawPicture_ = false;   // Feed found a picture start code in the gathered bytes
  bool pictureSeen_ = false;  // Check found one in the picture it checked
  bool started_ = false;
  bool checked_ = false;
  bool numbered_ = true;
  int group_ = -1;  // frame number of the current group's time code
  int expected_ = 0;
  std::string lastWhole_;  // the name of the last picture handed on
  std::string problem_;
};

std::string DamagedAt(size_t at) {
  return "is damaged at byte " + std::to_string(at);
}

// The payload of an MPEG-1 packet of the video stream: stuffing, the
// decoder buffer size and the time stamps come first.
bool PacketPayload(std::span<const uint8_t> packet, std::span<const uint8_t>* payload) {
  size_t i = 0;
  while (i < packet.size() && packet[i] == 0xFF)
    if (++i > 16) return false;
  if (i < packet.size() && (packet[i] & 0xC0) == 0x40) i += 2;
  if (i >= packet.size()) return false;
  if ((packet[i] & 0xF0) == 0x20)
    i += 5;
  else if ((packet[i] & 0xF0) == 0x30)
    i += 10;
  else if (packet[i] == 0x0F)
    i += 1;
  else
    return false;
  if (i > packet.size()) return false;
  *payload = packet.subspan(i);
  return true;
}

// Walks the packs of an MPEG-1 program stream, handing the video stream's
// payloads to `video`.
std::string ReadProgramStream(std::span<const uint8_t> bytes, VideoScanner& video) {
  size_t at = 0;
  while (at < bytes.size()) {
    const std::span<const uint8_t> rest = bytes.subspan(at);
    if (rest.size() < 4) return video.Truncated();
    if (rest[0] != 0 || rest[1] != 0 || rest[2] != 1) return DamagedAt(at);
    const uint8_t code = rest[3];
    if (code == kPackCode) {
      if (rest.size() < 12) return video.Truncated();
      // An MPEG-2 pack header starts with the bits 01 instead of 0010.
      if (rest[4] >> 4 != 0x2) return "is not an MPEG-1 program stream";
      at += 12;
      continue;
    }
    if (code == kProgramEndCode) {
      if (rest.size() != 4) return DamagedAt(at + 4);
      break;
    }
    if (code < kSystemHeaderCode) return DamagedAt(at);
    if (rest.size() < 6) return video.Truncated();
    const size_t length = size_t{rest[4]} << 8 | rest[5];
    if (rest.size() - 6 < length) return video.Truncated();
    const std::span<const uint8_t> packet = rest.subspan(6, length);
    at += 6 + length;
    if (code == kSystemHeaderCode || code == kPaddingStream) continue;
    if (code != kVideoStream) return "holds another stream than its MPEG-1 video";
    std::span<const uint8_t> payload;
    if (!PacketPayload(packet, &payload)) return DamagedAt(at - length);
    if (!video.Feed(payload)) return video.Problem();
  }
  return {};
}

}  // namespace

MpegFrameRate FrameRateOfCode(int rateCode) {
  static constexpr MpegFrameRate kRates[9] = {{30, 1}, {24000, 1001}, {24, 1},
                                              {25, 1}, {30000, 1001}, {30, 1},
                                              {50, 1}, {60000, 1001}, {60, 1}};
  return rateCode >= 1 && rateCode <= 8 ? kRates[rateCode] : kRates[0];
}

bool LooksLikeMpegMovie(std::span<const uint8_t> bytes) {
  return StartsWithCode(bytes, kPackCode) || StartsWithCode(bytes, kSequenceHeaderCode);
}

std::string ScanMpegMovie(std::span<const uint8_t> bytes, MpegStreamInfo* info,
                          const MpegPictureSink& picture) {
  *info = MpegStreamInfo{};
  const bool program = StartsWithCode(bytes, kPackCode);
  VideoScanner video(info, picture, program);
  if (program) {
    const std::string problem = ReadProgramStream(bytes, video);
    if (!problem.empty()) return problem;
  } else if (StartsWithCode(bytes, kSequenceHeaderCode)) {
    for (size_t at = 0; at < bytes.size(); at += kRawPiece)
      if (!video.Feed(bytes.subspan(at, std::min(kRawPiece, bytes.size() - at))))
        return video.Problem();
  } else {
    return "is not an MPEG-1 movie";
  }
  return video.Finish();
}

}  // namespace modra
