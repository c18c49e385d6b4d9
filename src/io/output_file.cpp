#include "io/output_file.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdarg>
#include <filesystem>
#include <system_error>

#include "io/c_locale.h"

namespace modra {
namespace {

// Links followed before a chain counts as a loop, as the kernel counts.
constexpr int kMaxLinks = 40;

std::string SystemReason(int error) {
  return std::generic_category().message(error);
}

// The file a save through `path` lands on: `path` itself, or the end of
// the chain of symbolic links that starts there, which need not exist
// yet. Replacing the link itself would cut whatever it tied together.
std::error_code FinalTarget(const std::string& path, std::string* target) {
  namespace fs = std::filesystem;
  fs::path at = path;
  for (int hops = 0;; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(at, ec))) {
      *target = at.string();
      return {};
    }
    if (hops == kMaxLinks) return std::make_error_code(std::errc::too_many_symbolic_link_levels);
    const fs::path next = fs::read_symlink(at, ec);
    if (ec) return ec;
    at = at.parent_path() / next;  // an absolute link replaces the whole path
  }
}

// Why a save may not replace what is at `target`, or empty when it may;
// `info` then describes the file there, with st_mode 0 for none.
std::string Refusal(const std::string& target, struct stat* info) {
  if (::lstat(target.c_str(), info) != 0) {
    info->st_mode = 0;
    return errno == ENOENT ? std::string() : SystemReason(errno);
  }
  // A rename would put a plain file where a device or a FIFO was (as root
  // even over /dev/null), so only regular files are replaced.
  if (S_ISDIR(info->st_mode)) return SystemReason(EISDIR);
  if (!S_ISREG(info->st_mode)) return "Not a regular file";
  // A rename needs only the folder's permission, and root passes every
  // check: the mode bits say what the file's owner meant, for everyone.
  if ((info->st_mode & 0222) == 0) return "Read-only file";
  if (::access(target.c_str(), W_OK) != 0) return SystemReason(errno);
  return {};
}

// The mode a plain create would give a new file.
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

OutputFile::~OutputFile() {
  if (file_) std::fclose(file_);
  if (!temp_.empty()) ::unlink(temp_.c_str());
}

std::string OutputFile::error() const {
  return reason_.empty() ? path_ : path_ + ": " + reason_;
}

bool OutputFile::Fail(std::string reason) {
  ok_ = false;
  if (reason_.empty()) reason_ = std::move(reason);
  return false;
}

bool OutputFile::FailWithErrno() {
  return Fail(SystemReason(errno));
}

bool OutputFile::Open(const std::string& path) {
  path_ = path;
  if (path.empty()) return Fail(SystemReason(ENOENT));
  if (const std::error_code ec = FinalTarget(path, &target_)) return Fail(ec.message());
  struct stat info;
  if (std::string why = Refusal(target_, &info); !why.empty()) return Fail(std::move(why));
  temp_ = target_ + ".XXXXXX";
  const int fd = ::mkstemp(temp_.data());
  if (fd < 0) {
    temp_.clear();
    return FailWithErrno();
  }
  // mkstemp makes the file private; it takes the mode of the file it
  // replaces instead.
  ::fchmod(fd, info.st_mode != 0 ? info.st_mode & 07777 : NewFileMode());
  file_ = ::fdopen(fd, "wb");
  if (!file_) {
    FailWithErrno();
    ::close(fd);
    return false;
  }
  std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
  ok_ = true;
  return true;
}

bool OutputFile::Write(const void* bytes, size_t size) {
  if (!ok_) return false;
  if (size > 0 && std::fwrite(bytes, 1, size, file_) != size) return FailWithErrno();
  return true;
}

bool OutputFile::Seek(int64_t offset) {
  if (!ok_) return false;
  if (offset < 0 || ::fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0)
    return offset < 0 ? Fail(SystemReason(EINVAL)) : FailWithErrno();
  return true;
}

bool OutputFile::Print(const char* format, ...) {
  if (!ok_) return false;
  va_list args;
  va_start(args, format);
  const CLocaleScope c;
  const bool printed = std::vfprintf(file_, format, args) >= 0;
  const int error = errno;
  va_end(args);
  return printed || Fail(SystemReason(error));
}

bool OutputFile::Commit() {
  if (!file_) return false;
  if (ok_ && (std::fflush(file_) != 0 || ::fsync(::fileno(file_)) != 0)) FailWithErrno();
  if (std::fclose(file_) != 0 && ok_) FailWithErrno();
  file_ = nullptr;
  if (!ok_) return false;
  // What is at the target may have changed while the file was written.
  struct stat info;
  if (std::string why = Refusal(target_, &info); !why.empty()) return Fail(std::move(why));
  if (std::rename(temp_.c_str(), target_.c_str()) != 0) return FailWithErrno();
  temp_.clear();
  return true;
}

}  // namespace modra
