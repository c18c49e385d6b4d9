// Opening a file that a reader is about to take in whole: only a regular
// file will do. A FIFO would block the open until something writes to it,
// a device never ends and a folder holds no bytes, so these are refused at
// once, before anything is read.
#pragma once

#include <string>

namespace modra {

// Opens `path` read-only (close-on-exec) and returns its descriptor, which
// the caller closes; -1 when it cannot be opened or is not a regular file,
// with `problem` set to the system's reason (strerror) or to what the file
// is instead ("not a regular file (a FIFO)"). Never blocks.
int OpenRegularFile(const std::string& path, std::string* problem);

// Whether `path` is a regular file that can be opened for reading; if not,
// `problem` says why, as OpenRegularFile does.
bool IsReadableRegularFile(const std::string& path, std::string* problem);

}  // namespace modra
