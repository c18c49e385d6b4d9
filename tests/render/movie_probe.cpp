#include "movie_probe.h"

#include <cstring>

#include "render/ffmpeg_handles.h"

namespace modra::movietest {
namespace {

ffmpeg::InputFormat OpenMovie(const std::string& path) {
  AVFormatContext* opened = nullptr;
  if (avformat_open_input(&opened, ("file:" + path).c_str(), nullptr, nullptr) < 0) return {};
  ffmpeg::InputFormat format(opened);
  if (avformat_find_stream_info(format.get(), nullptr) < 0) return {};
  return format;
}

}  // namespace

Demuxed Demux(const std::string& path) {
  Demuxed d;
  ffmpeg::InputFormat format = OpenMovie(path);
  if (!format) return d;
  d.opened = true;
  d.format = format->iformat->name;
  if (format->duration != AV_NOPTS_VALUE)
    d.seconds = static_cast<double>(format->duration) / AV_TIME_BASE;
  const int stream = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (stream < 0) return d;
  // Counted from a fresh opening: finding the stream info read some.
  format = OpenMovie(path);
  ffmpeg::Packet packet(av_packet_alloc());
  while (format && av_read_frame(format.get(), packet.get()) >= 0) {
    d.packets += packet->stream_index == stream;
    av_packet_unref(packet.get());
  }
  return d;
}

SeekResult SeekToFrame(const std::string& path, int frame, int fps) {
  SeekResult result;
  ffmpeg::InputFormat format = OpenMovie(path);
  if (!format) return result;
  const AVCodec* decoder = nullptr;
  const int index = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
  if (index < 0 || !decoder) return result;
  const AVStream* stream = format->streams[index];
  const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
  const int64_t target = start + av_rescale_q(frame, AVRational{1, fps}, stream->time_base);
  if (av_seek_frame(format.get(), index, target, AVSEEK_FLAG_BACKWARD) < 0) return result;

  ffmpeg::Codec codec(avcodec_alloc_context3(decoder));
  ffmpeg::Packet packet(av_packet_alloc());
  ffmpeg::Frame picture(av_frame_alloc());
  if (!codec || !packet || !picture ||
      avcodec_parameters_to_context(codec.get(), stream->codecpar) < 0 ||
      avcodec_open2(codec.get(), decoder, nullptr) < 0)
    return result;
  bool ended = false;
  for (;;) {
    const int got = avcodec_receive_frame(codec.get(), picture.get());
    if (got == 0) {
      const int64_t pts = picture->best_effort_timestamp;
      if (pts == AV_NOPTS_VALUE || pts < target) {
        av_frame_unref(picture.get());
        continue;
      }
      result.frame = av_rescale_q(pts - start, stream->time_base, AVRational{1, fps});
      break;
    }
    if (got != AVERROR(EAGAIN) || ended) return result;
    if (av_read_frame(format.get(), packet.get()) < 0) {
      ended = true;
      avcodec_send_packet(codec.get(), nullptr);
      continue;
    }
    if (packet->stream_index == index) avcodec_send_packet(codec.get(), packet.get());
    av_packet_unref(packet.get());
  }

  // Through a frame of swscale's own alignment, then packed.
  ffmpeg::Frame rgb(av_frame_alloc());
  if (!rgb) return result;
  rgb->format = AV_PIX_FMT_RGB24;
  rgb->width = picture->width;
  rgb->height = picture->height;
  ffmpeg::Scaler scale(sws_getContext(
      picture->width, picture->height, static_cast<AVPixelFormat>(picture->format), picture->width,
      picture->height, AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr, nullptr));
  if (!scale || av_frame_get_buffer(rgb.get(), 0) < 0 ||
      sws_scale(scale.get(), picture->data, picture->linesize, 0, picture->height, rgb->data,
                rgb->linesize) != picture->height)
    return result;
  const size_t row = static_cast<size_t>(picture->width) * 3;
  result.rgb.resize(row * picture->height);
  for (int y = 0; y < picture->height; ++y)
    std::memcpy(result.rgb.data() + row * y, rgb->data[0] + rgb->linesize[0] * y, row);
  result.width = picture->width;
  result.height = picture->height;
  return result;
}

}  // namespace modra::movietest
