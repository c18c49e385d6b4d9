// Textured groups in the headless context: the texture is modulated by
// the group's colour, and only the Textured mode binds it.
#include <gtest/gtest.h>

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

  // Texture index 2 is texture object 3: one flat colour, so filtering
  // cannot move it.
  std::vector<uint8_t> image(8 * 8 * 3);
  for (size_t i = 0; i < image.size(); i += 3) {
    image[i] = 200;
    image[i + 1] = 100;
    image[i + 2] = 40;
  }
  GlTextureUpload upload;
  upload.Upload(3, image.data(), 8, 8);
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
  upload.Release(3);
}

}  // namespace
}  // namespace modra
