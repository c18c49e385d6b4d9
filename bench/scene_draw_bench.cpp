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
//   Torus:  one group of 1,000,000 triangles in one primitive, as an OBJ
//           import makes it, at 796 x 646 (the editor's view).
// The drawer runs both ways: from buffer objects and as client arrays.
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

enum class SceneKind { kBands, kMesh, kStrips, kTorus };

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

// A torus of 1000 x 500 quads, each two triangles, every corner written
// out for each triangle that uses it.
void FillTorus(Scene& s) {
  constexpr int kTorusRings = 1000, kTorusSegments = 500;
  constexpr float kPi = std::numbers::pi_v<float>;
  DisplayGroup& group = s.groups[AddGroup(s, 0)];
  DisplayPrimitive prim;
  std::vector<float> v;
  v.reserve(size_t{kTorusRings} * kTorusSegments * 6 * 6);
  auto vertex = [&](int r, int t) {
    const float u = 2 * kPi * (r % kTorusRings) / kTorusRings,
                w = 2 * kPi * (t % kTorusSegments) / kTorusSegments;
    const float ring = 0.6f + 0.2f * std::cos(w);
    v.insert(v.end(), {ring * std::cos(u), 0.2f * std::sin(w), ring * std::sin(u),
                       std::cos(w) * std::cos(u), std::sin(w), std::cos(w) * std::sin(u)});
  };
  for (int r = 0; r < kTorusRings; ++r)
    for (int t = 0; t < kTorusSegments; ++t) {
      vertex(r, t), vertex(r + 1, t), vertex(r + 1, t + 1);
      vertex(r, t), vertex(r + 1, t + 1), vertex(r, t + 1);
    }
  prim.vertexCount = static_cast<int32_t>(v.size() / 6);
  prim.vertices = std::move(v);
  group.primitives.push_back(std::move(prim));
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

enum class Way { kImmediate, kArrays, kBuffers };

void DrawMillionTriangles(benchmark::State& state, SceneKind kind, Way way) {
  SetHeapPolicy();  // as the program runs
  HeadlessGl gl;
  std::string error;
  const bool torus = kind == SceneKind::kTorus;
  if (!gl.Create(torus ? 796 : 512, torus ? 646 : 512, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  Document doc;
  if (kind == SceneKind::kBands)
    FillBands(doc.scene);
  else if (torus)
    FillTorus(doc.scene);
  else
    FillSpheres(doc.scene, kind == SceneKind::kStrips);
  doc.display.displayMode = kSolid;
  InitGlState(doc.scene.global.background);
  GroupDrawer groupDrawer;
  groupDrawer.SetPath(way == Way::kBuffers ? DrawPath::kBuffers : DrawPath::kClientArrays);
  ViewSetting view = doc.display.views[kViewPerspective];
  auto frame = [&] {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    view.rotation[1] += 2;
    SetupView(view, kViewPerspective, torus ? 796.0f / 646 : 1);
    if (way != Way::kImmediate)
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

#define MODRA_DRAW_BENCH(scene, kind)                                            \
  void BM_##scene##_Buffers(benchmark::State& state) {                           \
    DrawMillionTriangles(state, SceneKind::kind, Way::kBuffers);                 \
  }                                                                              \
  void BM_##scene##_Arrays(benchmark::State& state) {                            \
    DrawMillionTriangles(state, SceneKind::kind, Way::kArrays);                  \
  }                                                                              \
  void BM_##scene##_Immediate(benchmark::State& state) {                         \
    DrawMillionTriangles(state, SceneKind::kind, Way::kImmediate);               \
  }                                                                              \
  BENCHMARK(BM_##scene##_Buffers)->Unit(benchmark::kMillisecond)->UseRealTime(); \
  BENCHMARK(BM_##scene##_Arrays)->Unit(benchmark::kMillisecond)->UseRealTime();  \
  BENCHMARK(BM_##scene##_Immediate)->Unit(benchmark::kMillisecond)->UseRealTime();

MODRA_DRAW_BENCH(Torus, kTorus)
MODRA_DRAW_BENCH(Bands, kBands)
MODRA_DRAW_BENCH(Mesh, kMesh)
MODRA_DRAW_BENCH(Strips, kStrips)

}  // namespace
