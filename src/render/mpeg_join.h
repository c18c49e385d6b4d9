// The MPEG-1 half of a movie join (movie_join.h).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace modra {

// Copies every picture of the MPEG-1 `parts` (their bytes, named in
// messages by `names`), in order, into one program stream at `out` with
// the times of the whole movie (through a temporary file, so a refusal
// leaves `out` as it was). Every part is proven whole before anything is
// written: it must read as ScanMpegMovie reads a render's movie (which
// includes the sequence end code a render closes it with and the check
// value of every picture) and every picture must decode to the part's
// size. Empty string, or what was wrong, naming the part ("b.mpg is
// truncated after frame 40"): also parts of other sizes or rates, and a
// gap or an overlap in their frame numbers.
std::string JoinMpegs(const std::string& out, const std::vector<std::string>& names,
                      const std::vector<std::span<const uint8_t>>& parts);

}  // namespace modra
