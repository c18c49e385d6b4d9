// What a join needs to know of the movies a render writes: an MPEG-1
// program stream (ISO 11172-1) carrying one MPEG-1 video stream, or, as
// renders wrote them before, that video stream alone. Gives the picture
// size and rate, whether every picture is intra-coded, the frame numbers
// the group time codes give, and each picture's coded bytes. Reads the
// bytes only, whatever they hold, with one picture in memory at a time,
// so movies of any length can be checked and copied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
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
};

// Frames a second of a sequence header's rate code 1..8, as num / den.
struct MpegFrameRate {
  int num = 30, den = 1;
};
MpegFrameRate FrameRateOfCode(int rateCode);

// Larger pictures are refused: no MPEG-1 picture of at most 4095 x 4095
// pixels codes to more.
inline constexpr size_t kMaxPictureBytes = size_t{128} << 20;

// One picture's coded bytes: the sequence and group headers before it,
// its header and its slices. Valid during the call. Returns empty, or what
// is wrong with the picture ("does not decode"), which stops the reading.
using MpegPictureSink = std::function<std::string(std::span<const uint8_t> picture)>;

// Reads `bytes` as a movie a render writes, handing each picture to
// `picture` (when given) as soon as it is complete; the closing sequence
// end code of the video is left out. Fills `info` and returns an empty
// string, or says what keeps the movie from being joined: it is neither
// kind of stream; it is truncated (the program stream is cut short or the
// video lacks the sequence end code a render closes it with: "is
// truncated after frame 40", naming the last picture that is there whole,
// by its frame number, or "picture 3" counting from 1 where the pictures
// are not numbered); the program stream is damaged or holds another
// stream than MPEG-1 video; the video does not start with a sequence
// header, changes its size or rate later, has a picture that is not
// intra-coded or too large, ends with headers but no picture or holds no
// picture; a picture does not match its check value (picture_check.h),
// lacks one where every picture must have one (in a program stream, or in
// a bare stream whose other pictures have one), or is refused by
// `picture` ("is damaged: frame 7 does not decode"). Pictures handed over
// before a problem was found stay handed over.
std::string ScanMpegMovie(std::span<const uint8_t> bytes, MpegStreamInfo* info,
                          const MpegPictureSink& picture = {});

// Whether `bytes` start as a movie ScanMpegMovie reads.
bool LooksLikeMpegMovie(std::span<const uint8_t> bytes);

}  // namespace modra
