// The bundled demo scene, opened as `modra render examples/demo.knf` opens
// it: by a relative path, from a working directory that holds none of its files.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "anim/playback.h"
#include "images/texture_table.h"
#include "nativefile/native_reader.h"
#include "scene/bounds.h"
#include "test_util.h"

namespace modra {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(MODRA_SOURCE_DIR) / "examples";
const fs::path kDemo = kExamples / "demo.knf";

// An empty scratch folder as the working directory, for the life of the object.
struct ScratchWorkingDirectory {
  test::TempDir dir;
  fs::path previous = fs::current_path();
  ScratchWorkingDirectory() { fs::current_path(dir.path); }
  ~ScratchWorkingDirectory() { fs::current_path(previous); }
};

struct DemoScene : ::testing::Test {
  test::RecordedDocument loaded;
  std::string demoPath;  // relative to the scratch folder it was opened from

  void SetUp() override {
    AddTexture(loaded.doc, "", "Checker");  // as the editor and the command line start
    ScratchWorkingDirectory elsewhere;
    demoPath = fs::relative(kDemo).string();
    ASSERT_EQ(ReadNativeFile(loaded.doc, demoPath, false), 0) << demoPath;
    EXPECT_TRUE(loaded.shell.messages.empty()) << loaded.shell.messages.front();
    EXPECT_LT(fs::file_size(kDemo), 1u << 20);
  }

  Scene& s() { return loaded.scene(); }

  int Named(const std::string& name) {
    int found = -1;
    ForEachGroup(s(), s().rootHead, [&](int g) {
      if (found == -1 && IsLiveGroup(s(), g) && s().groups[g].name == name) found = g;
    });
    return found;
  }
};

TEST_F(DemoScene, TexturedGroupsUseTheImageThatShipsBesideTheScene) {
  int textured = 0;
  ForEachGroup(s(), s().rootHead, [&](int g) {
    const DisplayGroup& group = s().groups[g];
    if (!IsLiveGroup(s(), g) || !(group.flags & Textured)) return;
    ++textured;
    EXPECT_TRUE(group.flags & TexCoords) << group.name;
    ASSERT_GT(group.textureIndex, 0) << group.name << " fell back to the checkerboard";
    ASSERT_LT(group.textureIndex, CurrentTextureCount(loaded.doc.textures));
    const TextureEntry& entry = loaded.doc.textures.entries[group.textureIndex];
    EXPECT_EQ(entry.name, "marble.ppm");
    EXPECT_EQ(entry.path, fs::path(demoPath).parent_path().string() + "/marble.ppm");
  });
  EXPECT_GE(textured, 2);  // the floor and the vase
}

TEST_F(DemoScene, KeyFramesSpanTheAnimationAndEveryCurveRunsFromKeyToKey) {
  const KeyStore& a = s().anim;
  ASSERT_GE(a.keyFrameList.size(), 3u);
  EXPECT_EQ(a.keyFrameList.front(), 0);
  const int last = LastKeyFrame(a);
  EXPECT_GE(last, 60);
  EXPECT_LE(last, 120);
  int curves = 0;
  for (size_t i = 0; i + 1 < a.keyFrameList.size(); ++i) {
    const int frame = a.keyFrameList[i], next = a.keyFrameList[i + 1];
    ForEachKeyInFrame(a, frame, [&](int k) {
      const KnfKeyInfo& key = a.keys[k];
      EXPECT_EQ(key.span, next - frame) << "owner " << key.owner << " kind " << key.kind;
      if (IsStepKey(key)) return;
      const int to = FindKey(a, next, key.owner, key.kind);
      ASSERT_NE(to, -1) << "owner " << key.owner << " kind " << key.kind << " frame " << next;
      // The cubic a t^3 + b t^2 + c t + d leaves this key's value at t = 0
      // and arrives at the next key's at t = 1.
      const int n = ValueCount(key.kind);
      for (int v = 0; v < n; ++v) {
        const float* c = &key.values[3 * n + 4 * v];
        EXPECT_FLOAT_EQ(c[3], key.values[v]);
        EXPECT_NEAR(c[0] + c[1] + c[2] + c[3], a.keys[to].values[v], 1e-3f)
            << "owner " << key.owner << " kind " << key.kind << " value " << v;
      }
      ++curves;
    });
  }
  EXPECT_GE(curves, 20);
}

TEST_F(DemoScene, TheCameraLooksAtTheVaseFromItsOwnPlace) {
  const KnfCameraView reset = Document().scene.camera;
  const KnfCameraView& cam = s().camera;
  EXPECT_NE(cam.position, reset.position);
  EXPECT_EQ(cam.mode, kCameraLookAt);
  ASSERT_EQ(cam.lookAtGroup, Named("Vase"));
  test::ExpectNear(cam.vectorA, s().groups[cam.lookAtGroup].translation);
}

// Where scene point p lands in the Camera view of a square picture: x and y
// in -1..1 when it is inside, and its depth in front of the eye.
struct ViewPoint {
  double x, y, depth;
};
ViewPoint InCameraView(const KnfCameraView& cam, float fieldOfView, const Vec3& p) {
  // OpenGL's axes: the scene's z points the other way.
  auto gl = [](const Vec3& v) { return std::array<double, 3>{v[0], v[1], -v[2]}; };
  auto sub = [](auto a, auto b) {
    return std::array<double, 3>{a[0] - b[0], a[1] - b[1], a[2] - b[2]};
  };
  auto dot = [](auto a, auto b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
  auto cross = [](auto a, auto b) {
    return std::array<double, 3>{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                                 a[0] * b[1] - a[1] * b[0]};
  };
  auto unit = [&](auto a) {
    const double l = std::sqrt(dot(a, a));
    return std::array<double, 3>{a[0] / l, a[1] / l, a[2] / l};
  };
  const auto eye = gl(cam.position);
  const auto forward = unit(sub(gl(cam.vectorA), eye));
  const auto right = unit(cross(forward, std::array<double, 3>{0, 1, 0}));
  const auto up = cross(right, forward);
  const auto d = sub(gl(p), eye);
  const double depth = dot(d, forward);
  const double half = std::tan(fieldOfView * 0.5 * M_PI / 180.0) * depth;
  return {dot(d, right) / half, dot(d, up) / half, depth};
}

TEST_F(DemoScene, EverythingButTheFloorStaysInTheCameraViewAllAlong) {
  const float fov = loaded.doc.display.views[kViewCamera].fieldOfView;
  const int last = LastKeyFrame(s().anim);
  for (int frame = 0; frame <= last; frame += 5) {
    GoToFrame(loaded.doc, frame);
    ComputeSceneExtents(s());
    ForEachSibling(s(), s().rootHead, [&](int g) {
      const DisplayGroup& group = s().groups[g];
      if (!IsLiveGroup(s(), g) || group.name == "Floor") return;  // the floor may run out of it
      for (int corner = 0; corner < 8; ++corner) {
        const Vec3 p = {(corner & 1) ? group.extentMax[0] : group.extentMin[0],
                        (corner & 2) ? group.extentMax[1] : group.extentMin[1],
                        (corner & 4) ? group.extentMax[2] : group.extentMin[2]};
        const ViewPoint v = InCameraView(s().camera, fov, p);
        EXPECT_GT(v.depth, 1.0) << group.name << " frame " << frame;
        EXPECT_LT(std::abs(v.x), 0.95) << group.name << " frame " << frame;
        EXPECT_LT(std::abs(v.y), 0.95) << group.name << " frame " << frame;
      }
    });
  }
}

}  // namespace
}  // namespace modra
