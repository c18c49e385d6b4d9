#include "view/pick.h"

#include <gtest/gtest.h>

#include <bit>

#include "view_test_util.h"

namespace modra {
namespace {

using test::AddSquare;

class Picking : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(rig.Make(&error)) << error;
    test::FlatFrontView(doc.doc);
    target = {test::kViewSize, test::kViewSize, rig.depth};
  }
  Scene& s() { return doc.scene(); }
  int Pick(float x, float y) { return PickGroupAt(rig.drawer, s(), doc.doc.display, target, x, y); }

  test::RecordedDocument doc;
  test::ViewRig rig;
  PickTarget target;
};

TEST_F(Picking, BackgroundEmptySceneAndPointsOutsideTheViewGiveMinusOne) {
  EXPECT_EQ(Pick(0, 0), -1);
  int g = AddSquare(s(), "Square", 0, 0, 0, 0.3f, {1, 0, 0});
  EXPECT_EQ(Pick(0, 0), g);
  EXPECT_EQ(Pick(0.8f, 0.8f), -1);
  EXPECT_EQ(Pick(0, -1.5f), -1);
  EXPECT_EQ(Pick(std::numeric_limits<float>::quiet_NaN(), 0), -1);
  target.width = 0;
  EXPECT_EQ(Pick(0, 0), -1);
}

TEST_F(Picking, ReturnsTheTopLevelAncestorOfTheGroupHit) {
  int other = AddSquare(s(), "Other", -0.5f, 0, 0, 0.2f, {0, 0, 1});
  int parent = NewGroup(s(), "Parent");
  s().groups[parent].flags |= Enabled;
  int child = AddSquare(s(), "Child", 0.5f, 0, 0, 0.2f, {1, 0, 0});
  int grandchild = AddSquare(s(), "Grandchild", 0.5f, 0.5f, 0, 0.1f, {1, 0, 0});
  test::MakeChild(s(), child, parent);
  test::MakeChild(s(), grandchild, child);
  EXPECT_EQ(Pick(0.5f, 0), parent);
  EXPECT_EQ(Pick(0.5f, 0.5f), parent);
  EXPECT_EQ(Pick(-0.5f, 0), other);
  // The scene's current group and its display are as they were.
  EXPECT_EQ(s().selectedGroup, -1);
}

TEST_F(Picking, PicksFilledGroupsWhileAGroupIsCurrentAndSkipsHiddenOnes) {
  int a = AddSquare(s(), "A", -0.5f, 0, 0, 0.2f, {1, 0, 0});
  int b = AddSquare(s(), "B", 0.5f, 0, 0, 0.2f, {0, 1, 0});
  s().selectedGroup = a;
  s().groups[a].flags |= highlighted;
  s().groups[b].flags |= drawAsBox;
  EXPECT_EQ(Pick(0.5f, 0), b);  // drawn filled, not as its outline or box
  s().groups[b].flags &= ~Enabled;
  EXPECT_EQ(Pick(0.5f, 0), -1);
  doc.doc.display.disabledDisplay = true;
  EXPECT_EQ(Pick(0.5f, 0), b);
  EXPECT_EQ(Pick(-0.5f, 0), -1);
  EXPECT_EQ(s().selectedGroup, a);
}

// In Wire Frame a highlighted group leaves polygons as lines for itself and
// every group the pick draws after it.
TEST_F(Picking, AHighlightedGroupInWireFrameLeavesLinesAfterIt) {
  const int last = AddSquare(s(), "Last", -0.5f, 0, 0, 0.2f, {1, 1, 1});  // drawn last
  const int lit = AddSquare(s(), "Highlighted", 0, 0, 0, 0.2f, {1, 1, 1});
  const int first = AddSquare(s(), "First", 0.5f, 0, 0, 0.2f, {1, 1, 1});
  EXPECT_EQ(Pick(-0.5f, 0), last);
  s().groups[lit].flags |= highlighted;
  doc.doc.display.displayMode = kWireFrame;
  EXPECT_EQ(Pick(0.5f, 0), first);
  EXPECT_EQ(Pick(0, 0), -1);
  EXPECT_EQ(Pick(-0.5f, 0), -1);
}

