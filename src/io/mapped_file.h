// A file seen as read-only bytes in memory without reading it: movies that
// are joined can be far larger than any buffer a reader would take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace modra {

class MappedFile {
 public:
  MappedFile() = default;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  ~MappedFile();

  // Maps the regular file at `path`; false when it cannot be opened or is
  // not a regular file (never waiting on a FIFO), and problem() says why.
  // An empty file maps to no bytes.
  bool Open(const std::string& path);
  std::span<const uint8_t> bytes() const { return {data_, size_}; }
  // The system's reason (strerror) or what the file is instead of a
  // regular file, after a failed Open.
  const std::string& problem() const { return problem_; }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  std::string problem_;
};

}  // namespace modra
