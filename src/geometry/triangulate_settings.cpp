#include "geometry/triangulate_settings.h"

#include <cstdlib>

namespace modra::triangulation {

DebugSettings ReadDebugSettings(const std::function<const char*(const char*)>& variable) {
  DebugSettings s;
  if (const char* count = variable("QX_DEBUG_DECOMP_COUNT")) {
    char* end = nullptr;
    const long n = std::strtol(count, &end, 10);
    // note: 0 would divide by zero when the run number is tested
    s.dumpEvery = (end != count && n > 0 && n <= 0x7fffffff) ? static_cast<int>(n) : 1;
  }
  s.dumpPoints3d = variable("QX_DEBUG_DECOMP_SHOW_MC") != nullptr;
  s.showTriangles = variable("QX_DEBUG_SHOW_DECOMP_TRIANGLES") != nullptr;
  s.showFailures = variable("QX_DEBUG_SHOW_DECOMP_FAILURES") != nullptr;
  s.hintsSimple = variable("QX_DEBUG_SET_HINTS_SIMPLE") != nullptr;
  s.hex = variable("QX_DEBUG_DECOMP_PRINT_HEX_FORMAT") != nullptr;
  if (const char* spool = variable("QX_DEBUG_DECOMP_SPOOL_FILE")) s.spoolFile = spool;
  return s;
}

}  // namespace modra::triangulation
