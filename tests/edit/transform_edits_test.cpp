// The transform panels' arithmetic: differences, locks, keys and the centre
// adjustment that leaves every group where it is drawn.
#include "edit/transform_edits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "anim/playback.h"
#include "scene/group_fields.h"
#include "scene/key_store.h"
#include "test_util.h"

namespace modra {
namespace {

using test::AddTriangle;
using test::ExpectNear;

constexpr TransformPanel kAllPanels[] = {TransformPanel::kTranslation, TransformPanel::kRotation,
                                         TransformPanel::kScale, TransformPanel::kCenter,
                                         TransformPanel::kCenterRotation};

void ExpectSameMatrix(const Mat4& a, const Mat4& b, float tolerance, const std::string& what) {
  for (int i = 0; i < 16; ++i)
    EXPECT_NEAR(a[i], b[i], tolerance) << what << " element " << i;
}

struct TransformEdits : ::testing::Test {
  test::RecordedDocument rec;
  Scene& s = rec.scene();
  EditLayer layer{rec.doc};
  int a = AddTriangle(s, "A");
  int b = AddTriangle(s, "B");
  int other = AddTriangle(s, "Unselected");

  void SetUp() override {
    s.groups[a].flags |= Selected;
    s.groups[b].flags |= Selected;
    s.selectedGroup = a;
    Place(a, {1, 2, 3}, {10, 20, 30}, {1, 1, 1});
    Place(b, {-4, 0, 5}, {0, 45, 0}, {2, 2, 2});
  }
  void Place(int g, const Vec3& t, const Vec3& r, const Vec3& sc) {
    s.groups[g].translation = t;
    s.groups[g].rotation = r;
    s.groups[g].scale = sc;
    BuildGroupMatrix(s, g);
  }
};

TEST_F(TransformEdits, TypedValuesMoveEverySelectedGroupByTheSameDifference) {
  // Table: panel, value typed for the current group (a), what b's field becomes.
  struct Case {
    TransformPanel panel;
    Vec3 typed;
    Vec3 bAfter;
  };
  const Case cases[] = {
      {TransformPanel::kTranslation, {3, 2, 0}, {-2, 0, 2}},
      {TransformPanel::kRotation, {10, 25, 30}, {0, 50, 0}},
      {TransformPanel::kScale, {1, 0, 3}, {2, 1, 4}},
  };
  for (const Case& c : cases) {
    SetUp();
    ASSERT_TRUE(ApplyTypedValues(layer, c.panel, c.typed)) << PanelInfo(c.panel).field;
    ExpectNear(PanelValue(s, a, c.panel), c.typed);
    ExpectNear(PanelValue(s, b, c.panel), c.bAfter);
    ExpectSameMatrix(s.groups[b].matrix, GroupMatrixFromFields(s.groups[b]), 0,
                     PanelInfo(c.panel).field);
    ExpectNear(PanelValue(s, other, c.panel),
               c.panel == TransformPanel::kScale ? Vec3{1, 1, 1} : Vec3{0, 0, 0});
  }
}

TEST_F(TransformEdits, TypingTheCurrentValuesChangesNothing) {
  for (TransformPanel panel : kAllPanels) {
    const Mat4 before = s.groups[b].matrix;
    EXPECT_FALSE(ApplyTypedValues(layer, panel, PanelValue(s, a, panel)));
    EXPECT_EQ(s.groups[b].matrix, before);
  }
  EXPECT_TRUE(rec.shell.changes.empty());
  EXPECT_FALSE(rec.doc.modified);
}

TEST_F(TransformEdits, NothingHappensWithoutACurrentGroupOrASelection) {
  s.selectedGroup = -1;
  EXPECT_FALSE(ApplyTypedValues(layer, TransformPanel::kTranslation, {9, 9, 9}));
  s.selectedGroup = a;
  s.groups[a].flags &= ~Selected;
  s.groups[b].flags &= ~Selected;
  for (TransformPanel panel : kAllPanels)
    EXPECT_FALSE(AdjustTransform(layer, panel, {1, 1, 1}, true, {}));
  EXPECT_FALSE(rec.doc.modified);
  EXPECT_EQ(s.groups[a].translation, (Vec3{1, 2, 3}));
}

TEST(TransformLocks, LockedAxesHoldOnlyInTheirOwnMode) {
  struct Case {
    AxisLocks locks;
    bool ownMode;
    Vec3 expected;
  };
  const Vec3 d = {1, -2, 3};
  const Case cases[] = {
      {{false, false, false}, true, {1, -2, 3}},
      {{true, false, false}, true, {0, -2, 3}},
      {{false, true, true}, true, {1, 0, 0}},
      {{true, true, true}, true, {0, 0, 0}},
      {{true, true, true}, false, {1, -2, 3}},  // from a modifier shortcut
      {{false, true, false}, false, {1, -2, 3}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LockedChange(d, c.locks, c.ownMode), c.expected);
}

TEST_F(TransformEdits, ADragHonoursLocksInOwnModeAndIgnoresThemFromAShortcut) {
  const AxisLocks lockY = {false, true, false};
  EXPECT_TRUE(AdjustTransform(layer, TransformPanel::kTranslation, {1, 1, 1}, true, lockY));
  ExpectNear(s.groups[a].translation, {2, 2, 4});
  ExpectNear(s.groups[b].translation, {-3, 0, 6});
  EXPECT_TRUE(AdjustTransform(layer, TransformPanel::kTranslation, {1, 1, 1}, false, lockY));
  ExpectNear(s.groups[a].translation, {3, 3, 5});
  // A drag along the locked axis alone is no edit at all.
  rec.shell.changes.clear();
  EXPECT_FALSE(AdjustTransform(layer, TransformPanel::kRotation, {0, 5, 0}, true, lockY));
  EXPECT_TRUE(rec.shell.changes.empty());
}

TEST_F(TransformEdits, EachPanelKeysItsEditAtFrameTenAndFrameFiveInterpolates) {
  struct Case {
    TransformPanel panel;
    std::vector<int> kinds;  // every kind the edit must key
  };
  const Case cases[] = {
      {TransformPanel::kTranslation, {kKeyTranslation}},
      {TransformPanel::kRotation, {kKeyRotation}},
      {TransformPanel::kScale, {kKeyScale}},
      {TransformPanel::kCenter, {kKeyCenter, kKeyTranslation}},
      {TransformPanel::kCenterRotation, {kKeyCenterRotation, kKeyRotation, kKeyTranslation}},
  };
  for (const Case& c : cases) {
    test::RecordedDocument fresh;
    Scene& sc = fresh.scene();
    EditLayer edits(fresh.doc);
    int g = AddTriangle(sc, "G");
    sc.groups[g].flags |= Selected;
    sc.selectedGroup = g;
    const Vec3 start = PanelValue(sc, g, c.panel);
    const Vec3 target = {start[0] + 4, start[1] - 8, start[2] + 2};
    GoToFrame(fresh.doc, 10);
    ASSERT_TRUE(ApplyTypedValues(edits, c.panel, target));
    const Mat4 atTen = sc.groups[g].matrix;
    EXPECT_EQ(PanelInfo(c.panel).keyKind, c.kinds.front());
    for (int kind : c.kinds) {
      EXPECT_NE(FindKey(sc.anim, 0, g, kind), -1) << PanelInfo(c.panel).field << " " << kind;
      EXPECT_NE(FindKey(sc.anim, 10, g, kind), -1) << PanelInfo(c.panel).field << " " << kind;
    }
    GoToFrame(fresh.doc, 5);
    ExpectNear(PanelValue(sc, g, c.panel),
               {start[0] + 2, start[1] - 4, start[2] + 1}, 1e-4f);
    ExpectSameMatrix(sc.groups[g].matrix, GroupMatrixFromFields(sc.groups[g]), 0,
                     PanelInfo(c.panel).field);
    GoToFrame(fresh.doc, 10);
    ExpectNear(PanelValue(sc, g, c.panel), target, 1e-4f);
    ExpectSameMatrix(sc.groups[g].matrix, atTen, 1e-5f, PanelInfo(c.panel).field);
    GoToFrame(fresh.doc, 0);
    ExpectNear(PanelValue(sc, g, c.panel), start);
  }
}

// Random groups, a random centre rotation or centre move: the matrix must
// not change, whatever the scale, including zero and mirrored axes.
TEST(CenterAdjustment, KeepsEveryMatrixForRandomGroups) {
  std::mt19937 rng(20261207);
  std::uniform_real_distribution<float> angle(-180, 180);
  std::uniform_real_distribution<float> place(-5, 5);
  std::uniform_real_distribution<float> size(-3, 3);
  std::uniform_int_distribution<int> coin(0, 3);
  auto random = [&](auto& dist) { return Vec3{dist(rng), dist(rng), dist(rng)}; };
  int zeroScales = 0;
  for (int i = 0; i < 200; ++i) {
    Scene s;
    int g = NewGroup(s, "G");
    DisplayGroup& group = s.groups[g];
    group.translation = random(place);
    group.center = random(place);
    group.rotation = random(angle);
    group.centerRotation = random(angle);
    group.scale = random(size);
    for (float& f : group.scale)
      if (coin(rng) == 0) f = 0, ++zeroScales;
    BuildGroupMatrix(s, g);
    const Mat4 before = group.matrix;
    const bool turn = i % 2 == 0;
    if (turn) {
      TurnCenterKeepingPlace(s, g, random(angle));
    } else {
      MoveCenterKeepingPlace(s, g, random(place));
    }
    ExpectSameMatrix(group.matrix, before, 1e-5f,
                     (turn ? "turn, case " : "move, case ") + std::to_string(i));
    ExpectSameMatrix(group.matrix, GroupMatrixFromFields(group), 0, "rebuilt");
  }
  EXPECT_GT(zeroScales, 50);
}

TEST(CenterAdjustment, MovingTheCentreOfAFlattenedGroup) {
  // Scale 0 along x: the new translation is still t - dc + R S dc.
  Scene s;
  int g = NewGroup(s, "Flat");
  s.groups[g].scale = {0, 2, 1};
  s.groups[g].translation = {1, 1, 1};
  BuildGroupMatrix(s, g);
  const Mat4 before = s.groups[g].matrix;
  MoveCenterKeepingPlace(s, g, {3, 1, 0});
  ExpectNear(s.groups[g].center, {3, 1, 0});
  ExpectNear(s.groups[g].translation, {1 - 3 + 0, 1 - 1 + 2, 1});
  ExpectSameMatrix(s.groups[g].matrix, before, 1e-6f, "flat");
}

TEST(CenterAdjustment, TurningTheCentreRotationMovesItIntoRotationAndTranslation) {
  // A quarter turn about z taken back out of the centre rotation: the group
  // keeps its place by turning its own rotation and translation the other way.
  Scene s;
  int g = NewGroup(s, "G");
  s.groups[g].centerRotation = {0, 0, 90};
  s.groups[g].translation = {1, 0, 0};
  BuildGroupMatrix(s, g);
  const Mat4 before = s.groups[g].matrix;
  TurnCenterKeepingPlace(s, g, {0, 0, -90});
  ExpectNear(s.groups[g].centerRotation, {0, 0, 0});
  ExpectNear(s.groups[g].rotation, {0, 0, 90});
  ExpectNear(s.groups[g].translation, {0, 1, 0});
  ExpectSameMatrix(s.groups[g].matrix, before, 1e-6f, "quarter turn");
}

TEST_F(TransformEdits, TheCentrePanelsKeepEverySelectedGroupInPlace) {
  const Mat4 aBefore = s.groups[a].matrix, bBefore = s.groups[b].matrix;
  ASSERT_TRUE(ApplyTypedValues(layer, TransformPanel::kCenter, {0.5f, -1, 2}));
  ExpectNear(s.groups[a].center, {0.5f, -1, 2});
  ExpectNear(s.groups[b].center, {0.5f, -1, 2});
  ASSERT_TRUE(AdjustTransform(layer, TransformPanel::kCenterRotation, {30, 0, 15}, true, {}));
  ExpectNear(s.groups[b].centerRotation, {30, 0, 15});
  ExpectSameMatrix(s.groups[a].matrix, aBefore, 1e-5f, "a");
  ExpectSameMatrix(s.groups[b].matrix, bBefore, 1e-5f, "b");
  // A move of the centre takes precedence; the rotation deltas go unused.
  ASSERT_TRUE(AdjustCenter(layer, {45, 0, 0}, {1, 0, 0}));
  ExpectNear(s.groups[b].centerRotation, {30, 0, 15});
  ExpectNear(s.groups[b].center, {1.5f, -1, 2});
  ExpectSameMatrix(s.groups[b].matrix, bBefore, 1e-5f, "b after move");
}

}  // namespace
}  // namespace modra
