// BMP files of any shape, in either byte order and row order.
#include <cstddef>
#include <cstdint>

#include "images/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  modra::BmpImage bmp;
  // Small pictures keep the runs fast; the limit check itself is exercised
  // all the same.
  bmp.SetMaxPixels(1 << 20);
  bmp.SetBottomUp(size > 0 && (data[size - 1] & 1));
  if (const uint8_t* rgb = bmp.ReadMemory(data, size)) {
    // Touch every pixel so that the sanitizer checks the whole buffer.
    uint32_t sum = 0;
    for (size_t i = 0; i < size_t(bmp.Width()) * bmp.Height() * 3; ++i)
      sum += rgb[i];
    asm volatile("" : : "r"(sum));  // keep the reads
  }
  return 0;
}
