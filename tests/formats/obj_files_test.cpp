// Real Wavefront files, imported whole: what arrives in the scene, counted
// against the file's own lines.
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include <sys/stat.h>

#include "formats/import_dispatch.h"
#include "formats/import_test_util.h"
#include "formats/wavefront_materials.h"

namespace modra {
namespace {

using test::FaceCounts;

std::vector<std::string> SplitAtSpaces(const std::string& line) {
  std::vector<std::string> tokens;
  std::string token;
  std::istringstream in(line);
  while (std::getline(in, token, ' '))
    if (!token.empty()) tokens.push_back(token);
  return tokens;
}

// Faces per group name, counted straight from the text: every `f` line of
// three or more corners whose numbers are all in range, a polygon of n > 4
// corners as n - 2 triangles.
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
    ASSERT_EQ(got.count(name), 1u);
    EXPECT_EQ(got[name].triangles, counts.triangles);
    EXPECT_EQ(got[name].quads, counts.quads);
    EXPECT_EQ(got[name].vertices, counts.vertices);
  }
  // Groups without faces may remain (a group named and never used), but
  // never more than the file names.
  EXPECT_GE(groups, static_cast<int>(expected.size()));
  if (!expected.empty()) test::ExpectSizedAndCentred(s);
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

TEST(ObjFileCases, FilesWithoutFacesGiveOneEmptyGroup) {
  for (const char* name : {"obj/point_cloud.obj", "obj/testline.obj", "invalid/empty.obj"}) {
    SCOPED_TRACE(name);
    test::RecordedDocument r;
    ASSERT_EQ(ReadModelFile(r.doc, test::ModelPath(name), false), 0);
    EXPECT_TRUE(r.shell.messages.empty());
    EXPECT_EQ(test::Names(r.scene(), r.scene().rootHead), std::vector<std::string>{"None"});
    EXPECT_TRUE(r.scene().groups[r.scene().rootHead].primitives.empty());
  }
}

TEST(ObjFileCases, FilesThatCannotBeReadAreSaidAndLeaveTheSceneAlone) {
  const std::string missing = test::ModelPath("obj/missing.obj");
  test::ExpectRefused(missing, "Can't open " + missing + " for read\n");
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

TEST(ObjFileCases, AppendingTwiceGivesTwoFileGroupsNewerFirst) {
  test::RecordedDocument r;
  AppendModelFile(r.doc, test::ModelPath("obj/box.obj"));
  AppendModelFile(r.doc, test::ModelPath("obj/testmixed.obj"));
  const Scene& s = r.scene();
  EXPECT_EQ(test::Names(s, s.rootHead), (std::vector<std::string>{"testmixed", "box"}));
  ForEachSibling(s, s.rootHead, [&](int g) {
    EXPECT_EQ(test::Names(s, s.groups[g].child), std::vector<std::string>{"None"});
  });
  // Each file is sized by itself.
  test::ExpectSizedAndCentred(s);
  EXPECT_TRUE(r.doc.modified);
}

// Without "Load Wavefront Material": the colours come from the libraries
// the files name beside them.
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

// Libraries first, then the material table; libraries that cannot be read
// are passed over without a word.
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
                                                   {"nowhere", {0, 0, 0}}};
  for (const auto& [group, color] : expected) {
    const int g = test::FindGroup(r.scene(), group);
    ASSERT_NE(g, -1) << group;
    test::ExpectNear(r.scene().groups[g].color, color, 0);
  }
  // The table is left as "Load Wavefront Material" left it.
  EXPECT_EQ(FindWavefrontMaterial(r.doc.materials, "own"), nullptr);
  test::ExpectNear(FindWavefrontMaterial(r.doc.materials, "red")->diffuse, {1, 0, 0}, 0);
}

TEST(ObjFileCases, ALibraryWithoutNsLinesLeavesEveryMaterialBlack) {
  test::TempDir dir;
  const std::string model = dir / "red.obj", library = dir / "no_ns.mtl";
  test::WriteText(model, "usemtl red\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  test::WriteText(library, "newmtl red\nKd 1 0 0\nKs 0 0 0\n");
  test::RecordedDocument r;
  ASSERT_EQ(ReadModelFile(r.doc, model, false), 0);
  test::ExpectNear(r.scene().groups[r.scene().rootHead].color, {1, 0, 0}, 0);

  ASSERT_EQ(LoadWavefrontMaterials(r.doc, library), 0);
  EXPECT_TRUE(r.doc.materials.entries.empty());
  ASSERT_EQ(ReadModelFile(r.doc, model, false), 0);
  test::ExpectNear(r.scene().groups[r.scene().rootHead].color, {0, 0, 0}, 0);
}

}  // namespace
}  // namespace modra
