// Wavefront export: the file's lines, world-space geometry that reads back
// as the same shape, and the material library beside it.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>

#include "anim/anim_util.h"
#include "formats/import_dispatch.h"
#include "formats/import_test_util.h"
#include "formats/obj_writer.h"
#include "geometry/primitive_test_util.h"
#include "geometry/primitives.h"
#include "modra_runner.h"
#include "nativefile/native_writer.h"
#include "scene/matrix.h"

namespace modra {
namespace {

using test::ExpectNear;

std::vector<std::string> Lines(const std::string& text, const std::string& start = "") {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (line.starts_with(start)) out.push_back(line);
  return out;
}

// A written .obj taken apart again, in the file's own axes.
struct ObjText {
  std::vector<Vec3> v, vn;
  struct Corner {
    int v, t, n;
  };
  std::vector<std::vector<Corner>> faces;
};
ObjText ParseObj(const std::string& text) {
  ObjText o;
  for (const std::string& line : Lines(text)) {
    std::istringstream in(line);
    std::string key;
    in >> key;
    if (key == "v" || key == "vn") {
      Vec3 p;
      in >> p[0] >> p[1] >> p[2];
      (key == "v" ? o.v : o.vn).push_back(p);
    } else if (key == "f") {
      std::vector<ObjText::Corner> face;
      for (std::string c; in >> c;) {
        ObjText::Corner corner{0, 0, 0};
        std::sscanf(c.c_str(), "%d/%d/%d", &corner.v, &corner.t, &corner.n);
        if (c.find("//") != std::string::npos)
          std::sscanf(c.c_str(), "%d//%d", &corner.v, &corner.n);
        face.push_back(corner);
      }
      o.faces.push_back(face);
    }
  }
  return o;
}

void Transform(Scene& s, int g, const Vec3& rotation, const Vec3& translation, const Vec3& scale) {
  s.groups[g].rotation = rotation;
  s.groups[g].translation = translation;
  s.groups[g].scale = scale;
  BuildGroupMatrix(s, g);
}

// The nine primitives, turned, scaled and moved, the torus and a sphere nested.
void BuildPrimitiveScene(Document& doc) {
  Scene& s = doc.scene;
  const int block = CreateBlock(doc);
  Transform(s, block, {30, 45, 10}, {1, 2, 3}, {1, 2, 0.5f});
  const int torus = CreateTorus(doc);
  Transform(s, torus, {90, 0, 0}, {0, 1, 0}, {0.5f, 0.5f, 0.5f});
  const int sphere = CreateSphere1(doc);
  Transform(s, sphere, {0, 0, 0}, {-1, 0, 0}, {1, 1, 1});
  test::MakeChild(s, torus, block);
  test::MakeChild(s, sphere, torus);
  const int sphere2 = CreateSphere2(doc);
  Transform(s, sphere2, {0, 20, 0}, {3, -2, 1}, {1, 1, 1});
  SetGroupName(s, sphere2, "Sphere2");
  Transform(s, CreateCone(doc), {10, 0, 0}, {-3, 0, 0}, {1, 1, 1});
  Transform(s, CreateRoundedCone(doc), {0, 0, 45}, {0, -3, 0}, {1, 1, 1});
  Transform(s, CreateTube(doc), {0, 0, 0}, {0, 0, -3}, {2, 1, 1});
  Transform(s, CreateCylinder(doc), {5, 5, 5}, {2, 2, -2}, {1, 1, 1});
  Transform(s, CreateRectangle(doc), {-20, 0, 0}, {0, 4, 0}, {1, 1, 1});
  SetColor(s, sphere2, 0.25f, 0.5f, 0.75f);
  SetSpecular(s, sphere2, 0.1f, 0.2f, 0.3f);
  SetShininess(s, sphere2, 40);
  SetColor(s, block, 1, 0, 0);
}

// Each corner's world position, face by face, as a reader receives the faces.
std::vector<Vec3> FaceCorners(const Scene& s, int g) {
  std::vector<Vec3> out;
  const std::vector<Vec3> world = test::WorldPositions(s, g);
  size_t first = 0;
  for (const DisplayPrimitive& p : s.groups[g].primitives) {
    const size_t n = static_cast<size_t>(p.vertexCount);
    auto add = [&](std::initializer_list<size_t> corners) {
      for (size_t c : corners)
        out.push_back(world[first + c]);
    };
    if (p.type == kTriangles)
      for (size_t k = 0; k + 3 <= n; k += 3)
        add({k, k + 1, k + 2});
    if (p.type == kQuads)
      for (size_t k = 0; k + 4 <= n; k += 4)
        add({k, k + 1, k + 2, k + 3});
    if (p.type == kTriangleStrip)
      for (size_t k = 0; k + 3 <= n; ++k)
        k % 2 ? add({k + 1, k, k + 2}) : add({k, k + 1, k + 2});
    if (p.type == kQuadStrip)
      for (size_t k = 0; k + 4 <= n; k += 2)
        add({k, k + 1, k + 3, k + 2});
    first += n;
  }
  return out;
}

class ObjWriter : public ::testing::Test {
 protected:
  std::string Write() {
    EXPECT_EQ(WriteWavefrontFile(r.doc, path), 0);
    return test::ReadText(path);
  }
  test::TempDir dir;
  const std::string path = dir / "scene.obj";
  test::RecordedDocument r;
};

TEST_F(ObjWriter, StartsWithAGroupCommentPerLiveGroupInPreOrder) {
  Scene& s = r.scene();
  const int a = test::AddTriangle(s, "A");
  const int gone = test::AddTriangle(s, "Gone");
  const int b = test::AddTriangle(s, "B");
  const int c = test::AddTriangle(s, "two\nlines");
  test::MakeChild(s, c, b);
  s.groups[gone].flags |= Deleted;
  const std::vector<std::string> lines = Lines(Write());
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "# Group " + std::to_string(b) + ":\"B\":");
  EXPECT_EQ(lines[1], "# Group " + std::to_string(c) + ":\"two lines\":");
  EXPECT_EQ(lines[2], "# Group " + std::to_string(a) + ":\"A\":");
  EXPECT_EQ(lines[3], "# This file created by modra");
  EXPECT_EQ(lines[4], "mtllib scene.mtl");
  const std::string text = test::ReadText(path);
  EXPECT_EQ(text.find("does not work"), std::string::npos);
  EXPECT_EQ(text.find("Gone"), std::string::npos);
  EXPECT_EQ(Lines(text, "g "), (std::vector<std::string>{"g B", "g two_lines", "g A"}));
  EXPECT_TRUE(r.shell.messages.empty());
}

TEST_F(ObjWriter, StripsBecomeTrianglesAndQuadrilateralsTurnedAsDrawn) {
  Scene& s = r.scene();
  const int g = NewGroup(s, "strips");
  s.groups[g].flags = Enabled;
  DisplayPrimitive strip{kTriangleStrip, 5, {}}, quads{kQuadStrip, 6, {}};
  for (int i = 0; i < 5; ++i)
    strip.vertices.insert(strip.vertices.end(), {float(i / 2), float(i % 2), 1, 0, 0, 1});
  for (int i = 0; i < 6; ++i)
    quads.vertices.insert(quads.vertices.end(), {float(i / 2), float(i % 2), 2, 0, 0, 1});
  s.groups[g].primitives = {strip, quads};
  const std::string text = Write();
  EXPECT_EQ(Lines(text, "v "),
            (std::vector<std::string>{"v 0 0 -1", "v 0 1 -1", "v 1 0 -1", "v 1 1 -1", "v 2 0 -1",
                                      "v 0 0 -2", "v 0 1 -2", "v 1 0 -2", "v 1 1 -2", "v 2 0 -2",
                                      "v 2 1 -2"}));
  EXPECT_EQ(Lines(text, "vn ").size(), 11u);
  EXPECT_EQ(Lines(text, "vn ")[0], "vn 0 0 -1");
  EXPECT_EQ(Lines(text, "f "),
            (std::vector<std::string>{"f 1//1 2//2 3//3", "f 3//3 2//2 4//4", "f 3//3 4//4 5//5",
                                      "f 6//6 7//7 9//9 8//8", "f 8//8 9//9 11//11 10//10"}));
}

TEST_F(ObjWriter, PositionsAndNormalsAreInWorldSpace) {
  Scene& s = r.scene();
  const int parent = test::AddMesh(s, "parent", {});
  Transform(s, parent, {0, 0, 0}, {1, 2, 3}, {1, 1, 1});
  const int child = test::AddMesh(s, "child", {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
  float* n = s.groups[child].primitives[0].vertices.MutableData() + 3;
  n[0] = std::sqrt(0.5f), n[1] = std::sqrt(0.5f), n[2] = 0;
  Transform(s, child, {0, 90, 0}, {0, 0, 0}, {2, 1, 1});
  test::MakeChild(s, child, parent);
  const ObjText o = ParseObj(Write());
  const Mat4 world = test::WorldMatrix(s, child);
  ASSERT_EQ(o.v.size(), 3u);
  const std::vector<Vec3> local = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  for (int i = 0; i < 3; ++i) {
    const Vec3 p = TransformPoint(world, local[i]);
    ExpectNear(o.v[i], {p[0], p[1], -p[2]}, 1e-6f);
  }
  // Scaled by 2 along x before the turn, a normal leans away from x: by
  // the inverse-transpose, (0.5, 1, 0) before the turn.
  Vec3 want = TransformDirection(RotationMatrix(0, 90, 0), {0.5f, 1, 0});
  const float len = std::sqrt(test::Dot(want, want));
  want = {want[0] / len, want[1] / len, -want[2] / len};
  ExpectNear(o.vn[0], want, 1e-5f);
  const Vec3 z = TransformDirection(RotationMatrix(0, 90, 0), {0, 0, 1});
  ExpectNear(o.vn[1], {z[0], z[1], -z[2]}, 1e-6f);
}

TEST_F(ObjWriter, FacesWindCounterClockwiseAboutTheirNormalsMirroredOrNot) {
  BuildPrimitiveScene(r.doc);
  Scene& s = r.scene();
  const int mirrored = CreateBlock(r.doc);
  Transform(s, mirrored, {10, 20, 30}, {0, 0, 5}, {-1, 1, 1});
  SetGroupName(s, mirrored, "Mirrored");
  const ObjText o = ParseObj(Write());
  size_t checked = 0;
  for (const auto& face : o.faces) {
    const Vec3& p0 = o.v[face[0].v - 1];
    const Vec3 area =
        test::Cross(test::Sub(o.v[face[1].v - 1], p0), test::Sub(o.v[face[2].v - 1], p0));
    if (test::Dot(area, area) < 1e-10f) continue;  // the poles of a sphere
    Vec3 normal = {0, 0, 0};
    for (const auto& c : face)
      for (int i = 0; i < 3; ++i)
        normal[i] += o.vn[c.n - 1][i];
    EXPECT_GT(test::Dot(area, normal), 0) << "face of " << face[0].v;
    ++checked;
  }
  EXPECT_GT(checked, 1000u);
}

TEST_F(ObjWriter, TheLibraryHoldsOneMaterialPerGroupColour) {
  BuildPrimitiveScene(r.doc);
  const std::string text = Write();
  const std::string library = test::ReadText(dir / "scene.mtl");
  const std::vector<std::string> names = Lines(library, "newmtl ");
  // The block and the sphere each have their own colour; the rest share white.
  EXPECT_EQ(names.size(), 3u);
  for (const std::string& use : Lines(text, "usemtl "))
    EXPECT_NE(std::find(names.begin(), names.end(), "newmtl " + use.substr(7)), names.end());
  // With the library loaded, the colours come back with the model (so Ns,
  // which stores a material, ends each one).
  test::RecordedDocument back;
  ASSERT_EQ(LoadWavefrontMaterials(back.doc, dir / "scene.mtl"), 0);
  EXPECT_EQ(back.doc.materials.entries.size(), 3u);
  ASSERT_EQ(ReadModelFile(back.doc, path, false), 0);
  const Scene& s = r.scene();
  const Scene& b = back.scene();
  for (const char* name : {"Block", "Sphere2", "Cone"}) {
    SCOPED_TRACE(name);
    const DisplayGroup& was = s.groups[test::FindGroup(s, name)];
    const DisplayGroup& is = b.groups[test::FindGroup(b, name)];
    ExpectNear(is.color, was.color, 1e-6f);
    const float level = (was.specular[0] + was.specular[1] + was.specular[2]) / 3;
    ExpectNear(is.specular, {level, level, level}, 1e-6f);
    EXPECT_EQ(is.shininess, was.shininess);
  }
}

TEST_F(ObjWriter, GroupNamesBecomeOneUniqueWordEach) {
  Scene& s = r.scene();
  const int first = test::AddTriangle(s, "Sphere");
  test::AddTriangle(s, "Sphere");
  test::AddTriangle(s, "left arm");
  test::AddTriangle(s, "");
  const std::vector<std::string> g = Lines(Write(), "g ");
  EXPECT_EQ(g, (std::vector<std::string>{"g group", "g left_arm", "g Sphere",
                                         "g Sphere_" + std::to_string(first)}));
  test::RecordedDocument back;
  ASSERT_EQ(ReadModelFile(back.doc, path, false), 0);
  EXPECT_EQ(test::Names(back.scene(), back.scene().rootHead).size(), 4u);
}

TEST_F(ObjWriter, TextureCoordinatesAreWrittenWhenTheGroupHasThem) {
  Scene& s = r.scene();
  const int g = NewGroup(s, "textured");
  s.groups[g].flags = Enabled | TexCoords;
  DisplayPrimitive p{kTriangles, 3, {}};
  for (int i = 0; i < 3; ++i)
    p.vertices.insert(p.vertices.end(), {float(i), 0, 0, 0, 0, 1, 0.25f * i, 1 - 0.25f * i});
  s.groups[g].primitives = {p};
  const std::string text = Write();
  EXPECT_EQ(Lines(text, "vt "), (std::vector<std::string>{"vt 0 1", "vt 0.25 0.75", "vt 0.5 0.5"}));
  EXPECT_EQ(Lines(text, "f "), std::vector<std::string>{"f 1/1/1 2/2/2 3/3/3"});
}

TEST_F(ObjWriter, TheAnimationIsRewoundToFrameZeroFirst) {
  Scene& s = r.scene();
  const int g = test::AddTriangle(s, "moving");
  test::SetTranslationAt(r.doc, g, 0, {0, 0, 0});
  test::SetTranslationAt(r.doc, g, 10, {5, 0, 0});
  GoToFrame(r.doc, 10);
  ASSERT_EQ(s.groups[g].translation[0], 5.0f);
  const ObjText o = ParseObj(Write());
  EXPECT_EQ(s.anim.currentFrame, 0);
  ASSERT_EQ(o.v.size(), 3u);
  ExpectNear(o.v[1], {1, 0, 0}, 0);
}

TEST(ObjWriterPaths, TheLibraryIsNamedAfterTheModel) {
  EXPECT_EQ(WavefrontLibraryPath("/a/b/scene.obj"), "/a/b/scene.mtl");
  EXPECT_EQ(WavefrontLibraryPath("scene"), "scene.mtl");
  EXPECT_EQ(WavefrontLibraryPath("/a.dir/scene"), "/a.dir/scene.mtl");
  EXPECT_EQ(WavefrontLibraryPath("/a/.hidden"), "/a/.hidden.mtl");
  EXPECT_EQ(WavefrontLibraryPath("odd.mtl"), "odd.mtl.mtl");
}

// Every model the import reads, and a native scene, converted from the command
// line: reading the .obj gives each group's faces back where they were.
std::vector<std::string> ConvertibleFiles() {
  std::vector<std::string> files;
  for (const char* dir : {"obj", "3ds", "cob", "dxf"})
    for (const auto& e : std::filesystem::directory_iterator(test::ModelPath(dir)))
      // The largest files add time, not cases.
      if (e.path().extension() != ".mtl" && std::filesystem::file_size(e.path()) < 100000)
        files.push_back(e.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

// Faces a scene's groups draw, each as its corners' world positions; when
// `sized`, moved and scaled as an import sizes a model: its longest side
// (y before x, z only when longer) from -1 to 1 about the box centre.
std::vector<std::vector<Vec3>> GroupFaces(const Scene& s, bool sized = false) {
  std::vector<std::vector<Vec3>> groups;
  Vec3 lo = {1e30f, 1e30f, 1e30f}, hi = {-1e30f, -1e30f, -1e30f};
  ForEachGroup(s, s.rootHead, [&](int g) {
    if (!IsLiveGroup(s, g)) return;
    std::vector<Vec3> corners = FaceCorners(s, g);
    for (const Vec3& p : corners)
      for (int i = 0; i < 3; ++i)
        lo[i] = std::min(lo[i], p[i]), hi[i] = std::max(hi[i], p[i]);
    if (!corners.empty()) groups.push_back(std::move(corners));
  });
  const Vec3 extent = {hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]};
  const int axis = extent[2] > std::max(extent[0], extent[1]) ? 2 : extent[1] >= extent[0] ? 1 : 0;
  for (auto& corners : groups)
    for (Vec3& p : corners)
      for (int i = 0; sized && i < 3; ++i)
        p[i] = (p[i] - (lo[i] + hi[i]) * 0.5f) * 2.0f / extent[axis];
  return groups;
}

bool SameCorners(const std::vector<Vec3>& a, const std::vector<Vec3>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    for (int k = 0; k < 3; ++k)
      if (!(std::fabs(a[i][k] - b[i][k]) <= 1e-4f)) return false;
  return true;
}

TEST(ObjWriterCli, ConvertWritesEveryReadableInputAsWavefront) {
  test::TempDir dir;
  const std::string native = dir / "scene.knf";
  {
    test::RecordedDocument r;
    BuildPrimitiveScene(r.doc);
    ASSERT_EQ(WriteNativeFile(r.doc, native), 0);
  }
  std::vector<std::string> inputs = ConvertibleFiles();
  inputs.push_back(native);
  for (const std::string& in : inputs) {
    SCOPED_TRACE(in);
    test::RecordedDocument original;
    ASSERT_EQ(ReadModelFile(original.doc, in, false), 0);
    const std::string out = dir / "out.obj";
    std::filesystem::remove(out);
    const test::CliRun run = test::Modra({"convert", in, out});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_TRUE(std::filesystem::exists(dir / "out.mtl"));
    // A model arrives sized already, so that sizing it again changes nothing.
    const std::vector<std::vector<Vec3>> before = GroupFaces(original.scene(), in == native);
    size_t corners = 0;
    for (const auto& g : before)
      corners += g.size();
    const ObjText o = ParseObj(test::ReadText(out));
    size_t written = 0;
    for (const auto& face : o.faces)
      written += face.size();
    EXPECT_EQ(written, corners);

    test::RecordedDocument back;
    ASSERT_EQ(ReadModelFile(back.doc, out, false), 0);
    const std::vector<std::vector<Vec3>> after = GroupFaces(back.scene());
    ASSERT_EQ(after.size(), before.size());
    std::vector<bool> matched(before.size(), false);
    for (const std::vector<Vec3>& g : after) {
      bool found = false;
      for (size_t i = 0; i < before.size() && !found; ++i)
        if (!matched[i] && SameCorners(g, before[i])) matched[i] = found = true;
      EXPECT_TRUE(found) << "a group of " << g.size() << " corners moved";
    }
  }
}

}  // namespace
}  // namespace modra
