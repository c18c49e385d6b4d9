#include "cli/thumbnails_command.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <mutex>
#include <thread>

#include "browser/cache_location.h"
#include "browser/thumbnail.h"
#include "cli/stderr_shell.h"

namespace modra {
namespace {

// The workers' messages, one at a time.
class LockedShell : public Shell {
 public:
  explicit LockedShell(Shell& shell) : shell_(shell) {}
  void Message(std::string_view text) override {
    std::lock_guard<std::mutex> guard(mutex_);
    shell_.Message(text);
  }
  bool Ask(std::string_view question) override {
    std::lock_guard<std::mutex> guard(mutex_);
    return shell_.Ask(question);
  }

 private:
  Shell& shell_;
  std::mutex mutex_;
};

}  // namespace

CLI::App* AddThumbnailsCommand(CLI::App& app, ThumbnailsArgs& a) {
  CLI::App* thumbnails = app.add_subcommand(
      "thumbnails", "Make the texture browser's thumbnails of the pictures in folders");
  thumbnails
      ->add_option("DIR", a.folders,
                   "folders whose .jpg .bmp .ppm .gif pictures to take (not their sub-folders)")
      ->required();
  thumbnails->add_option("--cache", a.cache,
                         "the cache file (default $XDG_CACHE_HOME/modra/ThumbNails.bin)");
  thumbnails->add_option("--threads", a.threads, "pictures made at once (default one a processor)")
      ->check(CLI::Range(1, 256));
  return thumbnails;
}

int RunThumbnails(const ThumbnailsArgs& args, std::ostream& out, std::ostream& err) {
  StderrShell stderrShell(err);
  LockedShell shell(stderrShell);
  const std::string cachePath = args.cache.empty() ? DefaultThumbnailCachePath() : args.cache;
  ThumbnailCache cache;
  if (cachePath.empty() || OpenThumbnailCache(cache, cachePath, shell) != 0) {
    err << "modra thumbnails: can't open the thumbnail cache "
        << (cachePath.empty() ? "(neither XDG_CACHE_HOME nor HOME is set)" : cachePath) << "\n";
    return 1;
  }

  int status = 0;
  std::vector<std::string> pictures;
  for (const std::string& folder : args.folders) {
    std::error_code error;
    std::vector<std::string> found;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
      const std::string name = it->path().string();
      if (IsPictureName(name) && it->is_regular_file(error)) found.push_back(name);
    }
    if (error) {
      err << "modra thumbnails: can't read " << folder << ": " << error.message() << "\n";
      status = 1;
      continue;
    }
    std::sort(found.begin(), found.end());
    pictures.insert(pictures.end(), found.begin(), found.end());
  }

  std::atomic<size_t> next{0};
  std::atomic<int> made{0}, current{0}, notDecoded{0};
  auto work = [&] {
    Thumbnail thumbnail;
    for (size_t i; (i = next++) < pictures.size();) {
      switch (FetchThumbnail(cache, pictures[i], thumbnail, shell)) {
        case ThumbnailSource::kCached:
          ++current;
          break;
        case ThumbnailSource::kMade:
          ++made;
          break;
        case ThumbnailSource::kNotDecoded:
          ++notDecoded;
          break;
      }
    }
  };
  const unsigned threads =
      args.threads > 0 ? unsigned(args.threads) : std::max(1u, std::thread::hardware_concurrency());
  std::vector<std::thread> workers;
  for (unsigned t = 1; t < std::min<size_t>(threads, pictures.size()); ++t)
    workers.emplace_back(work);
  work();
  for (std::thread& w : workers)
    w.join();
  CloseThumbnailCache(cache);
  out << "made " << made << ", current " << current << ", not decoded " << notDecoded << "\n";
  return status;
}

}  // namespace modra
