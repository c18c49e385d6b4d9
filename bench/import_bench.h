// The import benchmarks' common loop: the time of one whole import into
// display groups, and what it costs in memory, measured in a forked child
// whose peak resident size is reset just before the import (so neither the
// benchmark nor earlier imports count) against the bytes of vertex data the
// import leaves in the display groups.
#pragma once

#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "formats/import_dispatch.h"

namespace modra::bench {

// A line of /proc/self/status in kilobytes ("VmRSS", "VmHWM"); -1 if missing.
inline long StatusKB(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const size_t n = std::strlen(key);
  while (std::getline(in, line))
    if (line.compare(0, n, key) == 0 && line.size() > n && line[n] == ':')
      return std::strtol(line.c_str() + n + 1, nullptr, 10);
  return -1;
}

// Bytes of vertex data in the display groups, and their faces.
struct Imported {
  size_t bytes = 0;
  long faces = 0;
};
inline Imported Measure(const Document& doc) {
  Imported out;
  for (const DisplayGroup& g : doc.scene.groups)
    for (const DisplayPrimitive& p : g.primitives) {
      out.bytes += p.vertices.size() * sizeof(float);
      out.faces += p.type == kQuads ? p.vertexCount / 4 : p.vertexCount / 3;
    }
  return out;
}

struct PeakMemory {
  double growth = -1;       // bytes the import added to the peak
  double vertexBytes = -1;  // bytes of vertex data it left
};

inline PeakMemory MeasurePeak(const std::string& path) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    PeakMemory result;
    std::ofstream("/proc/self/clear_refs") << "5";  // VmHWM back to VmRSS
    const long before = StatusKB("VmRSS");
    {
      Document doc;
      if (ReadModelFile(doc, path, false) == 0) {
        result.growth = (StatusKB("VmHWM") - before) * 1024.0;
        result.vertexBytes = static_cast<double>(Measure(doc).bytes);
      }
    }
    if (write(fds[1], &result, sizeof result) != sizeof result) _exit(1);
    _exit(0);
  }
  close(fds[1]);
  PeakMemory result;
  if (child < 0 || read(fds[0], &result, sizeof result) != sizeof result) result = {};
  close(fds[0]);
  if (child > 0) waitpid(child, nullptr, 0);
  return result;
}

// Imports `path` as often as the benchmark asks and reports the counters;
// a count of faces other than `faces` marks the run as failed.
inline void RunImport(benchmark::State& state, const std::string& path, long faces,
                      long triangles) {
  // Only the first measurement counts: later ones start in a process whose
  // allocator already holds the pages of the imports before.
  static const PeakMemory peak = MeasurePeak(path);
  Imported last;
  for (auto _ : state) {
    Document doc;
    if (ReadModelFile(doc, path, false) != 0) {
      state.SkipWithError("import failed");
      return;
    }
    state.PauseTiming();
    last = Measure(doc);
    state.ResumeTiming();
  }
  if (last.faces != faces) state.SkipWithError("wrong face count");
  constexpr double kMB = 1024.0 * 1024.0;
  std::error_code error;
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path, error)) / kMB;
  state.counters["vertex_MB"] = static_cast<double>(last.bytes) / kMB;
  state.counters["peak_growth_MB"] = peak.growth / kMB;
  state.counters["peak_per_vertex_data"] =
      peak.growth > 0 && peak.vertexBytes > 0 ? peak.growth / peak.vertexBytes : -1;
  state.SetItemsProcessed(state.iterations() * triangles);
}

}  // namespace modra::bench
