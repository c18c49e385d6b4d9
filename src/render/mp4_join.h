// The MP4 half of a movie join (movie_join.h).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace modra {

// Copies the coded pictures of the MP4 `parts` (their bytes, named in
// messages by `names`), in order and unchanged, into one MP4 movie at
// `out`, their times moved on so that each part's frames follow the last
// part's (through a temporary file, so a refusal leaves `out` as it was).
// Every part is proven whole before anything is written: one video stream
// coded with H.264 or MPEG-4 part 2 as a render codes it, the number of
// its first frame in the render (mp4_muxer.h), a key frame first, as many
// pictures as its index lists, each decoding to the part's size. Empty
// string, or what was wrong, naming the part: also parts of another codec,
// size, rate or encoder settings than the first, and a gap or an overlap
// in their frame numbers.
std::string JoinMp4s(const std::string& out, const std::vector<std::string>& names,
                     const std::vector<std::span<const uint8_t>>& parts);

}  // namespace modra
