// The triangulator's diagnostics: which ones the environment asks for, and
// the stream they go to (standard error, or a spool file). Nothing is
// printed unless one of the QX_DEBUG_... variables is set.
#pragma once

#include <cstdio>
#include <string>
#include <utility>

namespace modra::triangulation {

struct Context;

struct DebugSettings {
  int dumpEvery = 1;           // QX_DEBUG_DECOMP_COUNT: dump on runs numbered N, 2N, ...
  bool dumpPoints3d = false;   // QX_DEBUG_DECOMP_SHOW_MC
  bool showTriangles = false;  // QX_DEBUG_SHOW_DECOMP_TRIANGLES
  bool showFailures = false;   // QX_DEBUG_SHOW_DECOMP_FAILURES
  bool hintsSimple = false;    // QX_DEBUG_SET_HINTS_SIMPLE: skip the checks
  bool hex = false;            // QX_DEBUG_DECOMP_PRINT_HEX_FORMAT
  std::string spoolFile;       // QX_DEBUG_DECOMP_SPOOL_FILE

  // A variable counts as set whatever its value; a count that is not a
  // positive number dumps every run.
  static DebugSettings FromEnvironment();
};

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
