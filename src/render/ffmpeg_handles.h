// Owning handles for the FFmpeg objects the movie writer and reader hold:
// each is released with its own free call, whatever path leaves the scope.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace modra::ffmpeg {

struct FormatDeleter {
  void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
// A muxer's context: its file is closed by whoever opened it.
struct OutputFormatDeleter {
  void operator()(AVFormatContext* f) const { avformat_free_context(f); }
};
// An I/O context made by avio_alloc_context, with the buffer it was given
// (which libavformat may have replaced by one of its own).
struct IoDeleter {
  void operator()(AVIOContext* io) const {
    av_freep(&io->buffer);
    avio_context_free(&io);
  }
};
struct CodecDeleter {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct ParametersDeleter {
  void operator()(AVCodecParameters* p) const { avcodec_parameters_free(&p); }
};
struct FrameDeleter {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ScaleDeleter {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};

using InputFormat = std::unique_ptr<AVFormatContext, FormatDeleter>;
using OutputFormat = std::unique_ptr<AVFormatContext, OutputFormatDeleter>;
using Io = std::unique_ptr<AVIOContext, IoDeleter>;
using Codec = std::unique_ptr<AVCodecContext, CodecDeleter>;
using Parameters = std::unique_ptr<AVCodecParameters, ParametersDeleter>;
using Frame = std::unique_ptr<AVFrame, FrameDeleter>;
using Packet = std::unique_ptr<AVPacket, PacketDeleter>;
using Scaler = std::unique_ptr<SwsContext, ScaleDeleter>;

}  // namespace modra::ffmpeg
