// The bundled demo scene, opened as `modra render examples/demo.knf` opens
// it: by a relative path, from a working directory that holds none of its files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "anim/playback.h"
#include "images/texture_table.h"
#include "nativefile/native_reader.h"
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

}  // namespace
}  // namespace modra
