// PNG pictures for the frames of a render, written with libpng: 8-bit RGB,
// no interlacing, libpng's default compression and row filters. Textures
// are read through png_decode.h.
#pragma once

#include <cstdint>
#include <string>

#include "io/output_file.h"

namespace modra {

// Writes width x height RGB pixels (3 bytes a pixel, rows packed, top row
// first) as a PNG file. The file is replaced only when all of it was
// written. 0, or -1 when the file cannot be made or written, a side is not
// positive or libpng refuses the size (it takes up to 1000000 a side).
int WritePng(const std::string& path, const uint8_t* rgb, int width, int height);
// The same into a file opened by the caller, who commits it.
int WritePng(OutputFile& out, const uint8_t* rgb, int width, int height);

}  // namespace modra
