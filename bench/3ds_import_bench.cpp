// Importing a 3D Studio file of 1,000,000 triangles (16 objects of 62,500
// faces on a 126 x 252 grid of positions each, with one material list per
// object) through the whole import into display groups, normals included.
// Prints the time per import and the peak memory one import adds against
// the vertex data it leaves (import_bench.h).
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=ON
//   cmake --build build/release --target 3ds_import_bench && build/release/bench/3ds_import_bench
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <bit>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "formats/import_dispatch.h"
#include "import_bench.h"

namespace {

constexpr int kObjects = 16;
constexpr int kColumns = 126, kRows = 252;  // positions per object: 31,752
constexpr int kFacesPerObject = 62'500;     // of the 2 x 125 x 251 the grid holds

using Bytes = std::vector<uint8_t>;

void PutU16(Bytes& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void PutU32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutF32(Bytes& b, float f) {
  PutU32(b, std::bit_cast<uint32_t>(f));
}
// Starts a chunk; Close writes its length once its contents are in.
size_t Open(Bytes& b, uint16_t id) {
  PutU16(b, id);
  PutU32(b, 0);
  return b.size() - 6;
}
void Close(Bytes& b, size_t at) {
  const uint32_t length = static_cast<uint32_t>(b.size() - at);
  for (int i = 0; i < 4; ++i)
    b[at + 2 + i] = static_cast<uint8_t>(length >> (8 * i));
}
void PutName(Bytes& b, const std::string& name) {
  b.insert(b.end(), name.begin(), name.end());
  b.push_back(0);
}

Bytes BuildFile() {
  Bytes b;
  b.reserve(16u << 20);
  const size_t main = Open(b, 0x4D4D);
  const size_t editor = Open(b, 0x3D3D);
  for (int i = 0; i < 2; ++i) {
    const size_t material = Open(b, 0xAFFF);
    const size_t name = Open(b, 0xA000);
    PutName(b, "material" + std::to_string(i));
    Close(b, name);
    const size_t diffuse = Open(b, 0xA020);
    const size_t color = Open(b, 0x0011);
    b.insert(b.end(), {static_cast<uint8_t>(200 * i), 100, 50});
    Close(b, color);
    Close(b, diffuse);
    Close(b, material);
  }
  for (int o = 0; o < kObjects; ++o) {
    const size_t object = Open(b, 0x4000);
    PutName(b, "object" + std::to_string(o));
    const size_t mesh = Open(b, 0x4100);
    const size_t vertices = Open(b, 0x4110);
    PutU16(b, kColumns * kRows);
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kColumns; ++c) {
        // A wavy sheet, so that the normals differ from face to face.
        PutF32(b, static_cast<float>(c) + 200.0f * static_cast<float>(o));
        PutF32(b, static_cast<float>(r));
        PutF32(b, static_cast<float>((r * 7 + c * 3) % 5) * 0.25f);
      }
    Close(b, vertices);
    const size_t faces = Open(b, 0x4120);
    PutU16(b, static_cast<uint16_t>(kFacesPerObject));
    for (int f = 0; f < kFacesPerObject; ++f) {
      const int cell = f / 2, r = cell / (kColumns - 1), c = cell % (kColumns - 1);
      const int v = r * kColumns + c;
      const int corners[2][3] = {{v, v + 1, v + kColumns + 1}, {v, v + kColumns + 1, v + kColumns}};
      for (int k : corners[f % 2])
        PutU16(b, static_cast<uint16_t>(k));
      PutU16(b, 7);
    }
    // Half the faces take the object's material.
    const size_t list = Open(b, 0x4130);
    PutName(b, "material" + std::to_string(o % 2));
    PutU16(b, kFacesPerObject / 2);
    for (int f = 0; f < kFacesPerObject / 2; ++f)
      PutU16(b, static_cast<uint16_t>(2 * f));
    Close(b, list);
    Close(b, faces);
    Close(b, mesh);
    Close(b, object);
  }
  Close(b, editor);
  Close(b, main);
  return b;
}

std::string WriteFile() {
  const std::string path = "/tmp/modra-bench-" + std::to_string(::getpid()) + ".3ds";
  const Bytes b = BuildFile();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  return path;
}

void BM_Import3ds(benchmark::State& state) {
  const std::string path = WriteFile();
  modra::bench::RunImport(state, path, kObjects * kFacesPerObject, kObjects * kFacesPerObject);
  std::remove(path.c_str());
}

BENCHMARK(BM_Import3ds)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace
