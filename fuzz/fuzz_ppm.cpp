// Binary PPM files: the header scanner and the pixel read.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "images/ppm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int width = 0, height = 0;
  std::unique_ptr<uint8_t[]> rgb = modra::ReadPpmMemory(data, size, &width, &height);
  if (rgb) {
    uint32_t sum = 0;
    for (size_t i = 0; i < size_t(width) * height * 3; ++i)
      sum += rgb[i];
    asm volatile("" : : "r"(sum));  // keep the reads
  }
  return 0;
}
