// Regenerating built-in primitives: the latitude/longitude sphere at
// 500 x 200 (made from nothing, rebuilt at the same resolution, rebuilt
// while the resolution swaps between 500 x 200 and 250 x 100, rebuilt with
// its default mapping, and in place), and every other primitive at its
// largest resolutions. Times are per regeneration; "vertices" is the rate
// of vertices written.
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=ON
//   -DMODRA_TESTS=OFF cmake --build build/release --target primitive_bench &&
//   build/release/bench/primitive_bench
#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>

#include "geometry/primitives.h"
#include "geometry/regenerate.h"
#include "geometry/texture_mapping.h"

namespace {

using modra::Scene;

int64_t VertexCount(const Scene& s, int g) {
  int64_t n = 0;
  for (const modra::DisplayPrimitive& p : s.groups[g].primitives)
    n += p.vertexCount;
  return n;
}

void Regenerate(benchmark::State& state, const std::function<void(Scene&, int)>& make, int rebuild,
                bool mapped) {
  Scene s;
  const int g = modra::NewGroup(s, "bench");
  make(s, g);
  if (mapped && modra::MapDefault(s, g) != 0) state.SkipWithError("mapping failed");
  for (auto _ : state) {
    modra::RegenerateGroup(s, g, rebuild);
    benchmark::DoNotOptimize(s.groups[g].primitives.data());
  }
  state.counters["vertices"] = benchmark::Counter(
      static_cast<double>(VertexCount(s, g) * state.iterations()), benchmark::Counter::kIsRate);
}

void Sphere500x200(Scene& s, int g) {
  modra::MakeSphere1(s, g, 1, 500, 200);
}

void BM_SphereMake(benchmark::State& state) {
  Scene s;
  const int g = modra::NewGroup(s, "bench");
  for (auto _ : state) {
    Sphere500x200(s, g);  // frees the old geometry first
    benchmark::DoNotOptimize(s.groups[g].primitives.data());
  }
  state.counters["vertices"] = benchmark::Counter(
      static_cast<double>(VertexCount(s, g) * state.iterations()), benchmark::Counter::kIsRate);
}

void BM_SphereRebuildSwappingResolution(benchmark::State& state) {
  Scene s;
  const int g = modra::NewGroup(s, "bench");
  Sphere500x200(s, g);
  const float resolutions[2][2] = {{250, 100}, {500, 200}};
  int64_t vertices = 0;
  int turn = 0;
  for (auto _ : state) {
    std::memcpy(s.groups[g].generatorParams.data() + 4, resolutions[turn], 8);
    turn ^= 1;
    modra::RegenerateGroup(s, g, 1);
    vertices += VertexCount(s, g);
  }
  state.counters["vertices"] =
      benchmark::Counter(static_cast<double>(vertices), benchmark::Counter::kIsRate);
}

void BM_SphereRebuild(benchmark::State& state) {
  Regenerate(state, Sphere500x200, 1, false);
}
void BM_SphereRebuildWithDefaultMapping(benchmark::State& state) {
  Regenerate(state, Sphere500x200, 1, true);
}
void BM_SphereInPlace(benchmark::State& state) {
  Regenerate(state, Sphere500x200, 0, true);
}

void BM_ConeMax(benchmark::State& state) {
  Regenerate(
      state, [](Scene& s, int g) { modra::MakeCone(s, g, 1, 2, 0.5f, 500, 100, 100, 100); }, 1,
      false);
}
void BM_RoundedConeMax(benchmark::State& state) {
  Regenerate(
      state, [](Scene& s, int g) { modra::MakeRoundedCone(s, g, 1, 2, 0.5f, 500, 100, 100, 100); },
      1, false);
}
void BM_CylinderMax(benchmark::State& state) {
  Regenerate(
      state, [](Scene& s, int g) { modra::MakeCylinder(s, g, 1, 2, 500, 100, 100); }, 1, false);
}
void BM_TorusMax(benchmark::State& state) {
  Regenerate(
      state, [](Scene& s, int g) { modra::MakeTorus(s, g, 1, 0.25f, 500, 100); }, 1, false);
}
void BM_Sphere2Max(benchmark::State& state) {
  Regenerate(
      state, [](Scene& s, int g) { modra::MakeSphere2(s, g, 1, 50); }, 1, false);
}
void BM_BlockMax(benchmark::State& state) {
  Regenerate(
      state, [](Scene& s, int g) { modra::MakeBlock(s, g, 1, 1, 1, 100); }, 1, false);
}

BENCHMARK(BM_SphereMake)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SphereRebuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SphereRebuildSwappingResolution)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SphereRebuildWithDefaultMapping)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SphereInPlace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConeMax)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoundedConeMax)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CylinderMax)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TorusMax)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sphere2Max)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlockMax)->Unit(benchmark::kMillisecond);

}  // namespace
