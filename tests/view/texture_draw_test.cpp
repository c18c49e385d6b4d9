// Textured groups in the headless context: the texture is modulated by
// the group's colour, and only the Textured mode binds it.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "images/gl_texture_upload.h"
#include "view_test_util.h"

namespace modra {
namespace {

using test::PixelOfPoint;
using test::Rgb;

bool Near(const Rgb& a, const Rgb& b) {
  for (int c = 0; c < 3; ++c)
    if (std::abs(a[c] - b[c]) > 2) return false;
  return true;
}

// A square at (x, 0) with texture coordinates, drawing texture `index`.
int AddTexturedSquare(Scene& s, float x, int index, const Vec3& color) {
  const int g = NewGroup(s, "textured");
  DisplayGroup& group = s.groups[g];
  group.flags |= Enabled | Textured | TexCoords;
  group.textureIndex = index;
  group.color = color;
  DisplayPrimitive prim;
  prim.type = kQuads;
  prim.vertexCount = 4;
  for (auto [dx, dy] : {std::pair{-1, -1}, std::pair{1, -1}, std::pair{1, 1}, std::pair{-1, 1}})
    prim.vertices.insert(prim.vertices.end(),
                         {x + 0.3f * dx, 0.3f * dy, 0, 0, 0, -1, (dx + 1) * 0.5f, (dy + 1) * 0.5f});
  group.primitives.push_back(prim);
  return g;
}

TEST(TexturedDrawing, TextureIsModulatedByTheGroupColourInTexturedModeOnly) {
  test::RecordedDocument doc;
  test::ViewRig rig;
  std::string error;
  ASSERT_TRUE(rig.Make(&error)) << error;
  test::FlatFrontView(doc.doc, kTexturedMode);

  // Entry 2 is one flat colour, so filtering cannot move it.
  std::vector<uint8_t> image(8 * 8 * 3);
  for (size_t i = 0; i < image.size(); i += 3) {
    image[i] = 200;
    image[i + 1] = 100;
    image[i + 2] = 40;
  }
  GlTextureUpload upload;
  doc.doc.uploader = &upload;
  upload.Upload(2, image.data(), 8, 8);
  Scene& s = doc.scene();
  AddTexturedSquare(s, -0.5f, 2, {0.5f, 1, 1});
  const int plain = AddTexturedSquare(s, 0.5f, 2, {0, 1, 0});
  s.groups[plain].flags &= ~Textured;  // coordinates, but no texture

  rig.Draw(doc.doc);
  EXPECT_TRUE(Near(PixelOfPoint(-0.5f, 0), (Rgb{100, 100, 40}))) << "texture x colour";
  EXPECT_EQ(PixelOfPoint(0.5f, 0), (Rgb{0, 255, 0}));

  doc.doc.display.displayMode = kSolid;
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(-0.5f, 0), (Rgb{128, 255, 255})) << "Solid mode shows no texture";
}

// The editor loads textures while no context is current, into a context
// whose other users (Qt) hold texture objects of their own.
TEST(TexturedDrawing, TexturesLoadedBeforeTheContextDrawAndLeaveOtherObjectsAlone) {
  test::RecordedDocument doc;
  test::FlatFrontView(doc.doc, kTexturedMode);
  GlTextureUpload upload;
  doc.doc.uploader = &upload;
  const std::string path = testing::TempDir() + "modra-flat-texture.ppm";
  std::ofstream(path, std::ios::binary) << "P6\n1 1\n255\n" << '\xC8' << 'd' << '(';  // 200 100 40
  ASSERT_EQ(AddTexture(doc.doc, path, "flat"), 0);
  std::remove(path.c_str());
  AddTexturedSquare(doc.scene(), 0, 0, {1, 1, 1});

  test::ViewRig rig;
  std::string error;
  ASSERT_TRUE(rig.Make(&error)) << error;
  GLuint foreign = 0;
  glGenTextures(1, &foreign);
  const uint8_t yellow[3] = {255, 255, 0};
  glBindTexture(GL_TEXTURE_2D, foreign);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, yellow);

  rig.Draw(doc.doc);
  EXPECT_TRUE(Near(PixelOfPoint(0, 0), (Rgb{200, 100, 40})))
      << testing::PrintToString(PixelOfPoint(0, 0));
  uint8_t texel[3] = {};
  glBindTexture(GL_TEXTURE_2D, foreign);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
  EXPECT_EQ(std::vector<uint8_t>(texel, texel + 3), std::vector<uint8_t>(yellow, yellow + 3));
}

}  // namespace
}  // namespace modra
