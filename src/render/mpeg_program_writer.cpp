#include "render/mpeg_program_writer.h"

#include <algorithm>

namespace modra {
namespace {

constexpr uint8_t kSequenceEndCode[4] = {0x00, 0x00, 0x01, 0xB7};
constexpr uint8_t kProgramEndCode[4] = {0x00, 0x00, 0x01, 0xB9};
constexpr uint8_t kPackCode = 0xBA;
constexpr uint8_t kSystemHeaderCode = 0xBB;
constexpr uint8_t kVideoStream = 0xE0;

constexpr int64_t kClock = 90000;  // system clock ticks a second
constexpr int64_t kTimeMask = (int64_t{1} << 33) - 1;
// The fastest rate a pack header can state, in units of 50 bytes a
// second: a picture arrives in a moment, however large, just before the
// frame in which it is shown.
constexpr uint32_t kMuxRate = (1u << 22) - 1;
// The decoder buffer the system header announces, in KiB: the most its
// field holds, since intra pictures of large renders are large.
constexpr uint32_t kBufferKiB = (1u << 13) - 1;

constexpr size_t kSystemHeaderBytes = 6 + 6 + 3;
constexpr size_t kPacketHeaderBytes = 6;
constexpr size_t kTimeStampBytes = 5;

void Code(std::vector<uint8_t>& out, uint8_t code) {
  out.insert(out.end(), {0x00, 0x00, 0x01, code});
}

// A 33-bit time after a 4-bit prefix, with its three marker bits, as the
// pack header's clock reference and the packet's time stamp are written.
void Time(std::vector<uint8_t>& out, uint8_t prefix, int64_t ticks) {
  const uint64_t t = static_cast<uint64_t>(ticks & kTimeMask);
  out.push_back(static_cast<uint8_t>(prefix << 4 | (t >> 29 & 0x0E) | 1));
  const uint32_t middle = static_cast<uint32_t>(t >> 15 & 0x7FFF) << 1 | 1;
  const uint32_t low = static_cast<uint32_t>(t & 0x7FFF) << 1 | 1;
  out.insert(out.end(), {static_cast<uint8_t>(middle >> 8), static_cast<uint8_t>(middle),
                         static_cast<uint8_t>(low >> 8), static_cast<uint8_t>(low)});
}

// A 22-bit rate between marker bits.
void Rate(std::vector<uint8_t>& out, uint32_t rate) {
  const uint32_t bits = 1u << 23 | rate << 1 | 1;
  out.insert(out.end(), {static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 8),
                         static_cast<uint8_t>(bits)});
}

void Length(std::vector<uint8_t>& out, size_t length) {
  out.insert(out.end(), {static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
}

}  // namespace

int64_t MpegProgramWriter::Ticks(int64_t frame) const {
  return frame * kClock * rate_.den / rate_.num;
}

bool MpegProgramWriter::Open(const std::string& path, MpegFrameRate rate) {
  Abandon();
  error_ = path;
  if (rate.num < 1 || rate.den < 1) return false;
  rate_ = rate;
  file_.emplace();
  if (!file_->Open(path)) {
    error_ = file_->error();
    Abandon();
    return false;
  }
  ok_ = true;
  return true;
}

void MpegProgramWriter::Write(std::span<const uint8_t> picture, int64_t frame) {
  // The picture arrives as its frame begins and is shown as it ends.
  const int64_t arrival = Ticks(frame);
  const int64_t shown = Ticks(frame + 1);
  bool first = true;
  while (first || !picture.empty()) {
    pack_.clear();
    // A pack's bytes take this long at the rate it states; rounded up, so
    // that every clock reference is later than the one before.
    const int64_t busy = static_cast<int64_t>(
        (lastPackBytes_ * kClock + int64_t{kMuxRate} * 50 - 1) / (int64_t{kMuxRate} * 50));
    const int64_t scr = lastScr_ < 0 ? arrival : std::max(arrival, lastScr_ + busy);
    Code(pack_, kPackCode);
    Time(pack_, 0x2, scr);
    Rate(pack_, kMuxRate);
    if (!wroteSystemHeader_) {
      Code(pack_, kSystemHeaderCode);
      Length(pack_, kSystemHeaderBytes - 6);
      Rate(pack_, kMuxRate);  // rate bound
      // No audio, variable rate, not constrained, no locks, a marker and
      // one video stream, then the reserved byte.
      pack_.insert(pack_.end(), {0x00, 0x21, 0xFF});
      // The video stream's buffer bound, in KiB (scale bit 1).
      pack_.insert(pack_.end(),
                   {kVideoStream, static_cast<uint8_t>(0xC0 | 1 << 5 | kBufferKiB >> 8),
                    static_cast<uint8_t>(kBufferKiB)});
      wroteSystemHeader_ = true;
    }
    const size_t header = kPacketHeaderBytes + (first ? kTimeStampBytes : 1);
    const size_t room = kPackBytes - std::min(kPackBytes, pack_.size() + header);
    const size_t data = std::min(room, picture.size());
    Code(pack_, kVideoStream);
    Length(pack_, header - kPacketHeaderBytes + data);
    if (first)
      Time(pack_, 0x2, shown);  // decoded when shown: no reordering
    else
      pack_.push_back(0x0F);  // no time stamp
    pack_.insert(pack_.end(), picture.begin(), picture.begin() + static_cast<ptrdiff_t>(data));
    picture = picture.subspan(data);
    ok_ = file_->Write(pack_.data(), pack_.size()) && ok_;
    lastScr_ = scr;
    lastPackBytes_ = pack_.size();
    first = false;
  }
}

void MpegProgramWriter::AddPicture(std::span<const uint8_t> picture, int64_t frame) {
  if (!IsOpen()) return;
  if (holding_ && ok_) {
    ok_ = frame > heldFrame_;
    if (ok_) Write(held_, heldFrame_);
  }
  held_.assign(picture.begin(), picture.end());
  heldFrame_ = frame;
  holding_ = true;
  ++pictures_;
}

bool MpegProgramWriter::Finish() {
  if (!IsOpen()) return false;
  bool ok = ok_ && holding_;
  if (ok) {
    held_.insert(held_.end(), kSequenceEndCode, kSequenceEndCode + sizeof kSequenceEndCode);
    Write(held_, heldFrame_);
    ok = ok_ && file_->Write(kProgramEndCode, sizeof kProgramEndCode) && file_->Commit();
  }
  if (!ok) error_ = file_->error();
  Abandon();
  return ok;
}

void MpegProgramWriter::Abandon() {
  file_.reset();  // removes the temporary file unless committed
  held_.clear();
  holding_ = false;
  pictures_ = 0;
  ok_ = false;
  wroteSystemHeader_ = false;
  lastScr_ = -1;
  lastPackBytes_ = 0;
}

}  // namespace modra
