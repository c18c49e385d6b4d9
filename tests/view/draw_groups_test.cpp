#include "view/draw_groups.h"

#include <gtest/gtest.h>

#include "view_test_util.h"

namespace modra {
namespace {

using test::AddSquare;
using test::PixelOfPoint;
using test::Rgb;
using test::ToBytes;

constexpr Vec3 kRed = {1, 0, 0};
constexpr Vec3 kGreen = {0, 1, 0};
constexpr Vec3 kBlue = {0, 0, 1};

class SceneDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(rig.Make(&error)) << error;
    test::FlatFrontView(doc.doc);
  }
  Scene& s() { return doc.scene(); }
  Rgb Background() const { return ToBytes(doc.doc.scene.global.background); }

  test::RecordedDocument doc;
  test::ViewRig rig;
};

TEST_F(SceneDrawing, EmptySceneShowsTheBackgroundColour) {
  s().global.background = {0.2f, 0.6f, 0.8f};
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(0, 0), (Rgb{51, 153, 204}));
  EXPECT_EQ(PixelOfPoint(-0.95f, 0.95f), (Rgb{51, 153, 204}));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneDrawing, GroupShowsItsColourWhereItsMatrixPlacesIt) {
  int g = AddSquare(s(), "Red", 0, 0, 0, 0.2f, kRed);
  s().groups[g].matrix = TranslationMatrix({0.5f, -0.4f, 0});
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(0.5f, -0.4f), (Rgb{255, 0, 0}));
  EXPECT_EQ(PixelOfPoint(0, 0), Background());
  // The parent's matrix carries its children.
  int parent = AddSquare(s(), "Parent", -0.5f, 0.5f, 0, 0.1f, kBlue);
  test::MakeChild(s(), g, parent);
  s().groups[parent].matrix = TranslationMatrix({-0.2f, 0, 0});
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(0.3f, -0.4f), (Rgb{255, 0, 0}));
  EXPECT_EQ(PixelOfPoint(-0.7f, 0.5f), (Rgb{0, 0, 255}));
  EXPECT_EQ(PixelOfPoint(0.5f, -0.4f), Background());
}

TEST_F(SceneDrawing, LitGroupKeepsItsHue) {
  doc.doc.display.lighting = true;
  AddSquare(s(), "Green", 0, 0, 0, 0.5f, kGreen);
  rig.Draw(doc.doc);
  const Rgb p = PixelOfPoint(0, 0);
  EXPECT_GT(p[1], 40);
  EXPECT_GT(p[1], p[0] + 20);
  EXPECT_GT(p[1], p[2] + 20);
}

TEST_F(SceneDrawing, WireFrameDrawsEdgesWhereSolidFills) {
  AddSquare(s(), "Square", 0, 0, 0, 0.45f, kRed);
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(0, 0), (Rgb{255, 0, 0}));

  doc.doc.display.displayMode = kWireFrame;
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(0, 0), Background());
  // Wire frames are white whatever the group's colour: the bottom edge.
  EXPECT_EQ(PixelOfPoint(0, -0.45f), (Rgb{255, 255, 255}));
}

TEST_F(SceneDrawing, DisabledGroupHidesItsSubtreeUnlessDisabledOnesAreShown) {
  // Left: an enabled group with a disabled child. Right: a disabled group
  // with an enabled child.
  int on = AddSquare(s(), "On", -0.5f, 0.5f, 0, 0.2f, kRed);
  int offChild = AddSquare(s(), "OffChild", -0.5f, -0.5f, 0, 0.2f, kGreen);
  s().groups[offChild].flags &= ~Enabled;
  test::MakeChild(s(), offChild, on);
  int off = AddSquare(s(), "Off", 0.5f, 0.5f, 0, 0.2f, kBlue);
  s().groups[off].flags &= ~Enabled;
  int onChild = AddSquare(s(), "OnChild", 0.5f, -0.5f, 0, 0.2f, kRed);
  test::MakeChild(s(), onChild, off);

  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(-0.5f, 0.5f), (Rgb{255, 0, 0}));
  EXPECT_EQ(PixelOfPoint(-0.5f, -0.5f), Background());
  EXPECT_EQ(PixelOfPoint(0.5f, 0.5f), Background());
  EXPECT_EQ(PixelOfPoint(0.5f, -0.5f), Background());

  doc.doc.display.disabledDisplay = true;
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(-0.5f, 0.5f), Background());
  EXPECT_EQ(PixelOfPoint(-0.5f, -0.5f), (Rgb{0, 255, 0}));
  EXPECT_EQ(PixelOfPoint(0.5f, 0.5f), (Rgb{0, 0, 255}));
  EXPECT_EQ(PixelOfPoint(0.5f, -0.5f), (Rgb{255, 0, 0}));

  // Deleted slots are never drawn.
  s().groups[off].flags |= Deleted;
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(0.5f, 0.5f), Background());
  EXPECT_EQ(PixelOfPoint(0.5f, -0.5f), Background());
}

