#include "images/gl_texture_upload.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "document/document.h"
#include "image_test_util.h"
#include "render/headless_gl.h"

namespace modra {
namespace {

using imagetest::Bytes;
using imagetest::Concat;

// A document drawing into a small offscreen context of its own.
struct GlFixture {
  HeadlessGl gl;
  std::string error;
  bool ready = false;
  RecordingShell shell;
  Document doc{shell};
  GlTextureUpload upload;
  GlFixture() {
    ready = gl.Create(8, 8, &error, GlRenderer::kSoftware);
    doc.uploader = &upload;
  }
};

// Level `level` of texture object `object`, bottom row first.
Bytes TexImage(unsigned object, int level, int* width, int* height) {
  glBindTexture(GL_TEXTURE_2D, object);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, height);
  Bytes rgb(size_t(*width) * *height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

GLint TexParameter(GLenum name) {
  GLint value = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
  return value;
}

TEST(TextureUpload, FileBecomesAMipmappedRepeatingTexture) {
  GlFixture f;
  ASSERT_TRUE(f.ready) << f.error;
  test::TempDir dir;
  // 4 x 2, top row first in the file.
  const Bytes top = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9};
  const Bytes bottom = {1, 2, 3, 4, 5, 6, 7, 8, 9, 200, 100, 50};
  test::WriteBytes(dir / "t.ppm",
                   Concat("P6\n4 2\n255\n", Concat(std::string(top.begin(), top.end()), bottom)));
  ASSERT_EQ(AddTexture(f.doc, "", "Checker"), 0);
  ASSERT_EQ(AddTexture(f.doc, dir / "t.ppm", "t.ppm"), 0);
  const std::span<const unsigned> names = f.upload.DrawingNames();
  ASSERT_EQ(names.size(), 2u);

  int w = 0, h = 0;
  const Bytes level0 = TexImage(names[1], 0, &w, &h);
  ASSERT_EQ(w, 4);
  ASSERT_EQ(h, 2);
  // OpenGL's first row is the picture's bottom row.
  EXPECT_EQ(level0, Concat(std::string(bottom.begin(), bottom.end()), top));
  TexImage(names[1], 2, &w, &h);  // the chain goes down to 1 x 1
  EXPECT_EQ(w * h, 1);

  EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
  EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
  GLint env = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
  EXPECT_EQ(env, GL_MODULATE);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(TextureUpload, RejectedTextureNeverBecomesAnObject) {
  GlFixture f;
  ASSERT_TRUE(f.ready) << f.error;
  for (int i = 0; i < MaxTextures; ++i)
    ASSERT_EQ(AddTexture(f.doc, "", "c"), 0);
  const std::span<const unsigned> names = f.upload.DrawingNames();
  const std::vector<unsigned> kept(names.begin(), names.end());
  EXPECT_EQ(AddTexture(f.doc, "", "c"), -1);
  EXPECT_EQ(f.shell.messages, std::vector<std::string>{"Too many textures loaded"});
  const std::span<const unsigned> after = f.upload.DrawingNames();
  EXPECT_EQ(std::vector<unsigned>(after.begin(), after.end()), kept);
}

// One RGB texel's texture, as drawing finds it.
Bytes Texel(unsigned name) {
  int w = 0, h = 0;
  return TexImage(name, 0, &w, &h);
}

TEST(TextureUpload, ReplacedAndReleasedEntriesGiveUpTheirObjects) {
  GlFixture f;
  ASSERT_TRUE(f.ready) << f.error;
  const Bytes red = {255, 0, 0}, green = {0, 255, 0}, blue = {0, 0, 255};
  f.upload.Upload(0, red.data(), 1, 1);
  f.upload.Upload(1, green.data(), 1, 1);
  const std::span<const unsigned> names = f.upload.DrawingNames();
  ASSERT_EQ(names.size(), 2u);
  const unsigned released = names[0];

  f.upload.Release(0);
  EXPECT_EQ(f.upload.DrawingNames()[0], 0u);
  EXPECT_EQ(glIsTexture(released), GL_FALSE);
  f.upload.Upload(1, blue.data(), 1, 1);
  EXPECT_EQ(Texel(f.upload.DrawingNames()[1]), blue);
  // Waiting pictures are replaced before they ever reach OpenGL.
  f.upload.Upload(0, red.data(), 1, 1);
  f.upload.Upload(0, green.data(), 1, 1);
  EXPECT_EQ(Texel(f.upload.DrawingNames()[0]), green);
}

}  // namespace
}  // namespace modra
