// Undo on a scene of 1,000,000 triangles (1,000 groups of 1,000, every
// group keyed at frames 0 and 50): what 100 moves add to the history, what
// one undo or redo of each kind of step costs, what recording adds to a
// move, and what the look for changes made outside a step costs each edit.
// "bytes" counters are what History::MemoryUse() grew by, "stepBytes" what
// the memory limit weighs; an UndoRedo time is one undo plus one redo.
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=ON
//   -DMODRA_TESTS=OFF && cmake --build build/release --target undo_bench &&
//   build/release/bench/undo_bench
#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <string>

#include "anim/key_commands.h"
#include "anim/playback.h"
#include "document/group_edit.h"
#include "edit/history.h"
#include "edit/transform_edits.h"
#include "formats/import_dispatch.h"
#include "geometry/primitives.h"

namespace {

using namespace modra;

constexpr int kGroups = 1000;
constexpr int kTrianglesPerGroup = 1000;

// A strip of triangles per group, side by side.
void AddGroups(Document& doc) {
  Scene& s = doc.scene;
  for (int n = 0; n < kGroups; ++n) {
    const int g = NewGroup(s, "part " + std::to_string(n));
    DisplayPrimitive prim;
    prim.vertexCount = 3 * kTrianglesPerGroup;
    std::vector<float>& v = prim.vertices.Mutable();
    v.reserve(static_cast<size_t>(prim.vertexCount) * 6);
    for (int t = 0; t < kTrianglesPerGroup; ++t) {
      const float x = 0.001f * t, y = 0.002f * n;
      v.insert(v.end(), {x, y, 0, 0, 0, 1, x + 0.001f, y, 0, 0, 0, 1, x, y + 0.002f, 0, 0, 0, 1});
    }
    s.groups[g].primitives.push_back(std::move(prim));
    s.groups[g].flags |= Enabled;
  }
}

struct BigScene {
  Document doc;
  History history{doc};
  EditLayer layer{doc, nullptr};

