#include "render/mp4_writer.h"

#include <cstring>
#include <vector>

#include "render/ffmpeg_handles.h"
#include "render/mp4_muxer.h"
#include "render/yuv_frame.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace modra {
namespace {

constexpr int kFramesPerSecond = 30;
// A key frame every second lets players seek without decoding far.
constexpr int kKeyFrameInterval = kFramesPerSecond;
// x264's constant quality: 18 looks like the rendered picture to most eyes.
constexpr char kH264Quality[] = "18";
// MPEG-4 part 2 at the MPEG-1 movies' fixed quantiser scale.
constexpr int kMpeg4QuantiserScale = 3;

int Even(int side) {
  return side + (side & 1);
}

// The encoder opened for a movie of w x h (even sides), or null.
ffmpeg::Codec OpenEncoder(const AVCodec* encoder, int w, int h) {
  if (!encoder) return nullptr;
  ffmpeg::Codec codec(avcodec_alloc_context3(encoder));
  if (!codec) return nullptr;
  AVCodecContext* c = codec.get();
  c->width = w;
  c->height = h;
  c->pix_fmt = AV_PIX_FMT_YUV420P;
  c->time_base = AVRational{1, kFramesPerSecond};
  c->framerate = AVRational{kFramesPerSecond, 1};
  c->gop_size = kKeyFrameInterval;
  // Pictures stored in the order they are shown: a join then only moves
  // the parts' times along.
  c->max_b_frames = 0;
  // swscale's RGB to YUV conversion, stated so that players undo it.
  c->color_range = AVCOL_RANGE_MPEG;
  c->colorspace = AVCOL_SPC_SMPTE170M;
  c->color_primaries = AVCOL_PRI_SMPTE170M;
  c->color_trc = AVCOL_TRC_SMPTE170M;
  // MP4 keeps the stream's parameter sets in its header, not in the
  // pictures.
  c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (encoder->id == AV_CODEC_ID_H264) {
    av_opt_set(c->priv_data, "crf", kH264Quality, 0);
  } else {
    c->flags |= AV_CODEC_FLAG_QSCALE;
    c->global_quality = FF_QP2LAMBDA * kMpeg4QuantiserScale;
  }
  // note: one thread, as libavcodec's default: a farm runs a render per
  // core, and the encoder waits on the drawing anyway.
  if (avcodec_open2(c, encoder, nullptr) < 0) return nullptr;
  return codec;
}

}  // namespace

struct Mp4Writer::State {
  Mp4Codec codecChoice = Mp4Codec::kBest;
  Mp4Muxer muxer;
  ffmpeg::Codec codec;
  ffmpeg::Frame frame;
  ffmpeg::Packet packet;
  ffmpeg::Scaler scale;
  int width = 0, height = 0;
  int framesWritten = 0;
  int firstFrame = 0;
  int64_t nextPts = 0;
  std::vector<uint8_t> padded;
  std::string error;

  void Reset() {
    scale.reset();
    packet.reset();
    frame.reset();
    codec.reset();
    muxer.Abandon();  // the target stays unless Finish committed
    width = height = framesWritten = firstFrame = 0;
    nextPts = 0;
  }

  bool Fail() {
    if (!muxer.IsOpen()) error = muxer.Error();
    return false;
  }

  // H.264 where an encoder opens, MPEG-4 part 2 otherwise; then the
  // header, which needs the encoder's parameter sets.
  bool StartEncoder(int w, int h) {
    if (codecChoice == Mp4Codec::kBest)
      codec = OpenEncoder(avcodec_find_encoder(AV_CODEC_ID_H264), w, h);
    if (!codec) codec = OpenEncoder(avcodec_find_encoder(AV_CODEC_ID_MPEG4), w, h);
    frame.reset(av_frame_alloc());
    packet.reset(av_packet_alloc());
    if (!codec || !frame || !packet) return false;
    frame->format = codec->pix_fmt;
    frame->width = w;
    frame->height = h;
    if (av_frame_get_buffer(frame.get(), 0) < 0) return false;
    ffmpeg::Parameters params(avcodec_parameters_alloc());
    if (!params || avcodec_parameters_from_context(params.get(), codec.get()) < 0) return false;
    if (!muxer.Start(*params, codec->time_base, codec->framerate, firstFrame)) return Fail();
    width = w;
    height = h;
    return true;
  }

