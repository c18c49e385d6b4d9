#include "io/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "io/huge_pages.h"

namespace modra {

int ReadWholeFile(const std::string& path, FileBytes& out, const FileFailureCodes& codes) {
  out.data.reset();
  out.size = 0;
  // Opened without waiting: a FIFO named where a file belongs (a material
  // library, say) would otherwise hold the open until someone writes to it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return codes.cannotOpen;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(::fdopen(fd, "rb"), &std::fclose);
  if (!file) {
    ::close(fd);
    return codes.cannotOpen;
  }
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

std::string UnreadableReason(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  struct stat info;
  const bool known = ::fstat(fd, &info) == 0;
  const int error = errno;
  ::close(fd);
  if (!known) return std::strerror(error);
  const mode_t type = info.st_mode & S_IFMT;
  switch (type) {
    case S_IFREG:
      return "";
    case S_IFDIR:
      return std::strerror(EISDIR);
    case S_IFIFO:
      return "Not a regular file (a FIFO)";
    case S_IFCHR:
    case S_IFBLK:
      return "Not a regular file (a device)";
    case S_IFSOCK:
      return "Not a regular file (a socket)";
    default:
      return "Not a regular file";
  }
}

std::string WithUnreadableReason(std::string message, const std::string& path) {
  const std::string reason = UnreadableReason(path);
  if (reason.empty()) return message;
  const bool newline = !message.empty() && message.back() == '\n';
  if (newline) message.pop_back();
  message += ": " + reason;
  if (newline) message += '\n';
  return message;
}

}  // namespace modra
