// Drawing a scene of 1,000,000 triangles (100 groups of 10,000 one-triangle
// primitives, as the importers make them) at 512 x 512 in the headless
// context, Solid mode from the Perspective view: the group drawer's client
// vertex arrays against the same walk sent vertex by vertex in immediate
// mode. "fps" is whole pictures per second, glFinish included.
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=ON
//   -DMODRA_TESTS=OFF && cmake --build build/release --target scene_draw_bench &&
//   LIBGL_ALWAYS_SOFTWARE=1 build/release/bench/scene_draw_bench
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <string>

#include "render/headless_gl.h"
#include "scene/document.h"
#include "scene/matrix.h"
#include "view/gl_state.h"
#include "view/projection.h"
#include "view/scene_draw.h"

namespace {

using namespace modra;

constexpr int kGroups = 100;
constexpr int kTrianglesPerGroup = 10000;

// Small triangles tiling a band of the view, one band per group.
void Fill(Scene& s) {
  for (int g = 0; g < kGroups; ++g) {
    const int at = NewGroup(s, "band");
    DisplayGroup& group = s.groups[at];
    group.flags |= Enabled;
    group.color = {0.2f + 0.006f * g, 0.5f, 0.8f};
    group.primitives.reserve(kTrianglesPerGroup);
    const float y = -1 + 2.0f * g / kGroups;
    for (int t = 0; t < kTrianglesPerGroup; ++t) {
      const float x = -1 + 2.0f * t / kTrianglesPerGroup;
      DisplayPrimitive prim;
      prim.vertexCount = 3;
      prim.vertices = {x, y, 0, 0, 0, -1, x + 0.01f, y, 0, 0, 0, -1, x, y + 0.02f, 0, 0, 0, -1};
      group.primitives.push_back(std::move(prim));
    }
  }
}

// The baseline: the same lights and groups, one glBegin/glEnd per run of
// triangles.
void DrawImmediate(const Scene& s) {
  SetDefaultLights();
  glPushMatrix();
  glScalef(1, 1, -1);
  glPushMatrix();
  SetAllLights(s);
  glPopMatrix();
  ForEachSibling(s, s.rootHead, [&](int g) {
    const DisplayGroup& group = s.groups[g];
    glPushMatrix();
    glMultMatrixf(group.matrix.data());
    glColor3fv(group.color.data());
    glBegin(GL_TRIANGLES);
    for (const DisplayPrimitive& prim : group.primitives)
      for (int v = 0; v < prim.vertexCount; ++v) {
        glNormal3fv(prim.vertices.data() + 6 * v + 3);
        glVertex3fv(prim.vertices.data() + 6 * v);
      }
    glEnd();
    glPopMatrix();
  });
  glPopMatrix();
}

void DrawMillionTriangles(benchmark::State& state, bool arrays) {
  HeadlessGl gl;
  std::string error;
  if (!gl.Create(512, 512, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  Document doc;
  Fill(doc.scene);
  doc.display.displayMode = kSolid;
  InitGlState(doc.scene.global.background);
  GroupDrawer drawer;
  const ViewSetting& view = doc.display.views[kViewPerspective];
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SetupView(view, kViewPerspective, 1);
    if (arrays)
      DrawScene(drawer, doc.scene, doc.display);
    else
      DrawImmediate(doc.scene);
    glFinish();
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_VertexArrays(benchmark::State& state) {
  DrawMillionTriangles(state, true);
}
void BM_ImmediateMode(benchmark::State& state) {
  DrawMillionTriangles(state, false);
}
BENCHMARK(BM_VertexArrays)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ImmediateMode)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
