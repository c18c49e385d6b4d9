// The Open and Append commands around the readers: what a failure leaves
// behind, the modified flag, and which finishing steps a native file skips.
#include "formats/import_dispatch.h"

#include <cmath>

#include "formats/3ds_test_util.h"
#include "formats/cob_test_util.h"
#include "formats/import_test_util.h"
#include "io/finite_values.h"
#include "nativefile/native_writer.h"
#include "test_util.h"

namespace modra {
namespace {

const std::string kBrokenModel = test::ModelPath("invalid/empty.3ds");

// A failed Open leaves the cleared scene and the flag as it was; a failed
// Append keeps the scene but marks it modified.
TEST(ImportCommands, FailedOpensAndAppendsSayWhyAndReadNothing) {
  test::RecordedDocument r;
  test::AddTriangle(r.scene(), "old");
  r.doc.modified = true;
  OpenModelFile(r.doc, kBrokenModel);
  EXPECT_EQ(r.scene().rootHead, -1);
  EXPECT_TRUE(r.doc.modified);
  EXPECT_EQ(r.doc.name, kBrokenModel);
  EXPECT_EQ(r.shell.messages,
            std::vector<std::string>{"Can't decode " + kBrokenModel + " correctly\n"});
  EXPECT_TRUE(r.doc.importMesh.faces.empty() && r.doc.importMesh.parts.empty());
  OpenModelFile(r.doc, test::ModelPath("obj/box.obj"));
  EXPECT_FALSE(r.doc.modified);
  EXPECT_EQ(test::Names(r.scene(), r.scene().rootHead), std::vector<std::string>{"None"});

  const int kept = r.scene().rootHead;
  const std::vector<Vec3> before = test::WorldPositions(r.scene(), kept);
  AppendModelFile(r.doc, kBrokenModel);
  EXPECT_EQ(test::Names(r.scene(), r.scene().rootHead), std::vector<std::string>{"None"});
  test::ExpectSamePositions(test::WorldPositions(r.scene(), kept), before);
  EXPECT_TRUE(r.doc.modified);
  // An unknown extension says so and reads nothing.
  r.shell.messages.clear();
  AppendModelFile(r.doc, "model.Obj");
  EXPECT_EQ(r.shell.messages, std::vector<std::string>{"Unrecognized File Type"});
  EXPECT_EQ(test::Names(r.scene(), r.scene().rootHead), std::vector<std::string>{"None"});
}

// The readers share the opening: a missing file is said, a folder refused.
TEST(ImportCommands, EveryReaderRefusesMissingFilesAndFolders) {
  test::TempDir dir;
  for (const std::string ext : {".3ds", ".cob", ".dxf", ".obj", ".knf"}) {
    const std::string missing = dir / ("missing" + ext), folder = dir / ("folder" + ext);
    test::ExpectRefused(missing, "Can't open " + missing + " for read\n");
    std::filesystem::create_directory(folder);
    Document doc;
    EXPECT_EQ(ReadModelFile(doc, folder, false), -1) << folder;
  }
}

TEST(ImportCommands, NativeFilesKeepTheirOwnPlacementAndDisplayFlags) {
  test::TempDir dir;
  const std::string path = dir / "scene.knf";
  {
    test::RecordedDocument w;
    const int g = test::AddMesh(w.scene(), "offset", {{5, 5, 5}, {6, 5, 5}, {5, 6, 5}});
    w.scene().groups[g].flags &= ~Enabled;
    ASSERT_EQ(WriteNativeFile(w.doc, path), 0);
  }
  test::RecordedDocument r;
  OpenModelFile(r.doc, path);
  ASSERT_EQ(r.doc.modelFileType, kNativeFile);
  const Scene& s = r.scene();
  // The header records keep their slots at the front of the top level.
  int live = -1;
  ForEachSibling(s, s.rootHead, [&](int g) {
    if (live == -1 && !(s.groups[g].flags & Deleted)) live = g;
  });
  ASSERT_NE(live, -1);
  const DisplayGroup& g = s.groups[live];
  // Neither sized, nor centred, nor switched on: the file is a scene, not a model.
  EXPECT_FALSE(g.flags & Enabled);
  EXPECT_FALSE(g.flags & NeedsCentering);
  test::ExpectNear(g.translation, {0, 0, 0});
  test::ExpectSamePositions(test::WorldPositions(s, live), {{5, 5, 5}, {6, 5, 5}, {5, 6, 5}});
  // The box is still brought up to date.
  test::ExpectNear(g.bboxMin, {5, 5, 5});
  test::ExpectNear(g.bboxMax, {6, 6, 5});
  EXPECT_FALSE(r.doc.modified);
}

TEST(ImportCommands, OnlyTheGroupsJustReadAreCentred) {
  test::RecordedDocument r;
  const int old = test::AddMesh(r.scene(), "old", {{5, 5, 5}, {6, 5, 5}, {5, 6, 5}});
  r.scene().groups[old].flags |= NeedsCentering;
  AppendModelFile(r.doc, test::ModelPath("obj/box.obj"));
  const Scene& s = r.scene();
  EXPECT_FALSE(s.groups[old].flags & NeedsCentering);
  test::ExpectNear(s.groups[old].translation, {0, 0, 0});
  test::ExpectSamePositions(test::WorldPositions(s, old), {{5, 5, 5}, {6, 5, 5}, {5, 6, 5}});
  const int file = s.rootHead;
  ASSERT_EQ(s.groups[file].name, "box");
  const int part = s.groups[file].child;
  ASSERT_NE(part, -1);
  EXPECT_TRUE(s.groups[part].flags & NeedsCentering);
  EXPECT_TRUE(s.groups[part].flags & Enabled);
  EXPECT_EQ(s.selectedGroup, -1);
}

// A white material of red NaN, and a square whose corner (1, 1) has z NaN.
std::string NanModel3ds() {
  using namespace test::tds;
  const test::Bytes b =
      File(Join({Chunk(0xAFFF, Chunk(0xA020, FloatColor(NAN, 1, 1))),
                 Object("a", Mesh(Join({Vertices({{0, 0, 0}, {1, 0, 0}, {1, 1, NAN}, {0, 1, 0}}),
                                        Faces({{0, 1, 2}, {0, 2, 3}})})))}));
  return {b.begin(), b.end()};
}

std::string DxfFace(const char* x3, const char* y3, const char* z3) {
  std::string s = "0\n3DFACE\n8\n0\n10\n0\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n";
  return s + "12\n" + x3 + "\n22\n" + y3 + "\n32\n" + z3 + "\n";
}

std::string CobWithNaNs(bool binary) {
  test::CobPolygonChunk p;
  // The file's matrix spreads the NaN over the whole point, which goes to
  // the origin: off the line of any two others.
  p.vertices = {{1, 1, 0}, {2, 1, 0}, {2, 2, NAN}, {1, 2, 0}};
  p.texVertices = {{0, 0}, {INFINITY, 1}};
  p.faces = {{0, {{0, 0}, {1, 1}, {2, 0}}}, {0, {{0, 0}, {2, 1}, {3, 0}}}};
  test::CobMaterialChunk m;
  m.facet = "smooth";
  m.rgb = {NAN, 0.5f, 0.5f};
  m.alpha = NAN;
  m.ks = INFINITY;
  test::CobModel model;
  model.chunks = {p, m};
  if (!binary) return test::CobAscii(model);
  const std::vector<uint8_t> bytes = test::CobBinary(model);
  return {bytes.begin(), bytes.end()};
}

std::string NativeWithNaNs() {
  test::RecordedDocument w;
  const int g = test::AddMesh(w.scene(), "g", {{0, 0, 0}, {1, NAN, 0}, {0, 1, INFINITY}});
  w.scene().groups[g].primitives[0].vertices.Mutable()[4] = NAN;  // a normal
  w.scene().groups[g].translation = {NAN, 0, 0};
  w.scene().groups[g].matrix[12] = NAN;
  test::TempDir dir;
  EXPECT_EQ(WriteNativeFile(w.doc, dir / "nan.knf"), 0);
  return test::ReadText(dir / "nan.knf");
}

bool GroupIsFinite(const DisplayGroup& g) {
  for (const DisplayPrimitive& p : g.primitives)
    if (!AllFinite(p.vertices)) return false;
  for (const Vec3* v : {&g.color, &g.specular, &g.center, &g.centerRotation, &g.rotation,
                        &g.translation, &g.scale, &g.bboxMin, &g.bboxMax})
    if (!AllFinite(*v)) return false;
  return AllFinite(g.matrix) && AllFinite(g.textureTransform) && std::isfinite(g.alpha) &&
         std::isfinite(g.shininess);
}

// A coordinate, a file normal, a texture coordinate or a material value
// that is "nan", "inf" or beyond float's range reaches no group: the one
// point goes to the origin and the faces around it keep their own normals.
TEST(ImportCommands, NoNumberThatIsNotFiniteReachesAGroup) {
  const struct {
    const char* file;
    std::string bytes;
    bool madeNormals;  // the file's own normals are not checked for length
  } cases[] = {
      {"nan2.obj",
       "v 0 0 0\nv 2 0 0\nv 0 2 nan\nv 2 2 0\nv 0 -2 0\nv 2 -2 0\nvn 0 0 1\nvn nan 0 1\n"
       "f 1 2 3\nf 2 4 3\nf 1 5 6\nf 1 6 2\ng filed\nf 1//1 5//2 6//1\n",
       true},
      {"huge.obj",
       "v 3e38 0 0\nv -3e38 0 0\nv 0 3e38 1e39\nf 1 2 3\nf 1 2 99999999999999999999\n"
       "f 1 2 -2147483648\ns 99999999999999999999\nf 1 2 3\ns -99999999999\nf 1 2 3\n",
       true},
      {"nan.3ds", NanModel3ds(), true},
      {"nan.cob", CobWithNaNs(false), true},
      {"nan-binary.cob", CobWithNaNs(true), true},
      {"nan.dxf",
       "0\nSECTION\n2\nENTITIES\n" + DxfFace("1", "1", "nan") + DxfFace("0", "1e39", "1") +
           "0\nENDSEC\n0\nEOF\n",
       true},
      {"nan.knf", NativeWithNaNs(), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    test::TempDir dir;
    test::WriteText(dir / c.file, c.bytes);
    test::RecordedDocument r;
    ASSERT_EQ(ReadModelFile(r.doc, dir / c.file, false), 0)
        << testing::PrintToString(r.shell.messages);
    const Scene& s = r.scene();
    int corners = 0;
    ForEachGroup(s, s.rootHead, [&](int g) {
      if (!IsLiveGroup(s, g)) return;
      const DisplayGroup& group = s.groups[g];
      EXPECT_TRUE(GroupIsFinite(group)) << group.name;
      const size_t stride = VertexStride(group), normal = group.flags & VertexColors ? 6 : 3;
      for (const DisplayPrimitive& p : group.primitives) {
        corners += p.vertexCount;
        for (size_t v = 0; c.madeNormals && v + stride <= p.vertices.size(); v += stride) {
          const float* n = &p.vertices[v + normal];
          EXPECT_NEAR(std::hypot(n[0], n[1], n[2]), 1, 1e-5) << group.name;
        }
      }
    });
    EXPECT_GT(corners, 0);
  }
}

}  // namespace
}  // namespace modra
