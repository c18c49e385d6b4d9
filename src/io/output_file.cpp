#include "io/output_file.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cstdarg>
#include <cstdlib>

#include "io/c_locale.h"

namespace modra {

OutputFile::~OutputFile() {
  if (file_) std::fclose(file_);
  if (!temp_.empty()) ::unlink(temp_.c_str());
}

bool OutputFile::Open(const std::string& path) {
  // Saving through a symbolic link replaces the file it points to, and the
  // link stays.
  path_ = path;
  struct stat info;
  if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      path_ = real;
      std::free(real);
    }
  }
  temp_ = path_ + ".XXXXXX";
  int fd = ::mkstemp(temp_.data());
  if (fd < 0) {
    temp_.clear();
    return false;
  }
  // mkstemp makes the file private; keep the mode of the file it replaces,
  // or give it the one a plain create would.
  mode_t mode;
  if (::stat(path_.c_str(), &info) == 0) {
    mode = info.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd, mode);
  file_ = ::fdopen(fd, "wb");
  if (!file_) {
    ::close(fd);
    return false;
  }
  std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
  ok_ = true;
  return true;
}

bool OutputFile::Write(const void* bytes, size_t size) {
  if (!ok_) return false;
  if (size > 0 && std::fwrite(bytes, 1, size, file_) != size) ok_ = false;
  return ok_;
}

bool OutputFile::Print(const char* format, ...) {
  if (!ok_) return false;
  va_list args;
  va_start(args, format);
  const CLocaleScope c;
  if (std::vfprintf(file_, format, args) < 0) ok_ = false;
  va_end(args);
  return ok_;
}

bool OutputFile::Commit() {
  if (!file_) return false;
  bool good = ok_ && std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
  good = (std::fclose(file_) == 0) && good;
  file_ = nullptr;
  if (!good || std::rename(temp_.c_str(), path_.c_str()) != 0) return false;
  temp_.clear();
  return true;
}

}  // namespace modra
