#include "render/mpeg_writer.h"

#include <cstdio>
#include <string>
#include <vector>

#include "render/ffmpeg_handles.h"
#include "render/mpeg_program_writer.h"
#include "render/picture_check.h"
#include "render/yuv_frame.h"

extern "C" {
#include <libavutil/imgutils.h>
}

namespace modra {
namespace {

constexpr int kFramesPerSecond = 30;
constexpr int kQuantiserScale = 3;

// The encoder takes the first group's time code as "hh:mm:ss:ff" and
// counts on from there, one per picture.
std::string TimeCode(int frame) {
  const int perHour = kFramesPerSecond * 3600;
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d:%02d", frame / perHour % 24,
                frame / (kFramesPerSecond * 60) % 60, frame / kFramesPerSecond % 60,
                frame % kFramesPerSecond);
  return text;
}

}  // namespace

struct MpegWriter::State {
  MpegProgramWriter program;
  ffmpeg::Codec codec;
  ffmpeg::Frame frame;
  ffmpeg::Packet packet;
  ffmpeg::Scaler scale;
  int width = 0, height = 0;
  int framesWritten = 0;
  int firstFrame = 0;
  int64_t nextPts = 0;
  int64_t picturesOut = 0;  // pictures the encoder gave
  std::vector<uint8_t> picture;
  std::string error;

  void Reset() {
    scale.reset();
    packet.reset();
    frame.reset();
    codec.reset();
    program.Abandon();  // the target stays unless Finish committed
    width = height = framesWritten = firstFrame = 0;
    nextPts = picturesOut = 0;
  }

  // Opens the encoder for the size of the first frame.
  bool StartEncoder(int w, int h) {
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_MPEG1VIDEO);
    if (!encoder) return false;
    codec.reset(avcodec_alloc_context3(encoder));
    frame.reset(av_frame_alloc());
    packet.reset(av_packet_alloc());
    if (!codec || !frame || !packet) return false;
    AVCodecContext* c = codec.get();
    c->width = w;
    c->height = h;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = AVRational{1, kFramesPerSecond};
    c->framerate = AVRational{kFramesPerSecond, 1};
    // A group size of 0 makes the encoder code every picture as an I frame.
    c->gop_size = 0;
    c->max_b_frames = 0;
    c->flags |= AV_CODEC_FLAG_QSCALE;
    c->global_quality = FF_QP2LAMBDA * kQuantiserScale;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "gop_timecode", TimeCode(firstFrame).c_str(), 0);
    const int opened = avcodec_open2(c, encoder, &options);
    av_dict_free(&options);
    if (opened < 0) return false;
    frame->format = c->pix_fmt;
    frame->width = w;
    frame->height = h;
    if (av_frame_get_buffer(frame.get(), 0) < 0) return false;
    width = w;
    height = h;
    return true;
  }

  // Moves every picture the encoder has ready into the stream, each with
  // its check value, at the time of its frame.
  bool Drain() {
    for (;;) {
      const int got = avcodec_receive_packet(codec.get(), packet.get());
      if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
      if (got < 0) return false;
      picture.assign(packet->data, packet->data + packet->size);
      av_packet_unref(packet.get());
      if (!AddMpegPictureCheck(&picture)) return false;
      program.AddPicture(picture, firstFrame + picturesOut++);
    }
  }
};

MpegWriter::MpegWriter() : state_(std::make_unique<State>()) {}

MpegWriter::~MpegWriter() {
  if (IsOpen()) Finish();
}

bool MpegWriter::IsOpen() const {
  return state_->program.IsOpen();
}
int MpegWriter::FramesWritten() const {
  return state_->framesWritten;
}
const std::string& MpegWriter::Error() const {
  return state_->error;
}
int MpegWriter::Width() const {
  return state_->width;
}
int MpegWriter::Height() const {
  return state_->height;
}

int MpegWriter::Open(const std::string& path, int frameCount, int firstFrame) {
  if (IsOpen()) Finish();
  state_->error = path;
  if (frameCount < 1 || firstFrame < 0) return -1;
  if (!avcodec_find_encoder(AV_CODEC_ID_MPEG1VIDEO)) return -1;
  if (!state_->program.Open(path, MpegFrameRate{kFramesPerSecond, 1})) {
    state_->error = state_->program.error();
    state_->Reset();
    return -1;
  }
  state_->firstFrame = firstFrame;
  return 0;
}

int MpegWriter::AddFrame(const uint8_t* rgb, int width, int height) {
  State& s = *state_;
  if (!IsOpen() || !rgb || width < 1 || height < 1) return -1;
  if (width > kMaxSide || height > kMaxSide) return -1;
  if (!s.codec) {
    if (!s.StartEncoder(width, height)) {
      // Keep the file open so that Finish can still report cleanly; the
      // next frame tries again from nothing.
      s.codec.reset();
      s.frame.reset();
      s.packet.reset();
      return -1;
    }
  }
  if (!FillYuvFrame(s.scale, s.frame.get(), rgb, width, height)) return -1;
  s.frame->pts = s.nextPts++;
  s.frame->quality = s.codec->global_quality;
  s.frame->pict_type = AV_PICTURE_TYPE_I;
  if (avcodec_send_frame(s.codec.get(), s.frame.get()) < 0) return -1;
  if (!s.Drain()) return -1;
  ++s.framesWritten;
  return 0;
}

int MpegWriter::Finish() {
  State& s = *state_;
  if (!IsOpen()) return -1;
  bool ok = s.framesWritten > 0;
  if (s.codec) ok = avcodec_send_frame(s.codec.get(), nullptr) >= 0 && s.Drain() && ok;
  if (ok && !s.program.Finish()) {
    s.error = s.program.error();
    ok = false;
  }
  s.Reset();
  return ok ? 0 : -1;
}

}  // namespace modra
