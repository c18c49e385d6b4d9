// Lines and numbers of ASCII .cob files, read from memory with the
// results the C scanner gives for the same text: "%d" takes an optional
// sign, "%f" also takes ".5", "5.", "1e5", "inf", "nan" and hexadecimal
// floats, whitespace in a pattern matches any run of whitespace
// (none included) and every other character must match exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace modra {

// Whole lines of any length, so nothing a line holds can spill into the
// next one. A line ends at '\n'; the '\n', a '\r' before it and anything
// from a zero byte on are not part of it. The last line need not end in
// '\n'.
class CobLineReader {
 public:
  explicit CobLineReader(std::span<const uint8_t> bytes)
      : text_(reinterpret_cast<const char*>(bytes.data()), bytes.size()) {}

  // The next line, or nothing at the end of the text.
  std::optional<std::string_view> Next();
  // Offset of the next line's first byte.
  size_t pos() const { return pos_; }
  size_t size() const { return text_.size(); }
  // false (and nothing moves) for an offset past the end.
  bool Seek(size_t at);

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

// One scanf-style pass over a line: each call consumes what it matched
// and returns false (leaving its output alone) when the text does not
// fit, so calls chain with && as a scan's fields do.
class CobScanner {
 public:
  explicit CobScanner(std::string_view text) : text_(text) {}

  // Literal text; a blank matches any run of whitespace.
  bool Literal(std::string_view pattern);
  // "%d": clamped to the 32-bit range.
  bool Int(int32_t& out);
  // "%f".
  bool Float(float& out);
  // "%c": the next character, whitespace included.
  bool Char(char& out);
  // "%s": the next run of non-blank characters.
  bool Word(std::string_view& out);

  std::string_view rest() const { return text_.substr(at_); }

 private:
  void SkipBlanks();
  std::string_view text_;
  size_t at_ = 0;
};

}  // namespace modra
