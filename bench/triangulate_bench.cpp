// Triangulating noisy circles and spiky stars with holes of 1k to 1M
// points (the 100k case has exactly 100 holes), circles with holes that
// touch (the robust path), and every polygon of the shared fixture
// collection. Reports the time per input vertex
// ("per_vertex", in seconds with an SI prefix: 450n is 450 ns), the
// triangle count and the status (-1 for fixtures that are refused).
//   cmake -S . -B build/tri-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=ON
//     -DMODRA_TESTS=OFF
//   cmake --build build/tri-release --target triangulate_bench
//   build/tri-release/bench/triangulate_bench
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "geometry/triangulate.h"

namespace {

struct Polygon {
  std::vector<float> vertices;
  std::vector<int> ends;
};

// A ring of `count` points around (cx, cy): radius r, wobbling by `noise`
// times the spacing of the points (so that the shape is alike at every
// size), with every other point pulled in by `spike` for a star.
void AddRing(Polygon& p, double cx, double cy, double r, int count, double noise, double spike,
             bool clockwise, std::mt19937& rng) {
  const double step = 2 * std::numbers::pi / count;
  std::uniform_real_distribution<double> wobble(-noise * step, noise * step);
  for (int i = 0; i < count; ++i) {
    const double a = 2 * std::numbers::pi * i / count * (clockwise ? -1 : 1);
    const double rr = r * (1 + wobble(rng)) * (i % 2 ? 1 - spike : 1);
    p.vertices.insert(p.vertices.end(), {static_cast<float>(cx + rr * std::cos(a)),
                                         static_cast<float>(cy + rr * std::sin(a)), 0.0f});
  }
  p.ends.push_back(static_cast<int>(p.vertices.size() / 3) - 1);
}

// About `total` points: half on the outer ring, half shared by
// sqrt(total) / 3.16 small round holes (100 holes at 100k) on a grid
// inside it. With `touching`, the holes are true circles and each one
// touches its right-hand neighbour at a point, which the checks refuse,
// so the robust path covers them.
Polygon Generate(int total, double spike, bool touching = false) {
  std::mt19937 rng(1234);
  Polygon p;
  const int holes = std::max(1, static_cast<int>(std::lround(std::sqrt(total) / 3.1623)));
  const int perHole = std::max(3, total / 2 / holes);
  AddRing(p, 0, 0, 1000, total - holes * perHole, 1.0, spike, false, rng);
  const int side = static_cast<int>(std::ceil(std::sqrt(holes)));
  const double pitch = 1000.0 / side;  // the grid fits in the circle's inner square
  for (int h = 0; h < holes; ++h) {
    const double cx = -500 + pitch * (h % side + 0.5), cy = -500 + pitch * (h / side + 0.5);
    AddRing(p, cx, cy, pitch * (touching ? 0.5 : 0.3), perHole, touching ? 0.0 : 1.0, 0, true, rng);
    if (!touching || h % side == 0) continue;
    // the point at angle 0 of the hole to the left meets this one's at 180 degrees
    const int mine = p.ends[h + 1] - perHole + 1 + perHole / 2, theirs = p.ends[h] - perHole + 1;
    p.vertices[3 * mine] = p.vertices[3 * theirs] = static_cast<float>(cx - pitch / 2);
    p.vertices[3 * mine + 1] = p.vertices[3 * theirs + 1] = static_cast<float>(cy);
  }
  return p;
}

void Triangulating(benchmark::State& state, const Polygon& p) {
  // one triangulator for all: its work areas grow once, as in a caller
  // that keeps one (the fresh case is measured on its own)
  static modra::Triangulator t;
  size_t triangles = 0;
  int status = 0;
  for (auto _ : state) {
    triangles = 0;
    status = t.Run(p.vertices.data(), p.ends.data(), static_cast<int>(p.ends.size()), 0,
                   [&](const float*) { ++triangles; });
    benchmark::DoNotOptimize(triangles);
  }
  const double vertices = static_cast<double>(p.vertices.size() / 3);
  state.counters["vertices"] = vertices;
  state.counters["holes"] = static_cast<double>(p.ends.size() - 1);
  state.counters["triangles"] = static_cast<double>(triangles);
  state.counters["status"] = status;
  // seconds per vertex, printed with its SI prefix ("85.2n" is 85.2 ns)
  state.counters["per_vertex"] = benchmark::Counter(
      vertices, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The same through the free function: a new triangulator, with fresh work
// areas, every time.
void BM_NoisyCircle100kFresh(benchmark::State& state) {
  static const Polygon p = Generate(100000, 0);
  size_t triangles = 0;
  for (auto _ : state) {
    triangles = 0;
    modra::Triangulate(p.vertices.data(), p.ends.data(), static_cast<int>(p.ends.size()), 0,
                       [&](const float*) { ++triangles; });
    benchmark::DoNotOptimize(triangles);
  }
  state.counters["triangles"] = static_cast<double>(triangles);
}
BENCHMARK(BM_NoisyCircle100kFresh)->Unit(benchmark::kMillisecond);

// The robust path at the same size: holes that touch their neighbours.
void BM_TouchingHoles(benchmark::State& state) {
  static Polygon p;
  static int64_t made = 0;
  if (made != state.range(0)) {
    p = Generate(static_cast<int>(state.range(0)), 0, true);
    made = state.range(0);
  }
  Triangulating(state, p);
}
BENCHMARK(BM_TouchingHoles)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_NoisyCircle(benchmark::State& state) {
  static Polygon p;
  static int64_t made = 0;
  if (made != state.range(0)) {
    p = Generate(static_cast<int>(state.range(0)), 0);
    made = state.range(0);
  }
  Triangulating(state, p);
}
// note: each size runs for a while after a warm-up, so that the reused
// triangulator has grown its work areas before the timing starts
BENCHMARK(BM_NoisyCircle)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->MinWarmUpTime(0.5)
    ->MinTime(2.0);

void BM_Star(benchmark::State& state) {
  static Polygon p;
  static int64_t made = 0;
  if (made != state.range(0)) {
    p = Generate(static_cast<int>(state.range(0)), 0.3);
    made = state.range(0);
  }
  Triangulating(state, p);
}
BENCHMARK(BM_Star)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->MinWarmUpTime(0.5)
    ->MinTime(2.0);

// Every fixture, read at start-up (outer ring first, rings closed or not).
Polygon LoadFixture(const std::filesystem::path& path) {
  Polygon p;
  std::ifstream in(path);
  const nlohmann::json j = nlohmann::json::parse(in, nullptr, false);
  if (!j.is_array()) return p;
  for (const auto& ring : j) {
    if (!ring.is_array() || ring.empty()) continue;
    for (const auto& q : ring)
      p.vertices.insert(p.vertices.end(), {q[0].get<float>(), q[1].get<float>(), 0.0f});
    p.ends.push_back(static_cast<int>(p.vertices.size() / 3) - 1);
  }
  return p;
}

const int kFixturesRegistered = [] {
  const std::filesystem::path dir = std::filesystem::path(MODRA_TESTDATA_DIR) / "polygons";
  std::error_code error;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir, error))
    if (entry.path().extension() == ".json" && entry.path().stem() != "expected-earcut")
      files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    Polygon p = LoadFixture(file);
    if (p.ends.empty()) continue;
    benchmark::RegisterBenchmark(("BM_Fixture/" + file.stem().string()).c_str(),
                                 [p](benchmark::State& state) { Triangulating(state, p); })
        ->Unit(benchmark::kMicrosecond);
  }
  return static_cast<int>(files.size());
}();

}  // namespace
