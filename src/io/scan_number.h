// Numbers read the way the C library's sscanf reads them with "%f" and
// "%d", at a fraction of its cost: the text formats we read were written
// for, and by, programs that used sscanf, and their numbers must keep
// meaning what they meant there.
#pragma once

#include <cstdint>

namespace modra {

// The white space that scanf skips before a number.
inline bool IsCSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// "%f" on [p, end): white space skipped, an optional sign, then decimal
// digits with an optional point and exponent, a hexadecimal number
// ("0x1.8p3"), "inf", "infinity" or "nan" in any case. Returns the end of
// what scanf consumes, or nullptr when it would match nothing (`out` is
// then left alone). As glibc does, a dangling exponent mark is consumed
// with the number ("1e" reads 1 and consumes both characters). Values out
// of float's range become an infinity or zero of the right sign.
const char* ScanFloat(const char* p, const char* end, float& out);

// "%d" on [p, end): white space skipped, an optional sign, decimal digits.
// Returns the end of the digits or nullptr (out left alone). Values beyond
// int32 saturate to its limits, where scanf would be undefined.
const char* ScanInt(const char* p, const char* end, int32_t& out);

// strtof of the text [p, end) as the C locale reads it, whatever locale
// is in force: what a value beyond float's range becomes (an infinity, a
// subnormal or zero of its sign).
float StrtofC(const char* p, const char* end);

}  // namespace modra
