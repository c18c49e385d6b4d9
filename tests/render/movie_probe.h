// What a player's demuxer makes of a movie, through libavformat in the
// test's own process: the length it shows and the picture a seek lands on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace modra::movietest {

struct Demuxed {
  bool opened = false;
  std::string format;   // the demuxer libavformat chose
  double seconds = -1;  // the length a player shows; -1 when unknown
  int packets = 0;      // of the video stream, read from the start
};
Demuxed Demux(const std::string& path);

// Seeks to frame `frame` of a movie of `fps` frames a second as a player
// does: to the time of that frame from the movie's start, landing on the
// picture at or before it, then decoding on to the first picture shown at
// that time or later. That picture as RGB (3 bytes a pixel, rows packed),
// with its frame number from the start; empty when the seek fails or no
// picture comes.
struct SeekResult {
  std::vector<uint8_t> rgb;
  int width = 0, height = 0;
  int64_t frame = -1;
};
SeekResult SeekToFrame(const std::string& path, int frame, int fps = 30);

}  // namespace modra::movietest
