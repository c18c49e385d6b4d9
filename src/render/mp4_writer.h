// The MP4 movie writer of a render: RGB frames in, an MP4 file out, coded
// with H.264 where libavcodec has an encoder for it (libx264 on Debian) and
// with MPEG-4 part 2 otherwise, as yuv420p at 30 frames per second like the
// MPEG-1 movies. There are no B frames, so every picture is stored in the
// order it is shown, and a key frame starts the movie and comes at least
// every second (x264 adds one where the picture changes completely).
//
// yuv420p keeps one colour sample per 2 x 2 pixels and the encoders take
// even sides only: an odd width or height is made even by repeating the
// last column or row, so a 33 x 17 render makes a 34 x 18 movie whose
// extra pixels match their neighbours.
//
// The movie goes to a temporary file beside the target and replaces it at
// Finish (mp4_muxer.h), and carries the number of its first frame, so that
// the parts of a split render can be joined.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace modra {

// Which encoder a movie gets: the best there is, or MPEG-4 part 2, which
// older players and devices take where H.264 is missing or too costly.
enum class Mp4Codec { kBest, kMpeg4 };

class Mp4Writer {
 public:
  explicit Mp4Writer(Mp4Codec codec = Mp4Codec::kBest);
  Mp4Writer(const Mp4Writer&) = delete;
  Mp4Writer& operator=(const Mp4Writer&) = delete;
  // Finishes a movie still open.
  ~Mp4Writer();

  // Largest picture side, even, that both encoders take.
  static constexpr int kMaxSide = 8190;

  // Starts a movie of `frameCount` frames at `path`, whose first picture
  // is frame `firstFrame` of the render. Returns 0, or -1 when frameCount
  // is below 1 or firstFrame below 0, or the file cannot be created. The
  // picture size is fixed by the first frame.
  int Open(const std::string& path, int frameCount, int firstFrame = 0);
  // Encodes width x height RGB pixels (3 bytes a pixel, rows packed, top
  // row first). A later frame of another size is scaled to the first's.
  // Returns 0, or -1 when no movie is open, a side is below 1 or above
  // kMaxSide, or no encoder opens or coding or writing fails.
  int AddFrame(const uint8_t* rgb, int width, int height);
  // Drains the encoder, writes the index and puts the file in place.
  // Returns 0, or -1 when nothing was open, no frame was written (the
  // movie is then discarded) or the file could not be completed. The
  // writer can then be opened again.
  int Finish();

  bool IsOpen() const;
  int FramesWritten() const;
  // The movie's path and, when the last Open, AddFrame or Finish failed,
  // why: "<path>: <reason>".
  const std::string& Error() const;
  // The movie's picture size, each side the frame's made even.
  int Width() const;
  int Height() const;
  // The encoder in use ("libx264", "mpeg4"), empty before the first frame.
  std::string EncoderName() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace modra
