#include "io/heap_policy.h"

#include <malloc.h>

namespace modra {

void SetHeapPolicy() {
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
}

}  // namespace modra
