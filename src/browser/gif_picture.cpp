#include "browser/gif_picture.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "images/gif_memory.h"

namespace modra {
namespace {

void PutColor(uint8_t* out, const ColorMapObject* map, int index) {
  if (!map || index < 0 || index >= map->ColorCount) {
    out[0] = out[1] = out[2] = 0;
    return;
  }
  const GifColorType& c = map->Colors[index];
  out[0] = c.Red;
  out[1] = c.Green;
  out[2] = c.Blue;
}

}  // namespace

bool DecodeGifFirstPicture(const uint8_t* bytes, size_t size, Thumbnail& out, int64_t maxPixels) {
  GifMemory source{{bytes, size}};
  int error = 0;
  GifIn in;
  in.gif = DGifOpen(&source, ReadGifMemory, &error);
  if (!in.gif) return false;
  GifFileType* gif = in.gif;
  int transparent = -1;
  for (;;) {
    GifRecordType type;
    if (DGifGetRecordType(gif, &type) != GIF_OK) return false;
    if (type == TERMINATE_RECORD_TYPE) return false;
    if (type == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* block = nullptr;
      if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
      if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
        transparent = (block[1] & 1) ? block[4] : -1;
      while (block)
        if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
      continue;
    }
    if (type != IMAGE_DESC_RECORD_TYPE) continue;
    if (DGifGetImageDesc(gif) != GIF_OK) return false;
    break;
  }

  const GifImageDesc& d = gif->Image;
  if (d.Width <= 0 || d.Height <= 0 || int64_t{d.Width} * d.Height > maxPixels) return false;
  // A screen of no size is taken to be the picture's.
  const int width = gif->SWidth > 0 ? gif->SWidth : d.Left + d.Width;
  const int height = gif->SHeight > 0 ? gif->SHeight : d.Top + d.Height;
  if (int64_t{width} * height > maxPixels) return false;
  const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;

  Thumbnail picture;
  picture.width = width;
  picture.height = height;
  picture.rgb.resize(size_t(width) * size_t(height) * 3);
  uint8_t background[3];
  PutColor(background, gif->SColorMap, gif->SColorMap ? gif->SBackGroundColor : -1);
  for (size_t i = 0; i < picture.rgb.size(); i += 3)
    std::memcpy(&picture.rgb[i], background, 3);

  // Interlaced pictures come as every 8th row from 0, every 8th from 4,
  // every 4th from 2, then every 2nd from 1.
  std::vector<int> rows;
  rows.reserve(size_t(d.Height));
  if (d.Interlace) {
    const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int y = start[pass]; y < d.Height; y += step[pass])
        rows.push_back(y);
  } else {
    for (int y = 0; y < d.Height; ++y)
      rows.push_back(y);
  }
  std::vector<GifPixelType> line(size_t(d.Width));
  for (int row : rows) {
    if (DGifGetLine(gif, line.data(), d.Width) != GIF_OK) return false;
    const int y = d.Top + row;
    if (y < 0 || y >= height) continue;
    for (int x = 0; x < d.Width; ++x) {
      const int sx = d.Left + x;
      if (sx < 0 || sx >= width || line[size_t(x)] == transparent) continue;
      PutColor(&picture.rgb[(size_t(y) * size_t(width) + size_t(sx)) * 3], map, line[size_t(x)]);
    }
  }
  out = std::move(picture);
  return true;
}

}  // namespace modra
