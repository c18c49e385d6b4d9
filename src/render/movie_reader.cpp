#include "render/movie_reader.h"

#include <cstring>
#include <vector>

#include "io/regular_file.h"
#include "render/ffmpeg_handles.h"

namespace modra {

struct MovieReader::State {
  std::string path;
  std::string problem;
  ffmpeg::InputFormat format;
  ffmpeg::Codec codec;
  ffmpeg::Frame decoded, rgbFrame;
  ffmpeg::Packet packet;
  ffmpeg::Scaler scale;
  std::vector<uint8_t> pixels;
  int stream = -1;
  int width = 0, height = 0;
  bool drained = false;  // the decoder was told that no more packets come
  bool ended = false;

  void Release() {
    scale.reset();
    packet.reset();
    rgbFrame.reset();
    decoded.reset();
    codec.reset();
    format.reset();
    pixels.clear();
    pixels.shrink_to_fit();
    stream = -1;
    width = height = 0;
    drained = ended = false;
  }

  bool Fail(const std::string& why) {
    problem = why;
    return false;
  }
  bool Fail(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return Fail(text);
  }

  bool Start(const std::string& name) {
    // libavformat's file protocol opens without O_NONBLOCK and would wait
    // on a FIFO for a writer: only a regular file goes on to it.
    if (!IsReadableRegularFile(name, &problem)) return false;
    AVFormatContext* opened = nullptr;
    // "file:" keeps a name such as "rtsp://host/x" or "a:b.mpg" a local
    // file name instead of a network address or a protocol.
    const std::string url = "file:" + name;
    if (const int error = avformat_open_input(&opened, url.c_str(), nullptr, nullptr); error < 0)
      return Fail(error);
    format.reset(opened);
    if (const int error = avformat_find_stream_info(format.get(), nullptr); error < 0)
      return Fail(error);
    const AVCodec* decoder = nullptr;
    stream = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (stream < 0 || !decoder) return Fail("holds no video stream that can be decoded");
    const AVCodecParameters* parameters = format->streams[stream]->codecpar;
    const int64_t w = parameters->width, h = parameters->height;
    if (w < 1 || h < 1 || w * h > kMaxPixels)
      return Fail("states a picture size of " + std::to_string(w) + "x" + std::to_string(h));
    codec.reset(avcodec_alloc_context3(decoder));
    decoded.reset(av_frame_alloc());
    rgbFrame.reset(av_frame_alloc());
    packet.reset(av_packet_alloc());
    if (!codec || !decoded || !rgbFrame || !packet) return Fail(AVERROR(ENOMEM));
    if (const int error = avcodec_parameters_to_context(codec.get(), parameters); error < 0)
      return Fail(error);
    if (const int error = avcodec_open2(codec.get(), decoder, nullptr); error < 0)
      return Fail(error);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    rgbFrame->format = AV_PIX_FMT_RGB24;
    rgbFrame->width = width;
    rgbFrame->height = height;
    if (const int error = av_frame_get_buffer(rgbFrame.get(), 0); error < 0) return Fail(error);
    pixels.resize(static_cast<size_t>(w * h * 3));
    return true;
  }

  // The decoded picture as packed RGB of the movie's size.
  bool Convert() {
    const AVFrame* f = decoded.get();
    if (f->width < 1 || f->height < 1 || static_cast<int64_t>(f->width) * f->height > kMaxPixels)
      return false;
    scale.reset(sws_getCachedContext(scale.release(), f->width, f->height,
                                     static_cast<AVPixelFormat>(f->format), width, height,
                                     AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!scale) return false;
    if (sws_scale(scale.get(), f->data, f->linesize, 0, f->height, rgbFrame->data,
                  rgbFrame->linesize) != height)
      return false;
    // swscale wants aligned rows; the pipeline wants them packed.
    const size_t row = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
      std::memcpy(pixels.data() + row * y, rgbFrame->data[0] + rgbFrame->linesize[0] * y, row);
    return true;
  }

  // Feeds the decoder one packet of our stream, or tells it that the file
  // ended. false once there is nothing left to feed.
  bool Feed() {
    if (drained) return false;
    for (;;) {
      if (av_read_frame(format.get(), packet.get()) < 0) {
        drained = true;
        return avcodec_send_packet(codec.get(), nullptr) >= 0;
      }
      if (packet->stream_index != stream) {
        av_packet_unref(packet.get());
        continue;
      }
      const int sent = avcodec_send_packet(codec.get(), packet.get());
      av_packet_unref(packet.get());
      // A damaged packet is passed over; the pictures after it may decode.
      if (sent >= 0 || sent == AVERROR_INVALIDDATA) return true;
      return false;
    }
  }

  const uint8_t* Next() {
    while (!ended) {
      const int got = avcodec_receive_frame(codec.get(), decoded.get());
      if (got == 0) {
        const bool converted = Convert();
        av_frame_unref(decoded.get());
        if (converted) return pixels.data();
        ended = true;
      } else if (got != AVERROR(EAGAIN) || !Feed()) {
        ended = true;
      }
    }
    return nullptr;
  }
};

MovieReader::MovieReader() : state_(std::make_unique<State>()) {}
MovieReader::~MovieReader() = default;

int MovieReader::Open(const std::string& path) {
  state_->Release();
  state_->problem.clear();
  if (!state_->Start(path)) {
    state_->Release();
    return -1;
  }
  state_->path = path;
  return 0;
}

const std::string& MovieReader::Problem() const {
  return state_->problem;
}

int MovieReader::Width() const {
  return state_->width;
}
int MovieReader::Height() const {
  return state_->height;
}
bool MovieReader::IsOpen() const {
  return state_->codec != nullptr;
}

const uint8_t* MovieReader::NextFrame() {
  return IsOpen() ? state_->Next() : nullptr;
}

int MovieReader::Rewind() {
  if (!IsOpen()) return -1;
  // Opening again is the one way back to the start that works for every
  // stream, raw elementary streams included, which have no index to seek.
  const std::string path = state_->path;
  return Open(path);
}

void MovieReader::Close() {
  state_->Release();
}

}  // namespace modra
