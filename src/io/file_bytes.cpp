#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "io/byte_reader.h"
#include "io/huge_pages.h"

namespace modra {

FileReadStatus ReadWholeFile(const std::string& path, FileBytes& out) {
  out.data.reset();
  out.size = 0;
  // Opened without waiting: a FIFO named where a file belongs (a material
  // library, say) would otherwise hold the open until someone writes to it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return FileReadStatus::kCannotOpen;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(::fdopen(fd, "rb"), &std::fclose);
  if (!file) {
    ::close(fd);
    return FileReadStatus::kCannotOpen;
  }
  // Asked of the open file, not by seeking: a directory opens too, and
  // seeking to its end gives a size of 2^63.
  struct stat info;
  if (::fstat(::fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode))
    return FileReadStatus::kCannotOpen;
  out.size = static_cast<size_t>(info.st_size);
  if (info.st_size > INT_MAX) return FileReadStatus::kNoMemory;
  // Left uninitialised: the read fills it, and large files load faster.
  out.data.reset(new (std::nothrow) uint8_t[out.size + 1]);
  if (!out.data) return FileReadStatus::kNoMemory;
  AdviseHugePages(out.data.get(), out.size);
  if (std::fread(out.data.get(), 1, out.size, file.get()) != out.size) {
    out.data.reset();
    return FileReadStatus::kShortRead;
  }
  return FileReadStatus::kOk;
}

}  // namespace modra
