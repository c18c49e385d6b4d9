// The import's finishing steps take short cuts on large models (sizing
// from the positions used rather than every corner, groups centred and
// boxed while they are filled, on several threads); each must give to the
// bit what the plain steps give, zeros' signs included.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "formats/import_dispatch.h"
#include "formats/obj_reader.h"
#include "scene/bounds.h"
#include "test_util.h"

namespace modra {
namespace {

// NormalizeMeshSize as a walk over every corner in face order.
void NormalizeByCorners(ImportMesh& m) {
  Vec3 lo = {3e35f, 3e35f, 3e35f}, hi = {-3e35f, -3e35f, -3e35f};
  std::vector<char> used(m.meshVertices.size(), 0);
  for (const MeshFace& f : m.faces)
    for (int k = 0; k < f.cornerCount; ++k) {
      const int32_t v = f.cornerVertices[k];
      if (v < 0 || static_cast<size_t>(v) >= m.meshVertices.size()) continue;
      used[v] = 1;
      for (int i = 0; i < 3; ++i) {
        lo[i] = std::min(lo[i], m.meshVertices[v][i]);
        hi[i] = std::max(hi[i], m.meshVertices[v][i]);
      }
    }
  if (lo[0] > hi[0]) return;
  const double extent[3] = {double(hi[0]) - lo[0], double(hi[1]) - lo[1], double(hi[2]) - lo[2]};
  int axis = extent[1] >= extent[0] ? 1 : 0;
  if (extent[2] > extent[axis]) axis = 2;
  const double s = extent[axis] > 0 ? 2.0 / extent[axis] : 1.0;
  for (size_t v = 0; v < m.meshVertices.size(); ++v)
    if (used[v])
      for (int i = 0; i < 3; ++i)
        m.meshVertices[v][i] =
            static_cast<float>((m.meshVertices[v][i] - (double(lo[i]) + hi[i]) * 0.5) * s);
}

bool SameBits(const Vec3& a, const Vec3& b) {
  return std::memcmp(a.data(), b.data(), sizeof(Vec3)) == 0;
}

// A model whose sides may be all zeros, of either sign, in any order.
TEST(ImportFinish, SizingFromThePositionsUsedKeepsEveryBitAndZeroSign) {
  std::mt19937 rng(3);
  const float values[] = {0.0f, -0.0f, 1.5f, -2.0f, 0.25f};
  for (int round = 0; round < 400; ++round) {
    std::string text;
    const int positions = 3 + static_cast<int>(rng() % 5);
    const bool flat[3] = {rng() % 2 == 0, rng() % 2 == 0, rng() % 3 == 0};
    for (int v = 0; v < positions; ++v) {
      text += "v";
      for (int i = 0; i < 3; ++i) {
        const float x = flat[i] ? values[rng() % 2] : values[rng() % 5];
        text += std::signbit(x) ? " -" : " ";
        text += std::to_string(std::fabs(x));
      }
      text += "\n";
    }
    for (int f = 0; f < 4; ++f)
      text += "f " + std::to_string(1 + rng() % positions) + " " +
              std::to_string(1 + rng() % positions) + " " + std::to_string(1 + rng() % positions) +
              "\n";
    SCOPED_TRACE(text);
    Document doc;
    ASSERT_EQ(ReadWavefrontBytes(doc, text), 0);
    ImportMesh reference = doc.importMesh;
    NormalizeByCorners(reference);
    NormalizeMeshSize(doc.importMesh);
    for (size_t v = 0; v < reference.meshVertices.size(); ++v)
      EXPECT_TRUE(SameBits(doc.importMesh.meshVertices[v], reference.meshVertices[v])) << v;
  }
}

// A model large enough to be filled in many slices on several threads:
// parts that mix triangles and quadrilaterals (several primitives each),
// flat, smoothed and file normals, materials and parts without.
std::string LargeModel() {
  std::string text = "vn 0 0 1\nvn 0.6 0.8 0\n";
  constexpr int kSide = 190;
  for (int r = 0; r <= kSide; ++r)
    for (int c = 0; c <= kSide; ++c)
      text += "v " + std::to_string(c * 0.5) + " " + std::to_string((r * 7 % 11) * 0.1) + " " +
              std::to_string(r * -0.25) + "\n";
  auto at = [](int r, int c) { return std::to_string(r * (kSide + 1) + c + 1); };
  for (int r = 0; r < kSide; ++r) {
    if (r % 40 == 0) text += "g band" + std::to_string(r / 40 % 3) + "\n";
    if (r % 25 == 0) text += r % 50 ? "s off\nusemtl red\n" : "s 1\nusemtl\n";
    for (int c = 0; c < kSide; ++c) {
      if ((r + c) % 7 == 0)
        text += "f " + at(r, c) + " " + at(r, c + 1) + " " + at(r + 1, c + 1) + " " + at(r + 1, c) +
                "\n";
      else if ((r + c) % 5 == 0)
        text += "f " + at(r, c) + "//1 " + at(r, c + 1) + "//2 " + at(r + 1, c + 1) + "//1\nf " +
                at(r, c) + " " + at(r + 1, c + 1) + " " + at(r + 1, c) + "\n";
      else
        text += "f " + at(r, c) + " " + at(r, c + 1) + " " + at(r + 1, c + 1) + "\nf " + at(r, c) +
                " " + at(r + 1, c + 1) + " " + at(r + 1, c) + "\n";
    }
  }
  return text;
}

TEST(ImportFinish, GroupsPlacedWhileFilledAreThoseCentredAndBoxedAfterwards) {
  const std::string text = LargeModel();
  for (bool append : {false, true}) {
    SCOPED_TRACE(append ? "append" : "replace");
    Document plain, placed;
    for (Document* doc : {&plain, &placed}) {
      ASSERT_EQ(ReadWavefrontBytes(*doc, text), 0);
      NormalizeMeshSize(doc->importMesh);
      AssignObjectsToParts(doc->importMesh);
    }
    ASSERT_GT(plain.importMesh.faces.size(), size_t{1} << 16);
    ASSERT_EQ(BuildGroupsFromMesh(plain, plain.importMesh, "m.obj", append, false), 0);
    ASSERT_EQ(BuildPlacedGroupsFromMesh(placed, placed.importMesh, "m.obj", append, false), 0);
    // As the import dispatch finishes: the groups not just made are boxed.
    ForEachGroup(placed.scene, placed.scene.rootHead, [&](int g) {
      if (!(placed.scene.groups[g].flags & NeedsCentering)) ComputeBoundingBox(placed.scene, g);
    });
    Scene& s = plain.scene;
    ForEachGroup(s, s.rootHead, [&](int g) {
      CenterGroupGeometry(s, g);
      ComputeBoundingBox(s, g);
    });
    ASSERT_EQ(placed.scene.groups.size(), s.groups.size());
    int primitives = 0;
    for (size_t g = 0; g < s.groups.size(); ++g) {
      SCOPED_TRACE("group " + std::to_string(g));
      const DisplayGroup &a = placed.scene.groups[g], &b = s.groups[g];
      EXPECT_EQ(a.name, b.name);
      EXPECT_EQ(a.flags, b.flags);
      EXPECT_TRUE(SameBits(a.translation, b.translation));
      EXPECT_TRUE(SameBits(a.bboxMin, b.bboxMin));
      EXPECT_TRUE(SameBits(a.bboxMax, b.bboxMax));
      EXPECT_EQ(std::memcmp(a.matrix.data(), b.matrix.data(), sizeof(a.matrix)), 0);
      ASSERT_EQ(a.primitives.size(), b.primitives.size());
      for (size_t p = 0; p < a.primitives.size(); ++p, ++primitives) {
        EXPECT_EQ(a.primitives[p].type, b.primitives[p].type);
        EXPECT_EQ(a.primitives[p].vertexCount, b.primitives[p].vertexCount);
        ASSERT_EQ(a.primitives[p].vertices.size(), b.primitives[p].vertices.size());
        EXPECT_EQ(std::memcmp(a.primitives[p].vertices.data(), b.primitives[p].vertices.data(),
                              a.primitives[p].vertices.size() * sizeof(float)),
                  0);
      }
    }
    EXPECT_GT(primitives, 3 * 2);  // three parts, each with runs of both corner counts
  }
}

}  // namespace
}  // namespace modra
