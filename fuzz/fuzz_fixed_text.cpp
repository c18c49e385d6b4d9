// Fixed-point float text: every bit pattern must print as printf("%.*f")
// prints it, at every precision the writers use.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "io/text_out.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  float v;
  std::memcpy(&v, data, 4);
  for (int precision : {6, 4, 0}) {
    char ours[modra::kMaxFixedChars + 1], theirs[128];
    const size_t length = static_cast<size_t>(modra::FormatFixed(ours, v, precision) - ours);
    std::snprintf(theirs, sizeof theirs, "%.*f", precision, static_cast<double>(v));
    if (length != std::strlen(theirs) || std::memcmp(ours, theirs, length) != 0) std::abort();
  }
  return 0;
}
