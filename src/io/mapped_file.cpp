#include "io/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "io/regular_file.h"

namespace modra {

MappedFile::~MappedFile() {
  if (data_) ::munmap(const_cast<uint8_t*>(data_), size_);
}

bool MappedFile::Open(const std::string& path) {
  if (data_) ::munmap(const_cast<uint8_t*>(data_), size_);
  data_ = nullptr;
  size_ = 0;
  problem_.clear();
  const int fd = OpenRegularFile(path, &problem_);
  if (fd < 0) return false;
  struct stat info;
  bool ok = ::fstat(fd, &info) == 0;
  if (!ok) problem_ = std::strerror(errno);
  if (ok && info.st_size > 0) {
    void* at = ::mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ok = at != MAP_FAILED;
    if (!ok) problem_ = std::strerror(errno);
    if (ok) {
      data_ = static_cast<const uint8_t*>(at);
      size_ = static_cast<size_t>(info.st_size);
    }
  }
  ::close(fd);
  return ok;
}

}  // namespace modra
