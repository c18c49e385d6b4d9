// Saving and loading a native file of 1,000,000 triangles (positions and
// normals, four groups). Prints the time per save and per load.
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=ON
//   cmake --build build/release --target native_file_bench && build/release/bench/native_file_bench
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "nativefile/native_reader.h"
#include "nativefile/native_writer.h"
#include "scene/bounds.h"

namespace {

constexpr int kTriangleCount = 1'000'000;
constexpr int kGroups = 4;

void BuildScene(modra::Document& doc) {
  using namespace modra;
  for (int g = 0; g < kGroups; ++g) {
    int group = NewGroup(doc.scene, "part" + std::to_string(g));
    doc.scene.groups[group].flags = Enabled;
    DisplayPrimitive prim;
    prim.type = kTriangles;
    prim.vertexCount = 3 * (kTriangleCount / kGroups);
    std::vector<float>& v = prim.vertices.Mutable();
    v.resize(static_cast<size_t>(prim.vertexCount) * 6);
    for (size_t i = 0; i < v.size(); ++i)
      v[i] = static_cast<float>(i % 1000) * 0.001f;
    doc.scene.groups[group].primitives.push_back(std::move(prim));
    ComputeBoundingBox(doc.scene, group);
  }
}

std::string Path() {
  return "/tmp/modra-bench-" + std::to_string(::getpid()) + ".knf";
}

void BM_SaveNative(benchmark::State& state) {
  modra::Document doc;
  BuildScene(doc);
  const std::string path = Path();
  for (auto _ : state)
    if (modra::WriteNativeFile(doc, path) != 0) state.SkipWithError("save failed");
  state.SetBytesProcessed(state.iterations() * int64_t{kTriangleCount} * 3 * 24);
  std::remove(path.c_str());
}

void BM_LoadNative(benchmark::State& state) {
  const std::string path = Path();
  {
    modra::Document doc;
    BuildScene(doc);
    modra::WriteNativeFile(doc, path);
  }
  for (auto _ : state) {
    modra::Document doc;
    if (int r = modra::ReadNativeFile(doc, path, false); r != 0)
      state.SkipWithError(("load failed: " + std::to_string(r)).c_str());
    benchmark::DoNotOptimize(doc.scene.groups.data());
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kTriangleCount} * 3 * 24);
  std::remove(path.c_str());
}

BENCHMARK(BM_SaveNative)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_LoadNative)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

}  // namespace
