// Writing a file so that a failed or interrupted write never destroys the
// file that was there: everything goes to a temporary file beside the
// target, which replaces the target only when all of it was written.
//
// A save writes over a regular file or makes a new one, nothing else: a
// folder, a device, a FIFO or a socket at the name is refused, and so is a
// file whose mode lets nobody write it (whoever runs the program, root
// too). A symbolic link is followed, dangling or not, and the file it
// leads to is written; the link stays as it was.
#pragma once

#include <cstddef>
#include <cstdint>
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

  // Creates the temporary file beside the file `path` leads to; false when
  // what is there may not be replaced or the temporary file cannot be
  // made (the folder is missing or not writable), with error() saying why.
  bool Open(const std::string& path);
  // Buffered writes; a failure is remembered and reported by Commit.
  bool Write(const void* bytes, size_t size);
  bool Write(std::string_view text) { return Write(text.data(), text.size()); }
  // printf-style text, numbers as the C locale writes them.
  bool Print(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Moves the write position to `offset` bytes from the start, for
  // containers that fill in a size or an index once the data after it is
  // written (an MP4 movie). A failure is remembered as for Write.
  bool Seek(int64_t offset);
  bool ok() const { return ok_; }
  // Flushes, syncs and renames the temporary file onto the target. false
  // (and the target untouched) when any write failed or the target has
  // meanwhile become something a save may not replace.
  bool Commit();

  // Why the first failure happened, as the system words it ("No space left
  // on device"), or "Read-only file" / "Not a regular file" for a target
  // refused by its kind; empty while nothing failed.
  const std::string& reason() const { return reason_; }
  // "<path>: <reason>" with the name Open was given, for the end of a
  // message; the path alone while nothing failed.
  std::string error() const;

 private:
  bool Fail(std::string reason);
  bool FailWithErrno();

  std::FILE* file_ = nullptr;
  std::string path_, target_, temp_, reason_;
  bool ok_ = false;
};

}  // namespace modra
