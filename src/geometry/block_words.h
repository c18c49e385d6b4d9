// 32-bit words of a generator parameter block held as bytes, and the corner
// bits that profile blocks pack 32 to a word. Callers check the block's size
// before they read or write; these helpers only avoid unaligned, aliasing
// reads.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace modra {

inline int32_t BlockInt(const uint8_t* block, size_t word) {
  int32_t v;
  std::memcpy(&v, block + 4 * word, 4);
  return v;
}
inline float BlockFloat(const uint8_t* block, size_t word) {
  float v;
  std::memcpy(&v, block + 4 * word, 4);
  return v;
}
inline void SetBlockInt(uint8_t* block, size_t word, int32_t v) {
  std::memcpy(block + 4 * word, &v, 4);
}
inline void SetBlockFloat(uint8_t* block, size_t word, float v) {
  std::memcpy(block + 4 * word, &v, 4);
}

// Words that hold the corner bits of `points` points: one bit a point, and
// always one more word than whole words need (the stored layout).
inline size_t CornerWordCount(size_t points) {
  return points / 32 + 1;
}
// Bit (i mod 32) of word (i div 32) for each non-zero byte; the words start
// at `word` and must already be zero.
inline void PackCornerBits(uint8_t* block, size_t word, const uint8_t* corners, size_t points) {
  for (size_t w = 0; w < CornerWordCount(points); ++w)
    assert(BlockInt(block, word + w) == 0);
  for (size_t i = 0; i < points; ++i) {
    if (!corners[i]) continue;
    const size_t at = word + i / 32;
    SetBlockInt(
        block, at,
        static_cast<int32_t>(static_cast<uint32_t>(BlockInt(block, at)) | (1u << (i % 32))));
  }
}
inline bool CornerBit(const uint8_t* block, size_t word, size_t i) {
  return (static_cast<uint32_t>(BlockInt(block, word + i / 32)) >> (i % 32)) & 1u;
}

// A float count or step number from a block as an integer: truncated, and
// -1 when it is not a finite value that fits `limit`.
inline int64_t BlockCount(float v, int64_t limit) {
  if (!(v >= 0.0f) || v > static_cast<float>(limit)) return -1;
  return static_cast<int64_t>(v);
}

}  // namespace modra
