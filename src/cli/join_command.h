// `modra join OUT PART...`: the movie parts of a render split with
// `modra render --part` joined into one movie.
#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>
#include <vector>

namespace modra {

struct JoinArgs {
  std::string output;
  std::vector<std::string> parts;
};

CLI::App* AddJoinCommand(CLI::App& app, JoinArgs& args);

// Exit status 0, or 1 with the reason on `err`.
int RunJoin(const JoinArgs& args, std::ostream& err);

}  // namespace modra
