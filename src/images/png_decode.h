// PNG pictures read for textures and browser thumbnails, through stb_image
// (the glTF library brings it): RGB, bottom row first as the texture table
// keeps pictures, or top row first as thumbnails are.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace modra {

// Decodes `bytes` into `rgb` (width x height x 3). false, with `rgb`
// empty, for bytes that are no PNG stb can decode or a picture of more
// than `maxPixels`, which is refused from its header before anything is
// allocated.
bool DecodePngBottomUp(std::span<const uint8_t> bytes, int64_t maxPixels, std::vector<uint8_t>& rgb,
                       int& width, int& height);
bool DecodePngTopDown(std::span<const uint8_t> bytes, int64_t maxPixels, std::vector<uint8_t>& rgb,
                      int& width, int& height);

}  // namespace modra
