// Reads a movie frame by frame as RGB pictures, through libavformat and
// libavcodec: the background of a composited render, and the way tests
// look at the movies the render writes. Any file libavformat recognises
// with a video stream will do; an MPEG-1 stream is what the render makes.
//
// A damaged file ends early rather than failing: the frames decoded before
// the damage are given, then NextFrame returns nullptr.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace modra {

class MovieReader {
 public:
  MovieReader();
  MovieReader(const MovieReader&) = delete;
  MovieReader& operator=(const MovieReader&) = delete;
  ~MovieReader();

  // Pictures with more pixels than this are refused at Open: the size comes
  // from the file.
  static constexpr int64_t kMaxPixels = int64_t{1} << 26;

  // Opens the first video stream of `path`. Returns 0, or -1 when the file
  // cannot be read or is not a regular file (a FIFO is refused at once,
  // never waited on), holds no video stream libavcodec can decode, or
  // states a size below 1 or above kMaxPixels (then nothing stays open and
  // Problem() says why).
  int Open(const std::string& path);
  // Why the last Open or Rewind failed: the system's reason (strerror),
  // libavformat's, or what the file holds instead of a movie.
  const std::string& Problem() const;
  // The movie's picture size (0 when nothing is open).
  int Width() const;
  int Height() const;
  // The next picture as Width() x Height() RGB pixels (3 bytes a pixel,
  // rows packed, top row first), owned by the reader and valid until the
  // next call; nullptr at the end of the movie, on damage it cannot
  // decode past, or when nothing is open. A picture whose size differs
  // from the first is scaled to Width() x Height().
  const uint8_t* NextFrame();
  // Starts again from the first picture. Returns 0, or -1 when the file
  // can no longer be opened (then the reader is closed).
  int Rewind();
  void Close();
  bool IsOpen() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace modra
