#include "images/ppm.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

#include "io/file_bytes.h"

namespace modra {

namespace {

// The program has always read PPM headers with fixed 100-character line
// buffers; a longer line continues as the next one.
constexpr size_t kMaxLine = 100;

struct Line {
  const char* text;
  size_t length;
};

bool NextLine(const uint8_t* data, size_t size, size_t* at, Line* line) {
  if (*at >= size) return false;
  const char* text = reinterpret_cast<const char*>(data + *at);
  size_t length = 0;
  const size_t limit = std::min(kMaxLine, size - *at);
  while (length < limit && text[length++] != '\n') {
  }
  *line = {text, length};
  *at += length;
  return true;
}

bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// Scans up to `wanted` whitespace-separated decimal numbers from the start
// of the line, stopping at the first thing that is not one, like "%d %d
// %d". false when a number does not fit an int.
bool ScanNumbers(Line line, int wanted, int* values, int* found) {
  size_t i = 0;
  *found = 0;
  while (*found < wanted) {
    while (i < line.length && IsSpace(line.text[i]))
      ++i;
    bool negative = false;
    if (i < line.length && (line.text[i] == '-' || line.text[i] == '+'))
      negative = line.text[i++] == '-';
    if (i >= line.length || line.text[i] < '0' || line.text[i] > '9') return true;
    long long value = 0;
    while (i < line.length && line.text[i] >= '0' && line.text[i] <= '9') {
      value = value * 10 + (line.text[i++] - '0');
      if (value > INT_MAX) return false;
    }
    values[(*found)++] = static_cast<int>(negative ? -value : value);
  }
  return true;
}

}  // namespace

PpmStatus ParsePpmHeader(const uint8_t* data, size_t size, PpmHeader* header) {
  size_t at = 0;
  Line line;
  if (!data || !NextLine(data, size, &at, &line)) return PpmStatus::kShortHeader;
  int numbers[4] = {}, found = 0;
  if (line.length < 1 || line.text[0] != 'P') return PpmStatus::kWrongType;
  if (!ScanNumbers({line.text + 1, line.length - 1}, 4, numbers, &found) || found < 1 ||
      numbers[0] != 6)
    return PpmStatus::kWrongType;

  // Some writers put the whole header on the first line; numbers after
  // the magic number count towards the three.
  int values[3] = {numbers[1], numbers[2], numbers[3]};
  int have = found - 1;
  while (have < 3) {
    if (!NextLine(data, size, &at, &line)) return PpmStatus::kShortHeader;
    if (!ScanNumbers(line, 3 - have, values + have, &found)) return PpmStatus::kBadHeader;
    have += found;
  }
  header->width = values[0];
  header->height = values[1];
  header->maxValue = values[2];
  header->dataOffset = at;
  if (header->width <= 0 || header->height <= 0) return PpmStatus::kBadHeader;
  if (header->maxValue < 1 || header->maxValue > 255) return PpmStatus::kBadHeader;
  return PpmStatus::kOk;
}

std::unique_ptr<uint8_t[]> ReadPpmMemory(const uint8_t* data, size_t size, int* width,
                                         int* height) {
  PpmHeader header;
  if (ParsePpmHeader(data, size, &header) != PpmStatus::kOk) return nullptr;
  // Checked before allocating, so a header claiming a huge picture costs
  // nothing.
  const size_t available = size - header.dataOffset;
  const uint64_t bytes =
      uint64_t{static_cast<uint32_t>(header.width)} * static_cast<uint32_t>(header.height) * 3;
  if (bytes > available) return nullptr;
  std::unique_ptr<uint8_t[]> rgb(new (std::nothrow) uint8_t[bytes]);
  if (!rgb) return nullptr;
  std::memcpy(rgb.get(), data + header.dataOffset, bytes);
  *width = header.width;
  *height = header.height;
  return rgb;
}

std::unique_ptr<uint8_t[]> ReadPpm(const std::string& path, int* width, int* height) {
  FileBytes file;
  const int status = ReadWholeFile(path, file);
  if (status == kFileCannotOpen)
    std::fputs(WithUnreadableReason("Can't open " + path + " for read\n", path).c_str(), stderr);
  if (status != 0) return nullptr;
  return ReadPpmMemory(file.data.get(), file.size, width, height);
}

std::string PpmFrameHeader(int width, int height) {
  char header[40];
  std::snprintf(header, sizeof header, "P6\n%d %d\n255\n", width, height);
  return header;
}

}  // namespace modra
