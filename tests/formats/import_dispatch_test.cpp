// The Open and Append commands around the readers: what a failure leaves
// behind, the modified flag, and which finishing steps a native file skips.
#include "formats/import_dispatch.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "edit/document_changes.h"
#include "formats/3ds_test_util.h"
#include "formats/cob_test_util.h"
#include "formats/import_test_util.h"
#include "io/finite_values.h"
#include "nativefile/native_writer.h"
#include "test_util.h"

namespace modra {
namespace {

const std::string kBrokenModel = test::ModelPath("invalid/empty.3ds");

// What a command that gives up must leave as it was, beyond the scene
// itself (groups, keys, lights, camera, background, materials), which a
// mirror compares whole.
struct Untouched {
  const Document& doc;
  DocumentMirror mirror{doc};
  std::string name = doc.name;
  bool modified = doc.modified;
  int fileType = doc.modelFileType;
  size_t textures = doc.textures.entries.size();
  std::vector<Vec3> eyes = Eyes(doc);

  static std::vector<Vec3> Eyes(const Document& d) {
    std::vector<Vec3> eyes;
    for (const ViewSetting& v : d.display.views)
      eyes.insert(eyes.end(), {v.translation, v.rotation, v.eye, v.center});
    return eyes;
  }
  void Expect() const {
    EXPECT_EQ(mirror.Compare(doc), OutsideChange::kNone);
    EXPECT_EQ(doc.name, name);
    EXPECT_EQ(doc.modified, modified);
    EXPECT_EQ(doc.modelFileType, fileType);
    EXPECT_EQ(doc.textures.entries.size(), textures);
    EXPECT_EQ(Eyes(doc), eyes);
    EXPECT_TRUE(doc.importMesh.faces.empty() && doc.importMesh.parts.empty());
  }
};

// A scene of the user's: a group, a key, a light and a view of its own.
void MakeOwnScene(Document& doc) {
  test::AddTriangle(doc.scene, "old");
  AddCameraKey(doc.scene.anim, 0);
  doc.scene.lights[2].type = kLightPositional;
  doc.scene.lights[2].color = {0.25f, 0.5f, 0.75f};
  doc.scene.camera.position = {1, 2, 3};
  doc.scene.camera.rotation = {10, 20, 30};
  doc.scene.global.background = {1, 0.5f, 0};
  doc.display.views[kViewFront].rotation = {5, 6, 7};
  doc.display.views[kViewCamera].eye = {8, 9, 10};
  SetDocumentName(doc, "mine.knf");
  doc.modified = true;
}

// Bytes from another program under a model's name.
std::string PictureAs(const test::TempDir& dir, const std::string& name) {
  const std::string path = dir / name;
  test::WriteBytes(path, test::ReadBytes(test::TestData("images/testorig.jpg")));
  return path;
}

// A file that is damaged, missing, of no known type or no model at all
// leaves the document exactly as it was, and one message says why.
TEST(ImportCommands, AFileThatDoesNotOpenChangesNothing) {
  test::TempDir dir;
  const std::string whole = dir / "whole.knf";
  {
    test::RecordedDocument w;
    MakeOwnScene(w.doc);
    test::AddTriangle(w.scene(), "more");
    ASSERT_EQ(WriteNativeFile(w.doc, whole), 0);
  }
  const test::Bytes bytes = test::ReadBytes(whole);
  std::vector<std::string> files = {kBrokenModel,
                                    dir / "missing.obj",
                                    dir / "notes.txt",
                                    PictureAs(dir, "picture.3ds"),
                                    PictureAs(dir, "picture.knf"),
                                    PictureAs(dir, "picture.cob"),
                                    PictureAs(dir, "picture.dxf")};
  // Cut short in its header, its first group and its last bytes.
  for (const size_t size : {size_t{20}, bytes.size() / 3, bytes.size() - 4}) {
    files.push_back(dir / ("cut" + std::to_string(size) + ".knf"));
    test::WriteBytes(files.back(), test::Bytes(bytes.begin(), bytes.begin() + size));
  }
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    test::RecordedDocument r;
    MakeOwnScene(r.doc);
    const Untouched before{r.doc};
    r.shell.changes.clear();
    EXPECT_EQ(OpenDocument(r.doc, file), -1);
    before.Expect();
    ASSERT_EQ(r.shell.messages.size(), 1u);
    const std::string& said = r.shell.messages[0];
    EXPECT_TRUE(said.find(file) != std::string::npos || said == "Unrecognized File Type") << said;
    EXPECT_TRUE(r.shell.changes.empty());
  }
  // The file whole opens, so the cuts were what failed.
  test::RecordedDocument r;
  EXPECT_EQ(OpenDocument(r.doc, whole), 0);
  const std::vector<std::string> names = test::Names(r.scene(), r.scene().rootHead);
  EXPECT_EQ(std::vector<std::string>(names.end() - 2, names.end()),
            (std::vector<std::string>{"more", "old"}));
}

// A file that reads but gives nothing to draw says so and changes
// nothing, opened or appended; an append that changes nothing is still
// an unsaved change when it comes from the menu as a whole.
TEST(ImportCommands, AFileWithNothingToDrawSaysSoAndChangesNothing) {
  test::TempDir dir;
  const std::string empty = dir / "empty.knf", points = dir / "points.dxf";
  test::WriteText(points,
                  "0\nSECTION\n2\nENTITIES\n0\nPOINT\n8\n0\n10\n1\n20\n2\n30\n3\n"
                  "0\nPOINT\n8\n0\n10\n4\n20\n5\n30\n6\n0\nENDSEC\n0\nEOF\n");
  {
    test::RecordedDocument w;
    w.scene().global.background = {0.25f, 0.5f, 0.75f};
    ASSERT_EQ(WriteNativeFile(w.doc, empty), 0);
  }
  const std::string files[] = {test::ModelPath("obj/point_cloud.obj"),
                               test::ModelPath("obj/testline.obj"), points,
                               test::ModelPath("invalid/empty.obj"), PictureAs(dir, "picture.obj")};
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    test::RecordedDocument r;
    MakeOwnScene(r.doc);
    const Untouched before{r.doc};
    r.shell.changes.clear();
    EXPECT_EQ(OpenDocument(r.doc, file), -1);
    EXPECT_EQ(AppendToScene(r.doc, file), -1);
    before.Expect();
    EXPECT_EQ(r.shell.messages, std::vector<std::string>(2, NothingToDrawMessage(file)));
    EXPECT_TRUE(r.shell.changes.empty());

    // The whole Append, which goes to frame 0 first, is back where it was.
    r.doc.scene.anim.currentFrame = 7;
    r.doc.modified = false;
    EXPECT_EQ(AppendModelFile(r.doc, file), -1);
    EXPECT_FALSE(r.doc.modified);
    EXPECT_EQ(r.doc.scene.anim.currentFrame, 7);
    EXPECT_EQ(test::Names(r.scene(), r.scene().rootHead), std::vector<std::string>{"old"});
  }
  {
    // A scene file with no group is still a scene (lights, camera): it
    // opens, but has nothing to add to another.
    test::RecordedDocument r;
    MakeOwnScene(r.doc);
    EXPECT_EQ(AppendToScene(r.doc, empty), -1);
    EXPECT_EQ(r.shell.messages, std::vector<std::string>{NothingToDrawMessage(empty)});
    EXPECT_EQ(OpenDocument(r.doc, empty), 0);
    EXPECT_TRUE(std::ranges::all_of(r.scene().groups,
                                    [](const DisplayGroup& g) { return g.flags & Deleted; }));
    EXPECT_EQ(r.scene().global.background, (Vec3{0.25f, 0.5f, 0.75f}));
    EXPECT_EQ(r.shell.messages.size(), 1u);
  }
  // A model that draws joins the scene under its own name.
  test::RecordedDocument r;
  MakeOwnScene(r.doc);
  EXPECT_EQ(AppendToScene(r.doc, test::ModelPath("obj/box.obj")), 0);
  EXPECT_EQ(test::Names(r.scene(), r.scene().rootHead), (std::vector<std::string>{"box", "old"}));
  EXPECT_TRUE(r.shell.messages.empty());
}

