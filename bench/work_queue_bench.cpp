// What one scroll step of the texture browser costs the window thread: a
// Want of the 1000 cells in view and ahead, then a Take of what finished,
// while 4 workers are busy making thumbnails (about 50 us of work each, so
// they keep taking keys and filing results while the window calls in).
// "Row" scrolls by one row of 8 cells, so most keys stay queued; "Page"
// jumps to 1000 new cells each step, so every pending key is dropped.
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=ON
//   -DMODRA_TESTS=OFF && cmake --build build/release --target work_queue_bench &&
//   build/release/bench/work_queue_bench
#include <benchmark/benchmark.h>

#include <chrono>
#include <numeric>
#include <vector>

#include "browser/work_queue.h"

namespace {

using modra::WorkQueue;

constexpr int kWanted = 1000;
constexpr unsigned kThreads = 4;

int Spin(int key) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::microseconds(50);
  int value = key;
  while (std::chrono::steady_clock::now() < end)
    value = value * 31 + 7;
  return value;
}

void ScrollSteps(benchmark::State& state, int step) {
  WorkQueue<int, int> queue(Spin, kThreads);
  std::vector<int> keys(kWanted);
  int first = 0;
  size_t made = 0;
  for (auto _ : state) {
    // The window builds its list anew on each step, so that is counted too.
    std::iota(keys.begin(), keys.end(), first);
    queue.Want(keys);
    made += queue.Take().size();
    first += step;
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kWanted);
  state.counters["madePerStep"] =
      static_cast<double>(made) / static_cast<double>(state.iterations());
}

void BM_ScrollByRow(benchmark::State& state) {
  ScrollSteps(state, 8);
}
void BM_ScrollByPage(benchmark::State& state) {
  ScrollSteps(state, kWanted);
}

BENCHMARK(BM_ScrollByRow)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ScrollByPage)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
