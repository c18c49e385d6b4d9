// What the Wavefront reader leaves in the staging mesh, line by line, and
// which faces share their normals: smoothing groups, groups, `s off`, and
// the normals a file gives.
#include <cmath>
#include <string>

#include "formats/import_dispatch.h"
#include "formats/import_test_util.h"

namespace modra {
namespace {

using test::ExpectNear;
using Ints = std::vector<int>;

class ObjReader : public ::testing::Test {
 protected:
  int Read(std::string_view text) { return ReadWavefrontBytes(doc, text); }
  ImportMesh& m() { return doc.importMesh; }

  Ints Corners(size_t face) {
    const MeshFace& f = m().faces.at(face);
    return Ints(f.cornerVertices.begin(), f.cornerVertices.begin() + f.cornerCount);
  }
  Ints Normals(size_t face) {
    EXPECT_EQ(m().cornerNormals.size(), m().faces.size());
    const auto& n = m().cornerNormals.at(face);
    return Ints(n.begin(), n.begin() + m().faces.at(face).cornerCount);
  }
  // The faces that list vertex v, after the reader's normal pass.
  Ints FacesOf(int v) {
    return Ints(m().vertexFaceList.begin() + m().vertexFaceStart.at(v),
                m().vertexFaceList.begin() + m().vertexFaceStart.at(v + 1));
  }
  std::vector<std::string> PartNames() {
    std::vector<std::string> names;
    for (const MeshPart& p : m().parts)
      names.push_back(p.name);
    return names;
  }

