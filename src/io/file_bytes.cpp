#include "io/file_bytes.h"

#include <sys/stat.h>

#include <cstdio>
#include <new>

#include "io/huge_pages.h"

namespace modra {

int ReadWholeFile(const std::string& path, FileBytes& out, const FileFailureCodes& codes) {
  out.data.reset();
  out.size = 0;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                       &std::fclose);
  if (!file) return codes.cannotOpen;
  // Asked of the open file, not by seeking: a directory opens too, and
  // seeking to its end gives a size of 2^63.
  struct stat info;
  if (::fstat(::fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)) return codes.cannotOpen;
  out.size = static_cast<size_t>(info.st_size);
  if (out.size > kMaxFileBytes) return codes.tooLarge;
  // Left uninitialised: the read fills it, and large files load faster.
  out.data.reset(new (std::nothrow) uint8_t[out.size + 1]);
  if (!out.data) return codes.tooLarge;
  AdviseHugePages(out.data.get(), out.size);
  if (std::fread(out.data.get(), 1, out.size, file.get()) != out.size) {
    out.data.reset();
    return codes.shortRead;
  }
  return 0;
}

}  // namespace modra
