// One pick in a scene of 10,000 groups (a 100 x 100 grid of two-triangle
// squares) at 512 x 512 in the headless context, with the framebuffer's
// own 8 bits per channel (one pass) and with 2 bits (three passes).
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=ON
//   -DMODRA_TESTS=OFF && cmake --build build/release --target pick_bench &&
//   LIBGL_ALWAYS_SOFTWARE=1 build/release/bench/pick_bench
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <string>

#include "document/document.h"
#include "io/heap_policy.h"
#include "render/headless_gl.h"
#include "view/gl_state.h"
#include "view/pick.h"

namespace {

using namespace modra;

constexpr int kSide = 100;

void Fill(Scene& s) {
  for (int row = 0; row < kSide; ++row)
    for (int col = 0; col < kSide; ++col) {
      const int g = NewGroup(s, "cell");
      DisplayGroup& group = s.groups[g];
      group.flags |= Enabled;
      const float x = -1 + 2.0f * col / kSide, y = -1 + 2.0f * row / kSide, d = 1.8f / kSide;
      DisplayPrimitive prim;
      prim.vertexCount = 6;
      prim.vertices = {x,     y,     0, 0, 0, -1, x + d, y,     0, 0, 0, -1,
                       x + d, y + d, 0, 0, 0, -1, x + d, y + d, 0, 0, 0, -1,
                       x,     y + d, 0, 0, 0, -1, x,     y,     0, 0, 0, -1};
      group.primitives.push_back(std::move(prim));
    }
}

void BM_Pick(benchmark::State& state) {
  SetHeapPolicy();  // as the program runs
  HeadlessGl gl;
  std::string error;
  if (!gl.Create(512, 512, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  Document doc;
  Fill(doc.scene);
  doc.display.currentView = kViewFront;
  PickTarget target{512, 512, InitGlState(doc.scene.global.background)};
  const int bits = static_cast<int>(state.range(0));
  target.bits = {bits, bits, bits};
  GroupDrawer drawer;
  int hits = 0;
  for (auto _ : state)
    hits += PickGroupAt(drawer, doc.scene, doc.display, target, 0.31f, -0.47f) >= 0;
  if (hits != static_cast<int>(state.iterations())) state.SkipWithError("a pick missed");
}
BENCHMARK(BM_Pick)->Arg(8)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
