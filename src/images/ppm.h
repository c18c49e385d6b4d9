// Binary PPM ("P6") pictures: reading them, and the header that rendered
// frame files start with. Pixels are 8-bit RGB, three bytes a pixel, rows
// packed, top row first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace modra {

enum class PpmStatus {
  kOk,
  kWrongType,    // the first line is not "P6"
  kShortHeader,  // the lines ran out before width, height and maximum value
  kBadHeader,    // a size that is not positive or too big to count, or a
                 // maximum value outside 1..255 (two-byte samples)
};

struct PpmHeader {
  int width = 0, height = 0, maxValue = 0;
  size_t dataOffset = 0;  // where the pixels start
};

// Reads the header of a PPM file held in memory line by line, as the
// program always has: the first line (at most 100 characters, like every
// line) must scan as "P%d" giving 6; then each following line is scanned
// for up to three decimal numbers until width, height and maximum value
// are collected, so that lines without a number (comments) are passed
// over. Numbers after "P6" on the first line count too. The pixels start
// right after the line that completed the three.
PpmStatus ParsePpmHeader(const uint8_t* data, size_t size, PpmHeader* header);

// The pixels of a whole PPM file held in memory, or nullptr when the
// header is bad or the file holds fewer than width x height x 3 bytes
// after it (then *width and *height are left alone).
std::unique_ptr<uint8_t[]> ReadPpmMemory(const uint8_t* data, size_t size, int* width, int* height);
// The same for a file; when it cannot be opened, "Can't open <path> for
// read" goes to the error stream.
std::unique_ptr<uint8_t[]> ReadPpm(const std::string& path, int* width, int* height);

// "P6\n<width> <height>\n255\n": what a rendered PPM frame starts with.
std::string PpmFrameHeader(int width, int height);

}  // namespace modra
