// Makes the file system refuse writes past a size for as long as it lives,
// so that tests can watch writers fail half way through a file.
#pragma once

#include <sys/resource.h>
#include <csignal>

namespace modra::test {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    // Writes past the limit then fail with EFBIG instead of killing the process.
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool active() const { return active_; }

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = SIG_DFL;
  bool active_ = false;
};

}  // namespace modra::test
