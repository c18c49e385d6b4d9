// The camera panel: fields and re-aiming in both modes, the look-at group
// through its ancestors, the adjust and the keys its edits leave.
#include "edit/camera_edits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "anim/playback.h"
#include "scene/key_store.h"
#include "test_util.h"

namespace modra {
namespace {

using test::AddTriangle;
using test::ExpectNear;

constexpr double kPi = 3.14159265358979323846;

// Where a manual camera with angles (rx, ry) looks, 4.33 ahead: (0, 0, 1)
// turned about x, then about y.
Vec3 Ahead(float rx, float ry) {
  const double a = rx * kPi / 180, b = ry * kPi / 180;
  return {static_cast<float>(4.33 * std::cos(a) * std::sin(b)),
          static_cast<float>(-4.33 * std::sin(a)),
          static_cast<float>(4.33 * std::cos(a) * std::cos(b))};
}

struct CameraEdits : ::testing::Test {
  test::RecordedDocument rec;
  Scene& s = rec.scene();
  EditLayer layer{rec.doc};
  void SetUp() override { ResetCamera(s); }

  void Place(int g, const Vec3& t, const Vec3& r) {
    s.groups[g].translation = t;
    s.groups[g].rotation = r;
    BuildGroupMatrix(s, g);
  }
};

TEST_F(CameraEdits, ManualFieldsAimAheadOfThePosition) {
  struct Case {
    float rx, ry;
    Vec3 position, target;
  };
  const Case cases[] = {
      {0, 0, {0, 0, -4.33f}, {0, 0, 0}},   {0, 90, {1, 1, 1}, {5.33f, 1, 1}},
      {90, 0, {0, 0, 0}, {0, -4.33f, 0}},  {-90, 0, {0, 0, 0}, {0, 4.33f, 0}},
      {0, 180, {0, 0, 0}, {0, 0, -4.33f}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.rx) + " " + std::to_string(c.ry));
    SetCameraFields(layer, {c.rx, c.ry, c.position});
    const CameraFields shown = CameraPanelFields(s);
    EXPECT_EQ(shown.rx, c.rx);
    EXPECT_EQ(shown.ry, c.ry);
    EXPECT_EQ(shown.position, c.position);
    EXPECT_EQ(s.camera.rotation[2], 0.0f);
    ExpectNear(s.camera.vectorA, c.target, 1e-3f);
  }
  SetCameraFields(layer, {30, -45, {1, 2, 3}});
  const Vec3 ahead = Ahead(30, -45);
  ExpectNear(s.camera.vectorA, {1 + ahead[0], 2 + ahead[1], 3 + ahead[2]}, 1e-3f);
  EXPECT_TRUE(rec.doc.modified);
}

TEST_F(CameraEdits, LookAtAimsAtANestedGroupThroughItsAncestors) {
  int grand = AddTriangle(s, "Grandparent");
  int parent = AddTriangle(s, "Parent");
  int child = AddTriangle(s, "Child");
  test::MakeChild(s, parent, grand);
  test::MakeChild(s, child, parent);
  Place(grand, {10, 0, 0}, {0, 0, 0});
  Place(parent, {1, 2, 3}, {0, 90, 0});
  Place(child, {1, 0, 0}, {0, 0, 0});
  // The child's origin: (1, 0, 0) turned a quarter about y to (0, 0, -1),
  // then moved by (1, 2, 3) and (10, 0, 0).
  const Vec3 target = {11, 2, 2};
  ExpectNear(TransformPoint(test::WorldMatrix(s, parent), {1, 0, 0}), target);

  s.selectedGroup = child;
  ASSERT_TRUE(SetLookAtGroup(layer));
  EXPECT_EQ(s.camera.lookAtGroup, child);
  EXPECT_EQ(s.camera.lookAtPath, (std::vector<int32_t>{grand, parent, child}));
  EXPECT_EQ(SetCameraMode(layer, kCameraLookAt), CameraMouse::kPosition);
  EXPECT_EQ(s.camera.mode, kCameraLookAt);

  // d = target - position; ry = 90 - atan2(dz, dx), rx = atan2(-dy, |d in xz|).
  struct Case {
    Vec3 position;
    float rx, ry;
  };
  const Case cases[] = {
      {{7, 5, 2}, 36.869898f, 90},      // d = (4, -3, 0)
      {{11, 2, -3}, 0, 0},              // d = (0, 0, 5)
      {{11, -1, 6}, -36.869898f, 180},  // d = (0, 3, -4)
      {{14, 2, 5}, 0, 90 + 135},        // d = (-3, 0, -3)
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position[0]);
    // Typed angles give way to the ones that face the group.
    SetCameraFields(layer, {99, 99, c.position});
    ExpectNear(s.camera.vectorA, target);
    EXPECT_NEAR(s.camera.rotation[0], c.rx, 1e-3);
    EXPECT_NEAR(s.camera.rotation[1], c.ry, 1e-3);
    EXPECT_EQ(s.camera.rotation[2], 0.0f);
    // Those angles point a manual camera the same way.
    const Vec3 ahead = Ahead(s.camera.rotation[0], s.camera.rotation[1]);
    const Vec3 d = test::Sub(target, c.position);
    ExpectNear(ahead,
               {d[0] * 4.33f / test::Length(d), d[1] * 4.33f / test::Length(d),
                d[2] * 4.33f / test::Length(d)},
               1e-3f);
  }

