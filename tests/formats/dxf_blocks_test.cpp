#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "formats/dxf_reader.h"
#include "formats/import_mesh.h"
#include "formats/import_test_util.h"
#include "reader_harness.h"

namespace modra {
namespace {

using namespace std::string_literals;

std::string G(int code, const std::string& value) {
  return std::to_string(code) + "\n" + value + "\n";
}

std::string Num(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

std::string Point(int firstCode, const Vec3& p) {
  return G(firstCode, Num(p[0])) + G(firstCode + 10, Num(p[1])) + G(firstCode + 20, Num(p[2]));
}

std::string Face(const Vec3& a, const Vec3& b, const Vec3& c) {
  return G(0, "3DFACE") + G(8, "0") + Point(10, a) + Point(11, b) + Point(12, c);
}

std::string Block(const std::string& name, const Vec3& base, const std::string& body) {
  return G(0, "BLOCK") + G(8, "0") + G(2, name) + G(70, "0") + Point(10, base) + G(3, name) + body +
         G(0, "ENDBLK") + G(8, "0");
}

struct Placing {
  Vec3 at = {0, 0, 0};
  Vec3 scale = {1, 1, 1};
  double degrees = 0;
  int columns = 1, rows = 1;
  double columnSpacing = 0, rowSpacing = 0;
};

std::string Insert(const std::string& name, const Placing& p = {}) {
  std::string s = G(0, "INSERT") + G(8, "0") + G(2, name) + Point(10, p.at) +
                  G(41, Num(p.scale[0])) + G(42, Num(p.scale[1])) + G(43, Num(p.scale[2])) +
                  G(50, Num(p.degrees));
  if (p.columns != 1 || p.rows != 1)
    s += G(70, std::to_string(p.columns)) + G(71, std::to_string(p.rows)) +
         G(44, Num(p.columnSpacing)) + G(45, Num(p.rowSpacing));
  return s;
}

std::string File(const std::string& blocks, const std::string& entities) {
  return G(0, "SECTION") + G(2, "BLOCKS") + blocks + G(0, "ENDSEC") + G(0, "SECTION") +
         G(2, "ENTITIES") + entities + G(0, "ENDSEC") + G(0, "EOF");
}

// A polyface mesh of `points` and face records of up to four 1-based indices.
std::string Polyface(const std::vector<Vec3>& points,
                     const std::vector<std::vector<int>>& records) {
  std::string s = G(0, "POLYLINE") + G(66, "1") + G(8, "0") + G(70, "64") +
                  G(71, std::to_string(points.size())) + G(72, std::to_string(records.size()));
  for (const Vec3& p : points)
    s += G(0, "VERTEX") + G(8, "0") + Point(10, p) + G(70, "192");
  for (const std::vector<int>& r : records) {
    s += G(0, "VERTEX") + G(8, "0") + Point(10, {0, 0, 0}) + G(70, "128");
    for (size_t k = 0; k < r.size(); ++k)
      s += G(71 + static_cast<int>(k), std::to_string(r[k]));
  }
  return s + G(0, "SEQEND") + G(8, "0");
}

// Reads from a buffer of exactly the text's size, so that the sanitizer
// sees overreads; the corners of every face in DXF axes.
struct Staged {
  Document doc;
  int result;
  explicit Staged(const std::string& text, const DxfLimits& limits = {}) {
    std::vector<uint8_t> bytes(text.begin(), text.end());
    result = ReadDxfBytes(doc, bytes, limits);
  }
  size_t faces() const { return doc.importMesh.faces.size(); }
  std::vector<Vec3> Corners(size_t f) const {
    const ImportMesh& m = doc.importMesh;
    std::vector<Vec3> out;
    for (int k = 0; k < m.faces.at(f).cornerCount; ++k) {
      const Vec3& v = m.meshVertices.at(m.faces[f].cornerVertices[k]);
      out.push_back({v[0], v[2], v[1]});
    }
    return out;
  }
};

void ExpectCorners(const std::vector<Vec3>& actual, const std::vector<Vec3>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t k = 0; k < actual.size(); ++k) {
    SCOPED_TRACE(k);
    test::ExpectNear(actual[k], expected[k]);
  }
}

std::string Write(const test::TempDir& dir, const std::string& name, const std::string& text) {
  test::WriteText(dir / name, text);
  return dir / name;
}

// The block's face a (1,0,0), b (2,0,0), c (1,1,1) about base (1,0,0):
// relative to the base (0,0,0), (1,0,0), (0,1,1).
const std::string kTriangleBlock = Block("T", {1, 0, 0}, Face({1, 0, 0}, {2, 0, 0}, {1, 1, 1}));

TEST(DxfBlocks, InsertsScaleTurnAndMoveTheBlockAboutItsBase) {
  Placing twice{.at = {10, 0, 0}, .scale = {2, 2, 2}};
  Placing turned{.at = {0, 5, 1}, .degrees = 90};
  Placing stretched{.scale = {2, 3, 4}, .degrees = 90};
  const Staged s(
      File(kTriangleBlock, Insert("T", twice) + Insert("T", turned) + Insert("T", stretched)));
  ASSERT_EQ(s.result, 0);
  ASSERT_EQ(s.faces(), 3u);
  ExpectCorners(s.Corners(0), {{10, 0, 0}, {12, 0, 0}, {10, 2, 2}});
  ExpectCorners(s.Corners(1), {{0, 5, 1}, {0, 6, 1}, {-1, 5, 2}});
  // Scale first, then the turn: (0,1,1) -> (0,3,4) -> (-3,0,4).
  ExpectCorners(s.Corners(2), {{0, 0, 0}, {0, 2, 0}, {-3, 0, 4}});
  // The file's own points keep DXF (X, Y, Z) as (X, Z, Y).
  EXPECT_EQ(s.doc.importMesh.meshVertices[1], (Vec3{12, 0, 0}));
  EXPECT_EQ(s.doc.importMesh.meshVertices[5], (Vec3{-1, 2, 5}));

  // An array repeats the block in rows of columns, in the turned frame.
  Placing grid{.at = {0, 0, 3},
               .degrees = 90,
               .columns = 2,
               .rows = 2,
               .columnSpacing = 10,
               .rowSpacing = 20};
  const Staged a(File(kTriangleBlock, Insert("T", grid)));
  ASSERT_EQ(a.faces(), 4u);
  const Vec3 cells[] = {{0, 0, 3}, {0, 10, 3}, {-20, 0, 3}, {-20, 10, 3}};
  for (size_t f = 0; f < 4; ++f)
    ExpectCorners(std::vector<Vec3>{a.Corners(f)[0]}, {cells[f]});
  // Counts below one are one.
  Placing none{.columns = 0, .rows = -5, .columnSpacing = 1, .rowSpacing = 1};
  EXPECT_EQ(Staged(File(kTriangleBlock, Insert("T", none))).faces(), 1u);
}

TEST(DxfBlocks, BlocksMakeFacesOnlyWherePlacedAndNestInAnyOrder) {
  // Outer comes first and places Inner, defined later, turned and moved.
  const std::string blocks = Block("Outer", {0, 0, 0},
                                   Insert("Inner", {.at = {1, 0, 0}, .degrees = 90}) +
                                       Face({0, 0, 0}, {0, 0, 1}, {0, 1, 0})) +
                             Block("Inner", {0, 0, 0}, Face({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
  const Staged s(File(blocks, Insert("Outer", {.at = {0, 0, 5}, .scale = {2, 2, 2}})));
  ASSERT_EQ(s.result, 0);
  ASSERT_EQ(s.faces(), 2u);
  ExpectCorners(s.Corners(0), {{2, 0, 5}, {2, 2, 5}, {0, 0, 5}});
  ExpectCorners(s.Corners(1), {{0, 0, 5}, {0, 0, 7}, {0, 2, 5}});

  // Definitions alone, or an INSERT of a block the file lacks, make nothing.
  for (const std::string& entities : {""s, Insert("Missing"), Insert("outer")}) {
    const Staged e(File(blocks, entities));
    EXPECT_EQ(e.result, 0);
    EXPECT_EQ(e.faces(), 0u);
  }
  // Nor does an INSERT without a name place a block without one.
  EXPECT_EQ(Staged(File(Block("", {0, 0, 0}, Face({0, 0, 0}, {1, 0, 0}, {0, 1, 0})),
                        G(0, "INSERT") + G(8, "0")))
                .faces(),
            0u);
  // A file cut inside a definition is refused.
  EXPECT_EQ(Staged(G(0, "SECTION") + G(2, "BLOCKS") + G(0, "BLOCK") + G(2, "B") +
                   Face({0, 0, 0}, {1, 0, 0}, {0, 1, 0}))
                .result,
            -2);
}

TEST(DxfBlocks, PlacementsThatNeverEndAreRefusedQuickly) {
  const auto start = std::chrono::steady_clock::now();
  const std::string face = Face({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  // A block inside itself, directly or through another.
  EXPECT_EQ(Staged(File(Block("A", {0, 0, 0}, face + Insert("A")), Insert("A"))).result, -2);
  EXPECT_EQ(Staged(File(Block("A", {0, 0, 0}, Insert("B")) + Block("B", {0, 0, 0}, Insert("A")),
                        Insert("A")))
                .result,
            -2);
  // A chain of blocks, each placing the next, kDxfMaxBlockDepth deep at most.
  const auto chain = [&](size_t depth) {
    std::string blocks;
    for (size_t k = 0; k + 1 < depth; ++k)
      blocks += Block("B" + std::to_string(k), {0, 0, 0}, Insert("B" + std::to_string(k + 1)));
    blocks += Block("B" + std::to_string(depth - 1), {0, 0, 0}, face);
    return Staged(File(blocks, Insert("B0")));
  };
  EXPECT_EQ(chain(kDxfMaxBlockDepth).faces(), 1u);
  EXPECT_EQ(chain(kDxfMaxBlockDepth + 1).result, -2);
  // Each level doubling: 2^20 faces from a few hundred bytes.
  std::string doubling = Block("L20", {0, 0, 0}, face);
  for (int k = 19; k >= 0; --k)
    doubling += Block("L" + std::to_string(k), {0, 0, 0},
                      Insert("L" + std::to_string(k + 1)) +
                          Insert("L" + std::to_string(k + 1), {.at = {1, 0, 0}}));
  EXPECT_EQ(Staged(File(doubling, Insert("L0")), {.maxPlacedFaces = 1000}).result, -3);
  EXPECT_EQ(Staged(File(doubling, Insert("L0")), {.maxVertices = 3000}).result, -3);
  // A vast array of an empty block makes nothing, at a bounded cost.
  const std::string empty =
      File(Block("E", {0, 0, 0}, ""), Insert("E", {.columns = 32767, .rows = 32767}));
  EXPECT_EQ(Staged(empty, {.maxPlacedText = 1 << 20}).result, -3);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));

  // What the import says of them.
  test::TempDir dir;
  const std::string self =
      Write(dir, "self.dxf", File(Block("A", {0, 0, 0}, Insert("A")), Insert("A")));
  test::ExpectRefused(self, "Can't decode " + self + " correctly\n");
}

// The corners of a cube's six sides, from 1 on, with hidden edges negative.
const std::vector<Vec3> kCube = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                 {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
const std::vector<std::vector<int>> kCubeSides = {{1, 4, 3, 2},  {5, 6, 7, -8}, {1, 2, 6, 5},
                                                  {2, 3, -7, 6}, {3, 4, 8, 7},  {4, 1, 5, 8}};

TEST(DxfBlocks, PolyfaceMeshesMakeTheirFaceRecordsSkippingBadOnes) {
  const Staged cube(File("", Polyface(kCube, kCubeSides)));
  ASSERT_EQ(cube.result, 0);
  ASSERT_EQ(cube.faces(), 6u);
  for (size_t f = 0; f < 6; ++f) {
    std::vector<Vec3> expected;
    for (int index : kCubeSides[f])
      expected.push_back(kCube[std::abs(index) - 1]);
    ExpectCorners(cube.Corners(f), expected);
  }
  // A triangle leaves 74 out or 0; a record without three points, or one
  // naming a point that is not there, makes nothing.
  const Staged mixed(File("", Polyface(kCube, {{1, 2, 3},
                                               {0, 2, 3},
                                               {1, 2, 0, 4},
                                               {1, 2},
                                               {1, 2, 9},
                                               {1, -9, 3, 4},
                                               {1, 2, 3, 0},
                                               {-2147483647 - 1, 1, 2},
                                               {5, 6, 7, 8}})));
  ASSERT_EQ(mixed.result, 0);
  ASSERT_EQ(mixed.faces(), 3u);
  ExpectCorners(mixed.Corners(0), {kCube[0], kCube[1], kCube[2]});
  ExpectCorners(mixed.Corners(1), {kCube[0], kCube[1], kCube[2]});
  ExpectCorners(mixed.Corners(2), {kCube[4], kCube[5], kCube[6], kCube[7]});
  // Placed by a block like any face.
  const Staged placed(
      File(Block("C", {0, 0, 0}, Polyface(kCube, kCubeSides)), Insert("C", {.at = {0, 0, 10}})));
  ASSERT_EQ(placed.faces(), 6u);
  ExpectCorners(placed.Corners(1), {{0, 0, 11}, {1, 0, 11}, {1, 1, 11}, {0, 1, 11}});
}

// The faces a polyface file should give, counted from its face records:
// records whose first three numbers name points read before them.
test::FaceCounts CountPolyfaceFaces(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string code, value, entity;
  int points = 0, flags = 0, inserts = 0;
  int index[4] = {};
  test::FaceCounts count;
  const auto finish = [&] {
    if (entity == "VERTEX" && (flags & 192) == 192) ++points;
    if (entity != "VERTEX" || (flags & 192) != 128) return;
    bool good = true;
    for (int k = 0; k < 4; ++k)
      good &= (k == 3 || index[k] != 0) && std::abs(index[k]) <= points;
    if (good) ++(index[3] ? count.quads : count.triangles);
  };
  while (std::getline(in, code) && std::getline(in, value)) {
    if (!value.empty() && value.back() == '\r') value.pop_back();
    const int c = std::atoi(code.c_str());
    if (c == 0) {
      finish();
      entity = value;
      flags = 0;
      index[0] = index[1] = index[2] = index[3] = 0;
      inserts += value == "INSERT";
    }
    if (c == 70) flags = std::atoi(value.c_str());
    if (c >= 71 && c <= 74) index[c - 71] = std::atoi(value.c_str());
  }
  EXPECT_EQ(inserts, 1);  // the count holds for a block placed once
  count.vertices = 3 * count.triangles + 4 * count.quads;
  return count;
}

TEST(DxfBlocks, RealPolyfaceFilePlacedByABlockLoadsAllItsFaces) {
  const std::string path = test::ModelPath("dxf/wuson.dxf");
  const test::FaceCounts expected = CountPolyfaceFaces(path);
  // Counted by hand from the file as well.
  EXPECT_EQ(expected, (test::FaceCounts{.triangles = 3732, .quads = 0, .vertices = 11196}));
  test::RecordedDocument d;
  ASSERT_EQ(ReadModelFile(d.doc, path, false), 0);
  EXPECT_TRUE(d.shell.messages.empty());
  const DisplayGroup& g = d.scene().groups[d.scene().rootHead];
  EXPECT_EQ(test::CountFaces(g), expected);
  test::ExpectSizedAndCentred(d.scene());
}

TEST(DxfBlocks, DamagedBlocksAndPolyfacesReadOrFailCleanly) {
  const std::string full =
      File(Block("C", {1, 0, 0}, Polyface(kCube, kCubeSides) + Insert("T")) + kTriangleBlock,
           Insert("C", {.degrees = 30, .columns = 2, .columnSpacing = 3}) + Insert("T"));
  ASSERT_EQ(Staged(full).faces(), 15u);
  const auto check = [](const std::string& text) {
    test::RecordedDocument d;
    test::AddTriangle(d.scene(), "kept");
    std::vector<uint8_t> bytes(text.begin(), text.end());
    const int result = ReadDxfBytes(d.doc, bytes, DxfLimits{.maxPlacedFaces = 100000});
    ASSERT_TRUE(result == 0 || result == -1 || result == -2 || result == -3) << result;
    const ImportMesh& m = d.doc.importMesh;
    for (const MeshFace& f : m.faces)
      for (int k = 0; k < f.cornerCount; ++k)
        ASSERT_LT(static_cast<size_t>(f.cornerVertices[k]), m.meshVertices.size());
    EXPECT_EQ(test::Names(d.scene(), d.scene().rootHead), std::vector<std::string>{"kept"});
  };
  test::ForEachCut(
      full, [&](const std::string& cut, size_t) { check(cut); }, 512, 300);
  test::ForEachDamage(full, 1500, check, "INSERTBLOCKENDBLKVERTEX0123456789-\n"s, 8, 7);
}

}  // namespace
}  // namespace modra
