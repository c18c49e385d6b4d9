// Numbers of DXF group lines, read as the C library's "%d" and "%f" read
// the start of a line, without a scanf call per number: a DXF file of a
// million faces holds some twenty million of them.
#pragma once

#include <cstdint>
#include <string_view>

namespace modra::dxf {

// What sscanf(line, "%d") stores: leading white space (space, \t, \n, \v,
// \f, \r) skipped, an optional '+' or '-', decimal digits; the rest of the
// line is ignored. A value outside int32 comes out as glibc gives it (the
// long value, saturated at the long range, cut to 32 bits). `ok` is false,
// and the result 0, when no digit follows.
int32_t ScanInt(std::string_view line, bool* ok = nullptr);

// What sscanf(line, "%f") stores: leading white space skipped, an optional
// sign, then a decimal number ("1", "1.", ".5", "1e5"; a dangling "1e" or
// "1e+" reads as 1), a hexadecimal one ("0x1.8p1"), "inf", "infinity" or
// "nan" in any case (also "nan(...)"). Overflow gives +-inf, underflow
// +-0. 0 when nothing converts.
float ScanFloat(std::string_view line);

}  // namespace modra::dxf