  // A top-level group is aimed at its own translation.
  s.selectedGroup = grand;
  ASSERT_TRUE(SetLookAtGroup(layer));
  ExpectNear(s.camera.vectorA, {10, 0, 0});
}

TEST_F(CameraEdits, SetLookAtGroupWithoutACurrentGroupSaysSo) {
  for (int current : {-1, 12345}) {
    s.selectedGroup = current;
    EXPECT_FALSE(SetLookAtGroup(layer));
  }
  ASSERT_EQ(rec.shell.messages.size(), 2u);
  EXPECT_EQ(rec.shell.messages[0], "Must select a group to look at\nbefore pushing that button");
  EXPECT_EQ(s.camera.lookAtGroup, -1);
  EXPECT_FALSE(rec.doc.modified);
}

TEST_F(CameraEdits, ModesSwitchTheMouseControlAndBackToManualKeepsTheAngles) {
  int g = AddTriangle(s, "Target");
  Place(g, {4, 0, 0}, {0, 0, 0});
  s.selectedGroup = g;
  ASSERT_TRUE(SetLookAtGroup(layer));
  EXPECT_EQ(SetCameraMode(layer, kCameraLookAt), CameraMouse::kPosition);
  const Vec3 facing = s.camera.rotation;
  EXPECT_EQ(SetCameraMode(layer, kCameraManual), CameraMouse::kRotation);
  EXPECT_EQ(s.camera.mode, kCameraManual);
  EXPECT_EQ(s.camera.rotation, facing);
  // Manual re-aim: the target is 4.33 along the same line of sight.
  const Vec3 d = test::Sub(s.camera.vectorA, s.camera.position);
  EXPECT_NEAR(test::Length(d), 4.33f, 1e-3);
  const Vec3 toGroup = test::Sub({4, 0, 0}, s.camera.position);
  EXPECT_NEAR(test::Dot(d, toGroup), 4.33f * test::Length(toGroup), 1e-2);
  const size_t changes = rec.shell.changes.size();
  SetCameraMode(layer, 1);  // no radio sets the stored variant
  EXPECT_EQ(s.camera.mode, kCameraManual);
  EXPECT_EQ(rec.shell.changes.size(), changes);
}

TEST_F(CameraEdits, AdjustTurnsOrMovesThenReAims) {
  SetCameraFields(layer, {10, 20, {1, 2, 3}});
  ASSERT_TRUE(AdjustCamera(layer, CameraMouse::kRotation, {5, -40, 7}));
  EXPECT_EQ(s.camera.rotation, (Vec3{15, -20, 0}));
  ASSERT_TRUE(AdjustCamera(layer, CameraMouse::kPosition, {1, 1, -1}));
  EXPECT_EQ(s.camera.position, (Vec3{2, 3, 2}));
  const Vec3 ahead = Ahead(15, -20);
  ExpectNear(s.camera.vectorA, {2 + ahead[0], 3 + ahead[1], 2 + ahead[2]}, 1e-3f);
  const size_t changes = rec.shell.changes.size();
  EXPECT_FALSE(AdjustCamera(layer, CameraMouse::kRotation, {0, 0, 3}));
  EXPECT_FALSE(AdjustCamera(layer, CameraMouse::kPosition, {0, 0, 0}));
  EXPECT_EQ(rec.shell.changes.size(), changes);
}

TEST_F(CameraEdits, EachEditIsKeyedAndInterpolated) {
  SetCameraFields(layer, {0, 0, {0, 0, 0}});
  GoToFrame(rec.doc, 10);
  SetCameraFields(layer, {20, 40, {2, -4, 6}});
  EXPECT_NE(FindKey(rec.anim(), 10, kCameraOwner, kKeyCamera), -1);
  EXPECT_NE(FindKey(rec.anim(), 0, kCameraOwner, kKeyCamera), -1);
  GoToFrame(rec.doc, 5);
  ExpectNear(s.camera.position, {1, -2, 3}, 1e-3f);
  EXPECT_NEAR(s.camera.rotation[0], 10.0f, 1e-2);
  EXPECT_NEAR(s.camera.rotation[1], 20.0f, 1e-2);

  GoToFrame(rec.doc, 10);
  ASSERT_TRUE(AdjustCamera(layer, CameraMouse::kPosition, {2, 0, 0}));
  GoToFrame(rec.doc, 5);
  ExpectNear(s.camera.position, {2, -2, 3}, 1e-3f);
  GoToFrame(rec.doc, 0);
  ExpectNear(s.camera.position, {0, 0, 0});
}

}  // namespace
}  // namespace modra
