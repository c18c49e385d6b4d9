#include "formats/3ds_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "formats/import_dispatch.h"
#include "test_util.h"

namespace modra {
namespace {

using Bytes = std::vector<uint8_t>;

// ---- Writing 3DS chunks ----

void PutU16(Bytes& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void PutU32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutF32(Bytes& b, float f) {
  PutU32(b, std::bit_cast<uint32_t>(f));
}
void PutName(Bytes& b, std::string_view name) {
  b.insert(b.end(), name.begin(), name.end());
  b.push_back(0);
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts)
    all.insert(all.end(), p.begin(), p.end());
  return all;
}

// A chunk around `body`; its length counts the header unless `length` says
// otherwise.
Bytes Chunk(uint16_t id, const Bytes& body, std::optional<uint32_t> length = {}) {
  Bytes b;
  PutU16(b, id);
  PutU32(b, length.value_or(static_cast<uint32_t>(body.size() + 6)));
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

Bytes Vertices(const std::vector<Vec3>& xyz) {
  Bytes body;
  PutU16(body, static_cast<uint16_t>(xyz.size()));
  for (const Vec3& p : xyz)
    for (float f : p)
      PutF32(body, f);
  return Chunk(0x4110, body);
}

// Three vertex indices a face; `after` holds the sub-chunks stored after
// the face records.
Bytes Faces(const std::vector<std::array<uint16_t, 3>>& faces, const Bytes& after = {}) {
  Bytes body;
  PutU16(body, static_cast<uint16_t>(faces.size()));
  for (const auto& f : faces) {
    for (uint16_t v : f)
      PutU16(body, v);
    PutU16(body, 7);  // edge flags
  }
  body.insert(body.end(), after.begin(), after.end());
  return Chunk(0x4120, body);
}

Bytes FaceMaterials(std::string_view material, const std::vector<uint16_t>& faces) {
  Bytes body;
  PutName(body, material);
  PutU16(body, static_cast<uint16_t>(faces.size()));
  for (uint16_t f : faces)
    PutU16(body, f);
  return Chunk(0x4130, body);
}

Bytes Smoothing(size_t faces) {
  Bytes body;
  for (size_t i = 0; i < faces; ++i)
    PutU32(body, 1u << (i % 32));
  return Chunk(0x4150, body);
}

Bytes MappingCoords(size_t vertices) {
  Bytes body;
  PutU16(body, static_cast<uint16_t>(vertices));
  for (size_t i = 0; i < vertices; ++i) {
    PutF32(body, 0.25f * static_cast<float>(i));
    PutF32(body, 0.5f);
  }
  return Chunk(0x4140, body);
}

Bytes Mesh(const Bytes& children) {
  return Chunk(0x4100, children);
}

Bytes Object(std::string_view name, const Bytes& children) {
  Bytes body;
  PutName(body, name);
  body.insert(body.end(), children.begin(), children.end());
  return Chunk(0x4000, body);
}

Bytes ByteColor(uint8_t r, uint8_t g, uint8_t b, uint16_t id = 0x0011) {
  return Chunk(id, {r, g, b});
}
Bytes FloatColor(float r, float g, float b, uint16_t id = 0x0010) {
  Bytes body;
  PutF32(body, r);
  PutF32(body, g);
  PutF32(body, b);
  return Chunk(id, body);
}

Bytes MaterialName(std::string_view name) {
  Bytes body;
  PutName(body, name);
  return Chunk(0xA000, body);
}

// A material block: name, ambient (always grey), diffuse and specular
// colour chunks holding the given colour sub-chunks.
Bytes Material(std::string_view name, const Bytes& diffuse, const Bytes& specular = {}) {
  return Chunk(0xAFFF, Join({MaterialName(name), Chunk(0xA010, ByteColor(9, 9, 9)),
                             Chunk(0xA020, diffuse), Chunk(0xA030, specular)}));
}

Bytes MasterScale() {
  Bytes body;
  PutF32(body, 1.0f);
  return Chunk(0x0100, body);
}

// The main chunk: a version chunk, the editor block, then `after`.
Bytes File(const Bytes& editor, const Bytes& after = {}) {
  Bytes version;
  PutU32(version, 3);
  return Chunk(0x4D4D, Join({Chunk(0x0002, version), Chunk(0x3D3D, editor), after}));
}

// A unit square of two triangles in the file's x-y plane, shifted by `dx`.
Bytes Square(float dx = 0, const Bytes& afterFaces = {}) {
  return Mesh(Join({Vertices({{dx, 0, 0}, {dx + 1, 0, 0}, {dx + 1, 1, 0}, {dx, 1, 0}}),
                    Faces({{0, 1, 2}, {0, 2, 3}}, afterFaces)}));
}

// ---- Reading ----

struct Loaded {
  test::RecordedDocument d;
  int result = 0;
  const ImportMesh& mesh() { return d.doc.importMesh; }
};

void ReadInto(Loaded& l, const Bytes& bytes) {
  l.result = Read3dsBytes(l.d.doc, bytes);
}

// A private file for one test, removed afterwards.
class TempFile {
 public:
  explicit TempFile(const Bytes& bytes)
      : path_(::testing::TempDir() + "modra-3ds-" + std::to_string(::getpid()) + "-" +
              std::to_string(counter_++) + ".3ds") {
    std::ofstream(path_, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  ~TempFile() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  static inline int counter_ = 0;
  std::string path_;
};

Bytes LoadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::string TestModel(const std::string& name) {
  return std::string(MODRA_TESTDATA_DIR) + "/models/" + name;
}

// Top-level groups in the order the parts were made (the scene lists the
// newest first).
std::vector<int> GroupsInFileOrder(const Scene& s) {
  std::vector<int> groups;
  ForEachSibling(s, s.rootHead, [&](int g) { groups.push_back(g); });
  std::reverse(groups.begin(), groups.end());
  return groups;
}

int TriangleCount(const DisplayGroup& g) {
  int corners = 0;
  for (const DisplayPrimitive& p : g.primitives) {
    EXPECT_EQ(p.type, kTriangles);
    corners += p.vertexCount;
  }
  EXPECT_EQ(corners % 3, 0);
  return corners / 3;
}

// The colour of every corner of a group drawn with vertex colours.
std::vector<Vec3> CornerColors(const DisplayGroup& g) {
  std::vector<Vec3> colors;
  const int stride = VertexStride(g);
  for (const DisplayPrimitive& p : g.primitives)
    for (size_t v = 0; v + stride <= p.vertices.size(); v += stride)
      colors.push_back({p.vertices[v + 3], p.vertices[v + 4], p.vertices[v + 5]});
  return colors;
}

// ---- An independent reading of a file's chunk tree, by its lengths ----

struct ObjectInfo {
  std::string name;
  int faces = 0;
  std::vector<std::pair<std::string, int>> lists;  // material, faces listed
};
struct FileInfo {
  std::vector<ObjectInfo> objects;
  int positions = 0;
  std::map<std::string, Vec3> diffuse;
};

uint16_t U16At(const Bytes& b, size_t at) {
  return static_cast<uint16_t>(b.at(at) | b.at(at + 1) << 8);
}
uint32_t U32At(const Bytes& b, size_t at) {
  return U16At(b, at) | uint32_t{U16At(b, at + 2)} << 16;
}
std::string NameAt(const Bytes& b, size_t at) {
  std::string name;
  while (b.at(at) != 0)
    name += static_cast<char>(b[at++]);
  return name;
}

Vec3 ColorIn(const Bytes& b, size_t at, size_t end) {
  Vec3 c = {1, 1, 1};
  for (; at + 6 <= end; at += U32At(b, at + 2)) {
    const uint16_t id = U16At(b, at);
    for (int i = 0; i < 3; ++i) {
      if (id == 0x0010 || id == 0x0013)
        c[i] = std::bit_cast<float>(U32At(b, at + 6 + 4 * i));
      else if (id == 0x0011 || id == 0x0012)
        c[i] = b.at(at + 6 + i) / 255.0f;
      else
        c[i] = 1;
    }
  }
  return c;
}

void Walk(const Bytes& b, size_t at, size_t end, FileInfo& info, std::string& material) {
  while (at + 6 <= end) {
    const uint16_t id = U16At(b, at);
    const uint32_t length = U32At(b, at + 2);
    ASSERT_GE(length, 6u);
    const size_t next = at + length, data = at + 6;
    ASSERT_LE(next, b.size());
    switch (id) {
      case 0x4D4D:
      case 0x3D3D:
      case 0x4100:
      case 0xAFFF:
        Walk(b, data, next, info, material);
        break;
      case 0x4000: {
        std::string name = NameAt(b, data);
        info.objects.push_back({name, 0, {}});
        Walk(b, data + name.size() + 1, next, info, material);
        break;
      }
      case 0x4110:
        info.positions += U16At(b, data);
        break;
      case 0x4120:
        info.objects.back().faces += U16At(b, data);
        Walk(b, data + 2 + 8 * size_t{U16At(b, data)}, next, info, material);
        break;
      case 0x4130: {
        std::string name = NameAt(b, data);
        info.objects.back().lists.emplace_back(name, U16At(b, data + name.size() + 1));
        break;
      }
      case 0xA000:
        material = NameAt(b, data);
        break;
      case 0xA020:
        info.diffuse[material] = ColorIn(b, data, next);
        break;
    }
    at = next;
  }
}

FileInfo Inspect(const Bytes& b) {
  FileInfo info;
  std::string material;
  Walk(b, 0, b.size(), info, material);
  return info;
}

// The parts the objects make: an object renames the part before it when
// that one has no faces yet (the first object renames "None").
std::vector<ObjectInfo> ExpectedParts(const FileInfo& info) {
  std::vector<ObjectInfo> parts{{"None", 0, {}}};
  for (const ObjectInfo& o : info.objects) {
    if (parts.back().faces != 0) parts.push_back({});
    parts.back().name = o.name;
    parts.back().faces += o.faces;
    parts.back().lists.insert(parts.back().lists.end(), o.lists.begin(), o.lists.end());
  }
  return parts;
}

// ---- Real files ----

class Real3dsFiles : public ::testing::TestWithParam<std::string> {};

TEST_P(Real3dsFiles, LoadWithTheCountsTheirChunksDeclare) {
  const std::string path = TestModel("3ds/" + GetParam());
  const Bytes bytes = LoadFile(path);
  ASSERT_FALSE(bytes.empty());
  const FileInfo info = Inspect(bytes);
  ASSERT_FALSE(info.objects.empty());
  const std::vector<ObjectInfo> parts = ExpectedParts(info);

  Loaded staged;
  ReadInto(staged, bytes);
  ASSERT_EQ(staged.result, 0);
  EXPECT_EQ(staged.mesh().meshVertices.size(), static_cast<size_t>(info.positions));
  ASSERT_EQ(staged.mesh().parts.size(), parts.size());

  test::RecordedDocument d;
  ASSERT_EQ(ReadModelFile(d.doc, path, false), 0);
  EXPECT_TRUE(d.shell.messages.empty());
  const Scene& s = d.scene();
  const std::vector<int> groups = GroupsInFileOrder(s);
  ASSERT_EQ(groups.size(), parts.size());
  Vec3 lo = {9, 9, 9}, hi = {-9, -9, -9};
  for (size_t i = 0; i < groups.size(); ++i) {
    const DisplayGroup& g = s.groups[groups[i]];
    SCOPED_TRACE(g.name);
    EXPECT_EQ(g.name, parts[i].name);
    EXPECT_EQ(TriangleCount(g), parts[i].faces);

    // Centred on its own geometry, which its translation puts back.
    Vec3 glo = {9, 9, 9}, ghi = {-9, -9, -9};
    const int stride = VertexStride(g);
    for (const DisplayPrimitive& p : g.primitives)
      for (size_t v = 0; v + stride <= p.vertices.size(); v += stride)
        for (int k = 0; k < 3; ++k) {
          glo[k] = std::min(glo[k], p.vertices[v + k]);
          ghi[k] = std::max(ghi[k], p.vertices[v + k]);
        }
    if (parts[i].faces > 0) {
      for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(glo[k] + ghi[k], 0.0f, 1e-5f);
    }
    for (const Vec3& p : test::WorldPositions(s, groups[i]))
      for (int k = 0; k < 3; ++k) {
        lo[k] = std::min(lo[k], p[k]);
        hi[k] = std::max(hi[k], p[k]);
      }

    // A part whose faces one list gives to one material takes its colour.
    if (parts[i].lists.size() == 1 && parts[i].lists[0].second == parts[i].faces) {
      const auto material = info.diffuse.find(parts[i].lists[0].first);
      const Vec3 expected = material == info.diffuse.end() ? Vec3{1, 1, 1} : material->second;
      test::ExpectNear(g.color, expected, 1e-5f);
      EXPECT_FALSE(g.flags & VertexColors);
    } else if (parts[i].lists.empty()) {
      test::ExpectNear(g.color, {1, 1, 1});
    }
  }
  // The whole model sized into -1..1 along its longest side.
  float longest = 0;
  for (int k = 0; k < 3; ++k) {
    EXPECT_GE(lo[k], -1.0001f);
    EXPECT_LE(hi[k], 1.0001f);
    EXPECT_NEAR(lo[k] + hi[k], 0.0f, 1e-4f);
    longest = std::max(longest, hi[k] - lo[k]);
  }
  EXPECT_NEAR(longest, 2.0f, 1e-4f);
}

// Every model of the test data, whatever its name.
std::vector<std::string> RealFiles() {
  std::vector<std::string> names;
  std::error_code error;  // a missing directory fails TestDataHoldsRealFiles, not the binary
  for (const auto& entry : std::filesystem::directory_iterator(TestModel("3ds"), error))
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

TEST(Read3ds, UndecodableFilesReportOnceAndLeaveTheSceneAsItWas) {
  const Bytes cube = LoadFile(TestModel("3ds/RotatingCube.3DS"));
  ASSERT_GT(cube.size(), 700u);
  Bytes notMain = cube;
  notMain[1] = 0x3D;
  Bytes badIndex = File(Object("T", Mesh(Join({Vertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
                                               Faces({{0, 1, 2}, {0, 1, 3}})}))));
  const Bytes files[] = {notMain, Bytes(cube.begin(), cube.begin() + 700), badIndex};
  for (const Bytes& bytes : files) {
    TempFile file(bytes);
    for (bool append : {false, true}) {
      test::RecordedDocument d;
      test::AddTriangle(d.scene(), "kept");
      EXPECT_EQ(ReadModelFile(d.doc, file.path(), append), -1);
      EXPECT_EQ(d.shell.messages,
                std::vector<std::string>{"Can't decode " + file.path() + " correctly\n"});
      EXPECT_EQ(test::Names(d.scene(), d.scene().rootHead), std::vector<std::string>{"kept"});
      EXPECT_TRUE(d.doc.importMesh.faces.empty() && d.doc.importMesh.parts.empty());
    }
  }
}

TEST(Read3ds, EmptyAndMissingFilesLeaveTheSceneAsItWas) {
  test::RecordedDocument d;
  test::AddTriangle(d.scene(), "kept");
  const std::string empty = TestModel("invalid/empty.3ds");
  EXPECT_EQ(Read3dsModel(d.doc, empty), -2);
  EXPECT_EQ(ReadModelFile(d.doc, empty, false), -1);
  ASSERT_EQ(d.shell.messages.size(), 1u);
  EXPECT_EQ(d.shell.messages[0], "Can't decode " + empty + " correctly\n");

  const std::string missing = TestModel("3ds/no-such-model.3ds");
  EXPECT_EQ(Read3dsModel(d.doc, missing), -1);
  EXPECT_EQ(Read3dsModel(d.doc, TestModel("3ds")), -1);  // a directory
  EXPECT_EQ(ReadModelFile(d.doc, missing, true), -1);
  EXPECT_EQ(d.shell.messages.back(), "Can't open " + missing + " for read\n");
  EXPECT_EQ(test::Names(d.scene(), d.scene().rootHead), std::vector<std::string>{"kept"});
  EXPECT_TRUE(d.doc.importMesh.parts.empty());
}

// ---- Files written here ----

TEST(Read3ds, OnlyAMainChunkFirstIsAccepted) {
  const Bytes good = File(Object("Box", Square()));
  Loaded ok;
  ReadInto(ok, good);
  EXPECT_EQ(ok.result, 0);

  Bytes editorFirst = good;
  editorFirst[0] = 0x3D;
  editorFirst[1] = 0x3D;
  Loaded bad;
  ReadInto(bad, editorFirst);
  EXPECT_EQ(bad.result, -2);
  EXPECT_TRUE(bad.mesh().faces.empty());
  EXPECT_TRUE(bad.mesh().parts.empty());

  for (size_t n : {0, 1, 5}) {
    Loaded cut;
    ReadInto(cut, Bytes(good.begin(), good.begin() + static_cast<long>(n)));
    EXPECT_EQ(cut.result, -2) << n;
  }
}

TEST(Read3ds, StagesPositionsFacesPartsAndObjects) {
  // File positions (X, Y, Z) arrive as (Y, Z, -X).
  const Bytes file = File(Object(
      "Plate", Mesh(Join({Vertices({{1, 2, 3}, {4, 5, 6}, {7, 8, 10}}), Faces({{2, 0, 1}})}))));
  Loaded l;
  ReadInto(l, file);
  ASSERT_EQ(l.result, 0);
  const ImportMesh& m = l.mesh();
  ASSERT_EQ(m.meshVertices.size(), 3u);
  test::ExpectNear(m.meshVertices[0], {2, 3, -1});
  test::ExpectNear(m.meshVertices[2], {8, 10, -7});

  ASSERT_EQ(m.faces.size(), 1u);
  const MeshFace& f = m.faces[0];
  EXPECT_EQ(f.cornerCount, 3);
  EXPECT_EQ(f.cornerVertices[0], 2);
  EXPECT_EQ(f.cornerVertices[1], 0);
  EXPECT_EQ(f.cornerVertices[2], 1);
  EXPECT_FLOAT_EQ(f.creaseCos, 0.5f);
  EXPECT_EQ(f.objectIndex, 0);
  EXPECT_EQ(f.colorObject, -1);  // plain white corners
  EXPECT_EQ(f.owner, 0);
  EXPECT_FALSE(f.hasNormals);
  EXPECT_EQ(f.partIndex, 0);
  EXPECT_EQ(f.entryIndex, 0);

  ASSERT_EQ(m.parts.size(), 1u);
  EXPECT_EQ(m.parts[0].name, "Plate");
  ASSERT_EQ(m.parts[0].entries.size(), 1u);
  EXPECT_EQ(m.parts[0].entries[0].key, 1);
  EXPECT_EQ(m.parts[0].entries[0].faces, std::vector<int32_t>{0});

  ASSERT_EQ(m.objects.size(), 1u);
  const MeshObject& w = m.objects[0];
  EXPECT_EQ(w.name, "white");
  EXPECT_EQ((std::vector<float>{static_cast<float>(w.number), static_cast<float>(w.owner),
                                w.color[0], w.color[1], w.color[2], w.alpha, w.specularLevel,
                                w.shininess, w.ambient, w.crease}),
            (std::vector<float>{0, 0, 1, 1, 1, 1, 0.5f, 15, 0, 0.5f}));

  // The normal pass ran: one face normal, every corner linked to its face.
  ASSERT_EQ(m.faceNormals.size(), 1u);
  for (int v = 0; v < 3; ++v)
    EXPECT_EQ(m.vertexFaceStart[v + 1] - m.vertexFaceStart[v], 1);
}

TEST(Read3ds, FirstObjectRenamesNoneAndEveryLaterOneAddsAPart) {
  Loaded l;
  ReadInto(l, File(Join({Object("A", Square()), Object("B", Square(2))})));
  ASSERT_EQ(l.result, 0);
  ASSERT_EQ(l.mesh().parts.size(), 2u);
  EXPECT_EQ(l.mesh().parts[0].name, "A");
  EXPECT_EQ(l.mesh().parts[1].name, "B");
  EXPECT_EQ(l.mesh().faces[2].partIndex, 1);

  // Without any object the model is the one empty part "None".
  Loaded none;
  ReadInto(none, File(MasterScale()));
  ASSERT_EQ(none.result, 0);
  ASSERT_EQ(none.mesh().parts.size(), 1u);
  EXPECT_EQ(none.mesh().parts[0].name, "None");
}

TEST(Read3ds, SecondMeshIndexesThePositionsAfterTheFirst) {
  const Bytes cube = Mesh(Join({Vertices({{0, 0, 0},
                                          {1, 0, 0},
                                          {1, 1, 0},
                                          {0, 1, 0},
                                          {0, 0, 1},
                                          {1, 0, 1},
                                          {1, 1, 1},
                                          {0, 1, 1}}),
                                Faces({{0, 1, 2}, {4, 5, 6}})}));
  const Bytes second =
      Mesh(Join({Vertices({{5, 0, 0}, {6, 0, 0}, {6, 1, 0}}), Faces({{0, 1, 2}, {2, 1, 0}})}));
  Loaded l;
  ReadInto(l, File(Join({Object("Cube", cube), Object("Tri", second)})));
  ASSERT_EQ(l.result, 0);
  const ImportMesh& m = l.mesh();
  ASSERT_EQ(m.faces.size(), 4u);
  EXPECT_EQ(m.faces[2].cornerVertices[0], 8);
  EXPECT_EQ(m.faces[2].cornerVertices[2], 10);
  EXPECT_EQ(m.faces[3].cornerVertices[0], 10);
  test::ExpectNear(m.meshVertices[8], {0, 0, -5});

  // An index past the positions read so far is refused.
  Loaded outOfRange;
  ReadInto(outOfRange, File(Object("T", Mesh(Join({Vertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
                                                   Faces({{0, 1, 3}})})))));
  EXPECT_EQ(outOfRange.result, -2);
  EXPECT_TRUE(outOfRange.mesh().faces.empty());
  // Faces before any position.
  Loaded early;
  ReadInto(early, File(Object("T", Mesh(Faces({{0, 0, 0}})))));
  EXPECT_EQ(early.result, -2);
}

TEST(Read3ds, MaterialsTakeTheirColoursInEveryForm) {
  const Bytes editor = Join({
      Material("bytes", ByteColor(255, 0, 51), ByteColor(255, 255, 255)),
      Material("floats", FloatColor(0.25f, 0.5f, 0.75f), FloatColor(0.3f, 0.6f, 0.9f, 0x0013)),
      // The last colour sub-chunk decides; a foreign one makes it white.
      Material("last", Join({FloatColor(0, 0, 0), ByteColor(0, 255, 0, 0x0012)})),
      Material("foreign", Join({ByteColor(10, 20, 30), Chunk(0x0030, {1, 0})})),
      Material("empty", {}),
  });
  Loaded l;
  ReadInto(l, File(editor));
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
  for (const MeshObject& object : o) {
    EXPECT_EQ(object.number, 0);
    EXPECT_FLOAT_EQ(object.alpha, 1);
    EXPECT_FLOAT_EQ(object.shininess, 15);
    EXPECT_FLOAT_EQ(object.crease, 0.5f);
  }
  // The ambient colour, even after the diffuse one, changes nothing.
  Loaded ambient;
  ReadInto(ambient,
           File(Chunk(0xAFFF, Join({MaterialName("amb"), Chunk(0xA020, ByteColor(0, 0, 255)),
                                    Chunk(0xA010, ByteColor(9, 9, 9))}))));
  ASSERT_EQ(ambient.result, 0);
  test::ExpectNear(ambient.mesh().objects.back().color, {0, 0, 1}, 1e-6f);
  test::ExpectNear(ambient.mesh().objects[0].color, {1, 1, 1}, 0);
}

// A square whose faces chunk lists face 1 as "red", in an editor block
// that goes on after the object (as it does before every object but the
// last).
TEST(Read3ds, FaceMaterialListColoursTheListedFaces) {
  const Bytes editor =
      Join({Material("green", ByteColor(0, 255, 0)), Material("red", ByteColor(255, 0, 0)),
            Object("Square", Square(0, Join({FaceMaterials("red", {1}), Smoothing(2)}))),
            MasterScale()});
  Loaded l;
  ReadInto(l, File(editor));
  ASSERT_EQ(l.result, 0);
  const ImportMesh& m = l.mesh();
  ASSERT_EQ(m.faces.size(), 2u);
  EXPECT_EQ(m.faces[0].objectIndex, 0);
  EXPECT_EQ(m.faces[1].objectIndex, 2);
  EXPECT_EQ(m.faces[1].colorObject, 2);

  // Drawn: the part mixes materials, so its corners carry the colours.
  TempFile file(File(editor));
  test::RecordedDocument d;
  ASSERT_EQ(ReadModelFile(d.doc, file.path(), false), 0);
  const DisplayGroup& g = d.scene().groups[d.scene().rootHead];
  EXPECT_EQ(g.name, "Square");
  ASSERT_TRUE(g.flags & VertexColors);
  const std::vector<Vec3> colors = CornerColors(g);
  ASSERT_EQ(colors.size(), 6u);
  for (int k = 0; k < 3; ++k) {
    test::ExpectNear(colors[k], {1, 1, 1});
    test::ExpectNear(colors[3 + k], {1, 0, 0});
  }
}

TEST(Read3ds, FaceMaterialListOfTheLastObjectStillColoursItsFaces) {
  // Nothing follows the object in the editor block, so the list is met
  // after the editor loop has ended.
  const Bytes file = File(Join({Material("red", ByteColor(255, 0, 0)),
                                Object("Square", Square(0, FaceMaterials("red", {0, 1})))}));
  TempFile path(file);
  test::RecordedDocument d;
  ASSERT_EQ(ReadModelFile(d.doc, path.path(), false), 0);
  const DisplayGroup& g = d.scene().groups[d.scene().rootHead];
  EXPECT_FALSE(g.flags & VertexColors);
  test::ExpectNear(g.color, {1, 0, 0});
}

TEST(Read3ds, FaceMaterialListsNameTheLatestFacesChunk) {
  const Bytes editor = Join({Material("red", ByteColor(255, 0, 0)),
                             Object("A", Square(0, FaceMaterials("red", {1}))),
                             Object("B", Square(3, FaceMaterials("nobody", {0, 1}))),
                             Object("C", Square(6, FaceMaterials("red", {0}))), MasterScale()});
  Loaded l;
  ReadInto(l, File(editor));
  ASSERT_EQ(l.result, 0);
  std::vector<int32_t> objects;
  for (const MeshFace& f : l.mesh().faces)
    objects.push_back(f.objectIndex);
  // An unknown material leaves its faces with "white".
  EXPECT_EQ(objects, (std::vector<int32_t>{0, 1, 0, 0, 1, 0}));

  // A face number past the latest faces chunk is refused.
  for (uint16_t face : {2, 65535}) {
    Loaded bad;
    ReadInto(bad, File(Join({Object("A", Square()),
                             Object("B", Square(3, FaceMaterials("white", {0, face}))),
                             MasterScale()})));
    EXPECT_EQ(bad.result, -2) << face;
  }
  // And so is a list before any faces.
  Loaded early;
  ReadInto(early, File(FaceMaterials("white", {0})));
  EXPECT_EQ(early.result, -2);
}

TEST(Read3ds, TextureCoordinatesSmoothingGroupsAndFlagsChangeNothing) {
  const std::vector<Vec3> ring = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0.5f}, {0, 1, 1}, {1, 2, 0}};
  const std::vector<std::array<uint16_t, 3>> faces = {{0, 1, 2}, {0, 2, 3}, {3, 2, 4}};
  Bytes axes, flags, countlessFlags(10, 7);
  for (int i = 0; i < 12; ++i)
    PutF32(axes, static_cast<float>(i));
  PutU16(flags, 5);
  flags.insert(flags.end(), 10, 7);
  const Bytes variants[] = {
      File(Object("O", Mesh(Join({Vertices(ring), Faces(faces)})))),
      File(Object("O", Mesh(Join({Vertices(ring), MappingCoords(ring.size()), Chunk(0x4111, flags),
                                  Chunk(0x4160, axes), Faces(faces, Smoothing(3))})))),
      // Vertex flags written without their count.
      File(Object("O", Mesh(Join({Vertices(ring), Chunk(0x4111, countlessFlags), Faces(faces)})))),
  };
  std::vector<std::vector<DisplayPrimitive>> drawn;
  for (const Bytes& variant : variants) {
    TempFile file(variant);
    test::RecordedDocument d;
    ASSERT_EQ(ReadModelFile(d.doc, file.path(), false), 0);
    const DisplayGroup& g = d.scene().groups[d.scene().rootHead];
    EXPECT_FALSE(g.flags & TexCoords);
    EXPECT_EQ(TriangleCount(g), 3);
    drawn.push_back(g.primitives);
  }
  for (size_t v = 1; v < drawn.size(); ++v) {
    ASSERT_EQ(drawn[v].size(), drawn[0].size());
    for (size_t i = 0; i < drawn[0].size(); ++i)
      EXPECT_EQ(drawn[v][i].vertices, drawn[0][i].vertices) << v;
  }
  // Staged, the mapping coordinates left no trace either.
  Loaded l;
  ReadInto(l, variants[1]);
  ASSERT_EQ(l.result, 0);
  EXPECT_TRUE(l.mesh().meshTexCoords.empty());
  EXPECT_TRUE(l.mesh().cornerTexCoords.empty());
  EXPECT_EQ(l.mesh().defaultTexCoord, (std::array<float, 2>{0, 0}));
}

// Two triangles hinged on the file's x axis: the first lies in the x-y
// plane facing +Z, the second is folded up by `fold` degrees about the
// hinge. File +Z arrives as +y, so their normals are (0, 1, 0) and
// (sin fold, cos fold, 0).
std::vector<Vec3> HingeNormals(float fold) {
  const float rad = fold * 3.14159265f / 180.0f;
  const Bytes file = File(Object(
      "Hinge",
      Mesh(Join({Vertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -std::cos(rad), std::sin(rad)}}),
                 Faces({{0, 1, 2}, {1, 0, 3}})}))));
  TempFile path(file);
  test::RecordedDocument d;
  EXPECT_EQ(ReadModelFile(d.doc, path.path(), false), 0);
  const DisplayGroup& g = d.scene().groups[d.scene().rootHead];
  std::vector<Vec3> normals;
  const int stride = VertexStride(g), at = NormalOffset(g.flags);
  for (const DisplayPrimitive& p : g.primitives)
    for (size_t v = 0; v + stride <= p.vertices.size(); v += stride)
      normals.push_back({p.vertices[v + at], p.vertices[v + at + 1], p.vertices[v + at + 2]});
  return normals;
}

TEST(Read3ds, NormalsFaceOutOfTheFrontAndSmoothOnlyWithinTheCrease) {
  const Vec3 up = {0, 1, 0};
  // Folded 90 degrees: the faces keep their own normals at the hinge too.
  const Vec3 side = {1, 0, 0};
  const std::vector<Vec3> square = HingeNormals(90);
  ASSERT_EQ(square.size(), 6u);
  for (int k = 0; k < 3; ++k) {
    test::ExpectNear(square[k], up);
    test::ExpectNear(square[3 + k], side);
  }
  // Folded 30 degrees: the hinge corners (the first two of each face) share
  // the mean; the far corners keep their face's normal.
  const Vec3 tilted = {0.5f, 0.8660254f, 0};
  const float half = std::sqrt(2 + 2 * 0.8660254f);
  const Vec3 mean = {0.5f / half, 1.8660254f / half, 0};
  const std::vector<Vec3> shallow = HingeNormals(30);
  ASSERT_EQ(shallow.size(), 6u);
  for (int k : {0, 1, 3, 4})
    test::ExpectNear(shallow[k], mean);
  test::ExpectNear(shallow[2], up);
  test::ExpectNear(shallow[5], tilted);
}

// A material block without a name colours the latest object, which before
// any named material is "white" itself; faces no list names still draw
// plain white corners.
TEST(Read3ds, UnlistedFacesStayWhiteWhenWhiteIsRecoloured) {
  const Bytes editor = Join(
      {Chunk(0xAFFF, Chunk(0xA020, ByteColor(0, 0, 255))), Material("red", ByteColor(255, 0, 0)),
       Object("Square", Square(0, FaceMaterials("red", {1}))), MasterScale()});
  Loaded l;
  ReadInto(l, File(editor));
  ASSERT_EQ(l.result, 0);
  test::ExpectNear(l.mesh().objects[0].color, {0, 0, 1});

  TempFile path(File(editor));
  test::RecordedDocument d;
  ASSERT_EQ(ReadModelFile(d.doc, path.path(), false), 0);
  const DisplayGroup& g = d.scene().groups[d.scene().rootHead];
  ASSERT_TRUE(g.flags & VertexColors);
  const std::vector<Vec3> colors = CornerColors(g);
  ASSERT_EQ(colors.size(), 6u);
  for (int k = 0; k < 3; ++k) {
    test::ExpectNear(colors[k], {1, 1, 1});
    test::ExpectNear(colors[3 + k], {1, 0, 0});
  }
}

// ---- Files that lie ----

TEST(Read3ds, NamesMustEndInsideTheirChunk) {
  // An object whose name runs to the end of its chunk, with a zero byte
  // only in the next chunk.
  Bytes name = {'B', 'o', 'x'};
  Loaded object;
  ReadInto(object, File(Join({Chunk(0x4000, name), MasterScale()})));
  EXPECT_EQ(object.result, -2);

  Loaded material;
  ReadInto(material, File(Join({Chunk(0xAFFF, Chunk(0xA000, name)), MasterScale()})));
  EXPECT_EQ(material.result, -2);

  Loaded list;
  ReadInto(list, File(Join({Object("A", Square()), Chunk(0x4130, name), MasterScale()})));
  EXPECT_EQ(list.result, -2);

  // At the very end of the file.
  Bytes tail = File(Object("A", Square()));
  tail.insert(tail.end(), {0x00, 0x40, 50, 0, 0, 0, 'x', 'y'});
  Loaded end;
  ReadInto(end, tail);
  EXPECT_EQ(end.result, -2);
}

TEST(Read3ds, ObjectWhoseNameFillsItsChunkKeepsItsNeighbour) {
  // "Light" has no sub-chunks: the object after it is still an object.
  Loaded l;
  ReadInto(l, File(Join({Object("Light", {}), Object("Box", Square())})));
  ASSERT_EQ(l.result, 0);
  ASSERT_EQ(l.mesh().parts.size(), 1u);
  EXPECT_EQ(l.mesh().parts[0].name, "Box");
  EXPECT_EQ(l.mesh().faces.size(), 2u);
}

TEST(Read3ds, ChunksShorterThanTheirHeaderAreRefused) {
  for (uint32_t length : {0u, 1u, 5u}) {
    Loaded inside;
    ReadInto(inside, File(Join({Chunk(0x0100, {}, length), Object("A", Square())})));
    EXPECT_EQ(inside.result, -2) << length;
    Loaded top;
    ReadInto(top, File(Object("A", Square()), Chunk(0xB000, {}, length)));
    EXPECT_EQ(top.result, -2) << length;
  }
  // Exactly a header is fine.
  Loaded six;
  ReadInto(six, File(Join({Chunk(0x0100, {}), Object("A", Square())})));
  EXPECT_EQ(six.result, 0);
}

TEST(Read3ds, ChunksClaimingMoreThanTheFileEndIt) {
  // A skipped chunk at the end that claims a gigabyte: the file ends there.
  Loaded top;
  ReadInto(top, File(Object("A", Square()), Chunk(0xB000, {1, 2, 3}, 1u << 30)));
  EXPECT_EQ(top.result, 0);
  EXPECT_EQ(top.mesh().faces.size(), 2u);

  // Inside the editor block it swallows the rest of the file.
  Loaded inside;
  ReadInto(inside, File(Join({Chunk(0x0100, {1, 2}, 0xFFFFFFFF), Object("A", Square())})));
  EXPECT_EQ(inside.result, 0);
  EXPECT_TRUE(inside.mesh().faces.empty());
  // Inside an object that claims even more, the next header cannot be read.
  Loaded object;
  ReadInto(object, File(Chunk(0x4000, Join({{'A', 0}, Chunk(0x4700, {1, 2}, 0x10000)}), 0x20000)));
  EXPECT_EQ(object.result, -2);

  // A main chunk claiming too much (or too little) is read to the file's end.
  Bytes main = File(Object("A", Square()));
  for (uint32_t length : {0u, 0xFFFFFFFFu}) {
    for (int i = 0; i < 4; ++i)
      main[2 + i] = static_cast<uint8_t>(length >> (8 * i));
    Loaded l;
    ReadInto(l, main);
    EXPECT_EQ(l.result, 0);
  }
}

TEST(Read3ds, CountsBeyondTheFileAreRefusedBeforeAnythingGrows) {
  Bytes many;
  PutU16(many, 65535);
  PutF32(many, 1);
  for (uint16_t id : {0x4110, 0x4120}) {
    Loaded l;
    ReadInto(l, File(Object("A", Mesh(Chunk(id, many)))));
    EXPECT_EQ(l.result, -2) << std::hex << id;
  }
  Bytes list;
  PutName(list, "white");
  PutU16(list, 65535);
  Loaded l;
  ReadInto(l, File(Join({Object("A", Square()), Chunk(0x4130, list), MasterScale()})));
  EXPECT_EQ(l.result, -2);
}

TEST(Read3ds, NestingIsBounded) {
  auto nested = [](int depth) {
    Bytes inner = Square();
    for (int i = 0; i < depth; ++i)
      inner = Mesh(Object("o" + std::to_string(i), inner));
    return File(Object("top", inner));
  };
  Loaded fine;
  ReadInto(fine, nested(99));
  EXPECT_EQ(fine.result, 0);
  EXPECT_EQ(fine.mesh().faces.size(), 2u);
  Loaded deep;
  ReadInto(deep, nested(100));
  EXPECT_EQ(deep.result, -2);
}

TEST(Read3ds, EveryTruncationEndsCleanly) {
  const Bytes editor =
      Join({Material("red", ByteColor(255, 0, 0), FloatColor(1, 1, 1)),
            Object("A", Square(0, Join({FaceMaterials("red", {1}), Smoothing(2)}))),
            Object("B", Square(2))});
  const Bytes whole = File(editor);
  const size_t editorData = 6 + 10 + 6;  // main header, version chunk, editor header
  for (size_t n = 0; n < whole.size(); ++n) {
    // A buffer of exactly n bytes, so that the sanitizer sees any read past it.
    const Bytes cut(whole.begin(), whole.begin() + static_cast<long>(n));
    Loaded l;
    ReadInto(l, cut);
    if (n < 6 || n >= editorData) {
      // The editor block needs every byte it declares.
      EXPECT_EQ(l.result, -2) << n;
      EXPECT_TRUE(l.mesh().parts.empty()) << n;
      EXPECT_TRUE(l.mesh().meshVertices.empty()) << n;
    } else {
      // Cut before the editor block starts: a model without objects.
      EXPECT_EQ(l.result, 0) << n;
      EXPECT_TRUE(l.mesh().faces.empty()) << n;
    }
  }
  for (const char* name : {"3ds/RotatingCube.3DS", "3ds/test1.3ds"}) {
    const Bytes real = LoadFile(TestModel(name));
    for (size_t n = 0; n < real.size(); ++n) {
      const Bytes cut(real.begin(), real.begin() + static_cast<long>(n));
      Loaded l;
      ReadInto(l, cut);
      EXPECT_TRUE(l.result == 0 || l.result == -2) << name << " " << n;
    }
  }
}

TEST(Read3ds, SurvivesRandomCorruption) {
  std::mt19937 random(3);
  std::vector<Bytes> files = {LoadFile(TestModel("3ds/cubes_with_alpha.3DS")),
                              LoadFile(TestModel("3ds/CameraRollAnimWithChildObject.3ds"))};
  files.push_back(
      File(Join({Material("red", ByteColor(255, 0, 0)),
                 Object("A", Square(0, FaceMaterials("red", {1}))), Object("B", Square(2))})));
  int loaded = 0;
  for (const Bytes& whole : files) {
    ASSERT_FALSE(whole.empty());
    for (int round = 0; round < 2000; ++round) {
      Bytes bad = whole;
      for (int i = 0, n = 1 + static_cast<int>(random() % 4); i < n; ++i)
        bad[random() % bad.size()] = static_cast<uint8_t>(random());
      Loaded l;
      ReadInto(l, bad);
      const ImportMesh& m = l.mesh();
      if (l.result != 0) {
        EXPECT_EQ(l.result, -2);
        EXPECT_TRUE(m.faces.empty() && m.parts.empty() && m.objects.empty());
        continue;
      }
      ++loaded;
      for (const MeshFace& f : m.faces) {
        for (int k = 0; k < 3; ++k)
          ASSERT_LT(static_cast<size_t>(f.cornerVertices[k]), m.meshVertices.size());
        ASSERT_LT(static_cast<size_t>(f.objectIndex), m.objects.size());
        ASSERT_LT(static_cast<size_t>(f.partIndex), m.parts.size());
      }
    }
  }
  EXPECT_GT(loaded, 0);  // corrupting coordinates or names alone still loads
}

}  // namespace
}  // namespace modra
