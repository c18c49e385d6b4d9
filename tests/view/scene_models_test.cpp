// The camera, the light lamps and the current group's axis in a scene draw.
#include <gtest/gtest.h>

#include "view/internal_model.h"
#include "view_test_util.h"

namespace modra {
namespace {

using test::PixelOfPoint;
using test::Rgb;
using test::ToBytes;

// One channel well above the other two.
bool Mostly(const Rgb& p, int channel) {
  for (int c = 0; c < 3; ++c)
    if (c != channel && p[c] + 80 > p[channel]) return false;
  return p[channel] > 120;
}

// Lines are lit with whatever normal came last: only their hue is certain.
bool Tinted(const Rgb& p, int channel) {
  for (int c = 0; c < 3; ++c)
    if (c != channel && p[c] + 20 > p[channel]) return false;
  return true;
}

class SceneModels : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(rig.Make(&error)) << error;
    test::FlatFrontView(doc.doc);
    doc.doc.display.lightDisplay = true;
    for (int i = 1; i < kLightCount; ++i)
      s().lights[i].type = kLightOff;
  }
  Scene& s() { return doc.scene(); }
  Rgb Background() const { return ToBytes(doc.doc.scene.global.background); }
  Rgb At(float x, float y) {
    rig.Draw(doc.doc);
    return PixelOfPoint(x, y);
  }

  test::RecordedDocument doc;
  test::ViewRig rig;
};

TEST_F(SceneModels, PositionalLampStandsAtItsLightWithTheLightsColour) {
  KnfLight& l = s().lights[2];
  l.type = kLightPositional;
  l.position = {0.5f, -0.3f, 0};
  l.color = {1, 0, 0};
  EXPECT_TRUE(Mostly(At(0.5f, -0.3f), 0)) << testing::PrintToString(At(0.5f, -0.3f));
  EXPECT_EQ(At(0, 0), Background());
  l.color = {0, 0, 1};
  l.position = {-0.4f, 0.4f, 0.3f};
  EXPECT_TRUE(Mostly(At(-0.4f, 0.4f), 2));
  EXPECT_EQ(At(0.5f, -0.3f), Background());
  doc.doc.display.lightDisplay = false;
  EXPECT_EQ(At(-0.4f, 0.4f), Background());
  doc.doc.display.lightDisplay = true;
  l.type = kLightOff;
  EXPECT_EQ(At(-0.4f, 0.4f), Background());
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneModels, BulbColourNeverReachesTheSharedRecordsOrAnotherDocument) {
  const InternalModel* lamp = GetInternalModel(kPositionalLightModel);
  const KnfDisplayGroup& bulb = lamp->scene->groups[CompiledLightBulbs().positional];
  const std::array<float, 3> compiled = {bulb.color[0], bulb.color[1], bulb.color[2]};

  s().lights[1].type = kLightPositional;
  s().lights[1].position = {0, 0, 0};
  s().lights[1].color = {1, 0, 0};
  EXPECT_TRUE(Mostly(At(0, 0), 0));
  EXPECT_EQ((std::array<float, 3>{bulb.color[0], bulb.color[1], bulb.color[2]}), compiled);

  // A second document, whose light is green, does not see the first one's red.
  test::RecordedDocument other;
  test::FlatFrontView(other.doc);
  other.doc.display.lightDisplay = true;
  std::copy(std::begin(s().lights), std::end(s().lights), other.scene().lights);
  other.scene().lights[1].color = {0, 1, 0};
  rig.Draw(other.doc);
  EXPECT_TRUE(Mostly(PixelOfPoint(0, 0), 1));
  EXPECT_TRUE(Mostly(At(0, 0), 0));
}

TEST_F(SceneModels, DirectionalLampStandsInARowByLightNumberTurnedByItsAngles) {
  KnfLight& l = s().lights[3];
  l.type = kLightDirectional;
  l.position = {0.5f, -0.5f, 0};  // not where a directional lamp goes
  l.color = {0, 1, 0};
  l.rotation = {0, 0, 0};
  const float x = 0.2f * 3 - 0.9f;
  EXPECT_TRUE(Mostly(At(x, 0.5f), 1)) << testing::PrintToString(At(x, 0.5f));
  EXPECT_EQ(At(0.5f, -0.5f), Background());
  // The arrow leaves the bulb along +y and is not in the light's colour.
  const Rgb head = At(x, 0.64f);
  EXPECT_NE(head, Background());
  EXPECT_FALSE(Mostly(head, 1));
  EXPECT_EQ(At(x, 0.36f), Background());

  // Turned half round about x: the arrow points down.
  l.rotation = {180, 0, 0};
  EXPECT_EQ(At(x, 0.64f), Background());
  EXPECT_NE(At(x, 0.36f), Background());

  // Light 6 stands further right.
  l.type = kLightOff;
  s().lights[6].type = kLightDirectional;
  EXPECT_NE(At(0.2f * 6 - 0.9f, 0.5f), Background());
  EXPECT_EQ(At(x, 0.5f), Background());
}

