// glTF at 1,000,000 triangles (four groups of rippled grid sheets with
// their own normals, built in memory): the export to .glb, our reader on
// that file, the whole of File > Open on it (draft scene, reader, taking
// the draft) and the assimp library's import of the same file, once with
// the post-processing our assimp reader asks for and once with nothing
// but triangulation. Each prints its time per run; the assimp runs also
// print assimp_over_open, their time over Open's.
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=ON
//   -DMODRA_TESTS=OFF && cmake --build build/release --target gltf_bench &&
//   build/release/bench/gltf_bench
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <assimp/Importer.hpp>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "cli/stderr_shell.h"
#include "formats/gltf_reader.h"
#include "formats/gltf_writer.h"
#include "formats/import_dispatch.h"
#include "import_bench.h"
#include "scene/bounds.h"

namespace {

constexpr int kGroups = 4;
constexpr int kColumns = 500;  // quads per row, two triangles each
constexpr int kRows = 250;
constexpr long kTriangleCount = 2L * kColumns * kRows * kGroups;
static_assert(kTriangleCount == 1'000'000);

const std::string kPath = "/tmp/modra-gltf-bench-" + std::to_string(::getpid()) + ".glb";
// The file goes with the process.
struct RemoveFile {
  ~RemoveFile() { std::remove(kPath.c_str()); }
} removeFile;

// One sheet as a triangle list: every corner with its position and the
// surface's normal there, as a modelled group holds them.
void AddSheet(modra::Document& doc, int index) {
  using namespace modra;
  const int g = NewGroup(doc.scene, "sheet" + std::to_string(index));
  DisplayGroup& group = doc.scene.groups[g];
  group.flags = Enabled;
  group.color = {0.2f * index, 0.5f, 1 - 0.2f * index};
  DisplayPrimitive prim;
  prim.type = kTriangles;
  prim.vertexCount = 6 * kColumns * kRows;
  std::vector<float>& v = prim.vertices.Mutable();
  v.reserve(static_cast<size_t>(prim.vertexCount) * 6);
  auto corner = [&](int r, int c) {
    const float x = c * 0.01f, y = r * 0.01f + index * 2.6f;
    const float z = 0.1f * std::sin(x * 7) * std::cos(y * 5);
    const float dx = 0.7f * std::cos(x * 7) * std::cos(y * 5);
    const float dy = -0.5f * std::sin(x * 7) * std::sin(y * 5);
    const float len = std::sqrt(dx * dx + dy * dy + 1);
    v.insert(v.end(), {x, y, z, -dx / len, -dy / len, 1 / len});
  };
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kColumns; ++c) {
      corner(r, c), corner(r, c + 1), corner(r + 1, c + 1);
      corner(r, c), corner(r + 1, c + 1), corner(r + 1, c);
    }
  group.primitives.push_back(std::move(prim));
  ComputeBoundingBox(doc.scene, g);
}

// Failures say why on stderr.
modra::StderrShell shell(std::cerr);

modra::Document& Scene() {
  static modra::Document* doc = [] {
    auto* d = new modra::Document(shell);
    for (int i = 0; i < kGroups; ++i)
      AddSheet(*d, i);
    return d;
  }();
  return *doc;
}

// The file the imports read: written by the export, or here when the
// import runs alone (--benchmark_filter).
const std::string& File() {
  static const bool written = modra::WriteGltfFile(Scene(), kPath) == 0;
  (void)written;
  return kPath;
}

// Seconds per run of Open, for the assimp runs' ratio.
double openSeconds = 0;

// Runs `run` as often as the benchmark asks; the seconds of one run.
template <class Run>
double SecondsPerRun(benchmark::State& state, Run run) {
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state)
    if (!run()) {
      state.SkipWithError("failed");
      return 0;
    }
  const double total =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return state.iterations() ? total / static_cast<double>(state.iterations()) : 0;
}

void Counters(benchmark::State& state, const modra::Document* doc) {
  std::error_code error;
  state.counters["file_MB"] =
      static_cast<double>(std::filesystem::file_size(File(), error)) / (1024.0 * 1024.0);
  if (doc && modra::bench::Measure(*doc).faces != kTriangleCount)
    state.SkipWithError("wrong face count");
  state.SetItemsProcessed(state.iterations() * kTriangleCount);
}

void BM_GltfExport(benchmark::State& state) {
  modra::Document& doc = Scene();
  SecondsPerRun(state, [&] { return modra::WriteGltfFile(doc, kPath) == 0; });
  Counters(state, nullptr);
}

void BM_GltfRead(benchmark::State& state) {
  const std::string& file = File();
  // Each run starts from an empty document; the one before goes inside
  // the timing, as a document replaced by Open does.
  std::unique_ptr<modra::Document> doc;
  SecondsPerRun(state, [&] {
    doc = std::make_unique<modra::Document>(shell);
    return modra::ReadGltfModel(*doc, file, false) == 0;
  });
  Counters(state, doc.get());
}

void BM_GltfOpen(benchmark::State& state) {
  const std::string& file = File();
  modra::Document doc(shell);
  openSeconds = SecondsPerRun(state, [&] { return modra::OpenDocument(doc, file) == 0; });
  Counters(state, &doc);
}

// The library's import of the same file: its scene, not ours, so the
// count is its faces.
void Assimp(benchmark::State& state, unsigned flags) {
  const std::string& file = File();
  long faces = 0;
  const double seconds = SecondsPerRun(state, [&] {
    Assimp::Importer importer;
    importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE,
                                aiPrimitiveType_POINT | aiPrimitiveType_LINE);
    const aiScene* scene = importer.ReadFile(file, flags);
    if (!scene) return false;
    faces = 0;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m)
      faces += scene->mMeshes[m]->mNumFaces;
    return true;
  });
  if (faces != kTriangleCount) state.SkipWithError("wrong face count");
  Counters(state, nullptr);
  if (openSeconds > 0) state.counters["assimp_over_open"] = seconds / openSeconds;
}

void BM_AssimpAsOurReaderAsks(benchmark::State& state) {
  Assimp(state, aiProcess_Triangulate | aiProcess_JoinIdenticalVertices | aiProcess_DropNormals |
                    aiProcess_SortByPType | aiProcess_ValidateDataStructure);
}

void BM_AssimpTriangulateOnly(benchmark::State& state) {
  Assimp(state, aiProcess_Triangulate);
}

BENCHMARK(BM_GltfExport)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_GltfRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_GltfOpen)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_AssimpAsOurReaderAsks)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_AssimpTriangulateOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace
