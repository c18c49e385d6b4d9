// A flick of the view goes on turning by itself after the release, one
// step per frame, until something stops it.
#include <gtest/gtest.h>

#include <utility>

#include "edit/edit_session.h"
#include "test_util.h"
#include "view/interaction.h"

namespace modra {
namespace {

class Spin : public ::testing::Test {
 protected:
  // A right flick from the centre to x: a z rate of -90 x.
  void RightFlick(float x, bool shift = false) {
    view.ButtonDown(MouseButton::kRight, {0, 0}, false, shift, false);
    view.ButtonUp(MouseButton::kRight, {x, 0});
  }
  float Turn() const { return doc.display.views[kViewPerspective].rotation[2]; }

  // Display notices since the last call.
  int DisplayNotices() {
    int n = 0;
    for (unsigned what : std::exchange(shell.changes, {}))
      n += (what & kDisplayChanged) ? 1 : 0;
    return n;
  }

  RecordingShell shell;
  EditSession session{shell};
  Document& doc = session.doc();
  ViewInteraction& view = session.interaction();
};

TEST_F(Spin, AFlickTurnsEachStepByItsRateAndAPressStopsIt) {
  view.SetMode(EditMode::kRotateView);
  EXPECT_FALSE(view.Spinning());
  view.SpinStep();  // nothing to do
  EXPECT_EQ(shell.redraws, 0);

  RightFlick(0.2f);
  ASSERT_TRUE(view.Spinning());
  ASSERT_NEAR(view.State().spinRates[2], -18, 1e-4);
  const float released = Turn();
  const int redraws = shell.redraws;
  for (int i = 1; i <= 3; ++i)
    view.SpinStep();
  EXPECT_NEAR(Turn(), released - 54, 1e-3);
  EXPECT_EQ(shell.redraws, redraws + 3);
  // Each step tells the view panel, which shows the totals.
  DisplayNotices();
  view.SpinStep();
  EXPECT_EQ(DisplayNotices(), 1);
  EXPECT_NEAR(view.State().totalAngles[2], Turn(), 1e-3);

  // The next press stops it, whatever it does; the rates stay for a
  // later motion with one button held.
  view.ButtonDown(MouseButton::kLeft, {0.5f, 0.5f}, false, false, false);
  EXPECT_FALSE(view.Spinning());
  const float held = Turn();
  view.SpinStep();
  EXPECT_EQ(Turn(), held);
  view.ButtonUp(MouseButton::kLeft, {0.5f, 0.5f});
  EXPECT_FALSE(view.Spinning());  // a still click is no flick
}

TEST_F(Spin, OnlyARotateViewReleaseWithNoButtonLeftSpins) {
  // A slow release leaves no rate.
  view.SetMode(EditMode::kRotateView);
  RightFlick(0.005f);
  EXPECT_FALSE(view.Spinning());

  // With the left button still held the moves carry the spin, not steps;
  // once it is up too the spin goes on by itself.
  view.ButtonDown(MouseButton::kLeft, {0, 0}, false, false, false);
  RightFlick(0.5f);
  EXPECT_FALSE(view.Spinning());
  view.ButtonUp(MouseButton::kLeft, {0, 0});
  EXPECT_TRUE(view.Spinning());

  // A Translate View drag leaves no spin behind, even with rates set.
  view.SetMode(EditMode::kTranslateView);
  RightFlick(0.5f);
  EXPECT_NE(view.State().spinRates[2], 0);
  EXPECT_FALSE(view.Spinning());

  // Shift turns the view from another mode; that flick spins too.
  view.SetMode(EditMode::kSelection);
  RightFlick(0.5f, true);
  ASSERT_TRUE(view.Spinning());
  const float before = Turn();
  view.SpinStep();
  EXPECT_NE(Turn(), before);
}

TEST_F(Spin, ResetTypedAnglesAndAFlatViewEndTheSpin) {
  view.SetMode(EditMode::kRotateView);
  RightFlick(0.5f);
  view.ResetView();
  EXPECT_FALSE(view.Spinning());

  RightFlick(0.5f);
  view.SetRotationTotals({10, 20, 30});
  EXPECT_FALSE(view.Spinning());
  view.SpinStep();
  EXPECT_EQ(doc.display.views[kViewPerspective].rotation, (Vec3{10, 20, 30}));

  // An orthographic view cannot turn: its first step ends the spin.
  RightFlick(0.5f);
  ASSERT_TRUE(view.Spinning());
  view.SelectView(kViewTop);
  const auto views = doc.display.views;
  view.SpinStep();
  EXPECT_FALSE(view.Spinning());
  for (int v = 0; v < kViewCount; ++v)
    EXPECT_EQ(doc.display.views[v].rotation, views[v].rotation);
}

TEST_F(Spin, AnglesWrapWithinAFullTurn) {
  view.SetMode(EditMode::kRotateView);
  RightFlick(0.9f);  // held to -50 a step
  ASSERT_EQ(view.State().spinRates[2], -50);
  const float start = view.State().baseAngles[2];
  for (int i = 0; i < 20; ++i) {
    view.SpinStep();
    EXPECT_GE(view.State().baseAngles[2], -360);
  }
  EXPECT_NEAR(view.State().baseAngles[2], start - 1000 + 720, 1e-3);
}

}  // namespace
}  // namespace modra