TEST_F(SceneDrawing, SceneZPointsAwayFromTheFrontView) {
  // Drawn far one last, so only depth can hide it.
  AddSquare(s(), "Near", 0, 0, -0.5f, 0.5f, kGreen);
  AddSquare(s(), "Far", 0, 0, 0.5f, 0.5f, kRed);
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(0, 0), (Rgb{0, 255, 0}));
  doc.doc.display.currentView = kViewBack;
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(0, 0), (Rgb{255, 0, 0}));
}

TEST_F(SceneDrawing, BoxReplacesTheGeometryAndGroupsWithChildrenDrawNoBox) {
  int box = AddSquare(s(), "Box", -0.4f, 0, 0, 0.3f, kRed);
  s().groups[box].flags |= drawAsBox;
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(-0.4f, 0), Background());
  // The left edge of the box, in white.
  EXPECT_EQ(PixelOfPoint(-0.7f, 0), (Rgb{255, 255, 255}));

  int child = AddSquare(s(), "Child", 0.5f, 0, 0, 0.1f, kBlue);
  test::MakeChild(s(), child, box);
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(-0.7f, 0), Background());
  EXPECT_EQ(PixelOfPoint(0.5f, 0), (Rgb{0, 0, 255}));
}

TEST_F(SceneDrawing, BoxLeavesTheNextGroupLit) {
  doc.doc.display.lighting = true;
  int lit = AddSquare(s(), "Lit", 0.5f, 0, 0, 0.3f, {1, 1, 1});
  (void)lit;
  rig.Draw(doc.doc);
  const Rgb alone = PixelOfPoint(0.5f, 0);
  int box = AddSquare(s(), "Box", -0.5f, 0, 0, 0.3f, kRed);  // drawn first
  s().groups[box].flags |= drawAsBox;
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(0.5f, 0), alone);
}

TEST_F(SceneDrawing, CurrentGroupLeavesOnlyTheHighlightedOnesFilled) {
  int a = AddSquare(s(), "A", -0.5f, 0, 0, 0.3f, kRed);
  int b = AddSquare(s(), "B", 0.5f, 0, 0, 0.3f, kGreen);
  s().selectedGroup = a;
  s().groups[a].flags |= highlighted;
  doc.doc.display.axisMarker = false;
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(-0.5f, 0), (Rgb{255, 0, 0}));
  EXPECT_EQ(PixelOfPoint(0.5f, 0), Background());
  // B's outline, white in Solid mode.
  EXPECT_EQ(PixelOfPoint(0.5f, -0.3f), (Rgb{255, 255, 255}));

  // With a box: red for a group that is not highlighted.
  s().groups[b].flags |= drawAsBox;
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(0.5f, -0.3f), (Rgb{255, 76, 76}));

  // No current group: everything in the display mode.
  s().groups[b].flags &= ~drawAsBox;
  s().selectedGroup = -1;
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(0.5f, 0), (Rgb{0, 255, 0}));
}

TEST_F(SceneDrawing, VertexColoursAreDrawnPerVertex) {
  int g = NewGroup(s(), "Colours");
  DisplayGroup& group = s().groups[g];
  group.flags |= Enabled | VertexColors;
  DisplayPrimitive prim;
  prim.type = kQuads;
  prim.vertexCount = 4;
  for (auto [x, y] :
       {std::pair{-1.f, -1.f}, std::pair{1.f, -1.f}, std::pair{1.f, 1.f}, std::pair{-1.f, 1.f}})
    prim.vertices.insert(prim.vertices.end(), {x, y, 0, 0, 0, 1, 0, 0, -1});
  group.primitives.push_back(prim);
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(0, 0), (Rgb{0, 0, 255}));
}

// Triangles, a quad, a strip and triangles again: each shape lands where
// it was put, whether it was drawn in a run or on its own.
TEST_F(SceneDrawing, MixedPrimitivesAllReachTheirPlaces) {
  int g = NewGroup(s(), "Mixed");
  DisplayGroup& group = s().groups[g];
  group.flags |= Enabled;
  group.color = kRed;
  auto add = [&](int32_t type, std::vector<std::pair<float, float>> corners) {
    DisplayPrimitive prim;
    prim.type = type;
    prim.vertexCount = static_cast<int32_t>(corners.size());
    for (auto [x, y] : corners)
      prim.vertices.insert(prim.vertices.end(), {x, y, 0, 0, 0, -1});
    group.primitives.push_back(prim);
  };
  auto square = [](float x, float y) {  // a quad's corners, around (x, y)
    return std::vector<std::pair<float, float>>{
        {x - 0.1f, y - 0.1f}, {x + 0.1f, y - 0.1f}, {x + 0.1f, y + 0.1f}, {x - 0.1f, y + 0.1f}};
  };
  auto triangle = [](float x, float y) {
    return std::vector<std::pair<float, float>>{
        {x - 0.2f, y - 0.1f}, {x + 0.2f, y - 0.1f}, {x, y + 0.2f}};
  };
  add(kTriangles, triangle(-0.6f, 0.6f));
  add(kTriangles, triangle(0, 0.6f));
  add(kQuads, square(0.6f, 0.6f));
  add(kQuads, square(-0.6f, 0));
  add(kTriangleStrip, {{-0.1f, -0.1f}, {0.1f, -0.1f}, {-0.1f, 0.1f}, {0.1f, 0.1f}});
  add(kQuadStrip, {{0.5f, -0.1f}, {0.7f, -0.1f}, {0.5f, 0.1f}, {0.7f, 0.1f}});
  add(kTriangles, triangle(-0.6f, -0.6f));
  rig.Draw(doc.doc);
  for (auto [x, y] :
       {std::pair{-0.6f, 0.6f}, std::pair{0.f, 0.6f}, std::pair{0.6f, 0.6f}, std::pair{-0.6f, 0.f},
        std::pair{0.f, 0.f}, std::pair{0.6f, 0.f}, std::pair{-0.6f, -0.6f}})
    EXPECT_EQ(PixelOfPoint(x, y), (Rgb{255, 0, 0})) << x << ", " << y;
  EXPECT_EQ(PixelOfPoint(0.6f, -0.6f), Background());
}

