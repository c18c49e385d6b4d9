// Importing an AutoCAD DXF file of 1,000,000 triangles (980,000 3DFACE
// entities, half written with three corners and half as four corners
// whose last two are equal, plus 100 polygon meshes of 11 x 11 vertices)
// through the whole import into display groups, normals included. The
// file is written to /tmp once. Prints the time per import, the file size
// and the peak memory one import adds against the vertex data it leaves
// (import_bench.h).
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=ON
//   cmake --build build/release --target dxf_import_bench && build/release/bench/dxf_import_bench
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "formats/dxf_reader.h"
#include "formats/import_dispatch.h"
#include "import_bench.h"

namespace {

constexpr int kFaces = 980'000;
constexpr int kMeshes = 100, kMeshSide = 11;  // 100 quads, 200 triangles each
constexpr int kMeshQuads = kMeshes * (kMeshSide - 1) * (kMeshSide - 1);
constexpr int kTriangles = kFaces + kMeshQuads * 2;

struct Writer {
  std::FILE* file;
  void Group(int code, const char* value) { std::fprintf(file, "%d\n%s\n", code, value); }
  void Point(int code, double x, double y, double z) {
    std::fprintf(file, "%d\n%.6f\n%d\n%.6f\n%d\n%.6f\n", code, x, code + 10, y, code + 20, z);
  }
};

// A wavy sheet of triangles, then the meshes as bumps above it.
std::string WriteFile() {
  const std::string path = "/tmp/modra-bench-" + std::to_string(::getpid()) + ".dxf";
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                       &std::fclose);
  Writer w{file.get()};
  w.Group(999, "modra benchmark");
  w.Group(0, "SECTION");
  w.Group(2, "HEADER");
  w.Group(9, "$ACADVER");
  w.Group(1, "AC1009");
  w.Group(0, "ENDSEC");
  w.Group(0, "SECTION");
  w.Group(2, "ENTITIES");
  constexpr int kColumns = 700;
  auto height = [](int i, int j) { return 0.1 * std::sin(i * 0.05) * std::cos(j * 0.07); };
  for (int f = 0; f < kFaces; ++f) {
    const int cell = f / 2, i = cell % kColumns, j = cell / kColumns;
    const bool upper = f % 2;
    w.Group(0, "3DFACE");
    w.Group(8, "0");
    w.Point(10, i, j, height(i, j));
    w.Point(11, i + 1, j + upper, height(i + 1, j + upper));
    w.Point(12, i + !upper, j + 1, height(i + !upper, j + 1));
    if (f % 4 >= 2) w.Point(13, i + !upper, j + 1, height(i + !upper, j + 1));
  }
  for (int mesh = 0; mesh < kMeshes; ++mesh) {
    w.Group(0, "POLYLINE");
    w.Group(8, "0");
    w.Group(66, "1");
    w.Group(70, "16");
    w.Group(71, "11");
    w.Group(72, "11");
    for (int k = 0; k < kMeshSide * kMeshSide; ++k) {
      const int i = k / kMeshSide, j = k % kMeshSide;
      w.Group(0, "VERTEX");
      w.Group(8, "0");
      w.Point(10, mesh * 7 + i * 0.5, j * 0.5, 5 + std::sin(i * 0.3) * std::sin(j * 0.3));
      w.Group(70, "64");
    }
    w.Group(0, "SEQEND");
    w.Group(8, "0");
  }
  w.Group(0, "ENDSEC");
  w.Group(0, "EOF");
  return path;
}

void BM_ImportDxf(benchmark::State& state) {
  const std::string path = WriteFile();
  modra::bench::RunImport(state, path, kFaces + kMeshQuads, kTriangles);
  std::remove(path.c_str());
}

// The reader alone: the file into the staging mesh, normals included.
void BM_ReadDxfOnly(benchmark::State& state) {
  const std::string path = WriteFile();
  for (auto _ : state) {
    modra::Document doc;
    if (modra::ReadDxfModel(doc, path) != 0) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(doc.importMesh.faces.data());
  }
  std::remove(path.c_str());
}

BENCHMARK(BM_ImportDxf)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_ReadDxfOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace
