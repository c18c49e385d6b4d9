#include "formats/3ds_reader.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

#include "formats/3ds_test_util.h"
#include "formats/import_test_util.h"
#include "reader_harness.h"

namespace modra {
namespace {

using namespace test::tds;
using test::Bytes;

struct Staged {
  Document doc;
  int result;
  explicit Staged(const Bytes& bytes) : result(Read3dsBytes(doc, bytes)) {}
  const ImportMesh& mesh() const { return doc.importMesh; }
};

// A whole import of a file holding `bytes`.
struct Imported {
  test::TempDir dir;
  test::RecordedDocument d;
  explicit Imported(const Bytes& bytes) {
    test::WriteBytes(dir / "model.3ds", bytes);
    EXPECT_EQ(ReadModelFile(d.doc, dir / "model.3ds", false), 0);
  }
  const DisplayGroup& first() { return d.scene().groups[d.scene().rootHead]; }
};

// Every triangle corner's colour, or its normal, of a group as drawn.
std::vector<Vec3> CornerVectors(const DisplayGroup& g, int offset) {
  std::vector<Vec3> out;
  const int stride = VertexStride(g);
  for (const DisplayPrimitive& p : g.primitives) {
    EXPECT_EQ(p.type, kTriangles);
    for (size_t v = 0; v + stride <= p.vertices.size(); v += stride)
      out.push_back(
          {p.vertices[v + offset], p.vertices[v + offset + 1], p.vertices[v + offset + 2]});
  }
  return out;
}

struct ObjectInfo {
  std::string name;
  int faces = 0;
};
struct FileInfo {
  std::vector<ObjectInfo> objects;
  size_t positions = 0;
};

uint32_t U(const Bytes& b, size_t at, int size = 2) {
  uint32_t v = 0;
  for (int i = 0; i < size; ++i)
    v |= uint32_t{b.at(at + i)} << (8 * i);
  return v;
}

void Walk(const Bytes& b, size_t at, size_t end, FileInfo& info) {
  for (; at + 6 <= end; at += U(b, at + 2, 4)) {
    const uint32_t id = U(b, at), length = U(b, at + 2, 4);
    ASSERT_GE(length, 6u);
    const size_t next = at + length, data = at + 6;
    ASSERT_LE(next, b.size());
    if (id == 0x4D4D || id == 0x3D3D || id == 0x4100) {
      Walk(b, data, next, info);
    } else if (id == 0x4000) {
      info.objects.push_back({reinterpret_cast<const char*>(&b.at(data)), 0});
      Walk(b, data + info.objects.back().name.size() + 1, next, info);
    } else if (id == 0x4110) {
      info.positions += U(b, data);
    } else if (id == 0x4120) {
      info.objects.back().faces += static_cast<int>(U(b, data));
    }
  }
}

// The parts the objects make: an object renames a part without faces yet.
std::vector<ObjectInfo> ExpectedParts(const FileInfo& info) {
  std::vector<ObjectInfo> parts{{"None", 0}};
  for (const ObjectInfo& o : info.objects) {
    if (parts.back().faces != 0) parts.push_back({});
    parts.back().name = o.name;
    parts.back().faces += o.faces;
  }
  return parts;
}

class Real3dsFiles : public ::testing::TestWithParam<std::string> {};

TEST_P(Real3dsFiles, LoadWithTheCountsTheirChunksDeclare) {
  const std::string path = test::ModelPath("3ds/" + GetParam());
  const Bytes bytes = test::ReadBytes(path);
  FileInfo info;
  Walk(bytes, 0, bytes.size(), info);
  ASSERT_FALSE(info.objects.empty());
  const std::vector<ObjectInfo> parts = ExpectedParts(info);

  const Staged staged(bytes);
  ASSERT_EQ(staged.result, 0);
  EXPECT_EQ(staged.mesh().meshVertices.size(), info.positions);
  ASSERT_EQ(staged.mesh().parts.size(), parts.size());

  test::RecordedDocument d;
  ASSERT_EQ(ReadModelFile(d.doc, path, false), 0);
  EXPECT_TRUE(d.shell.messages.empty());
  std::vector<int> groups = test::TopGroups(d.scene());
  std::reverse(groups.begin(), groups.end());  // in the order the parts were made
  ASSERT_EQ(groups.size(), parts.size());
  for (size_t i = 0; i < groups.size(); ++i) {
    const DisplayGroup& g = d.scene().groups[groups[i]];
    SCOPED_TRACE(g.name);
    EXPECT_EQ(g.name, parts[i].name);
    EXPECT_EQ(test::CountFaces(g), (test::FaceCounts{parts[i].faces, 0, 3 * parts[i].faces}));
  }
  test::ExpectSizedAndCentred(d.scene());
}

// Every model of the test data, whatever its name.
std::vector<std::string> RealFiles() {
  std::vector<std::string> names;
  std::error_code error;  // a missing directory fails TestDataHoldsRealFiles, not the binary
  for (const auto& entry : std::filesystem::directory_iterator(test::ModelPath("3ds"), error))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(Read3ds, TestDataHoldsRealFiles) {
  EXPECT_GE(RealFiles().size(), 5u);
}

INSTANTIATE_TEST_SUITE_P(AllOfThem, Real3dsFiles, ::testing::ValuesIn(RealFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

TEST(Read3ds, FailuresReportOnceAndLeaveTheSceneAsItWas) {
  const Bytes cube = test::ReadBytes(test::ModelPath("3ds/RotatingCube.3DS"));
  ASSERT_GT(cube.size(), 700u);
  Bytes notMain = cube;
  notMain[1] = 0x3D;
  const Bytes badIndex = File(Object("T", Mesh(Join({Vertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
                                                     Faces({{0, 1, 2}, {0, 1, 3}})}))));
  test::TempDir dir;
  for (const Bytes& bytes : {notMain, Bytes(cube.begin(), cube.begin() + 700), badIndex, Bytes()}) {
    test::WriteBytes(dir / "bad.3ds", bytes);
    for (bool append : {false, true})
      test::ExpectRefused(dir / "bad.3ds", "Can't decode " + (dir / "bad.3ds") + " correctly\n",
                          append);
  }
  Document doc;
  EXPECT_EQ(Read3dsModel(doc, test::ModelPath("invalid/empty.3ds")), -2);
}

TEST(Read3ds, StagesPositionsFacesPartsAndObjects) {
  // File positions (X, Y, Z) arrive as (Y, Z, -X); the second mesh indexes
  // the positions after the first's.
  const Staged l(File(Join({Object("Plate", Mesh(Join({Vertices({{1, 2, 3}, {4, 5, 6}, {7, 8, 10}}),
                                                       Faces({{2, 0, 1}})}))),
                            Object("Tri", Mesh(Join({Vertices({{5, 0, 0}, {6, 0, 0}, {6, 1, 0}}),
                                                     Faces({{0, 1, 2}, {2, 1, 0}})})))})));
  ASSERT_EQ(l.result, 0);
  const ImportMesh& m = l.mesh();
  ASSERT_EQ(m.meshVertices.size(), 6u);
  test::ExpectNear(m.meshVertices[0], {2, 3, -1});
  test::ExpectNear(m.meshVertices[2], {8, 10, -7});
  test::ExpectNear(m.meshVertices[3], {0, 0, -5});
  ASSERT_EQ(m.faces.size(), 3u);
  const MeshFace& f = m.faces[0];
  EXPECT_EQ(test::Corners(f), (std::vector<int32_t>{2, 0, 1}));
  EXPECT_EQ(test::Corners(m.faces[2]), (std::vector<int32_t>{5, 4, 3}));
  // Smoothed within 60 degrees, of the default object, plain white corners.
  EXPECT_EQ(std::tie(f.creaseCos, f.objectIndex, f.colorObject), std::tuple(0.5f, 0, -1));
  ASSERT_EQ(m.parts.size(), 2u);
  EXPECT_EQ(std::tie(m.parts[0].name, m.parts[1].name), std::tuple("Plate", "Tri"));
  ASSERT_EQ(m.parts[0].entries.size(), 1u);
  EXPECT_EQ(std::tie(m.parts[0].entries[0].key, m.parts[0].entries[0].faces),
            std::tuple(1, std::vector<int32_t>{0}));
  ASSERT_EQ(m.objects.size(), 1u);
  EXPECT_EQ(m.objects[0].name, "white");
  // The normal pass ran: every plate corner linked to its one face.
  ASSERT_EQ(m.faceNormals.size(), 3u);
  for (int v = 0; v < 3; ++v)
    EXPECT_EQ(m.vertexFaceStart[v + 1] - m.vertexFaceStart[v], 1);
  // Without any object the model is the empty part "None" alone.
  const Staged none(File(MasterScale()));
  ASSERT_EQ(none.result, 0);
  ASSERT_EQ(none.mesh().parts.size(), 1u);
  EXPECT_EQ(none.mesh().parts[0].name, "None");
}

TEST(Read3ds, MaterialsTakeTheirColoursInEveryForm) {
  const Staged l(File(Join({
      Material("bytes", ByteColor(255, 0, 51), ByteColor(255, 255, 255)),
      Material("floats", FloatColor(0.25f, 0.5f, 0.75f), FloatColor(0.3f, 0.6f, 0.9f, 0x0013)),
      // The last colour sub-chunk decides; a foreign one makes it white.
      Material("last", Join({FloatColor(0, 0, 0), ByteColor(0, 255, 0, 0x0012)})),
      Material("foreign", Join({ByteColor(10, 20, 30), Chunk(0x0030, {1, 0})})),
      Material("empty", {}),
  })));
  ASSERT_EQ(l.result, 0);
  const std::vector<MeshObject>& o = l.mesh().objects;
  ASSERT_EQ(o.size(), 6u);
  EXPECT_EQ(o[1].name, "bytes");
  test::ExpectNear(o[1].color, {1, 0, 0.2f}, 1e-6f);
  EXPECT_NEAR(o[1].specularLevel, 1.0f, 1e-6f);
  EXPECT_EQ(o[2].name, "floats");
  test::ExpectNear(o[2].color, {0.25f, 0.5f, 0.75f}, 1e-7f);
  EXPECT_NEAR(o[2].specularLevel, 0.6f, 1e-6f);
  test::ExpectNear(o[3].color, {0, 1, 0}, 1e-6f);
  test::ExpectNear(o[4].color, {1, 1, 1}, 0);
  test::ExpectNear(o[5].color, {1, 1, 1}, 0);
  EXPECT_NEAR(o[5].specularLevel, 1.0f, 1e-6f);
  // The ambient colour, even after the diffuse one, changes nothing.
  const Staged ambient(
      File(Chunk(0xAFFF, Join({MaterialName("amb"), Chunk(0xA020, ByteColor(0, 0, 255)),
                               Chunk(0xA010, ByteColor(9, 9, 9))}))));
  ASSERT_EQ(ambient.result, 0);
  test::ExpectNear(ambient.mesh().objects.back().color, {0, 0, 1}, 1e-6f);
  test::ExpectNear(ambient.mesh().objects[0].color, {1, 1, 1}, 0);
}

// Face 1 listed as "red", in an editor block that goes on after the object; an
// unnamed material block recolours "white", yet unlisted faces draw white corners.
TEST(Read3ds, FaceMaterialListsColourTheListedFacesOfTheLatestFacesChunk) {
  const Bytes file =
      File(Join({Chunk(0xAFFF, Chunk(0xA020, ByteColor(0, 0, 255))),
                 Material("green", ByteColor(0, 255, 0)), Material("red", ByteColor(255, 0, 0)),
                 Object("Square", Square(0, Join({FaceMaterials("red", {1}), Smoothing(2)}))),
                 MasterScale()}));
  const Staged l(file);
  ASSERT_EQ(l.result, 0);
  test::ExpectNear(l.mesh().objects[0].color, {0, 0, 1});
  ASSERT_EQ(l.mesh().faces.size(), 2u);
  EXPECT_EQ(l.mesh().faces[0].objectIndex, 0);
  EXPECT_EQ(l.mesh().faces[1].objectIndex, 2);
  EXPECT_EQ(l.mesh().faces[1].colorObject, 2);
  // Drawn: the part mixes materials, so its corners carry the colours.
  Imported im(file);
  EXPECT_EQ(im.first().name, "Square");
  ASSERT_TRUE(im.first().flags & VertexColors);
  test::ExpectSamePositions(CornerVectors(im.first(), 3),
                            {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}});

  // Each list names the latest faces chunk. An unknown material leaves its
  // faces with "white"; the last object's list is met after the editor loop
  // has ended and still counts.
  const Staged three(File(Join({Material("red", ByteColor(255, 0, 0)),
                                Object("A", Square(0, FaceMaterials("red", {1}))),
                                Object("B", Square(3, FaceMaterials("nobody", {0, 1}))),
                                Object("C", Square(6, FaceMaterials("red", {0})))})));
  ASSERT_EQ(three.result, 0);
  std::vector<int32_t> objects;
  for (const MeshFace& face : three.mesh().faces)
    objects.push_back(face.objectIndex);
  EXPECT_EQ(objects, (std::vector<int32_t>{0, 1, 0, 0, 1, 0}));
}

TEST(Read3ds, TextureCoordinatesSmoothingGroupsAndFlagsChangeNothing) {
  const std::vector<Vec3> ring = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0.5f}, {0, 1, 1}, {1, 2, 0}};
  const std::vector<std::array<uint16_t, 3>> faces = {{0, 1, 2}, {0, 2, 3}, {3, 2, 4}};
  Bytes axes, flags = {5, 0}, mapping = {5, 0};
  for (int i = 0; i < 12; ++i)
    PutF32(axes, static_cast<float>(i));
  flags.insert(flags.end(), 10, 7);
  for (int i = 0; i < 10; ++i)
    PutF32(mapping, 0.25f * static_cast<float>(i));
  const Bytes withAll =
      File(Object("O", Mesh(Join({Vertices(ring), Chunk(0x4140, mapping), Chunk(0x4111, flags),
                                  Chunk(0x4160, axes), Faces(faces, Smoothing(3))}))));
  std::vector<std::vector<DisplayPrimitive>> drawn;
  for (const Bytes& variant :
       {File(Object("O", Mesh(Join({Vertices(ring), Faces(faces)})))), withAll,
        // Vertex flags written without their count.
        File(Object("O",
                    Mesh(Join({Vertices(ring), Chunk(0x4111, Bytes(10, 7)), Faces(faces)}))))}) {
    Imported im(variant);
    EXPECT_FALSE(im.first().flags & TexCoords);
    EXPECT_EQ(test::CountFaces(im.first()).triangles, 3);
    drawn.push_back(im.first().primitives);
  }
  for (size_t v = 1; v < drawn.size(); ++v)
    for (size_t i = 0; i < drawn[0].size(); ++i)
      EXPECT_EQ(drawn[v].at(i).vertices, drawn[0][i].vertices) << v;
  // Staged, the mapping coordinates left no trace either.
  const Staged l(withAll);
  ASSERT_EQ(l.result, 0);
  EXPECT_TRUE(l.mesh().meshTexCoords.empty());
  EXPECT_TRUE(l.mesh().cornerTexCoords.empty());
  EXPECT_EQ(l.mesh().defaultTexCoord, (std::array<float, 2>{0, 0}));
}

// Two triangles hinged on the file's x axis, folded by `fold` degrees: their
// normals arrive as (0, 1, 0) and (sin fold, cos fold, 0).
std::vector<Vec3> HingeNormals(float fold) {
  const float rad = fold * 3.14159265f / 180.0f;
  Imported im(File(Object(
      "Hinge",
      Mesh(Join({Vertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -std::cos(rad), std::sin(rad)}}),
                 Faces({{0, 1, 2}, {1, 0, 3}})})))));
  return CornerVectors(im.first(), NormalOffset(im.first().flags));
}

