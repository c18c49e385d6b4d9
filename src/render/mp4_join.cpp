#include "render/mp4_join.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "render/ffmpeg_handles.h"
#include "render/movie_join.h"
#include "render/mp4_muxer.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

namespace modra {
namespace {

constexpr int kIoBufferBytes = 1 << 16;

std::string AvError(int averror) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(averror, text, sizeof text);
  return text;
}

// A part's bytes as libavformat's input.
struct ByteSource {
  std::span<const uint8_t> bytes;
  size_t at = 0;
};

int ReadBytes(void* opaque, uint8_t* buffer, int size) {
  auto* source = static_cast<ByteSource*>(opaque);
  const size_t count = std::min(source->bytes.size() - source->at, static_cast<size_t>(size));
  if (count == 0) return AVERROR_EOF;
  std::memcpy(buffer, source->bytes.data() + source->at, count);
  source->at += count;
  return static_cast<int>(count);
}

int64_t SeekBytes(void* opaque, int64_t offset, int whence) {
  auto* source = static_cast<ByteSource*>(opaque);
  const auto size = static_cast<int64_t>(source->bytes.size());
  if (whence & AVSEEK_SIZE) return size;
  int64_t base = 0;
  switch (whence & ~AVSEEK_FORCE) {
    case SEEK_SET:
      break;
    case SEEK_CUR:
      base = static_cast<int64_t>(source->at);
      break;
    case SEEK_END:
      base = size;
      break;
    default:
      return AVERROR(EINVAL);
  }
  // note: compared without forming base + offset, which a file's offset
  // could overflow.
  if (offset < -base || offset > size - base) return AVERROR(EINVAL);
  source->at = static_cast<size_t>(base + offset);
  return base + offset;
}

// Whether the file's top-level boxes (each a 32-bit size, or 1 and a
// 64-bit size after the type, then the type) end exactly at its end, as
// the muxer leaves them: a cut file ends inside its last box, the index,
// which libavformat would read as far as it goes.
bool BoxesFill(std::span<const uint8_t> bytes) {
  const auto read = [&](size_t at, int count) {
    uint64_t value = 0;
    for (int i = 0; i < count; ++i)
      value = value << 8 | bytes[at + static_cast<size_t>(i)];
    return value;
  };
  size_t at = 0;
  while (at < bytes.size()) {
    const size_t left = bytes.size() - at;
    if (left < 8) return false;
    uint64_t size = read(at, 4);
    size_t header = 8;
    if (size == 1) {
      if (left < 16) return false;
      size = read(at + 8, 8);
      header = 16;
    } else if (size == 0) {
      size = left;  // to the end of the file
    }
    if (size < header || size > left) return false;
    at += static_cast<size_t>(size);
  }
  return !bytes.empty();
}

const char* CodecText(AVCodecID id) {
  return id == AV_CODEC_ID_H264 ? "H.264" : "MPEG-4";
}

// One part, opened for reading its pictures.
class Part {
 public:
  // Empty, or what keeps the bytes from being a render's MP4 movie.
  std::string Open(std::span<const uint8_t> bytes) {
    if (!BoxesFill(bytes)) return "is truncated or damaged (its boxes do not fill the file)";
    source_ = {bytes, 0};
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
    if (!buffer) return "can't be read: out of memory";
    io_.reset(
        avio_alloc_context(buffer, kIoBufferBytes, 0, &source_, ReadBytes, nullptr, SeekBytes));
    if (!io_) {
      av_free(buffer);
      return "can't be read: out of memory";
    }
    AVFormatContext* format = avformat_alloc_context();
    if (!format) return "can't be read: out of memory";
    format->pb = io_.get();
    // A failed open frees the context.
    const int opened = avformat_open_input(&format, nullptr, av_find_input_format("mp4"), nullptr);
    if (opened < 0) return "is truncated or damaged (" + AvError(opened) + ")";
    format_.reset(format);
    if (format->nb_streams != 1 || format->streams[0]->codecpar->codec_type != AVMEDIA_TYPE_VIDEO)
      return "holds other streams than one video stream";
    stream_ = format->streams[0];
    const AVCodecParameters* p = stream_->codecpar;
    if (p->codec_id != AV_CODEC_ID_H264 && p->codec_id != AV_CODEC_ID_MPEG4)
      return "is not coded with H.264 or MPEG-4 as a render codes its movies";
    if (stream_->avg_frame_rate.num <= 0 || stream_->avg_frame_rate.den <= 0)
      return "states no frame rate";
    // The demuxer leaves an MPEG-4 part 2 picture's size to the decoder.
    width_ = std::max(p->width, 0);
    height_ = std::max(p->height, 0);
    const AVDictionaryEntry* tag = av_dict_get(format->metadata, kMp4FirstFrameKey, nullptr, 0);
    const char* end = tag ? tag->value + std::strlen(tag->value) : nullptr;
    if (!tag || std::from_chars(tag->value, end, firstFrame_).ptr != end || firstFrame_ < 0 ||
        firstFrame_ > kMaxFrameNumber)
      return "carries no frame numbers: it is not a movie a render made";
    // The tags come last in the index: one that lost its check value
    // lost its end.
    tag = av_dict_get(format->metadata, kMp4CheckKey, nullptr, 0);
    if (!tag) return "is truncated or damaged (its check value is missing)";
    check_ = tag->value;
    return {};
  }

