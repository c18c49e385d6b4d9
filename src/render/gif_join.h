// The GIF half of a movie join (movie_join.h).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace modra {

// Copies every picture of the GIF `parts` (their bytes, named in messages
// by `names`), in order, with its frame number, check value, graphics
// control (delay) and colour map, behind the screen and loop count of the
// first part, into `out` (through a temporary file, so a refusal leaves
// `out` as it was). Empty string, or what was wrong, naming the part:
// besides what does not fit the other parts, a part that ends before its
// trailer ("b.gif is truncated after frame 40", naming the last picture
// read whole), damage giflib finds while decoding every picture, frame
// numbers that do not run on one by one within the part or a picture
// without one among pictures with one, a picture that does not match its
// check value, a picture without one among pictures with one, and any
// extension a render does not write (damage may have made it of one that
// held a check value).
std::string JoinGifs(const std::string& out, const std::vector<std::string>& names,
                     const std::vector<std::span<const uint8_t>>& parts);

}  // namespace modra
