// Scenes written as glTF and read back by our own reader: the same groups
// in the same hierarchy, the same faces, and the same world positions at
// the frames that matter. The reader sizes what it reads into -1..1, so
// the original is mapped the same way (one scale and one offset for the
// whole scene, taken at frame 0) before positions are compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "anim/anim_util.h"
#include "anim/keying.h"
#include "formats/gltf_writer.h"
#include "formats/import_dispatch.h"
#include "formats/primitive_triangles.h"
#include "scene/matrix.h"

namespace modra {
namespace {

struct GroupShape {
  std::string name;
  int parent = -1;  // its place in the list
  size_t triangles = 0;
  bool operator==(const GroupShape&) const = default;
};

std::vector<int> LiveGroups(const Scene& s) {
  std::vector<int> out;
  ForEachGroup(s, s.rootHead, [&](int g) {
    if (IsLiveGroup(s, g)) out.push_back(g);
  });
  return out;
}

// The corners of every triangle of g, placed in the world.
std::vector<Vec3> WorldCorners(const Scene& s, int g) {
  const Mat4 m = test::WorldMatrix(s, g);
  const DisplayGroup& group = s.groups[g];
  const size_t stride = static_cast<size_t>(VertexStride(group));
  std::vector<Vec3> out;
  for (const DisplayPrimitive& prim : group.primitives) {
    const size_t count =
        std::min(static_cast<size_t>(std::max(prim.vertexCount, 0)), prim.vertices.size() / stride);
    const float* v = prim.vertices.data();
    ForEachTriangle(prim.type, count, [&](size_t a, size_t b, size_t c) {
      for (size_t k : {a, b, c})
        out.push_back(TransformPoint(m, {v[k * stride], v[k * stride + 1], v[k * stride + 2]}));
    });
  }
  return out;
}

std::vector<GroupShape> Shapes(const Scene& s) {
  const std::vector<int> live = LiveGroups(s);
  const std::vector<int32_t> parents = ParentTable(s);
  std::vector<GroupShape> out;
  for (int g : live) {
    GroupShape shape;
    shape.name = s.groups[g].name;
    const auto at = std::find(live.begin(), live.end(), parents[g]);
    shape.parent = at == live.end() ? -1 : static_cast<int>(at - live.begin());
    shape.triangles = WorldCorners(s, g).size() / 3;
    out.push_back(shape);
  }
  return out;
}

// Every corner of the scene at the frame shown, in group order.
std::vector<Vec3> SceneCorners(const Scene& s) {
  std::vector<Vec3> out;
  for (int g : LiveGroups(s)) {
    const std::vector<Vec3> c = WorldCorners(s, g);
    out.insert(out.end(), c.begin(), c.end());
  }
  return out;
}

// How the reader fitted the scene into -1..1: scale and offset.
struct Fit {
  double scale = 1;
  double offset[3] = {0, 0, 0};
};
Fit FitOf(const std::vector<Vec3>& corners) {
  double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
  for (const Vec3& p : corners)
    for (int i = 0; i < 3; ++i) {
      lo[i] = std::min(lo[i], double{p[i]});
      hi[i] = std::max(hi[i], double{p[i]});
    }
  Fit fit;
  const double extent = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
  if (extent > 0) fit.scale = 2 / extent;
  for (int i = 0; i < 3; ++i)
    fit.offset[i] = -(lo[i] + hi[i]) / 2 * fit.scale;
  return fit;
}

class GltfRoundTrip : public ::testing::Test {
 protected:
  // Writes the scene, reads it back, and compares the two at `frames`
  // (which must include 0) within `tolerance` in the read scene's units.
  void ExpectSameAt(std::vector<int> frames, float tolerance) {
    const std::string path = dir / "round.glb";
    ASSERT_EQ(WriteGltfFile(original.doc, path), 0);
    ASSERT_EQ(OpenModelFile(copy.doc, path), 0);
    EXPECT_EQ(Shapes(copy.scene()), Shapes(original.scene()));

    GoToFrame(original.doc, 0);
    const Fit fit = FitOf(SceneCorners(original.scene()));
    for (int frame : frames) {
      GoToFrame(original.doc, frame);
      GoToFrame(copy.doc, frame);
      const std::vector<Vec3> want = SceneCorners(original.scene());
      const std::vector<Vec3> got = SceneCorners(copy.scene());
      ASSERT_EQ(got.size(), want.size());
      int wrong = 0;
      for (size_t k = 0; k < want.size() && wrong < 5; ++k)
        for (int i = 0; i < 3; ++i) {
          const double w = want[k][i] * fit.scale + fit.offset[i];
          if (!(std::fabs(got[k][i] - w) <= tolerance)) {
            ADD_FAILURE() << "frame " << frame << " corner " << k << " axis " << i << ": "
                          << got[k][i] << " for " << w;
            ++wrong;
            break;
          }
        }
    }
  }
  std::vector<int> KeyFrames() {
    RebuildKeyFrameList(original.anim());
    std::vector<int> frames(original.anim().keyFrameList.begin(),
                            original.anim().keyFrameList.end());
    if (frames.empty() || frames.front() != 0) frames.insert(frames.begin(), 0);
    return frames;
  }

  test::TempDir dir;
  test::RecordedDocument original, copy;
};

TEST_F(GltfRoundTrip, TheDemoAndTheTestModelsComeBackAsTheyWent) {
  const std::string models[] = {
      std::string(MODRA_SOURCE_DIR) + "/examples/demo.knf",
      test::TestData("models/obj/box.obj"),
      test::TestData("models/obj/spider.obj"),
      test::TestData("models/3ds/RotatingCube.3DS"),
      test::TestData("models/3ds/CameraRollAnimWithChildObject.3ds"),
      test::TestData("models/cob/molecule.cob"),
      test::TestData("models/dxf/PinkEggFromLW.dxf"),
  };
  for (const std::string& model : models) {
    SCOPED_TRACE(model);
    ASSERT_EQ(OpenModelFile(original.doc, model), 0);
    ExpectSameAt(KeyFrames(), 1e-5f);
  }
}

TEST_F(GltfRoundTrip, AnAnimatedHierarchyKeepsItsMotionBetweenKeys) {
  Scene& s = original.scene();
  Document& doc = original.doc;
  const int parent = test::AddTriangle(s, "arm");
  const int child = test::AddTriangle(s, "hand");
  test::MakeChild(s, child, parent);
  s.groups[child].center = {0.5f, 1, -1};
  BuildGroupMatrix(s, child);
  auto key = [&](int g, int frame, int kind, const Vec3& v) {
    GoToFrame(doc, frame);
    EnsureKeyed(doc, g, kind);
    DisplayGroup& group = s.groups[g];
    (kind == kKeyRotation ? group.rotation
     : kind == kKeyScale  ? group.scale
                          : group.translation) = v;
    BuildGroupMatrix(s, g);
    StoreKey(doc, g, kind);
  };
  key(parent, 10, kKeyTranslation, {1, 2, 0});
  key(parent, 60, kKeyRotation, {0, 170, 20});
  key(child, 30, kKeyRotation, {90, 30, 0});
  key(child, 60, kKeyScale, {2, 0.5f, 1});
  key(child, 60, kKeyTranslation, {-1, 0, 3});
  // A key far from the others: the export plays every frame on the way.
  key(parent, 3000, kKeyTranslation, {0, -4, 1});
  ExpectSameAt({0, 7, 15, 30, 60, 1500, 3000}, 1e-4f);
}

}  // namespace
}  // namespace modra
