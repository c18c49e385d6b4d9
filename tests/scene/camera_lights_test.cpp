// Aiming the camera, turning lights, and the values a new scene starts with.
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
  s.rootHead = parent;
  s.groups[parent].next = -1;
  s.groups[parent].child = target;
  s.groups[target].next = -1;
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
  // No such light: nothing changes.
  auto snapshot = [&] {
    std::vector<Vec3> v;
    for (const KnfLight& light : s.lights)
      v.insert(v.end(), {light.direction, light.rotation});
    return v;
  };
  auto before = snapshot();
  UpdateLightDirection(s, 9, 0);
  UpdateLightDirection(s, -1, 1);
  EXPECT_EQ(snapshot(), before);
}

TEST(CameraAndLights, ANewSceneHasTheDefaultLightsViewsAndCamera) {
  Document doc;
  const Scene& s = doc.scene;
  EXPECT_EQ(s.lights[0].type, kLightOn);
  EXPECT_EQ(s.lights[0].color, (Vec3{0.2f, 0.2f, 0.2f}));
  const float grey[4] = {0.3f, 0.4f, 0.45f, 0.4f};
  const Vec3 directions[4] = {{-1, -1, 1}, {1, 1, -1}, {-1, -1, -1}, {1, 1, 1}};
  for (int i = 1; i <= 4; ++i) {
    EXPECT_EQ(s.lights[i].type, kLightDirectional) << i;
    EXPECT_EQ(s.lights[i].color, (Vec3{grey[i - 1], grey[i - 1], grey[i - 1]})) << i;
    EXPECT_EQ(s.lights[i].direction, directions[i - 1]) << i;
  }
  for (int i = 5; i <= 8; ++i) {
    const KnfLight& l = s.lights[i];
    EXPECT_EQ(l.type, kLightOff) << i;
    EXPECT_EQ(l.color, (Vec3{1, 1, 1}));
    EXPECT_EQ(l.position, (Vec3{0, 0, -0.8f}));
    EXPECT_EQ(l.direction, (Vec3{1, 1, 1}));
    EXPECT_EQ(l.c3, 1);
    EXPECT_EQ(l.c2, 0);
    EXPECT_EQ(l.c1, 0);
    EXPECT_EQ(l.cutoff, 20);
    EXPECT_EQ(l.spotPower, 4);
  }
  EXPECT_EQ(s.global.background, (Vec3{0.1f, 0.1f, 0.4f}));
  EXPECT_EQ(s.camera.mode, kCameraManual);
  EXPECT_EQ(s.camera.lookAtGroup, -1);
  ExpectNear(s.camera.vectorA, {0, 0, 0});

  const auto& v = doc.display.views;
  EXPECT_EQ(v[kViewFront].eye, (Vec3{0, 0, -4.33f}));
  EXPECT_EQ(v[kViewTop].eye, (Vec3{0, 4.33f, 0}));
  EXPECT_EQ(v[kViewTop].up, (Vec3{0, 0, 1}));
  EXPECT_EQ(v[kViewBottom].up, (Vec3{0, 0, -1}));
  EXPECT_EQ(v[kViewRight].eye, (Vec3{4.33f, 0, 0}));
  for (int i = 0; i < kViewPerspective; ++i)
    EXPECT_EQ(v[i].orthographic, 1) << i;
  EXPECT_EQ(v[kViewPerspective].orthographic, 0);
  EXPECT_EQ(v[kViewCamera].orthographic, 0);
  EXPECT_EQ(v[kViewCamera].eye, s.camera.position);
  EXPECT_EQ(v[kViewPerspective].nearOffset, -12);
  EXPECT_EQ(v[kViewPerspective].farOffset, 15);
  EXPECT_EQ(v[kViewPerspective].fieldOfView, 30);
  EXPECT_EQ(doc.display.displayMode, kTexturedMode);
  EXPECT_EQ(doc.display.currentView, kViewPerspective);
  EXPECT_EQ(doc.name, "new.knf");
  EXPECT_FALSE(doc.modified);
}

TEST(CameraAndLights, ResetCanKeepTheCameraView) {
  Document doc;
  doc.scene.camera.position = {5, 6, 7};
  doc.display.views[kViewCamera].fieldOfView = 55;
  doc.display.views[kViewFront].scale = 3;
  ResetScene(doc, true);
  EXPECT_EQ(doc.scene.camera.position, (Vec3{5, 6, 7}));
  EXPECT_EQ(doc.display.views[kViewCamera].fieldOfView, 55);
  EXPECT_EQ(doc.display.views[kViewFront].scale, 1);
  ResetScene(doc, false);
  EXPECT_EQ(doc.scene.camera.position, (Vec3{0, 0, -4.33f}));
  EXPECT_EQ(doc.display.views[kViewCamera].fieldOfView, 30);
}

}  // namespace
}  // namespace modra
