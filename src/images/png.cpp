#include "images/png.h"

#include <png.h>

#include <csetjmp>

namespace modra {
namespace {

// A failed write is remembered by the file and told by its Commit; libpng
// need not stop for it.
void WriteBytes(png_structp png, png_bytep bytes, size_t size) {
  static_cast<OutputFile*>(png_get_io_ptr(png))->Write(bytes, size);
}

void Flush(png_structp) {}

// libpng's own messages would go to stderr; the render tells its own.
void Error(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void Warning(png_structp, png_const_charp) {}

// note: libpng reports errors by longjmp to the setjmp here, so this
// function holds no object with a destructor.
bool Encode(png_structp png, png_infop info, OutputFile* out, const uint8_t* rgb, int width,
            int height) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, WriteBytes, Flush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const size_t row = static_cast<size_t>(width) * 3;
  for (int y = 0; y < height; ++y)
    png_write_row(png, rgb + row * static_cast<size_t>(y));
  png_write_end(png, info);
  return true;
}

}  // namespace

int WritePng(const std::string& path, const uint8_t* rgb, int width, int height) {
  if (!rgb || width <= 0 || height <= 0) return -1;
  OutputFile out;
  if (!out.Open(path) || WritePng(out, rgb, width, height) != 0) return -1;
  return out.Commit() ? 0 : -1;
}

int WritePng(OutputFile& out, const uint8_t* rgb, int width, int height) {
  if (!rgb || width <= 0 || height <= 0) return -1;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Error, Warning);
  if (!png) return -1;
  png_infop info = png_create_info_struct(png);
  const bool encoded = info && Encode(png, info, &out, rgb, width, height);
  png_destroy_write_struct(&png, &info);
  return encoded && out.ok() ? 0 : -1;
}

}  // namespace modra
