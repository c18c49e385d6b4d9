// Where finished frames go: one MPEG-1 or MP4 movie, one animated GIF, or
// one JPEG, BMP, PPM or PNG file per frame. The render hands every frame here after
// reduction, flip, gamma and blur; failures are told through the shell
// with the render's own messages, and files already written stay.
#pragma once

#include <cstdint>
#include <string>

#include "document/shell.h"
#include "images/jpeg.h"
#include "render/gif_movie_writer.h"
#include "render/mp4_writer.h"
#include "render/mpeg_writer.h"
#include "render/render_settings.h"

namespace modra {

class FrameOutput {
 public:
  FrameOutput(int format, std::string outputName, Shell& shell)
      : format_(format), outputName_(std::move(outputName)), shell_(&shell) {}

  // For the movie formats: opens the movie for `frameCount` frames ("No
  // frames to render" below 1, "Bummer, can't create movie: <path>:
  // <reason>" when it cannot be made). Other formats have nothing to open here. `firstFrame` counts
  // from the first frame of the whole render, for a movie or GIF that is
  // one part of it: their pictures carry these numbers.
  bool Open(int frameCount, int firstFrame = 0);
  // For the GIF format: creates the file with its screen of width x height
  // (a failure is told as "Can't write entire file: <path>: <reason>").
  // Others: true.
  bool Begin(int width, int height);
  // Writes one frame. Frame files are named after the output name and
  // `frame` (FrameFileName), or take the output name itself with
  // `exactName`. A file that cannot be made is told as "Can't open output
  // file <path> for write: <reason>\n", one not written whole as "Can't
  // write entire file: <path>: <reason>".
  bool Write(const uint8_t* rgb, int width, int height, int frame, bool exactName);
  // Ends the movie or GIF with the frames written so far and puts it in
  // place. false, after "Can't write entire file: <path>: <reason>", when
  // frames were written but the file could not be completed. Safe to call
  // more than once.
  bool Finish();

  int FramesWritten() const { return written_; }

 private:
  bool WriteFile(const std::string& name, const uint8_t* rgb, int width, int height);
  bool Fail(const std::string& message);

  int format_;
  std::string outputName_;
  Shell* shell_;
  MpegWriter mpeg_;
  Mp4Writer mp4_;
  GifMovieWriter gif_;
  int gifWidth_ = 0, gifHeight_ = 0;
  int firstFrame_ = 0;
  JpegImage jpeg_;
  int written_ = 0;
};

}  // namespace modra
