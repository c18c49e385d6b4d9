// The staging mesh: parts and smoothing entries, the normal pass, sizing,
// materials, and turning parts into display groups.
#include <gtest/gtest.h>

#include <cmath>

#include "formats/import_mesh.h"
#include "test_util.h"

namespace modra {
namespace {

using test::Dot;
using test::ExpectNear;
using test::Names;
using Strings = std::vector<std::string>;

// A face of the given corners (vertex numbers) in part/entry, linked to
// its vertices as the readers link them.
int AddFace(ImportMesh& m, std::vector<int> corners, int part = 0, int entry = 0,
            float crease = kNoCreaseTest) {
  MeshFace f;
  f.cornerCount = static_cast<uint8_t>(corners.size());
  f.creaseCos = crease;
  f.partIndex = part;
  f.entryIndex = entry;
  for (size_t k = 0; k < corners.size(); ++k)
    f.cornerVertices[k] = corners[k];
  m.faces.push_back(f);
  const int face = static_cast<int>(m.faces.size()) - 1;
  for (int v : corners)
    AddVertexFace(m, face, v);
  AddFaceToEntry(m, part, entry, face);
  return face;
}

// Two faces sharing the edge (0,1) along x, the second folded up by `degrees`.
ImportMesh Hinge(float degrees, float crease, int entryOfSecond = 0, int partOfSecond = 0) {
  ImportMesh m;
  AddPart(m, "a");
  const float r = degrees * 3.14159265f / 180;
  m.meshVertices = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, std::sin(r), -std::cos(r)}};
  AddFace(m, {0, 1, 2}, 0, 0, crease);
  if (partOfSecond == 1) AddPart(m, "b");
  if (entryOfSecond == 1) AddSmoothEntry(m, 0, 5);
  AddFace(m, {1, 0, 3}, partOfSecond, entryOfSecond, crease);
  ComputeVertexNormals(m, -1.0f);
  return m;
}

TEST(ImportMeshParts, AnEmptyLastPartIsRenamedInsteadOfAdded) {
  ImportMesh m;
  ASSERT_EQ(AddPart(m, "None"), 0);
  ASSERT_EQ(m.parts[0].entries.size(), 1u);  // faces can go to entry 0 at once
  AddPart(m, "first");                       // "None" had no faces: renamed
  ASSERT_EQ(m.parts.size(), 1u);
  EXPECT_EQ(m.parts[0].name, "first");
  AddFace(m, {0, 1, 2});
  EXPECT_EQ(FindOrAddPart(m, "second"), 1);
  EXPECT_EQ(FindOrAddPart(m, "third"), 1);  // "second" was still empty
  EXPECT_EQ(m.parts[1].name, "third");

  EXPECT_EQ(FindOrAddSmoothEntry(m, 0, 0), 0);
  EXPECT_EQ(FindOrAddSmoothEntry(m, 0, 3), 1);
  EXPECT_EQ(FindOrAddSmoothEntry(m, 0, 4), 1);  // entry 1 had no faces: reused with key 4
  EXPECT_EQ(m.parts[0].entries[1].key, 4);
  EXPECT_EQ(AddFaceToEntry(m, 0, 9, 0), -1);
  EXPECT_EQ(AddSmoothEntry(m, -1, 0), -1);
}

TEST(ImportMeshNormals, FlatEntriesGiveEveryCornerTheFaceNormal) {
  ImportMesh m = Hinge(30, kNoCreaseTest);
  m.parts[0].entries[0].key = -1;
  for (int k = 0; k < 3; ++k)
    ExpectNear(CornerNormal(m, 0, k), m.faceNormals[0]);
  // The normal of b x a for the first face (0,1,2): (0,0,1) x (1,0,0) = (0,1,0).
  ExpectNear(m.faceNormals[0], {0, 1, 0});
}

