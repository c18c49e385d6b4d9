#include "formats/stl_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <string>
#include <vector>

#include "document/file_commands.h"
#include "edit/edit_session.h"
#include "formats/assimp_reader.h"
#include "formats/import_test_util.h"
#include "nativefile/native_reader.h"
#include "scene/group_fields.h"

namespace modra {
namespace {

struct Facet {
  Vec3 normal;
  std::array<Vec3, 3> corners;
};

float F32(const test::Bytes& b, size_t at) {
  uint32_t bits = 0;
  for (int i = 0; i < 4; ++i)
    bits |= uint32_t{b.at(at + i)} << (8 * i);
  return std::bit_cast<float>(bits);
}

// The facets of a binary STL, after checking its size against its count.
std::vector<Facet> Facets(const test::Bytes& b) {
  std::vector<Facet> out;
  EXPECT_GE(b.size(), 84u);
  if (b.size() < 84) return out;
  const uint32_t count = b[80] | b[81] << 8 | b[82] << 16 | uint32_t{b[83]} << 24;
  EXPECT_EQ(b.size(), 84 + 50 * size_t{count});
  for (size_t at = 84; at + 50 <= b.size(); at += 50) {
    Facet f;
    for (int i = 0; i < 3; ++i)
      f.normal[i] = F32(b, at + 4 * i);
    for (int k = 0; k < 3; ++k)
      for (int i = 0; i < 3; ++i)
        f.corners[k][i] = F32(b, at + 12 + 12 * k + 4 * i);
    EXPECT_EQ(b[at + 48] | b[at + 49], 0);
    out.push_back(f);
  }
  return out;
}

void ExpectNear(const Vec3& a, const Vec3& b, float tolerance = 1e-5f) {
  for (int i = 0; i < 3; ++i)
    EXPECT_NEAR(a[i], b[i], tolerance) << "axis " << i;
}

// In the file's axes: z negated.
Vec3 FileAxes(const Vec3& p) {
  return {p[0], p[1], -p[2]};
}

struct Written {
  test::TempDir dir;
  std::string path = dir / "out.stl";
  test::Bytes bytes;
  std::vector<Facet> facets;
  explicit Written(test::RecordedDocument& d) {
    EXPECT_EQ(WriteStlFile(d.doc, path), 0);
    EXPECT_TRUE(d.shell.messages.empty());
    bytes = test::ReadBytes(path);
    facets = Facets(bytes);
  }
};

//  3 --- 2
//  |     |      one quadrilateral, cut into (0 1 2) and (0 2 3)
//  0 --- 1
TEST(StlWriter, QuadsAreCutAndPlacedInTheWorldWithOutwardNormals) {
  test::RecordedDocument d;
  Scene& s = d.scene();
  const int parent = test::AddTriangle(s, "parent");
  const int quad = test::AddLayoutGroup(s, "quad", 0, kQuads, 4, 0);
  std::vector<float>& v = s.groups[quad].primitives[0].vertices.Mutable();
  const Vec3 corners[4] = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {0, 1, 0}};
  for (int k = 0; k < 4; ++k)
    for (int i = 0; i < 3; ++i)
      v[k * 6 + i] = corners[k][i];
  test::MakeChild(s, quad, parent);
  s.groups[parent].translation = {10, 0, 0};
  BuildGroupMatrix(s, parent);
  s.groups[quad].translation = {0, 0, 5};
  BuildGroupMatrix(s, quad);

  Written w(d);
  ASSERT_EQ(w.facets.size(), 3u);
  EXPECT_EQ(StlTriangleCount(s), 3u);
  EXPECT_NE(std::string(w.bytes.begin(), w.bytes.begin() + 5), "solid");
  // Pre-order: the parent's triangle, then the child's two.
  ExpectNear(w.facets[0].corners[1], {11, 0, 0});
  const int order[2][3] = {{0, 1, 2}, {0, 2, 3}};
  for (int t = 0; t < 2; ++t) {
    for (int k = 0; k < 3; ++k) {
      const Vec3& c = corners[order[t][k]];
      ExpectNear(w.facets[1 + t].corners[k], FileAxes({c[0] + 10, c[1], c[2] + 5}));
    }
    // Counter-clockwise seen from +z in the file's axes.
    ExpectNear(w.facets[1 + t].normal, {0, 0, 1});
  }
}

// Strips are cut as drawn, every other triangle of a triangle strip
// turned round, so all of them face the same way.
TEST(StlWriter, StripsAreCutAsDrawn) {
  test::RecordedDocument d;
  Scene& s = d.scene();
  //  1   3   5
  //  0   2   4
  const Vec3 zigzag[6] = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}, {2, 0, 0}, {2, 1, 0}};
  for (int type : {kTriangleStrip, kQuadStrip}) {
    const int g = test::AddLayoutGroup(s, "strip", 0, type, 6, 0);
    std::vector<float>& v = s.groups[g].primitives[0].vertices.Mutable();
    for (int k = 0; k < 6; ++k)
      for (int i = 0; i < 3; ++i)
        v[k * 6 + i] = zigzag[k][i];
  }
  Written w(d);
  // Pre-order is newest first: the quad strip's 2 x 2, then the 4 of the
  // triangle strip.
  ASSERT_EQ(w.facets.size(), 8u);
  // The first triangle (0 1 2) turns clockwise seen from +z: all face -z.
  for (const Facet& f : w.facets)
    ExpectNear(f.normal, {0, 0, -1});
  ExpectNear(w.facets[1].corners[2], zigzag[2]);  // (0 3 2) of the quad (0 1 3 2)
  ExpectNear(w.facets[5].corners[0], zigzag[2]);  // (2 1 3) turned round
}

