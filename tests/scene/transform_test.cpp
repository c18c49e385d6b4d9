// Group transforms, setters with their limits, boxes and extents.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "scene/bounds.h"
#include "test_util.h"

namespace modra {
namespace {

using test::AddMesh;
using test::ExpectNear;

// Turns apply about x, then y, then z (Rz * Ry * Rx), each the right-handed
// way: a quarter turn carries y onto z, z onto x and x onto y.
TEST(Transforms, RotationMatrixTurnsAboutXThenYThenZ) {
  ExpectNear(TransformPoint(RotationMatrix(90, 0, 0), {0, 1, 0}), {0, 0, 1}, 1e-6f);
  ExpectNear(TransformPoint(RotationMatrix(0, 90, 0), {0, 0, 1}), {1, 0, 0}, 1e-6f);
  ExpectNear(TransformPoint(RotationMatrix(0, 0, 90), {1, 0, 0}), {0, 1, 0}, 1e-6f);
  for (auto [ax, ay, az] : {std::array<float, 3>{30, 45, 60}, {-120, 10, 200}, {359, 181, -45}}) {
    const Mat4 m = RotationMatrix(ax, ay, az);
    const Mat4 composed = Multiply(RotationMatrix(0, 0, az),
                                   Multiply(RotationMatrix(0, ay, 0), RotationMatrix(ax, 0, 0)));
    for (int i = 0; i < 16; ++i)
      EXPECT_NEAR(m[i], composed[i], 1e-6) << ax << " " << ay << " " << az;
  }
}

TEST(Transforms, GroupMatrixAppliesPivotScaleTurnMoveThenCentreTurn) {
  Scene s;
  int g = NewGroup(s, "G");
  DisplayGroup& group = s.groups[g];
  group.center = {1, 2, 3};
  group.scale = {2, 1, 1};
  group.rotation = {0, 0, 90};
  group.translation = {10, 0, 0};
  group.centerRotation = {0, 90, 0};
  BuildGroupMatrix(s, g);
  // (2,2,3) - centre = (1,0,0); scaled (2,0,0); turned about z (0,2,0);
  // + centre (1,4,3); moved (11,4,3); turned about y by 90: (3,4,-11).
  ExpectNear(TransformPoint(s.groups[g].matrix, {2, 2, 3}), {3, 4, -11});
  // The pivot itself only moves and turns with the centre rotation.
  ExpectNear(TransformPoint(s.groups[g].matrix, {1, 2, 3}), {3, 2, -11});
}

TEST(Transforms, MaterialSettersClamp) {
  Scene s;
  int g = NewGroup(s, "G");
  SetColor(s, g, 1.5f, -0.2f, 0.3f);
  EXPECT_EQ(s.groups[g].color, (Vec3{1.0f, 0.0f, 0.3f}));
  SetShininess(s, g, 0.5f);
  EXPECT_EQ(s.groups[g].shininess, 1.0f);
  SetShininess(s, g, 200);
  EXPECT_EQ(s.groups[g].shininess, 128.0f);
}

TEST(Transforms, AnglesWrapByOneTurnPastTheirLimits) {
  Scene s;
  int g = NewGroup(s, "G");
  s.groups[g].centerRotation = {355, 350, -355};
  AddCenterRotation(s, g, 10, 10, -10);
  EXPECT_EQ(s.groups[g].centerRotation, (Vec3{5, 360, -5}));  // exactly 360 stays

  AddRotation(s, g, 720, -720, 36010);
  EXPECT_EQ(s.groups[g].rotation, (Vec3{720, -720, 10}));
  AddRotation(s, g, 0, -35290, 0);
  EXPECT_EQ(s.groups[g].rotation, (Vec3{720, -10, 10}));  // -36010 wraps to -10

  AddScale(s, g, -3, 0, 0);  // not limited
  EXPECT_EQ(s.groups[g].scale[0], -2);
}

TEST(Transforms, AnglesFromRotationRebuildTheSameTurn) {
  for (auto angles : {Vec3{30, 45, 60}, Vec3{-170, 80, 10}, Vec3{25, 90, 40}, Vec3{10, -90, -70}}) {
    Mat4 m = RotationMatrix(angles);
    Vec3 back = AnglesFromRotation(m);
    for (float a : back)
      EXPECT_TRUE(std::isfinite(a));
    Mat4 rebuilt = RotationMatrix(back);
    for (int i = 0; i < 16; ++i)
      EXPECT_NEAR(rebuilt[i], m[i], 2e-5) << i;
  }
  // Scale in the columns does not disturb the turn.
  Mat4 scaled = Multiply(RotationMatrix(20, 30, 40), ScaleMatrix({2, 3, 0.5f}));
  ExpectNear(AnglesFromRotation(scaled), {20, 30, 40}, 1e-3f);
}

TEST(Transforms, BoundingBoxOfOwnVertices) {
  Scene s;
  int g = AddMesh(s, "G", {{1, -2, 3}, {-4, 5, 0.5f}, {0, 0, 9}});
  ComputeBoundingBox(s, g);
  EXPECT_EQ(s.groups[g].bboxMin, (Vec3{-4, -2, 0.5f}));
  EXPECT_EQ(s.groups[g].bboxMax, (Vec3{1, 5, 9}));

  // Vertex colours move the normal but not the position.
  s.groups[g].flags |= VertexColors;
  s.groups[g].primitives[0].vertices = {1, 2, 3, 9, 9, 9, 0, 0, 1};
  s.groups[g].primitives[0].vertexCount = 1;
  ComputeBoundingBox(s, g);
  EXPECT_EQ(s.groups[g].bboxMin, (Vec3{1, 2, 3}));
  EXPECT_EQ(s.groups[g].bboxMax, (Vec3{1, 2, 3}));

  int empty = NewGroup(s, "empty");
  s.groups[empty].bboxMin = {7, 7, 7};
  ComputeBoundingBox(s, empty);
  EXPECT_EQ(s.groups[empty].bboxMin, (Vec3{0, 0, 0}));

  // A count larger than the array never reads past it.
  s.groups[g].primitives[0].vertexCount = 1000;
  ComputeBoundingBox(s, g);
  EXPECT_EQ(s.groups[g].bboxMax, (Vec3{1, 2, 3}));
}

TEST(Transforms, SceneExtentsCountLeavesThroughTheirAncestors) {
  Scene s;
  int leaf = AddMesh(s, "leaf", {{0, 0, 0}, {1, 1, 1}});
  int parent = AddMesh(s, "parent", {{-100, -100, -100}, {100, 100, 100}});
  int lone = AddMesh(s, "lone", {{0, 0, 0}, {1, 1, 1}});
  test::Siblings(s, -1, {lone, parent});
  test::Siblings(s, parent, {leaf});
  for (int g : {leaf, parent, lone})
    ComputeBoundingBox(s, g);
  int header = NewGroup(s, "header");  // deleted slots never count
  s.groups[header].flags = Deleted;
  s.groups[header].bboxMin = {-50, -50, -50};
  s.groups[parent].translation = {10, 0, 0};
  BuildGroupMatrix(s, parent);
  s.groups[leaf].scale = {2, 2, 2};
  BuildGroupMatrix(s, leaf);
  s.groups[lone].translation = {0, -5, 0};
  BuildGroupMatrix(s, lone);

  ComputeSceneExtents(s);
  // The parent's own primitives do not count; its leaf is scaled then moved.
  EXPECT_EQ(s.groups[parent].extentMin, (Vec3{10, 0, 0}));
  EXPECT_EQ(s.groups[parent].extentMax, (Vec3{12, 2, 2}));
  EXPECT_EQ(s.groups[lone].extentMax, (Vec3{1, -4, 1}));
  EXPECT_EQ(s.sceneMin, (Vec3{0, -5, 0}));
  EXPECT_EQ(s.sceneMax, (Vec3{12, 2, 2}));
}

TEST(Transforms, ParameterBlocksFollowTheKind) {
  Scene s;
  int g = NewGroup(s, "block");
  s.groups[g].kind = kKindCone;
  ASSERT_EQ(AllocGeneratorParams(s, g), 0);
  ASSERT_EQ(s.groups[g].generatorParams.size(),
            static_cast<size_t>(GeneratorParamSize(s.groups[g])));
  SetMappingKind(s, g, 3);
  float stored;  // the mapping kind is the block's last word
  std::memcpy(&stored, &*(s.groups[g].generatorParams.end() - 4), 4);
  EXPECT_EQ(stored, 3.0f);
  s.groups[g].kind = 9;
  EXPECT_EQ(GeneratorParamSize(s.groups[g]), 0);

  // Variable blocks carry their size in their first word.
  int ext = NewGroup(s, "extrusion");
  s.groups[ext].kind = kKindExtrusion;
  SetVariableParamSize(s, ext, 64);
  EXPECT_EQ(GeneratorParamSize(s.groups[ext]), 64);
  EXPECT_EQ(GetMappingKind(s, ext), 0);  // the four-byte block has no mapping float yet
  SetMappingKind(s, ext, 2);             // and is not written past its end
  EXPECT_EQ(s.groups[ext].generatorParams.size(), 4u);
  const uint8_t bytes[8] = {8, 0, 0, 0, 0, 0, 0x80, 0x3f};  // size 8, mapping 1.0f
  SetGeneratorParams(s, ext, sizeof bytes, bytes);
  EXPECT_EQ(GetMappingKind(s, ext), 1);
  SetGeneratorParams(s, ext, 4, nullptr);  // nothing to store: the block stays
  EXPECT_EQ(s.groups[ext].generatorParams.size(), 8u);
  SetVariableParamSize(s, ext, 40);  // allocating keeps the size word
  ASSERT_EQ(AllocGeneratorParams(s, ext), 0);
  EXPECT_EQ(GeneratorParamSize(s.groups[ext]), 40);
}

}  // namespace
}  // namespace modra
