#include "cli/join_command.h"

extern "C" {
#include <libavutil/log.h>
}

#include "render/movie_join.h"

namespace modra {

CLI::App* AddJoinCommand(CLI::App& app, JoinArgs& a) {
  CLI::App* join = app.add_subcommand(
      "join", "Join the movie or GIF parts of a render made with `modra render --part`");
  join->add_option("OUT", a.output, "the joined movie or GIF")->required();
  join->add_option("PART", a.parts, "the parts in frame order, as the shell sorts movie.part*.mpg")
      ->required();
  return join;
}

int RunJoin(const JoinArgs& args, std::ostream& err) {
  // The decoder's own notes on a damaged picture would only repeat, less
  // clearly, the one message the join gives.
  av_log_set_level(AV_LOG_QUIET);
  const std::string problem = JoinMovies(args.output, args.parts);
  if (problem.empty()) return 0;
  err << "modra join: " << problem << "\n";
  return 1;
}

}  // namespace modra