TEST(StlWriter, DisabledDeletedAndMirroredGroups) {
  test::RecordedDocument d;
  Scene& s = d.scene();
  const int hidden = test::AddTriangle(s, "hidden");
  const int child = test::AddTriangle(s, "child of hidden");
  test::MakeChild(s, child, hidden);
  s.groups[hidden].flags &= ~Enabled;
  const int gone = test::AddTriangle(s, "gone");
  s.groups[gone].flags |= Deleted;
  const int mirrored = test::AddTriangle(s, "mirrored");
  s.groups[mirrored].scale = {-1, 1, 1};
  BuildGroupMatrix(s, mirrored);

  Written w(d);
  // A disabled group hides its children too, as the view does.
  ASSERT_EQ(w.facets.size(), 1u);
  const Facet& f = w.facets[0];
  // The mirrored triangle (0,0,0) (-1,0,0) (0,1,0) keeps facing +z in the
  // file: its corners are turned round.
  ExpectNear(f.normal, {0, 0, 1});
  ExpectNear(f.corners[0], {0, 1, 0});
  ExpectNear(f.corners[2], {0, 0, 0});
}

TEST(StlWriter, AnEmptySceneIsAHeaderAndAFailedWriteKeepsTheOldFile) {
  test::RecordedDocument d;
  Written w(d);
  EXPECT_EQ(w.bytes.size(), 84u);
  EXPECT_TRUE(w.facets.empty());

  test::AddTriangle(d.scene(), "one");
  const std::string blocked = w.dir / "missing/out.stl";
  EXPECT_EQ(WriteStlFile(d.doc, blocked), -1);
  ASSERT_EQ(d.shell.messages.size(), 1u);
  EXPECT_EQ(d.shell.messages[0].rfind("Can't open " + blocked + " for write: ", 0), 0u);
}

// The demo scene at a later frame: every triangle where the scene shows it,
// and the file reads back through the exchange path with as many.
TEST(StlWriter, TheDemoSceneRoundTrips) {
  test::RecordedDocument d;
  ASSERT_EQ(ReadNativeFile(d.doc, std::string(MODRA_SOURCE_DIR) + "/examples/demo.knf", false), 0);
  const Scene& s = d.scene();
  Written w(d);
  ASSERT_GT(w.facets.size(), 10u);
  EXPECT_EQ(w.bytes.size(), 84 + 50 * w.facets.size());

  // Every corner written is a vertex the scene shows, and every vertex it
  // shows is a corner written: the cutting of quadrilaterals and strips is
  // the small tests' business.
  std::vector<Vec3> shown;
  ForEachGroup(s, s.rootHead, [&](int g) {
    for (int at : LookAtPathTo(s, g))
      if (!IsLiveGroup(s, at) || !(s.groups[at].flags & Enabled)) return;
    for (const Vec3& p : test::WorldPositions(s, g))
      shown.push_back(FileAxes(p));
  });
  std::vector<Vec3> written;
  for (const Facet& f : w.facets)
    written.insert(written.end(), f.corners.begin(), f.corners.end());
  auto covers = [](std::vector<Vec3> points, const std::vector<Vec3>& wanted) {
    std::ranges::sort(points);
    size_t missing = 0;
    for (const Vec3& p : wanted) {
      auto it = std::ranges::lower_bound(points, Vec3{p[0] - 1e-5f, -1e30f, -1e30f});
      bool found = false;
      for (; !found && it != points.end() && (*it)[0] <= p[0] + 1e-5f; ++it)
        found = std::abs((*it)[1] - p[1]) <= 1e-5f && std::abs((*it)[2] - p[2]) <= 1e-5f;
      missing += !found;
    }
    return missing;
  };
  EXPECT_EQ(covers(shown, written), 0u);
  EXPECT_EQ(covers(written, shown), 0u);

  test::RecordedDocument back;
  ASSERT_EQ(ReadAssimpModel(back.doc, w.path), 0);
  EXPECT_EQ(back.doc.importMesh.faces.size(), w.facets.size());
}

// File > Export to STL: the ending is added to a name typed without it,
// and a file in the way is asked about under the name written.
TEST(StlWriter, TheMenuCommandWritesUnderTheNameWithItsEnding) {
  test::TempDir dir;
  RecordingShell shell;
  EditSession session{shell};
  ASSERT_EQ(session.Run(CommandId::kCreateBlock), 0);
  const std::string typed = dir / "x", written = typed + ".stl";
  test::WriteText(written, "mine");
  shell.answer = false;
  EXPECT_EQ(session.Run(CommandId::kExportStl, TextArgs(typed)), -1);
  EXPECT_EQ(shell.questions, std::vector<std::string>{ReplaceQuestion(written)});
  EXPECT_EQ(test::ReadText(written), "mine");
  shell.answer = true;
  EXPECT_EQ(session.Run(CommandId::kExportStl, TextArgs(typed)), 0);
  EXPECT_EQ(test::ReadBytes(written).size(), 84 + 50 * StlTriangleCount(session.doc().scene));
  EXPECT_GT(StlTriangleCount(session.doc().scene), 0u);
}

}  // namespace
}  // namespace modra
