// Drawing scenes of about 1,000,000 triangles at 512 x 512 in the headless
// context, Solid mode from the Perspective view: the group drawer against
// the same walk sent vertex by vertex in immediate mode. "fps" is whole
// pictures per second, glFinish included; one picture is drawn before the
// clock starts.
//   Bands:  100 groups of 10,000 separate one-triangle primitives.
//   Mesh:   100 spheres of 10,000 triangles, one primitive per triangle
//           with its own copy of the shared corners, as the importers make
//           them.
//   Strips: the same spheres as one triangle strip per ring, as the
//           generators make them.
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=ON
//   -DMODRA_TESTS=OFF && cmake --build build/release --target scene_draw_bench &&
//   LIBGL_ALWAYS_SOFTWARE=1 build/release/bench/scene_draw_bench
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <string>

#include "document/document.h"
#include "io/heap_policy.h"
#include "render/headless_gl.h"
#include "scene/matrix.h"
#include "view/gl_state.h"
#include "view/projection.h"
#include "view/scene_draw.h"

namespace {

using namespace modra;

constexpr int kGroups = 100;
constexpr int kTrianglesPerGroup = 10000;
// A sphere of kRings x kSegments quads, each two triangles.
constexpr int kRings = 50;
constexpr int kSegments = kTrianglesPerGroup / kRings / 2;

enum class SceneKind { kBands, kMesh, kStrips };

int AddGroup(Scene& s, int g) {
  const int at = NewGroup(s, "group");
  DisplayGroup& group = s.groups[at];
  group.flags |= Enabled;
  group.color = {0.2f + 0.006f * g, 0.5f, 0.8f};
  return at;
}

// Small triangles tiling a band of the view, one band per group.
void FillBands(Scene& s) {
  for (int g = 0; g < kGroups; ++g) {
    DisplayGroup& group = s.groups[AddGroup(s, g)];
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

// Spheres in a 10 x 10 grid filling the view.
void FillSpheres(Scene& s, bool strips) {
  constexpr float kPi = std::numbers::pi_v<float>;
  for (int g = 0; g < kGroups; ++g) {
    DisplayGroup& group = s.groups[AddGroup(s, g)];
    const float cx = -0.9f + 0.2f * (g % 10), cy = -0.9f + 0.2f * (g / 10), r = 0.095f;
    auto vertex = [&](int ring, int segment, std::vector<float>& out) {
      const float theta = kPi * ring / kRings, phi = 2 * kPi * (segment % kSegments) / kSegments;
      const float nx = std::sin(theta) * std::cos(phi), ny = std::cos(theta),
                  nz = std::sin(theta) * std::sin(phi);
      out.insert(out.end(), {cx + r * nx, cy + r * ny, r * nz, nx, ny, nz});
    };
    for (int ring = 0; ring < kRings; ++ring) {
      if (strips) {
        DisplayPrimitive prim;
        prim.type = kTriangleStrip;
        prim.vertexCount = 2 * (kSegments + 1);
        std::vector<float> v;
        for (int segment = 0; segment <= kSegments; ++segment) {
          vertex(ring, segment, v);
          vertex(ring + 1, segment, v);
        }
        prim.vertices = std::move(v);
        group.primitives.push_back(std::move(prim));
        continue;
      }
      for (int segment = 0; segment < kSegments; ++segment)
        for (int half = 0; half < 2; ++half) {
          DisplayPrimitive prim;
          prim.vertexCount = 3;
          std::vector<float> v;
          vertex(ring, segment, v);
          vertex(ring + 1, segment + half, v);
          vertex(ring + half, segment + 1, v);
          prim.vertices = std::move(v);
          group.primitives.push_back(std::move(prim));
        }
    }
  }
}

// The baseline: the same lights and groups, one glBegin/glEnd per run of
// triangles and per strip.
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
    bool open = false;
    for (const DisplayPrimitive& prim : group.primitives) {
      const bool strip = prim.type == kTriangleStrip;
      if (open && strip) glEnd();
      if (!open || strip) glBegin(strip ? GL_TRIANGLE_STRIP : GL_TRIANGLES);
      open = !strip;
      for (int v = 0; v < prim.vertexCount; ++v) {
        glNormal3fv(prim.vertices.data() + 6 * v + 3);
        glVertex3fv(prim.vertices.data() + 6 * v);
      }
      if (strip) glEnd();
    }
    if (open) glEnd();
    glPopMatrix();
  });
  glPopMatrix();
}

void DrawMillionTriangles(benchmark::State& state, SceneKind kind, bool drawer) {
  SetHeapPolicy();  // as the program runs
  HeadlessGl gl;
  std::string error;
  if (!gl.Create(512, 512, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  Document doc;
  if (kind == SceneKind::kBands)
    FillBands(doc.scene);
  else
    FillSpheres(doc.scene, kind == SceneKind::kStrips);
  doc.display.displayMode = kSolid;
  InitGlState(doc.scene.global.background);
  GroupDrawer groupDrawer;
  const ViewSetting& view = doc.display.views[kViewPerspective];
  auto frame = [&] {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SetupView(view, kViewPerspective, 1);
    if (drawer)
      DrawScene(groupDrawer, doc.scene, doc.display);
    else
      DrawImmediate(doc.scene);
    glFinish();
  };
  frame();
  for (auto _ : state)
    frame();
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Bands_Drawer(benchmark::State& state) {
  DrawMillionTriangles(state, SceneKind::kBands, true);
}
void BM_Bands_Immediate(benchmark::State& state) {
  DrawMillionTriangles(state, SceneKind::kBands, false);
}
void BM_Mesh_Drawer(benchmark::State& state) {
  DrawMillionTriangles(state, SceneKind::kMesh, true);
}
void BM_Mesh_Immediate(benchmark::State& state) {
  DrawMillionTriangles(state, SceneKind::kMesh, false);
}
void BM_Strips_Drawer(benchmark::State& state) {
  DrawMillionTriangles(state, SceneKind::kStrips, true);
}
void BM_Strips_Immediate(benchmark::State& state) {
  DrawMillionTriangles(state, SceneKind::kStrips, false);
}
BENCHMARK(BM_Bands_Drawer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Bands_Immediate)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Mesh_Drawer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Mesh_Immediate)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Strips_Drawer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Strips_Immediate)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
