#include "render/render_image.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace modra {

void FlipRows(uint8_t* rgb, int width, int height) {
  const size_t row = static_cast<size_t>(width) * 3;
  std::vector<uint8_t> swap(row);
  for (int i = 0, j = height - 1; i < j; ++i, --j) {
    uint8_t* a = rgb + row * static_cast<size_t>(i);
    uint8_t* b = rgb + row * static_cast<size_t>(j);
    std::memcpy(swap.data(), a, row);
    std::memcpy(a, b, row);
    std::memcpy(b, swap.data(), row);
  }
}

void MapBytes(uint8_t* bytes, size_t count, const std::array<uint8_t, 256>& table) {
  for (size_t i = 0; i < count; ++i)
    bytes[i] = table[bytes[i]];
}

void AverageSamples(const std::vector<std::vector<uint8_t>>& samples, int count, size_t size,
                    uint8_t* out) {
  assert(static_cast<size_t>(std::max(count, 0)) <= samples.size());
  assert(std::all_of(samples.begin(), samples.begin() + std::max(count, 0),
                     [&](const std::vector<uint8_t>& sample) { return sample.size() >= size; }));
  if (count < 1) return;
  // Sums in 32-bit lanes, a block at a time, so the loop vectorises and
  // the sums stay in cache.
  constexpr size_t kBlock = 4096;
  uint32_t sum[kBlock];
  for (size_t at = 0; at < size; at += kBlock) {
    const size_t n = std::min(kBlock, size - at);
    std::fill_n(sum, n, 0u);
    for (int k = 0; k < count; ++k) {
      const uint8_t* s = samples[static_cast<size_t>(k)].data() + at;
      for (size_t i = 0; i < n; ++i)
        sum[i] += s[i];
    }
    const uint32_t c = static_cast<uint32_t>(count);
    for (size_t i = 0; i < n; ++i)
      out[at + i] = static_cast<uint8_t>(sum[i] / c);
  }
}

void ResampleRgb(const uint8_t* src, int sw, int sh, uint8_t* dst, int dw, int dh, bool flip) {
  if (sw < 1 || sh < 1 || dw < 1 || dh < 1) return;
  const size_t srcRow = static_cast<size_t>(sw) * 3;
  const bool bilinear = sw < dw && sh < dh;
  for (int y = 0; y < dh; ++y) {
    uint8_t* out = dst + static_cast<size_t>(flip ? dh - 1 - y : y) * dw * 3;
    if (!bilinear) {
      const int sy = static_cast<int>(static_cast<int64_t>(y) * sh / dh);
      const uint8_t* in = src + srcRow * static_cast<size_t>(sy);
      for (int x = 0; x < dw; ++x) {
        const int sx = static_cast<int>(static_cast<int64_t>(x) * sw / dw);
        std::memcpy(out + static_cast<size_t>(x) * 3, in + static_cast<size_t>(sx) * 3, 3);
      }
      continue;
    }
    // Pixel centres map onto pixel centres; the edges hold the border.
    const float fy = std::clamp((y + 0.5f) * sh / dh - 0.5f, 0.0f, static_cast<float>(sh - 1));
    const int y0 = static_cast<int>(fy);
    const int y1 = std::min(y0 + 1, sh - 1);
    const float wy = fy - static_cast<float>(y0);
    const uint8_t* r0 = src + srcRow * static_cast<size_t>(y0);
    const uint8_t* r1 = src + srcRow * static_cast<size_t>(y1);
    for (int x = 0; x < dw; ++x) {
      const float fx = std::clamp((x + 0.5f) * sw / dw - 0.5f, 0.0f, static_cast<float>(sw - 1));
      const int x0 = static_cast<int>(fx);
      const int x1 = std::min(x0 + 1, sw - 1);
      const float wx = fx - static_cast<float>(x0);
      for (int c = 0; c < 3; ++c) {
        const float top = r0[x0 * 3 + c] + (r0[x1 * 3 + c] - r0[x0 * 3 + c]) * wx;
        const float bottom = r1[x0 * 3 + c] + (r1[x1 * 3 + c] - r1[x0 * 3 + c]) * wx;
        out[x * 3 + c] = static_cast<uint8_t>(top + (bottom - top) * wy + 0.5f);
      }
    }
  }
}

}  // namespace modra
