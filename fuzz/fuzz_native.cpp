// Native scene files of any content, read to replace and to append.
#include <cstddef>
#include <cstdint>

#include "nativefile/native_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  modra::Document doc;
  modra::ReadNativeBytes(doc, {data, size}, "fuzz.knf", false);
  modra::ReadNativeBytes(doc, {data, size}, "fuzz.knf", true);
  return 0;
}