TEST_F(SceneDrawing, ShortOrBrokenPrimitivesDrawOnlyWholeFaces) {
  int g = AddSquare(s(), "Square", 0, 0, 0, 0.5f, kRed);
  DisplayGroup& group = s().groups[g];
  // Claims more vertices than it holds: only what is stored is read.
  group.primitives[0].vertexCount = 1000;
  DisplayPrimitive stray;
  stray.type = kTriangles;
  stray.vertexCount = 2;
  stray.vertices = {0.6f, 0.6f, 0, 0, 0, -1, 0.9f, 0.6f, 0, 0, 0, -1};
  group.primitives.push_back(stray);
  DisplayPrimitive unknown;
  unknown.type = 9;
  unknown.vertexCount = 3;
  unknown.vertices.assign(18, 0.7f);
  group.primitives.push_back(unknown);
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(0, 0), (Rgb{255, 0, 0}));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  const int stride = 6;
  EXPECT_EQ(DrawnVertexCount(group.primitives[0], stride), 4);
  EXPECT_EQ(DrawnVertexCount(stray, stride), 0);
  EXPECT_EQ(DrawnVertexCount(unknown, stride), 0);
  DisplayPrimitive strip;
  strip.type = kQuadStrip;
  strip.vertexCount = 5;
  strip.vertices.assign(5 * stride, 0);
  EXPECT_EQ(DrawnVertexCount(strip, stride), 4);
  strip.type = kTriangleStrip;
  EXPECT_EQ(DrawnVertexCount(strip, stride), 5);
  strip.vertexCount = -3;
  EXPECT_EQ(DrawnVertexCount(strip, stride), 0);
}

TEST_F(SceneDrawing, DeepHierarchyKeepsEveryMatrix) {
  // Deeper than OpenGL's smallest modelview stack: 100 levels, each
  // moving its subtree 0.01 to the right.
  int deepest = AddSquare(s(), "Leaf", -0.5f, 0, 0, 0.05f, kGreen);
  int child = deepest;
  for (int i = 0; i < 100; ++i) {
    int parent = NewGroup(s(), "Level");
    s().groups[parent].flags |= Enabled;
    s().groups[parent].matrix = TranslationMatrix({0.01f, 0, 0});
    test::MakeChild(s(), child, parent);
    child = parent;
  }
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(0.5f, 0), (Rgb{0, 255, 0}));
  EXPECT_EQ(PixelOfPoint(-0.5f, 0), Background());
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneDrawing, LoopedHierarchyDrawsEachSlotOnce) {
  int a = AddSquare(s(), "A", 0, 0, 0, 0.3f, kRed);
  int b = AddSquare(s(), "B", 0.5f, 0.5f, 0, 0.1f, kBlue);
  test::MakeChild(s(), b, a);
  s().groups[b].child = a;  // damaged: a is its own grandchild
  s().groups[b].next = 99;  // and a dangling index
  rig.Draw(doc.doc);
  EXPECT_EQ(PixelOfPoint(0, 0), (Rgb{255, 0, 0}));
  EXPECT_EQ(PixelOfPoint(0.5f, 0.5f), (Rgb{0, 0, 255}));
}

TEST_F(SceneDrawing, NormalsAreShortLinesFromEachVertex) {
  doc.doc.display.showNormals = true;
  int g = AddSquare(s(), "Square", 0, 0, 0, 0.45f, kRed);
  // Normals along +x, so the lines run right from each corner.
  std::vector<float>& v = s().groups[g].primitives[0].vertices;
  for (size_t at = 0; at < v.size(); at += 6) {
    v[at + 3] = 1;
    v[at + 5] = 0;
  }
  s().groups[g].flags |= drawAsBox;  // keep the square itself out of the way
  rig.Draw(doc.doc);
  // Right of the bottom right corner (0.45, -0.45), within 0.05.
  EXPECT_EQ(PixelOfPoint(0.48f, -0.45f), (Rgb{76, 255, 76}));
  EXPECT_EQ(PixelOfPoint(0.53f, -0.45f), Background());
}

}  // namespace
}  // namespace modra
