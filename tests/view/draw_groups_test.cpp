#include "view/draw_groups.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "images/gl_texture_upload.h"
#include "view_test_util.h"

namespace modra {
namespace {

using test::AddSquare;
using test::PixelOfPoint;
using test::PixelsOf;
using test::Rgb;

constexpr Vec3 kRed = {1, 0, 0};
constexpr Vec3 kGreen = {0, 1, 0};
constexpr Vec3 kBlue = {0, 0, 1};
constexpr Rgb kRedPixel = {255, 0, 0}, kGreenPixel = {0, 255, 0}, kBluePixel = {0, 0, 255};
constexpr Rgb kWhitePixel = {255, 255, 255};

class SceneDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(rig.Make(&error)) << error;
    test::FlatFrontView(doc.doc);
  }
  Scene& s() { return doc.scene(); }
  // The picture's pixels at these points, after drawing the scene.
  std::vector<Rgb> Draw(std::initializer_list<std::pair<float, float>> points) {
    rig.Draw(doc.doc);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    return PixelsOf(points);
  }

  test::RecordedDocument doc;
  test::ViewRig rig;
  Rgb bg = test::ToBytes(doc.doc.scene.global.background);
};

TEST_F(SceneDrawing, GroupShowsItsColourWhereItsMatricesPlaceIt) {
  s().global.background = {0.2f, 0.6f, 0.8f};
  bg = {51, 153, 204};
  int g = AddSquare(s(), "Red", 0, 0, 0, 0.2f, kRed);
  s().groups[g].matrix = TranslationMatrix({0.5f, -0.4f, 0});
  EXPECT_EQ(Draw({{0.5f, -0.4f}, {0, 0}, {-0.95f, 0.95f}}), (std::vector{kRedPixel, bg, bg}));
  // The parent's matrix carries its children.
  int parent = AddSquare(s(), "Parent", -0.5f, 0.5f, 0, 0.1f, kBlue);
  test::MakeChild(s(), g, parent);
  s().groups[parent].matrix = TranslationMatrix({-0.2f, 0, 0});
  EXPECT_EQ(Draw({{0.3f, -0.4f}, {-0.7f, 0.5f}, {0.5f, -0.4f}}),
            (std::vector{kRedPixel, kBluePixel, bg}));
}

TEST_F(SceneDrawing, DisabledGroupHidesItsSubtreeUnlessDisabledOnesAreShown) {
  // Left: enabled, with a disabled child. Right: disabled, with an enabled child.
  int on = AddSquare(s(), "On", -0.5f, 0.5f, 0, 0.2f, kRed);
  int offChild = AddSquare(s(), "OffChild", -0.5f, -0.5f, 0, 0.2f, kGreen);
  s().groups[offChild].flags &= ~Enabled;
  test::MakeChild(s(), offChild, on);
  int off = AddSquare(s(), "Off", 0.5f, 0.5f, 0, 0.2f, kBlue);
  s().groups[off].flags &= ~Enabled;
  test::MakeChild(s(), AddSquare(s(), "OnChild", 0.5f, -0.5f, 0, 0.2f, kRed), off);
  const auto points = {std::pair{-0.5f, 0.5f}, {-0.5f, -0.5f}, {0.5f, 0.5f}, {0.5f, -0.5f}};
  EXPECT_EQ(Draw(points), (std::vector{kRedPixel, bg, bg, bg}));
  doc.doc.display.disabledDisplay = true;
  EXPECT_EQ(Draw(points), (std::vector{bg, kGreenPixel, kBluePixel, kRedPixel}));
  // Deleted slots are never drawn.
  s().groups[off].flags |= Deleted;
  EXPECT_EQ(Draw(points), (std::vector{bg, kGreenPixel, bg, bg}));
}

TEST_F(SceneDrawing, SceneZPointsAwayFromTheFrontView) {
  // Drawn far one last, so only depth can hide it.
  AddSquare(s(), "Near", 0, 0, -0.5f, 0.5f, kGreen);
  AddSquare(s(), "Far", 0, 0, 0.5f, 0.5f, kRed);
  EXPECT_EQ(Draw({{0, 0}}), std::vector{kGreenPixel});
  doc.doc.display.currentView = kViewBack;
  EXPECT_EQ(Draw({{0, 0}}), std::vector{kRedPixel});
}

TEST_F(SceneDrawing, BoxReplacesTheGeometryAndGroupsWithChildrenDrawNoBox) {
  int box = AddSquare(s(), "Box", -0.4f, 0, 0, 0.3f, kRed);
  s().groups[box].flags |= drawAsBox;
  // The box's left edge, in white.
  EXPECT_EQ(Draw({{-0.4f, 0}, {-0.7f, 0}}), (std::vector{bg, kWhitePixel}));
  test::MakeChild(s(), AddSquare(s(), "Child", 0.5f, 0, 0, 0.1f, kBlue), box);
  EXPECT_EQ(Draw({{-0.7f, 0}, {0.5f, 0}}), (std::vector{bg, kBluePixel}));
}

