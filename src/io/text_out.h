// Text output for the large text exporters. Numbers come out exactly as the
// C library's printf formats them ("%d", "%x", "%08x", "%f", "%.4f"), but
// without a printf call per number: text is formatted into one large buffer
// that goes to the OutputFile in big chunks. A scene of a million triangles
// is hundreds of megabytes of text, so this is the writers' hot path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "io/output_file.h"

namespace modra {

// Longest FormatFixed result: sign, 39 integer digits of FLT_MAX, point and
// six decimals.
inline constexpr size_t kMaxFixedChars = 48;

// Writes what printf("%.*f", precision, (double)v) writes, for precision
// 0 to 6 and any v (infinities and NaNs as printf spells them). `out` must
// have room for kMaxFixedChars. Returns the end of the text.
char* FormatFixed(char* out, float v, int precision);

// Infinities and NaNs would end up in the text as "inf" and "nan", which no
// compiler or scene reader takes: NaN becomes 0 and an infinity the largest
// float of its sign. Finite values pass unchanged.
float PrintableFloat(float v);

class TextOut {
 public:
  // Text is handed to `file` in pieces of about `chunk` bytes (at least 4 KiB).
  explicit TextOut(OutputFile& file, size_t chunk = size_t{1} << 20);
  TextOut(const TextOut&) = delete;
  TextOut& operator=(const TextOut&) = delete;

  void Text(std::string_view text);
  void Char(char c) {
    Room(1);
    buf_[used_++] = c;
  }
  void Int(long long v);  // %d
  void Hex(uint32_t v);   // %x
  void Hex8(uint32_t v);  // %08x
  // %f (precision 6) or %.4f of PrintableFloat(v).
  void Fixed(float v, int precision = 6) {
    Room(kMaxFixedChars);
    used_ = static_cast<size_t>(FormatFixed(buf_.data() + used_, PrintableFloat(v), precision) -
                                buf_.data());
  }
  // n values as Fixed writes them, each followed by `suffix` (empty or one
  // character), joined by ",": a whole vertex line at once.
  void FixedList(const float* v, size_t n, std::string_view suffix = {});

  // Hands everything gathered to the file. false when this or any earlier
  // write failed.
  bool Flush();

 private:
  void Room(size_t n) {
    if (buf_.size() - used_ < n) Drain();
  }
  void Drain();

  OutputFile& file_;
  std::vector<char> buf_;
  size_t used_ = 0;
};

}  // namespace modra
