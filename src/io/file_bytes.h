// Reading a whole file into memory, as every reader does before it parses
// (the file is then closed at once), and the failure codes that gives.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace modra {

// The largest file any reader takes: their counts and offsets are 32-bit.
inline constexpr size_t kMaxFileBytes = INT_MAX;

struct FileBytes {
  std::unique_ptr<uint8_t[]> data;
  size_t size = 0;
  std::span<const uint8_t> span() const { return {data.get(), size}; }
};

// What a reader returns when its file cannot be read whole. The defaults
// are the model readers' codes; a reader whose contract says otherwise
// gives its own.
inline constexpr int kFileCannotOpen = -1;
inline constexpr int kFileShortRead = -2;
inline constexpr int kFileTooLarge = -3;
struct FileFailureCodes {
  int cannotOpen = kFileCannotOpen;  // missing, unreadable, or not a regular file (a directory)
  int shortRead = kFileShortRead;    // it ended or failed before its size was read
  int tooLarge = kFileTooLarge;      // larger than kMaxFileBytes, or no memory for it
};

// Reads the file at `path` whole into `out`: 0, or the code of `codes` that
// says why not. `out` then holds no bytes, but its size stays the file's
// size after tooLarge, for the message that reports it.
int ReadWholeFile(const std::string& path, FileBytes& out, const FileFailureCodes& codes = {});

// Why the file at `path` cannot be read: the system's words ("No such file
// or directory", "Permission denied"), or what it is when it is no regular
// file ("Not a regular file (a FIFO)"); "" when it opens as a regular file.
// Asked after a reader gave up, for the message that names the reason.
std::string UnreadableReason(const std::string& path);

// `message` with ": " and the reason `path` cannot be read put before its
// closing newline, if it has one; `message` alone when there is no reason.
std::string WithUnreadableReason(std::string message, const std::string& path);

}  // namespace modra
