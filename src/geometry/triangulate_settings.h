// What the triangulator's diagnostics show and where they go: read from
// the QX_DEBUG_... environment variables once, where the program starts,
// and handed to every triangulator made after that.
#pragma once

#include <functional>
#include <string>

namespace modra::triangulation {

struct DebugSettings {
  int dumpEvery = 1;           // QX_DEBUG_DECOMP_COUNT: dump on runs numbered N, 2N, ...
  bool dumpPoints3d = false;   // QX_DEBUG_DECOMP_SHOW_MC
  bool showTriangles = false;  // QX_DEBUG_SHOW_DECOMP_TRIANGLES
  bool showFailures = false;   // QX_DEBUG_SHOW_DECOMP_FAILURES
  bool hintsSimple = false;    // QX_DEBUG_SET_HINTS_SIMPLE: skip the checks
  bool hex = false;            // QX_DEBUG_DECOMP_PRINT_HEX_FORMAT
  std::string spoolFile;       // QX_DEBUG_DECOMP_SPOOL_FILE
};

// The settings from the variables as `variable` gives them (null: not
// set), for example std::getenv. A variable counts as set whatever its
// value; a count that is not a positive number dumps every run.
DebugSettings ReadDebugSettings(const std::function<const char*(const char*)>& variable);

}  // namespace modra::triangulation
