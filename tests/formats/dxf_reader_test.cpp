#include "formats/dxf_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "formats/import_mesh.h"
#include "formats/import_test_util.h"
#include "reader_harness.h"

namespace modra {
namespace {

using namespace std::string_literals;

std::string G(int code, const std::string& value) {
  return std::to_string(code) + "\n" + value + "\n";
}

std::string Num(float v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

std::string Point(int firstCode, const Vec3& p) {
  return G(firstCode, Num(p[0])) + G(firstCode + 10, Num(p[1])) + G(firstCode + 20, Num(p[2]));
}

// A 3DFACE with three corners, or four when `fourth` is given.
std::string Face(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3* fourth = nullptr) {
  std::string s = G(0, "3DFACE") + G(8, "0") + Point(10, a) + Point(11, b) + Point(12, c);
  if (fourth) s += Point(13, *fourth);
  return s;
}

std::string Mesh(int rows, int columns, const std::vector<Vec3>& vertices, int flags = 16) {
  std::string s = G(0, "POLYLINE") + G(66, "1") + G(8, "0") + G(70, std::to_string(flags)) +
                  G(71, std::to_string(rows)) + G(72, std::to_string(columns));
  for (const Vec3& v : vertices)
    s += G(0, "VERTEX") + G(8, "0") + Point(10, v) + G(70, "64");
  return s + G(0, "SEQEND") + G(8, "0");
}

// The grid vertices of a mesh, each one telling its number k: (k, 10k, 100k).
std::vector<Vec3> Grid(int count) {
  std::vector<Vec3> v;
  for (int k = 0; k < count; ++k)
    v.push_back({float(k), 10.0f * k, 100.0f * k});
  return v;
}

std::string Entities(const std::string& body) {
  return G(0, "SECTION") + G(2, "ENTITIES") + body + G(0, "ENDSEC") + G(0, "EOF");
}

// From a buffer of exactly the text's size, so that the sanitizer sees overreads.
int Read(Document& doc, const std::string& text, size_t maxVertices = kDxfMaxVertices) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  return ReadDxfBytes(doc, bytes, maxVertices);
}

// What a mesh that a read accepted must hold, whatever the file was.
void ExpectConsistent(const ImportMesh& m) {
  ASSERT_EQ(m.parts.size(), 1u);
  ASSERT_EQ(m.parts[0].entries.size(), 1u);
  EXPECT_EQ(m.parts[0].name, "");
  EXPECT_EQ(m.parts[0].entries[0].key, -1);
  ASSERT_EQ(m.parts[0].entries[0].faces.size(), m.faces.size());
  ASSERT_EQ(m.objects.size(), 1u);
  size_t corners = 0;
  for (size_t f = 0; f < m.faces.size(); ++f) {
    const MeshFace& face = m.faces[f];
    EXPECT_EQ(m.parts[0].entries[0].faces[f], static_cast<int32_t>(f));
    ASSERT_TRUE(face.cornerCount == 3 || face.cornerCount == 4);
    // Corners take fresh vertices in order.
    for (int k = 0; k < face.cornerCount; ++k)
      ASSERT_EQ(face.cornerVertices[k], static_cast<int32_t>(corners++));
  }
  EXPECT_EQ(corners, m.meshVertices.size());
  EXPECT_EQ(m.faceNormals.size(), m.faces.size());
}

// A read of a text, its mesh checked when the read succeeded.
struct Staged {
  Document doc;
  int result;
  explicit Staged(const std::string& text, size_t maxVertices = kDxfMaxVertices)
      : result(Read(doc, text, maxVertices)) {
    if (result == 0) ExpectConsistent(doc.importMesh);
  }
  size_t faces() const { return doc.importMesh.faces.size(); }
  const MeshFace& face(size_t f) const { return doc.importMesh.faces.at(f); }
  std::vector<Vec3> Corners(size_t f) const {
    std::vector<Vec3> out;
    for (int k = 0; k < face(f).cornerCount; ++k)
      out.push_back(doc.importMesh.meshVertices[face(f).cornerVertices[k]]);
    return out;
  }
};

size_t Faces(const std::string& body) {
  return Staged(Entities(body)).faces();
}

TEST(DxfReading, FacesTakeThreeOrFourCornersFromTheirCodes) {
  // DXF (X, Y, Z) arrives as (X, Z, Y); a repeated last corner is kept.
  const Vec3 last = {7, 8, 9};
  const Staged s(Entities(Face({1, 2, 3}, {4, 5, 6}, last, &last)));
  ASSERT_EQ(s.faces(), 1u);
  test::ExpectSamePositions(s.Corners(0), {{1, 3, 2}, {4, 6, 5}, {7, 9, 8}, {7, 9, 8}});
  EXPECT_EQ(s.face(0).creaseCos, 1.0f);
  EXPECT_FALSE(s.face(0).hasNormals);
  // Any code of the fourth corner makes four corners; others are passed over.
  const std::string start = G(0, "3DFACE") + Point(10, {1, 1, 1}) + Point(11, {2, 2, 2});
  const std::string third = start + Point(12, {3, 3, 3});
  for (auto [groups, fourth] : {std::pair{third + G(13, "4"), Vec3{4, 0, 0}},
                                {third + G(23, "4"), Vec3{0, 0, 4}},
                                {third + G(33, "4"), Vec3{0, 4, 0}}}) {
    const Staged four(Entities(groups));
    ASSERT_EQ(four.faces(), 1u);
    ASSERT_EQ(four.face(0).cornerCount, 4);
    test::ExpectNear(four.Corners(0)[3], fourth);
  }
  for (const std::string& groups : {third, start + G(14, "9") + G(34, "9")})
    EXPECT_EQ(Staged(Entities(groups)).face(0).cornerCount, 3);
  // Missing coordinates are zero and later groups win.
  const Staged later(Entities(G(0, "3DFACE") + G(10, "1") + G(20, "2") + G(21, "5") + G(32, "6") +
                              G(10, "-1") + G(62, "3") + G(999, "remark")));
  test::ExpectSamePositions(later.Corners(0), {{-1, 0, 2}, {0, 0, 5}, {0, 6, 0}});
}

TEST(DxfReading, ThousandsOfFacesKeepTheirCornersUpToTheVertexLimit) {
  // Enough faces for the tables to be sized from the first ones.
  std::string body;
  const int count = 9000;
  for (int f = 0; f < count; ++f) {
    const float x = float(f);
    const Vec3 fourth = {x, 3, 3};
    body += Face({x, 0, 0}, {x, 1, 0}, {x, 2, 1}, f % 3 ? nullptr : &fourth);
  }
  const Staged s(Entities(body));
  ASSERT_EQ(s.faces(), size_t(count));
  for (int f : {0, 4095, 4096, 4097, count - 1}) {
    const float x = float(f);
    std::vector<Vec3> expected = {{x, 0, 0}, {x, 0, 1}, {x, 1, 2}};
    if (f % 3 == 0) expected.push_back({x, 3, 3});
    test::ExpectSamePositions(s.Corners(f), expected);
  }
  // Too many vertices for one polyline or for the file are refused.
  EXPECT_EQ(Faces(Mesh(100, 100, Grid(10000))), 99u * 99u);
  EXPECT_EQ(Staged(Entities(Mesh(100, 100, Grid(10001)))).result, -3);  // per polyline
  const std::string two =
      Entities(Face({0, 0, 0}, {1, 0, 0}, {0, 1, 0}) + Face({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
  EXPECT_EQ(Staged(two, 6).result, 0);
  EXPECT_EQ(Staged(two, 5).result, -3);
  EXPECT_EQ(Staged(Entities(Mesh(3, 3, Grid(9))), 15).result, -3);
}

TEST(DxfReading, PolygonMeshMakesQuadsInGridOrderOrNone) {
  const Staged s(Entities(Mesh(3, 4, Grid(12))));
  ASSERT_EQ(s.faces(), 6u);
  // Grid vertex k is (k, 10k, 100k), stored as (k, 100k, 10k).
  auto at = [](int k) { return Vec3{float(k), 100.0f * k, 10.0f * k}; };
  for (int i = 0, face = 0; i < 2; ++i)
    for (int j = 0, k = i * 4; j < 3; ++j, ++face, ++k)
      test::ExpectSamePositions(s.Corners(face), {at(k), at(k + 1), at(k + 5), at(k + 4)});
  // Closing flags and extra vertices change nothing; the elevation is a vertex's Z.
  EXPECT_EQ(Faces(Mesh(3, 4, Grid(12), 16 | 1 | 32)), 6u);
  EXPECT_EQ(Faces(Mesh(2, 2, Grid(9))), 1u);
  std::string body = G(0, "POLYLINE") + G(70, "16") + G(71, "2") + G(72, "2");
  for (int k = 0; k < 4; ++k)
    body += G(0, "VERTEX") + G(10, std::to_string(k % 2)) + G(20, std::to_string(k / 2)) +
            G(30, "1") + G(38, "5");
  const Staged raised(Entities(body + G(0, "SEQEND")));
  ASSERT_EQ(raised.faces(), 1u);
  for (const Vec3& p : raised.Corners(0))
    EXPECT_EQ(p[1], 5.0f);
  // An insertion's attributes end with a SEQEND of their own: the last mesh is made again.
  EXPECT_EQ(Faces(Mesh(2, 3, Grid(6)) + G(0, "INSERT") + G(66, "1") + G(0, "ATTRIB") + G(1, "x") +
                  G(0, "SEQEND") + G(8, "0")),
            4u);
  // A new POLYLINE empties the list: its SEQEND has nothing to use.
  EXPECT_EQ(Faces(Mesh(2, 3, Grid(6)) + G(0, "POLYLINE") + G(70, "16") + G(71, "2") + G(72, "2") +
                  G(0, "SEQEND") + G(0, "SEQEND")),
            2u);
  // Meshes that make no faces.
  for (const std::string& body : {
           Mesh(3, 4, Grid(12), 64),                                // polyface mesh
           Mesh(3, 4, Grid(12), 1),                                 // closed polyline
           Mesh(3, 4, Grid(12), 32),                                // closed in N only, no mesh bit
           Mesh(3, 4, Grid(12), 0),                                 // plain polyline
           Mesh(3, 4, Grid(11)),                                    // one vertex short
           Mesh(1, 4, Grid(12)),                                    // a single row
           Mesh(3, 0, Grid(12)),                                    // no columns
           Mesh(-3, -4, Grid(12)),                                  // negative counts
           Mesh(2147483647, 2, Grid(12)),                           // i x N + j would overflow
           Mesh(65536, 65536, Grid(12)),                            // M x N overflows int32
           G(0, "VERTEX") + Point(10, {1, 2, 3}) + G(0, "SEQEND"),  // no polyline read yet
       }) {
    const Staged none(Entities(body));
    EXPECT_TRUE(none.result == 0 && none.faces() == 0) << body;
  }
}

TEST(DxfReading, CodesAndValuesReadAsScanfReadsThemWithEitherLineEnd) {
  const Staged values(Entities(G(0, "3DFACE") + "  10\n+1.5\n 20 \n 2e1xyz\n30\nabc\n" +
                               "11x\n7\n" +  // "11x" reads as code 11
                               "x\n9\n" +    // no code at all: passed over
                               G(21, "1,5") + G(31, ".25") + Point(12, {0, 0, 0})));
  ASSERT_EQ(values.faces(), 1u);
  test::ExpectSamePositions(values.Corners(0), {{1.5f, 0, 20}, {7, 0.25f, 1}, {0, 0, 0}});

  const std::string face = G(0, "3DFACE") + "+10\n3\n" +
                           "4294967306\n9\n" +  // beyond int32: an integer code, passed over
                           "-1\n3DFACE\n" +     // code -1 holds a string and starts nothing
                           Point(11, {1, 0, 0}) + Point(12, {0, 1, 0});
  std::string mesh = G(0, "POLYLINE") + G(70, " +16") + G(71, "+3") + G(72, "4abc");
  for (const Vec3& v : Grid(12))
    mesh += G(0, "VERTEX") + Point(10, v);
  const Staged codes(Entities(face + mesh + G(0, "SEQEND")));
  ASSERT_EQ(codes.faces(), 1u + 6u);
  EXPECT_EQ(codes.face(0).cornerCount, 3);
  EXPECT_EQ(codes.Corners(0)[0], (Vec3{3, 0, 0}));
  // Long lines do not put groups out of step.
  const Staged longLines(Entities(G(999, std::string(700, 'x')) + G(0, "3DFACE") +
                                  G(10, std::string(300, ' ') + "4") +
                                  G(1000, std::string(256, 'y')) + Point(11, {1, 0, 0}) +
                                  Point(12, {0, 1, 0}) + Face({0, 0, 0}, {1, 0, 0}, {0, 1, 0})));
  ASSERT_EQ(longLines.faces(), 2u);
  EXPECT_EQ(longLines.Corners(0)[0][0], 4.0f);
  // CR LF line ends read like LF.
  const Vec3 top = {0, 0, 5};
  const std::string text = Entities(Face({0, 0, 0}, {1.5f, 0, 0}, {0, 2, 0}, &top) +
                                    Mesh(3, 3, Grid(9)) + G(0, "CIRCLE") + G(40, "1"));
  std::string crlf;
  for (char c : text)
    c == '\n' ? crlf += "\r\n" : crlf += c;
  const Staged a(text), b(crlf);
  ASSERT_EQ(a.faces(), 5u);
  ASSERT_EQ(b.faces(), a.faces());
  EXPECT_EQ(a.doc.importMesh.meshVertices, b.doc.importMesh.meshVertices);
  for (size_t f = 0; f < a.faces(); ++f)
    EXPECT_EQ(a.face(f).cornerCount, b.face(f).cornerCount);
}

TEST(DxfReading, WhereTheFileMayStartAndEnd) {
  const std::string face = Face({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  const std::string head = G(0, "SECTION") + G(2, "ENTITIES");
  const std::string mesh = Mesh(2, 2, Grid(4));
  struct Case {
    std::string text;
    int result;
    size_t faces;
  };
  for (const Case& c : {
           Case{head + face + G(0, "ENDSEC"), 0, 1},                       // no EOF
           Case{head + face + G(0, "LINE") + Point(10, {1, 1, 1}), 0, 1},  // inside a LINE
           Case{head + face + G(0, "ENDSEC") + "0", 0, 1},      // a code without its value
           Case{head + face, -2, 0},                            // inside a 3DFACE
           Case{head + G(0, "CIRCLE") + G(40, "1"), -2, 0},     // inside a CIRCLE
           Case{head + G(0, "POLYLINE") + G(70, "16"), -1, 0},  // inside a POLYLINE header
           Case{head + G(0, "POLYLINE") + G(0, "VERTEX") + G(10, "1"), -2, 0},  // inside a VERTEX
           // The last line needs no line feed: SEQEND still counts.
           Case{head + mesh.substr(0, mesh.rfind("SEQEND") + 6), 0, 1},
           // A file without groups is an empty model.
           Case{"", 0, 0},
           Case{"\n", 0, 0},
           Case{"0", 0, 0},
           Case{G(999, "a comment"), 0, 0},
       }) {
    const Staged s(c.text);
    EXPECT_EQ(s.result, c.result) << c.text;
    EXPECT_EQ(s.faces(), c.faces) << c.text;
  }
  // The first group must start a section.
  for (const std::string& start :
       std::vector<std::string>{G(0, "SECTION"), G(0, "SECTIONS"), "  0\nSECTION\r\n",
                                G(999, "made by hand") + G(999, "") + G(0, "SECTION")})
    EXPECT_EQ(Staged(start + face + G(0, "EOF")).faces(), 1u) << start;
  for (const std::string& start : {G(0, "SECTIO"), G(0, "section"), G(2, "SECTION"),
                                   G(0, " SECTION"), G(999, "x") + G(9, "SECTION"), G(0, "EOF"),
                                   std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)})
    EXPECT_EQ(Staged(start + face + G(0, "EOF")).result, -2) << start;
}

std::string Write(const test::TempDir& dir, const std::string& name, const std::string& text) {
  test::WriteText(dir / name, text);
  return dir / name;
}

// Faces at right angles keep their own normals at every corner.
TEST(DxfImport, FacesAreDrawnFlatAndFailuresKeepTheScene) {
  test::TempDir dir;
  test::RecordedDocument d;
  const std::string text =
      Entities(Face({0, 0, 0}, {1, 0, 0}, {0, 1, 0}) + Face({0, 0, 0}, {0, 1, 0}, {0, 0, 1}));
  ASSERT_EQ(ReadModelFile(d.doc, Write(dir, "flat.dxf", text), false), 0);
  const DisplayGroup& g = d.scene().groups[d.scene().rootHead];
  ASSERT_EQ(g.primitives.size(), 1u);
  const DisplayPrimitive& p = g.primitives[0];
  ASSERT_EQ(p.type, kTriangles);
  ASSERT_EQ(p.vertexCount, 6);
  ASSERT_EQ(VertexStride(g), 6);  // the part took the white material: no vertex colours
  // DXF (X, Y, Z) is (X, Z, Y) here; the normal is (P2 - P0) x (P1 - P0).
  for (int v = 0; v < 6; ++v)
    test::ExpectNear({p.vertices[v * 6 + 3], p.vertices[v * 6 + 4], p.vertices[v * 6 + 5]},
                     v < 3 ? Vec3{0, 1, 0} : Vec3{1, 0, 0});
  // Files without faces give one empty group.
  const std::string lines = Entities(G(0, "LINE") + Point(10, {0, 0, 0}) + Point(11, {1, 1, 1}) +
                                     G(0, "CIRCLE") + Point(10, {0, 0, 0}) + G(40, "2"));
  for (const std::string& path : {Write(dir, "empty.dxf", ""), Write(dir, "lines.dxf", lines)}) {
    test::RecordedDocument e;
    ASSERT_EQ(ReadModelFile(e.doc, path, false), 0) << path;
    EXPECT_TRUE(e.shell.messages.empty());
    ASSERT_EQ(test::TopGroups(e.scene()).size(), 1u);
    EXPECT_EQ(e.scene().groups[e.scene().rootHead].name, "");
    EXPECT_TRUE(e.scene().groups[e.scene().rootHead].primitives.empty());
  }
  const std::string notDxf = Write(dir, "notes.dxf", G(0, "TABLE") + G(0, "EOF"));
  const std::string tooMany = Write(dir, "big.dxf", Entities(Mesh(2, 2, Grid(10001))));
  test::ExpectRefused(notDxf, "Can't decode " + notDxf + " correctly\n");
  test::ExpectRefused(tooMany, tooMany + " is too large to load or can't be decoded\n");
}

// Faces a file should give: 3DFACEs by their corner codes, meshes by their headers.
test::FaceCounts CountFaces(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::pair<int, std::string>> groups;
  std::string code, value;
  while (std::getline(in, code) && std::getline(in, value)) {
    if (!value.empty() && value.back() == '\r') value.pop_back();
    groups.emplace_back(std::atoi(code.c_str()), value);
  }
  test::FaceCounts count;
  int flags = 0, rows = 0, columns = 0, vertices = 0;
  for (size_t i = 0; i < groups.size(); ++i) {
    if (groups[i].first != 0) continue;
    const std::string& entity = groups[i].second;
    bool fourth = false;
    if (entity == "POLYLINE") flags = vertices = 0, rows = columns = 1;
    for (size_t j = i + 1; j < groups.size() && groups[j].first != 0; ++j) {
      const int c = groups[j].first, v = std::atoi(groups[j].second.c_str());
      fourth |= entity == "3DFACE" && (c == 13 || c == 23 || c == 33);
      if (entity != "POLYLINE") continue;
      if (c == 70) flags = v;
      if (c == 71) rows = v;
      if (c == 72) columns = v;
    }
    if (entity == "3DFACE") ++(fourth ? count.quads : count.triangles);
    vertices += entity == "VERTEX";
    if (entity == "SEQEND" && (flags & 16) && rows > 1 && columns > 1 && rows * columns <= vertices)
      count.quads += (rows - 1) * (columns - 1);
  }
  count.vertices = 3 * count.triangles + 4 * count.quads;
  return count;
}

TEST(DxfImport, EveryTestFileLoadsSizedAndCentred) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(test::ModelPath("dxf"))) {
    const std::string path = entry.path().string();
    SCOPED_TRACE(path);
    ++files;
    test::RecordedDocument d;
    ASSERT_EQ(ReadModelFile(d.doc, path, false), 0);
    EXPECT_TRUE(d.shell.messages.empty());
    ASSERT_EQ(test::TopGroups(d.scene()).size(), 1u);  // the one part, without a name
    const DisplayGroup& g = d.scene().groups[d.scene().rootHead];
    EXPECT_EQ(g.name, "");
    EXPECT_EQ(g.child, -1);
    for (const DisplayPrimitive& p : g.primitives)
      ASSERT_EQ(p.vertices.size(), static_cast<size_t>(p.vertexCount) * VertexStride(g));
    // The file whose faces a block places is counted in dxf_blocks_test.cpp.
    if (entry.path().filename() != "wuson.dxf") {
      EXPECT_EQ(test::CountFaces(g), CountFaces(path));
    }
    if (!g.primitives.empty()) test::ExpectSizedAndCentred(d.scene());
  }
  EXPECT_EQ(files, 3);
}

TEST(DxfDamage, TruncatedAndCorruptedFilesReadOrFailCleanly) {
  const Vec3 last = {1, 1, 0};
  const std::string full =
      G(999, "small") +
      Entities(Face({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, &last) + G(0, "CIRCLE") + G(40, "1") +
               Mesh(2, 3, Grid(6)) + G(0, "LINE") + Point(10, {1, 2, 3}));
  ASSERT_EQ(Staged(full).faces(), 3u);
  test::ForEachCut(full, [](const std::string& cut, size_t) {
    test::RecordedDocument d;
    test::AddTriangle(d.scene(), "kept");
    const int result = Read(d.doc, cut);
    ASSERT_TRUE(result == 0 || result == -1 || result == -2) << result;
    if (result == 0) ExpectConsistent(d.doc.importMesh);
    EXPECT_EQ(test::Names(d.scene(), d.scene().rootHead), std::vector<std::string>{"kept"});
  });
  // Digits, line ends and entity names keep the damaged text readable further in.
  const std::string typical = "3DFACESEQENDVERTEXPOLYLINE0123456789-+.e\n\r \xff\0"s;
  test::ForEachDamage(
      full, 3000,
      [](const std::string& text) {
        test::RecordedDocument d;
        const int result = Read(d.doc, text);
        ASSERT_TRUE(result == 0 || result == -1 || result == -2 || result == -3) << result;
        if (result == 0) ExpectConsistent(d.doc.importMesh);
      },
      typical, 8, 11);
}

}  // namespace
}  // namespace modra
