// Truespace .cob files: the sample files end to end, hand-made files of
// all three forms (ASCII, binary, big-endian binary) for the face,
// material and chunk rules, and damaged files.
#include "formats/cob_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "formats/cob_test_util.h"
#include "formats/import_test_util.h"
#include "geometry/triangulate.h"
#include "reader_harness.h"

namespace modra {
namespace {

using test::Bytes;
using test::CobAscii;
using test::CobBinary;
using test::CobChunk;
using test::CobFace;
using test::CobMaterialChunk;
using test::CobModel;
using test::CobOtherChunk;
using test::CobPolygonChunk;

const std::string kCobDir = test::ModelPath("cob/");

enum class Form { kAscii, kBinary, kBigEndian };

Bytes Encode(const CobModel& model, Form form) {
  if (form == Form::kAscii) return test::CobBytes(CobAscii(model));
  return CobBinary(model, form == Form::kBigEndian);
}

// Where a file is whole: the end chunk is known by its type in the ASCII
// form, by its whole header in the binary form.
size_t CompleteAt(const Bytes& file, bool ascii) {
  const std::string text(file.begin(), file.end());
  return ascii ? text.rfind("END ") + 4 : file.size();
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
  CobFace f;
  for (size_t i = 0; i < points.size(); ++i) {
    p.vertices.push_back({points[i][0], points[i][1], 0});
    f.corners.push_back({static_cast<int32_t>(i), 0});
  }
  p.faces.push_back(f);
  return p;
}

// The normal pass's face normal of corners a, b, c, (c - a) x (b - a),
// scaled by twice the triangle's area.
Vec3 AreaNormal(const ImportMesh& m, int a, int b, int c) {
  const Vec3 &pa = m.meshVertices[a], &pb = m.meshVertices[b], &pc = m.meshVertices[c];
  const Vec3 u = {pc[0] - pa[0], pc[1] - pa[1], pc[2] - pa[2]};
  const Vec3 v = {pb[0] - pa[0], pb[1] - pa[1], pb[2] - pa[2]};
  return {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
}
float Length(const Vec3& v) {
  return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}
float TriangleArea(const ImportMesh& m, const MeshFace& f) {
  return 0.5f *
         Length(AreaNormal(m, f.cornerVertices[0], f.cornerVertices[1], f.cornerVertices[2]));
}
std::vector<int32_t> Corners(const MeshFace& f) {
  return {f.cornerVertices.begin(), f.cornerVertices.begin() + f.cornerCount};
}

class CobForms : public ::testing::TestWithParam<Form> {
 protected:
  int Read(const CobModel& model) {
    bytes_ = Encode(model, GetParam());
    return ReadCobBytes(doc_, bytes_);
  }
  ImportMesh& mesh() { return doc_.importMesh; }

  Document doc_;
  Bytes bytes_;
};

INSTANTIATE_TEST_SUITE_P(AllForms, CobForms,
                         ::testing::Values(Form::kAscii, Form::kBinary, Form::kBigEndian),
                         [](const auto& info) {
                           return info.param == Form::kAscii    ? std::string("Ascii")
                                  : info.param == Form::kBinary ? std::string("Binary")
                                                                : std::string("BigEndian");
                         });

TEST_P(CobForms, FacesWrittenFromBothSidesCountOnce) {
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
  // The same face again in the same order is no back side.
  cube.faces.push_back(twice.front());
  ASSERT_EQ(Read({{cube}}), 0);
  ASSERT_EQ(mesh().faces.size(), 7u);
  // Stored in reverse of the file's order.
  EXPECT_EQ(Corners(mesh().faces[0]), (std::vector<int32_t>{2, 3, 1, 0}));
  EXPECT_EQ(Corners(mesh().faces[6]), (std::vector<int32_t>{2, 3, 1, 0}));
  ExpectConsistent(mesh());
}

TEST_P(CobForms, PentagonBecomesThreeTrianglesFacingOneWay) {
  CobPolygonChunk p = Polygon({{0, 0}, {2, 0}, {3, 2}, {1, 3}, {-1, 2}});
  ASSERT_EQ(Read({{p}}), 0);
  const ImportMesh& m = mesh();
  ASSERT_EQ(m.faces.size(), 3u);
  float area = 0;
  // The stored corner order is the file's reversed; its first three give
  // the facing every triangle must share.
  const Vec3 expected = m.faceNormals[0];
  for (size_t i = 0; i < m.faces.size(); ++i) {
    EXPECT_EQ(m.faces[i].cornerCount, 3);
    area += TriangleArea(m, m.faces[i]);
    test::ExpectNear(m.faceNormals[i], expected);
  }
  // Shoelace area of the pentagon.
  EXPECT_NEAR(area, 8.0f, 1e-4f);
  // The facing of the reversed corner list (4 3 2 1 0), as the normal
  // pass sees its first three corners.
  const Vec3 n = AreaNormal(m, 4, 3, 2);
  test::ExpectNear(expected, {n[0] / Length(n), n[1] / Length(n), n[2] / Length(n)});
  ExpectConsistent(m);
}

TEST_P(CobForms, PolygonTheTriangulatorRefusesBecomesAFan) {
  // Its edges cross.
  const std::vector<std::array<float, 2>> points = {{0, 0}, {2, 2}, {2, 0}, {0, 2}, {1, 3}};
  std::vector<float> flat;
  for (const auto& q : points)
    flat.insert(flat.end(), {q[0], q[1], 0});
  const int end = 4;
  ASSERT_EQ(Triangulate(flat.data(), &end, 1, 0, [](const float*) {}), -1);

  ASSERT_EQ(Read({{Polygon(points)}}), 0);
  const ImportMesh& m = mesh();
  ASSERT_EQ(m.faces.size(), 3u);
  // From the first corner of the reversed list: 4 3 2 1 0.
  EXPECT_EQ(Corners(m.faces[0]), (std::vector<int32_t>{4, 3, 2}));
  EXPECT_EQ(Corners(m.faces[1]), (std::vector<int32_t>{4, 2, 1}));
  EXPECT_EQ(Corners(m.faces[2]), (std::vector<int32_t>{4, 1, 0}));
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
  float area = 0;
  for (size_t i = 6; i < m.faces.size(); ++i) {
    area += TriangleArea(m, m.faces[i]);
    for (int k = 0; k < 3; ++k) {
      const int32_t v = m.faces[i].cornerVertices[k] - 8;
      EXPECT_EQ(m.cornerTexCoords[i][k] - 2, 5 - v);
    }
  }
  // Cut properly, not fanned over the notch.
  EXPECT_NEAR(area, 9.5f, 1e-4f);
}

TEST_P(CobForms, EachChunkCountsFromItsOwnFirstVertex) {
  CobPolygonChunk a, b;
  a.id = 1;
  b.id = 2;
  b.name = "Name Second";
  for (CobPolygonChunk* p : {&a, &b}) {
    p->vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    p->texVertices = {{0, 0}, {1, 0}, {1, 1}};
    p->faces = {{0, {{0, 0}, {1, 1}, {2, 2}}}};
  }
  ASSERT_EQ(Read({{a, b}}), 0);
  const ImportMesh& m = mesh();
  ASSERT_EQ(m.faces.size(), 2u);
  EXPECT_EQ(Corners(m.faces[1]), (std::vector<int32_t>{6, 5, 4}));
  EXPECT_EQ(m.cornerTexCoords[1], (std::array<int32_t, 4>{5, 4, 3, -1}));
  EXPECT_EQ(m.faces[1].owner, 2);
  EXPECT_EQ(m.faces[1].partIndex, 1);
  ASSERT_EQ(m.parts.size(), 2u);
  // The first chunk took over the part "None".
  EXPECT_EQ(m.parts[0].name, "Name Thing");
  EXPECT_EQ(m.parts[1].name, "Name Second");
  EXPECT_EQ(m.parts[1].entries.size(), 1u);
  EXPECT_EQ(m.parts[1].entries[0].key, 1);
}

TEST_P(CobForms, VerticesGoThroughTheTransformThenTheAxisSwap) {
  CobPolygonChunk p = Polygon({{0, 0}, {1, 0}, {0, 1}});
  p.vertices[0] = {1, 2, 3};
  p.rows = {2, 0, 0, 10, 0, 3, 0, 20, 0, 0, 4, 30};
  ASSERT_EQ(Read({{p}}), 0);
  // X = 12, Y = 26, Z = 42 become (-X, Z, -Y).
  test::ExpectNear(mesh().meshVertices[0], {-12, 42, -26});
  test::ExpectNear(mesh().meshVertices[1], {-12, 30, -20});
}

TEST_P(CobForms, HolesAndFacesOfFewerThanThreeCornersAreSkipped) {
  CobPolygonChunk p = Cube();
  p.faces = {
      {0, {{0, 0}, {1, 0}, {2, 0}}, true}, {0, {{0, 0}, {1, 0}}}, {0, {{4, 0}, {5, 0}, {6, 0}}}};
  ASSERT_EQ(Read({{p}}), 0);
  ASSERT_EQ(mesh().faces.size(), 1u);
  EXPECT_EQ(Corners(mesh().faces[0]), (std::vector<int32_t>{6, 5, 4}));
}

TEST_P(CobForms, OnlyChunksWithTextureVerticesAreTextured) {
  CobPolygonChunk a = Cube(), b = Cube();
  a.texVertices = {{0.25f, 0.5f}};
  b.id = 200;
  b.faces[0].corners[0][1] = 77;  // no texture vertices: the number means nothing
  ASSERT_EQ(Read({{a, b}}), 0);
  const ImportMesh& m = mesh();
  EXPECT_TRUE(m.parts[0].flags & TexCoords);
  EXPECT_FALSE(m.parts[1].flags & TexCoords);
  EXPECT_EQ(m.cornerTexCoords[0], (std::array<int32_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(m.cornerTexCoords[6], (std::array<int32_t, 4>{-1, -1, -1, -1}));
}

TEST_P(CobForms, FacesTakeTheMaterialOfTheirChunkAndNumber) {
  CobPolygonChunk a = Cube(), b = Cube();
  a.id = 100;
  b.id = 200;
  a.faces[0].material = 0;
  a.faces[1].material = 1;
  a.faces[2].material = 2;  // no such material
  for (CobFace& f : b.faces)
    f.material = 1;      // only chunk 100 has a material 1
  CobMaterialChunk one;  // number 1 of chunk 100
  one.number = 1;
  one.rgb = {0.5f, 0.25f, 0.125f};
  one.ka = 0.25f;
  one.facet = "smooth";
  CobMaterialChunk zero;
  zero.number = 0;
  zero.rgb = {0.9f, 0.5f, 0.0f};
  zero.ka = 0.5f;
  zero.facet = "auto60";
  CobMaterialChunk oneAgain = one;  // the first of equal materials wins
  oneAgain.rgb = {0, 0, 0};
  ASSERT_EQ(Read({{a, b, one, zero, oneAgain}}), 0);
  const ImportMesh& m = mesh();

  // The first material took over the default's slot; the white object for
  // faces without a material comes after the three.
  ASSERT_EQ(m.objects.size(), 4u);
  EXPECT_EQ(m.objects[0].number, 1);
  EXPECT_EQ(m.objects[0].owner, 100);
  test::ExpectNear(m.objects[0].color, {0.75f, 0.5f, 0.375f});
  test::ExpectNear(m.objects[1].color, {1.0f, 1.0f, 0.5f});  // 1.4 and 1.0 clamp to 1
  EXPECT_FLOAT_EQ(m.objects[1].ambient, 0.5f);

  EXPECT_EQ(m.faces[0].objectIndex, 1);
  EXPECT_EQ(m.faces[0].colorObject, 1);
  EXPECT_EQ(m.faces[1].objectIndex, 0);
  for (size_t i : {size_t{2}, size_t{6}, size_t{11}}) {
    EXPECT_EQ(m.faces[i].objectIndex, 3) << i;
    EXPECT_EQ(m.faces[i].colorObject, -1) << i;
    EXPECT_EQ(m.faces[i].creaseCos, 1.0f) << i;  // faceted
  }
  test::ExpectNear(m.objects[3].color, {1, 1, 1});
  EXPECT_EQ(m.objects[3].specularLevel, 0.5f);

  // The ASCII form carries the material's alpha, ks and exponent; the
  // binary form draws every material opaque with fixed highlights.
  if (GetParam() == Form::kAscii) {
    EXPECT_FLOAT_EQ(m.objects[0].alpha, 0.75f);
    EXPECT_FLOAT_EQ(m.objects[0].specularLevel, 0.25f);
    EXPECT_FLOAT_EQ(m.objects[0].shininess, 64.0f);
  } else {
    EXPECT_EQ(m.objects[0].alpha, 1.0f);
    EXPECT_EQ(m.objects[0].specularLevel, 0.5f);
    EXPECT_EQ(m.objects[0].shininess, 15.0f);
  }
}

TEST_P(CobForms, FacetSettingsGiveCreaseValues) {
  CobPolygonChunk p = Cube();
  std::vector<CobChunk> chunks = {p};
  const std::vector<std::pair<std::string, float>> facets = {
      {"faceted", 1.0f}, {"smooth", 2.0f}, {"auto60", 0.5f}, {"auto0", 1.0f}, {"auto90", 0.0f}};
  for (size_t i = 0; i < facets.size(); ++i) {
    std::get<CobPolygonChunk>(chunks[0]).faces[i].material = static_cast<int32_t>(i);
    CobMaterialChunk mat;
    mat.number = static_cast<int32_t>(i);
    mat.facet = facets[i].first;
    chunks.push_back(mat);
  }
  ASSERT_EQ(Read({chunks}), 0);
  for (size_t i = 0; i < facets.size(); ++i)
    EXPECT_NEAR(mesh().faces[i].creaseCos, facets[i].second, 1e-5f) << facets[i].first;
}

// At a cube's corner three faces meet at right angles: they share one
// averaged normal only when the material's crease value lets them.
TEST_P(CobForms, CreaseValuesDecideWhichCubeFacesSmoothTogether) {
  const std::vector<std::pair<std::string, bool>> facets = {
      {"smooth", true}, {"auto100", true}, {"auto60", false}, {"faceted", false}};
  for (const auto& [facet, averaged] : facets) {
    CobMaterialChunk mat;
    mat.facet = facet;
    ASSERT_EQ(Read({{Cube(), mat}}), 0) << facet;
    const ImportMesh& m = mesh();
    for (size_t f = 0; f < m.faces.size(); ++f)
      for (int k = 0; k < 4; ++k) {
        const Vec3 n = CornerNormal(m, static_cast<int>(f), k);
        if (!averaged) {
          test::ExpectNear(n, m.faceNormals[f]);
          continue;
        }
        // The diagonal through the corner, pointing away from the cube's middle.
        const Vec3& p = m.meshVertices[m.faces[f].cornerVertices[k]];
        const Vec3 mid = {-0.5f, 0.5f, -0.5f};
        const float s = 1.0f / std::sqrt(3.0f);
        Vec3 out;
        for (int i = 0; i < 3; ++i)
          out[i] = (p[i] > mid[i] ? s : -s);
        // Whichever way the faces point, all three agree on it.
        const float side = n[0] * out[0] + n[1] * out[1] + n[2] * out[2];
        EXPECT_NEAR(std::abs(side), 1.0f, 1e-5f) << facet << " face " << f;
      }
  }
}

TEST_P(CobForms, OtherChunksAndOtherVersionsAreSkipped) {
  CobOtherChunk unit;
  CobOtherChunk newer;  // a polygon chunk of a version this reader does not know
  newer.type = "PolH";
  newer.major = 1;
  newer.asciiBody = "Name Newer\nwhatever\n";
  newer.binaryBody = {1, 2, 3, 4, 5, 6, 7};
  CobPolygonChunk p = Cube();
  ASSERT_EQ(Read({{unit, newer, p, unit}}), 0);
  ASSERT_EQ(mesh().parts.size(), 1u);
  EXPECT_EQ(mesh().parts[0].name, "Name Cube");
  EXPECT_EQ(mesh().faces.size(), 6u);
}

TEST_P(CobForms, IndicesOutsideTheChunkAreRefused) {
  CobPolygonChunk textured = Cube();
  textured.texVertices = {{0, 0}, {1, 1}};
  struct Case {
    const char* what;
    int corner, field, value;
  } cases[] = {{"position past the chunk", 0, 0, 8},
               {"negative position", 1, 0, -1},
               {"texture past the chunk", 2, 1, 2},
               {"negative texture", 3, 1, -5}};
  for (const Case& c : cases) {
    CobPolygonChunk bad = textured;
    bad.faces[3].corners[c.corner][c.field] = c.value;
    EXPECT_EQ(Read({{bad}}), -2) << c.what;
    EXPECT_TRUE(mesh().faces.empty()) << c.what;
  }
  // A vertex of an earlier chunk is not this chunk's.
  CobPolygonChunk second = Cube();
  second.faces[0].corners[0][0] = -1;
  EXPECT_EQ(Read({{Cube(), second}}), -2);
}

TEST_P(CobForms, EveryTruncationIsRefusedAndDamageIsSurvived) {
  CobPolygonChunk p = Polygon({{0, 0}, {2, 0}, {3, 2}, {1, 3}, {-1, 2}});
  p.texVertices = {{0, 0}, {1, 0}};
  CobMaterialChunk mat;
  mat.facet = "auto30";
  const Bytes whole = Encode({{Cube(), p, mat}}, GetParam());
  const size_t complete = CompleteAt(whole, GetParam() == Form::kAscii);
  test::ForEachCut(whole, [&](const Bytes& cut, size_t n) {
    Document doc;
    ASSERT_EQ(ReadCobBytes(doc, cut), n >= complete ? 0 : -2);
    if (n < complete) {
      EXPECT_TRUE(doc.importMesh.parts.empty());
    }
  });
  int accepted = 0;
  test::ForEachDamage(
      whole, 1000,
      [&](const Bytes& damaged) {
        Document doc;
        const int result = ReadCobBytes(doc, damaged);
        ASSERT_TRUE(result == 0 || result == -2 || result == -3) << result;
        if (result == 0) {
          ++accepted;
          ExpectConsistent(doc.importMesh);
        } else {
          ASSERT_TRUE(doc.importMesh.faces.empty());
        }
        // Digits and blanks keep ASCII files parseable longer.
      },
      GetParam() == Form::kAscii ? "0123456789 -<>,\n" : "", 4, GetParam() == Form::kAscii ? 5 : 6);
  EXPECT_GT(accepted, 0);
}

TEST_P(CobForms, HugeCountsAreRefusedWithoutReserving) {
  CobPolygonChunk p = Cube();
  Bytes bytes = Encode({{p}}, GetParam());
  if (GetParam() == Form::kAscii) {
    std::string text(bytes.begin(), bytes.end());
    text.replace(text.find("World Vertices 8"), 16, "World Vertices 2147483647");
    bytes.assign(text.begin(), text.end());
  } else {
    // The vertex count follows the name, the axes and the transform.
    const size_t at = 32 + 20 + 4 + p.name.size() + 96;
    const bool big = GetParam() == Form::kBigEndian;
    for (int i = 0; i < 4; ++i)
      bytes[at + i] = (big ? i == 0 : i == 3) ? 0x7f : 0xff;
  }
  Document doc;
  EXPECT_EQ(ReadCobBytes(doc, bytes), -2);
}

// ---- The ASCII form ----

int ReadText(Document& doc, const std::string& text) {
  return ReadCobBytes(doc, test::CobBytes(text));
}

TEST(CobAscii, MapLinesAfterAMaterialAreSkipped) {
  CobMaterialChunk all;
  all.mapLines = {"environment: sky", "  file sky.bmp", "texture: wood",
                  "  file wood.bmp",  "bump: rough",    "  file rough.bmp"};
  CobMaterialChunk textureOnly;
  textureOnly.number = 1;
  textureOnly.mapLines = {"texture: wood", "  file wood.bmp"};
  CobMaterialChunk bumpOnly;
  bumpOnly.number = 2;
  bumpOnly.mapLines = {"bump: rough", "  file rough.bmp"};
  Document doc;
  // After the last map line the chunk loop reads the next header itself;
  // otherwise the line read ahead is that header.
  ASSERT_EQ(ReadText(doc, CobAscii({{all, Cube(), textureOnly, bumpOnly, Cube()}})), 0);
  EXPECT_EQ(doc.importMesh.objects.size(), 3u);
  EXPECT_EQ(doc.importMesh.faces.size(), 12u);
}

TEST(CobAscii, LinesLongerThanAnyBufferAreReadWhole) {
  CobPolygonChunk p;
  p.name = "Name " + std::string(3000, 'x');
  // A convex 400-gon: its corner line runs to about 2800 characters.
  std::vector<std::array<float, 2>> circle;
  for (int i = 0; i < 400; ++i)
    circle.push_back({std::cos(i * 0.0157079633f), std::sin(i * 0.0157079633f)});
  CobPolygonChunk round = Polygon(circle);
  p.vertices = round.vertices;
  p.faces = round.faces;
  Document doc;
  ASSERT_EQ(ReadText(doc, CobAscii({{p}})), 0);
  EXPECT_EQ(doc.importMesh.parts[0].name, p.name);
  EXPECT_EQ(doc.importMesh.faces.size(), 398u);
}

TEST(CobAscii, CrLfLinesReadAsLfLines) {
  std::string text = CobAscii({{Cube(), CobMaterialChunk{}}});
  std::string crlf;
  for (char c : text)
    c == '\n' ? crlf += "\r\n" : crlf += c;
  Document doc;
  ASSERT_EQ(ReadText(doc, test::CobFixSizes(crlf)), 0);
  EXPECT_EQ(doc.importMesh.parts[0].name, "Name Cube");
  EXPECT_EQ(doc.importMesh.faces.size(), 6u);
  EXPECT_EQ(doc.importMesh.faces[0].objectIndex, 0);
  EXPECT_EQ(doc.importMesh.faces[0].colorObject, 0);
}

TEST(CobAscii, NumbersReadAsTheCScannerReadsThem) {
  CobPolygonChunk p = Polygon({{0, 0}, {1, 0}, {0, 1}});
  std::string text = CobAscii({{p}});
  auto replace = [&](const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  };
  replace("Vertices 3\n0 0 0\n1 0 0\n0 1 0\n", "Vertices 3\n+.5 5. -1e1\nx y z\n0x10 1 2\n");
  replace("Face verts 3 flags 0 mat 0\n<0,0> <1,0> <2,0>",
          "Face verts +3 flags 0 mat 0\n<0,0><+1,0> <2, 0>");
  Document doc;
  ASSERT_EQ(ReadText(doc, test::CobFixSizes(text)), 0);
  const ImportMesh& m = doc.importMesh;
  test::ExpectNear(m.meshVertices[0], {-0.5f, -10, -5});
  test::ExpectNear(m.meshVertices[1], {0, 0, 0});  // a line without numbers gives zeros
  test::ExpectNear(m.meshVertices[2], {-16, 2, -1});
  ASSERT_EQ(m.faces.size(), 1u);
  EXPECT_EQ(Corners(m.faces[0]), (std::vector<int32_t>{2, 1, 0}));
}

TEST(CobAscii, CornerLinesMustHoldEveryCorner) {
  CobPolygonChunk p = Polygon({{0, 0}, {1, 0}, {0, 1}});
  std::string text = CobAscii({{p}});
  std::string shortLine = text, badPiece = text;
  shortLine.replace(shortLine.find("<2,0>"), 5, "     ");
  badPiece.replace(badPiece.find("<2,0>"), 5, "<2;0>");
  Document doc;
  EXPECT_EQ(ReadText(doc, shortLine), -2);
  EXPECT_EQ(ReadText(doc, badPiece), -2);
}

// A polygon chunk whose size ends inside its own body: reading goes back
// there and takes what it finds for the next chunk header.
TEST(CobAscii, PolygonSizeMaySendReadingBackwards) {
  CobPolygonChunk p = Cube();
  const std::string probe = "Unkn V0.01 Id 9 Parent 0 Size 00000000";
  p.name = probe;
  const std::string body = test::CobAsciiBody(p);
  // The name line, read again as a header, skips the rest of the body.
  char size[16];
  std::snprintf(size, sizeof size, "%08zu", body.size() - probe.size());
  p.name = probe.substr(0, probe.size() - 8) + size;
  const std::string header = "Caligari V00.01ALH\n";
  const std::string end = "END  V1.00 Id 0 Parent 0 Size        0\n";
  const std::string polh = "PolH V0.08 Id 5 Parent 0 Size ";
  Document doc;
  ASSERT_EQ(ReadText(doc, header + polh + "1\n" + test::CobAsciiBody(p) + end), 0);
  EXPECT_EQ(doc.importMesh.parts.size(), 1u);
  EXPECT_EQ(doc.importMesh.faces.size(), 6u);
  // Back before the body would read the same chunk again.
  EXPECT_EQ(ReadText(doc, header + polh + "0\n" + test::CobAsciiBody(p) + end), -2);
  EXPECT_EQ(ReadText(doc, header + polh + "-40\n" + test::CobAsciiBody(p) + end), -2);
  EXPECT_EQ(ReadText(doc, header + polh + "100000\n" + test::CobAsciiBody(p) + end), -2);
  EXPECT_EQ(ReadText(doc, header + "Unit V0.01 Id 1 Parent 0 Size -5\n" + end), -2);
}

// `levels` polygon chunks, each one's size sending reading back to the
// next one, which sits at the start of its vertex list: every chunk reads
// its vertices up to the shared end of the lists.
std::string NestedAsciiChunks(int levels) {
  const std::string prefix =
      "Name N\ncenter 0 0 0\nx axis 1 0 0\ny axis 0 1 0\nz axis 0 0 1\nTransform\n"
      "1 0 0 0\n0 1 0 0\n0 0 1 0\n0 0 0 1\nWorld Vertices ";
  const std::string tail = "0 0 0\nTexture Vertices 0\nFaces 0\n";
  std::string text = tail;
  for (int i = levels - 1; i >= 0; --i) {
    // The lines after this chunk's count: 12 per chunk inside it, then one vertex.
    const std::string count = std::to_string((levels - 1 - i) * 12 + 1) + "\n";
    const size_t size = i == levels - 1 ? prefix.size() + count.size() + text.size() + 1
                                        : prefix.size() + count.size() + 1;
    char header[80];
    std::snprintf(header, sizeof header, "PolH V0.08 Id %d Parent 0 Size %08zu\n", i, size);
    text = header + prefix + count + text;
  }
  return "Caligari V00.01ALH\n" + text + "END  V1.00 Id 0 Parent 0 Size 0\n";
}

TEST(CobAscii, ChunksThatReadTheFileOverAndOverAreRefused) {
  Document doc;
  // A few levels are only a file that goes back now and then.
  ASSERT_EQ(ReadText(doc, NestedAsciiChunks(3)), 0);
  EXPECT_EQ(doc.importMesh.meshVertices.size(), 25u + 13u + 1u);
  EXPECT_EQ(ReadText(doc, NestedAsciiChunks(1000)), -2);
  EXPECT_TRUE(doc.importMesh.parts.empty());
}

TEST(CobAscii, BadHeadersAreRefused) {
  Document doc;
  const std::string rest = CobAscii({{Cube()}}).substr(32);
  EXPECT_EQ(ReadText(doc, ""), -2);
  EXPECT_EQ(ReadText(doc, "Caligari V00.01A"), -2);  // no line end
  EXPECT_EQ(ReadText(doc, "Caligari V00.02ALH\n" + rest), -2);
  EXPECT_EQ(ReadText(doc, "Caligari V00.01CLH\n" + rest), -2);
  EXPECT_EQ(ReadText(doc, "Caligari V00.01\n" + rest), -2);
  EXPECT_EQ(ReadText(doc, std::string(300, ' ') + "\n" + rest), -2);
  EXPECT_EQ(ReadText(doc, "Caligari V00.01ALH\n" + rest), 0);
  // A first line longer than 255 characters ends there: what follows is
  // read as the next line.
  const std::string longLine = "Caligari V00.01ALH" + std::string(255 - 18, ' ');
  EXPECT_EQ(ReadText(doc, longLine + rest), 0);
  EXPECT_EQ(doc.importMesh.faces.size(), 6u);
  EXPECT_EQ(ReadText(doc, longLine + " \n" + rest), -2);
  // A header line that is no header.
  EXPECT_EQ(ReadText(doc, "Caligari V00.01ALH\nPolH V0.08 Id x\n"), -2);
  EXPECT_EQ(ReadText(doc, "Caligari V00.01ALH\n\nEND  V1.00\n"), -2);
}

// ---- The binary form ----

TEST(CobBinary, NamesUpTo2000Bytes) {
  CobPolygonChunk p = Cube();
  p.name = std::string(2000, 'n');
  Document doc;
  EXPECT_EQ(ReadCobBytes(doc, CobBinary({{p}})), 0);
  EXPECT_EQ(doc.importMesh.parts[0].name, p.name);
  p.name += 'n';
  EXPECT_EQ(ReadCobBytes(doc, CobBinary({{p}})), -2);
  // A zero byte ends a name.
  p.name = std::string("Cube\0junk", 9);
  ASSERT_EQ(ReadCobBytes(doc, CobBinary({{p}})), 0);
  EXPECT_EQ(doc.importMesh.parts[0].name, "Cube");
}

// The binary twin of NestedAsciiChunks: a name of 8 bytes makes each
// chunk's start up to its vertices 132 bytes, 11 vertices long.
Bytes NestedBinaryChunks(int levels) {
  test::CobByteWriter w;
  w.Text("Caligari V00.01BLH\n");
  for (int i = 0; i < levels; ++i) {
    const bool last = i == levels - 1;
    w.Text("PolH");
    w.U16(0);
    w.U16(8);
    w.I32(i);
    w.I32(0);
    w.I32(last ? 112 + 12 + 8 : 112);
    w.U16(0);
    w.U16(8);
    w.Text("nestname");
    for (int k = 0; k < 24; ++k)
      w.F32(k % 5 == 0 ? 1.0f : 0.0f);
    w.I32((levels - 1 - i) * 11 + 1);
  }
  for (int k = 0; k < 3; ++k)
    w.F32(0);
  w.I32(0);  // texture vertices
  w.I32(0);  // faces
  w.Chunk("END ", 1, 0, 0, {});
  return w.bytes;
}

TEST(CobBinary, ChunksThatReadTheFileOverAndOverAreRefused) {
  Document doc;
  ASSERT_EQ(ReadCobBytes(doc, NestedBinaryChunks(3)), 0);
  EXPECT_EQ(doc.importMesh.meshVertices.size(), 23u + 12u + 1u);
  EXPECT_EQ(ReadCobBytes(doc, NestedBinaryChunks(1000)), -2);
  EXPECT_TRUE(doc.importMesh.parts.empty());
}

TEST(CobBinary, ChunkSizesThatLieAreRefused) {
  CobPolygonChunk p = Cube();
  const Bytes good = CobBinary({{p}});
  const size_t sizeAt = 32 + 16;  // the polygon chunk's size field
  auto withSize = [&](int32_t size) {
    Bytes b = good;
    for (int i = 0; i < 4; ++i)
      b[sizeAt + i] = static_cast<uint8_t>(static_cast<uint32_t>(size) >> (8 * i));
    return b;
  };
  Document doc;
  EXPECT_EQ(ReadCobBytes(doc, withSize(-1)), -2);
  EXPECT_EQ(ReadCobBytes(doc, withSize(1 << 30)), -2);
  // Back to the start of the body: its first bytes are no chunk header.
  EXPECT_EQ(ReadCobBytes(doc, withSize(0)), -2);

  // A body whose name holds an end chunk header: a size of 4 sends
  // reading back to the name, which ends the file.
  CobPolygonChunk trick = Cube();
  test::CobByteWriter end;
  end.Chunk("END ", 1, 0, 0, {});
  trick.name.assign(end.bytes.begin(), end.bytes.end());
  CobModel model{{trick}};
  model.end = false;
  Bytes b = CobBinary(model);
  for (int i = 0; i < 4; ++i)
    b[sizeAt + i] = i == 0 ? 4 : 0;
  ASSERT_EQ(ReadCobBytes(doc, b), 0);
  EXPECT_EQ(doc.importMesh.faces.size(), 6u);

  // A material shorter than its fixed fields.
  CobModel withMaterial{{p, CobMaterialChunk{}}};
  Bytes m = CobBinary(withMaterial);
  const size_t materialSizeAt = good.size() - 20 + 16;
  m[materialSizeAt] = 30;
  m.erase(m.begin() + static_cast<long>(materialSizeAt + 4 + 30),
          m.begin() + static_cast<long>(materialSizeAt + 4 + 41));
  EXPECT_EQ(ReadCobBytes(doc, m), -2);
}

// ---- The sample files, end to end ----

// What one polygon chunk of an ASCII sample file lists, from its own lines.
// A face of n corners is one face of 3 or 4 corners or n - 2 triangles
// (the sample files hold no back sides, which would count once).
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

// The binary files hold the models of their ASCII twins, whose own lines
// give what every part must hold.
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
        const std::vector<float>&u = x.primitives[k].vertices, &v = y.primitives[k].vertices;
        ASSERT_EQ(u.size(), v.size());
        for (size_t j = 0; j < u.size(); ++j)
          ASSERT_NEAR(u[j], v[j], 2e-4f) << "float " << j;
      }
    }
  }
  // The molecule's materials: ks 0.1 in the ASCII form, the fixed 0.5 in
  // the binary one; the blue sphere is the first part read, so the last group.
  test::RecordedDocument ascii, binary;
  ASSERT_EQ(ReadModelFile(ascii.doc, kCobDir + "molecule_ascii.cob", false), 0);
  ASSERT_EQ(ReadModelFile(binary.doc, kCobDir + "molecule.cob", false), 0);
  const DisplayGroup& sphere = ascii.scene().groups[test::TopGroups(ascii.scene()).back()];
  EXPECT_NEAR(sphere.specular[0], 0.1f, 1e-6f);
  EXPECT_NEAR(binary.scene().groups[test::TopGroups(binary.scene()).back()].specular[0], 0.5f,
              1e-6f);
  test::ExpectNear(sphere.color, {0.345098f, 0.435294f, 0.909804f}, 1e-5f);
}

TEST(CobSampleFiles, SpiderPartsOfSeveralMaterialsUseCornerColours) {
  test::RecordedDocument d;
  ASSERT_EQ(ReadModelFile(d.doc, kCobDir + "spider_4_3.cob", false), 0);
  ASSERT_EQ(test::TopGroups(d.scene()).size(), 1u);
  const DisplayGroup& spider = d.scene().groups[d.scene().rootHead];
  EXPECT_TRUE(spider.flags & VertexColors);
  // Its four greys (0.8, 0.6, 0.4, 0.2 plus ka 0.25) appear on the corners.
  std::vector<float> greys;
  const int stride = VertexStride(spider);
  for (const DisplayPrimitive& prim : spider.primitives)
    for (size_t v = 0; v + stride <= prim.vertices.size(); v += stride)
      greys.push_back(prim.vertices[v + 3]);
  std::sort(greys.begin(), greys.end());
  greys.erase(std::unique(greys.begin(), greys.end(),
                          [](float a, float b) { return std::abs(a - b) < 1e-5f; }),
              greys.end());
  ASSERT_EQ(greys.size(), 4u);
  EXPECT_NEAR(greys[0], 0.45f, 1e-5f);
  EXPECT_NEAR(greys[3], 1.0f, 1e-5f);
}

TEST(CobSampleFiles, SampleFilesSurviveEveryTruncationAndDamage) {
  for (const std::string name : {"molecule.cob", "molecule_ascii.cob"}) {
    SCOPED_TRACE(name);
    const Bytes whole = test::ReadBytes(kCobDir + name);
    const size_t complete = CompleteAt(whole, name.find("ascii") != std::string::npos);
    test::ForEachCut(whole, [&](const Bytes& cut, size_t n) {
      Document doc;
      ASSERT_EQ(ReadCobBytes(doc, cut), n >= complete ? 0 : -2);
    }, 1024, 200);
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

TEST(CobSampleFiles, FailedReadsSayWhyAndLeaveTheSceneAlone) {
  const std::string missing = kCobDir + "no_such_file.cob";
  Document doc;
  EXPECT_EQ(ReadCobModel(doc, missing), -1);
  test::ExpectRefused(missing, "Can't open " + missing + " for read\n", false);
  test::TempDir dir;
  CobModel model{{Cube()}};
  model.end = false;
  test::WriteText(dir / "cut.cob", CobAscii(model));
  test::ExpectRefused(dir / "cut.cob", "Can't decode " + (dir / "cut.cob") + " correctly\n");
}

}  // namespace
}  // namespace modra
