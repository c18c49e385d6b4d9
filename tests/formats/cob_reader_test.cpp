// Truespace .cob files: the sample files end to end, hand-made files of
// all three forms (ASCII, binary, big-endian binary), and damaged files.
#include "formats/cob_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "formats/cob_test_util.h"
#include "formats/import_test_util.h"
#include "reader_harness.h"

namespace modra {
namespace {

using test::Bytes, test::CobAscii, test::CobBinary, test::CobChunk, test::CobFace;
using test::CobMaterialChunk, test::CobModel, test::CobOtherChunk, test::CobPolygonChunk;
using Ints = std::vector<int32_t>;
using test::Corners;

const std::string kCobDir = test::ModelPath("cob/");

enum class Form { kAscii, kBinary, kBigEndian };
const char* const kFormNames[] = {"Ascii", "Binary", "BigEndian"};

Bytes Encode(const CobModel& model, Form form) {
  return form == Form::kAscii ? test::CobBytes(CobAscii(model))
                              : CobBinary(model, form == Form::kBigEndian);
}

int ReadText(Document& doc, const std::string& text) {
  return ReadCobBytes(doc, test::CobBytes(text));
}

// Where a file is whole: after the end chunk's type (ASCII) or header (binary).
size_t CompleteAt(const Bytes& file, bool ascii) {
  return ascii ? std::string(file.begin(), file.end()).rfind("END ") + 4 : file.size();
}

// What a read stored must stay inside the mesh's tables.
void ExpectConsistent(const ImportMesh& m) {
  ASSERT_EQ(m.cornerTexCoords.size(), m.faces.size());
  for (size_t i = 0; i < m.faces.size(); ++i) {
    const MeshFace& f = m.faces[i];
    ASSERT_TRUE(f.cornerCount == 3 || f.cornerCount == 4);
    for (int k = 0; k < f.cornerCount; ++k) {
      ASSERT_LT(static_cast<size_t>(f.cornerVertices[k]), m.meshVertices.size());
      const int32_t t = m.cornerTexCoords[i][k];
      ASSERT_TRUE(t == -1 || (t >= 0 && static_cast<size_t>(t) < m.meshTexCoords.size()));
    }
    ASSERT_LT(static_cast<size_t>(f.objectIndex), m.objects.size());
    ASSERT_TRUE(f.colorObject == -1 || static_cast<size_t>(f.colorObject) < m.objects.size());
    ASSERT_LT(static_cast<size_t>(f.partIndex), m.parts.size());
  }
}

// A unit cube: vertex i has x = bit 0, y = bit 1, z = bit 2.
CobPolygonChunk Cube() {
  CobPolygonChunk p;
  p.name = "Name Cube";
  for (int i = 0; i < 8; ++i)
    p.vertices.push_back({float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1)});
  const int quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                           {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
  for (const auto& q : quads)
    p.faces.push_back({0, {{q[0], 0}, {q[1], 0}, {q[2], 0}, {q[3], 0}}});
  return p;
}

// A flat polygon in the file's z = 0 plane.
CobPolygonChunk Polygon(const std::vector<std::array<float, 2>>& points) {
  CobPolygonChunk p;
  p.faces.emplace_back();
  for (size_t i = 0; i < points.size(); ++i) {
    p.vertices.push_back({points[i][0], points[i][1], 0});
    p.faces[0].corners.push_back({static_cast<int32_t>(i), 0});
  }
  return p;
}
const std::vector<std::array<float, 2>> kPentagon = {{0, 0}, {2, 0}, {3, 2}, {1, 3}, {-1, 2}};

// The normal pass's face normal (c - a) x (b - a), twice the triangle's area long.
Vec3 AreaNormal(const ImportMesh& m, int a, int b, int c) {
  const Vec3& pa = m.meshVertices[a];
  return test::Cross(test::Sub(m.meshVertices[c], pa), test::Sub(m.meshVertices[b], pa));
}
float Area(const ImportMesh& m, size_t from) {
  float area = 0;
  for (size_t i = from; i < m.faces.size(); ++i) {
    const Vec3 n = AreaNormal(m, m.faces[i].cornerVertices[0], m.faces[i].cornerVertices[1],
                              m.faces[i].cornerVertices[2]);
    area += 0.5f * test::Length(n);
  }
  return area;
}

class CobForms : public ::testing::TestWithParam<Form> {
 protected:
  int Read(const CobModel& model) { return ReadCobBytes(doc, Encode(model, GetParam())); }
  const ImportMesh& mesh() const { return doc.importMesh; }
  bool ascii() const { return GetParam() == Form::kAscii; }
  Document doc;
};

INSTANTIATE_TEST_SUITE_P(AllForms, CobForms,
                         ::testing::Values(Form::kAscii, Form::kBinary, Form::kBigEndian),
                         [](const auto& info) {
                           return std::string(kFormNames[static_cast<int>(info.param)]);
                         });

TEST_P(CobForms, FacesWrittenFromBothSidesCountOnceAndHolesAreSkipped) {
  CobPolygonChunk cube = Cube();
  std::vector<CobFace> twice;
  for (const CobFace& f : cube.faces) {
    twice.push_back(f);
    twice.push_back(f);
    std::reverse(twice.back().corners.begin(), twice.back().corners.end());
  }
  cube.faces = twice;
  ASSERT_EQ(Read({{cube}}), 0);
  EXPECT_EQ(mesh().faces.size(), 6u);
  // The same face again in the same order is no back side; corners reversed.
  cube.faces.push_back(twice.front());
  ASSERT_EQ(Read({{cube}}), 0);
  ASSERT_EQ(mesh().faces.size(), 7u);
  EXPECT_EQ(Corners(mesh().faces[0]), (Ints{2, 3, 1, 0}));
  EXPECT_EQ(Corners(mesh().faces[6]), (Ints{2, 3, 1, 0}));
  ExpectConsistent(mesh());
  // Holes and faces of fewer than three corners leave no face.
  cube.faces = {
      {0, {{0, 0}, {1, 0}, {2, 0}}, true}, {0, {{0, 0}, {1, 0}}}, {0, {{4, 0}, {5, 0}, {6, 0}}}};
  ASSERT_EQ(Read({{cube}}), 0);
  ASSERT_EQ(mesh().faces.size(), 1u);
  EXPECT_EQ(Corners(mesh().faces[0]), (Ints{6, 5, 4}));
}

TEST_P(CobForms, PolygonsAreTriangulatedFacingOneWayOrFannedWhenRefused) {
  ASSERT_EQ(Read({{Polygon(kPentagon)}}), 0);
  const ImportMesh& m = mesh();
  ASSERT_EQ(m.faces.size(), 3u);
  for (size_t i = 0; i < m.faces.size(); ++i) {
    EXPECT_EQ(m.faces[i].cornerCount, 3);
    test::ExpectNear(m.faceNormals[i], m.faceNormals[0]);
  }
  EXPECT_NEAR(Area(m, 0), 8.0f, 1e-4f);  // the pentagon's shoelace area
  // Facing as the reversed corner list's first three corners (4 3 2) say.
  const Vec3 n = AreaNormal(m, 4, 3, 2);
  const float length = test::Length(n);
  test::ExpectNear(m.faceNormals[0], {n[0] / length, n[1] / length, n[2] / length});
  ExpectConsistent(m);
  // A bow-tie whose halves cancel has no even-odd area: the triangulator
  // refuses it, so a fan from the first corner of the reversed list.
  ASSERT_EQ(Read({{Polygon({{0, 0}, {2, 2}, {2, 0}, {0, 2}, {0, 1}})}}), 0);
  ASSERT_EQ(m.faces.size(), 3u);
  EXPECT_EQ(Corners(m.faces[0]), (Ints{4, 3, 2}));
  EXPECT_EQ(Corners(m.faces[1]), (Ints{4, 2, 1}));
  EXPECT_EQ(Corners(m.faces[2]), (Ints{4, 1, 0}));
}

TEST_P(CobForms, TriangulatedCornersKeepTheirOwnTextureVertex) {
  // A concave hexagon; corner i uses texture vertex 5 - i.
  CobPolygonChunk p = Polygon({{0, 0}, {4, 0}, {4, 3}, {2, 1}, {0, 3}, {-1, 1}});
  for (int i = 0; i < 6; ++i)
    p.texVertices.push_back({float(i), 0});
  for (auto& c : p.faces[0].corners)
    c[1] = 5 - c[0];
  CobPolygonChunk before = Cube();  // shifts both bases
  before.texVertices = {{0, 0}, {1, 1}};
  before.id = 7;
  ASSERT_EQ(Read({{before, p}}), 0);
  const ImportMesh& m = mesh();
  ASSERT_EQ(m.faces.size(), 6u + 4u);
  for (size_t i = 6; i < m.faces.size(); ++i)
    for (int k = 0; k < 3; ++k)
      EXPECT_EQ(m.cornerTexCoords[i][k] - 2, 5 - (m.faces[i].cornerVertices[k] - 8));
  EXPECT_NEAR(Area(m, 6), 9.5f, 1e-4f);  // cut properly, not fanned over the notch
}

// Only a chunk with texture vertices is textured: without them a corner's
// texture number means nothing.
TEST_P(CobForms, EachChunkCountsFromItsOwnFirstVertexThroughItsTransform) {
  CobPolygonChunk a = Polygon({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), b = a;
  a.id = 1;
  b.id = 2;
  b.name = "Name Second";
  a.texVertices = {{0, 0}, {1, 0}, {1, 1}};
  a.faces = {{0, {{0, 0}, {1, 1}, {2, 2}}}};
  b.faces = {{0, {{0, 77}, {1, 1}, {2, 2}}}};
  a.vertices[0] = {1, 2, 3};
  a.rows = {2, 0, 0, 10, 0, 3, 0, 20, 0, 0, 4, 30};
  ASSERT_EQ(Read({{a, b}}), 0);
  const ImportMesh& m = mesh();
  // X = 12, Y = 26, Z = 42 become (-X, Z, -Y).
  test::ExpectNear(m.meshVertices[0], {-12, 42, -26});
  test::ExpectNear(m.meshVertices[1], {-12, 30, -20});
  ASSERT_EQ(m.faces.size(), 2u);
  EXPECT_EQ(Corners(m.faces[1]), (Ints{6, 5, 4}));
  EXPECT_EQ(m.cornerTexCoords[0], (std::array<int32_t, 4>{2, 1, 0, -1}));
  EXPECT_EQ(m.cornerTexCoords[1], (std::array<int32_t, 4>{-1, -1, -1, -1}));
  EXPECT_EQ(std::tie(m.faces[1].owner, m.faces[1].partIndex), std::tuple(2, 1));
  ASSERT_EQ(m.parts.size(), 2u);
  EXPECT_TRUE(m.parts[0].flags & TexCoords);
  EXPECT_FALSE(m.parts[1].flags & TexCoords);
  // The first chunk took over the part "None".
  EXPECT_EQ(std::tie(m.parts[0].name, m.parts[1].name), std::tuple("Name Thing", "Name Second"));
  ASSERT_EQ(m.parts[1].entries.size(), 1u);
  EXPECT_EQ(m.parts[1].entries[0].key, 1);
}

TEST_P(CobForms, FacesTakeTheMaterialOfTheirChunkAndNumber) {
  CobPolygonChunk a = Cube(), b = Cube();
  b.id = 200;
  a.faces[1].material = 1;
  a.faces[2].material = 2;  // no such material
  for (CobFace& f : b.faces)
    f.material = 1;  // only chunk 100 has a material 1
  CobMaterialChunk one{1, 100, "smooth", {0.5f, 0.25f, 0.125f}, 0.75f, 0.25f};
  CobMaterialChunk zero{0, 100, "auto60", {0.9f, 0.5f, 0.0f}, 0.75f, 0.5f};
  CobMaterialChunk oneAgain = one;  // the first of equal materials wins
  oneAgain.rgb = {0, 0, 0};
  ASSERT_EQ(Read({{a, b, one, zero, oneAgain}}), 0);
  const ImportMesh& m = mesh();
  // The first material took the default's slot; white for the rest comes last.
  ASSERT_EQ(m.objects.size(), 4u);
  EXPECT_EQ(std::tie(m.objects[0].number, m.objects[0].owner), std::tuple(1, 100));
  test::ExpectNear(m.objects[0].color, {0.75f, 0.5f, 0.375f});
  test::ExpectNear(m.objects[1].color, {1.0f, 1.0f, 0.5f});  // 1.4 and 1.0 clamp to 1
  EXPECT_FLOAT_EQ(m.objects[1].ambient, 0.5f);
  EXPECT_EQ(std::tie(m.faces[0].objectIndex, m.faces[0].colorObject), std::tuple(1, 1));
  EXPECT_EQ(m.faces[1].objectIndex, 0);
  for (size_t i : {size_t{2}, size_t{6}, size_t{11}})  // white, faceted
    EXPECT_EQ(std::tie(m.faces[i].objectIndex, m.faces[i].colorObject, m.faces[i].creaseCos),
              std::tuple(3, -1, 1.0f))
        << i;
  test::ExpectNear(m.objects[3].color, {1, 1, 1});
  // Only the ASCII form carries alpha, ks and exponent.
  EXPECT_FLOAT_EQ(m.objects[0].alpha, ascii() ? 0.75f : 1.0f);
  EXPECT_FLOAT_EQ(m.objects[0].specularLevel, ascii() ? 0.25f : 0.5f);
  EXPECT_FLOAT_EQ(m.objects[0].shininess, ascii() ? 64.0f : 15.0f);
}

// A material's facet setting becomes the crease value its faces smooth by;
// other chunks and other versions are skipped.
TEST_P(CobForms, FacetSettingsBecomeCreaseValuesAndOtherChunksAreSkipped) {
  CobOtherChunk unit, newer{"PolH", 1, "Name Newer\nwhatever\n", {1, 2, 3, 4, 5, 6, 7}};
  std::vector<CobChunk> chunks = {unit, newer, Cube()};
  const std::pair<std::string, float> facets[] = {{"faceted", 1.0f}, {"smooth", 2.0f},
                                                  {"auto60", 0.5f},  {"auto0", 1.0f},
                                                  {"auto90", 0.0f},  {"auto100", -0.173648f}};
  for (int i = 0; i < 6; ++i) {
    std::get<CobPolygonChunk>(chunks[2]).faces[i].material = i;
    chunks.push_back(CobMaterialChunk{i, 100, facets[i].first});
  }
  chunks.push_back(unit);
  ASSERT_EQ(Read({chunks}), 0);
  ASSERT_EQ(mesh().parts.size(), 1u);
  EXPECT_EQ(mesh().parts[0].name, "Name Cube");
  ASSERT_EQ(mesh().faces.size(), 6u);
  for (int i = 0; i < 6; ++i)
    EXPECT_NEAR(mesh().faces[i].creaseCos, facets[i].second, 1e-5f) << facets[i].first;
}

TEST_P(CobForms, IndicesOutsideTheChunkAndHugeCountsAreRefused) {
  CobPolygonChunk textured = Cube();
  textured.texVertices = {{0, 0}, {1, 1}};
  // A position past the chunk or negative, a texture vertex likewise.
  for (auto [corner, field, value] : {std::array{0, 0, 8}, {1, 0, -1}, {2, 1, 2}, {3, 1, -5}}) {
    CobPolygonChunk bad = textured;
    bad.faces[3].corners[corner][field] = value;
    EXPECT_EQ(Read({{bad}}), -2) << corner;
    EXPECT_TRUE(mesh().faces.empty());
  }
  // A vertex of an earlier chunk is not this chunk's.
  CobPolygonChunk second = Cube();
  second.faces[0].corners[0][0] = -1;
  EXPECT_EQ(Read({{Cube(), second}}), -2);

  Bytes bytes = Encode({{Cube()}}, GetParam());
  if (ascii()) {
    std::string text(bytes.begin(), bytes.end());
    text.replace(text.find("World Vertices 8"), 16, "World Vertices 2147483647");
    bytes.assign(text.begin(), text.end());
  } else {
    // The vertex count follows the name, the axes and the transform.
    const size_t at = 32 + 20 + 4 + Cube().name.size() + 96;
    for (int i = 0; i < 4; ++i)
      bytes[at + i] = (GetParam() == Form::kBigEndian ? i == 0 : i == 3) ? 0x7f : 0xff;
  }
  EXPECT_EQ(ReadCobBytes(doc, bytes), -2);
}

TEST_P(CobForms, EveryTruncationIsRefusedAndDamageIsSurvived) {
  CobPolygonChunk p = Polygon(kPentagon);
  p.texVertices = {{0, 0}, {1, 0}};
  const Bytes whole = Encode({{Cube(), p, CobMaterialChunk{0, 100, "auto30"}}}, GetParam());
  const size_t complete = CompleteAt(whole, ascii());
  test::ForEachCut(whole, [&](const Bytes& cut, size_t n) {
    Document doc;
    ASSERT_EQ(ReadCobBytes(doc, cut), n >= complete ? 0 : -2);
    EXPECT_TRUE(n >= complete || doc.importMesh.parts.empty());
  });
  int accepted = 0;
  // Digits and blanks keep ASCII files parseable longer.
  test::ForEachDamage(
      whole, 1000,
      [&](const Bytes& damaged) {
        Document doc;
        const int result = ReadCobBytes(doc, damaged);
        ASSERT_TRUE(result == 0 || result == -2 || result == -3) << result;
        EXPECT_TRUE(result == 0 || doc.importMesh.faces.empty());
        if (result == 0) ++accepted, ExpectConsistent(doc.importMesh);
      },
      ascii() ? "0123456789 -<>,\n" : "", 4, ascii() ? 5 : 6);
  EXPECT_GT(accepted, 0);
}

TEST(CobAscii, MapLinesLongLinesCrLfLinesAndNumbersAreRead) {
  // Whichever map lines come last, the next chunk header is read once.
  CobMaterialChunk all, textureOnly{1}, bumpOnly{2};
  all.mapLines = {"environment: sky", "  file sky.bmp", "texture: wood",
                  "  file wood.bmp",  "bump: rough",    "  file rough.bmp"};
  textureOnly.mapLines = {"texture: wood", "  file wood.bmp"};
  bumpOnly.mapLines = {"bump: rough", "  file rough.bmp"};
  Document doc;
  ASSERT_EQ(ReadText(doc, CobAscii({{all, Cube(), textureOnly, bumpOnly, Cube()}})), 0);
  EXPECT_EQ(doc.importMesh.objects.size(), 3u);
  EXPECT_EQ(doc.importMesh.faces.size(), 12u);

  // A long name, and a 400-gon whose corner line runs to about 2800 characters.
  std::vector<std::array<float, 2>> circle;
  for (int i = 0; i < 400; ++i)
    circle.push_back({std::cos(i * 0.0157079633f), std::sin(i * 0.0157079633f)});
  CobPolygonChunk round = Polygon(circle);
  round.name = "Name " + std::string(3000, 'x');
  ASSERT_EQ(ReadText(doc, CobAscii({{round}})), 0);
  EXPECT_EQ(doc.importMesh.parts[0].name, round.name);
  EXPECT_EQ(doc.importMesh.faces.size(), 398u);

  ASSERT_EQ(ReadText(doc, CobAscii({{Cube(), CobMaterialChunk{}}}, "\r\n")), 0);
  EXPECT_EQ(doc.importMesh.parts[0].name, "Name Cube");
  EXPECT_EQ(doc.importMesh.faces.size(), 6u);
  EXPECT_EQ(doc.importMesh.faces[0].colorObject, 0);

  // Numbers read as the C scanner reads them.
  std::string body = test::CobAsciiBody(Polygon({{0, 0}, {1, 0}, {0, 1}}));
  for (auto [from, to] :
       {std::pair<std::string, std::string>{"s 3\n0 0 0\n1 0 0\n0 1 0\n",
                                            "s 3\n+.5 5. -1e1\nx y z\n0x10 1 2\n"},
        {"verts 3 flags 0 mat 0\n<0,0> <1,0> <2,0>", "verts +3 flags 0 mat 0\n<0,0><+1,0> <2, 0>"}})
    body.replace(body.find(from), from.size(), to);
  ASSERT_EQ(ReadText(doc, "Caligari V00.01ALH\n" + test::CobAsciiChunk("PolH", 0, 1, 0, body) +
                              "END  V1.00 Id 0 Parent 0 Size 0\n"),
            0);
  const ImportMesh& m = doc.importMesh;
  test::ExpectNear(m.meshVertices[0], {-0.5f, -10, -5});
  test::ExpectNear(m.meshVertices[1], {0, 0, 0});  // a line without numbers gives zeros
  test::ExpectNear(m.meshVertices[2], {-16, 2, -1});
  ASSERT_EQ(m.faces.size(), 1u);
  EXPECT_EQ(Corners(m.faces[0]), (Ints{2, 1, 0}));
}

// A polygon chunk whose size ends inside its own body: reading goes back
// there and takes what it finds for the next chunk header.
TEST(CobAscii, PolygonSizeMaySendReadingBackwards) {
  CobPolygonChunk p = Cube();
  const std::string probe = "Unkn V0.01 Id 9 Parent 0 Size 00000000";
  p.name = probe;
  char size[16];  // the name line, read again as a header, skips the rest of the body
  std::snprintf(size, sizeof size, "%08zu", test::CobAsciiBody(p).size() - probe.size());
  p.name = probe.substr(0, probe.size() - 8) + size;
  const std::string head = "Caligari V00.01ALH\nPolH V0.08 Id 5 Parent 0 Size ";
  const std::string end = "END  V1.00 Id 0 Parent 0 Size        0\n";
  Document doc;
  ASSERT_EQ(ReadText(doc, head + "1\n" + test::CobAsciiBody(p) + end), 0);
  EXPECT_EQ(doc.importMesh.parts.size(), 1u);
  EXPECT_EQ(doc.importMesh.faces.size(), 6u);
  // Back before the body would read the same chunk again.
  for (const char* lie : {"0", "-40", "100000"})
    EXPECT_EQ(ReadText(doc, head + lie + "\n" + test::CobAsciiBody(p) + end), -2) << lie;
  EXPECT_EQ(ReadText(doc, "Caligari V00.01ALH\nUnit V0.01 Id 1 Parent 0 Size -5\n" + end), -2);
}

// `levels` polygon chunks, each one's size sending reading back to the next,
// which sits at the start of its vertex list.
std::string NestedAsciiChunks(int levels) {
  const std::string prefix =
      "Name N\ncenter 0 0 0\nx axis 1 0 0\ny axis 0 1 0\nz axis 0 0 1\nTransform\n"
      "1 0 0 0\n0 1 0 0\n0 0 1 0\n0 0 0 1\nWorld Vertices ";
  std::string text = "0 0 0\nTexture Vertices 0\nFaces 0\n";
  for (int i = levels - 1; i >= 0; --i) {
    // The lines after this chunk's count: 12 per chunk inside it, then one vertex.
    const std::string count = std::to_string((levels - 1 - i) * 12 + 1) + "\n";
    const size_t size = prefix.size() + count.size() + 1 + (i == levels - 1 ? text.size() : 0);
    char header[80];
    std::snprintf(header, sizeof header, "PolH V0.08 Id %d Parent 0 Size %08zu\n", i, size);
    text = header + prefix + count + text;
  }
  return "Caligari V00.01ALH\n" + text + "END  V1.00 Id 0 Parent 0 Size 0\n";
}

// The binary twin: each chunk's start up to its vertices is 11 vertices long.
Bytes NestedBinaryChunks(int levels) {
  test::CobByteWriter w;
  w.Text("Caligari V00.01BLH\n");
  for (int i = 0; i < levels; ++i) {
    w.Header("PolH", 0, i, 0, i == levels - 1 ? 112 + 12 + 8 : 112);
    w.U16(0);
    w.U16(8);
    w.Text("nestname");
    for (int k = 0; k < 24; ++k)
      w.F32(k % 5 == 0 ? 1.0f : 0.0f);
    w.I32((levels - 1 - i) * 11 + 1);
  }
  for (int k = 0; k < 5; ++k)  // one vertex, no texture vertices, no faces
    k < 3 ? w.F32(0) : w.I32(0);
  w.Chunk("END ", 1, 0, 0, {});
  return w.bytes;
}

TEST(CobChunks, ChunksThatReadTheFileOverAndOverAreRefused) {
  // A few levels are only a file that goes back now and then.
  Document doc;
  ASSERT_EQ(ReadText(doc, NestedAsciiChunks(3)), 0);
  EXPECT_EQ(doc.importMesh.meshVertices.size(), 25u + 13u + 1u);
  EXPECT_EQ(ReadText(doc, NestedAsciiChunks(1000)), -2);
  EXPECT_TRUE(doc.importMesh.parts.empty());
  ASSERT_EQ(ReadCobBytes(doc, NestedBinaryChunks(3)), 0);
  EXPECT_EQ(doc.importMesh.meshVertices.size(), 23u + 12u + 1u);
  EXPECT_EQ(ReadCobBytes(doc, NestedBinaryChunks(1000)), -2);
  EXPECT_TRUE(doc.importMesh.parts.empty());
}

TEST(CobAscii, BadHeadersAndCornerLinesAreRefused) {
  const std::string rest = CobAscii({{Cube()}}).substr(32);
  // A first line ends after 255 characters: the rest is the next line.
  const std::string longLine = "Caligari V00.01ALH" + std::string(255 - 18, ' ');
  Document doc;
  for (const std::string& bad :
       {std::string(), std::string("Caligari V00.01A"), "Caligari V00.02ALH\n" + rest,
        "Caligari V00.01CLH\n" + rest, "Caligari V00.01\n" + rest,
        std::string(300, ' ') + "\n" + rest, longLine + " \n" + rest,
        std::string("Caligari V00.01ALH\nPolH V0.08 Id x\n"),
        std::string("Caligari V00.01ALH\n\nEND  V1.00\n")})
    EXPECT_EQ(ReadText(doc, bad), -2) << bad.substr(0, 40);
  EXPECT_EQ(ReadText(doc, "Caligari V00.01ALH\n" + rest), 0);
  EXPECT_EQ(ReadText(doc, longLine + rest), 0);
  EXPECT_EQ(doc.importMesh.faces.size(), 6u);
  // A corner line must hold every corner, each piece in its form.
  const std::string text = CobAscii({{Polygon({{0, 0}, {1, 0}, {0, 1}})}});
  for (const char* piece : {"     ", "<2;0>"}) {
    std::string bad = text;
    bad.replace(bad.find("<2,0>"), 5, piece);
    EXPECT_EQ(ReadText(doc, bad), -2) << piece;
  }
}

TEST(CobBinary, NamesUpTo2000BytesEndAtAZero) {
  CobPolygonChunk p = Cube();
  p.name = std::string(2000, 'n');
  Document doc;
  EXPECT_EQ(ReadCobBytes(doc, CobBinary({{p}})), 0);
  EXPECT_EQ(doc.importMesh.parts[0].name, p.name);
  p.name += 'n';
  EXPECT_EQ(ReadCobBytes(doc, CobBinary({{p}})), -2);
  p.name = std::string("Cube\0junk", 9);
  ASSERT_EQ(ReadCobBytes(doc, CobBinary({{p}})), 0);
  EXPECT_EQ(doc.importMesh.parts[0].name, "Cube");
}

TEST(CobBinary, ChunkSizesThatLieAreRefused) {
  const Bytes good = CobBinary({{Cube()}});
  const size_t sizeAt = 32 + 16;  // the polygon chunk's size field
  auto withSize = [](Bytes b, size_t at, int32_t size) {
    for (int i = 0; i < 4; ++i)
      b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(size) >> (8 * i));
    return b;
  };
  Document doc;
  // Back to the start of the body: its first bytes are no chunk header.
  for (int32_t size : {-1, 1 << 30, 0})
    EXPECT_EQ(ReadCobBytes(doc, withSize(good, sizeAt, size)), -2) << size;
  // A size of 4 sends reading back to a name that holds an end chunk header.
  CobPolygonChunk trick = Cube();
  test::CobByteWriter end;
  end.Chunk("END ", 1, 0, 0, {});
  trick.name.assign(end.bytes.begin(), end.bytes.end());
  CobModel model{{trick}};
  model.end = false;
  ASSERT_EQ(ReadCobBytes(doc, withSize(CobBinary(model), sizeAt, 4)), 0);
  EXPECT_EQ(doc.importMesh.faces.size(), 6u);
  // A material shorter than its fixed fields.
  Bytes m = CobBinary({{Cube(), CobMaterialChunk{}}});
  const size_t materialSizeAt = good.size() - 20 + 16;
  m[materialSizeAt] = 30;
  m.erase(m.begin() + static_cast<long>(materialSizeAt + 4 + 30),
          m.begin() + static_cast<long>(materialSizeAt + 4 + 41));
  EXPECT_EQ(ReadCobBytes(doc, m), -2);
}

// What each polygon chunk of an ASCII sample file lists: a face of n > 4
// corners as n - 2 triangles (the files hold no back sides).
struct ChunkCounts {
  test::FaceCounts faces;
  size_t vertices = 0, texVertices = 0;
};
std::vector<ChunkCounts> CountAsciiChunks(const std::string& path) {
  std::istringstream in(test::ReadText(path));
  std::vector<ChunkCounts> chunks;
  int n = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("PolH V0.")) {
      chunks.emplace_back();
    } else if (chunks.empty()) {
      continue;
    } else if (std::sscanf(line.c_str(), "World Vertices %d", &n) == 1) {
      chunks.back().vertices = static_cast<size_t>(n);
    } else if (std::sscanf(line.c_str(), "Texture Vertices %d", &n) == 1) {
      chunks.back().texVertices = static_cast<size_t>(n);
    } else if (std::sscanf(line.c_str(), "Face verts %d", &n) == 1) {
      test::FaceCounts& c = chunks.back().faces;
      (n == 4 ? c.quads : c.triangles) += n == 4 ? 1 : n - 2;
      c.vertices += n == 4 ? 4 : 3 * (n - 2);
    }
  }
  return chunks;
}

