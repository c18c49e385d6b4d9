#include "io/scan_number.h"

#include <stdlib.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "io/c_locale.h"

namespace modra {
namespace {

bool StartsWithNoCase(const char* p, const char* end, const char* word) {
  for (; *word; ++word, ++p) {
    if (p == end) return false;
    char c = *p;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != *word) return false;
  }
  return true;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Exact powers of ten in float: 5^10 still fits in its 24-bit mantissa.
constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                  1e6f, 1e7f, 1e8f, 1e9f, 1e10f};

// Plain decimals ("-12.5", "0.000123", "7."): the digits make a whole
// number below 2^24 and the point moves it at most ten places, so both
// are exact floats, and one division or product of them rounds as a
// correct conversion of the text does (Clinger's fast path). Anything
// else (more digits, an exponent, hex, inf) is left to the full scan;
// nullptr then.
const char* ScanPlainDecimal(const char* p, const char* end, float& out) {
  uint32_t digits = 0;
  int count = 0, scale = 0;
  const char* q = p;
  for (; q < end && IsDigit(*q) && count < 9; ++q, ++count)
    digits = digits * 10 + static_cast<uint32_t>(*q - '0');
  if (q < end && *q == '.') {
    for (++q; q < end && IsDigit(*q) && count < 9; ++q, ++count, ++scale)
      digits = digits * 10 + static_cast<uint32_t>(*q - '0');
  }
  if (count == 0 || count == 9 || digits > (1u << 24)) return nullptr;
  if (q < end && (IsDigit(*q) || *q == '.' || *q == 'e' || *q == 'E' || *q == 'x' || *q == 'X'))
    return nullptr;
  out = static_cast<float>(digits) / kPowersOfTen[scale];
  return q;
}

}  // namespace

const char* ScanFloat(const char* p, const char* end, float& out) {
  while (p < end && IsCSpace(*p))
    ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  if (p == end) return nullptr;
  float v = 0;
  const char* stop = ScanPlainDecimal(p, end, v);
  if (stop) {
    out = negative ? -v : v;
    return stop;
  }
  if (StartsWithNoCase(p, end, "inf")) {
    // glibc takes "inf" alone, but once it has seen "infi" it wants all of
    // "infinity" and matches nothing otherwise.
    if (p + 3 < end && (p[3] == 'i' || p[3] == 'I')) {
      if (!StartsWithNoCase(p, end, "infinity")) return nullptr;
      stop = p + 8;
    } else {
      stop = p + 3;
    }
    v = std::numeric_limits<float>::infinity();
  } else if (StartsWithNoCase(p, end, "nan")) {
    // glibc's scanf leaves a "(chars)" after it unread.
    v = std::numeric_limits<float>::quiet_NaN();
    stop = p + 3;
  } else {
    const bool hex = end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
    const char* digits = hex ? p + 2 : p;
    // from_chars would take a second sign, and "inf" after "0x"; scanf takes neither.
    auto isDigit = hex ? IsHexDigit : IsDigit;
    // glibc takes "0x." with no digit after the point as a zero of three
    // characters.
    if (hex && digits < end && *digits == '.' && !(digits + 1 < end && IsHexDigit(digits[1]))) {
      out = negative ? -0.0f : 0.0f;
      return digits + 1;
    }
    if (!(digits < end &&
          (isDigit(*digits) || (*digits == '.' && digits + 1 < end && isDigit(digits[1])))))
      return nullptr;
    // libstdc++'s hex parse takes "p+-3" as an exponent; scanf stops
    // before an exponent without digits, so the text handed over ends there.
    const char* limit = end;
    if (hex) {
      const char* q = digits;
      while (q < end && IsHexDigit(*q))
        ++q;
      if (q < end && *q == '.')
        for (++q; q < end && IsHexDigit(*q);)
          ++q;
      if (q < end && (*q == 'p' || *q == 'P')) {
        const char* e = q + 1;
        if (e < end && (*e == '+' || *e == '-')) ++e;
        if (!(e < end && IsDigit(*e))) limit = q;
      }
    }
    auto r = std::from_chars(digits, limit, v,
                             hex ? std::chars_format::hex : std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
      // note: from_chars reports a value beyond float's range without
      // giving it; strtof gives the infinity or the zero (or the nearest
      // subnormal) that scanf stores.
      v = StrtofC(p, r.ptr);
    } else if (r.ec != std::errc()) {
      return nullptr;
    }
    stop = r.ptr;
    // An exponent mark that no digits follow is consumed all the same.
    const char lower = hex ? 'p' : 'e', upper = hex ? 'P' : 'E';
    bool hasExponent = false;
    for (const char* q = digits; q < stop; ++q)
      if (*q == lower || *q == upper) hasExponent = true;
    if (!hasExponent && stop < end && (*stop == lower || *stop == upper)) {
      ++stop;
      if (stop < end && (*stop == '+' || *stop == '-')) ++stop;
    }
  }
  out = negative ? -v : v;
  return stop;
}

const char* ScanInt(const char* p, const char* end, int32_t& out) {
  while (p < end && IsCSpace(*p))
    ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  if (p == end || !IsDigit(*p)) return nullptr;
  constexpr int64_t kLimit = int64_t{1} << 32;  // beyond int32 either way
  int64_t v = 0;
  for (; p < end && IsDigit(*p); ++p)
    if (v < kLimit) v = v * 10 + (*p - '0');
  if (negative) v = -v;
  if (v > std::numeric_limits<int32_t>::max()) v = std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) v = std::numeric_limits<int32_t>::min();
  out = static_cast<int32_t>(v);
  return p;
}

float StrtofC(const char* p, const char* end) {
  // Rare enough that the copy does not matter.
  const std::string text(p, end);
  const locale_t c = CLocale();
  return c ? strtof_l(text.c_str(), nullptr, c) : strtof(text.c_str(), nullptr);
}

}  // namespace modra
