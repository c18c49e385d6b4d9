// The demo scene's marble: a picture made from value noise alone, so that
// the tool writes the same bytes on every machine and every run.
#pragma once

#include <cstdint>
#include <vector>

namespace modra {

// size x size RGB pixels, top row first, that repeat seamlessly in both
// directions (the floor tiles the picture). size must be a positive
// multiple of 32, the period of the finest noise lattice.
std::vector<uint8_t> MarblePixels(int size);

}  // namespace modra
