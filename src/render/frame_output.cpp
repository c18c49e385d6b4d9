#include "render/frame_output.h"

#include "images/bmp.h"
#include "images/png.h"
#include "images/ppm.h"
#include "io/output_file.h"

namespace modra {

namespace {

constexpr char kCantWrite[] = "Can't write entire file";

// The render's message for a file it could not complete, then the file
// and why ("<path>: <reason>").
std::string CantWrite(const std::string& error) {
  return std::string(kCantWrite) + ": " + error;
}

}  // namespace

bool FrameOutput::Fail(const std::string& message) {
  shell_->Message(message);
  return false;
}

bool FrameOutput::Open(int frameCount, int firstFrame) {
  firstFrame_ = firstFrame;
  if (format_ != kRenderMpeg && format_ != kRenderMp4) return true;
  if (frameCount < 1) return Fail("No frames to render");
  if (format_ == kRenderMp4) {
    if (mp4_.Open(outputName_, frameCount, firstFrame) != 0)
      return Fail("Bummer, can't create movie: " + mp4_.Error());
    return true;
  }
  if (mpeg_.Open(outputName_, frameCount, firstFrame) != 0)
    return Fail("Bummer, can't create movie: " + mpeg_.Error());
  return true;
}

bool FrameOutput::Begin(int width, int height) {
  if (format_ != kRenderGif || gif_.IsOpen()) return true;
  if (gif_.Create(outputName_, width, height) != 0) return Fail(CantWrite(gif_.Error()));
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
        ok = Fail(CantWrite(mpeg_.Error()));
      }
      break;
    case kRenderMp4:
      if (mp4_.AddFrame(rgb, width, height) != 0) {
        shell_->Message("Bummer making movie");
        ok = Fail(CantWrite(mp4_.Error()));
      }
      break;
    case kRenderGif:
      // Every image covers the whole screen: a picture of another size
      // (the drawing area was resized) cannot be one of its frames.
      if (width != gifWidth_ || height != gifHeight_ ||
          gif_.AddFrame(rgb, GifMovieWriter::kFrameDelay) != 0) {
        // A GIF that lost a frame is ended at once with what it holds.
        gif_.Finish();
        ok = Fail(CantWrite(gif_.Error()));
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
  const uint8_t* jpeg = nullptr;
  if (format_ == kRenderJpeg && !(jpeg = jpeg_.EncodeMemory(rgb, width, height)))
    return Fail(CantWrite(name));
  // Frame files are written beside their final name and renamed into
  // place, so a frame that fails half-way never replaces an older file.
  OutputFile file;
  if (!file.Open(name))
    return Fail("Can't open output file " + name + " for write: " + file.reason() + "\n");
  bool written = true;
  switch (format_) {
    case kRenderJpeg:
      written = file.Write(jpeg, jpeg_.CompressedSize());
      break;
    case kRenderBmp:
      written = WriteBmp(file, rgb, width, height) == 0;
      break;
    case kRenderPng:
      written = WritePng(file, rgb, width, height) == 0;
      break;
    default:
      file.Write(PpmFrameHeader(width, height));
      written = file.Write(rgb, static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
      break;
  }
  return (written && file.Commit()) || Fail(CantWrite(file.error()));
}

bool FrameOutput::Finish() {
  // A movie or GIF reaches its name only here: a disk that filled up
  // shows now, and must not pass for a finished render. One that never
  // got a frame is dropped without a word, as a render stopped at once.
  if (mpeg_.IsOpen()) {
    const bool any = mpeg_.FramesWritten() > 0;
    if (mpeg_.Finish() != 0 && any) return Fail(CantWrite(mpeg_.Error()));
  }
  if (mp4_.IsOpen()) {
    const bool any = mp4_.FramesWritten() > 0;
    if (mp4_.Finish() != 0 && any) return Fail(CantWrite(mp4_.Error()));
  }
  if (gif_.IsOpen()) {
    const bool any = gif_.FramesWritten() > 0;
    if (gif_.Finish() != 0 && any) return Fail(CantWrite(gif_.Error()));
  }
  return true;
}

}  // namespace modra
