#include "images/png_decode.h"

#include <stb_image.h>

#include <climits>
#include <cstring>
#include <memory>

namespace modra {

namespace {

bool DecodePng(std::span<const uint8_t> bytes, int64_t maxPixels, bool bottomUp,
               std::vector<uint8_t>& rgb, int& width, int& height) {
  rgb.clear();
  constexpr uint8_t kSignature[] = {0x89, 'P', 'N', 'G'};
  if (bytes.size() < 4 || bytes.size() > INT_MAX ||
      std::memcmp(bytes.data(), kSignature, sizeof kSignature) != 0)
    return false;
  const int size = static_cast<int>(bytes.size());
  int w = 0, h = 0, channels = 0;
  if (!stbi_info_from_memory(bytes.data(), size, &w, &h, &channels) || w <= 0 || h <= 0 ||
      int64_t{w} * h > maxPixels)
    return false;
  const std::unique_ptr<stbi_uc, void (*)(void*)> top(
      stbi_load_from_memory(bytes.data(), size, &w, &h, &channels, 3), stbi_image_free);
  if (!top) return false;
  const size_t row = static_cast<size_t>(w) * 3, rows = static_cast<size_t>(h);
  rgb.resize(row * rows);
  for (size_t y = 0; y < rows; ++y)
    std::memcpy(rgb.data() + (bottomUp ? rows - 1 - y : y) * row, top.get() + y * row, row);
  width = w;
  height = h;
  return true;
}

}  // namespace

bool DecodePngBottomUp(std::span<const uint8_t> bytes, int64_t maxPixels, std::vector<uint8_t>& rgb,
                       int& width, int& height) {
  return DecodePng(bytes, maxPixels, true, rgb, width, height);
}

bool DecodePngTopDown(std::span<const uint8_t> bytes, int64_t maxPixels, std::vector<uint8_t>& rgb,
                      int& width, int& height) {
  return DecodePng(bytes, maxPixels, false, rgb, width, height);
}

}  // namespace modra