  Document doc;
};

// Seven positions, enough for every face below.
std::string WithSeven(std::string_view rest) {
  return "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv -1 1 0\nv -1 0 0\nv 0 -1 0\n" + std::string(rest);
}

TEST_F(ObjReader, PositionsAndNormalsAreNumberedFromOneWithZNegated) {
  // A position needs three tokens; one that does not parse is zero.
  ASSERT_EQ(Read("v 1 2 3\nv 1 2\nv 4 5 6 7\nv x 2 y\nv\nvn 0 0 1\nvn 1 1\nvn 0.5 0.25 -2\n"), 0);
  ASSERT_EQ(m().meshVertices.size(), 4u);
  ExpectNear(m().meshVertices[1], {1, 2, -3}, 0);
  ExpectNear(m().meshVertices[2], {4, 5, -6}, 0);
  ExpectNear(m().meshVertices[3], {0, 2, 0}, 0);
  ASSERT_EQ(m().meshNormals.size(), 3u);
  ExpectNear(m().meshNormals[1], {0, 0, -1}, 0);
  ExpectNear(m().meshNormals[2], {0.5f, 0.25f, 2}, 0);
}

TEST_F(ObjReader, NumbersReadAsScanfReadsThem) {
  ASSERT_EQ(ReadWavefrontModel(doc, test::ModelPath("obj/number_formats.obj")), 0);
  const std::vector<Vec3>& v = m().meshVertices;
  ASSERT_EQ(v.size(), 16u);
  ExpectNear(v[4], {-1, -2, 3}, 0);
  ExpectNear(v[5], {100, 20, -310}, 0);
  // "3.1+e2" stops at the '+'; "3.1-e2" at the '-'.
  ExpectNear(v[8], {100, 20, -3.1f}, 0);
  ExpectNear(v[10], {-100, -20, 3.1f}, 0);
  ExpectNear(v[13], {-0.01f, -0.2f, 3.1f}, 0);
  ExpectNear(v[14], {1e10f, 20, -3.1e10f}, 0);
  EXPECT_EQ(m().faces.size(), 1u);
}

TEST_F(ObjReader, PolygonsOfMoreThanFourCornersBecomeAFanFromTheFirst) {
  ASSERT_EQ(Read(WithSeven("f 1 2 3\nfo 4 3 2 1\nf 1 2 3 4 5\nf 7 6 5 4 3 2\n")), 0);
  ASSERT_EQ(m().faces.size(), 9u);
  EXPECT_EQ(Corners(0), (Ints{1, 2, 3}));
  EXPECT_EQ(Corners(1), (Ints{4, 3, 2, 1}));
  EXPECT_EQ(Corners(2), (Ints{1, 2, 3}));
  EXPECT_EQ(Corners(4), (Ints{1, 4, 5}));
  EXPECT_EQ(Corners(5), (Ints{7, 6, 5}));
  EXPECT_EQ(Corners(8), (Ints{7, 3, 2}));
  for (const MeshFace& f : m().faces) {
    EXPECT_EQ(f.creaseCos, 2.0f);
    EXPECT_FALSE(f.hasNormals);
    EXPECT_EQ(f.owner, 0);
  }
  EXPECT_EQ(m().defaultTexCoord, (std::array<float, 2>{1, 1}));
}

TEST_F(ObjReader, FanCornersCarryTheNormalsOfTheCornersTheyCopy) {
  ASSERT_EQ(Read(WithSeven("vn 0 0 1\nvn 0 1 0\nvn 1 0 0\nvn 0 0 -1\nvn 0 -1 0\n"
                           "f 1//1 2//2 3//3 4//4 5//5\n")),
            0);
  ASSERT_EQ(m().faces.size(), 3u);
  EXPECT_EQ(Normals(0), (Ints{1, 2, 3}));
  EXPECT_EQ(Normals(2), (Ints{1, 4, 5}));
  for (const MeshFace& f : m().faces)
    EXPECT_TRUE(f.hasNormals);
  ExpectNear(CornerNormal(m(), 2, 2), {0, -1, 0}, 0);
  ExpectNear(CornerNormal(m(), 1, 0), {0, 0, -1}, 0);
}

// In a fan only the first three corners join the first triangle (so that
// only it smooths into the later ones there); each later corner joins the
// triangle it completes.
TEST_F(ObjReader, EachCornerJoinsTheFaceBeingFilledWhenItIsRead) {
  ASSERT_EQ(Read(WithSeven("f 1 2 3 4 5\nf 1 2 3 4\n")), 0);
  EXPECT_EQ(FacesOf(1), (Ints{0, 3}));
  EXPECT_EQ(FacesOf(3), (Ints{0, 3}));
  EXPECT_EQ(FacesOf(4), (Ints{1, 3}));
  EXPECT_EQ(FacesOf(5), (Ints{2}));
}

TEST_F(ObjReader, NormalsComeOnlyFromTheDoubleSlashFormAtEveryCorner) {
  ASSERT_EQ(Read(WithSeven("vn 0 0 1\nvn 0 1 0\nvn 1 0 0\n"
                           "f 1/2/3 2/3/1 3/1/2\nf 1/2 2/3 3/1\nf 1//3 2//3 3//3\n"
                           "f 1//1 2//2 3\nf 1 2 3//3\nf 1//1 2//2 3//3 4 5//2\n")),
            0);
  ASSERT_EQ(m().faces.size(), 8u);
  for (size_t f = 0; f < 8; ++f)
    EXPECT_EQ(m().faces[f].hasNormals, f == 2 || f == 5) << f;
  EXPECT_EQ(Corners(0), (Ints{1, 2, 3}));
  EXPECT_EQ(Normals(2), (Ints{3, 3, 3}));
  ExpectNear(CornerNormal(m(), 2, 0), {1, 0, 0}, 0);
  ExpectNear(CornerNormal(m(), 5, 1), {0, 1, 0}, 0);
  // A face with only some normals gets them made as for a face without
  // any (every face here lies in z = 0 and winds the same way).
  for (int k = 0; k < 3; ++k)
    ExpectNear(CornerNormal(m(), 4, k), {0, 0, -1}, 1e-6f);
}

TEST_F(ObjReader, FacesNamingPositionsOrNormalsOutsideTheTablesAreSkipped) {
  ASSERT_EQ(Read("f 1 2 3\n" + WithSeven("vn 0 0 1\n"
                                         "f 0 1 2\nf -1 1 2\nf 1 2 8\nf 1 2 4294967297\n"
                                         "f 1//2 2//1 3//1\nf 1//0 2 3\nf 1//-1 2 3\n"
                                         "f 1 2 3 4 5 6 99\nf 99999999999999999999 1 2\n"
                                         "f 5 6 7\nf 1 2\nf\nf a /2 3\n")),
            0);
  ASSERT_EQ(m().faces.size(), 2u);
  EXPECT_EQ(Corners(0), (Ints{5, 6, 7}));
  EXPECT_EQ(Corners(1), (Ints{1, 1, 3}));  // a corner that does not parse is position one
  EXPECT_EQ(m().parts[0].entries[0].faces, (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(FacesOf(2), Ints{});
}

TEST_F(ObjReader, GroupsBecomePartsAndSmoothingGroupsTheirEntries) {
  const struct {
    const char* text;
    std::vector<std::string> parts;
    std::vector<int32_t> lastKeys;  // the smoothing groups of the last part
    Ints facePart, faceEntry;
  } cases[] = {
      // A first group renames "None", as does one with no faces before the next.
      {"g body\nf 1 2 3\n", {"body"}, {0}, {0}, {0}},
      {"f 1 2 3\ng body\nf 1 2 3\n", {"None", "body"}, {0}, {0, 1}, {0, 0}},
      {"g a\ng b\nf 1 2 3\n", {"b"}, {0}, {0}, {0}},
      {"g left arm\nf 1 2 3\n", {"left"}, {0}, {0}, {0}},
      {"g a\nf 1 2 3\ng b\nf 1 2 3\ng a\nf 1 2 3\n", {"a", "b"}, {0}, {0, 1, 0}, {0, 0, 0}},
      // A bare `g` keeps the group and restarts its smoothing group 0.
      {"g\nf 1 2 3\n", {"None"}, {0}, {0}, {0}},
      {"g a\ns 4\nf 1 2 3\ng\nf 1 2 3\n", {"a"}, {4, 0}, {0, 0}, {0, 1}},
      {"s 1\nf 1 2 3\ns off\nf 1 2 3\ns 2\nf 1 2 3\ns 1\nf 1 2 3\ns junk\nf 1 2 3\n"
       "s 3 +4\nf 1 2 3\n",
       {"None"},
       {1, -1, 2, 4},
       {0, 0, 0, 0, 0, 0},
       {0, 1, 2, 0, 1, 3}},
      // An empty last smoothing group or part holds no entry.
      {"f 1 2 3\ns 5\n", {"None"}, {0}, {0}, {0}},
      {"f 1 2 3\ng a\n", {"None", "a"}, {}, {0}, {0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ASSERT_EQ(Read(WithSeven(c.text)), 0);
    EXPECT_EQ(PartNames(), c.parts);
    std::vector<int32_t> keys;
    for (const SmoothEntry& e : m().parts.back().entries)
      keys.push_back(e.key);
    EXPECT_EQ(keys, c.lastKeys);
    Ints parts, entries;
    for (const MeshFace& f : m().faces)
      parts.push_back(f.partIndex), entries.push_back(f.entryIndex);
    EXPECT_EQ(parts, c.facePart);
    EXPECT_EQ(entries, c.faceEntry);
  }
  // A group named again gets its faces back.
  ASSERT_EQ(Read(WithSeven(cases[4].text)), 0);
  EXPECT_EQ(m().parts[0].entries[0].faces, (std::vector<int32_t>{0, 2}));
}

TEST_F(ObjReader, MaterialsBecomeObjectsWithTheTablesColours) {
  ASSERT_EQ(Read(WithSeven("usemtl red\nf 1 2 3\nusemtl nosuch\nf 1 2 3\nusemtl red\nf 1 2 3\n"
                           "usemtl\nf 1 2 3\nusemtl blue skin\nf 1 2 3\n")),
            0);
  ASSERT_EQ(m().objects.size(), 5u);
  const std::string names[] = {"white", "red", "nosuch", "blue", "skin"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(m().objects[i].name, names[i]);
    EXPECT_EQ(m().objects[i].number, i);
  }
  ExpectNear(m().objects[1].color, {1, 0, 0}, 0);
  Ints objects;
  for (const MeshFace& f : m().faces) {
    objects.push_back(f.objectIndex);
    EXPECT_EQ(f.colorObject, f.objectIndex);
  }
  EXPECT_EQ(objects, (Ints{1, 2, 1, 1, 4}));
}

TEST_F(ObjReader, CommentsKeywordCaseTabsAndLineEndsDecideWhatALineIs) {
  ASSERT_EQ(Read("# v 1 2 3\n$v 1 2 3\nV 1 2 3\nv\t1 2 3\n\tv 1 2 3\nv 1\t2 3\n"
                 "   v 4  5   6\nv 1 2 3\t9\nv 7 8 9\n"
                 "f 1\t2 3\nf 1 2\t9 3\nv 1 2 31"),
            0);
  ASSERT_EQ(m().meshVertices.size(), 5u);
  ExpectNear(m().meshVertices[1], {4, 5, -6}, 0);
  ExpectNear(m().meshVertices[2], {1, 2, -3}, 0);
  ExpectNear(m().meshVertices[4], {1, 2, -31}, 0);  // the last line keeps its last character
  // "2\t9" is one token, read as 2.
  ASSERT_EQ(m().faces.size(), 1u);
  EXPECT_EQ(Corners(0), (Ints{1, 2, 3}));

  ASSERT_EQ(Read("g body\r\nusemtl red\r\nv 0 0 0\r\nv 1 0 0\r\nv 0 1 1\r\nf 1 2 3\r\n"), 0);
  EXPECT_EQ(PartNames(), std::vector<std::string>{"body"});
  ASSERT_EQ(m().objects.size(), 2u);
  ExpectNear(m().objects[1].color, {1, 0, 0}, 0);
  ExpectNear(m().meshVertices[3], {0, 1, -1}, 0);
}

TEST_F(ObjReader, LinesHaveNoLengthLimit) {
  std::string text = "v" + std::string(3000, ' ') + "1 2 3\n";
  std::string face = "f";
  for (int i = 0; i < 400; ++i) {
    text += "v " + std::to_string(std::cos(i * 0.01)) + " " + std::to_string(std::sin(i * 0.01)) +
            " 0\n";
    face += " " + std::to_string(i + 2);
  }
  ASSERT_EQ(Read(text + face + "\n"), 0);
  EXPECT_EQ(m().meshVertices.size(), 402u);
  ExpectNear(m().meshVertices[1], {1, 2, -3}, 0);
  ASSERT_EQ(m().faces.size(), 398u);
  EXPECT_EQ(Corners(397), (Ints{2, 400, 401}));
}

TEST_F(ObjReader, OtherKeywordsChangeNothingAndReadingStartsAfresh) {
  ASSERT_EQ(Read(WithSeven("g old\nusemtl red\nf 1 2 3\n")), 0);
  ASSERT_EQ(Read("vt 1 2\no thing\nl 1 2\np 1\nmtllib a.mtl\ncstype bezier\nvp 1 2 3\n"
                 "gg x\nss 2\nusemtlx red\nff 1 2 3\n"),
            0);
  EXPECT_EQ(m().meshVertices.size(), 1u);
  EXPECT_TRUE(m().faces.empty());
  EXPECT_EQ(PartNames(), std::vector<std::string>{"None"});
  EXPECT_EQ(m().objects.size(), 1u);
}

// Two triangles folded at a right angle along the edge 1-2:
//
//        3                A lies in z = 0 and faces +z in the file,
//        |\               B lies in y = 0 and faces +y.
//        | \   4
//        |A \ /|
//        1---2 |  (4 is above 1, at z = 1)
constexpr std::string_view kFold = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\n";
constexpr std::string_view kFaceA = "f 1 2 3\n";
constexpr std::string_view kFaceB = "f 2 1 4\n";

// The scene's z runs the other way: A faces -z there.
constexpr Vec3 kNormalA = {0, 0, -1};
constexpr Vec3 kNormalB = {0, 1, 0};
const float kHalf = std::sqrt(0.5f);
const Vec3 kShared = {0, kHalf, -kHalf};

class ObjSmoothing : public ::testing::Test {
 protected:
  void Read(const std::string& text) { ASSERT_EQ(ReadWavefrontBytes(doc, text), 0); }
  // Face 0 is A, face 1 is B; corner 0 of A and corner 1 of B are vertex 1.
  Vec3 A(int corner) { return CornerNormal(doc.importMesh, 0, corner); }
  Vec3 B(int corner) { return CornerNormal(doc.importMesh, 1, corner); }
  Document doc;
};

// The fold's edge corners average at any angle within one smoothing group
// of one group; flat faces and different groups keep their own normals.
TEST_F(ObjSmoothing, FacesShareNormalsOnlyWithinOneSmoothingGroupOfOneGroup) {
  const struct {
    const char *before, *between;
    bool shared;
  } cases[] = {{"", "", true},
               {"s 1\n", "", true},
               {"s 0\n", "", true},
               {"s off\n", "", false},
               {"s -1\n", "", false},
               {"s none\n", "", false},
               {"s 1\n", "s 2\n", false},
               {"s 1\n", "g other\n", false},
               {"s 1\n", "s off\n", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.before) + "|" + c.between);
    Read(std::string(kFold) + c.before + std::string(kFaceA) + c.between + std::string(kFaceB));
    for (int k = 0; k < 2; ++k) {
      ExpectNear(A(k), c.shared ? kShared : kNormalA, 1e-6f);
      ExpectNear(B(k), c.shared ? kShared : kNormalB, 1e-6f);
    }
    ExpectNear(A(2), kNormalA, 1e-6f);
    ExpectNear(B(2), kNormalB, 1e-6f);
  }
}

TEST_F(ObjSmoothing, NormalsFromTheFileWin) {
  Read(std::string(kFold) + "vn 0 0 1\nvn 1 0 0\nf 1//1 2//2 3//1\n" + std::string(kFaceB));
  ExpectNear(A(0), {0, 0, -1}, 0);
  ExpectNear(A(1), {1, 0, 0}, 0);
  // B still averages with A's face normal, not with A's file normals.
  ExpectNear(B(0), kShared, 1e-6f);
}

// Drawn, a cube's corner normals run along the diagonals, or with `s off` the axes.
TEST(ObjSmoothingImport, ACubeIsRoundOrFlatAsItsSmoothingSays) {
  test::TempDir dir;
  const std::string box = test::ReadText(test::ModelPath("obj/box.obj"));
  for (bool flat : {false, true}) {
    SCOPED_TRACE(flat ? "flat" : "smooth");
    const std::string path = dir / (flat ? "flat.obj" : "smooth.obj");
    test::WriteText(path, flat ? "s off\n" + box : box);
    test::RecordedDocument r;
    ASSERT_EQ(ReadModelFile(r.doc, path, false), 0);
    const int g = test::FindGroup(r.scene(), "None");
    ASSERT_NE(g, -1);
    const DisplayGroup& group = r.scene().groups[g];
    const size_t stride = static_cast<size_t>(VertexStride(group));
    const size_t at = static_cast<size_t>(NormalOffset(group.flags));
    int corners = 0;
    for (const DisplayPrimitive& p : group.primitives)
      for (size_t v = 0; v + stride <= p.vertices.size(); v += stride, ++corners)
        for (int i = 0; i < 3; ++i) {
          const float c = std::fabs(p.vertices[v + at + i]);
          if (flat)
            EXPECT_TRUE(c == 0 || c == 1) << c;
          else
            EXPECT_NEAR(c, 1 / std::sqrt(3.0f), 1e-6f);
        }
    EXPECT_EQ(corners, 24);
  }
}

}  // namespace
}  // namespace modra
