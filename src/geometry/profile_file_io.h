// What the two profile file formats (.ext, .surf) share: little-endian
// words gathered in memory before they are written, and the open-file
// failure mapped onto the formats' messages.
#pragma once

#include <bit>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "document/shell.h"
#include "io/byte_reader.h"
#include "io/file_bytes.h"
#include "io/finite_values.h"

namespace modra {

inline void AppendWord(std::vector<uint8_t>& out, uint32_t v) {
  out.insert(out.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                         static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)});
}
inline void AppendFloat(std::vector<uint8_t>& out, float v) {
  AppendWord(out, std::bit_cast<uint32_t>(v));
}

// Reads a whole profile file, or tells the user why not and returns false.
inline bool ReadProfileFile(const std::string& path, FileBytes& bytes, Shell& shell) {
  switch (ReadWholeFile(path, bytes)) {
    case 0:
      return true;
    case kFileCannotOpen:
      shell.Message(WithUnreadableReason("Can't open " + path + " for read\n", path));
      return false;
    case kFileTooLarge:
      shell.Message("Can't get enough memory\n");
      return false;
    default:
      shell.Message("Can't read " + path + "\n");
      return false;
  }
}

// Parses a profile file's bytes into a copy of `profile` with
// parse(reader, path, copy, warning) -> failure text ("" for success), and
// replaces `profile` only when the whole file read. A point coordinate
// that is not a finite number becomes 0. 0 or -1; the failure or warning
// text is told to the user.
template <class Profile, class Parse>
int ReadProfileBytes(Profile& profile, const uint8_t* data, size_t size, const std::string& path,
                     Shell& shell, Parse parse) {
  ByteReader r(data, size);
  Profile p = profile;
  std::string warning, failure;
  try {
    failure = parse(r, path, p, warning);
  } catch (const std::bad_alloc&) {
    failure = "Can't get enough memory\n";
  }
  if (!failure.empty()) {
    shell.Message(failure);
    return -1;
  }
  if (!warning.empty()) shell.Message(warning);
  ReplaceNonFinite(p.points);
  profile = std::move(p);
  return 0;
}

}  // namespace modra
