#include "geometry/triangulate_debug.h"

#include <bit>
#include <cmath>
#include <cstdarg>
#include <cstdint>

#include "geometry/triangulate_context.h"
#include "io/c_locale.h"

namespace modra::triangulation {
namespace {

unsigned FloatBits(double value) {
  return std::bit_cast<uint32_t>(static_cast<float>(value));
}

// The integer part as the hexadecimal dump shows it. Values an int cannot
// hold (and NaN) print as the pattern x86 gives them instead of reaching
// an undefined conversion.
unsigned TruncatedBits(float value) {
  if (std::isfinite(value) && value > -2147483649.0f && value < 2147483648.0f)
    return static_cast<unsigned>(static_cast<int>(value));
  return 0x80000000u;
}

}  // namespace

DebugLog::~DebugLog() {
  if (spool_) std::fclose(spool_);
}

std::FILE* DebugLog::Stream() {
  if (!opened_) {
    opened_ = true;
    if (!settings_.spoolFile.empty()) spool_ = std::fopen(settings_.spoolFile.c_str(), "w");
  }
  return spool_ ? spool_ : stderr;
}

void DebugLog::Print(const char* format, ...) {
  std::FILE* out = Stream();
  va_list args;
  va_start(args, format);
  {
    const CLocaleScope c;  // the same dumps under every locale
    std::vfprintf(out, format, args);
  }
  va_end(args);
}

void DebugLog::Failure(const char* text) {
  if (!settings_.showFailures) return;
  std::FILE* out = Stream();
  std::fputs(text, out);
  std::fflush(out);
}

void DebugLog::FailureF(const char* format, ...) {
  if (!settings_.showFailures) return;
  std::FILE* out = Stream();
  va_list args;
  va_start(args, format);
  {
    const CLocaleScope c;  // the same dumps under every locale
    std::vfprintf(out, format, args);
  }
  va_end(args);
  std::fflush(out);
}

void DebugLog::DumpPolygon(const Context& c) {
  const int n = c.vertexCount;
  Print("%d \n", n);
  for (int i = 0; i < n; ++i) {
    const Node& node = c.nodes[i];
    const int first = (i == 0 || c.nodes[i - 1].lastOfContour) ? 1 : 0;
    if (settings_.hex) {
      Print(" 0x%X 0x%X  0 %d\n", FloatBits(node.u), FloatBits(node.v), first);
    } else {
      Print(" %10g %10g  0 %d\n", node.u, node.v, first);
    }
  }
  if (settings_.dumpPoints3d) {
    Print("%d \n", n);
    for (int i = 0; i < n; ++i) {
      const float* p = c.Vertex(i);
      const int first = (i == 0 || c.nodes[i - 1].lastOfContour) ? 1 : 0;
      if (settings_.hex) {
        Print(" %X %X %X %d\n", TruncatedBits(p[0]), TruncatedBits(p[1]), TruncatedBits(p[2]),
              first);
      } else {
        Print(" %10g  %10g   %10g  %d \n", p[0], p[1], p[2], first);
      }
    }
  }
  std::fflush(Stream());
}

void DebugLog::DumpTriangles(const Context& c) {
  const int count = static_cast<int>(c.triangles.size() / 3);
  Print("MC_DECOMP TRIANGLES: triangle_cnt = %d [\n", count);
  for (int t = 0; t < count; ++t) {
    const int* tri = &c.triangles[static_cast<size_t>(t) * 3];
    Print("%5d: %5d, %5d, %5d \n", t, c.nodes[tri[0]].index, c.nodes[tri[1]].index,
          c.nodes[tri[2]].index);
  }
  Print("]");
  std::fflush(Stream());
}

}  // namespace modra::triangulation
