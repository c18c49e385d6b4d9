#include "formats/dxf_numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace modra::dxf {
namespace {

bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');  // \t \n \v \f \r
}

const char* SkipSpace(const char* p, const char* end) {
  while (p != end && IsSpace(*p))
    ++p;
  return p;
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (Lower(c) >= 'a' && Lower(c) <= 'f');
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Where a hexadecimal number that starts at p ends, its exponent included
// only when it is complete ("p+5", not "p+-5").
const char* HexEnd(const char* p, const char* end) {
  while (p != end && IsHexDigit(*p))
    ++p;
  if (p != end && *p == '.')
    for (++p; p != end && IsHexDigit(*p);)
      ++p;
  if (p == end || Lower(*p) != 'p') return p;
  const char* e = p + 1;
  if (e != end && (*e == '+' || *e == '-')) ++e;
  if (e == end || !IsDigit(*e)) return p;
  while (e != end && IsDigit(*e))
    ++e;
  return e;
}

// A number too large or too small for a float: strtof gives +-inf or +-0.
float OutOfRange(const char* p, const char* end, bool hex) {
  double d = 0;
  auto [ptr, ec] =
      std::from_chars(p, end, d, hex ? std::chars_format::hex : std::chars_format::general);
  if (ec == std::errc()) {
    if (std::fabs(d) > std::numeric_limits<float>::max()) return HUGE_VALF;
    return static_cast<float>(d);
  }
  // Beyond a double as well: the position of the first significant digit
  // and the exponent tell which way.
  const int digitWeight = hex ? 4 : 1;
  int64_t magnitude = 0;
  const char* q = p;
  while (q != ptr && *q == '0')
    ++q;
  if (q != ptr && *q != '.') {
    for (; q != ptr && (hex ? IsHexDigit(*q) : IsDigit(*q)); ++q)
      magnitude += digitWeight;
    if (q != ptr && *q == '.')
      for (++q; q != ptr && (hex ? IsHexDigit(*q) : IsDigit(*q));)
        ++q;
  } else if (q != ptr) {
    for (++q; q != ptr && *q == '0'; ++q)
      magnitude -= digitWeight;
    magnitude -= digitWeight;
    while (q != ptr && (hex ? IsHexDigit(*q) : IsDigit(*q)))
      ++q;
  }
  if (q != ptr && Lower(*q) == (hex ? 'p' : 'e')) {
    ++q;
    const bool negative = q != ptr && *q == '-';
    if (q != ptr && (*q == '-' || *q == '+')) ++q;
    int64_t exponent = 0;
    for (; q != ptr && IsDigit(*q); ++q)
      exponent = std::min<int64_t>(exponent * 10 + (*q - '0'), int64_t{1} << 40);
    magnitude += negative ? -exponent : exponent;
  }
  return magnitude > 0 ? HUGE_VALF : 0.0f;
}

}  // namespace

int32_t ScanInt(std::string_view line, bool* ok) {
  const char* p = SkipSpace(line.data(), line.data() + line.size());
  const char* end = line.data() + line.size();
  bool negative = false;
  if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  if (p == end || *p < '0' || *p > '9') {
    if (ok) *ok = false;
    return 0;
  }
  // glibc reads "%d" as a long (saturating) and stores its low 32 bits.
  constexpr uint64_t kLongMax = std::numeric_limits<int64_t>::max();
  const uint64_t limit = negative ? kLongMax + 1 : kLongMax;
  uint64_t magnitude = 0;
  for (; p != end && *p >= '0' && *p <= '9'; ++p) {
    const unsigned digit = static_cast<unsigned>(*p - '0');
    magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
  }
  const uint64_t value = negative ? 0 - magnitude : magnitude;
  if (ok) *ok = true;
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

float ScanFloat(std::string_view line) {
  const char* end = line.data() + line.size();
  const char* p = SkipSpace(line.data(), end);
  bool negative = false;
  if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  // from_chars takes no '+' and would take a second sign.
  if (p == end || *p == '-' || *p == '+') return 0.0f;

  const bool hex = end - p >= 2 && p[0] == '0' && Lower(p[1]) == 'x';
  const char* digits = hex ? p + 2 : p;
  const char* stop = hex ? HexEnd(digits, end) : end;
  if (hex) {
    // After "0x" only a hex digit or a point continues the number.
    if (digits == end || !(IsHexDigit(*digits) || *digits == '.')) return 0.0f;
  }
  float value = 0;
  auto [ptr, ec] = std::from_chars(digits, stop, value,
                                   hex ? std::chars_format::hex : std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    value = OutOfRange(digits, stop, hex);
  } else if (ec != std::errc()) {
    // "0x." is a zero to scanf, a signed one.
    return hex && negative ? -0.0f : 0.0f;
  } else if (!hex && ptr - digits == 3 && Lower(*digits) == 'i' && ptr != end &&
             Lower(*ptr) == 'i') {
    // scanf commits to "infinity" once it sees "infi" and fails if it is not all there.
    return 0.0f;
  }
  return negative ? -value : value;
}

}  // namespace modra::dxf
