// A headless context for the drawing tests, flat squares, pixel read-back.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "render/headless_gl.h"
#include "scene/matrix.h"
#include "test_util.h"
#include "view/gl_state.h"
#include "view/projection.h"
#include "view/scene_draw.h"

namespace modra::test {

using Rgb = std::array<int, 3>;

inline constexpr int kViewSize = 64;

// llvmpipe everywhere, so pixels repeat from machine to machine.
inline bool MakeViewContext(HeadlessGl& gl, ColorDepth* depth, std::string* error) {
  if (!gl.Create(kViewSize, kViewSize, error, GlRenderer::kSoftware)) return false;
  *depth = InitGlState({0.1f, 0.1f, 0.4f});
  return true;
}

inline Rgb PixelAt(int x, int y) {
  uint8_t p[4] = {};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  return {p[0], p[1], p[2]};
}

// The pixel that scene point (x, y) lands on in an orthographic view of the
// square context at scale 1 (Front: x right, y up).
inline Rgb PixelOfPoint(float x, float y) {
  const int px = static_cast<int>((x + 1) * 0.5f * kViewSize);
  const int py = static_cast<int>((y + 1) * 0.5f * kViewSize);
  return PixelAt(std::min(px, kViewSize - 1), std::min(py, kViewSize - 1));
}

// Several at once, for comparing whole rows of expectations.
inline std::vector<Rgb> PixelsOf(std::initializer_list<std::pair<float, float>> points) {
  std::vector<Rgb> out;
  for (auto [x, y] : points)
    out.push_back(PixelOfPoint(x, y));
  return out;
}

inline Rgb ToBytes(const Vec3& c) {
  return {static_cast<int>(c[0] * 255 + 0.5f), static_cast<int>(c[1] * 255 + 0.5f),
          static_cast<int>(c[2] * 255 + 0.5f)};
}

// A quad of half-size r centred on (x, y) at depth z, facing the Front view.
inline int AddSquare(Scene& s, const std::string& name, float x, float y, float z, float r,
                     const Vec3& color) {
  int g = NewGroup(s, name);
  DisplayPrimitive prim;
  prim.type = kQuads;
  prim.vertexCount = 4;
  for (auto [dx, dy] : {std::pair{-r, -r}, std::pair{r, -r}, std::pair{r, r}, std::pair{-r, r}})
    prim.vertices.insert(prim.vertices.end(), {x + dx, y + dy, z, 0, 0, -1});
  s.groups[g].primitives.push_back(prim);
  s.groups[g].flags |= Enabled;
  s.groups[g].color = color;
  s.groups[g].bboxMin = {x - r, y - r, z};
  s.groups[g].bboxMax = {x + r, y + r, z};
  return g;
}

// The whole colour buffer, RGBA rows from the bottom.
inline std::vector<uint8_t> ReadFramebuffer(int width, int height) {
  std::vector<uint8_t> p(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
  return p;
}

// The picture the main view shows for doc: cleared, view set up, scene drawn.
// Every picture is drawn both ways, as client arrays and then from buffer
// objects, and the two must match to the bit; the buffers' picture stays.
struct ViewRig {
  HeadlessGl gl;
  ColorDepth depth;
  GroupDrawer drawer;

  bool Make(std::string* error) { return MakeViewContext(gl, &depth, error); }

  void DrawOneWay(const Document& doc, DrawPath path) {
    drawer.SetPath(path);
    SetClearColor(doc.scene.global.background);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const int v = doc.display.currentView;
    SetupView(doc.display.views[v], v, AspectOf(gl.Width(), gl.Height()));
    DrawScene(drawer, doc.scene, doc.display, doc.uploader->DrawingNames());
  }

  void Draw(const Document& doc) {
    DrawOneWay(doc, DrawPath::kClientArrays);
    const std::vector<uint8_t> arrays = ReadFramebuffer(gl.Width(), gl.Height());
    DrawOneWay(doc, DrawPath::kBuffers);
    EXPECT_TRUE(arrays == ReadFramebuffer(gl.Width(), gl.Height()))
        << "the buffers drew other pixels than the client arrays";
  }
};

// Flat, unlit colours from the Front view, so a pixel shows a group's
// own colour exactly. The camera and light models are left out: the
// default camera stands at the Front view's eye and the default lights'
// lamps in a row across the top.
inline void FlatFrontView(Document& doc, int mode = kSolid) {
  doc.display.currentView = kViewFront;
  doc.display.displayMode = mode;
  doc.display.lighting = false;
  doc.display.cameraDisplay = false;
  doc.display.lightDisplay = false;
}

}  // namespace modra::test
