// Rendered pictures into the YUV 4:2:0 frames the movie encoders take.
#pragma once

#include <cstdint>

#include "render/ffmpeg_handles.h"

namespace modra {

// Converts width x height packed RGB pixels (top row first) into `frame`'s
// planes at the frame's own size, through `scale`, which is kept between
// pictures and rebuilt only when the incoming size changes. Makes the
// frame writable first, since the encoder may still hold the previous
// picture's buffer. false when swscale or the frame refuses.
bool FillYuvFrame(ffmpeg::Scaler& scale, AVFrame* frame, const uint8_t* rgb, int width, int height);

}  // namespace modra
