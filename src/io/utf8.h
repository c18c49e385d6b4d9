// Text that came from files and from the user as bytes: decoding it as
// UTF-8 character by character, and making it valid UTF-8 for the places
// that need it (JSON, the editor's name box). Names stay the bytes they
// were everywhere else, so a file written back holds what it was read with.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace modra {

// One character at the start of `bytes`: a well-formed UTF-8 sequence
// (shortest form, no surrogate, at most U+10FFFF) is one character of its
// length; any other byte is one character of length 1 that decodes to
// nothing (`valid` false, `codePoint` the byte), so a bad byte never takes
// the bytes after it along. `bytes` must not be empty.
struct Utf8Char {
  char32_t codePoint;
  size_t length;
  bool valid;
};
Utf8Char DecodeUtf8Char(std::string_view bytes);

// Valid UTF-8 for any bytes: well-formed characters as they are, every
// other byte read as the Latin-1 character of that value (names written by
// programs of the 8-bit code pages: "caf\xe9" shows as "café").
std::string DisplayText(std::string_view bytes);

}  // namespace modra
