#include "render/headless_gl.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <string>

namespace modra {
namespace {

using Rgba = std::array<uint8_t, 4>;
// The same rasteriser everywhere, so pixels repeat from machine to machine.
constexpr GlRenderer kSoftware = GlRenderer::kSoftware;

Rgba PixelAt(int x, int y) {
  Rgba p{};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
  return p;
}

TEST(OffscreenContext, DrawsIntoAFramebufferOfTheAskedSize) {
  HeadlessGl gl;
  std::string error;
  ASSERT_TRUE(gl.Create(40, 30, &error, kSoftware)) << error;
  EXPECT_EQ(gl.Width(), 40);
  EXPECT_EQ(gl.Height(), 30);
  const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  EXPECT_NE(renderer.find("llvmpipe"), std::string::npos) << renderer;
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 40);
  EXPECT_EQ(viewport[3], 30);
  GLint depthBits = 0;  // the scene draws hide by depth
  glGetIntegerv(GL_DEPTH_BITS, &depthBits);
  EXPECT_GE(depthBits, 24);

  glClearColor(1.0f, 0.0f, 0.5f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(PixelAt(0, 0), (Rgba{255, 0, 128, 255}));
  EXPECT_EQ(PixelAt(39, 29), (Rgba{255, 0, 128, 255}));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(OffscreenContext, SeveralContextsKeepTheirOwnPixels) {
  HeadlessGl a, b;
  std::string error;
  ASSERT_TRUE(a.Create(8, 8, &error, kSoftware)) << error;
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  {
    HeadlessGl passing;
    ASSERT_TRUE(passing.Create(4, 4, &error, kSoftware)) << error;
  }
  ASSERT_TRUE(b.Create(8, 8, &error, kSoftware)) << error;
  glClearColor(1, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  a.MakeCurrent();
  EXPECT_EQ(PixelAt(4, 4), (Rgba{0, 0, 255, 255}));
  b.MakeCurrent();
  EXPECT_EQ(PixelAt(4, 4), (Rgba{255, 255, 0, 255}));
}

TEST(OffscreenContext, RefusesSizesItCannotMake) {
  for (auto [w, h] : {std::pair{0, 8}, std::pair{8, -1}, std::pair{1 << 20, 8}}) {
    HeadlessGl gl;
    std::string error;
    EXPECT_FALSE(gl.Create(w, h, &error, kSoftware)) << w << "x" << h;
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(gl.Width(), 0);
  }
}

}  // namespace
}  // namespace modra
