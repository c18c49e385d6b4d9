// `modra thumbnails DIR...`: the thumbnail cache filled with the pictures
// of folders, so that the texture browser opens them fast.
#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>
#include <vector>

namespace modra {

struct ThumbnailsArgs {
  std::vector<std::string> folders;
  std::string cache;  // "" for the default cache
  int threads = 0;    // 0 for one a processor
};

CLI::App* AddThumbnailsCommand(CLI::App& app, ThumbnailsArgs& args);

// Prints "made M, current C, not decoded N" on `out`. Exit status 0, or 1
// when a folder could not be read (after doing the others) or the cache
// could not be opened, with the reason on `err`.
int RunThumbnails(const ThumbnailsArgs& args, std::ostream& out, std::ostream& err);

}  // namespace modra
