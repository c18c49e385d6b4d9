// Thumbnails of the pictures in a folder, as the texture browser shows
// them: at most 150 pixels on the longer side, made once and then taken
// from the thumbnail cache while the file stays as it was.
#pragma once

#include <string>

#include "browser/thumbnail_cache.h"
#include "document/shell.h"

namespace modra {

inline constexpr int kThumbnailSide = 150;

// The thumbnail size of a w x h picture (150 on the longer side; 600x300 ->
// 150x75, 300x600 -> 75x150, never below 1).
struct ThumbSize {
  int width, height;
};
ThumbSize ThumbnailSize(int width, int height);

// `picture` scaled to `width` x `height` by averaging the source pixels
// each thumbnail pixel covers (the nearest one when it covers less than
// one).
Thumbnail ScalePicture(const Thumbnail& picture, int width, int height);

// Whether the decoder for `name` is known by its last four characters
// (".jpg" ".JPG" ".bmp" ".BMP" ".ppm" ".PPM" ".gif" ".GIF"), and the
// whole-size picture the file holds: false when no decoder is known for
// it or the decoder refuses the file.
bool IsPictureName(const std::string& name);
bool DecodePicture(const std::string& name, Thumbnail& out);
// The same for making a thumbnail: a JPEG may come out smaller, down to a
// longer side of kThumbnailSide, which saves most of its decoding; `size`
// is the thumbnail size of the picture the file holds.
bool DecodeForThumbnail(const std::string& name, Thumbnail& out, ThumbSize& size);

enum class ThumbnailSource {
  kCached,      // the cache held it
  kMade,        // decoded and scaled now (and stored when the cache allows)
  kNotDecoded,  // the file gives no picture
};

// LookupThumbnail, else decode the file by its ending, scale it to
// ThumbnailSize and store it. The cache is opened first when it is not
// (at the path it was last opened with, else DefaultThumbnailCachePath);
// a thumbnail is made even when the cache cannot be opened or written.
// Messages about a damaged cache go to `shell`, never under a lock.
// Several threads may call it at once on one cache.
ThumbnailSource FetchThumbnail(ThumbnailCache& cache, const std::string& name, Thumbnail& out,
                               Shell& shell);
// The same; false when the file gives no picture.
bool GetThumbnail(ThumbnailCache& cache, const std::string& name, Thumbnail& out, Shell& shell);

}  // namespace modra
