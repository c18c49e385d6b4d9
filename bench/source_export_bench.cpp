// Exporting a scene of 1,000,000 triangles (positions and normals, four
// groups) as C source and as Skyloom text. Reports the text written per
// second (bytes/s counts the file's size).
//   cmake -S . -B build/export-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=ON
//   -DMODRA_TESTS=OFF cmake --build build/export-release --target source_export_bench
//   build/export-release/bench/source_export_bench
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "export/gfx_writer.h"
#include "nativefile/source_writer.h"
#include "scene/bounds.h"

namespace {

constexpr int kTriangleCount = 1'000'000;
constexpr int kGroups = 4;

// Coordinates with all their digits in use, as a modelled or imported mesh
// has them, rather than round numbers that print short.
void BuildScene(modra::Document& doc) {
  using namespace modra;
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed >> 8) / static_cast<float>(1 << 24) * 2.0f - 1.0f;
  };
  for (int g = 0; g < kGroups; ++g) {
    int group = NewGroup(doc.scene, "part" + std::to_string(g));
    doc.scene.groups[group].flags = Enabled;
    DisplayPrimitive prim;
    prim.type = kTriangles;
    prim.vertexCount = 3 * (kTriangleCount / kGroups);
    prim.vertices.resize(static_cast<size_t>(prim.vertexCount) * 6);
    for (float& v : prim.vertices.Mutable())
      v = next();
    doc.scene.groups[group].primitives.push_back(std::move(prim));
    ComputeBoundingBox(doc.scene, group);
  }
}

std::string Path(const char* extension) {
  return "/tmp/modra-bench-" + std::to_string(::getpid()) + extension;
}

template <int (*Write)(modra::Document&, const std::string&)>
void Export(benchmark::State& state, const char* extension) {
  modra::Document doc;
  BuildScene(doc);
  const std::string path = Path(extension);
  for (auto _ : state)
    if (Write(doc, path) != 0) state.SkipWithError("export failed");
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(error ? 0 : size));
  state.counters["file_MB"] = static_cast<double>(size) / 1e6;
  std::remove(path.c_str());
}

void BM_SourceExport(benchmark::State& state) {
  Export<modra::WriteSourceFile>(state, ".cpp");
}
void BM_SkyloomExport(benchmark::State& state) {
  Export<modra::WriteSkyloomFile>(state, ".gfx");
}

BENCHMARK(BM_SourceExport)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_SkyloomExport)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace
