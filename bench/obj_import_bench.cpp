// Importing a Wavefront file of 1,000,000 triangles (positions and normals,
// four groups, smoothing groups every 25 rows) into display groups,
// normals included: the whole of ReadModelFile. The file is written once
// to /tmp and reused. Prints the time per import and, as counters, the
// peak memory one import adds, measured in a forked child whose peak is
// reset first, against the bytes of vertex data the import leaves in the
// display groups.
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=ON
//   -DMODRA_TESTS=OFF && cmake --build build/release --target obj_import_bench &&
//   build/release/bench/obj_import_bench
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "formats/import_dispatch.h"
#include "import_bench.h"

namespace {

constexpr int kColumns = 1000;  // quads per row, two triangles each
constexpr int kRows = 500;
constexpr int kTriangles = 2 * kColumns * kRows;
constexpr int kGroups = 4;
constexpr int kRowsPerSmoothingGroup = 25;
const char* const kPath = "/tmp/modra-obj-bench-1m.obj";

class Writer {
 public:
  explicit Writer(std::FILE* f) : f_(f) { buf_.reserve(kChunk + 256); }
  ~Writer() { Flush(); }
  void Text(std::string_view s) {
    buf_.append(s);
    if (buf_.size() >= kChunk) Flush();
  }
  void Number(float v) {
    char tmp[32];
    auto r = std::to_chars(tmp, tmp + sizeof tmp, v, std::chars_format::fixed, 6);
    Text(std::string_view(tmp, static_cast<size_t>(r.ptr - tmp)));
  }
  void Number(int v) {
    char tmp[16];
    auto r = std::to_chars(tmp, tmp + sizeof tmp, v);
    Text(std::string_view(tmp, static_cast<size_t>(r.ptr - tmp)));
  }
  void Flush() {
    std::fwrite(buf_.data(), 1, buf_.size(), f_);
    buf_.clear();
  }

 private:
  static constexpr size_t kChunk = size_t{1} << 20;
  std::FILE* f_;
  std::string buf_;
};

// A rippled sheet: every vertex has its own position and normal.
void WriteModel(const char* path) {
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return;
  {
    Writer w(f);
    w.Text("# benchmark sheet\n");
    for (int r = 0; r <= kRows; ++r)
      for (int c = 0; c <= kColumns; ++c) {
        const float x = c * 0.01f, y = r * 0.01f;
        const float z = 0.1f * std::sin(x * 7) * std::cos(y * 5);
        const float dx = 0.7f * std::cos(x * 7) * std::cos(y * 5);
        const float dy = -0.5f * std::sin(x * 7) * std::sin(y * 5);
        const float len = std::sqrt(dx * dx + dy * dy + 1);
        w.Text("v ");
        w.Number(x);
        w.Text(" ");
        w.Number(y);
        w.Text(" ");
        w.Number(z);
        w.Text("\nvn ");
        w.Number(-dx / len);
        w.Text(" ");
        w.Number(-dy / len);
        w.Text(" ");
        w.Number(1 / len);
        w.Text("\n");
      }
    auto corner = [&](int r, int c) {
      const int v = r * (kColumns + 1) + c + 1;
      w.Text(" ");
      w.Number(v);
      w.Text("//");
      w.Number(v);
    };
    for (int r = 0; r < kRows; ++r) {
      if (r % (kRows / kGroups) == 0) {
        w.Text("g sheet");
        w.Number(r / (kRows / kGroups));
        w.Text("\n");
      }
      if (r % kRowsPerSmoothingGroup == 0) {
        w.Text("s ");
        w.Number(1 + (r / kRowsPerSmoothingGroup) % 3);
        w.Text("\n");
      }
      for (int c = 0; c < kColumns; ++c) {
        w.Text("f");
        corner(r, c);
        corner(r, c + 1);
        corner(r + 1, c + 1);
        w.Text("\nf");
        corner(r, c);
        corner(r + 1, c + 1);
        corner(r + 1, c);
        w.Text("\n");
      }
    }
  }
  std::fclose(f);
}

void BM_ImportObj(benchmark::State& state) {
  struct stat info {};
  if (::stat(kPath, &info) != 0) WriteModel(kPath);
  modra::bench::RunImport(state, kPath, kTriangles, kTriangles);
}

BENCHMARK(BM_ImportObj)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace
