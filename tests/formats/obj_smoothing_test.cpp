// Which faces share their normals: smoothing groups, groups, `s off`, and
// the normals a file gives.
#include <cmath>
#include <string>

#include "formats/import_dispatch.h"
#include "formats/import_test_util.h"

namespace modra {
namespace {

using test::ExpectNear;

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

TEST_F(ObjSmoothing, FacesOfOneSmoothingGroupAverageAtAnyAngle) {
  for (const char* smoothing : {"", "s 1\n", "s 0\n"}) {
    SCOPED_TRACE(smoothing);
    Read(std::string(kFold) + smoothing + std::string(kFaceA) + std::string(kFaceB));
    ExpectNear(A(0), kShared, 1e-6f);
    ExpectNear(A(1), kShared, 1e-6f);
    ExpectNear(B(0), kShared, 1e-6f);
    ExpectNear(A(2), kNormalA, 1e-6f);
    ExpectNear(B(2), kNormalB, 1e-6f);
  }
}

TEST_F(ObjSmoothing, FlatFacesKeepTheirOwnNormal) {
  for (const char* flat : {"s off\n", "s -1\n", "s none\n"}) {
    SCOPED_TRACE(flat);
    Read(std::string(kFold) + flat + std::string(kFaceA) + std::string(kFaceB));
    for (int k = 0; k < 3; ++k) {
      ExpectNear(A(k), kNormalA, 1e-6f);
      ExpectNear(B(k), kNormalB, 1e-6f);
    }
  }
}

TEST_F(ObjSmoothing, DifferentSmoothingGroupsOrGroupsNeverShare) {
  for (const char* between : {"s 2\n", "g other\n", "s off\n"}) {
    SCOPED_TRACE(between);
    Read(std::string(kFold) + "s 1\n" + std::string(kFaceA) + between + std::string(kFaceB));
    ExpectNear(A(0), kNormalA, 1e-6f);
    ExpectNear(B(1), kNormalB, 1e-6f);
  }
}

TEST_F(ObjSmoothing, NormalsFromTheFileWin) {
  Read(std::string(kFold) + "vn 0 0 1\nvn 1 0 0\nf 1//1 2//2 3//1\n" + std::string(kFaceB));
  ExpectNear(A(0), {0, 0, -1}, 0);
  ExpectNear(A(1), {1, 0, 0}, 0);
  // B still averages with A's face normal, not with A's file normals.
  ExpectNear(B(0), kShared, 1e-6f);
}

TEST_F(ObjSmoothing, AFansFirstCornerSmoothsOnlyWithItsFirstTriangle) {
  // A bent pentagon: only the first triangle is listed at the first
  // corner, so it alone is averaged into the later triangles there.
  Read("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 1\nv -1 1 3\nf 1 2 3 4 5\n");
  const std::vector<Vec3>& n = doc.importMesh.faceNormals;
  ASSERT_EQ(n.size(), 3u);
  auto mean = [](const Vec3& a, const Vec3& b) {
    Vec3 s = {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
    const float len = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
    return Vec3{s[0] / len, s[1] / len, s[2] / len};
  };
  ExpectNear(CornerNormal(doc.importMesh, 0, 0), n[0], 1e-6f);
  ExpectNear(CornerNormal(doc.importMesh, 1, 0), mean(n[1], n[0]), 1e-6f);
  ExpectNear(CornerNormal(doc.importMesh, 2, 0), mean(n[2], n[0]), 1e-6f);
}

// After a whole import the drawn normals show the same: a cube read with
// its one smoothing group has corner normals along the diagonals, read
// with `s off` along the axes.
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