  // Moves every packet the encoder has ready into the file.
  bool Drain() {
    for (;;) {
      const int got = avcodec_receive_packet(codec.get(), packet.get());
      if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
      if (got < 0) return false;
      // One picture a packet: the player's frame rate comes from these.
      packet->duration = 1;
      if (!muxer.Write(packet.get())) return Fail();
    }
  }

  // The picture with an odd side made even by repeating its last column
  // or row; the picture itself when both sides are even.
  const uint8_t* Padded(const uint8_t* rgb, int w, int h) {
    if (w % 2 == 0 && h % 2 == 0) return rgb;
    const size_t row = static_cast<size_t>(w) * 3, evenRow = static_cast<size_t>(Even(w)) * 3;
    padded.resize(evenRow * static_cast<size_t>(Even(h)));
    for (int y = 0; y < Even(h); ++y) {
      uint8_t* to = padded.data() + evenRow * static_cast<size_t>(y);
      std::memcpy(to, rgb + row * static_cast<size_t>(y < h ? y : h - 1), row);
      if (evenRow > row) std::memcpy(to + row, to + row - 3, 3);
    }
    return padded.data();
  }
};

Mp4Writer::Mp4Writer(Mp4Codec codec) : state_(std::make_unique<State>()) {
  state_->codecChoice = codec;
}

Mp4Writer::~Mp4Writer() {
  if (IsOpen()) Finish();
}

bool Mp4Writer::IsOpen() const {
  return state_->muxer.IsOpen();
}
int Mp4Writer::FramesWritten() const {
  return state_->framesWritten;
}
const std::string& Mp4Writer::Error() const {
  return state_->error;
}
int Mp4Writer::Width() const {
  return state_->width;
}
int Mp4Writer::Height() const {
  return state_->height;
}
std::string Mp4Writer::EncoderName() const {
  return state_->codec ? state_->codec->codec->name : "";
}

int Mp4Writer::Open(const std::string& path, int frameCount, int firstFrame) {
  if (IsOpen()) Finish();
  state_->error = path;
  if (frameCount < 1 || firstFrame < 0) return -1;
  if (!state_->muxer.Open(path)) {
    state_->error = state_->muxer.Error();
    state_->Reset();
    return -1;
  }
  state_->firstFrame = firstFrame;
  return 0;
}

int Mp4Writer::AddFrame(const uint8_t* rgb, int width, int height) {
  State& s = *state_;
  if (!IsOpen() || !rgb || width < 1 || height < 1) return -1;
  if (width > kMaxSide || height > kMaxSide) return -1;
  if (!s.codec && !s.StartEncoder(Even(width), Even(height))) {
    // A muxer that failed has dropped the file, and the render ends; an
    // encoder that would not open leaves it for Finish to discard.
    s.codec.reset();
    s.frame.reset();
    s.packet.reset();
    return -1;
  }
  const uint8_t* picture = s.Padded(rgb, width, height);
  const int w = Even(width), h = Even(height);
  if (!FillYuvFrame(s.scale, s.frame.get(), picture, w, h)) return -1;
  s.frame->pts = s.nextPts++;
  if (avcodec_send_frame(s.codec.get(), s.frame.get()) < 0 || !s.Drain()) return -1;
  ++s.framesWritten;
  return 0;
}

int Mp4Writer::Finish() {
  State& s = *state_;
  if (!IsOpen()) return -1;
  bool ok = s.framesWritten > 0;
  if (s.codec && s.muxer.Started())
    ok = avcodec_send_frame(s.codec.get(), nullptr) >= 0 && s.Drain() && ok;
  if (ok && !s.muxer.Finish()) {
    s.error = s.muxer.Error();
    ok = false;
  }
  s.Reset();
  return ok ? 0 : -1;
}

}  // namespace modra
