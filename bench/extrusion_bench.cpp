// Rebuilding the default extrusion (24 points, both bevels, two caps) and
// the default surface of revolution (8 points, 30 steps; also capped at
// 270 degrees). Prints the time per rebuild.
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=ON
//   cmake --build build/release --target extrusion_bench && build/release/bench/extrusion_bench
#include <benchmark/benchmark.h>

#include "geometry/extrusion.h"
#include "geometry/regenerate.h"
#include "geometry/revolution.h"
#include "geometry/revolution_profile.h"

namespace {

void Rebuild(benchmark::State& state, modra::Document& doc, int g) {
  if (g < 0) {
    state.SkipWithError("the group could not be made");
    return;
  }
  for (auto _ : state) {
    modra::RegenerateGroup(doc.scene, g, 1);
    benchmark::DoNotOptimize(doc.scene.groups[g].primitives.data());
  }
  state.counters["primitives"] = doc.scene.groups[g].primitiveCount();
}

void BM_RebuildDefaultExtrusion(benchmark::State& state) {
  modra::Document doc;
  Rebuild(state, doc, modra::CreateExtrusion(doc));
}

void BM_RebuildDefaultRevolution(benchmark::State& state) {
  modra::Document doc;
  Rebuild(state, doc, modra::CreateRevolution(doc));
}

void BM_RebuildCappedRevolution(benchmark::State& state) {
  modra::Document doc;
  const int g = modra::CreateRevolution(doc);
  modra::RevolutionProfile profile;
  if (g >= 0 && modra::GetRevolutionProfile(doc.scene, g, profile)) {
    profile.flags = modra::kCapEnds;
    modra::SetRevolutionParams(doc.scene, g, {270.0f, 30, 0.0f, 1.0f});
    modra::ApplyRevolution(doc.scene, g, profile);
  }
  Rebuild(state, doc, g);
}

BENCHMARK(BM_RebuildDefaultExtrusion)->Unit(benchmark::kMicrosecond)->MinTime(1);
BENCHMARK(BM_RebuildDefaultRevolution)->Unit(benchmark::kMicrosecond)->MinTime(1);
BENCHMARK(BM_RebuildCappedRevolution)->Unit(benchmark::kMicrosecond)->MinTime(1);

}  // namespace