TEST(Read3ds, NormalsFaceOutOfTheFrontAndSmoothOnlyWithinTheCrease) {
  const Vec3 up = {0, 1, 0};
  // Folded 90 degrees: the faces keep their own normals at the hinge too.
  test::ExpectSamePositions(HingeNormals(90), {up, up, up, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}});
  // Folded 30 degrees: the hinge corners (the first two of each face) share
  // the mean; the far corners keep their face's normal.
  const float half = std::sqrt(2 + 2 * 0.8660254f);
  const Vec3 mean = {0.5f / half, 1.8660254f / half, 0};
  test::ExpectSamePositions(HingeNormals(30), {mean, mean, up, mean, mean, {0.5f, 0.8660254f, 0}});
}

Bytes Nested(int depth) {
  Bytes inner = Square();
  for (int i = 0; i < depth; ++i)
    inner = Mesh(Object("o" + std::to_string(i), inner));
  return File(Object("top", inner));
}

TEST(Read3ds, FilesThatLieAreRefusedOrReadAsFarAsTheyHold) {
  // A name that runs to the end of its chunk, ending only in the next or never.
  const Bytes name = {'B', 'o', 'x'};
  Bytes nameAtEnd = File(Object("A", Square()));
  nameAtEnd.insert(nameAtEnd.end(), {0x00, 0x40, 50, 0, 0, 0, 'x', 'y'});
  Bytes list;
  PutName(list, "white");
  Put(list, 65535, 2);
  const Bytes many = {0xFF, 0xFF, 0, 0, 0x80, 0x3F};
  Bytes mainTooLong = File(Object("A", Square())), mainTooShort = mainTooLong;
  for (int i = 0; i < 4; ++i)
    mainTooLong[2 + i] = 0xFF, mainTooShort[2 + i] = 0;
  struct Case {
    const char* what;
    Bytes file;
    int result;
    size_t faces;
  };
  const Case cases[] = {
      {"object name", File(Join({Chunk(0x4000, name), MasterScale()})), -2, 0},
      {"material name", File(Join({Chunk(0xAFFF, Chunk(0xA000, name)), MasterScale()})), -2, 0},
      {"list name", File(Join({Object("A", Square()), Chunk(0x4130, name), MasterScale()})), -2, 0},
      {"name at the end", nameAtEnd, -2, 0},
      // "Light" has no sub-chunks: the object after it is still an object.
      {"object of a name only", File(Join({Object("Light", {}), Object("Box", Square())})), 0, 2},
      {"chunk of 0", File(Join({Chunk(0x0100, {}, 0), Object("A", Square())})), -2, 0},
      {"chunk of 5", File(Join({Chunk(0x0100, {}, 5), Object("A", Square())})), -2, 0},
      {"top chunk of 1", File(Object("A", Square()), Chunk(0xB000, {}, 1)), -2, 0},
      {"chunk of its header", File(Join({Chunk(0x0100, {}), Object("A", Square())})), 0, 2},
      // A skipped chunk at the end claiming a gigabyte: the file ends there.
      {"top chunk past the end", File(Object("A", Square()), Chunk(0xB000, {1, 2, 3}, 1u << 30)), 0,
       2},
      // Inside the editor block it swallows the rest of the file.
      {"editor chunk past the end",
       File(Join({Chunk(0x0100, {1, 2}, 0xFFFFFFFF), Object("A", Square())})), 0, 0},
      // Inside an object that claims even more, the next header cannot be read.
      {"object past the end",
       File(Chunk(0x4000, Join({{'A', 0}, Chunk(0x4700, {1, 2}, 0x10000)}), 0x20000)), -2, 0},
      // A main chunk claiming too much or too little is read to the file's end.
      {"main chunk too long", mainTooLong, 0, 2},
      {"main chunk too short", mainTooShort, 0, 2},
      {"positions beyond the file", File(Object("A", Mesh(Chunk(0x4110, many)))), -2, 0},
      {"faces beyond the file", File(Object("A", Mesh(Chunk(0x4120, many)))), -2, 0},
      {"list beyond the file",
       File(Join({Object("A", Square()), Chunk(0x4130, list), MasterScale()})), -2, 0},
      {"faces before positions", File(Object("T", Mesh(Faces({{0, 0, 0}})))), -2, 0},
      {"list before faces", File(FaceMaterials("white", {0})), -2, 0},
      {"list past the latest faces",
       File(Join({Object("A", Square()), Object("B", Square(3, FaceMaterials("white", {0, 2}))),
                  MasterScale()})),
       -2, 0},
      {"list far past them",
       File(Join({Object("A", Square()), Object("B", Square(3, FaceMaterials("white", {65535}))),
                  MasterScale()})),
       -2, 0},
      {"99 levels", Nested(99), 0, 2},
      {"100 levels", Nested(100), -2, 0},
  };
  for (const Case& c : cases) {
    const Staged l(c.file);
    EXPECT_EQ(l.result, c.result) << c.what;
    EXPECT_EQ(l.mesh().faces.size(), c.faces) << c.what;
  }
}

