#include "view/internal_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "view_test_util.h"

namespace modra {
namespace {

using test::PixelOfPoint;
using test::Rgb;

// Hand-made records: a group array plus the scene record that points at it.
struct FakeModel {
  std::vector<KnfDisplayGroup> groups;
  KnfInternalInfo info{};
  InternalModel model;

  int Add(const char* name, int next = -1, int child = -1) {
    KnfDisplayGroup g{};
    std::string_view(name).copy(g.name, sizeof g.name - 1);  // g is zeroed: terminated
    g.flags = KNF_ENABLED;
    g.color[0] = g.color[1] = g.color[2] = 1;
    g.shininess = 1;
    g.scale[0] = g.scale[1] = g.scale[2] = 1;
    for (int i = 0; i < 16; ++i)
      g.matrix[i] = kIdentity[i];
    g.next = next;
    g.child = child;
    groups.push_back(g);
    return static_cast<int>(groups.size()) - 1;
  }
  const InternalModel* Get() {
    info.groups = groups.data();
    model = {&info, static_cast<int>(groups.size())};
    return &model;
  }
};

TEST(InternalModels, EveryModelIsCompiledInAndSmall) {
  for (int id = 0; id < kInternalModelCount; ++id) {
    const InternalModel* m = GetInternalModel(id);
    ASSERT_NE(m, nullptr) << id;
    ASSERT_GT(m->groupCount, 0) << id;
    // Every vertex, placed by its records' matrices, lies within -1..1
    // (the drawing scales the models from there), and the whole model is a
    // few hundred triangles at most.
    int triangles = 0;
    std::vector<Mat4> world(m->groupCount, kIdentity);
    for (int r = 0; r < m->groupCount; ++r) {
      const KnfDisplayGroup& g = m->scene->groups[r];
      Mat4 own;
      std::memcpy(own.data(), g.matrix, sizeof g.matrix);
      world[r] = Multiply(world[r], own);
      for (int c = g.child; c >= 0; c = m->scene->groups[c].next)
        world[c] = world[r];  // export order puts parents first
      EXPECT_EQ(g.flags & (KNF_VERTEX_COLORS | KNF_TEX_COORDS), 0u) << g.name;
      for (int p = 0; p < g.primitiveCount; ++p) {
        const KnfDisplayPrimitive& prim = g.primitives[p];
        const int n = prim.vertexCount;
        triangles += prim.type == 0 ? n / 3 : prim.type == 1 ? n / 2 : n - 2;
        for (int v = 0; v < prim.vertexCount; ++v) {
          const float* at = prim.vertices + 6 * v;
          const Vec3 pos = TransformPoint(world[r], {at[0], at[1], at[2]});
          for (float x : pos)
            ASSERT_LE(std::abs(x), 1.0f) << id << " " << g.name;
        }
      }
    }
    EXPECT_GT(triangles, 20) << id;
    EXPECT_LE(triangles, 400) << id;
  }
  EXPECT_EQ(GetInternalModel(-1), nullptr);
  EXPECT_EQ(GetInternalModel(kInternalModelCount), nullptr);
}

TEST(InternalModels, CompiledLightModelsHaveTheirBulbs) {
  const LightBulbs bulbs = CompiledLightBulbs();
  EXPECT_TRUE(bulbs.complete);
  // Names match whole: the directional lamp's "Bulb1" is not a "Bulb".
  EXPECT_EQ(FindInternalModelGroup(GetInternalModel(kDirectionalLightModel), "Bulb"), -1);
  RecordingShell shell;
  EXPECT_EQ(LookUpLightBulbs(shell).positional, bulbs.positional);
  EXPECT_TRUE(shell.messages.empty());
}

TEST(InternalModels, FindWalksTheLinksInPreOrderAndSurvivesBadOnes) {
  //  0 Root -> child 2 "Bulb" (then its next, 3), next 1 "Bulb"
  FakeModel f;
  f.Add("Root", 1, 2);
  f.Add("Bulb");
  f.Add("Lamp", 3);
  f.Add("Bulb");
  EXPECT_EQ(FindInternalModelGroup(f.Get(), "Bulb"), 3);  // children before the next sibling
  EXPECT_EQ(FindInternalModelGroup(f.Get(), "Root"), 0);
  EXPECT_EQ(FindInternalModelGroup(f.Get(), "Nothing"), -1);

  // Links past either end are left alone; what comes after them is found.
  f.groups[2].child = 99;
  f.groups[3].child = -7;
  EXPECT_EQ(FindInternalModelGroup(f.Get(), "Bulb"), 3);
  // Loops end the walk: its own child, or a list back to its start.
  f.groups[2].child = 2;
  EXPECT_EQ(FindInternalModelGroup(f.Get(), "Nothing"), -1);
  f.groups[2].child = -1;
  f.groups[1].next = 0;
  EXPECT_EQ(FindInternalModelGroup(f.Get(), "Nothing"), -1);
  f.groups[1].next = -1;

  // A name filling the whole array, with no NUL.
  std::memset(f.groups[1].name, 'x', sizeof f.groups[1].name);
  EXPECT_EQ(FindInternalModelGroup(f.Get(), std::string(KNF_GROUP_NAME, 'x')), 1);
  EXPECT_EQ(FindInternalModelGroup(f.Get(), std::string(KNF_GROUP_NAME - 1, 'x')), -1);

  InternalModel empty = {f.Get()->scene, 0}, none;
  EXPECT_EQ(FindInternalModelGroup(&empty, "Root"), -1);
  EXPECT_EQ(FindInternalModelGroup(&none, "Root"), -1);
}

TEST(InternalModels, MissingBulbIsReportedAndRecordZeroStandsIn) {
  FakeModel dir, pos, spot;
  dir.Add("Lamp", -1, 1);
  dir.Add("Bulb1");
  pos.Add("Lamp", -1, 1);
  pos.Add("Socket");  // no bulb
  spot.Add("Shade", 1);
  spot.Add("Bulb");

  RecordingShell shell;
  const LightBulbs bulbs = LookUpLightBulbs(shell, dir.Get(), pos.Get(), spot.Get());
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0],
            "One of the three internal light models is missing their\n"
            "sub group named Bulb1 or Bulb.  If you get this message\n"
            "you need to recompile the dir_light.knf, pos_light.knf\n"
            "or spot_light.knf models into this source\n");
  EXPECT_FALSE(bulbs.complete);
  EXPECT_EQ(bulbs.positional, 0);
  // The lamps that have their bulb keep it.
  EXPECT_EQ(bulbs.directional, 1);
  EXPECT_EQ(bulbs.spot, 1);

