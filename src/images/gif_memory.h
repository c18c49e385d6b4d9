// giflib reading a GIF from bytes in memory, and a reader handle that is
// closed however the reading ends.
#pragma once

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

namespace modra {

// The bytes giflib reads, and how far it has read.
struct GifMemory {
  std::span<const uint8_t> bytes;
  size_t at = 0;
};

// giflib's input function for a GifMemory given to DGifOpen as user data.
inline int ReadGifMemory(GifFileType* gif, GifByteType* out, int count) {
  auto* source = static_cast<GifMemory*>(gif->UserData);
  const size_t n =
      std::min(static_cast<size_t>(std::max(count, 0)), source->bytes.size() - source->at);
  if (n > 0) std::memcpy(out, source->bytes.data() + source->at, n);
  source->at += n;
  return static_cast<int>(n);
}

struct GifIn {
  GifFileType* gif = nullptr;
  GifIn() = default;
  GifIn(const GifIn&) = delete;
  GifIn& operator=(const GifIn&) = delete;
  ~GifIn() {
    if (gif) DGifCloseFile(gif, nullptr);
  }
};

}  // namespace modra