void ExpectSameLight(const KnfLight& a, const KnfLight& b) {
  EXPECT_EQ(a.type, b.type);
  for (const auto member :
       {&KnfLight::color, &KnfLight::position, &KnfLight::direction, &KnfLight::rotation})
    EXPECT_EQ(a.*member, b.*member);
  EXPECT_EQ(std::tie(a.c1, a.c2, a.c3, a.cutoff, a.spotPower),
            std::tie(b.c1, b.c2, b.c3, b.cutoff, b.spotPower));
}

void ExpectSameView(const ViewSetting& a, const ViewSetting& b) {
  EXPECT_EQ(std::tie(a.orthographic, a.cameraMode, a.lookAtGroup, a.scale, a.nearOffset,
                     a.farOffset, a.fieldOfView),
            std::tie(b.orthographic, b.cameraMode, b.lookAtGroup, b.scale, b.nearOffset,
                     b.farOffset, b.fieldOfView));
  for (const auto member :
       {&ViewSetting::rawTranslation, &ViewSetting::translation, &ViewSetting::rotation,
        &ViewSetting::eye, &ViewSetting::center, &ViewSetting::up})
    EXPECT_EQ(a.*member, b.*member);
}

// New and Open clear the scene by one rule: whatever the scene had, both
// leave the groups, keys, clipboards, lights, camera, background and views
// of a new document; Open then adds the model's groups.
TEST(ImportCommands, NewAndOpenClearTheSceneAlike) {
  const Document fresh;
  for (const bool open : {false, true}) {
    SCOPED_TRACE(open ? "Open" : "New");
    test::RecordedDocument r;
    MakeOwnScene(r.doc);
    ASSERT_TRUE(CopyFrameToClipboard(r.anim(), 0));
    if (open)
      ASSERT_EQ(OpenModelFile(r.doc, test::ModelPath("obj/box.obj")), 0);
    else
      NewDocument(r.doc);
    const Scene& s = r.scene();
    EXPECT_EQ(test::Names(s, s.rootHead),
              open ? std::vector<std::string>{"None"} : std::vector<std::string>{});
    EXPECT_TRUE(s.anim.keys.empty());
    EXPECT_FALSE(HoldsClipboard(s));
    for (int light = 0; light < kLightCount; ++light)
      ExpectSameLight(s.lights[light], fresh.scene.lights[light]);
    const KnfCameraView &c = s.camera, &f = fresh.scene.camera;
    EXPECT_EQ(std::tie(c.mode, c.lookAtGroup), std::tie(f.mode, f.lookAtGroup));
    for (const auto member :
         {&KnfCameraView::viewParams, &KnfCameraView::rotation, &KnfCameraView::position,
          &KnfCameraView::vectorA, &KnfCameraView::vectorB})
      EXPECT_EQ(c.*member, f.*member);
    EXPECT_EQ(s.global.background, fresh.scene.global.background);
    for (int view = 0; view < kViewCount; ++view)
      ExpectSameView(r.doc.display.views[view], fresh.display.views[view]);
    EXPECT_FALSE(r.doc.modified);
  }
}

// The readers share the opening: a missing file is said, a folder refused.
// Every model reader refuses at once what is no file to read (a FIFO is
// not waited on), and its message names the file and the reason.
TEST(ImportCommands, EveryReaderSaysWhyAFileCannotBeRead) {
  test::TempDir dir;
  for (const std::string ext : {".3ds", ".cob", ".dxf", ".obj", ".knf"}) {
    const std::string missing = dir / ("missing" + ext), folder = dir / ("folder" + ext),
                      fifo = dir / ("fifo" + ext), device = dir / ("device" + ext);
    std::filesystem::create_directory(folder);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/null", device);
    const std::pair<std::string, std::string> cases[] = {
        {missing, std::strerror(ENOENT)},
        {folder, std::strerror(EISDIR)},
        {fifo, "Not a regular file (a FIFO)"},
        {device, "Not a regular file (a device)"},
    };
    for (const auto& [path, reason] : cases)
      test::ExpectRefused(path, "Can't open " + path + " for read: " + reason + "\n");
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
