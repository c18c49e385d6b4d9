// What the Wavefront reader leaves in the staging mesh, line by line.
#include <cmath>
#include <string>

#include "formats/import_test_util.h"

namespace modra {
namespace {

using test::ExpectNear;

class ObjReader : public ::testing::Test {
 protected:
  int Read(std::string_view text) { return ReadWavefrontBytes(doc, text); }
  ImportMesh& m() { return doc.importMesh; }

  std::vector<int> Corners(size_t face) {
    const MeshFace& f = m().faces.at(face);
    return std::vector<int>(f.cornerVertices.begin(), f.cornerVertices.begin() + f.cornerCount);
  }
  std::vector<int> Normals(size_t face) {
    const MeshFace& f = m().faces.at(face);
    EXPECT_EQ(m().cornerNormals.size(), m().faces.size());
    const auto& n = m().cornerNormals.at(face);
    return std::vector<int>(n.begin(), n.begin() + f.cornerCount);
  }
  // The faces that list vertex v, after the reader's normal pass.
  std::vector<int> FacesOf(int v) {
    return std::vector<int>(m().vertexFaceList.begin() + m().vertexFaceStart.at(v),
                            m().vertexFaceList.begin() + m().vertexFaceStart.at(v + 1));
  }
  std::vector<std::string> PartNames() {
    std::vector<std::string> names;
    for (const MeshPart& p : m().parts)
      names.push_back(p.name);
    return names;
  }
  std::vector<int32_t> EntryKeys(size_t part) {
    std::vector<int32_t> keys;
    for (const SmoothEntry& e : m().parts.at(part).entries)
      keys.push_back(e.key);
    return keys;
  }

