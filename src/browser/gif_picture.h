// The first picture of a GIF file, for its thumbnail.
#pragma once

#include <cstddef>
#include <cstdint>

#include "browser/thumbnail_cache.h"

namespace modra {

// The first picture of the GIF held in `bytes`, drawn on its logical screen
// (the background colour where the picture does not cover it or is
// transparent), into `out`. false when giflib refuses the file, it holds no
// picture, or the screen has more than `maxPixels` pixels.
bool DecodeGifFirstPicture(const uint8_t* bytes, size_t size, Thumbnail& out,
                           int64_t maxPixels = int64_t{1} << 26);

}  // namespace modra
