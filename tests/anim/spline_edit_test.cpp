// The spline editor's curves, view, mouse and write-back, without a window.
#include <gtest/gtest.h>

#include <cmath>

#include "anim/curves.h"
#include "anim/spline_edit.h"
#include "anim_util.h"

namespace modra {
namespace {

using test::AddTriangle;
using test::SetTranslationAt;
using test::TranslationAt;

// A drag goes through window positions and back.
constexpr float kDragTolerance = 1e-4f;

// A point on the Bezier segment p0..p3 with control points p1, p2, by the
// Bernstein form rather than the polynomial the keys hold.
float Bezier(float p0, float p1, float p2, float p3, float t) {
  float u = 1 - t;
  return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
}

struct Spline : ::testing::Test {
  test::RecordedDocument rec;
  Document& doc = rec.doc;
  Scene& s = rec.scene();
  KeyStore& a = rec.anim();
  int g = AddTriangle(s, "G");

  // Translation keys at frames 0 (the start), 10 and 20; distinct values
  // per component so no two points of a key share a place.
  void KeyThree() {
    SetTranslationAt(doc, g, 10, {2, -1, 4});
    SetTranslationAt(doc, g, 20, {-3, 5, 1});
  }
  SplineEditor Open() {
    s.selectedGroup = g;
    return OpenSplineEditor(doc);
  }
  const float* Values(int frame) {
    return a.keys[FindKey(a, frame, g, kKeyTranslation)].values.data();
  }
  // Presses on an entry where the window shows it.
  void PressOn(SplineEditor& e, int entry, bool adding = false) {
    const SplineEntry& p = e.curve.entries[entry];
    PressSpline(e, SplineWindowX(e.view, p.x), SplineWindowY(e.view, p.y), adding);
    ASSERT_EQ(e.picked, entry);
  }
  // The window's extremes of the selected entries, or of all.
  struct Box {
    float xLo = 1e9f, xHi = -1e9f, yLo = 1e9f, yHi = -1e9f;
  };
  static Box WindowBox(const SplineEditor& e, bool selectedOnly) {
    Box b;
    for (const SplineEntry& p : e.curve.entries) {
      if (selectedOnly && !p.selected) continue;
      b.xLo = std::min(b.xLo, SplineWindowX(e.view, p.x));
      b.xHi = std::max(b.xHi, SplineWindowX(e.view, p.x));
      b.yLo = std::min(b.yLo, SplineWindowY(e.view, p.y));
      b.yHi = std::max(b.yHi, SplineWindowY(e.view, p.y));
    }
    return b;
  }
  // Drags the picked entry by dy display units.
  bool DragBy(SplineEditor& e, float dy) {
    if (e.picked == -1) return false;
    float y = e.curve.entries[e.picked].y + dy;
    return MoveSpline(e, 0, SplineWindowY(e.view, y));
  }
};

TEST_F(Spline, OwnerWithoutKeysShowsNoPointsAndFitsToTheDefault) {
  int other = AddTriangle(s, "Other");
  KeyThree();
  SplineEditor keyed = Open();
  ASSERT_EQ(keyed.curve.entries.size(), 3u * kSplineEntriesPerKey);
  EXPECT_NE(keyed.view.yScale, 0.625f);

  s.selectedGroup = other;
  SplineEditor e = OpenSplineEditor(doc);
  EXPECT_TRUE(e.loaded);
  EXPECT_TRUE(e.curve.entries.empty());
  EXPECT_EQ(e.view.xScale, 0.625f);
  EXPECT_EQ(e.view.yScale, 0.625f);
  EXPECT_EQ(e.view.xOffset, 0.0f);
  EXPECT_EQ(e.view.yOffset, 0.0f);
  EXPECT_EQ(e.view.hScroll, kSplineScrollMiddle);
  EXPECT_EQ(e.view.vScroll, kSplineScrollMiddle);

  // With nothing selected there is no curve to show, and the camera's
  // owner number must not stand in for the missing group.
  s.selectedGroup = -1;
  SetTranslationAt(doc, g, 10, {1, 1, 1});
  EXPECT_FALSE(OpenSplineEditor(doc).loaded);
  EXPECT_TRUE(OpenSplineEditor(doc).curve.entries.empty());
}

TEST_F(Spline, FitPutsTheExtremesAtTheEdgesOfTheMiddle80PerCent) {
  KeyThree();
  SplineEditor e = Open();
  const Box all = WindowBox(e, false);
  EXPECT_NEAR(all.xLo, -0.8f, 1e-5f);
  EXPECT_NEAR(all.xHi, 0.8f, 1e-5f);
  EXPECT_NEAR(all.yLo, -0.8f, 1e-5f);
  EXPECT_NEAR(all.yHi, 0.8f, 1e-5f);
  EXPECT_EQ(e.view.vScroll, std::lround(500 - 50 * e.view.yOffset));
  EXPECT_EQ(e.view.hScroll, std::lround(500 + 50 * e.view.xOffset));
}

TEST_F(Spline, SelectionFitFramesTheSelectedEntriesAndLetsTheRestOut) {
  KeyThree();
  SplineEditor e = Open();
  PressOn(e, SplineEntryIndex(0, 0, false));
  PressOn(e, SplineEntryIndex(1, 2, false), true);
  ReleaseSpline(e, 0, 0);
  FitSplineSelection(e);
  const Box selected = WindowBox(e, true);
  EXPECT_NEAR(selected.xLo, -0.8f, 1e-5f);
  EXPECT_NEAR(selected.xHi, 0.8f, 1e-5f);
  EXPECT_NEAR(selected.yLo, -0.8f, 1e-5f);
  EXPECT_NEAR(selected.yHi, 0.8f, 1e-5f);
  EXPECT_EQ(e.view.vScroll, std::lround(500 - 50 * e.view.yOffset));
  EXPECT_EQ(e.view.hScroll, std::lround(500 + 50 * e.view.xOffset));
  // The last key lies right of the selection, past the window's edge.
  EXPECT_GT(SplineWindowX(e.view, e.curve.entries[SplineEntryIndex(2, 0, false)].x), 1.0f);
}

TEST_F(Spline, SelectionFitWithoutSelectionOrSpanStaysFinite) {
  KeyThree();
  SplineEditor e = Open();
  const SplineView whole = e.view;
  ZoomSplineWidth(e.view, true);
  ZoomSplineHeight(e.view, false);
  FitSplineSelection(e);  // nothing selected: the whole fit
  EXPECT_EQ(e.view.xScale, whole.xScale);
  EXPECT_EQ(e.view.yScale, whole.yScale);
  EXPECT_EQ(e.view.xOffset, whole.xOffset);
  EXPECT_EQ(e.view.yOffset, whole.yOffset);
  EXPECT_EQ(e.view.hScroll, whole.hScroll);
  EXPECT_EQ(e.view.vScroll, whole.vScroll);

  // One handle alone: the window holds a tenth of the whole curve's
  // spans, with the handle in the middle.
  const int handle = SplineEntryIndex(1, 1, true);
  PressOn(e, handle);
  ReleaseSpline(e, 0, 0);
  FitSplineSelection(e);
  const SplineEntry& h = e.curve.entries[handle];
  EXPECT_NEAR(SplineWindowX(e.view, h.x), 0.0f, 1e-5f);
  EXPECT_NEAR(SplineWindowY(e.view, h.y), 0.0f, 1e-5f);
  const Box all = WindowBox(e, false);
  EXPECT_NEAR(all.xHi - all.xLo, 16.0f, 1e-3f);
  EXPECT_NEAR(all.yHi - all.yLo, 16.0f, 1e-3f);
}

TEST(SplineViewFit, SelectionOfOneValueIsWidenedAboutItsMiddle) {
  // Two selected points of one value at x 0 and 1, a third at y 5.
  std::vector<SplineEntry> entries = {{0, 1, true}, {1, 1, true}, {0.5f, 5, false}};
  SplineView v = FitSplineViewToSelection(entries);
  EXPECT_NEAR(SplineWindowX(v, 0), -0.8f, 1e-5f);
  EXPECT_NEAR(SplineWindowX(v, 1), 0.8f, 1e-5f);
  EXPECT_NEAR(SplineWindowY(v, 1), 0.0f, 1e-5f);
  // A tenth of the span of 4 fills the 1.6 of the window's middle.
  EXPECT_NEAR(SplineWindowY(v, 5) - SplineWindowY(v, 1), 4 * 1.6f / 0.4f, 1e-3f);

  // Every entry at one place: no span to take a tenth of, so the whole
  // fit's rule holds.
  for (SplineEntry& p : entries)
    p = {0.3f, 2, false};
  entries[1].selected = true;
  v = FitSplineViewToSelection(entries);
  const SplineView whole = FitSplineView(entries);
  for (float f : {v.xScale, v.yScale, v.xOffset, v.yOffset})
    EXPECT_TRUE(std::isfinite(f));
  EXPECT_EQ(v.xScale, whole.xScale);
  EXPECT_EQ(v.yScale, whole.yScale);
  EXPECT_EQ(v.xOffset, whole.xOffset);
  EXPECT_EQ(v.yOffset, whole.yOffset);
}

TEST_F(Spline, TwoKeyCurveShowsFirstValueAndHandleThenLastValueAndNegatedIncomingPoint) {
  SetTranslationAt(doc, g, 10, {3, 6, -9});
  SplineEditor e = Open();
  ASSERT_EQ(e.curve.keys.size(), 2u);
  ASSERT_EQ(e.curve.entries.size(), 2u * kSplineEntriesPerKey);
  const float* first = Values(0);
  const float* last = Values(10);
  for (int c = 0; c < 3; ++c) {
    SCOPED_TRACE(c);
    const SplineEntry& v0 = e.curve.entries[SplineEntryIndex(0, c, false)];
    const SplineEntry& h0 = e.curve.entries[SplineEntryIndex(0, c, true)];
    const SplineEntry& v1 = e.curve.entries[SplineEntryIndex(1, c, false)];
    const SplineEntry& h1 = e.curve.entries[SplineEntryIndex(1, c, true)];
    EXPECT_EQ(v0.y, first[c]);
    EXPECT_EQ(h0.y, first[3 + c]);
    EXPECT_EQ(v1.y, last[c]);
    EXPECT_EQ(h1.y, -first[6 + c]);
    // The frames fill -0.9..0.9, handles a little right of their key.
    EXPECT_FLOAT_EQ(v0.x, -0.9f);
    EXPECT_FLOAT_EQ(v1.x, 0.9f);
    EXPECT_FLOAT_EQ(h0.x, -0.9f + kSplineHandleOffset);
    EXPECT_FLOAT_EQ(h1.x, 0.9f + kSplineHandleOffset);
  }
  // The incoming control point is not its own negation, or the sign would
  // go unseen.
  EXPECT_NE(first[6], 0.0f);
}

TEST_F(Spline, DraggingAnInnerHandleUpPullsThePreviousIncomingPointDown) {
  KeyThree();
  SplineEditor e = Open();
  const SplineCurve before = e.curve;
  const int c = 1;
  PressOn(e, SplineEntryIndex(1, c, true));
  const float d = 0.75f;
  ASSERT_TRUE(DragBy(e, d));
  EXPECT_NEAR(e.curve.keys[1].c1[c], before.keys[1].c1[c] + d, kDragTolerance);
  EXPECT_NEAR(e.curve.keys[0].c2[c], before.keys[0].c2[c] - d, kDragTolerance);
  // The value and the other components stay; x never moves.
  EXPECT_EQ(e.curve.keys[1].p, before.keys[1].p);
  for (int o : {0, 2}) {
    EXPECT_FLOAT_EQ(e.curve.keys[1].c1[o], before.keys[1].c1[o]);
    EXPECT_FLOAT_EQ(e.curve.keys[0].c2[o], before.keys[0].c2[o]);
  }
  for (size_t i = 0; i < e.curve.entries.size(); ++i)
    EXPECT_EQ(e.curve.entries[i].x, before.entries[i].x);
}

TEST_F(Spline, DraggingMovesEverySelectedEntryByTheSameAmount) {
  KeyThree();
  SplineEditor e = Open();
  const SplineCurve before = e.curve;
  PressOn(e, SplineEntryIndex(2, 0, false));       // value and handle of the last key
  PressOn(e, SplineEntryIndex(0, 2, true), true);  // and a handle of the first
  PressOn(e, SplineEntryIndex(2, 0, false));  // a plain press on a selected one keeps the group
  ASSERT_TRUE(DragBy(e, -2));
  for (int entry : {SplineEntryIndex(2, 0, false), SplineEntryIndex(2, 0, true),
                    SplineEntryIndex(0, 2, true)}) {
    EXPECT_NEAR(e.curve.entries[entry].y, before.entries[entry].y - 2, kDragTolerance) << entry;
  }
  EXPECT_EQ(e.curve.entries[SplineEntryIndex(1, 0, false)].y,
            before.entries[SplineEntryIndex(1, 0, false)].y);
  EXPECT_NEAR(e.curve.keys[2].p[0], before.keys[2].p[0] - 2, kDragTolerance);
  // The last key's handle shows the arriving control point negated.
  EXPECT_NEAR(e.curve.keys[1].c2[0], before.keys[1].c2[0] + 2, kDragTolerance);
}

TEST_F(Spline, ResetViewShows360DegreesPerUnitForRotationOnly) {
  KeyThree();
  SplineEditor e = Open();
  ChooseSplineCurve(doc, e, kSplineSelectedObject, kSplineRotation);
  ResetSplineEditorView(e);
  EXPECT_FLOAT_EQ(SplineWindowY(e.view, 360) - SplineWindowY(e.view, 0), 1.0f);
  EXPECT_FLOAT_EQ(SplineWindowX(e.view, 1) - SplineWindowX(e.view, 0), 1.0f);
  EXPECT_EQ(e.view.xOffset, 0.0f);
  EXPECT_EQ(e.view.yOffset, 0.0f);
  EXPECT_EQ(e.view.vScroll, kSplineScrollMiddle);

  ChooseSplineCurve(doc, e, kSplineSelectedObject, kSplineScale);
  ResetSplineEditorView(e);
  EXPECT_FLOAT_EQ(SplineWindowY(e.view, 1) - SplineWindowY(e.view, 0), 1.0f);
  ZoomSplineHeight(e.view, true);
  EXPECT_FLOAT_EQ(SplineWindowY(e.view, 1) - SplineWindowY(e.view, 0), 2.0f);
  ZoomSplineWidth(e.view, false);
  EXPECT_FLOAT_EQ(SplineWindowX(e.view, 1) - SplineWindowX(e.view, 0), 0.5f);
}

TEST_F(Spline, WrittenBackCurvesReplayThroughTheDraggedValues) {
  KeyThree();
  SetModified(doc, false);
  SplineEditor e = Open();
  PressOn(e, SplineEntryIndex(1, 1, false));
  ASSERT_TRUE(DragBy(e, 1.5f));
  PressOn(e, SplineEntryIndex(2, 2, false));
  ASSERT_TRUE(DragBy(e, -4));
  PressOn(e, SplineEntryIndex(0, 0, true));
  ASSERT_TRUE(DragBy(e, 0.5f));
  const SplineCurve dragged = e.curve;
  FinishSplineEditor(doc, e);
  EXPECT_TRUE(doc.modified);

  for (int k = 0; k < 3; ++k) {
    Vec3 shown = TranslationAt(doc, g, dragged.keys[k].frame);
    for (int c = 0; c < 3; ++c)
      EXPECT_FLOAT_EQ(shown[c], dragged.keys[k].p[c]) << k << c;
  }
  // Halfway along the first segment the curve is the Bezier of the
  // dragged polygon.
  Vec3 mid = TranslationAt(doc, g, 5);
  for (int c = 0; c < 3; ++c) {
    const SplineKey& k0 = dragged.keys[0];
    EXPECT_NEAR(mid[c], Bezier(k0.p[c], k0.c1[c], k0.c2[c], dragged.keys[1].p[c], 0.5f), 1e-4f)
        << c;
  }
  // Reloading shows what was written.
  SplineCurve again = LoadSplineCurve(a, g, kSplineTranslation);
  for (size_t i = 0; i < again.entries.size(); ++i) {
    EXPECT_FLOAT_EQ(again.entries[i].y, dragged.entries[i].y) << i;
  }
}

TEST_F(Spline, ChoosingAnotherCurveWritesTheLoadedOneBack) {
  KeyThree();
  SetModified(doc, false);
  SplineEditor e = Open();
  ChooseSplineCurve(doc, e, kSplineSelectedObject, kSplineScale);
  EXPECT_FALSE(doc.modified) << "nothing was dragged";
  ChooseSplineCurve(doc, e, kSplineSelectedObject, kSplineTranslation);
  PressOn(e, SplineEntryIndex(1, 2, false));
  ASSERT_TRUE(DragBy(e, 3));
  float dragged = e.curve.keys[1].p[2];
  ChooseSplineCurve(doc, e, kSplineCamera, kSplineRotation);
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(Values(10)[2], dragged);
  EXPECT_FLOAT_EQ(TranslationAt(doc, g, 10)[2], dragged);
  EXPECT_EQ(e.curve.channel.kind, kKeyCamera);
}

TEST_F(Spline, KeysGoneSinceLoadingAreLeftAlone) {
  KeyThree();
  SplineEditor e = Open();
  PressOn(e, SplineEntryIndex(2, 1, false));
  ASSERT_TRUE(DragBy(e, 2));
  float dragged = e.curve.keys[2].p[1];
  // The window stays open while the key frames change under it.
  ReleaseFrameKeys(a, 10);
  RebuildKeyFrameList(a);
  int reused = AddKey(a, 10, kKeyScale);
  a.keys[reused].owner = g;
  std::vector<float> untouched = a.keys[reused].values;
  FinishSplineEditor(doc, e);
  EXPECT_EQ(a.keys[reused].values, untouched);
  EXPECT_EQ(Values(20)[1], dragged);
}

TEST_F(Spline, PickingTakesTheFirstEntryWithinReach) {
  SplineCurve curve;
  curve.keys.resize(2);
  curve.entries.resize(2 * kSplineEntriesPerKey, {5, 5, false});
  SplineView view = ResetSplineView(kSplineTranslation);
  curve.entries[3] = {0.014f, -0.014f, false};  // within reach, corner of the square
  curve.entries[4] = {0, 0, false};             // right under the mouse, but later
  curve.entries[7] = {0, 0, false};
  EXPECT_EQ(PickSplineEntry(curve, view, 0, 0), 3);
  curve.entries[3] = {0.016f, 0, false};  // just out of reach
  EXPECT_EQ(PickSplineEntry(curve, view, 0, 0), 4);
  curve.entries[4].y = curve.entries[7].y = 0.016f;
  EXPECT_EQ(PickSplineEntry(curve, view, 0, 0), -1);
  // Reach is measured in the window, not in display units.
  view.yScale = 0.5f;
  curve.entries[4].y = 0.007f;
  EXPECT_EQ(PickSplineEntry(curve, view, 0, 0), 4);
  curve.entries[4].y = 0.008f;
  EXPECT_EQ(PickSplineEntry(curve, view, 0, 0), -1);
}

TEST_F(Spline, PressesSelectByTheirRules) {
  KeyThree();
  SplineEditor e = Open();
  auto selected = [&] {
    std::vector<int> out;
    for (size_t i = 0; i < e.curve.entries.size(); ++i)
      if (e.curve.entries[i].selected) out.push_back(static_cast<int>(i));
    return out;
  };
  const int value = SplineEntryIndex(1, 0, false), handle = value + 1;
  const int other = SplineEntryIndex(2, 1, true);
  PressOn(e, value);  // a value point brings its handle
  EXPECT_EQ(selected(), (std::vector<int>{value, handle}));
  PressOn(e, other, true);  // adding clears nothing
  EXPECT_EQ(selected(), (std::vector<int>{value, handle, other}));
  PressOn(e, other);  // one of several selected: the group stays
  EXPECT_EQ(selected(), (std::vector<int>{value, handle, other}));
  PressOn(e, SplineEntryIndex(0, 2, true));  // not among them: only it
  EXPECT_EQ(selected(), (std::vector<int>{SplineEntryIndex(0, 2, true)}));

  // A plain press on nothing clears; the band selects what it holds.
  PressSpline(e, -0.95f, -0.95f, false);
  EXPECT_TRUE(e.banding);
  EXPECT_TRUE(selected().empty());
  const SplineEntry& last = e.curve.entries[SplineEntryIndex(2, 0, false)];
  float lx = SplineWindowX(e.view, last.x), ly = SplineWindowY(e.view, last.y);
  PressSpline(e, lx - 0.05f, ly + 0.001f, false);
  ASSERT_TRUE(e.banding) << "the press must miss every entry";
  ReleaseSpline(e, lx + 0.001f, ly - 0.001f);
  EXPECT_EQ(selected(), (std::vector<int>{SplineEntryIndex(2, 0, false)}));
  EXPECT_FALSE(e.banding);
}

TEST_F(Spline, StepKeysAreShownButRefuseDrags) {
  KeyThree();
  int k = FindKey(a, 10, g, kKeyTranslation);
  a.keys[k].mask = kStepMask;
  std::vector<float> stored = a.keys[k].values;
  SetModified(doc, false);
  SplineEditor e = Open();
  ASSERT_EQ(e.curve.keys.size(), 3u);
  EXPECT_EQ(e.curve.entries[SplineEntryIndex(1, 0, false)].y, stored[0]);
  const SplineCurve before = e.curve;

  PressOn(e, SplineEntryIndex(1, 0, false));
  EXPECT_FALSE(DragBy(e, 1));
  EXPECT_EQ(e.status, kSplineStepKeyText);
  ReleaseSpline(e, 0, 0);
  EXPECT_EQ(e.status, kSplineStepKeyText) << "the refusal outlasts the drag";
  for (size_t i = 0; i < e.curve.entries.size(); ++i)
    EXPECT_EQ(e.curve.entries[i].y, before.entries[i].y);

  // Other keys still drag, and the step key is not written.
  PressOn(e, SplineEntryIndex(2, 0, false));
  EXPECT_TRUE(DragBy(e, 1));
  EXPECT_EQ(e.status.rfind("Frame 20  Value ", 0), 0u) << e.status;
  FinishSplineEditor(doc, e);
  EXPECT_EQ(a.keys[k].values, stored);
  EXPECT_NEAR(Values(20)[0], before.keys[2].p[0] + 1, kDragTolerance);
}

TEST_F(Spline, DragReadsOutTheFrameAndHeightUntilRelease) {
  KeyThree();
  SplineEditor e = Open();
  PressOn(e, SplineEntryIndex(1, 1, false));  // frame 10, at -1
  EXPECT_TRUE(e.status.empty());
  ASSERT_TRUE(DragBy(e, 2.25f));
  EXPECT_EQ(e.status, "Frame 10  Value 1.250");
  ASSERT_TRUE(DragBy(e, -0.5f));
  EXPECT_EQ(e.status, "Frame 10  Value 0.750");
  ReleaseSpline(e, 0, 0);
  EXPECT_TRUE(e.status.empty());

  PressOn(e, SplineEntryIndex(2, 0, true));
  ASSERT_TRUE(MoveSpline(e, 0, SplineWindowY(e.view, -2.5f)));
  EXPECT_EQ(e.status, "Frame 20  Handle -2.500");
  ReleaseSpline(e, 0, 0);
  // A rubber band is no drag of a point: nothing to read out.
  PressSpline(e, -0.99f, -0.99f, false);
  ASSERT_TRUE(e.banding);
  MoveSpline(e, -0.5f, -0.5f);
  EXPECT_TRUE(e.status.empty());
  ReleaseSpline(e, -0.5f, -0.5f);

  // Rotation reads in degrees, as its view shows them.
  for (int frame : {10, 20}) {
    GoToFrame(doc, frame);
    EnsureKeyed(doc, g, kKeyRotation);
    s.groups[g].rotation = {30.0f * frame / 10, 0, 0};
    StoreKey(doc, g, kKeyRotation);
  }
  ChooseSplineCurve(doc, e, kSplineSelectedObject, kSplineRotation);
  PressOn(e, SplineEntryIndex(1, 0, false));
  ASSERT_TRUE(MoveSpline(e, 0, SplineWindowY(e.view, 90)));
  EXPECT_EQ(e.status, "Frame 10  Value 90.000 degrees");
}

TEST(SplineChannels, OwnersAndParametersChooseKindAndTriple) {
  struct Case {
    int owner, param, kind, first;
  } cases[] = {
      {4, kSplineTranslation, kKeyTranslation, 0},
      {4, kSplineRotation, kKeyRotation, 0},
      {4, kSplineScale, kKeyScale, 0},
      {4, kSplineColor, kKeyColor, 0},
      {kCameraOwner, kSplineTranslation, kKeyCamera, 3},
      {kCameraOwner, kSplineRotation, kKeyCamera, 0},
      {kCameraOwner, kSplineScale, -1, 0},
      {kCameraOwner, kSplineColor, -1, 0},
      {LightOwner(3), kSplineTranslation, kKeyLightPosition, 3},
      {LightOwner(3), kSplineRotation, kKeyLightPosition, 0},
      {LightOwner(8), kSplineColor, kKeyLightColor, 0},
      {LightOwner(3), kSplineScale, -1, 0},
      {-50, kSplineTranslation, -1, 0},
  };
  for (const Case& c : cases) {
    SplineChannel ch = SplineChannelOf(c.owner, c.param);
    EXPECT_EQ(ch.kind, c.kind) << c.owner << " " << c.param;
    if (c.kind != -1) {
      EXPECT_EQ(ch.first, c.first) << c.owner << " " << c.param;
    }
  }
}

}  // namespace
}  // namespace modra
