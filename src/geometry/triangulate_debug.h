// The triangulator's debug stream: standard error, or a spool file.
// Nothing is printed unless the settings ask for it.
#pragma once

#include <cstdio>
#include <utility>

#include "geometry/triangulate_settings.h"

namespace modra::triangulation {

struct Context;

// The debug stream of one triangulator. The spool file is opened (mode
// "w") at the first text written, so a triangulator that never reports
// leaves no file behind; standard error stands in when it cannot be opened.
class DebugLog {
 public:
  explicit DebugLog(DebugSettings settings) : settings_(std::move(settings)) {}
  ~DebugLog();
  DebugLog(const DebugLog&) = delete;
  DebugLog& operator=(const DebugLog&) = delete;

  const DebugSettings& settings() const { return settings_; }

  // Failure messages are printed only when failures are shown.
  void Failure(const char* text);
  [[gnu::format(printf, 2, 3)]] void FailureF(const char* format, ...);

  // "%d \n" and one line per input vertex with its projected point (and,
  // when asked, the same again with the 3D points).
  void DumpPolygon(const Context& c);
  // "MC_DECOMP TRIANGLES: triangle_cnt = %d [\n", a line per triangle with
  // its input vertex indices, then "]".
  void DumpTriangles(const Context& c);

 private:
  [[gnu::format(printf, 2, 3)]] void Print(const char* format, ...);
  std::FILE* Stream();

  DebugSettings settings_;
  std::FILE* spool_ = nullptr;
  bool opened_ = false;
};

}  // namespace modra::triangulation
