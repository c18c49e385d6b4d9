// Any file as the composite movie: the reader opens it or refuses it, and
// every picture it gives has the size it states, before and after a
// rewind.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "render/movie_reader.h"

extern "C" {
#include <libavutil/log.h>
}

namespace {

const std::string& MoviePath() {
  static const std::string path = [] {
    char name[] = "/tmp/fuzz-movie-reader-XXXXXX";
    if (!mkdtemp(name)) __builtin_trap();
    return std::string(name) + "/movie.mpg";
  }();
  return path;
}

// Reads up to `most` pictures, touching every byte of each.
int ReadPictures(modra::MovieReader& reader, int most) {
  const size_t size = static_cast<size_t>(reader.Width()) * reader.Height() * 3;
  int count = 0;
  unsigned sum = 0;
  for (; count < most; ++count) {
    const uint8_t* picture = reader.NextFrame();
    if (!picture) break;
    for (size_t i = 0; i < size; ++i)
      sum += picture[i];
  }
  if (sum == 1u << 31) __builtin_trap();  // keeps the reads
  return count;
}

}  // namespace

// libavcodec's notes on every damaged input would slow the fuzzer down.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  av_log_set_level(AV_LOG_QUIET);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    std::ofstream out(MoviePath(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  modra::MovieReader reader;
  if (reader.Open(MoviePath()) != 0) {
    if (reader.IsOpen() || reader.Width() != 0 || reader.Problem().empty()) __builtin_trap();
    return 0;
  }
  const int64_t pixels = int64_t{reader.Width()} * reader.Height();
  if (reader.Width() < 1 || reader.Height() < 1 || pixels > modra::MovieReader::kMaxPixels)
    __builtin_trap();
  const int first = ReadPictures(reader, 16);
  if (reader.Rewind() != 0) return 0;
  if (ReadPictures(reader, 16) != first) __builtin_trap();
  reader.Close();
  if (reader.NextFrame() || reader.IsOpen()) __builtin_trap();
  return 0;
}
