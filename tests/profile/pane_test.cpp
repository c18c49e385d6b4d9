// The profile pane's geometry: where it sits in the window, its coordinates
// both ways, the hit test and the colours points are drawn in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "profile/pane.h"
#include "profile/pane_colors.h"

namespace modra {
namespace {

constexpr ProfileEditorKind kExt = ProfileEditorKind::kExtrusion;
constexpr ProfileEditorKind kSurf = ProfileEditorKind::kSurface;

TEST(ProfilePane, ExtrusionPaneIsTheRightHalfSpanningMinusOneToOne) {
  EXPECT_FALSE(InProfilePane(kExt, -0.01f));
  EXPECT_TRUE(InProfilePane(kExt, 0.0f));
  // The pane's left edge, middle and right edge.
  EXPECT_FLOAT_EQ(WindowToProfile(kExt, 0.0f, 0.3f).x, -1.0f);
  EXPECT_FLOAT_EQ(WindowToProfile(kExt, 0.5f, 0.3f).x, 0.0f);
  EXPECT_FLOAT_EQ(WindowToProfile(kExt, 1.0f, 0.3f).x, 1.0f);
  EXPECT_FLOAT_EQ(WindowToProfile(kExt, 0.75f, -0.4f).y, -0.4f);
}

TEST(ProfilePane, SurfacePaneIsTheRightThirdSpanningTheAxisToOne) {
  const float paneStart = 2 * (2.0f / 3.0f) - 1;  // window x of the fraction 2/3
  EXPECT_FALSE(InProfilePane(kSurf, paneStart - 0.01f));
  EXPECT_TRUE(InProfilePane(kSurf, paneStart + 0.01f));
  EXPECT_NEAR(WindowToProfile(kSurf, paneStart, 0).x, 0.0f, 1e-6f);
  EXPECT_NEAR(WindowToProfile(kSurf, 1.0f, 0).x, 1.0f, 1e-6f);
  EXPECT_FLOAT_EQ(WindowToProfile(kSurf, 0.9f, 0.7f).y, 0.7f);
  EXPECT_EQ(ProfilePaneRange(kSurf).xMin, 0.0f);
  EXPECT_EQ(ProfilePaneRange(kExt).xMin, -1.0f);
}

TEST(ProfilePane, DrawingPositionIsTheInverseOfPicking) {
  for (ProfileEditorKind kind : {kExt, kSurf}) {
    const PaneRange range = ProfilePaneRange(kind);
    for (int i = 0; i <= 10; ++i) {
      const float x = range.xMin + (range.xMax - range.xMin) * static_cast<float>(i) / 10;
      const float windowX = ProfileToWindowX(kind, x);
      EXPECT_TRUE(InProfilePane(kind, windowX + 1e-6f)) << x;
      EXPECT_NEAR(WindowToProfile(kind, windowX, 0).x, x, 1e-5f) << x;
    }
  }
}

TEST(ProfilePane, PressPicksTheFirstPointWithinTheHitSizeOnBothAxes) {
  // Points 1 and 2 overlap; 3 is near in x only.
  const std::vector<float> points = {0.5f, 0.5f, 0.1f, 0.1f, 0.11f, 0.1f, -0.3f, 0.9f};
  EXPECT_EQ(HitProfilePoint(points.data(), 4, {0.105f, 0.1f}, kExtrusionHitSize), 1);
  EXPECT_EQ(HitProfilePoint(points.data() + 2, 3, {0.105f, 0.1f}, kExtrusionHitSize), 0);
  // Only point 2 is in reach from the right.
  EXPECT_EQ(HitProfilePoint(points.data(), 4, {0.128f, 0.1f}, kExtrusionHitSize), 2);
  // The surface editor's reach is smaller.
  EXPECT_EQ(HitProfilePoint(points.data(), 4, {0.518f, 0.5f}, kExtrusionHitSize), 0);
  EXPECT_EQ(HitProfilePoint(points.data(), 4, {0.518f, 0.5f}, kSurfaceHitSize), -1);
  EXPECT_EQ(HitProfilePoint(points.data(), 4, {-0.3f, 0.8f}, kExtrusionHitSize), -1);
  EXPECT_EQ(HitProfilePoint(points.data(), 0, {0.5f, 0.5f}, kExtrusionHitSize), -1);
  EXPECT_EQ(HitSize(kExt), kExtrusionHitSize);
  EXPECT_EQ(HitSize(kSurf), kSurfaceHitSize);
}

TEST(ProfilePane, ZoomKeepsThePointUnderThePointerAndIsHeldToItsLimits) {
  PaneView view;
  const PanePoint about = {0.4f, -0.3f};
  const PanePoint under = ShownToProfile(view, about);
  ZoomPaneView(view, about, 2.5f);
  EXPECT_FLOAT_EQ(view.scale, 2.5f);
  const PanePoint still = ShownToProfile(view, about);
  EXPECT_NEAR(still.x, under.x, 1e-6f);
  EXPECT_NEAR(still.y, under.y, 1e-6f);
  // Shown and profile points are each other's inverse at any zoom and pan.
  PanPaneView(view, 0.1f, -0.2f);
  const PanePoint back = ShownToProfile(view, ProfileToShown(view, {0.7f, 0.2f}));
  EXPECT_NEAR(back.x, 0.7f, 1e-6f);
  EXPECT_NEAR(back.y, 0.2f, 1e-6f);
  for (int i = 0; i < 40; ++i)
    ZoomPaneView(view, about, 2);
  EXPECT_FLOAT_EQ(view.scale, kMostPaneZoom);
  for (float bad : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()})
    ZoomPaneView(view, about, bad);
  EXPECT_FLOAT_EQ(view.scale, kMostPaneZoom);
  for (int i = 0; i < 80; ++i)
    ZoomPaneView(view, about, 0.5f);
  EXPECT_FLOAT_EQ(view.scale, kLeastPaneZoom);
}

TEST(ProfilePane, FitShowsEveryPointInsideThePaneRange) {
  const std::vector<float> far = {3, 4, 5, 4.5f, 4, 6};  // out beyond the pane
  for (ProfileEditorKind kind : {kExt, kSurf}) {
    const PaneView view = FitPaneView(kind, far.data(), far.size() / 2);
    const PaneRange r = ProfilePaneRange(kind);
    float x0 = r.xMax, x1 = r.xMin, y0 = r.yMax, y1 = r.yMin;
    for (size_t i = 0; i < far.size() / 2; ++i) {
      const PanePoint shown = ProfileToShown(view, {far[2 * i], far[2 * i + 1]});
      EXPECT_GT(shown.x, r.xMin);
      EXPECT_LT(shown.x, r.xMax);
      EXPECT_GT(shown.y, r.yMin);
      EXPECT_LT(shown.y, r.yMax);
      x0 = std::min(x0, shown.x), x1 = std::max(x1, shown.x);
      y0 = std::min(y0, shown.y), y1 = std::max(y1, shown.y);
    }
    // As large as fits: one way the points fill nine tenths of the pane.
    EXPECT_NEAR(std::max((x1 - x0) / (r.xMax - r.xMin), (y1 - y0) / (r.yMax - r.yMin)), 0.9f,
                1e-5f);
  }
  // One point, or none, gives finite views.
  const float one[] = {0.5f, 0.5f};
  const PaneView single = FitPaneView(kExt, one, 1);
  EXPECT_TRUE(std::isfinite(single.scale) && std::isfinite(single.offset.x));
  EXPECT_FLOAT_EQ(FitPaneView(kExt, nullptr, 0).scale, 1.0f);
}

TEST(ProfilePane, PointColourTellsCornerAndSelection) {
  EXPECT_EQ(PanePointColor(false, false), kPanePointPlain);
  EXPECT_EQ(PanePointColor(false, true), kPanePointSelected);
  EXPECT_EQ(PanePointColor(true, false), kPanePointCorner);
  EXPECT_EQ(PanePointColor(true, true), kPanePointSelectedCorner);
  // Each state is told apart from the others and from the background.
  const PaneColor all[] = {kPanePointPlain, kPanePointSelected, kPanePointCorner,
                           kPanePointSelectedCorner, kPaneBackground};
  for (size_t i = 0; i < std::size(all); ++i)
    for (size_t j = i + 1; j < std::size(all); ++j)
      EXPECT_FALSE(all[i] == all[j]) << i << " " << j;
}

}  // namespace
}  // namespace modra
