#include "render/mp4_muxer.h"

#include <algorithm>
#include <cstdio>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

namespace modra {
namespace {

constexpr int kIoBufferBytes = 1 << 16;

// libavformat 61 made the written bytes const.
#if LIBAVFORMAT_VERSION_MAJOR >= 61
using WrittenBytes = const uint8_t*;
#else
using WrittenBytes = uint8_t*;
#endif

int WriteBytes(void* opaque, WrittenBytes bytes, int size) {
  auto* file = static_cast<OutputFile*>(opaque);
  return file->Write(bytes, static_cast<size_t>(size)) ? size : AVERROR(EIO);
}

// The muxer goes back only to fill in sizes it has just learnt; it never
// asks for the file's size or seeks from the end.
int64_t SeekBytes(void* opaque, int64_t offset, int whence) {
  auto* file = static_cast<OutputFile*>(opaque);
  if ((whence & ~AVSEEK_FORCE) != SEEK_SET) return AVERROR(ENOSYS);
  return file->Seek(offset) ? offset : AVERROR(EIO);
}

std::string AvError(int averror) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(averror, text, sizeof text);
  return text;
}

}  // namespace

std::string Mp4CheckText(uint32_t check) {
  char text[16];
  std::snprintf(text, sizeof text, "%08x", check);
  return text;
}

int Mp4PictureFraming(const AVCodecParameters& params) {
  if (params.codec_id != AV_CODEC_ID_H264) return kMp4WholePackets;
  // An avcC record (version 1) states the length size in its fifth byte.
  if (params.extradata_size >= 5 && params.extradata[0] == 1) return (params.extradata[4] & 3) + 1;
  return kMp4StartCodes;
}

void AddToMp4Check(PictureCheck& check, std::span<const uint8_t> picture, int framing) {
  const size_t size = picture.size();
  if (framing == kMp4WholePackets) {
    check.Add(picture);
  } else if (framing == kMp4StartCodes) {
    // Each unit runs from after a 00 00 01 to the next one, less the
    // leading zero of a four-byte start code.
    const auto next = [&](size_t from) {
      for (size_t i = from; i + 3 <= size; ++i)
        if (picture[i] == 0 && picture[i + 1] == 0 && picture[i + 2] == 1) return i;
      return size;
    };
    for (size_t start = next(0); start < size;) {
      const size_t unit = start + 3, end = next(unit);
      const size_t stop = end < size && end > unit && picture[end - 1] == 0 ? end - 1 : end;
      check.Add(picture.subspan(unit, stop - unit));
      start = end;
    }
  } else {
    const auto lengthSize = static_cast<size_t>(framing);
    for (size_t at = 0; at + lengthSize <= size;) {
      size_t length = 0;
      for (size_t i = 0; i < lengthSize; ++i)
        length = length << 8 | picture[at + i];
      at += lengthSize;
      // A length past the end takes what is there; the check then fails.
      length = std::min(length, size - at);
      check.Add(picture.subspan(at, length));
      at += length;
    }
  }
}

bool Mp4Muxer::Fail(int averror) {
  // A failed write has the system's reason; anything else is the muxer's.
  error_ = file_ && !file_->reason().empty() ? file_->error() : path_ + ": " + AvError(averror);
  Abandon();
  return false;
}

bool Mp4Muxer::Open(const std::string& path) {
  Abandon();
  path_ = error_ = path;
  file_ = std::make_unique<OutputFile>();
  if (!file_->Open(path)) {
    error_ = file_->error();
    file_.reset();
    return false;
  }
  auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
  if (!buffer) return Fail(AVERROR(ENOMEM));
  io_.reset(
      avio_alloc_context(buffer, kIoBufferBytes, 1, file_.get(), nullptr, WriteBytes, SeekBytes));
  if (!io_) {
    av_free(buffer);
    return Fail(AVERROR(ENOMEM));
  }
  AVFormatContext* format = nullptr;
  const int made = avformat_alloc_output_context2(&format, nullptr, "mp4", nullptr);
  if (made < 0) return Fail(made);
  format_.reset(format);
  format->pb = io_.get();
  format->flags |= AVFMT_FLAG_CUSTOM_IO;
  return true;
}

bool Mp4Muxer::Start(const AVCodecParameters& params, AVRational timeBase, AVRational frameRate,
                     int firstFrame) {
  if (!IsOpen() || started_) return false;
  stream_ = avformat_new_stream(format_.get(), nullptr);
  if (!stream_) return Fail(AVERROR(ENOMEM));
  int done = avcodec_parameters_copy(stream_->codecpar, &params);
  if (done < 0) return Fail(done);
  // The tag of the codec is the muxer's to choose for its container.
  stream_->codecpar->codec_tag = 0;
  stream_->time_base = timeBase_ = timeBase;
  check_ = PictureCheck{};
  framing_ = Mp4PictureFraming(params);
  stream_->avg_frame_rate = frameRate;
  av_dict_set(&format_->metadata, kMp4FirstFrameKey, std::to_string(firstFrame).c_str(), 0);
  // Without this flag the mp4 muxer writes only the tags it has a box for.
  AVDictionary* options = nullptr;
  av_dict_set(&options, "movflags", "use_metadata_tags", 0);
  done = avformat_write_header(format_.get(), &options);
  av_dict_free(&options);
  if (done < 0) return Fail(done);
  started_ = true;
  return true;
}

bool Mp4Muxer::Write(AVPacket* packet) {
  if (!started_) return false;
  AddToMp4Check(check_, {packet->data, static_cast<size_t>(packet->size)}, framing_);
  // The muxer keeps its own time base, chosen at the header.
  av_packet_rescale_ts(packet, timeBase_, stream_->time_base);
  packet->stream_index = stream_->index;
  const int done = av_interleaved_write_frame(format_.get(), packet);
  return done >= 0 || Fail(done);
}

bool Mp4Muxer::Finish() {
  if (!started_) {
    Abandon();
    return false;
  }
  av_dict_set(&format_->metadata, kMp4CheckKey, Mp4CheckText(check_.Value()).c_str(), 0);
  const int done = av_write_trailer(format_.get());
  if (done < 0) return Fail(done);
  avio_flush(io_.get());
  if (io_->error < 0) return Fail(io_->error);
  if (!file_->Commit()) {
    error_ = file_->error();
    Abandon();
    return false;
  }
  Abandon();
  return true;
}

void Mp4Muxer::Abandon() {
  format_.reset();
  io_.reset();
  stream_ = nullptr;
  started_ = false;
  file_.reset();  // removes the temporary file unless it was committed
}

}  // namespace modra