TEST(ImportMeshNormals, CreaseValuesDecideWhatIsAveraged) {
  // Faces meeting at 90 degrees: with 0.5 they keep their own normals.
  ImportMesh sharp = Hinge(90, 0.5f);
  ExpectNear(CornerNormal(sharp, 0, 0), sharp.faceNormals[0]);
  // At 30 degrees of fold (normals 30 degrees apart) they are averaged.
  ImportMesh gentle = Hinge(30, 0.5f);
  Vec3 shared = CornerNormal(gentle, 0, 0);
  EXPECT_NEAR(Dot(shared, gentle.faceNormals[0]), Dot(shared, gentle.faceNormals[1]), 1e-6);
  EXPECT_NEAR(std::sqrt(Dot(shared, shared)), 1, 1e-6);
  // 2.0: always averaged, even at 90 degrees; a corner only one face uses keeps it.
  ImportMesh always = Hinge(90, kNoCreaseTest);
  EXPECT_NEAR(Dot(CornerNormal(always, 0, 0), always.faceNormals[0]), std::sqrt(0.5f), 1e-6);
  ExpectNear(CornerNormal(always, 0, 2), always.faceNormals[0]);
}

TEST(ImportMeshNormals, OtherEntriesAndPartsNeverShareNormals) {
  for (auto [entry, part] : {std::pair{1, 0}, std::pair{0, 1}}) {
    ImportMesh m = Hinge(30, kNoCreaseTest, entry, part);
    ExpectNear(CornerNormal(m, 0, 0), m.faceNormals[0]);
    ExpectNear(CornerNormal(m, 1, 0), m.faceNormals[1]);
  }
}

TEST(ImportMeshNormals, FileNormalsAreUsedAsGiven) {
  ImportMesh m;
  AddPart(m, "a");
  m.meshVertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  m.meshNormals = {{0, 0, 1}, {1, 0, 0}};
  int f = AddFace(m, {0, 1, 2});
  m.faces[f].hasNormals = true;
  m.cornerNormals = {{1, 0, -1, 0}};
  ComputeVertexNormals(m, -1.0f);
  ExpectNear(CornerNormal(m, f, 0), {1, 0, 0});
  ExpectNear(CornerNormal(m, f, 1), {0, 0, 1});
  ExpectNear(CornerNormal(m, f, 2), {0, 0, 0});  // no normal index: none
}

TEST(ImportMeshSize, TheLongestSideRunsFromMinusOneToOne) {
  ImportMesh m;
  AddPart(m, "a");
  m.meshVertices = {{0, 0, 0}, {10, 0, 0}, {10, 2, 0}, {99, 99, 99}};  // the last is unused
  AddFace(m, {0, 1, 2});
  NormalizeMeshSize(m);
  ExpectNear(m.meshVertices[2], {1, 0.2f, 0});
  ExpectNear(m.meshVertices[3], {99, 99, 99});

  // One point: centred, not scaled by infinity.
  ImportMesh point;
  AddPart(point, "a");
  point.meshVertices = {{3, 3, 3}};
  AddFace(point, {0, 0, 0});
  NormalizeMeshSize(point);
  ExpectNear(point.meshVertices[0], {0, 0, 0});
}

TEST(ImportMeshMaterials, PartsWithOneMaterialTakeItsColour) {
  ImportMesh m;
  m.objects = {MeshObject{}, MeshObject{}};
  m.objects[1].name = "red";
  m.objects[1].number = 1;
  m.objects[1].color = {1, 0, 0};
  m.objects[1].specularLevel = 0.2f;
  m.meshVertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  auto face = [&](int part, int object) {
    m.faces.push_back({});
    m.faces.back().objectIndex = object;
    AddFaceToEntry(m, part, 0, static_cast<int>(m.faces.size()) - 1);
  };
  AddPart(m, "one");
  face(0, 1);
  AddPart(m, "mixed");
  face(1, 0);
  face(1, 1);
  AddPart(m, "unknown");
  face(2, 7);  // names no object
  AssignObjectsToParts(m);
  EXPECT_EQ(m.parts[0].colorSource, 1);
  EXPECT_EQ(m.parts[0].objectName, "red");
  EXPECT_EQ(m.parts[0].specularLevel, 0.2f);
  EXPECT_EQ(m.parts[1].colorSource, -1);
  EXPECT_EQ(m.parts[2].colorSource, -1);
}

// Two parts: a red triangle and a quad without a material of its own.
ImportMesh TwoParts() {
  ImportMesh m;
  m.objects = {MeshObject{}, MeshObject{}};
  m.objects[1].number = 1;
  m.objects[1].color = {1, 0, 0};
  m.meshVertices = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {4, 4, 0}, {6, 4, 0}, {6, 6, 0}, {4, 6, 0}};
  AddPart(m, "tri");
  int f = AddFace(m, {0, 1, 2});
  m.faces[f].objectIndex = 1;
  m.faces[f].colorObject = 1;
  AddPart(m, "quad");
  f = AddFace(m, {3, 4, 5, 6}, 1);
  m.faces[f].objectIndex = 9;  // a material the file never defined
  m.faces[f].colorObject = -1;
  ComputeVertexNormals(m, -1.0f);
  AssignObjectsToParts(m);
  return m;
}