TEST_F(SceneDrawing, BoxLeavesTheNextGroupLit) {
  doc.doc.display.lighting = true;
  AddSquare(s(), "Lit", 0.5f, 0, 0, 0.3f, {1, 1, 1});
  const std::vector<Rgb> alone = Draw({{0.5f, 0}});
  int box = AddSquare(s(), "Box", -0.5f, 0, 0, 0.3f, kRed);  // drawn first
  s().groups[box].flags |= drawAsBox;
  EXPECT_EQ(Draw({{0.5f, 0}}), alone);
}

TEST_F(SceneDrawing, CurrentGroupLeavesOnlyTheHighlightedOnesFilled) {
  int a = AddSquare(s(), "A", -0.5f, 0, 0, 0.3f, kRed);
  int b = AddSquare(s(), "B", 0.5f, 0, 0, 0.3f, kGreen);
  s().selectedGroup = a;
  s().groups[a].flags |= highlighted;
  doc.doc.display.axisMarker = false;
  // B's outline is white in Solid mode; with a box, red for a group that
  // is not highlighted.
  EXPECT_EQ(Draw({{-0.5f, 0}, {0.5f, 0}, {0.5f, -0.3f}}),
            (std::vector{kRedPixel, bg, kWhitePixel}));
  s().groups[b].flags |= drawAsBox;
  EXPECT_EQ(Draw({{0.5f, -0.3f}}), (std::vector<Rgb>{{255, 76, 76}}));
  // No current group: everything in the display mode.
  s().groups[b].flags &= ~drawAsBox;
  s().selectedGroup = -1;
  EXPECT_EQ(Draw({{0.5f, 0}}), std::vector{kGreenPixel});
}

TEST_F(SceneDrawing, ShortOrBrokenPrimitivesDrawOnlyWholeFaces) {
  int g = AddSquare(s(), "Square", 0, 0, 0, 0.5f, kRed);
  DisplayGroup& group = s().groups[g];
  // Claims more vertices than it holds: only what is stored is read.
  group.primitives[0].vertexCount = 1000;
  group.primitives.push_back({kTriangles, 2, {0.6f, 0.6f, 0, 0, 0, -1, 0.9f, 0.6f, 0, 0, 0, -1}});
  group.primitives.push_back({9, 3, std::vector<float>(18, 0.7f)});  // no such type
  EXPECT_EQ(Draw({{0, 0}, {0.7f, 0.6f}}), (std::vector{kRedPixel, bg}));
  DisplayPrimitive strip{kQuadStrip, 5, std::vector<float>(5 * 6, 0)};
  EXPECT_EQ(DrawnVertexCount(strip, 6), 4);
  strip.vertexCount = -3;
  EXPECT_EQ(DrawnVertexCount(strip, 6), 0);
}

TEST_F(SceneDrawing, DeepAndLoopedHierarchiesDrawEachSlotOnceInItsPlace) {
  // Deeper than OpenGL's smallest modelview stack: 100 levels, each 0.01 to the right.
  int child = AddSquare(s(), "Leaf", -0.5f, 0, 0, 0.05f, kGreen);
  for (int i = 0; i < 100; ++i) {
    int parent = NewGroup(s(), "Level");
    s().groups[parent].flags |= Enabled;
    s().groups[parent].matrix = TranslationMatrix({0.01f, 0, 0});
    test::MakeChild(s(), child, parent);
    child = parent;
  }
  EXPECT_EQ(Draw({{0.5f, 0}, {-0.5f, 0}}), (std::vector{kGreenPixel, bg}));
  int a = AddSquare(s(), "A", 0, 0.5f, 0, 0.3f, kRed);
  int b = AddSquare(s(), "B", 0.5f, 0.5f, 0, 0.1f, kBlue);
  test::MakeChild(s(), b, a);
  s().groups[b].child = a;    // damaged: a is its own grandchild
  s().groups[b].next = 9999;  // and a dangling index
  EXPECT_EQ(Draw({{0, 0.5f}, {0.5f, 0.5f}}), (std::vector{kRedPixel, kBluePixel}));
}

TEST_F(SceneDrawing, NormalsAreShortLinesFromEachVertex) {
  doc.doc.display.showNormals = true;
  int g = AddSquare(s(), "Square", 0, 0, 0, 0.45f, kRed);
  // Normals along +x, so the lines run right from each corner.
  std::vector<float>& v = s().groups[g].primitives[0].vertices.Mutable();
  for (size_t at = 0; at < v.size(); at += 6)
    v[at + 3] = 1, v[at + 5] = 0;
  s().groups[g].flags |= drawAsBox;  // keep the square itself out of the way
  // Right of the bottom right corner (0.45, -0.45), within 0.05.
  EXPECT_EQ(Draw({{0.48f, -0.45f}, {0.53f, -0.45f}}), (std::vector<Rgb>{{76, 255, 76}, bg}));
}

// ---- Textured groups: the texture is modulated by the group's colour,

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
