// The animated GIF writer of a render: one picture per frame, each with a
// 256-colour local colour map made by giflib's quantiser, a graphics
// control extension giving its delay, and the Netscape looping extension
// after the screen descriptor so that the movie loops for ever.
//
// The file goes to a temporary name beside the target and replaces it at
// Finish, so a render that wrote no frame leaves the previous file alone.
//
// note: giflib's quantiser keeps its sort axis in a static variable; write
// GIFs from one thread at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace modra {

class GifMovieWriter {
 public:
  GifMovieWriter();
  GifMovieWriter(const GifMovieWriter&) = delete;
  GifMovieWriter& operator=(const GifMovieWriter&) = delete;
  // Finishes a file still open.
  ~GifMovieWriter();

  // GIF sizes are 16-bit; the work buffers take 4 bytes a pixel, so the
  // area is bounded too (a 4096 x 4096 render needs a quarter of it).
  static constexpr int kMaxSide = 65535;
  static constexpr int64_t kMaxPixels = int64_t{1} << 26;
  // Hundredths of a second between the pictures of a render.
  static constexpr int kFrameDelay = 10;

  // Opens `path` for a width x height movie and writes the screen
  // descriptor (colour resolution 8, background 0, no global colour map)
  // and the looping extension with loop count 0. Returns 0, or -1 for a
  // side below 1 or above kMaxSide, more than kMaxPixels, or a file that
  // cannot be created.
  int Create(const std::string& path, int width, int height);
  // From now on each picture carries its frame number, counting from
  // `first`, and its check value in an application extension
  // (picture_check.h) that players pass over: the parts of a split render
  // then tell a join where they belong and whether they came through whole.
  void NumberFrames(int first);
  // Adds a picture of the Create size (RGB, 3 bytes a pixel, rows packed,
  // top row first) shown for `delay` hundredths of a second (0..65535).
  // Returns 0, or -1 when nothing is open, the arguments are bad or a step
  // fails; a failed step ends the file as Finish does, keeping the frames
  // written before it.
  int AddFrame(const uint8_t* rgb, int delay = kFrameDelay);
  // Writes the trailer and puts the file in place. Returns 0, or -1 when
  // nothing was open, no frame was added (the file is then discarded), or
  // the file could not be completed.
  int Finish();

  bool IsOpen() const;
  int FramesWritten() const;
  // The file's path and, when the last Create or Finish failed for the
  // file's sake, why: "<path>: <reason>" (output_file.h).
  const std::string& Error() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace modra