// The binary files hold the models of their ASCII twins.
TEST(CobSampleFiles, FilesLoadWithTheVerticesAndFacesTheyList) {
  for (const std::string stem : {"molecule", "spider_4_3"}) {
    SCOPED_TRACE(stem);
    const std::vector<ChunkCounts> chunks = CountAsciiChunks(kCobDir + stem + "_ascii.cob");
    ASSERT_FALSE(chunks.empty());
    // Every vertex of every chunk reaches the staging mesh, each chunk one part.
    Document staged;
    ASSERT_EQ(ReadCobModel(staged, kCobDir + stem + "_ascii.cob"), 0);
    size_t vertices = 0, texVertices = 0;
    for (const ChunkCounts& c : chunks)
      vertices += c.vertices, texVertices += c.texVertices;
    EXPECT_EQ(staged.importMesh.meshVertices.size(), vertices);
    EXPECT_EQ(staged.importMesh.meshTexCoords.size(), texVertices);
    EXPECT_EQ(staged.importMesh.parts.size(), chunks.size());
    ExpectConsistent(staged.importMesh);

    test::RecordedDocument ascii, binary;
    ASSERT_EQ(ReadModelFile(ascii.doc, kCobDir + stem + "_ascii.cob", false), 0);
    ASSERT_EQ(ReadModelFile(binary.doc, kCobDir + stem + ".cob", false), 0);
    EXPECT_TRUE(ascii.shell.messages.empty() && binary.shell.messages.empty());
    const Scene &a = ascii.scene(), &b = binary.scene();
    test::ExpectSizedAndCentred(a);
    const std::vector<int> ga = test::TopGroups(a), gb = test::TopGroups(b);
    ASSERT_EQ(ga.size(), chunks.size());
    ASSERT_EQ(gb.size(), chunks.size());
    for (size_t i = 0; i < ga.size(); ++i) {
      const DisplayGroup &x = a.groups[ga[i]], &y = b.groups[gb[i]];
      const ChunkCounts& c = chunks[chunks.size() - 1 - i];  // the newest part comes first
      EXPECT_EQ(test::CountFaces(x), c.faces);
      EXPECT_EQ((x.flags & TexCoords) != 0, c.texVertices > 0);
      EXPECT_EQ(x.flags, y.flags);
      test::ExpectNear(x.color, y.color, 1e-5f);
      test::ExpectNear(x.translation, y.translation);
      ASSERT_EQ(x.primitives.size(), y.primitives.size());
      for (size_t k = 0; k < x.primitives.size(); ++k) {
        const std::vector<float>&u = x.primitives[k].vertices.vector(),
              &v = y.primitives[k].vertices.vector();
        ASSERT_EQ(u.size(), v.size());
        for (size_t j = 0; j < u.size(); ++j)
          ASSERT_NEAR(u[j], v[j], 2e-4f) << "float " << j;
      }
    }
    // ks 0.1 in the ASCII form, 0.5 in the binary; the blue sphere is read first.
    if (stem == "molecule") {
      const DisplayGroup& sphere = a.groups[ga.back()];
      EXPECT_NEAR(sphere.specular[0], 0.1f, 1e-6f);
      EXPECT_NEAR(b.groups[gb.back()].specular[0], 0.5f, 1e-6f);
      test::ExpectNear(sphere.color, {0.345098f, 0.435294f, 0.909804f}, 1e-5f);
    } else {
      // The spider's one part of several materials: its four greys (0.8, 0.6,
      // 0.4, 0.2 plus ka 0.25) appear on the corners.
      const DisplayGroup& spider = b.groups[gb[0]];
      ASSERT_TRUE(spider.flags & VertexColors);
      std::set<long> greys;  // in ten-thousandths
      const size_t stride = VertexStride(spider);
      for (const DisplayPrimitive& prim : spider.primitives)
        for (size_t v = 0; v + stride <= prim.vertices.size(); v += stride)
          greys.insert(std::lround(prim.vertices[v + 3] * 1e4f));
      EXPECT_EQ(greys, (std::set<long>{4500, 6500, 8500, 10000}));
    }
  }
}

