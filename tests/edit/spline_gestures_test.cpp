// The spline editor through the edit session: a drag is one undo step.
#include "edit/spline_gestures.h"

#include <gtest/gtest.h>

#include "anim/anim_util.h"

namespace modra {
namespace {

using test::AddTriangle;
using test::SetTranslationAt;
using test::TranslationAt;

struct SplineSession : ::testing::Test {
  RecordingShell shell;
  EditSession session{shell};
  Document& doc = session.doc();
  KeyStore& a = doc.scene.anim;
  int g = -1;
  SplineEditor e;

  void SetUp() override {
    g = AddTriangle(doc.scene, "G");
    SetTranslationAt(doc, g, 10, {2, -1, 4});
    SetTranslationAt(doc, g, 20, {-3, 5, 1});
    GoToFrame(doc, 10);
    session.history().Settle();
    SetModified(doc, false);
    doc.scene.selectedGroup = g;
    e = OpenSplineEditor(doc);
  }
  std::vector<float> Stored(int frame) {
    return a.keys[FindKey(a, frame, g, kKeyTranslation)].values;
  }
  // Drags an entry by dy display units in `moves` equal moves.
  void Drag(int entry, float dy, int moves) {
    const SplineEntry p = e.curve.entries[entry];
    const float x = SplineWindowX(e.view, p.x);
    SplinePress(session, e, x, SplineWindowY(e.view, p.y), false);
    ASSERT_EQ(e.picked, entry);
    for (int m = 1; m <= moves; ++m)
      SplineMove(session, e, x, SplineWindowY(e.view, p.y + dy * m / moves));
    SplineRelease(session, e, x, SplineWindowY(e.view, p.y + dy));
  }
};

TEST_F(SplineSession, ADragIsOneUndoStepAndTheKeysFollowIt) {
  const std::vector<float> before = Stored(10);
  const size_t steps = session.history().StepCount();
  Drag(SplineEntryIndex(1, 0, false), 1.5f, 4);
  EXPECT_EQ(session.history().StepCount(), steps + 1);
  EXPECT_EQ(session.UndoName(), "Edit Spline");
  EXPECT_TRUE(doc.modified);
  // The keys, and the scene at the current frame, hold the dragged value
  // without waiting for "&Done".
  EXPECT_NEAR(Stored(10)[0], before[0] + 1.5f, 1e-4f);
  EXPECT_NEAR(doc.scene.groups[g].translation[0], before[0] + 1.5f, 1e-4f);

  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(Stored(10), before);
  EXPECT_FALSE(doc.modified);
  ReloadSplineEditor(doc, e);
  EXPECT_EQ(e.curve.entries[SplineEntryIndex(1, 0, false)].y, before[0]);
  EXPECT_TRUE(e.curve.entries[SplineEntryIndex(1, 0, false)].selected);

  ASSERT_TRUE(session.Redo());
  EXPECT_NEAR(TranslationAt(doc, g, 10)[0], before[0] + 1.5f, 1e-4f);
}

TEST_F(SplineSession, RefusedDragsBandsAndUntouchedCurvesLeaveNoStep) {
  a.keys[FindKey(a, 20, g, kKeyTranslation)].mask = kStepMask;
  session.history().Settle();
  e = OpenSplineEditor(doc);
  const size_t steps = session.history().StepCount();
  Drag(SplineEntryIndex(2, 1, false), 1, 2);
  EXPECT_EQ(e.status, kSplineStepKeyText);
  SplinePress(session, e, -0.95f, -0.95f, false);
  SplineMove(session, e, 0.95f, 0.95f);
  SplineRelease(session, e, 0.95f, 0.95f);
  SplineChoose(session, e, kSplineSelectedObject, kSplineRotation);
  SplineDone(session, e);
  EXPECT_EQ(session.history().StepCount(), steps);
  EXPECT_FALSE(doc.modified);
}

}  // namespace
}  // namespace modra
