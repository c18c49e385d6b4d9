// Aiming the camera, turning lights, and resetting the scene.
#include <gtest/gtest.h>

#include <cmath>

#include "scene/camera_lights.h"
#include "test_util.h"

namespace modra {
namespace {

using test::ExpectNear;

TEST(CameraAndLights, ManualCameraLooksAheadOfItself) {
  Scene s;
  s.camera.mode = kCameraManual;
  s.camera.position = {1, 2, 3};
  s.camera.rotation = {0, 90, 0};
  UpdateCameraTarget(s);
  ExpectNear(s.camera.vectorA, {1 + 4.33f, 2, 3});
  // The z angle plays no part in where the camera looks.
  s.camera.rotation = {0, 0, 77};
  UpdateCameraTarget(s);
  ExpectNear(s.camera.vectorA, {1, 2, 3 + 4.33f});
}

TEST(CameraAndLights, LookAtCameraAimsAtTheGroupThroughItsAncestors) {
  Scene s;
  int target = NewGroup(s, "target");
  int parent = NewGroup(s, "parent");
  test::Siblings(s, -1, {parent});
  test::Siblings(s, parent, {target});
  s.groups[target].translation = {3, 0, 4};
  BuildGroupMatrix(s, target);
  s.groups[parent].translation = {10, 0, 0};
  BuildGroupMatrix(s, parent);

  s.camera.mode = kCameraLookAt;
  s.camera.position = {10, 5, 0};
  s.camera.lookAtGroup = target;
  RebuildCameraPath(s);
  EXPECT_EQ(s.camera.lookAtPath, (std::vector<int32_t>{parent, target}));
  EXPECT_TRUE(IsOnLookAtPath(s, parent));
  EXPECT_TRUE(IsOnLookAtPath(s, target));
  UpdateCameraTarget(s);
  ExpectNear(s.camera.vectorA, {13, 0, 4});
  // d = (3, -5, 4): turned 90 - atan2(4, 3) about y, atan2(5, 5) about x.
  EXPECT_NEAR(s.camera.rotation[1], 90 - std::atan2(4.0, 3.0) * 180 / M_PI, 1e-4);
  EXPECT_NEAR(s.camera.rotation[0], 45, 1e-4);
  EXPECT_EQ(s.camera.rotation[2], 0);

  // A target that no longer exists leaves the camera as it was.
  Vec3 before = s.camera.rotation;
  s.camera.lookAtGroup = 99;
  UpdateCameraTarget(s);
  EXPECT_EQ(s.camera.rotation, before);
  s.camera.mode = 1;  // the stored variant of manual never re-aims
  s.camera.lookAtGroup = target;
  s.camera.position = {0, 0, 0};
  UpdateCameraTarget(s);
  ExpectNear(s.camera.vectorA, {13, 0, 4});
  EXPECT_FALSE(IsOnLookAtPath(s, target));
}

TEST(CameraAndLights, LightDirectionAndAnglesConvertBothWays) {
  Scene s;
  KnfLight& l = s.lights[3];
  l.rotation = {0, 0, 0};
  UpdateLightDirection(s, 3, 0);
  ExpectNear(l.direction, {0, -1, 0}, 1e-6f);
  l.rotation = {90, 0, 0};
  UpdateLightDirection(s, 3, 0);
  ExpectNear(l.direction, {0, 0, -1}, 1e-6f);

  for (Vec3 d : {Vec3{1, 0, 0}, Vec3{0, 0, 1}, Vec3{-0.6f, 0.8f, 0}, Vec3{0.48f, -0.6f, 0.64f}}) {
    l.direction = d;
    UpdateLightDirection(s, 3, 1);
    EXPECT_EQ(l.rotation[2], 0);
    UpdateLightDirection(s, 3, 0);
    ExpectNear(l.direction, d, 1e-5f);
  }
  // No such light: nothing changes, nothing is touched past the table.
  const Scene before = s;
  UpdateLightDirection(s, 9, 0);
  UpdateLightDirection(s, -1, 1);
  for (int i = 0; i < kLightCount; ++i) {
    EXPECT_EQ(s.lights[i].rotation, before.lights[i].rotation) << i;
    EXPECT_EQ(s.lights[i].direction, before.lights[i].direction) << i;
  }
}

TEST(CameraAndLights, ResetCanKeepTheCameraView) {
  const Document fresh;
  Document doc;
  doc.scene.camera.position = {5, 6, 7};
  doc.display.views[kViewCamera].fieldOfView = 55;
  doc.display.views[kViewFront].scale = 3;
  ResetScene(doc, true);
  EXPECT_EQ(doc.scene.camera.position, (Vec3{5, 6, 7}));
  EXPECT_EQ(doc.display.views[kViewCamera].fieldOfView, 55);
  EXPECT_EQ(doc.display.views[kViewFront].scale, fresh.display.views[kViewFront].scale);
  ResetScene(doc, false);
  EXPECT_EQ(doc.scene.camera.position, fresh.scene.camera.position);
  EXPECT_EQ(doc.display.views[kViewCamera].fieldOfView,
            fresh.display.views[kViewCamera].fieldOfView);
}

}  // namespace
}  // namespace modra
