// The GIF half of a movie join (movie_join.h).
#pragma once

#include <string>
#include <vector>

namespace modra {

// Copies every picture of the GIF `parts`, in order, with its graphics
// control (delay) and its colour map, behind the screen and loop count of
// the first part, into `out` (through a temporary file). Empty string, or
// what was wrong, naming the part.
std::string JoinGifs(const std::string& out, const std::vector<std::string>& parts);

}  // namespace modra
