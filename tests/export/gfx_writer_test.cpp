// Skyloom scene export: surface and orientation records, the geometry
// blocks of every primitive type, the hierarchy and the textures in use.
#include "export/gfx_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "anim/anim_util.h"
#include "nativefile/native_test_util.h"

namespace modra {
namespace {

using test::Siblings;

// Vertex i of the test primitives: at (i, 0, 0), facing +z.
std::vector<float> Vertices(int first, int count) {
  std::vector<float> v;
  for (int i = first; i < first + count; ++i)
    v.insert(v.end(), {float(i), 0, 0, 0, 0, 1});
  return v;
}
std::string VertexLine(int i, bool first = false) {
  return std::string("    ") + (first ? ' ' : ',') + std::to_string(i) +
         ".000000,0.000000,0.000000,0.000000,0.000000,1.000000\n";
}

// Appends a primitive of the given type holding vertices first .. first + count - 1.
void AddPrimitive(Scene& s, int g, int type, int first = 0, int count = 0) {
  DisplayPrimitive prim;
  prim.type = type;
  prim.vertexCount = count;
  prim.vertices = Vertices(first, count);
  s.groups[g].primitives.push_back(prim);
}

int Group(Scene& s, const std::string& name, std::vector<int> types = {kTriangles}) {
  int g = NewGroup(s, name);
  s.groups[g].flags = Enabled;
  for (int type : types)
    AddPrimitive(s, g, type);
  return g;
}

// The lines that open a Data block after its header line.
std::string BlockStart(int g, const std::string& options = "") {
  return "    HasNormals = True\n    Surface = surf_group" + std::to_string(g) +
         "\n    Orient = orient_group" + std::to_string(g) + "\n" + options + "    Data = {\n";
}

class SkyloomExport : public ::testing::Test {
 protected:
  test::RecordedDocument rec;
  Document& doc = rec.doc;
  Scene& s = rec.doc.scene;
  test::TempDir dir;

