// Writing a file so that a failed or interrupted write never destroys the
// file that was there: everything goes to a temporary file beside the
// target, which replaces the target only when all of it was written.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace modra {

class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  // Removes the temporary file unless Commit succeeded.
  ~OutputFile();

  // Creates the temporary file beside `path`; false when it cannot be made
  // (the directory is missing or not writable).
  bool Open(const std::string& path);
  // Buffered writes; a failure is remembered and reported by Commit.
  bool Write(const void* bytes, size_t size);
  bool Write(std::string_view text) { return Write(text.data(), text.size()); }
  // printf-style text, numbers as the C locale writes them.
  bool Print(const char* format, ...) __attribute__((format(printf, 2, 3)));
  bool ok() const { return ok_; }
  // Flushes, syncs and renames the temporary file onto the target. false
  // (and the target untouched) when any write failed.
  bool Commit();

 private:
  std::FILE* file_ = nullptr;
  std::string path_, temp_;
  bool ok_ = false;
};

}  // namespace modra
