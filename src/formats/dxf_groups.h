// The group layer of DXF text. A file is a sequence of groups of two
// lines: the group code, then its value. The code's range fixes how the
// value reads: a string, a float ("%f") or an integer ("%d").
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace modra::dxf {

enum class ValueKind { kString, kFloat, kInt };

// Strings: codes below 10 (-1 too) and 1000-1009. Floats: 10-59, 140-147,
// 210-239, 1010-1059. Integers: every other code.
ValueKind KindOfCode(int32_t code);

struct Group {
  // What "%d" reads from the code line; -1 when that line holds no number.
  int32_t code = -1;
  // The value line without its line feed, in the file's bytes.
  std::string_view value;

  // The value of a string code, a carriage return at its end removed.
  std::string_view Text() const {
    assert(KindOfCode(code) == ValueKind::kString);
    return value.ends_with('\r') ? value.substr(0, value.size() - 1) : value;
  }
  // What "%f" reads from the start of the value line; 0 when nothing
  // converts (scanf would leave the variable alone).
  float Float() const;
  // What "%d" reads; 0 when nothing converts. Values beyond int32 saturate.
  int32_t Int() const;
};

// Reads the groups of a file held in memory, which must outlive it.
//
// Lines end at line feeds only, whatever their length: a long line (a
// comment, a padded number) stays one line, so codes and values never
// swap places. The last line of the file needs no line feed. Numbers and
// strings look at the whole line.
class GroupReader {
 public:
  explicit GroupReader(std::span<const uint8_t> bytes)
      : at_(reinterpret_cast<const char*>(bytes.data())), end_(at_ + bytes.size()) {}

  // The next group; false when fewer than two lines are left (then the
  // reader stays at the end).
  bool Next(Group& g);
  // Bytes not yet read (a group given back counts as read).
  size_t Remaining() const { return static_cast<size_t>(end_ - at_); }

  // Gives g back, so that the next Next returns it again: lets a reader
  // look at the code that ends its entity. One group at a time.
  void PushBack(const Group& g) {
    assert(!pushedBack_);
    pending_ = g;
    pushedBack_ = true;
  }

 private:
  bool NextLine(std::string_view& line);

  const char* at_;
  const char* end_;
  Group pending_;
  bool pushedBack_ = false;
};

}  // namespace modra::dxf