  shell.messages.clear();
  LookUpLightBulbs(shell, nullptr, pos.Get(), spot.Get());
  EXPECT_EQ(shell.messages.size(), 1u);
}

// Square of half-size r at (x, y) facing the Front view, with a colour after
// the position and texture coordinates after the normal when asked.
struct Square {
  std::vector<float> vertices;
  KnfDisplayPrimitive prim{};

  Square(float x, float y, float r, std::vector<float> color = {}, bool texCoords = false) {
    for (auto [dx, dy] : {std::pair{-r, -r}, std::pair{r, -r}, std::pair{r, r}, std::pair{-r, r}}) {
      vertices.insert(vertices.end(), {x + dx, y + dy, 0});
      vertices.insert(vertices.end(), color.begin(), color.end());
      vertices.insert(vertices.end(), {0, 0, 1});
      if (texCoords) vertices.insert(vertices.end(), {0.5f, 0.5f});
    }
    prim = {1, 4, vertices.data()};
  }
};

class ModelDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(test::MakeViewContext(gl, &depth, &error)) << error;
    view.eye = {0, 0, -4.33f};
  }
  // The picture of one model alone, from the front, by the default lights.
  void Draw(const InternalModel* m, std::span<const unsigned> textureNames = {},
            const RecordColor& tint = {}) {
    SetClearColor({0, 0, 0});
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SetupView(view, kViewFront, 1);
    SetDefaultLights();
    DrawInternalModel(m, textureNames, tint);
  }
  static void Paint(KnfDisplayGroup& g, float r, float gr, float b) {
    g.color[0] = r;
    g.color[1] = gr;
    g.color[2] = b;
  }

  HeadlessGl gl;
  ColorDepth depth;
  ViewSetting view;
};

bool Mostly(const Rgb& p, int channel) {
  for (int c = 0; c < 3; ++c)
    if (c != channel && p[c] + 100 > p[channel]) return false;
  return p[channel] > 150;
}