TEST(ImportMeshGroups, EveryPartBecomesAGroupNewestFirst) {
  test::RecordedDocument rec;
  test::AddTriangle(rec.scene(), "old");
  ImportMesh m = TwoParts();
  ASSERT_EQ(BuildGroupsFromMesh(rec.doc, m, "dir/model.v1.obj", false, false), 0);
  Scene& s = rec.scene();
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"quad", "tri"}));
  const DisplayGroup& tri = s.groups[s.groups[s.rootHead].next];
  EXPECT_EQ(tri.color, (Vec3{1, 0, 0}));
  EXPECT_EQ(tri.flags, NeedsCentering);
  ASSERT_EQ(tri.primitives.size(), 1u);
  EXPECT_EQ(tri.primitives[0].vertexCount, 3);
  const DisplayGroup& quad = s.groups[s.rootHead];
  EXPECT_EQ(quad.flags, NeedsCentering | VertexColors);  // no colour of its own
  EXPECT_EQ(quad.specular, (Vec3{0.5f, 0.5f, 0.5f}));
  ASSERT_EQ(quad.primitives[0].type, kQuads);
  EXPECT_EQ(quad.primitives[0].vertices.size(), 4u * 9);
  EXPECT_EQ(quad.primitives[0].vertices[3], 1);  // white corners

  // With "Import without RGB/vertex" the part is white instead.
  test::RecordedDocument white;
  ImportMesh again = TwoParts();
  ASSERT_EQ(BuildGroupsFromMesh(white.doc, again, "m.obj", false, true), 0);
  EXPECT_EQ(white.scene().groups[white.scene().rootHead].flags, NeedsCentering);
}

TEST(ImportMeshGroups, AppendingTwiceGivesTwoFileGroupsNewerFirst) {
  test::RecordedDocument rec;
  Scene& s = rec.scene();
  int old = test::AddTriangle(s, "old");
  for (const char* file : {"/a/first.obj", "second.3ds.bak"}) {
    ImportMesh m = TwoParts();
    ASSERT_EQ(BuildGroupsFromMesh(rec.doc, m, file, true, false), 0);
  }
  EXPECT_EQ(Names(s, s.rootHead), (Strings{"second", "first", "old"}));
  int second = s.rootHead;
  EXPECT_EQ(Names(s, s.groups[second].child), (Strings{"quad", "tri"}));
  EXPECT_EQ(s.groups[s.groups[s.groups[second].next].next].next, -1);
  EXPECT_TRUE(IsLiveGroup(s, old));

  ImportMesh empty;
  ASSERT_EQ(BuildGroupsFromMesh(rec.doc, empty, "nothing.obj", true, false), 0);
  EXPECT_EQ(s.rootHead, second);  // nothing came in, no empty group either
}

TEST(ImportMeshGroups, CentringMovesTheGeometryIntoTheTranslation) {
  test::RecordedDocument rec;
  ImportMesh m = TwoParts();
  ASSERT_EQ(BuildGroupsFromMesh(rec.doc, m, "m.obj", false, false), 0);
  Scene& s = rec.scene();
  int quad = s.rootHead;
  auto before = test::WorldPositions(s, quad);
  CenterGroupGeometry(s, quad);
  EXPECT_EQ(s.groups[quad].translation, (Vec3{5, 5, 0}));
  test::ExpectSamePositions(test::WorldPositions(s, quad), before);
  ExpectNear({s.groups[quad].primitives[0].vertices[0], s.groups[quad].primitives[0].vertices[1],
              s.groups[quad].primitives[0].vertices[2]},
             {-1, -1, 0});
  // Groups not from this import stay as they are.
  int other = test::AddTriangle(s, "other");
  s.groups[other].translation = {7, 7, 7};
  CenterGroupGeometry(s, other);
  EXPECT_EQ(s.groups[other].translation, (Vec3{7, 7, 7}));
}

}  // namespace
}  // namespace modra
