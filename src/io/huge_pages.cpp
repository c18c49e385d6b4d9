#include "io/huge_pages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace modra {

void AdviseHugePages(void* p, size_t bytes) {
  constexpr size_t kWorthIt = size_t{4} << 20;
  if (bytes < kWorthIt) return;
  const uintptr_t page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
  uintptr_t begin = (reinterpret_cast<uintptr_t>(p) + page - 1) & ~(page - 1);
  uintptr_t end = (reinterpret_cast<uintptr_t>(p) + bytes) & ~(page - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace modra
