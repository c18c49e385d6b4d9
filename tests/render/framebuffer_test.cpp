// The framebuffer object the headless context and the editor's render
// window draw into, made here in a second framebuffer of a headless context.
#include "render/framebuffer.h"

#include <EGL/egl.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "render/headless_gl.h"

namespace modra {
namespace {

using Rgba = std::array<uint8_t, 4>;

Rgba PixelAt(int x, int y) {
  Rgba p{};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
  return p;
}

void ClearTo(float r, float g, float b) {
  glClearColor(r, g, b, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

OffscreenFramebuffer::Function Egl(const char* name) {
  return eglGetProcAddress(name);
}

struct Framebuffer : ::testing::Test {
  HeadlessGl gl;
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(gl.Create(16, 16, &error, GlRenderer::kSoftware)) << error;
    ClearTo(0, 0, 1);  // the context's own framebuffer is blue
  }
};

TEST_F(Framebuffer, DrawsApartFromTheOneBoundBeforeAndBindsAgain) {
  OffscreenFramebuffer fb;
  std::string error;
  ASSERT_TRUE(fb.Create(40, 30, Egl, &error)) << error;
  EXPECT_TRUE(fb.Valid());
  EXPECT_EQ(fb.Width(), 40);
  EXPECT_EQ(fb.Height(), 30);
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 40);
  EXPECT_EQ(viewport[3], 30);
  GLint depthBits = 0, redBits = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depthBits);
  glGetIntegerv(GL_RED_BITS, &redBits);
  EXPECT_GE(depthBits, 24);
  EXPECT_EQ(redBits, 8);

  ClearTo(1, 0, 0);
  EXPECT_EQ(PixelAt(39, 29), (Rgba{255, 0, 0, 255}));
  // A depth buffer that works: the nearer of two squares stays in front,
  // whichever is drawn last.
  glEnable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  auto square = [](float z, float g) {
    glColor3f(0, g, 0);
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, z);
    glVertex3f(1, -1, z);
    glVertex3f(1, 1, z);
    glVertex3f(-1, 1, z);
    glEnd();
  };
  square(-0.5f, 1.0f);
  square(0.5f, 0.5f);
  glDisable(GL_DEPTH_TEST);
  EXPECT_EQ(PixelAt(20, 15), (Rgba{0, 255, 0, 255}));

  // Unbound, drawing and reading go to the context's framebuffer again,
  // which kept its colour; bound again, this one kept its own.
  fb.Unbind();
  gl.MakeCurrent();
  EXPECT_EQ(PixelAt(8, 8), (Rgba{0, 0, 255, 255}));
  fb.Bind();
  EXPECT_EQ(PixelAt(20, 15), (Rgba{0, 255, 0, 255}));
  EXPECT_EQ(PixelAt(0, 0), (Rgba{0, 255, 0, 255}));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  fb.Release();
  EXPECT_FALSE(fb.Valid());
  EXPECT_EQ(fb.Width(), 0);
  fb.Bind();  // nothing to bind: a no-op, not a GL error
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Framebuffer, MadeAgainTakesTheNewSize) {
  OffscreenFramebuffer fb;
  std::string error;
  ASSERT_TRUE(fb.Create(8, 8, Egl, &error)) << error;
  ASSERT_TRUE(fb.Create(24, 12, Egl, &error)) << error;
  EXPECT_EQ(fb.Width(), 24);
  EXPECT_EQ(fb.Height(), 12);
  ClearTo(1, 1, 0);
  EXPECT_EQ(PixelAt(23, 11), (Rgba{255, 255, 0, 255}));
  fb.Release();
}

TEST_F(Framebuffer, RefusesWhatItCannotMakeAndHoldsNothing) {
  std::string error;
  for (auto [w, h] : {std::pair{0, 8}, std::pair{8, -3}, std::pair{1 << 20, 8}}) {
    OffscreenFramebuffer fb;
    error.clear();
    EXPECT_FALSE(fb.Create(w, h, Egl, &error)) << w << "x" << h;
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fb.Valid());
    EXPECT_EQ(fb.Width(), 0);
  }

  // A context without the entry points (here: a lookup that finds one
  // missing) is refused before anything is made.
  std::vector<std::string> asked;
  OffscreenFramebuffer fb;
  const auto missingOne = [&](const char* name) -> OffscreenFramebuffer::Function {
    asked.emplace_back(name);
    return std::strcmp(name, "glRenderbufferStorage") == 0 ? nullptr : eglGetProcAddress(name);
  };
  EXPECT_FALSE(fb.Create(8, 8, missingOne, &error));
  EXPECT_EQ(error, "no framebuffer objects");
  EXPECT_FALSE(fb.Valid());
  EXPECT_EQ(asked.back(), "glRenderbufferStorage");
  EXPECT_FALSE(fb.Create(8, 8, nullptr, &error));
  // The context's own framebuffer is still the bound one.
  EXPECT_EQ(PixelAt(8, 8), (Rgba{0, 0, 255, 255}));

  // No context current: nothing to make it in.
  gl.DoneCurrent();
  EXPECT_FALSE(fb.Create(8, 8, Egl, &error));
  EXPECT_EQ(error, "no OpenGL context is current");
  EXPECT_FALSE(fb.Valid());
}

}  // namespace
}  // namespace modra
