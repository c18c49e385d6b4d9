// Texture loading through the texture table: the bytes are written under a
// picture's name (the first byte picks .ppm, .jpg or .bmp, as the table
// picks its decoder by the ending) and added as a texture; every pixel the
// table hands on is read, so the sanitizer checks the picture's size.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "document/document.h"
#include "fuzz_files.h"
#include "images/texture_table.h"

namespace {

class PixelReader : public modra::TextureUploader {
 public:
  bool Upload(int, const uint8_t* rgb, int width, int height) override {
    if (width <= 0 || height <= 0) __builtin_trap();
    unsigned sum = 0;
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 3;
    for (size_t i = 0; i < bytes; ++i)
      sum += rgb[i];
    asm volatile("" : : "r"(sum));
    return true;
  }
};

std::string PicturePath(uint8_t pick) {
  static const std::string folder = modra::fuzz::MakeFolder("texture");
  static const char* const kEndings[] = {".ppm", ".jpg", ".bmp"};
  return folder + "/picture" + kEndings[pick % 3];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string path = PicturePath(data[0]);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  const bool written = std::fwrite(data + 1, 1, size - 1, file) == size - 1;
  if (std::fclose(file) != 0 || !written) return 0;
  modra::Document doc;
  PixelReader pixels;
  doc.uploader = &pixels;
  const int index = modra::AddTexture(doc, path, "fuzz");
  if (index >= 0 && modra::FindTexture(doc.textures, "fuzz") != index) __builtin_trap();
  std::remove(path.c_str());
  return 0;
}
