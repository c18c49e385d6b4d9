// Thumbnails of a 1024 x 768 JPEG: made (decoded, scaled, compressed and
// stored) and taken from the cache, to set the texture browser's own
// figures against.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/time.h>

#include <atomic>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "browser/thumbnail.h"
#include "images/jpeg.h"

namespace modra {
namespace {

struct Folder {
  std::string path;
  Folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "thumb-bench-XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~Folder() { std::filesystem::remove_all(path); }
};

// A photograph-like picture: smooth gradients with some grain.
std::string WritePicture(const std::string& folder) {
  const int width = 1024, height = 768;
  std::vector<uint8_t> rgb(size_t(width) * height * 3);
  std::mt19937 random(1);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &rgb[(size_t(y) * width + size_t(x)) * 3];
      const int grain = int(random() % 16);
      p[0] = uint8_t((x / 4 + grain) & 255);
      p[1] = uint8_t((y / 3 + grain) & 255);
      p[2] = uint8_t(((x + y) / 7 + grain) & 255);
    }
  JpegImage jpeg;
  jpeg.quality = 90;
  const std::string path = folder + "/photo.jpg";
  if (jpeg.EncodeFile(path, rgb.data(), width, height) != 0) std::abort();
  return path;
}

void SetTime(const std::string& path, long seconds) {
  const timeval times[2] = {{seconds, 0}, {seconds, 0}};
  utimes(path.c_str(), times);
}

void BM_ThumbnailMade(benchmark::State& state) {
  Folder folder;
  const std::string picture = WritePicture(folder.path);
  ThumbnailCache cache;
  QuietShell shell;
  OpenThumbnailCache(cache, folder.path + "/ThumbNails.bin", shell);
  Thumbnail out;
  long time = 1000;
  for (auto _ : state) {
    // A new modification time each round: the cache never holds it yet.
    state.PauseTiming();
    SetTime(picture, ++time);
    state.ResumeTiming();
    if (FetchThumbnail(cache, picture, out, shell) != ThumbnailSource::kMade) std::abort();
  }
  state.counters["thumbnails/s"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ThumbnailMade)->Unit(benchmark::kMillisecond);

void BM_ThumbnailCached(benchmark::State& state) {
  Folder folder;
  const std::string picture = WritePicture(folder.path);
  ThumbnailCache cache;
  QuietShell shell;
  OpenThumbnailCache(cache, folder.path + "/ThumbNails.bin", shell);
  Thumbnail out;
  FetchThumbnail(cache, picture, out, shell);
  for (auto _ : state)
    if (FetchThumbnail(cache, picture, out, shell) != ThumbnailSource::kCached) std::abort();
  state.counters["thumbnails/s"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ThumbnailCached)->Unit(benchmark::kMicrosecond);

// Threads making thumbnails of pictures of their own into one cache: the
// decoding, scaling and compressing run outside the cache's lock, so the
// rate should grow with the threads up to the processors.
struct Shared {
  Folder folder;
  std::vector<std::string> pictures;
  ThumbnailCache cache;
  QuietShell shell;
  Shared() {
    const std::string first = WritePicture(folder.path);
    for (int t = 0; t < 8; ++t) {
      pictures.push_back(folder.path + "/photo" + std::to_string(t) + ".jpg");
      std::filesystem::copy_file(first, pictures.back());
    }
    OpenThumbnailCache(cache, folder.path + "/ThumbNails.bin", shell);
  }
};

void BM_ThumbnailMadeByThreads(benchmark::State& state) {
  static Shared shared;
  const std::string& picture = shared.pictures[size_t(state.thread_index()) % 8];
  Thumbnail out;
  // Times never used before, across threads and runs: the cache stays.
  static std::atomic<long> clock{1000};
  for (auto _ : state) {
    state.PauseTiming();
    SetTime(picture, ++clock);
    state.ResumeTiming();
    if (FetchThumbnail(shared.cache, picture, out, shared.shell) != ThumbnailSource::kMade)
      std::abort();
  }
  state.counters["thumbnails/s"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ThumbnailMadeByThreads)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ThreadRange(1, 4);

}  // namespace
}  // namespace modra