TEST_F(Picking, PicksFromTheChildrenOfTheEnteredGroup) {
  int parent = NewGroup(s(), "Parent");
  s().groups[parent].flags |= Enabled;
  s().groups[parent].matrix = TranslationMatrix({0.2f, 0, 0});
  int left = AddSquare(s(), "Left", -0.5f, 0, 0, 0.15f, {1, 0, 0});
  int right = AddSquare(s(), "Right", 0.3f, 0, 0, 0.15f, {0, 1, 0});
  test::MakeChild(s(), left, parent);
  test::MakeChild(s(), right, parent);
  int outside = AddSquare(s(), "Outside", 0, 0.6f, 0, 0.15f, {0, 0, 1});
  ASSERT_TRUE(EnterLevel(s(), parent));
  // The parent's matrix still places its children.
  EXPECT_EQ(Pick(-0.3f, 0), left);
  EXPECT_EQ(Pick(0.5f, 0), right);
  EXPECT_EQ(Pick(-0.5f, 0), -1);
  EXPECT_EQ(Pick(0, 0.6f), -1);  // not of this level
  ResetLevel(s());
  EXPECT_EQ(Pick(0, 0.6f), outside);
  EXPECT_EQ(Pick(-0.3f, 0), parent);
}

// Picking sends positions only, skips repeated state and fills only the
// pixel it reads. The reference: every group of the level drawn by DrawTree
// with its whole slot number as colour into the whole view, once a pass so
// that state one pass leaves to the next is the same; each pass gives the
// bits the pick takes from it.
std::vector<int> ReferencePicks(GroupDrawer& drawer, const Scene& s, const DisplayState& d,
                                const PickTarget& target) {
  const size_t slots = s.groups.size(), pixels = size_t(target.width) * target.height;
  const int total = target.bits.red + target.bits.green + target.bits.blue;
  const int passes = (static_cast<int>(std::bit_width(slots)) - 1) / total + 1;
  glDisable(GL_LIGHTING);
  glClearColor(1, 1, 1, 1);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  SetupView(d.views[d.currentView], d.currentView, AspectOf(target.width, target.height));
  glPushMatrix();
  glScalef(1, 1, -1);
  glMultMatrixf(AccumulatedLevelMatrix(s).data());
  DrawSwitches sw;
  sw.displayMode = d.displayMode;
  sw.disabledDisplay = d.disabledDisplay;
  sw.lighting = false;
  sw.pickOverride = true;
  std::vector<uint64_t> codes(pixels, 0);
  std::vector<uint8_t> rgb(pixels * 3);
  for (int pass = 0, shift = 0; pass < passes; ++pass, shift += total) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ForEachSibling(s, CurrentLevelHead(s), [&](int group) {
      sw.pickColor = {(group >> 16) / 255.0f, (group >> 8 & 255) / 255.0f, (group & 255) / 255.0f};
      drawer.DrawTree(s, group, sw);
    });
    glReadPixels(0, 0, target.width, target.height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    for (size_t i = 0; i < pixels; ++i) {
      const uint64_t drawn = uint64_t{rgb[3 * i]} << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2];
      codes[i] |= drawn & (((uint64_t{1} << total) - 1) << shift);
    }
  }
  glPopMatrix();
  glEnable(GL_LIGHTING);
  SetClearColor(s.global.background);
  const uint64_t none = (uint64_t{1} << (total * passes)) - 1;
  std::vector<int> picks;
  for (uint64_t code : codes)
    picks.push_back(code == none || code >= slots ? -1 : static_cast<int>(code));
  return picks;
}

// a x a quads over the square of half-size r at (x, y, z): more vertices than a pick copies.
int AddGrid(Scene& s, float x, float y, float z, float r, int a) {
  int g = NewGroup(s, "Grid");
  s.groups[g].flags |= Enabled;
  auto at = [&](int i, float c) { return c - r + 2 * r * static_cast<float>(i) / a; };
  for (int j = 0; j < a; ++j)
    for (int i = 0; i < a; ++i) {
      DisplayPrimitive quad;
      quad.type = kQuads;
      quad.vertexCount = 4;
      for (auto [di, dj] : {std::pair{0, 0}, std::pair{1, 0}, std::pair{1, 1}, std::pair{0, 1}})
        quad.vertices.insert(quad.vertices.end(), {at(i + di, x), at(j + dj, y), z, 0, 0, -1});
      s.groups[g].primitives.push_back(quad);
    }
  return g;
}

// Widens the vertices with colours and texture coordinates unlike any
// position, so that positions read at the wrong stride land elsewhere.
void AddVertexData(DisplayGroup& group, bool colors, bool texCoords) {
  for (DisplayPrimitive& prim : group.primitives) {
    std::vector<float> wide;
    for (size_t at = 0; at + 6 <= prim.vertices.size(); at += 6) {
      const float* p = prim.vertices.data() + at;
      wide.insert(wide.end(), p, p + 3);
      if (colors) wide.insert(wide.end(), {0.9f, -0.6f, 0.5f});
      wide.insert(wide.end(), p + 3, p + 6);
      if (texCoords) wide.insert(wide.end(), {4, -3});
    }
    prim.vertices = wide;
  }
  group.flags |= (colors ? VertexColors : 0) | (texCoords ? TexCoords | Textured : 0);
}