  Document doc;
};

// Seven positions, enough for every face below.
constexpr std::string_view kSeven =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv -1 1 0\nv -1 0 0\nv 0 -1 0\n";

std::string WithSeven(std::string_view rest) {
  return std::string(kSeven) + std::string(rest);
}

TEST_F(ObjReader, PositionsAndNormalsAreNumberedFromOneWithZNegated) {
  ASSERT_EQ(Read("v 1 2 3\nv 4 5 6 7\nvn 0 0 1\nvn 0.5 0.25 -2\n"), 0);
  ASSERT_EQ(m().meshVertices.size(), 3u);
  ExpectNear(m().meshVertices[1], {1, 2, -3}, 0);
  ExpectNear(m().meshVertices[2], {4, 5, -6}, 0);
  ASSERT_EQ(m().meshNormals.size(), 3u);
  ExpectNear(m().meshNormals[1], {0, 0, -1}, 0);
  ExpectNear(m().meshNormals[2], {0.5f, 0.25f, 2}, 0);
}

TEST_F(ObjReader, APositionNeedsThreeTokensAndAnUnreadableOneIsZero) {
  ASSERT_EQ(Read("v 1 2\nv 7 8 9\nv x 2 y\nv\nvn 1 1\n"), 0);
  ASSERT_EQ(m().meshVertices.size(), 3u);
  ExpectNear(m().meshVertices[1], {7, 8, -9}, 0);
  ExpectNear(m().meshVertices[2], {0, 2, 0}, 0);
  EXPECT_EQ(m().meshNormals.size(), 1u);
}

TEST_F(ObjReader, NumbersReadAsScanfReadsThem) {
  ASSERT_EQ(ReadWavefrontModel(doc, test::ModelPath("obj/number_formats.obj")), 0);
  const std::vector<Vec3>& v = m().meshVertices;
  ASSERT_EQ(v.size(), 16u);
  ExpectNear(v[2], {1, 2, -3}, 0);
  ExpectNear(v[3], {1, 2, -3}, 0);
  ExpectNear(v[4], {-1, -2, 3}, 0);
  ExpectNear(v[5], {100, 20, -310}, 0);
  ExpectNear(v[7], {-100, -20, 310}, 0);
  // "3.1+e2" stops at the '+'; "3.1-e2" at the '-'.
  ExpectNear(v[8], {100, 20, -3.1f}, 0);
  ExpectNear(v[10], {-100, -20, 3.1f}, 0);
  ExpectNear(v[11], {0.01f, 0.2f, -3.1f}, 0);
  ExpectNear(v[13], {-0.01f, -0.2f, 3.1f}, 0);
  ExpectNear(v[14], {1e10f, 20, -3.1e10f}, 0);
  ExpectNear(v[15], {100, 20, -310}, 0);
  EXPECT_EQ(m().faces.size(), 1u);
}

TEST_F(ObjReader, TrianglesAndQuadrilateralsAreOneFaceEach) {
  ASSERT_EQ(Read(WithSeven("f 1 2 3\nfo 4 3 2 1\n")), 0);
  ASSERT_EQ(m().faces.size(), 2u);
  EXPECT_EQ(Corners(0), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(Corners(1), (std::vector<int>{4, 3, 2, 1}));
  for (const MeshFace& f : m().faces) {
    EXPECT_EQ(f.creaseCos, 2.0f);
    EXPECT_FALSE(f.hasNormals);
    EXPECT_EQ(f.owner, 0);
  }
  EXPECT_EQ(m().defaultTexCoord, (std::array<float, 2>{1, 1}));
}

TEST_F(ObjReader, LongerPolygonsBecomeAFanFromTheFirstCorner) {
  ASSERT_EQ(Read(WithSeven("f 1 2 3 4 5\nf 7 6 5 4 3 2\n")), 0);
  ASSERT_EQ(m().faces.size(), 7u);
  EXPECT_EQ(Corners(0), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(Corners(1), (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(Corners(2), (std::vector<int>{1, 4, 5}));
  EXPECT_EQ(Corners(3), (std::vector<int>{7, 6, 5}));
  EXPECT_EQ(Corners(6), (std::vector<int>{7, 3, 2}));
}

TEST_F(ObjReader, FanCornersCarryTheNormalsOfTheCornersTheyCopy) {
  ASSERT_EQ(Read(WithSeven("vn 0 0 1\nvn 0 1 0\nvn 1 0 0\nvn 0 0 -1\nvn 0 -1 0\n"
                           "f 1//1 2//2 3//3 4//4 5//5\n")),
            0);
  ASSERT_EQ(m().faces.size(), 3u);
  EXPECT_EQ(Normals(0), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(Normals(1), (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(Normals(2), (std::vector<int>{1, 4, 5}));
  for (const MeshFace& f : m().faces)
    EXPECT_TRUE(f.hasNormals);
  ExpectNear(CornerNormal(m(), 2, 2), {0, -1, 0}, 0);
  ExpectNear(CornerNormal(m(), 1, 0), {0, 0, -1}, 0);
}

TEST_F(ObjReader, EachCornerJoinsTheFaceBeingFilledWhenItIsRead) {
  // In a fan only the first three corners join the first triangle; each
  // later corner joins the triangle it completes. The copied corners join
  // nothing more.
  ASSERT_EQ(Read(WithSeven("f 1 2 3 4 5\nf 1 2 3 4\n")), 0);
  EXPECT_EQ(FacesOf(1), (std::vector<int>{0, 3}));
  EXPECT_EQ(FacesOf(3), (std::vector<int>{0, 3}));
  EXPECT_EQ(FacesOf(4), (std::vector<int>{1, 3}));
  EXPECT_EQ(FacesOf(5), (std::vector<int>{2}));
}

TEST_F(ObjReader, TextureIndicesAreNeverUsedAndNormalsOnlyInTheDoubleSlashForm) {
  std::string text;
  for (int i = 0; i < 9; ++i)
    text += "v " + std::to_string(i) + " " + std::to_string(i * i) + " 1\nvn 0 0 1\n";
  ASSERT_EQ(Read(text + "f 1/2/3 4/5/6 7/8/9\nf 1//3 4//5 7//9\nf 1/2 4/5 7/8\n"), 0);
  ASSERT_EQ(m().faces.size(), 3u);
  EXPECT_EQ(Corners(0), (std::vector<int>{1, 4, 7}));
  EXPECT_FALSE(m().faces[0].hasNormals);
  EXPECT_EQ(Corners(1), (std::vector<int>{1, 4, 7}));
  EXPECT_TRUE(m().faces[1].hasNormals);
  EXPECT_EQ(Normals(1), (std::vector<int>{3, 5, 9}));
  EXPECT_EQ(Corners(2), (std::vector<int>{1, 4, 7}));
  EXPECT_FALSE(m().faces[2].hasNormals);
}

TEST_F(ObjReader, AFaceTakesTheFilesNormalsOnlyWhenEveryCornerNamesOne) {
  ASSERT_EQ(Read(WithSeven("vn 0 0 1\nvn 0 1 0\nvn 1 0 0\n"
                           "f 1//1 2//2 3\nf 1 2 3//3\nf 1//1 2//2 3//3 4 5//2\n"
                           "f 1//3 2//3 3//3\n")),
            0);
  ASSERT_EQ(m().faces.size(), 6u);
  EXPECT_FALSE(m().faces[0].hasNormals);
  // Only the last corner names a normal: the others would have none to
  // draw with, so the face's normals are made as for a face without any
  // (every face here lies in z = 0 and winds the same way).
  EXPECT_FALSE(m().faces[1].hasNormals);
  for (int k = 0; k < 3; ++k)
    ExpectNear(CornerNormal(m(), 1, k), {0, 0, -1}, 1e-6f);
  // The pentagon: only (1,2,3) has a normal at every corner.
  EXPECT_TRUE(m().faces[2].hasNormals);
  EXPECT_FALSE(m().faces[3].hasNormals);
  EXPECT_FALSE(m().faces[4].hasNormals);
  EXPECT_TRUE(m().faces[5].hasNormals);
  for (int k = 0; k < 3; ++k)
    ExpectNear(CornerNormal(m(), 5, k), {1, 0, 0}, 0);
  ExpectNear(CornerNormal(m(), 2, 1), {0, 1, 0}, 0);
}

TEST_F(ObjReader, FacesNamingPositionsOrNormalsOutsideTheTablesAreSkipped) {
  ASSERT_EQ(Read("f 1 2 3\n" + WithSeven("vn 0 0 1\n"
                                         "f 0 1 2\nf -1 1 2\nf 1 2 8\nf 1 2 4294967297\n"
                                         "f 1//2 2//1 3//1\nf 1//0 2 3\nf 1//-1 2 3\n"
                                         "f 1 2 3 4 5 6 99\nf 99999999999999999999 1 2\n"
                                         "f 5 6 7\n")),
            0);
  ASSERT_EQ(m().faces.size(), 1u);
  EXPECT_EQ(Corners(0), (std::vector<int>{5, 6, 7}));
  EXPECT_EQ(m().parts[0].entries[0].faces, (std::vector<int32_t>{0}));
  EXPECT_EQ(FacesOf(1), std::vector<int>{});
}

TEST_F(ObjReader, CornerTokensThatDoNotParseArePositionOne) {
  ASSERT_EQ(Read(WithSeven("f a /2 3\nf 1 2\nf\n")), 0);
  ASSERT_EQ(m().faces.size(), 1u);
  EXPECT_EQ(Corners(0), (std::vector<int>{1, 1, 3}));
}

TEST_F(ObjReader, GroupsBecomeParts) {
  // A first group renames "None"; faces before any group stay in it.
  ASSERT_EQ(Read(WithSeven("g body\nf 1 2 3\n")), 0);
  EXPECT_EQ(PartNames(), std::vector<std::string>{"body"});
  ASSERT_EQ(Read(WithSeven("f 1 2 3\ng body\nf 1 2 3\n")), 0);
  EXPECT_EQ(PartNames(), (std::vector<std::string>{"None", "body"}));
  EXPECT_EQ(m().faces[1].partIndex, 1);
  // A group with no faces before the next is renamed by it.
  ASSERT_EQ(Read(WithSeven("g a\ng b\nf 1 2 3\n")), 0);
  EXPECT_EQ(PartNames(), std::vector<std::string>{"b"});
  // Only the first word names the group.
  ASSERT_EQ(Read(WithSeven("g left arm\nf 1 2 3\n")), 0);
  EXPECT_EQ(PartNames(), std::vector<std::string>{"left"});
}

TEST_F(ObjReader, AGroupNamedAgainGetsItsFacesBack) {
  ASSERT_EQ(Read(WithSeven("g a\nf 1 2 3\ng b\nf 1 2 3\ng a\nf 1 2 3\n")), 0);
  EXPECT_EQ(PartNames(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(m().parts[0].entries[0].faces, (std::vector<int32_t>{0, 2}));
  EXPECT_EQ(m().faces[2].partIndex, 0);
}

TEST_F(ObjReader, AGroupLineWithoutANameKeepsTheGroupAndRestartsSmoothingGroupZero) {
  ASSERT_EQ(Read(WithSeven("g\nf 1 2 3\n")), 0);
  EXPECT_EQ(PartNames(), std::vector<std::string>{"None"});
  ASSERT_EQ(Read(WithSeven("g a\ns 4\nf 1 2 3\ng\nf 1 2 3\n")), 0);
  EXPECT_EQ(PartNames(), std::vector<std::string>{"a"});
  EXPECT_EQ(EntryKeys(0), (std::vector<int32_t>{4, 0}));
  EXPECT_EQ(m().faces[1].entryIndex, 1);
}

TEST_F(ObjReader, SmoothingGroupsBecomeEntriesOfTheCurrentPart) {
  ASSERT_EQ(Read(WithSeven("s 1\nf 1 2 3\ns off\nf 1 2 3\ns 2\nf 1 2 3\ns 1\nf 1 2 3\n"
                           "s junk\nf 1 2 3\ns 3 +4\nf 1 2 3\n")),
            0);
  EXPECT_EQ(EntryKeys(0), (std::vector<int32_t>{1, -1, 2, 4}));
  std::vector<int> entries;
  for (const MeshFace& f : m().faces)
    entries.push_back(f.entryIndex);
  EXPECT_EQ(entries, (std::vector<int>{0, 1, 2, 0, 1, 3}));
}

TEST_F(ObjReader, AnEmptyLastSmoothingGroupIsDroppedAtTheEnd) {
  ASSERT_EQ(Read(WithSeven("f 1 2 3\ns 5\n")), 0);
  EXPECT_EQ(EntryKeys(0), (std::vector<int32_t>{0}));
  ASSERT_EQ(Read(WithSeven("f 1 2 3\ng a\n")), 0);
  EXPECT_EQ(PartNames(), (std::vector<std::string>{"None", "a"}));
  EXPECT_TRUE(m().parts[1].entries.empty());
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
    EXPECT_EQ(m().objects[i].alpha, 1.0f);
  }
  ExpectNear(m().objects[1].color, {1, 0, 0}, 0);
  EXPECT_NEAR(m().objects[1].specularLevel, 0.5f, 1e-6f);
  EXPECT_EQ(m().objects[1].shininess, 15.0f);
  // A name the table does not hold draws black.
  ExpectNear(m().objects[2].color, {-1, -1, -1}, 0);
  EXPECT_EQ(m().objects[2].specularLevel, 0.5f);
  EXPECT_EQ(m().objects[2].shininess, 15.0f);
  std::vector<int> objects;
  for (const MeshFace& f : m().faces) {
    objects.push_back(f.objectIndex);
    EXPECT_EQ(f.colorObject, f.objectIndex);
  }
  EXPECT_EQ(objects, (std::vector<int>{1, 2, 1, 1, 4}));
}

TEST_F(ObjReader, CommentsKeywordCaseAndTabsDecideWhatALineIs) {
  ASSERT_EQ(Read("# v 1 2 3\n$v 1 2 3\nV 1 2 3\nv\t1 2 3\n\tv 1 2 3\nv 1\t2 3\n"
                 "   v 4  5   6\nv 1 2 3\t9\nv 7 8 9\n"
                 "f 1\t2 3\nf 1 2\t9 3\n"),
            0);
  ASSERT_EQ(m().meshVertices.size(), 4u);
  ExpectNear(m().meshVertices[1], {4, 5, -6}, 0);
  ExpectNear(m().meshVertices[2], {1, 2, -3}, 0);
  // "2\t9" is one token, read as 2.
  ASSERT_EQ(m().faces.size(), 1u);
  EXPECT_EQ(Corners(0), (std::vector<int>{1, 2, 3}));
}

TEST_F(ObjReader, TheLastLineKeepsItsLastCharacterWithoutALineBreak) {
  ASSERT_EQ(Read("v 1 2 3\nv 4 5 6\nv 7 8 9\nf 1 2 3"), 0);
  ASSERT_EQ(m().faces.size(), 1u);
  EXPECT_EQ(Corners(0), (std::vector<int>{1, 2, 3}));
  ASSERT_EQ(Read("v 1 2 31"), 0);
  ExpectNear(m().meshVertices.at(1), {1, 2, -31}, 0);
}

TEST_F(ObjReader, CrLfLineBreaksLeaveNamesAlone) {
  ASSERT_EQ(Read("g body\r\nusemtl red\r\nv 0 0 0\r\nv 1 0 0\r\nv 0 1 1\r\nf 1 2 3\r\n"), 0);
  EXPECT_EQ(PartNames(), std::vector<std::string>{"body"});
  ASSERT_EQ(m().objects.size(), 2u);
  ExpectNear(m().objects[1].color, {1, 0, 0}, 0);
  ExpectNear(m().meshVertices[3], {0, 1, -1}, 0);
}

TEST_F(ObjReader, LinesHaveNoLengthLimit) {
  std::string text = "v" + std::string(3000, ' ') + "1 2 3\n";
  std::string face = "f";
  for (int i = 0; i < 800; ++i) {
    text += "v " + std::to_string(std::cos(i * 0.01)) + " " + std::to_string(std::sin(i * 0.01)) +
            " 0\n";
    face += " " + std::to_string(i + 2);
  }
  ASSERT_EQ(Read(text + face + "\n"), 0);
  EXPECT_EQ(m().meshVertices.size(), 802u);
  ExpectNear(m().meshVertices[1], {1, 2, -3}, 0);
  ASSERT_EQ(m().faces.size(), 798u);
  EXPECT_EQ(Corners(797), (std::vector<int>{2, 800, 801}));
}

TEST_F(ObjReader, OtherKeywordsChangeNothing) {
  ASSERT_EQ(Read("vt 1 2\no thing\nl 1 2\np 1\nmtllib a.mtl\ncstype bezier\nvp 1 2 3\n"
                 "gg x\nss 2\nusemtlx red\nff 1 2 3\n"),
            0);
  EXPECT_EQ(m().meshVertices.size(), 1u);
  EXPECT_TRUE(m().faces.empty());
  EXPECT_EQ(PartNames(), std::vector<std::string>{"None"});
  EXPECT_EQ(m().objects.size(), 1u);
}

TEST_F(ObjReader, ReadingStartsFromAnEmptyStagingMesh) {
  ASSERT_EQ(Read(WithSeven("g old\nusemtl red\nf 1 2 3\n")), 0);
  ASSERT_EQ(Read("v 1 2 3\n"), 0);
  EXPECT_EQ(m().meshVertices.size(), 2u);
  EXPECT_TRUE(m().faces.empty());
  EXPECT_EQ(PartNames(), std::vector<std::string>{"None"});
  EXPECT_EQ(m().objects.size(), 1u);
}

}  // namespace
}  // namespace modra
