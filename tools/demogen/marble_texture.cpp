#include "marble_texture.h"

#include <cassert>
#include <cstddef>

namespace modra {

namespace {

// note: only integer hashing and float +, -, * and / below: no library
// maths, whose last bits may differ between C libraries, so the picture is
// the same everywhere.

float LatticeValue(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
  h ^= h >> 13;
  h *= 0x85ebca6bu;
  h ^= h >> 16;
  return static_cast<float>(h >> 8) / 16777216.0f;  // 0..1
}

float Smooth(float t) {
  return t * t * (3.0f - 2.0f * t);
}

// Value noise over a lattice of `cells` x `cells` cells spread across the
// unit square; the lattice wraps, so the noise tiles.
float TiledNoise(float u, float v, uint32_t cells, uint32_t seed) {
  const float x = u * static_cast<float>(cells);
  const float y = v * static_cast<float>(cells);
  const uint32_t x0 = static_cast<uint32_t>(x), y0 = static_cast<uint32_t>(y);
  const float fx = Smooth(x - static_cast<float>(x0));
  const float fy = Smooth(y - static_cast<float>(y0));
  const uint32_t x1 = (x0 + 1) % cells, y1 = (y0 + 1) % cells;
  const float a = LatticeValue(x0 % cells, y0 % cells, seed);
  const float b = LatticeValue(x1, y0 % cells, seed);
  const float c = LatticeValue(x0 % cells, y1, seed);
  const float d = LatticeValue(x1, y1, seed);
  const float top = a + (b - a) * fx;
  const float bottom = c + (d - c) * fx;
  return top + (bottom - top) * fy;
}

// Four octaves, 4 to 32 cells, summed to 0..1.
float Turbulence(float u, float v, uint32_t seed) {
  float sum = 0, amplitude = 1, total = 0;
  for (uint32_t cells = 4; cells <= 32; cells *= 2) {
    sum += amplitude * TiledNoise(u, v, cells, seed + cells);
    total += amplitude;
    amplitude *= 0.5f;
  }
  return sum / total;
}

// 1 on the integers, 0 halfway between: a vein wherever the phase is whole.
float Band(float phase) {
  float f = phase - static_cast<float>(static_cast<int>(phase));
  if (f < 0) f += 1;
  const float t = 2.0f * f - 1.0f;
  return t < 0 ? -t : t;
}

float Sharpen(float band, int squarings) {
  for (int i = 0; i < squarings; ++i)
    band *= band;
  return band;
}

uint8_t ToByte(float value) {
  if (value < 0) value = 0;
  if (value > 255) value = 255;
  return static_cast<uint8_t>(value + 0.5f);
}

}  // namespace

std::vector<uint8_t> MarblePixels(int size) {
  assert(size > 0 && size % 32 == 0);
  std::vector<uint8_t> rgb(static_cast<size_t>(size) * size * 3);
  const float base[3] = {238, 234, 226};
  const float vein[3] = {92, 98, 114};
  const float fine[3] = {176, 172, 168};
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const float u = static_cast<float>(x) / static_cast<float>(size);
      const float v = static_cast<float>(y) / static_cast<float>(size);
      // Whole-number slopes keep the veins continuous across the edges.
      const float main = Sharpen(Band(2 * u + v + 1.3f * Turbulence(u, v, 11)), 3);
      const float thin = Sharpen(Band(3 * u - 2 * v + 1.2f * Turbulence(u, v, 97)), 5);
      const float cloud = 1.0f - 0.1f * Turbulence(u, v, 523);
      uint8_t* out = &rgb[(static_cast<size_t>(y) * size + x) * 3];
      for (int c = 0; c < 3; ++c) {
        float value = base[c] * cloud;
        value += (fine[c] - value) * 0.6f * thin;
        value += (vein[c] - value) * 0.85f * main;
        out[c] = ToByte(value);
      }
    }
  }
  return rgb;
}

}  // namespace modra
