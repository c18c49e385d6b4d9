// Real Wavefront files, imported whole: what arrives in the scene, counted
// against the file's own lines; the material table and the libraries.
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>

#include <sys/stat.h>

#include "formats/import_dispatch.h"
#include "formats/import_test_util.h"
#include "formats/wavefront_materials.h"

namespace modra {
namespace {

using test::ExpectNear;
using test::FaceCounts;

std::vector<std::string> SplitAtSpaces(const std::string& line) {
  std::vector<std::string> tokens;
  std::string token;
  std::istringstream in(line);
  while (std::getline(in, token, ' '))
    if (!token.empty()) tokens.push_back(token);
  return tokens;
}

// Faces per group name, counted from the text: every `f` line of three or more
// corners, all in range, a polygon of n > 4 corners as n - 2 triangles.
std::map<std::string, FaceCounts> CountFromFile(const std::string& text) {
  std::map<std::string, FaceCounts> groups;
  std::string group = "None";
  long positions = 0, normals = 0;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#' || line[0] == '$') continue;
    const std::vector<std::string> t = SplitAtSpaces(line);
    if (t.empty()) continue;
    if (t[0] == "v" && t.size() >= 4) ++positions;
    if (t[0] == "vn" && t.size() >= 4) ++normals;
    if (t[0] == "g" && t.size() >= 2) group = t[1];
    if ((t[0] != "f" && t[0] != "fo") || t.size() < 4) continue;
    bool valid = true;
    for (size_t i = 1; i < t.size(); ++i) {
      char* end;
      long v = std::strtol(t[i].c_str(), &end, 10);
      if (end == t[i].c_str()) v = 1;
      if (v < 1 || v > positions) valid = false;
      if (end[0] == '/' && end[1] == '/') {
        const long n = std::strtol(end + 2, nullptr, 10);
        if (n < 1 || n > normals) valid = false;
      }
    }
    if (!valid) continue;
    FaceCounts& c = groups[group];
    const int n = static_cast<int>(t.size()) - 1;
    if (n == 3) ++c.triangles;
    if (n == 4) ++c.quads;
    if (n > 4) c.triangles += n - 2;
    c.vertices += n <= 4 ? n : 3 * (n - 2);
  }
  return groups;
}

class ObjFiles : public ::testing::TestWithParam<std::string> {};

TEST_P(ObjFiles, ArriveWithTheFacesTheFileHolds) {
  const std::string path = test::ModelPath(GetParam());
  const std::map<std::string, FaceCounts> expected = CountFromFile(test::ReadText(path));
  test::RecordedDocument r;
  ASSERT_EQ(ReadModelFile(r.doc, path, false), 0);
  EXPECT_TRUE(r.shell.messages.empty());
  const Scene& s = r.scene();

  std::map<std::string, FaceCounts> got;
  int groups = 0;
  ForEachGroup(s, s.rootHead, [&](int g) {
    if (!IsLiveGroup(s, g)) return;
    ++groups;
    const DisplayGroup& group = s.groups[g];
    EXPECT_TRUE(group.flags & Enabled);
    EXPECT_TRUE(group.flags & NeedsCentering);
    if (group.primitives.empty()) return;
    EXPECT_EQ(got.count(group.name), 0u) << "two groups named " << group.name;
    got[group.name] = test::CountFaces(group);
  });
  ASSERT_EQ(got.size(), expected.size());
  for (const auto& [name, counts] : expected) {
    SCOPED_TRACE(name);
    EXPECT_EQ(got[name], counts);
  }
  // Groups without faces may remain (a group named and never used), but
  // never more than the file names; a file without faces is "None" alone.
  EXPECT_GE(groups, static_cast<int>(expected.size()));
  if (expected.empty()) {
    EXPECT_EQ(test::Names(s, s.rootHead), std::vector<std::string>{"None"});
  } else {
    test::ExpectSizedAndCentred(s);
  }
}

// Every Wavefront file of the test data, the damaged ones too: a reader
// that skips what it cannot use still keeps every face it can.
std::vector<std::string> ObjFileNames() {
  std::vector<std::string> names;
  for (const char* dir : {"obj", "invalid"})
    for (const auto& e : std::filesystem::directory_iterator(test::ModelPath(dir)))
      if (e.path().extension() == ".obj")
        names.push_back(std::string(dir) + "/" + e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(TestData, ObjFiles, ::testing::ValuesIn(ObjFileNames()),
                         [](const auto& info) {
                           std::string name = info.param.substr(0, info.param.rfind('.'));
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

TEST(ObjFileCases, FilesThatCannotBeReadAreSaidAndLeaveTheSceneAlone) {
  // Sparse: no disk space, but a size beyond what any model may have.
  test::TempDir dir;
  const std::string path = dir / "huge.obj";
  test::WriteText(path, "v 0 0 0\n");
  std::filesystem::resize_file(path, std::uintmax_t{INT_MAX} + 1);
  test::ExpectRefused(path, path + " is too large to load or can't be decoded\n");

  // A library that large: the built-in colours, as at start-up.
  const std::string library = dir / "huge.mtl";
  test::WriteText(library, "newmtl a\nNs 1\n");
  std::filesystem::resize_file(library, std::uintmax_t{INT_MAX} + 1);
  test::RecordedDocument r;
  ASSERT_EQ(LoadWavefrontMaterials(r.doc, test::ModelPath("obj/spider.mtl")), 0);
  EXPECT_EQ(LoadWavefrontMaterials(r.doc, library), -1);
  EXPECT_EQ(r.shell.messages, std::vector<std::string>{"Can't get enough memory for materials"});
  ASSERT_EQ(r.doc.materials.entries.size(), 10u);
  EXPECT_EQ(r.doc.materials.entries[0].name, "white");
}

// Without "Load Wavefront Material" the colours come from the files' libraries.
TEST(ObjFileCases, MaterialsComeFromTheLibrariesTheFileNames) {
  const struct {
    const char* file;
    const char* group;
    Vec3 color, specular;
  } cases[] = {{"obj/regr01.obj", "Door-01", {0.8f, 0.6f, 0.4f}, {0.9f, 0.9f, 0.9f}},
               {"obj/spider.obj", "HLeib01", {0.690196f, 0.639216f, 0.615686f}, {0, 0, 0}},
               {"obj/spider.obj", "Kopf", {0.827451f, 0.792157f, 0.772549f}, {0, 0, 0}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.group);
    test::RecordedDocument r;
    ASSERT_EQ(ReadModelFile(r.doc, test::ModelPath(c.file), false), 0);
    const Scene& s = r.scene();
    const int g = test::FindGroup(s, c.group);
    ASSERT_NE(g, -1);
    test::ExpectNear(s.groups[g].color, c.color, 1e-6f);
    test::ExpectNear(s.groups[g].specular, c.specular, 1e-6f);
    EXPECT_FALSE(s.groups[g].flags & VertexColors);
    EXPECT_EQ(r.doc.materials.entries.size(), WavefrontMaterialTable().entries.size());
  }
}

// Libraries first, then the table; libraries that cannot be read are passed over.
TEST(ObjFileCases, MaterialNamesLookInTheFilesLibrariesFirst) {
  test::TempDir dir;
  test::WriteText(dir / "lib.mtl",
                  "newmtl red\nKd 0 1 0\nNs 5\nnewmtl own\nKd 0.25 0.5 0.75\nNs 5\n");
  test::WriteText(dir / "my lib.mtl", "newmtl spaced\nKd 0.5 0 0\nNs 5\n");
  std::filesystem::create_directory(dir / "folder.mtl");
  ASSERT_EQ(mkfifo((dir / "pipe.mtl").c_str(), 0600), 0);
  std::string text =
      "mtllib missing.mtl folder.mtl pipe.mtl lib.mtl /dev/zero\nmtllib my lib.mtl\n";
  text += "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
  for (const char* material : {"red", "blue", "own", "spaced", "nowhere"})
    text += std::string("g ") + material + "\nusemtl " + material + "\nf 1 2 3\n";
  test::WriteText(dir / "model.obj", text);

  test::RecordedDocument r;
  ASSERT_EQ(ReadModelFile(r.doc, dir / "model.obj", false), 0);
  EXPECT_TRUE(r.shell.messages.empty());
  const std::pair<const char*, Vec3> expected[] = {{"red", {0, 1, 0}},
                                                   {"blue", {0, 0, 1}},
                                                   {"own", {0.25f, 0.5f, 0.75f}},
                                                   {"spaced", {0.5f, 0, 0}},
                                                   {"nowhere", {1, 1, 1}}};
  for (const auto& [group, color] : expected) {
    const int g = test::FindGroup(r.scene(), group);
    ASSERT_NE(g, -1) << group;
    test::ExpectNear(r.scene().groups[g].color, color, 0);
  }
  // The table is left as "Load Wavefront Material" left it.
  EXPECT_EQ(FindWavefrontMaterial(r.doc.materials, "own"), nullptr);
  test::ExpectNear(FindWavefrontMaterial(r.doc.materials, "red")->diffuse, {1, 0, 0}, 0);
}

// A name nobody defines (its library missing, or no library at all) is
// coloured as a part without a material: white, specular 0.5, shininess
// 15; never black. A part whose faces mix it with a known material carries
// white at those faces' corners.
TEST(ObjFileCases, UndefinedMaterialsTakeTheColourOfAPartWithoutOne) {
  test::TempDir dir;
  test::WriteText(dir / "model.obj",
                  "mtllib gone.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n"
                  "g known\nusemtl red\nf 1 2 3\n"
                  "g unknown\nusemtl Default\nf 1 2 3\n"
                  "g mixed\nusemtl red\nf 1 2 3\nusemtl gone\nf 2 4 3\n");
  for (const bool white : {false, true}) {
    SCOPED_TRACE(white ? "white uncoloured parts" : "vertex colours");
    test::RecordedDocument r;
    r.doc.whiteUncoloredParts = white;
    ASSERT_EQ(ReadModelFile(r.doc, dir / "model.obj", false), 0);
    const Scene& s = r.scene();
    const int known = test::FindGroup(s, "known"), unknown = test::FindGroup(s, "unknown"),
              mixed = test::FindGroup(s, "mixed");
    ASSERT_TRUE(known != -1 && unknown != -1 && mixed != -1);
    ExpectNear(s.groups[known].color, {1, 0, 0}, 0);
    const DisplayGroup& u = s.groups[unknown];
    ExpectNear(u.color, {1, 1, 1}, 0);
    ExpectNear(u.specular, {0.5f, 0.5f, 0.5f}, 1e-6f);
    EXPECT_EQ(u.shininess, 15.0f);
    EXPECT_EQ(u.alpha, 1.0f);

    // Mixed materials are coloured per corner unless the preference makes
    // such parts white.
    const DisplayGroup& m = s.groups[mixed];
    if (white) {
      EXPECT_FALSE(m.flags & VertexColors);
      ExpectNear(m.color, {1, 1, 1}, 0);
      continue;
    }
    ASSERT_TRUE(m.flags & VertexColors);
    const size_t stride = VertexStride(m);
    std::vector<Vec3> colors;
    for (const DisplayPrimitive& p : m.primitives)
      for (size_t v = 0; v + stride <= p.vertices.size(); v += stride)
        colors.push_back({p.vertices[v + 3], p.vertices[v + 4], p.vertices[v + 5]});
    ASSERT_EQ(colors.size(), 6u);
    for (size_t c = 0; c < 6; ++c)
      ExpectNear(colors[c], c < 3 ? Vec3{1, 0, 0} : Vec3{1, 1, 1}, 0);
  }
}

struct Row {
  std::string name;
  Vec3 diffuse, specular;
  float shininess;
};

void ExpectRow(const WavefrontMaterial& m, const Row& want) {
  EXPECT_EQ(m.name, want.name);
  ExpectNear(m.diffuse, want.diffuse, 1e-6f);
  ExpectNear(m.specular, want.specular, 1e-6f);
  EXPECT_NEAR(m.shininess, want.shininess, 1e-6f) << m.name;
}

WavefrontMaterialTable Parse(std::string_view text) {
  WavefrontMaterialTable t;
  EXPECT_EQ(ParseWavefrontMaterials(t, text), 0);
  return t;
}

TEST(WavefrontMaterialLibrary, AMaterialIsStoredAtItsNsLine) {
  const WavefrontMaterialTable t = Parse(
      "# a library\n"
      "newmtl first\nKa 0.1 0.1 0.1\nKd 0.2 0.3 0.4\nKs 0.9 0.8 0.7\nd 1.0\nNs 10\nillum 2\n"
      "newmtl second\nKd 0.5 0.5 0.5\nNs 20\n"  // Ks carries over from first
      "newmtl never\nKd 0 0 0\nKs 0 0 0\n"      // no Ns: not stored
      "newmtl   third  trailing words\nNs\n"    // Kd/Ks of "never", Ns 15
      "newmtl\nNs 5\n");                        // an empty name
  ASSERT_EQ(t.entries.size(), 4u);
  ExpectRow(t.entries[0], {"first", {0.2f, 0.3f, 0.4f}, {0.9f, 0.8f, 0.7f}, 10});
  ExpectRow(t.entries[1], {"second", {0.5f, 0.5f, 0.5f}, {0.9f, 0.8f, 0.7f}, 20});
  ExpectRow(t.entries[2], {"third", {0, 0, 0}, {0, 0, 0}, 15});
  ExpectRow(t.entries[3], {"", {0, 0, 0}, {0, 0, 0}, 5});
}

TEST(WavefrontMaterialLibrary, LinesAreTestedAtTheirStartOnly) {
  const WavefrontMaterialTable t = Parse(
      " newmtl indented\n\tKd 0 0 0\nnewmtl a\nKd0.25 0.5 0.75\nNs 1\n"
      "newmtl b\nKd 0.5 x 0.7\nKs\t0.1\t0.2 0.3\nNs 2\n"
      "newmtl c\nKdx 0 0 0\nKs 0.1 0.2\nNs 3\n"
      "newmtl d\nKd 1e 0.5 0.25\nNs 4\n"
      "NS 9\nns 9\n");
  ASSERT_EQ(t.entries.size(), 4u);
  ExpectRow(t.entries[0], {"a", {0.25f, 0.5f, 0.75f}, {0.5f, 0.5f, 0.5f}, 1});
  // Reading stops at the first value that does not parse; the rest stay 1.
  ExpectRow(t.entries[1], {"b", {0.5f, 1, 1}, {0.1f, 0.2f, 0.3f}, 2});
  ExpectRow(t.entries[2], {"c", {1, 1, 1}, {0.1f, 0.2f, 1}, 3});
  // A dangling exponent mark is eaten with its number, as scanf does.
  ExpectRow(t.entries[3], {"d", {1, 0.5f, 0.25f}, {0.1f, 0.2f, 1}, 4});
}

TEST(WavefrontMaterialLibrary, NamesAreCutAt79CharactersAndTheFirstOfANameIsFound) {
  const std::string longName(100, 'n');
  const WavefrontMaterialTable t =
      Parse("newmtl " + longName + "\r\nNs 1\r\nnewmtl a\nNs 2\nnewmtl a\nNs 3\n");
  ASSERT_EQ(t.entries.size(), 3u);
  EXPECT_EQ(t.entries[0].name, longName.substr(0, 79));
  EXPECT_EQ(t.entries[0].shininess, 1.0f);
  ASSERT_NE(FindWavefrontMaterial(t, "a"), nullptr);
  EXPECT_EQ(FindWavefrontMaterial(t, "a")->shininess, 2.0f);
  EXPECT_EQ(FindWavefrontMaterial(t, "A"), nullptr);
}

TEST(WavefrontMaterialLibrary, RealLibrariesLoadAndAFailedLoadKeepsTheTable) {
  test::RecordedDocument r;
  ASSERT_EQ(LoadWavefrontMaterials(r.doc, test::ModelPath("obj/spider.mtl")), 0);
  ASSERT_EQ(r.doc.materials.entries.size(), 5u);
  ExpectRow(r.doc.materials.entries[0], {"Skin", {0.827451f, 0.792157f, 0.772549f}, {0, 0, 0}, 0});
  const std::string missing = test::ModelPath("obj/missing.mtl");
  EXPECT_EQ(LoadWavefrontMaterials(r.doc, missing), -1);
  EXPECT_EQ(r.shell.messages, std::vector<std::string>{"Can't open " + missing + " for read: " +
                                                       std::strerror(ENOENT)});
  ASSERT_EQ(r.doc.materials.entries.size(), 5u);
  EXPECT_EQ(r.doc.materials.entries[0].name, "Skin");
  // Here Ns comes before Kd: the material keeps the values met before it.
  ASSERT_EQ(LoadWavefrontMaterials(r.doc, test::ModelPath("obj/empty_mat.mtl")), 0);
  ASSERT_EQ(r.doc.materials.entries.size(), 1u);
  ExpectRow(r.doc.materials.entries[0], {"", {1, 1, 1}, {0.5f, 0.5f, 0.5f}, 0});
  // The built-in colours come back on demand.
  EXPECT_EQ(FindWavefrontMaterial(r.doc.materials, "red"), nullptr);
  ASSERT_EQ(InstallBuiltInMaterials(r.doc, true), 0);
  EXPECT_EQ(r.doc.materials.entries.size(), 10u);
  EXPECT_NE(FindWavefrontMaterial(r.doc.materials, "red"), nullptr);
  EXPECT_EQ(r.shell.messages.size(), 1u);
}

// Each name becomes one object, "white" included, with the table's values;
// a name the table lacks takes the values of a part without a material.
TEST(WavefrontMaterialObjects, AreMadeOnceAndTakeTheTablesValues) {
  Document doc;
  ASSERT_EQ(ParseWavefrontMaterials(doc.materials,
                                    "newmtl shiny\nKd 0.1 0.2 0.3\nKs 0.3 0.6 0.9\nNs 99\n"
                                    "newmtl white\nKd 0.5 0.5 0.5\nNs 3\n"),
            0);
  ASSERT_EQ(ReadWavefrontBytes(doc,
                               "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nusemtl shiny\nf 1 2 3\n"
                               "usemtl dull\nf 1 2 3\nusemtl shiny\nf 1 2 3\n"),
            0);
  const std::vector<MeshObject>& o = doc.importMesh.objects;
  ASSERT_EQ(o.size(), 3u);
  ExpectNear(o[0].color, {0.5f, 0.5f, 0.5f}, 0);
  EXPECT_EQ(o[1].name, "shiny");
  EXPECT_EQ(o[1].number, 1);
  ExpectNear(o[1].color, {0.1f, 0.2f, 0.3f}, 0);
  EXPECT_NEAR(o[1].specularLevel, 0.6f, 1e-6f);
  EXPECT_EQ(o[1].shininess, 99.0f);
  EXPECT_EQ(o[1].alpha, 1.0f);
  ExpectNear(o[2].color, {1, 1, 1}, 0);
  EXPECT_EQ(o[2].specularLevel, 0.5f);
  EXPECT_EQ(o[2].shininess, 15.0f);
  std::vector<int32_t> objects;
  for (const MeshFace& f : doc.importMesh.faces)
    objects.push_back(f.objectIndex);
  EXPECT_EQ(objects, (std::vector<int32_t>{0, 1, 2, 1}));
}

}  // namespace
}  // namespace modra