class PickDrawing : public Picking {
 protected:
  void SetUp() override {
    Picking::SetUp();
    Scene& s = doc.scene();
    // Squares in every vertex layout, overlapping at equal depth.
    for (int i = 0; i < 4; ++i) {
      int g = AddSquare(s, "Row", -0.7f + 0.4f * i, -0.7f + 0.05f * i, 0, 0.22f, {1, 1, 1});
      AddVertexData(s.groups[g], i % 2 == 1, i >= 2);
    }
    // Squares with a matrix each.
    for (int i = 0; i < 2; ++i) {
      int g = AddSquare(s, "Moved", -0.8f + 0.4f * i, 0.2f, 0.1f * i, 0.2f, {1, 1, 1});
      s.groups[g].matrix =
          Multiply(TranslationMatrix({0.1f * i, 0, 0}), RotationMatrix({0, 0, 20.0f * i}));
    }
    // A strip, a parent whose children take its colour, a hidden group.
    int strip = test::AddMesh(
        s, "Strip", {{-0.9f, 0.5f, 0}, {-0.3f, 0.5f, 0}, {-0.9f, 0.9f, 0}, {-0.3f, 0.95f, 0}});
    s.groups[strip].primitives[0].type = kTriangleStrip;
    int parent = AddSquare(s, "Parent", 0.5f, 0.5f, 0, 0.2f, {1, 1, 1});
    for (int i = 0; i < 2; ++i)
      test::MakeChild(s, AddSquare(s, "Child", 0.3f + 0.4f * i, 0.8f, -0.1f, 0.15f, {1, 1, 1}),
                      parent);
    const int hidden = AddSquare(s, "Hidden", 0.5f, 0.5f, -0.2f, 0.25f, {1, 1, 1});
    s.groups[hidden].flags &= ~Enabled;
    // A large group, in front of one square and behind another.
    AddVertexData(s.groups[AddGrid(s, 0.55f, -0.1f, 0.05f, 0.3f, 34)], true, true);
    AddSquare(s, "Over", 0.4f, -0.1f, -0.1f, 0.1f, {1, 1, 1});
    AddSquare(s, "Under", 0.7f, -0.1f, 0.1f, 0.1f, {1, 1, 1});
  }

  GroupDrawer reference;
};

// Two passes of three bits for the 14 slots: every point of a grid over the
// view gives both picks the same answer. Uneven and oversized bit counts
// are held to 1..8 and still agree.
TEST_F(PickDrawing, AnswersAsDrawingEachGroupAloneDoes) {
  target.bits = {1, 1, 1};
  const std::vector<int> want = ReferencePicks(reference, doc.scene(), doc.doc.display, target);
  for (const ColorDepth bits : {ColorDepth{1, 1, 1}, ColorDepth{3, 0, 12}}) {
    target.bits = bits;
    int hits = 0;
    for (int j = 0; j < 11; ++j)
      for (int i = 0; i < 11; ++i) {
        const float x = -0.95f + 0.19f * i, y = -0.95f + 0.19f * j;
        const int px = static_cast<int>((x + 1) * static_cast<float>(target.width) * 0.5f);
        const int py = static_cast<int>((y + 1) * static_cast<float>(target.height) * 0.5f);
        const int expected = want[static_cast<size_t>(py) * target.width + px];
        EXPECT_EQ(Pick(x, y), expected) << x << ", " << y << " with " << bits.red << " red bits";
        hits += expected >= 0;
      }
    EXPECT_GE(hits, 30);
  }
}

TEST_F(PickDrawing, RestoresTheStateTheSceneDrawNeeds) {
  Pick(0, 0);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_DITHER));
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
  GLint shade = 0;
  glGetIntegerv(GL_SHADE_MODEL, &shade);
  EXPECT_EQ(shade, GL_SMOOTH);
  // The picture drawn next covers the whole view again.
  doc.scene().global.background = {0, 1, 0};
  rig.Draw(doc.doc);
  EXPECT_EQ(test::PixelAt(1, 1), (test::Rgb{0, 255, 0}));
  EXPECT_EQ(test::PixelAt(test::kViewSize - 1, test::kViewSize - 1), (test::Rgb{0, 255, 0}));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
}  // namespace modra
