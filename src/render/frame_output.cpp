#include "render/frame_output.h"

#include <cstdio>

#include "images/bmp.h"
#include "images/ppm.h"
#include "io/output_file.h"

namespace modra {

namespace {

constexpr char kCantWrite[] = "Can't write entire file";

}  // namespace

bool FrameOutput::Fail(const char* message) {
  shell_->Message(message);
  return false;
}

bool FrameOutput::Open(int frameCount, int firstFrame) {
  firstFrame_ = firstFrame;
  if (format_ != kRenderMpeg) return true;
  if (frameCount < 1) return Fail("No frames to render");
  if (mpeg_.Open(outputName_, frameCount, firstFrame) != 0)
    return Fail("Bummer, can't create movie");
  return true;
}

bool FrameOutput::Begin(int width, int height) {
  if (format_ != kRenderGif || gif_.IsOpen()) return true;
  if (gif_.Create(outputName_, width, height) != 0) return Fail(kCantWrite);
  gif_.NumberFrames(firstFrame_);
  gifWidth_ = width;
  gifHeight_ = height;
  return true;
}

bool FrameOutput::Write(const uint8_t* rgb, int width, int height, int frame, bool exactName) {
  bool ok = true;
  switch (format_) {
    case kRenderMpeg:
      if (mpeg_.AddFrame(rgb, width, height) != 0) {
        shell_->Message("Bummer making movie");
        ok = Fail(kCantWrite);
      }
      break;
    case kRenderGif:
      // Every image covers the whole screen: a picture of another size
      // (the drawing area was resized) cannot be one of its frames.
      if (width != gifWidth_ || height != gifHeight_ ||
          gif_.AddFrame(rgb, GifMovieWriter::kFrameDelay) != 0) {
        // A GIF that lost a frame is ended at once with what it holds.
        gif_.Finish();
        ok = Fail(kCantWrite);
      }
      break;
    default:
      ok = WriteFile(exactName ? outputName_ : FrameFileName(outputName_, frame, format_), rgb,
                     width, height);
      break;
  }
  if (ok) ++written_;
  return ok;
}

bool FrameOutput::WriteFile(const std::string& name, const uint8_t* rgb, int width, int height) {
  if (format_ == kRenderJpeg) {
    if (jpeg_.EncodeFile(name, rgb, width, height) != 0) return Fail(kCantWrite);
    return true;
  }
  // Frame files are written beside their final name and renamed into
  // place, so a frame that fails half-way never replaces an older file.
  OutputFile file;
  if (!file.Open(name)) {
    char text[600];
    std::snprintf(text, sizeof text, "Can't open output file %s for write\n", name.c_str());
    return Fail(text);
  }
  if (format_ == kRenderBmp) {
    // The bitmap writer makes its own file; the open above only proved
    // that the name can be written.
    return WriteBmp(name, rgb, width, height) == 0 || Fail(kCantWrite);
  }
  file.Write(PpmFrameHeader(width, height));
  file.Write(rgb, static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  return file.Commit() || Fail(kCantWrite);
}

void FrameOutput::Finish() {
  if (mpeg_.IsOpen()) mpeg_.Finish();
  if (gif_.IsOpen()) gif_.Finish();
}

}  // namespace modra
