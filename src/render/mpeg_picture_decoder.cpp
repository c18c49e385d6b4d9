#include "render/mpeg_picture_decoder.h"

#include <algorithm>

#include "render/ffmpeg_handles.h"

namespace modra {

struct MpegPictureDecoder::State {
  ffmpeg::Codec codec;
  ffmpeg::Frame frame;
  ffmpeg::Packet packet;
};

MpegPictureDecoder::MpegPictureDecoder() : state_(std::make_unique<State>()) {}
MpegPictureDecoder::~MpegPictureDecoder() = default;

bool MpegPictureDecoder::Start() {
  *state_ = State{};
  State& s = *state_;
  const AVCodec* decoder = avcodec_find_decoder(AV_CODEC_ID_MPEG1VIDEO);
  if (!decoder) return false;
  s.codec.reset(avcodec_alloc_context3(decoder));
  s.frame.reset(av_frame_alloc());
  s.packet.reset(av_packet_alloc());
  if (!s.codec || !s.frame || !s.packet) return false;
  // Damage is an error, not something to hide: without this the decoder
  // conceals broken slices and hands over a picture anyway.
  s.codec->err_recognition = AV_EF_EXPLODE | AV_EF_BITSTREAM | AV_EF_BUFFER | AV_EF_CAREFUL;
  s.codec->error_concealment = 0;
  // Pictures come back as they go in: no reordering delay (all are
  // intra-coded) and no frame threads.
  s.codec->flags |= AV_CODEC_FLAG_LOW_DELAY;
  s.codec->thread_count = 1;
  return avcodec_open2(s.codec.get(), decoder, nullptr) >= 0;
}

std::string MpegPictureDecoder::Decode(std::span<const uint8_t> picture, int width, int height) {
  State& s = *state_;
  if (!s.codec) return "cannot be decoded before the decoder started";
  if (picture.size() > static_cast<size_t>(INT32_MAX - AV_INPUT_BUFFER_PADDING_SIZE))
    return "is too large to decode";
  // The decoder reads a little past the end of what it is given.
  if (av_new_packet(s.packet.get(), static_cast<int>(picture.size())) < 0)
    return "cannot be decoded: no memory";
  std::copy(picture.begin(), picture.end(), s.packet->data);
  const int sent = avcodec_send_packet(s.codec.get(), s.packet.get());
  av_packet_unref(s.packet.get());
  if (sent < 0) return "does not decode";
  // Every picture is intra-coded and shown at once (low delay): each one
  // gives its own picture back before the next goes in.
  if (avcodec_receive_frame(s.codec.get(), s.frame.get()) < 0) return "does not decode";
  const AVFrame& f = *s.frame;
  const bool clean = !(f.flags & AV_FRAME_FLAG_CORRUPT) && f.decode_error_flags == 0;
  const int w = f.width, h = f.height;
  av_frame_unref(s.frame.get());
  if (!clean) return "does not decode cleanly";
  if (w != width || h != height)
    return "decodes to " + std::to_string(w) + "x" + std::to_string(h) + ", not " +
           std::to_string(width) + "x" + std::to_string(height);
  return {};
}

}  // namespace modra