  // The next packet, 0 at the end, or a negative AVERROR.
  int Next(AVPacket* packet) {
    const int read = av_read_frame(format_.get(), packet);
    return read == AVERROR_EOF ? 0 : read < 0 ? read : 1;
  }

  const AVStream& stream() const { return *stream_; }
  const AVCodecParameters& params() const { return *stream_->codecpar; }
  int firstFrame() const { return firstFrame_; }
  const std::string& check() const { return check_; }
  // The picture size: the container's, or else the first picture's.
  int width() const { return width_; }
  int height() const { return height_; }
  void SetSize(int w, int h) {
    width_ = w;
    height_ = h;
  }

 private:
  static constexpr int kMaxFrameNumber = 1 << 24;

  ByteSource source_;
  ffmpeg::Io io_;  // outlives the demuxer, which does not free it
  ffmpeg::InputFormat format_;
  AVStream* stream_ = nullptr;
  int firstFrame_ = 0;
  int width_ = 0, height_ = 0;
  std::string check_;
};

// Reads every picture of `part` and decodes it: empty, or the problem
// (without the name). `*pictures` counts them.
std::string ProveWhole(Part& part, int* pictures) {
  const AVCodecParameters& p = part.params();
  const AVCodec* decoder = avcodec_find_decoder(p.codec_id);
  if (!decoder)
    return std::string("can't be decoded: libavcodec has no ") + CodecText(p.codec_id) + " decoder";
  ffmpeg::Codec codec(avcodec_alloc_context3(decoder));
  ffmpeg::Packet packet(av_packet_alloc());
  ffmpeg::Frame frame(av_frame_alloc());
  if (!codec || !packet || !frame || avcodec_parameters_to_context(codec.get(), &p) < 0)
    return "can't be decoded: out of memory";
  codec->err_recognition |= AV_EF_EXPLODE;
  if (avcodec_open2(codec.get(), decoder, nullptr) < 0) return "can't be decoded";
  int sent = 0, decoded = 0;
  PictureCheck check;
  const int framing = Mp4PictureFraming(p);
  // Takes the pictures the decoder has ready; false on damage.
  const auto receive = [&] {
    for (;;) {
      const int got = avcodec_receive_frame(codec.get(), frame.get());
      if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
      if (got < 0) return false;
      if (part.width() == 0 && part.height() == 0) part.SetSize(frame->width, frame->height);
      if (frame->width != part.width() || frame->height != part.height()) return false;
      ++decoded;
      av_frame_unref(frame.get());
    }
  };
  const auto at = [&](int picture) {
    return "frame " + std::to_string(part.firstFrame() + picture);
  };
  for (;;) {
    const int read = part.Next(packet.get());
    if (read == 0) break;
    if (read < 0)
      return sent == 0 ? "is damaged before its first frame" : "is damaged after " + at(sent - 1);
    const bool key = packet->flags & AV_PKT_FLAG_KEY;
    const bool timed = packet->pts != AV_NOPTS_VALUE && packet->dts != AV_NOPTS_VALUE;
    const bool corrupt = packet->flags & AV_PKT_FLAG_CORRUPT;
    AddToMp4Check(check, {packet->data, static_cast<size_t>(packet->size)}, framing);
    const bool ok = !corrupt && timed && avcodec_send_packet(codec.get(), packet.get()) >= 0;
    av_packet_unref(packet.get());
    if (sent == 0 && !key) return "does not start with a key frame";
    if (!ok || !receive()) return "is damaged: " + at(sent) + " does not decode";
    ++sent;
  }
  if (avcodec_send_packet(codec.get(), nullptr) < 0 || !receive() || decoded != sent)
    return "is damaged: " + at(std::min(decoded, sent)) + " does not decode";
  if (sent == 0) return "holds no picture";
  if (part.stream().nb_frames > sent) return "is truncated after " + at(sent - 1);
  // Damage that still decodes shows only here.
  if (Mp4CheckText(check.Value()) != part.check())
    return "is damaged: its pictures do not match their check value";
  *pictures = sent;
  return {};
}

// Why part b does not fit with the first part a, or empty.
std::string Mismatch(const std::string& bName, const Part& b, const std::string& aName,
                     const Part& a) {
  const AVCodecParameters &pa = a.params(), &pb = b.params();
  if (pb.codec_id != pa.codec_id)
    return bName + " is " + CodecText(pb.codec_id) + ", " + aName + " " + CodecText(pa.codec_id);
  if (b.width() != a.width() || b.height() != a.height())
    return bName + " is " + std::to_string(b.width()) + "x" + std::to_string(b.height()) + ", " +
           aName + " " + std::to_string(a.width()) + "x" + std::to_string(a.height());
  if (av_cmp_q(b.stream().avg_frame_rate, a.stream().avg_frame_rate) != 0)
    return bName + " has another frame rate than " + aName;
  // The parameter sets in the header hold for every picture of the joined
  // movie: a part coded otherwise would decode wrongly.
  if (pb.extradata_size != pa.extradata_size ||
      (pa.extradata_size > 0 &&
       std::memcmp(pb.extradata, pa.extradata, static_cast<size_t>(pa.extradata_size)) != 0))
    return bName + " was coded with other settings than " + aName;
  return {};
}

}  // namespace