TEST_F(ModelDrawing, RecordsDrawInTheirParentsMatrixAndDisabledOnesHideTheirSubtree) {
  Square red(0, 0, 0.2f), green(-0.5f, 0.5f, 0.2f), blue(0.5f, -0.5f, 0.2f);
  FakeModel f;
  const int root = f.Add("Root", 2, 1);
  const int child = f.Add("Red");
  const int off = f.Add("Off", -1, 3);
  const int inside = f.Add("Green");
  f.groups[root].matrix[12] = 0.5f;  // moves its child right
  f.groups[root].primitiveCount = 1;
  f.groups[root].primitives = &blue.prim;  // its own square, moved too
  Paint(f.groups[root], 0, 0, 1);
  f.groups[child].primitiveCount = 1;
  f.groups[child].primitives = &red.prim;
  Paint(f.groups[child], 1, 0, 0);
  f.groups[off].flags = 0;
  f.groups[inside].primitiveCount = 1;
  f.groups[inside].primitives = &green.prim;
  Paint(f.groups[inside], 0, 1, 0);

  Draw(f.Get());
  EXPECT_TRUE(Mostly(PixelOfPoint(0.5f, 0), 0)) << testing::PrintToString(PixelOfPoint(0.5f, 0));
  EXPECT_TRUE(Mostly(PixelOfPoint(1 - 0.05f, -0.5f), 2));
  EXPECT_EQ(PixelOfPoint(0, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(PixelOfPoint(-0.5f, 0.5f), (Rgb{0, 0, 0}));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  f.groups[off].flags = KNF_ENABLED;
  Draw(f.Get());
  EXPECT_TRUE(Mostly(PixelOfPoint(-0.5f, 0.5f), 1));

  // The modelview matrix is left as it was.
  Mat4 after;
  glGetFloatv(GL_MODELVIEW_MATRIX, after.data());
  Mat4 before;
  glPushMatrix();
  SetupView(view, kViewFront, 1);
  glGetFloatv(GL_MODELVIEW_MATRIX, before.data());
  glPopMatrix();
  EXPECT_EQ(after, before);
}

TEST_F(ModelDrawing, VertexLayoutsFollowTheRecordFlags) {
  // Colours per vertex (9 floats) win over the record's colour; with texture
  // coordinates (8 floats) the texture's colour shows.
  Square colored(-0.5f, 0, 0.2f, {0, 1, 0});
  Square mapped(0.5f, 0, 0.2f, {}, true);
  FakeModel f;
  const int a = f.Add("Colours", 1);
  const int b = f.Add("Mapped");
  f.groups[a].flags |= KNF_VERTEX_COLORS;
  f.groups[a].primitiveCount = 1;
  f.groups[a].primitives = &colored.prim;
  Paint(f.groups[a], 1, 0, 0);
  f.groups[b].flags |= KNF_TEXTURED | KNF_TEX_COORDS;
  f.groups[b].textureNumber = 2;
  f.groups[b].primitiveCount = 1;
  f.groups[b].primitives = &mapped.prim;

  // Texture number 2 names one blue texel.
  const uint8_t texel[4] = {0, 0, 255, 255};
  GLuint blue = 0;
  glGenTextures(1, &blue);
  glBindTexture(GL_TEXTURE_2D, blue);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glBindTexture(GL_TEXTURE_2D, 0);

  const unsigned names[] = {0, 0, blue};
  Draw(f.Get(), names);
  EXPECT_TRUE(Mostly(PixelOfPoint(0.5f, 0), 2));
  EXPECT_TRUE(Mostly(PixelOfPoint(-0.5f, 0), 1));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  glDisable(GL_TEXTURE_2D);
}

TEST_F(ModelDrawing, BrokenRecordsDrawWhatIsWholeAndStop) {
  Square square(0, 0, 0.3f);
  KnfDisplayPrimitive prims[3] = {{9, 4, square.vertices.data()},  // unknown type
                                  {0, 2, square.vertices.data()},  // not a whole triangle
                                  {1, 4, nullptr}};
  FakeModel f;
  const int loop = f.Add("Loop", 0, 0);  // its own child and next
  f.groups[loop].primitiveCount = 3;
  f.groups[loop].primitives = prims;
  f.Add("Unreached", -1, 12345);
  Draw(f.Get());
  EXPECT_EQ(PixelOfPoint(0, 0), (Rgb{0, 0, 0}));

  prims[2].vertices = square.vertices.data();
  Draw(f.Get());
  EXPECT_NE(PixelOfPoint(0, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  Draw(nullptr);
  InternalModel none;
  Draw(&none);
  EXPECT_EQ(PixelOfPoint(0, 0), (Rgb{0, 0, 0}));
}

}  // namespace
}  // namespace modra
