// The `modra` command line: sub-commands that need no display.
#pragma once

#include <ostream>

#include "geometry/triangulate_settings.h"

namespace modra {

// Runs the command line; returns the exit status (0 success, 1 failure,
// 2 bad usage). The documents it makes hand `triangulatorDebug` to their
// triangulators.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           const triangulation::DebugSettings& triangulatorDebug = {});

// Whether the arguments ask for the command line (a sub-command or an
// option) rather than the editor (nothing, or a file to open).
bool IsCommandLineRun(int argc, const char* const* argv);

}  // namespace modra
