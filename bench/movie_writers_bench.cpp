// Encoding rendered frames: 256 x 256 frames per second through the
// MPEG-1 writer (colour conversion and intra coding) and the animated GIF
// writer (quantising to a local map and LZW coding), and decoding the MPEG
// back through the movie reader, as compositing does. The frames are a
// moving gradient with a noisy band, closer to a rendered scene than a
// flat colour.
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=ON
//   cmake --build build/release --target movie_writers_bench &&
//   build/release/bench/movie_writers_bench
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "render/gif_movie_writer.h"
#include "render/movie_reader.h"
#include "render/mpeg_writer.h"

namespace {

constexpr int kSide = 256;
constexpr int kFrames = 30;

std::vector<std::vector<uint8_t>> MakeFrames() {
  std::vector<std::vector<uint8_t>> frames(kFrames);
  std::mt19937 random(3);
  for (int f = 0; f < kFrames; ++f) {
    std::vector<uint8_t>& rgb = frames[f];
    rgb.resize(size_t{kSide} * kSide * 3);
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        uint8_t* p = &rgb[(size_t{1} * y * kSide + x) * 3];
        const bool band = y > 100 && y < 150;
        p[0] = static_cast<uint8_t>(x + f * 4);
        p[1] = static_cast<uint8_t>(band ? random() & 0xFF : y);
        p[2] = static_cast<uint8_t>((x + y) / 2);
      }
  }
  return frames;
}

struct Scratch {
  std::string dir;
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "modra-bench-XXXXXX").string();
    dir = mkdtemp(pattern.data());
  }
  ~Scratch() { std::filesystem::remove_all(dir); }
};

void BM_MpegWriter(benchmark::State& state) {
  const auto frames = MakeFrames();
  Scratch scratch;
  const std::string path = scratch.dir + "/bench.mpg";
  for (auto _ : state) {
    modra::MpegWriter writer;
    writer.Open(path, kFrames);
    for (const auto& frame : frames)
      writer.AddFrame(frame.data(), kSide, kSide);
    writer.Finish();
  }
  state.counters["frames/s"] =
      benchmark::Counter(kFrames, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_MpegWriter)->Unit(benchmark::kMillisecond);

void BM_GifWriter(benchmark::State& state) {
  const auto frames = MakeFrames();
  Scratch scratch;
  const std::string path = scratch.dir + "/bench.gif";
  for (auto _ : state) {
    modra::GifMovieWriter writer;
    writer.Create(path, kSide, kSide);
    for (const auto& frame : frames)
      writer.AddFrame(frame.data());
    writer.Finish();
  }
  state.counters["frames/s"] =
      benchmark::Counter(kFrames, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_GifWriter)->Unit(benchmark::kMillisecond);

void BM_MovieReader(benchmark::State& state) {
  const auto frames = MakeFrames();
  Scratch scratch;
  const std::string path = scratch.dir + "/bench.mpg";
  {
    modra::MpegWriter writer;
    writer.Open(path, kFrames);
    for (const auto& frame : frames)
      writer.AddFrame(frame.data(), kSide, kSide);
    writer.Finish();
  }
  for (auto _ : state) {
    modra::MovieReader reader;
    reader.Open(path);
    int decoded = 0;
    while (reader.NextFrame())
      ++decoded;
    if (decoded != kFrames) state.SkipWithError("wrong frame count");
  }
  state.counters["frames/s"] =
      benchmark::Counter(kFrames, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_MovieReader)->Unit(benchmark::kMillisecond);

}  // namespace