TEST_F(SceneModels, SpotLampShowsItsBulbAboveTheShade) {
  KnfLight& l = s().lights[8];
  l.type = kLightCone;
  l.position = {0.25f, 0.25f, 0};
  l.color = {0, 0, 1};
  l.rotation = {0, 0, 0};
  EXPECT_TRUE(Mostly(At(0.25f, 0.28f), 2)) << testing::PrintToString(At(0.25f, 0.28f));
  const Rgb shade = At(0.25f, 0.16f);
  EXPECT_NE(shade, Background());
  EXPECT_FALSE(Mostly(shade, 2));
}

// The default camera stands at the eye of the Front and Perspective views:
// drawn there, its inside would be the whole picture.
TEST_F(SceneModels, CameraIsLeftOutOfAViewThatLooksFromInsideIt) {
  DisplayState& d = doc.doc.display;
  d.cameraDisplay = true;
  for (int view : {kViewFront, kViewPerspective}) {
    SCOPED_TRACE(view);
    d.currentView = view;
    s().camera = KnfCameraView{};
    EXPECT_EQ(At(0, 0), Background());
    s().camera.position = {0, 0, -3.5f};
    EXPECT_NE(At(0, 0), Background());
  }
  // Nor does the camera view show the camera itself.
  s().camera.position = {0, 0, 0};
  d.currentView = kViewPerspective;
  EXPECT_NE(At(0, 0), Background());
  d.currentView = kViewCamera;
  EXPECT_EQ(At(0, 0), Background());
  d.currentView = kViewPerspective;
  d.cameraDisplay = false;
  EXPECT_EQ(At(0, 0), Background());
}

TEST_F(SceneModels, CameraModelStandsAtTheCameraTurnedItsWay) {
  s().camera.position = {0.5f, 0, 0};
  doc.doc.display.cameraDisplay = true;
  EXPECT_NE(At(0.5f, 0), Background());
  EXPECT_EQ(At(0, 0), Background());
  // The lens points where the camera looks: +z, or +x once turned about y.
  EXPECT_EQ(At(0.82f, 0), Background());
  s().camera.rotation = {0, 90, 0};
  EXPECT_NE(At(0.82f, 0), Background());
  EXPECT_EQ(At(0.18f, 0), Background());
}

// The pivot sits on pixel centres, so the axis lines land on whole pixels.
class CurrentGroupAxis : public SceneModels {
 protected:
  void SetUp() override {
    SceneModels::SetUp();
    doc.doc.display.lighting = true;
    g = NewGroup(s(), "Pivot");
    s().groups[g].flags |= Enabled;
    s().groups[g].center = {c, c, 0};
    s().selectedGroup = g;
  }
  static constexpr float c = 1.0f / test::kViewSize;
  int g = -1;
};

TEST_F(CurrentGroupAxis, SolidArrowsOrThreeLines) {
  DisplayState& d = doc.doc.display;
  d.solidAxisDisplay = true;
  EXPECT_TRUE(Mostly(At(0.85f + c, c), 0)) << testing::PrintToString(At(0.85f + c, c));
  EXPECT_TRUE(Mostly(At(c, 0.85f + c), 1));
  // Arrows only on the positive side, and no further than 1.
  EXPECT_EQ(At(-0.5f + c, c), Background());
  EXPECT_EQ(At(c, -0.5f + c), Background());

  d.solidAxisDisplay = false;
  EXPECT_TRUE(Tinted(At(-0.5f + c, c), 0)) << testing::PrintToString(At(-0.5f + c, c));
  EXPECT_TRUE(Tinted(At(c, -0.5f + c), 1));
  EXPECT_TRUE(Tinted(At(0.85f + c, c), 0));
  EXPECT_EQ(At(0.85f + c, 3 * c), Background());

  // The axes follow the pivot, and need a current group and the marker.
  s().groups[g].center = {-0.5f + c, c, 0};
  d.solidAxisDisplay = true;
  EXPECT_TRUE(Mostly(At(0.35f + c, c), 0));
  EXPECT_EQ(At(0.85f + c, c), Background());
  d.axisMarker = false;
  EXPECT_EQ(At(0.35f + c, c), Background());
  d.axisMarker = true;
  s().selectedGroup = -1;
  EXPECT_EQ(At(0.35f + c, c), Background());
}

TEST_F(CurrentGroupAxis, GroupsAfterTheSolidAxisKeepTheSceneLights) {
  // One red light from the viewer's side; the default lights are white.
  KnfLight& l = s().lights[1];
  l.type = kLightDirectional;
  l.direction = {0, 0, -1};
  l.color = {0.6f, 0, 0};
  s().lights[0].color = {0, 0, 0};
  const int square = test::AddSquare(s(), "White", 0.5f, -0.5f, 0, 0.2f, {1, 1, 1});
  // The square is drawn after the pivot group, filled and lit.
  test::MakeChild(s(), square, g);
  s().groups[square].flags |= highlighted;
  doc.doc.display.lightDisplay = false;

  doc.doc.display.solidAxisDisplay = false;
  const Rgb lines = At(0.5f, -0.5f);
  EXPECT_TRUE(Mostly(lines, 0)) << testing::PrintToString(lines);
  doc.doc.display.solidAxisDisplay = true;
  EXPECT_EQ(At(0.5f, -0.5f), lines);
}

}  // namespace
}  // namespace modra