  std::string Export() {
    const std::string path = dir / "scene.gfx";
    EXPECT_EQ(WriteSkyloomFile(doc, path), 0);
    EXPECT_TRUE(rec.shell.messages.empty());
    return test::ReadText(path);
  }
  // The hierarchy part: everything after the last orientation record.
  std::string Hierarchy() {
    const std::string text = Export();
    size_t at = text.rfind("skOrient");
    at = at == std::string::npos ? 0 : text.find("}\n\n", at) + 3;
    return text.substr(at);
  }
};

TEST_F(SkyloomExport, OneTriangleGroup) {
  int g = test::AddMesh(s, "T\nri\r", {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
  DisplayGroup& group = s.groups[g];
  group.color = {1, 0.5f, 0};
  group.specular = {0.25f, 0.25f, 0.25f};
  group.shininess = 64;
  group.scale = {1, 2, 3};
  group.rotation = {10, -20, 0};
  group.translation = {0.5f, -1, 2};
  group.center = {0.25f, 0, 0};
  // Without the Textured flag its texture is no texture in use.
  group.textureIndex = 1;
  doc.textures.entries = {{"Checker", "checker.ppm"}, {"Wood", "wood.jpg"}};
  // Line breaks in the name become blanks; winding reversed: a, b, c goes
  // out as a, c, b.
  EXPECT_EQ(Export(),
            "# Group 0:\"T ri \":\n"
            "skSurface surf_group0{\n"
            "    Color = {1.000000,0.500000,0.000000}\n"
            "    SpecColor = {0.250000,0.250000,0.250000}\n"
            "    Shininess = 0.500000\n"
            "}\n\n"
            "skOrient orient_group0{\n"
            "    Scale = {1.000000,2.000000,3.000000}\n"
            "    Rotate = {-10.000000,20.000000,-0.000000}\n"
            "    Pos = {0.500000,-1.000000,2.000000}\n"
            "#   Center = {0.250000,0.000000,0.000000}\n"
            "}\n\n"
            "# Group 0:\"T ri \":\n"
            "skTriangles tris0 {\n"
            "    HasNormals = True\n"
            "    Surface = surf_group0\n"
            "    Orient = orient_group0\n"
            "    Data = {\n"
            "     1.000000,2.000000,3.000000,0.000000,0.000000,1.000000\n"
            "    ,7.000000,8.000000,9.000000,0.000000,0.000000,1.000000\n"
            "    ,4.000000,5.000000,6.000000,0.000000,0.000000,1.000000\n"
            "}\n}\n\n");
}

// Quadrilaterals turn around; a strip's odd vertices make one row of a
// 2 x M mesh, its even ones the other, and an odd strip's last vertex has
// no place in it.
TEST_F(SkyloomExport, EveryTypeAndEveryStripOpensABlock) {
  int g = Group(s, "mixed", {});
  AddPrimitive(s, g, kTriangles, 0, 3);
  AddPrimitive(s, g, kTriangles, 3, 3);  // same type: same block
  AddPrimitive(s, g, kQuads, 6, 4);
  AddPrimitive(s, g, kTriangleStrip, 10, 5);
  AddPrimitive(s, g, kTriangleStrip);
  AddPrimitive(s, g, kTriangles);
  EXPECT_EQ(Hierarchy(),
            "# Group 0:\"mixed\":\nskTriangles tris0 {\n" + BlockStart(0) + VertexLine(0, true) +
                VertexLine(2) + VertexLine(1) + VertexLine(3) + VertexLine(5) + VertexLine(4) +
                "    }\n}\nskQuads quad0_2 {\n" + BlockStart(0) + VertexLine(6, true) +
                VertexLine(9) + VertexLine(8) + VertexLine(7) +
                "    }\n}\nskMesh mesh0_3 {\n    GraphN = 2\n    GraphM = 2\n" + BlockStart(0) +
                VertexLine(11, true) + VertexLine(13) + VertexLine(10) + VertexLine(12) +
                "    }\n}\nskMesh mesh0_4 {\n    GraphN = 2\n    GraphM = 0\n" + BlockStart(0) +
                "    }\n}\nskTriangles tris0_5 {\n" + BlockStart(0) + "}\n}\n\n");
}

TEST_F(SkyloomExport, PartsThatCannotBeDecodedLeaveAComment) {
  const std::string bummer = "#  Bummer, can't decode this part.\n";
  int a = Group(s, "A", {kQuadStrip, kTriangles});
  int b = Group(s, "B", {kTriangles, kQuadStrip, kTriangles});
  int c = Group(s, "C", {kQuadStrip});
  int d = Group(s, "D", {});
  Siblings(s, -1, {a, b, c, d});
  // A block is only opened by a part that can be written, so no block
  // ever lacks its header line.
  EXPECT_EQ(Hierarchy(), "# Group 0:\"A\":\n" + bummer + "skTriangles tris0_1 {\n" + BlockStart(0) +
                             "}\n}\n\n" + "# Group 1:\"B\":\nskTriangles tris1 {\n" +
                             BlockStart(1) + bummer + "    }\n}\nskTriangles tris1_2 {\n" +
                             BlockStart(1) + "}\n}\n\n" + "# Group 2:\"C\":\n" + bummer +
                             "# Group 3:\"D\":\n");
}

// A comma stands before every header of a Children list but the first
// written: a group without geometry writes none.
TEST_F(SkyloomExport, ParentsBecomeNodesWithCommaSeparatedChildren) {
  int p = Group(s, "P");  // its own triangle is not written
  int a = Group(s, "A", {kTriangles, kQuads});
  int b = Group(s, "B");
  int c = Group(s, "C");
  int d = Group(s, "D");
  int e = Group(s, "E");
  int goneChild = Group(s, "gone child");
  int goneTop = Group(s, "gone top");
  int empty = Group(s, "empty", {});
  s.groups[goneChild].flags = Deleted;
  s.groups[goneTop].flags = Deleted;
  Siblings(s, -1, {goneTop, p, e});
  Siblings(s, p, {goneChild, empty, b, a});
  Siblings(s, b, {c, d});

  const std::string text = Export();
  // Every live group once in the first pass, in pre-order.
  size_t at = 0;
  for (int g : {p, b, c, d, a, e}) {
    at = text.find("skSurface surf_group" + std::to_string(g) + "{", at);
    EXPECT_NE(at, std::string::npos) << g;
  }
  EXPECT_EQ(text.find("gone"), std::string::npos);

  EXPECT_EQ(Hierarchy(),
            "# Group 0:\"P\":\n"
            "skGroup sk_group0 {\n    Orient = orient_group0\n    Children = {\n"
            "# Group 8:\"empty\":\n"
            "# Group 2:\"B\":\n"
            "skGroup sk_group2 {\n    Orient = orient_group2\n    Children = {\n"
            "# Group 3:\"C\":\n"
            "skTriangles tris3 {\n" +
                BlockStart(3) + "}\n}\n\n" +
                "# Group 4:\"D\":\n"
                ",skTriangles tris4 {\n" +
                BlockStart(4) + "}\n}\n\n" +
                "}\n}\n\n"  // B
                "# Group 1:\"A\":\n"
                ",skTriangles tris1 {\n" +
                BlockStart(1) + "    }\n}\n,skQuads quad1_1 {\n" + BlockStart(1) + "}\n}\n\n" +
                "}\n}\n\n"  // P
                "# Group 5:\"E\":\n"
                "skTriangles tris5 {\n" +
                BlockStart(5) + "}\n}\n\n");
}

TEST_F(SkyloomExport, TexturesInUseAndSurfaceOptions) {
  doc.textures.entries = {
      {"Checker", "checker.ppm"}, {"Wood", "/data/tex/wood.jpg"}, {"Stone", "C:\\tex\\stone.bmp"}};
  const std::string uv0 = "    HasUV = True\n    Texture = texture0\n";
  const std::string uv1 = "    HasUV = True\n    Texture = texture1\n", rgb = "    HasRGB = True\n";
  const struct {
    uint32_t flags;
    int texture;
    std::string options;
  } cases[] = {{Textured | VertexColors | TexCoords, 2, rgb + uv0},
               {Textured | TexCoords, 1, uv1},
               {Textured | VertexColors, 2, rgb},
               {TexCoords, 0, uv0},
               {TexCoords, 1, uv1}};
  std::vector<int> groups;
  for (const auto& c : cases) {
    groups.push_back(Group(s, "g"));
    s.groups[groups.back()].flags |= c.flags;
    s.groups[groups.back()].textureIndex = c.texture;
  }
  Siblings(s, -1, groups);
  const std::string text = Export();
  EXPECT_EQ(
      text.substr(0, text.find("# Group")),
      "skTexture texture0{\n    Scale = {1,-1,1}\n    FileName = \"textures/stone.bmp\"\n}\n\n"
      "skTexture texture1{\n    Scale = {1,-1,1}\n    FileName = \"textures/wood.jpg\"\n}\n\n");
  for (size_t i = 0; i < groups.size(); ++i)
    EXPECT_NE(text.find("tris" + std::to_string(groups[i]) + " {\n" +
                        BlockStart(groups[i], cases[i].options)),
              std::string::npos)
        << i;
}

TEST_F(SkyloomExport, TextureListKeepsAHundredAndTheLatestTakesTheLastPlace) {
  auto add = [&](uint32_t flags, int texture) {
    int g = Group(s, "g");
    s.groups[g].flags = flags;
    s.groups[g].textureIndex = texture;
    return g;
  };
  std::vector<int> order, expected;
  for (int i = 0; i < 105; ++i)
    order.push_back(add(Enabled | Textured, i));
  // A texture already listed, and an untextured group's number.
  const int again = add(Enabled | Textured, 3), untextured = add(Enabled, 500);
  order.insert(order.begin() + 50, {again, untextured});
  Siblings(s, -1, order);
  for (int i = 0; i < 99; ++i)
    expected.push_back(i);
  expected.push_back(104);
  EXPECT_EQ(CollectSkyloomTextures(s), expected);
  // A deleted slot's texture counts too.
  Siblings(s, -1, {add(Deleted | Textured, 7), again, untextured});
  EXPECT_EQ(CollectSkyloomTextures(s), (std::vector<int>{7, 3}));
}

TEST_F(SkyloomExport, WritesTheSceneAtFrameZero) {
  int g = Group(s, "moving");
  test::SetTranslationAt(doc, g, 10, {5, 0, 0});
  const std::string text = Export();
  EXPECT_EQ(doc.scene.anim.currentFrame, 0);
  EXPECT_NE(text.find("    Pos = {0.000000,0.000000,0.000000}\n"), std::string::npos);
  EXPECT_EQ(text.find("5.000000"), std::string::npos);
}

}  // namespace
}  // namespace modra
