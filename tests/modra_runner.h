// The one way the tests run the `modra` command line: in the test's own
// process, as a script runs the executable (the program's name first, then
// the arguments), with what it writes to stdout and stderr kept apart.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace modra::test {

struct CliRun {
  int status;
  std::string out, err;
};

inline CliRun Modra(std::vector<std::string> args) {
  args.insert(args.begin(), "modra");
  std::vector<const char*> argv;
  for (const std::string& a : args)
    argv.push_back(a.c_str());
  std::ostringstream out, err;
  const int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

}  // namespace modra::test
