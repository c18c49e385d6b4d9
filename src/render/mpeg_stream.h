// What a join needs to know of an MPEG-1 video elementary stream (the
// movies a render writes): its picture size and rate, whether every
// picture is intra-coded, the frame numbers its group time codes give,
// and where its closing sequence end code starts. Reads the bytes only,
// whatever they hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace modra {

struct MpegStreamInfo {
  int width = 0, height = 0;
  int rateCode = 0;  // the sequence header's frame rate code, 1..8
  int pictures = 0;
  // The frame numbers of the first and last picture, from the time code of
  // the group each picture belongs to plus its temporal reference; only
  // when `numbered` (every picture has a group before it, and the numbers
  // run on one by one).
  bool numbered = false;
  int firstFrame = 0, lastFrame = -1;
  size_t end = 0;  // the stream without its closing sequence end code
};

// Fills `info` and returns an empty string, or says what keeps the stream
// from being joined: it does not start with a sequence header, a later
// sequence header changes the size or rate, a picture is not intra-coded,
// or it holds no picture.
std::string ScanMpegStream(std::span<const uint8_t> bytes, MpegStreamInfo* info);

}  // namespace modra