TEST(CobSampleFiles, SampleFilesSurviveEveryTruncationAndDamage) {
  for (const std::string name : {"molecule.cob", "molecule_ascii.cob"}) {
    SCOPED_TRACE(name);
    const Bytes whole = test::ReadBytes(kCobDir + name);
    const size_t complete = CompleteAt(whole, name.find("ascii") != std::string::npos);
    test::ForEachCut(
        whole,
        [&](const Bytes& cut, size_t n) {
          Document doc;
          ASSERT_EQ(ReadCobBytes(doc, cut), n >= complete ? 0 : -2);
        },
        1024, 200);
    test::ForEachDamage(
        whole, 200,
        [](const Bytes& damaged) {
          Document doc;
          const int result = ReadCobBytes(doc, damaged);
          ASSERT_TRUE(result == 0 || result == -2 || result == -3);
          if (result == 0) ExpectConsistent(doc.importMesh);
        },
        {}, 8, 99);
  }
}

TEST(CobSampleFiles, ACutFileSaysWhyAndLeavesTheSceneAlone) {
  test::TempDir dir;
  CobModel model{{Cube()}};
  model.end = false;
  test::WriteText(dir / "cut.cob", CobAscii(model));
  test::ExpectRefused(dir / "cut.cob", "Can't decode " + (dir / "cut.cob") + " correctly\n");
}

}  // namespace
}  // namespace modra