TEST(Read3ds, EveryTruncationEndsCleanly) {
  const Bytes whole =
      File(Join({Material("red", ByteColor(255, 0, 0), FloatColor(1, 1, 1)),
                 Object("A", Square(0, Join({FaceMaterials("red", {1}), Smoothing(2)}))),
                 Object("B", Square(2))}));
  const size_t editorData = 6 + 10 + 6;  // main header, version chunk, editor header
  test::ForEachCut(whole, [&](const Bytes& cut, size_t n) {
    const Staged l(cut);
    // Cut before the editor block starts: a model without objects; after,
    // the editor block needs every byte it declares.
    const bool empty = n >= 6 && n < editorData;
    EXPECT_EQ(l.result, empty ? 0 : -2);
    EXPECT_TRUE(l.mesh().faces.empty());
    EXPECT_TRUE(empty || (l.mesh().parts.empty() && l.mesh().meshVertices.empty()));
  });
  for (const char* name : {"3ds/RotatingCube.3DS", "3ds/test1.3ds"})
    test::ForEachCut(test::ReadBytes(test::ModelPath(name)), [](const Bytes& cut, size_t) {
      const int result = Staged(cut).result;
      EXPECT_TRUE(result == 0 || result == -2);
    });
}

TEST(Read3ds, SurvivesRandomCorruption) {
  int loaded = 0;
  for (const Bytes& whole :
       {test::ReadBytes(test::ModelPath("3ds/cubes_with_alpha.3DS")),
        test::ReadBytes(test::ModelPath("3ds/CameraRollAnimWithChildObject.3ds")),
        File(Join({Material("red", ByteColor(255, 0, 0)),
                   Object("A", Square(0, FaceMaterials("red", {1}))), Object("B", Square(2))}))}) {
    ASSERT_FALSE(whole.empty());
    test::ForEachDamage(whole, 1000, [&](const Bytes& bad) {
      const Staged l(bad);
      const ImportMesh& m = l.mesh();
      if (l.result != 0) {
        EXPECT_TRUE(l.result == -2 && m.faces.empty() && m.parts.empty() && m.objects.empty());
        return;
      }
      ++loaded;
      for (const MeshFace& f : m.faces) {
        for (int k = 0; k < 3; ++k)
          ASSERT_LT(static_cast<size_t>(f.cornerVertices[k]), m.meshVertices.size());
        ASSERT_LT(static_cast<size_t>(f.objectIndex), m.objects.size());
        ASSERT_LT(static_cast<size_t>(f.partIndex), m.parts.size());
      }
    });
  }
  EXPECT_GT(loaded, 0);  // corrupting coordinates or names alone still loads
}

}  // namespace
}  // namespace modra
