#include "render/yuv_frame.h"

namespace modra {

bool FillYuvFrame(ffmpeg::Scaler& scale, AVFrame* frame, const uint8_t* rgb, int width,
                  int height) {
  scale.reset(sws_getCachedContext(scale.release(), width, height, AV_PIX_FMT_RGB24, frame->width,
                                   frame->height, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr,
                                   nullptr));
  if (!scale || av_frame_make_writable(frame) < 0) return false;
  const uint8_t* source[1] = {rgb};
  const int sourceStride[1] = {width * 3};
  return sws_scale(scale.get(), source, sourceStride, 0, height, frame->data, frame->linesize) ==
         frame->height;
}

}  // namespace modra
