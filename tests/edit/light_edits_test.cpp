// The light panel: its list, the controls each light type enables, the
// background entry, the angle rule and its reverse, and the keys its edits
// leave.
#include "edit/light_edits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "anim/playback.h"
#include "scene/key_store.h"
#include "test_util.h"

namespace modra {
namespace {

// The colour sliders moved one after another; true when any changed
// something.
bool LightColor(EditLayer& layer, int entry, int red, int green, int blue) {
  const int positions[3] = {red, green, blue};
  bool moved = false;
  for (int i : {0, 1, 2})
    moved = SetLightColorSlider(layer, entry, i, positions[i]) || moved;
  return moved;
}

bool Cone(EditLayer& layer, int entry, int cutoff, int power) {
  const bool moved = SetLightConeSlider(layer, entry, 0, cutoff);
  return SetLightConeSlider(layer, entry, 1, power) || moved;
}

using test::ExpectNear;

struct LightEdits : ::testing::Test {
  test::RecordedDocument rec;
  Scene& s = rec.scene();
  EditLayer layer{rec.doc};
  void SetUp() override {
    s.lights[1].type = kLightDirectional;
    s.lights[2].type = kLightPositional;
    s.lights[3].type = kLightCone;
    s.lights[4].type = kLightOff;
    s.lights[0].type = kLightOn;
  }
};

TEST(LightList, EntriesNameTheBackgroundTheAmbientTermAndEightLights) {
  struct Case {
    int entry;
    const char* name;
    int light;
  };
  const Case cases[] = {{0, "Background", -1}, {1, "Ambient", 0},  {2, "Light #1", 1},
                        {5, "Light #4", 4},    {9, "Light #8", 8}, {10, "", -1},
                        {-1, "", -1}};
  for (const Case& c : cases) {
    EXPECT_EQ(std::string(LightListName(c.entry)), c.name) << c.entry;
    EXPECT_EQ(LightOfEntry(c.entry), c.light) << c.entry;
    if (c.light >= 0) {
      EXPECT_EQ(EntryOfLight(c.light), c.entry);
    }
  }
}

TEST_F(LightEdits, EachLightTypeEnablesItsOwnControls) {
  struct Case {
    int entry;
    LightPanelState expected;
  };
  // typeRadios, checked, mouseRot, mousePos, angles, position, attenuation, colour, cone
  const Case cases[] = {
      {0, {false, -1, false, false, false, false, false, true, false}},  // background
      {1, {false, -1, false, false, false, false, false, true, false}},  // ambient, on
      {2, {true, 1, true, false, true, false, false, true, false}},      // directional
      {3, {true, 2, false, true, false, true, true, true, false}},       // positional
      {4, {true, 3, true, true, true, true, true, true, true}},          // cone
      {5, {true, 0, false, false, false, false, false, false, false}},   // off
      {10, {false, -1, false, false, false, false, false, false, false}},
  };
  for (const Case& c : cases) {
    const LightPanelState got = LightPanel(s, c.entry);
    const LightPanelState& e = c.expected;
    SCOPED_TRACE(c.entry);
    EXPECT_EQ(got.typeRadios, e.typeRadios);
    EXPECT_EQ(got.checkedRadio, e.checkedRadio);
    EXPECT_EQ(got.mouseRotation, e.mouseRotation);
    EXPECT_EQ(got.mousePosition, e.mousePosition);
    EXPECT_EQ(got.angles, e.angles);
    EXPECT_EQ(got.position, e.position);
    EXPECT_EQ(got.attenuation, e.attenuation);
    EXPECT_EQ(got.color, e.color);
    EXPECT_EQ(got.cone, e.cone);
  }
  s.lights[0].type = kLightOff;
  EXPECT_FALSE(LightPanel(s, kLightListAmbient).color);
}

TEST_F(LightEdits, BackgroundEntryEditsTheBackgroundAndHasNoTypeRadios) {
  const Vec3 ambient = s.lights[0].color;
  GoToFrame(rec.doc, 10);
  rec.shell.changes.clear();
  EXPECT_FALSE(SetLightTypeRadio(layer, kLightListBackground, 3));
  EXPECT_FALSE(SetLightTypeRadio(layer, kLightListAmbient, 1));
  EXPECT_EQ(s.lights[0].type, kLightOn);
  EXPECT_FALSE(rec.doc.modified);

  ASSERT_TRUE(LightColor(layer, kLightListBackground, 200, 400, 1000));
  ExpectNear(s.global.background, {0.2f, 0.4f, 1.0f});
  EXPECT_EQ(s.lights[0].color, ambient);
  const LightSliders shown = LightPanelSliders(s, kLightListBackground);
  EXPECT_EQ(shown.red, 200);
  EXPECT_EQ(shown.green, 400);
  EXPECT_EQ(shown.blue, 1000);
  // The background has no keys: it keeps its colour at every frame.
  EXPECT_TRUE(rec.anim().keys.empty());
  EXPECT_TRUE(rec.doc.modified);
  EXPECT_EQ(rec.shell.changes.size(), 3u);  // one per slider
  GoToFrame(rec.doc, 0);
  ExpectNear(s.global.background, {0.2f, 0.4f, 1.0f});

  // The ambient entry colours light 0.
  ASSERT_TRUE(LightColor(layer, kLightListAmbient, 300, 300, 300));
  ExpectNear(s.lights[0].color, {0.3f, 0.3f, 0.3f});
}

TEST_F(LightEdits, TypeRadiosSetTheirTypes) {
  const int entry = EntryOfLight(4);
  const int32_t expected[4] = {kLightOff, kLightDirectional, kLightPositional, kLightCone};
  for (int radio : {1, 2, 3, 0}) {
    EXPECT_TRUE(SetLightTypeRadio(layer, entry, radio)) << radio;
    EXPECT_EQ(s.lights[4].type, expected[radio]);
    EXPECT_EQ(LightPanel(s, entry).checkedRadio, radio);
  }
  EXPECT_FALSE(SetLightTypeRadio(layer, entry, 0));  // already off
  EXPECT_FALSE(SetLightTypeRadio(layer, entry, 4));
  EXPECT_FALSE(SetLightTypeRadio(layer, entry, -1));
  EXPECT_EQ(s.lights[4].type, kLightOff);
}

TEST_F(LightEdits, DisabledControlsChangeNothing) {
  const int directional = EntryOfLight(1), positional = EntryOfLight(2), off = EntryOfLight(4);
  const Vec3 position = s.lights[1].position, color = s.lights[4].color;
  s.global.background = {0.5f, 0.5f, 0.5f};
  EXPECT_FALSE(SetLightPosition(layer, directional, {1, 2, 3}));
  EXPECT_FALSE(SetLightAttenuation(layer, directional, 1, 2, 3));
  EXPECT_FALSE(SetLightAngles(layer, positional, 10, 20));
  EXPECT_FALSE(Cone(layer, positional, 300, 20));
  EXPECT_FALSE(LightColor(layer, off, 0, 0, 0));
  EXPECT_FALSE(AdjustLight(layer, directional, LightMouse::kPosition, {1, 1, 1}));
  EXPECT_FALSE(AdjustLight(layer, positional, LightMouse::kRotation, {1, 1, 1}));
  EXPECT_FALSE(AdjustLight(layer, kLightListBackground, LightMouse::kRotation, {1, 1, 1}));
  EXPECT_FALSE(AdjustLight(layer, EntryOfLight(3), LightMouse::kRotation, {0, 0, 5}));
  EXPECT_FALSE(SetLightPosition(layer, kLightListBackground, {1, 2, 3}));
  EXPECT_FALSE(SetLightPosition(layer, 42, {1, 2, 3}));
  EXPECT_FALSE(rec.doc.modified);
  EXPECT_EQ(s.lights[1].position, position);
  EXPECT_EQ(s.lights[4].color, color);
  EXPECT_EQ(s.global.background, (Vec3{0.5f, 0.5f, 0.5f}));
}

TEST(LightAngles, AnglesTurnStraightDown) {
  struct Case {
    float x, y;
    Vec3 direction;
  };
  const float h = std::sqrt(0.5f);
  const Case cases[] = {
      {0, 0, {0, -1, 0}},  {90, 0, {0, 0, -1}},  {-90, 0, {0, 0, 1}},  {90, 90, {-1, 0, 0}},
      {180, 0, {0, 1, 0}}, {45, 0, {0, -h, -h}}, {90, -90, {1, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + " " + std::to_string(c.y));
    ExpectNear(LightDirectionFromAngles(c.x, c.y), c.direction);
  }
}

TEST(LightAngles, DirectionToAnglesAndBackFindsTheSameDirection) {
  // Angles name directions twice over ((x, y) and (-x, y + 180)), so the
  // round trip compares directions, and the reverse must be a fixed point
  // once applied.
  for (float x : {-170.0f, -90.0f, -30.0f, 10.0f, 45.0f, 90.0f, 135.0f}) {
    for (float y : {-135.0f, -45.0f, 0.0f, 30.0f, 90.0f, 200.0f}) {
      SCOPED_TRACE(std::to_string(x) + " " + std::to_string(y));
      const Vec3 d = LightDirectionFromAngles(x, y);
      const Vec3 a = LightAnglesFromDirection(d);
      EXPECT_EQ(a[2], 0.0f);
      ExpectNear(LightDirectionFromAngles(a[0], a[1]), d);
      const Vec3 again = LightAnglesFromDirection(LightDirectionFromAngles(a[0], a[1]));
      EXPECT_NEAR(again[0], a[0], 1e-2);
      EXPECT_NEAR(std::remainder(again[1] - a[1], 360.0f), 0.0f, 1e-2);
    }
  }
  // Directions that are not unit length give the same angles.
  ExpectNear(LightAnglesFromDirection({0, 0, -3}), LightAnglesFromDirection({0, 0, -1}));
  // The spelled-out rule for one direction: y = atan2(-dz, dx) + 90,
  // x = atan2(-dy, sqrt(dz*dz + dx*dx)) - 90.
  ExpectNear(LightAnglesFromDirection({1, 1, 1}),
             {static_cast<float>(std::atan2(-1.0, std::sqrt(2.0)) * 57.29577791868204 - 90),
              -45.0f + 90.0f, 0.0f});
}

TEST_F(LightEdits, AdjustTurnsOrMovesTheLight) {
  const int cone = EntryOfLight(3);
  s.lights[3].rotation = {10, 20, 0};
  ASSERT_TRUE(AdjustLight(layer, cone, LightMouse::kRotation, {5, -30, 99}));
  EXPECT_EQ(s.lights[3].rotation, (Vec3{15, -10, 0}));
  ExpectNear(s.lights[3].direction, LightDirectionFromAngles(15, -10));
  const Vec3 before = s.lights[3].position;
  ASSERT_TRUE(AdjustLight(layer, cone, LightMouse::kPosition, {1, -2, 0.5f}));
  ExpectNear(s.lights[3].position, {before[0] + 1, before[1] - 2, before[2] + 0.5f});
  EXPECT_EQ(s.lights[3].rotation, (Vec3{15, -10, 0}));
  EXPECT_EQ(rec.shell.changes.size(), 2u);
}

TEST_F(LightEdits, ConeSlidersUseTheirScalesAndRanges) {
  const int cone = EntryOfLight(3);
  struct Case {
    int cutoff, power;
    float angle, spot;
  };
  const Case cases[] = {{450, 25, 45.0f, 2.5f},
                        {10, 0, 1.0f, 0.0f},
                        {5, -3, 1.0f, 0.0f},
                        {900, 1280, 90.0f, 128.0f},
                        {1000, 9999, 90.0f, 128.0f}};
  for (const Case& c : cases) {
    Cone(layer, cone, c.cutoff, c.power);
    EXPECT_FLOAT_EQ(s.lights[3].cutoff, c.angle) << c.cutoff;
    EXPECT_FLOAT_EQ(s.lights[3].spotPower, c.spot) << c.power;
    const LightSliders shown = LightPanelSliders(s, cone);
    EXPECT_EQ(shown.cutoff, static_cast<int>(std::lround(c.angle * 10)));
    EXPECT_EQ(shown.spotPower, static_cast<int>(std::lround(c.spot * 10)));
  }
}

// Every light edit at frame 10 becomes a key of that light (owner index -
// 100) and frame 5 lies halfway.
TEST_F(LightEdits, EachEditIsKeyedAndInterpolated) {
  const int light = 3, entry = EntryOfLight(light), owner = light - 100;
  KnfLight& l = s.lights[light];
  l.position = {0, 0, 0};
  l.color = {0, 0, 0};
  l.c1 = l.c2 = l.c3 = 0;
  l.cutoff = 10;
  l.spotPower = 0;
  l.rotation = {0, 0, 0};
  l.direction = LightDirectionFromAngles(0, 0);
  GoToFrame(rec.doc, 10);
  ASSERT_TRUE(SetLightPosition(layer, entry, {2, 4, -6}));
  ASSERT_TRUE(LightColor(layer, entry, 1000, 500, 0));
  ASSERT_TRUE(SetLightAttenuation(layer, entry, 0.2f, 0.4f, 2));
  ASSERT_TRUE(Cone(layer, entry, 300, 100));
  for (int kind : {kKeyLightPosition, kKeyLightColor, kKeyLightAttenuation, kKeyLightCone}) {
    EXPECT_NE(FindKey(rec.anim(), 10, owner, kind), -1) << kind;
    EXPECT_EQ(FindKey(rec.anim(), 10, owner + 1, kind), -1) << kind;
  }
  GoToFrame(rec.doc, 5);
  ExpectNear(l.position, {1, 2, -3}, 1e-3f);
  ExpectNear(l.color, {0.5f, 0.25f, 0}, 1e-3f);
  EXPECT_NEAR(l.c1, 0.1f, 1e-3);
  EXPECT_NEAR(l.c2, 0.2f, 1e-3);
  EXPECT_NEAR(l.c3, 1.0f, 1e-3);
  EXPECT_NEAR(l.cutoff, 20.0f, 1e-2);
  EXPECT_NEAR(l.spotPower, 5.0f, 1e-2);

  // The angles are keyed with the position; the direction follows them.
  GoToFrame(rec.doc, 10);
  ASSERT_TRUE(SetLightAngles(layer, entry, 60, 40));
  ExpectNear(l.direction, LightDirectionFromAngles(60, 40));
  GoToFrame(rec.doc, 5);
  ExpectNear(l.rotation, {30, 20, 0}, 1e-2f);
  ExpectNear(l.direction, LightDirectionFromAngles(30, 20), 1e-3f);

  // The type is keyed too, and a type holds until the frame it was set.
  GoToFrame(rec.doc, 10);
  ASSERT_TRUE(SetLightTypeRadio(layer, entry, 2));
  EXPECT_NE(FindKey(rec.anim(), 10, owner, kKeyLightType), -1);
  GoToFrame(rec.doc, 0);
  EXPECT_EQ(l.type, kLightCone);
  GoToFrame(rec.doc, 10);
  EXPECT_EQ(l.type, kLightPositional);
}

}  // namespace
}  // namespace modra