  explicit BigScene(bool recording) {
    AddGroups(doc);
    SelectAll(doc);
    for (int frame : {50, 0}) {
      GoToFrame(doc, frame);
      ApplyTransformChange(layer, TransformPanel::kTranslation, {0.1f, 0, 0});
    }
    SelectOnly(doc.scene.rootHead);
    history.Clear();
    // A change slipped in outside a step would be folded into the next one
    // and weighed as its own; stop instead.
    history.SetStrict(true);
    if (recording) layer.SetRecorder(&history);
  }
  // Showing a frame, or filling a clipboard, outside a step.
  void Settled(const std::function<void()>& fn) {
    fn();
    history.Settle();
  }
  void SelectOnly(int g) {
    DeselectAll(doc);
    doc.scene.groups[g].flags |= Selected | highlighted;
    doc.scene.selectedGroup = g;
  }
  void Move() { ApplyTransformChange(layer, TransformPanel::kTranslation, {0.001f, 0, 0}); }
};

// One move of one group, or of every group, with and without a history.
void Move(benchmark::State& state, bool recording, bool all) {
  BigScene b(recording);
  if (all) SelectAll(b.doc);
  int n = 0;
  for (auto _ : state) {
    b.Move();
    if (++n % 100 == 0) {
      state.PauseTiming();
      b.history.Clear();
      state.ResumeTiming();
    }
  }
}
BENCHMARK_CAPTURE(Move, OneGroupNoHistory, false, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Move, OneGroupWithHistory, true, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Move, AllGroupsNoHistory, false, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Move, AllGroupsWithHistory, true, true)->Unit(benchmark::kMicrosecond);

// The look at the start of each step for changes made outside one: a
// comparison of the whole document with the history's mirror, alone.
void OutsideChangeCheck(benchmark::State& state) {
  BigScene b(true);
  const DocumentMirror mirror(b.doc);
  for (auto _ : state)
    benchmark::DoNotOptimize(mirror.Compare(b.doc));
}
BENCHMARK(OutsideChangeCheck)->Unit(benchmark::kMicrosecond);

// What 100 moves add to the history.
void HistoryBytes(benchmark::State& state, bool all) {
  for (auto _ : state) {
    state.PauseTiming();
    BigScene b(true);
    if (all) SelectAll(b.doc);
    const size_t start = b.history.MemoryUse();
    state.ResumeTiming();
    for (int i = 0; i < 100; ++i)
      b.Move();
    state.PauseTiming();
    const size_t bytes = b.history.MemoryUse() - start;
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["bytesPerGroupMove"] =
        static_cast<double>(bytes) / (100.0 * (all ? kGroups : 1));
    state.counters["stepBytes"] = static_cast<double>(b.history.StepBytes());
    state.counters["mirrorBytes"] = static_cast<double>(start);
    state.ResumeTiming();
  }
}
BENCHMARK_CAPTURE(HistoryBytes, HundredMovesOfOneGroup, false)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(HistoryBytes, HundredMovesOfAllGroups, true)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// One undo followed by one redo of a step of each kind; with `away`, the
// frame moves there after each pair, so undo has to return to the step's.
void UndoRedo(benchmark::State& state, const std::function<void(BigScene&)>& step, int away = -1) {
  BigScene b(true);
  step(b);
  if (!b.history.CanUndo()) state.SkipWithError("no step");
  for (auto _ : state) {
    b.history.Undo();
    b.history.Redo();
    if (away >= 0) {
      state.PauseTiming();
      GoToFrame(b.doc, away);
      state.ResumeTiming();
    }
  }
  state.counters["bytes"] = static_cast<double>(b.history.MemoryUse());
  state.counters["stepBytes"] = static_cast<double>(b.history.StepBytes());
}
void Bracket(BigScene& b, const char* name, const std::function<void()>& fn) {
  b.history.Record(name, fn);
}
BENCHMARK_CAPTURE(UndoRedo, MoveOneGroup, [](BigScene& b) {
  b.Move();
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(UndoRedo, MoveAllGroups, [](BigScene& b) {
  SelectAll(b.doc);
  b.Move();
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(
    UndoRedo, MoveAtAnotherFrame,
    [](BigScene& b) {
      b.Settled([&] { GoToFrame(b.doc, 25); });
      b.Move();
      b.Settled([&] { GoToFrame(b.doc, 0); });
    },
    0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(UndoRedo, CutAllGroups, [](BigScene& b) {
  SelectAll(b.doc);
  Bracket(b, "Cut", [&] { Cut(b.doc); });
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(UndoRedo, PasteAllGroups, [](BigScene& b) {
  SelectAll(b.doc);
  b.Settled([&] { Copy(b.doc); });
  Bracket(b, "Paste", [&] { Paste(b.doc); });
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(UndoRedo, ReverseNormalsOfAllGroups, [](BigScene& b) {
  SelectAll(b.doc);
  Bracket(b, "Reverse Normals", [&] { ReverseNormals(b.doc); });
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(UndoRedo, CreateSphere, [](BigScene& b) {
  Bracket(b, "Sphere", [&] { CreateSphere1(b.doc); });
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(UndoRedo, PasteKeyFrame, [](BigScene& b) {
  b.Settled([&] {
    GoToFrame(b.doc, 50);
    CutOrCopyKeyFrame(b.doc, false);
    GoToFrame(b.doc, 0);
  });
  Bracket(b, "Paste Key Frame", [&] { PasteKeyFrame(b.doc, false); });
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(UndoRedo, ScaleRange, [](BigScene& b) {
  Bracket(b, "Scale Range", [&] { ScaleRange(b.doc, 0, 50, 200); });
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(UndoRedo, AppendWuson, [](BigScene& b) {
  Bracket(b, "Append WusonOBJ.obj", [&] {
    AppendModelFile(b.doc, std::string(MODRA_TESTDATA_DIR) + "/models/obj/WusonOBJ.obj");
  });
})->Unit(benchmark::kMillisecond);

}  // namespace
