// The profile pane's geometry: where it sits in the window, its coordinates
// both ways, the hit test and the colours points are drawn in.
#include <gtest/gtest.h>

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
