#include "io/text_out.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace modra {
namespace {

constexpr uint64_t kPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

char* General(char* out, float v, int precision) {
  return std::to_chars(out, out + kMaxFixedChars, static_cast<double>(v), std::chars_format::fixed,
                       precision)
      .ptr;
}

// The hot path of every exporter, for the precisions they use.
template <int kPrecision>
char* Fixed(char* out, float v) {
  static_assert(kPrecision % 2 == 0 && kPrecision <= 6, "decimals go out in pairs");
  // A float is m * 2^e with a 24-bit m, so v * 10^precision is an integer
  // (e >= 0) or an integer over a power of two; rounding that quotient to
  // nearest, ties to even, is exactly what printf does with the promoted
  // double. Values too large for 64-bit arithmetic, infinities and NaNs go
  // the general way.
  const uint32_t bits = std::bit_cast<uint32_t>(v);
  const uint32_t biased = (bits >> 23) & 0xff;
  uint64_t m = bits & 0x7fffff;
  int e = -149;
  if (biased != 0) {
    m |= 0x800000;
    e = static_cast<int>(biased) - 150;
  }
  if (biased == 0xff || e > 19) return General(out, v, kPrecision);

  constexpr uint64_t kScale = kPow10[kPrecision];
  const uint64_t n = m * kScale;  // below 2^44
  uint64_t q = 0;
  if (e >= 0) {
    q = n << e;
  } else if (e > -64) {
    const int s = -e;
    q = n >> s;
    const uint64_t rest = n & ((uint64_t{1} << s) - 1);
    const uint64_t half = uint64_t{1} << (s - 1);
    if (rest > half || (rest == half && (q & 1))) ++q;
  }
  // note: printf keeps the sign of values that round to zero ("-0.000000").
  *out = '-';
  out += bits >> 31;
  uint64_t whole = q / kScale;
  uint32_t fraction = static_cast<uint32_t>(q - whole * kScale);
  if (whole < 10) {
    *out++ = static_cast<char>('0' + whole);
  } else {
    char tmp[20];
    int k = 0;
    for (; whole != 0; whole /= 10)
      tmp[k++] = static_cast<char>('0' + whole % 10);
    while (k > 0)
      *out++ = tmp[--k];
  }
  *out++ = '.';
  for (int i = kPrecision - 2; i >= 0; i -= 2, fraction /= 100)
    std::memcpy(out + i, kDigitPairs + 2 * (fraction % 100), 2);
  return out + kPrecision;
}

}  // namespace

char* FormatFixed(char* out, float v, int precision) {
  assert(precision >= 0 && precision <= 6);
  if (precision == 6) return Fixed<6>(out, v);
  if (precision == 4) return Fixed<4>(out, v);
  return General(out, v, precision);
}

float PrintableFloat(float v) {
  if (std::isnan(v)) return 0.0f;
  if (std::isinf(v))
    return v > 0 ? std::numeric_limits<float>::max() : -std::numeric_limits<float>::max();
  return v;
}

TextOut::TextOut(OutputFile& file, size_t chunk)
    : file_(file), buf_(std::max<size_t>(chunk, 4096)) {}

void TextOut::Drain() {
  if (used_ > 0) file_.Write(buf_.data(), used_);
  used_ = 0;
}

void TextOut::Text(std::string_view text) {
  if (text.size() > buf_.size()) {
    Drain();
    file_.Write(text);
    return;
  }
  Room(text.size());
  std::memcpy(buf_.data() + used_, text.data(), text.size());
  used_ += text.size();
}

void TextOut::Int(long long v) {
  Room(24);
  used_ = static_cast<size_t>(std::to_chars(buf_.data() + used_, buf_.data() + buf_.size(), v).ptr -
                              buf_.data());
}

void TextOut::Hex(uint32_t v) {
  Room(8);
  used_ = static_cast<size_t>(
      std::to_chars(buf_.data() + used_, buf_.data() + buf_.size(), v, 16).ptr - buf_.data());
}

void TextOut::Hex8(uint32_t v) {
  static constexpr char kHex[] = "0123456789abcdef";
  Room(8);
  for (int i = 7; i >= 0; --i) {
    buf_[used_ + i] = kHex[v & 0xf];
    v >>= 4;
  }
  used_ += 8;
}

void TextOut::FixedList(const float* v, size_t n, std::string_view suffix) {
  if (n == 0) return;
  const size_t each = kMaxFixedChars + suffix.size() + 1;
  if (n > buf_.size() / each) {
    // Too long for one reservation; never the case for a vertex.
    for (size_t i = 0; i < n; ++i) {
      if (i > 0) Char(',');
      Fixed(v[i]);
      Text(suffix);
    }
    return;
  }
  Room(n * each);
  char* out = buf_.data() + used_;
  for (size_t i = 0; i < n; ++i) {
    if (i > 0) *out++ = ',';
    out = FormatFixed(out, PrintableFloat(v[i]), 6);
    for (char c : suffix)
      *out++ = c;
  }
  used_ = static_cast<size_t>(out - buf_.data());
}

bool TextOut::Flush() {
  Drain();
  return file_.ok();
}

}  // namespace modra
