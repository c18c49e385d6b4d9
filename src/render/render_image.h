// Pixel work between the read-back and the writers, on packed 8-bit RGB
// pictures (three bytes a pixel, rows without padding): flipping rows,
// mapping bytes through a table, averaging motion-blur samples, and
// resampling a movie frame to the drawing area.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace modra {

// Swaps row i with row height - 1 - i: OpenGL reads the bottom row first.
void FlipRows(uint8_t* rgb, int width, int height);

// Replaces every byte by table[byte].
void MapBytes(uint8_t* bytes, size_t count, const std::array<uint8_t, 256>& table);

// out[i] = the integer average (truncated) of samples[0..count-1][i], for
// `size` bytes each.
void AverageSamples(const std::vector<std::vector<uint8_t>>& samples, int count, size_t size,
                    uint8_t* out);

// Resamples a sw x sh picture to dw x dh: bilinear when the source is
// smaller than the destination in both directions (a small movie under a
// big render), the nearest source pixel otherwise. With `flip` the
// destination's first row is the source's last, so that a top-row-first
// picture comes out bottom-row-first for glDrawPixels.
void ResampleRgb(const uint8_t* src, int sw, int sh, uint8_t* dst, int dw, int dh, bool flip);

}  // namespace modra