std::string JoinMp4s(const std::string& out, const std::vector<std::string>& names,
                     const std::vector<std::span<const uint8_t>>& parts) {
  if (parts.empty() || names.size() != parts.size()) return "no parts to join";
  // Every part is read through before anything is written, then again to
  // copy its pictures: one picture at a time is in memory.
  Part first;
  std::vector<int> pictures(parts.size());
  int expected = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    Part other;
    Part& part = i == 0 ? first : other;
    std::string problem = part.Open(parts[i]);
    if (problem.empty()) problem = ProveWhole(part, &pictures[i]);
    if (!problem.empty()) return names[i] + " " + problem;
    if (i > 0) {
      if (std::string mismatch = Mismatch(names[i], part, names[0], first); !mismatch.empty())
        return mismatch;
    }
    const std::string run =
        FrameRunProblem(i == 0 ? std::string() : names[i - 1], names[i], expected,
                        part.firstFrame(), part.firstFrame() + pictures[i] - 1);
    if (!run.empty()) return run;
    expected = part.firstFrame() + pictures[i];
  }

  // The pictures as the parts hold them; each part's times start where
  // the last one's frames ended.
  const AVRational timeBase = first.stream().time_base;
  const AVRational frameRate = first.stream().avg_frame_rate;
  ffmpeg::Parameters params(avcodec_parameters_alloc());
  if (!params || avcodec_parameters_copy(params.get(), &first.params()) < 0)
    return "can't write " + out + ": out of memory";
  params->width = first.width();
  params->height = first.height();
  Mp4Muxer muxer;
  if (!muxer.Open(out)) return "can't create " + muxer.Error();
  if (!muxer.Start(*params, timeBase, frameRate, 0)) return "can't write " + muxer.Error();
  ffmpeg::Packet packet(av_packet_alloc());
  if (!packet) return "can't write " + out + ": out of memory";
  int64_t frames = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    Part part;
    if (std::string problem = part.Open(parts[i]); !problem.empty())
      return names[i] + " " + problem;  // changed since the first reading
    const AVRational partBase = part.stream().time_base;
    const int64_t offset = av_rescale_q(frames, av_inv_q(frameRate), timeBase);
    int64_t start = AV_NOPTS_VALUE;
    int read = 0;
    while ((read = part.Next(packet.get())) > 0) {
      if (start == AV_NOPTS_VALUE) start = packet->dts;
      packet->pts = av_rescale_q(packet->pts - start, partBase, timeBase) + offset;
      packet->dts = av_rescale_q(packet->dts - start, partBase, timeBase) + offset;
      packet->duration = av_rescale_q(packet->duration, partBase, timeBase);
      packet->pos = -1;
      if (!muxer.Write(packet.get())) return "can't write " + muxer.Error();
    }
    if (read < 0) return names[i] + " is damaged";  // changed since the first reading
    frames += pictures[i];
  }
  if (!muxer.Finish()) return "can't write " + muxer.Error();
  return {};
}

}  // namespace modra
