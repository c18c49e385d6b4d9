// JPEG files through libjpeg with our error handling, then encoded again.
#include <cstddef>
#include <cstdint>

#include "images/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  modra::JpegImage jpeg;
  jpeg.printMessages = false;
  // Keeps each run short; bigger headers are refused by the same check.
  jpeg.SetMaxPixels(1 << 18);
  if (const uint8_t* rgb = jpeg.DecodeMemory(data, size)) {
    const int width = jpeg.Width(), height = jpeg.Height();
    jpeg.quality = size > 0 ? data[0] % 101 : 75;
    jpeg.EncodeMemory(rgb, width, height);
  }
  return 0;
}
