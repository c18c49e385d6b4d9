#include "io/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace modra {
namespace {

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "of no known kind";
}

}  // namespace

int OpenRegularFile(const std::string& path, std::string* problem) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a
  // writer. It changes nothing for a regular file.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    *problem = std::strerror(errno);
    return -1;
  }
  struct stat info;
  if (::fstat(fd, &info) != 0) {
    *problem = std::strerror(errno);
    ::close(fd);
    return -1;
  }
  if (!S_ISREG(info.st_mode)) {
    *problem = std::string("not a regular file (") + KindOf(info.st_mode) + ")";
    ::close(fd);
    return -1;
  }
  return fd;
}

bool IsReadableRegularFile(const std::string& path, std::string* problem) {
  const int fd = OpenRegularFile(path, problem);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

}  // namespace modra
