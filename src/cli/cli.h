// The `modra` command line: sub-commands that need no display.
#pragma once

#include <ostream>

namespace modra {

// Runs the command line; returns the exit status (0 success, 1 failure,
// 2 bad usage).
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace modra
