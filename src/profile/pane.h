// Where the profile pane sits in an editor's drawing window, how a point
// of the window becomes a point of the profile and back, and which profile
// point a press lands on. The window spans -1..1 across and up.
#pragma once

#include <cstddef>

#include "profile/pane_colors.h"

namespace modra {

enum class ProfileEditorKind : unsigned char { kExtrusion, kSurface };

struct PanePoint {
  float x = 0;
  float y = 0;
};

// How near a press must come to a point, in profile units on each axis.
inline constexpr float kExtrusionHitSize = 0.02f;
inline constexpr float kSurfaceHitSize = 0.015f;
float HitSize(ProfileEditorKind kind);

// The profile range the pane shows: -1..1 both ways for an extrusion; 0..1
// (the distance from the axis) by -1..1 for a surface.
struct PaneRange {
  float xMin, xMax, yMin, yMax;
};
PaneRange ProfilePaneRange(ProfileEditorKind kind);

// Whether window x (-1..1) falls in the profile pane rather than the 3D
// view: the right half of the extrusion editor, the right third of the
// surface editor.
bool InProfilePane(ProfileEditorKind kind, float windowX);
// A window point as a profile point (y is shared).
PanePoint WindowToProfile(ProfileEditorKind kind, float windowX, float windowY);
// The window x where profile x is drawn: the inverse of the above.
float ProfileToWindowX(ProfileEditorKind kind, float profileX);

// The first of `count` points (x, y pairs, contour after contour) within
// `hitSize` of `at` on both axes, so that of overlapping points the one
// earlier in point order wins; -1 when none is.
int HitProfilePoint(const float* points, size_t count, PanePoint at, float hitSize);

// The pane's own zoom and pan. A profile point p is shown where the
// unzoomed pane shows p * scale + offset, so the default view is the
// pane's fixed range.
struct PaneView {
  float scale = 1;
  PanePoint offset;
};
inline constexpr float kLeastPaneZoom = 0.1f;
inline constexpr float kMostPaneZoom = 100.0f;
// One notch of the wheel zooms by this much.
inline constexpr float kPaneZoomPerNotch = 1.25f;

// A point of the unzoomed pane as a profile point, and back.
PanePoint ShownToProfile(const PaneView& view, PanePoint shown);
PanePoint ProfileToShown(const PaneView& view, PanePoint profile);
// The profile point under window point (windowX, windowY) of the pane.
PanePoint PanePointAt(ProfileEditorKind kind, const PaneView& view, float windowX, float windowY);
// Zooms by `factor` keeping the profile point under `about` (unzoomed pane
// units) where it is; the scale is held to kLeastPaneZoom..kMostPaneZoom.
void ZoomPaneView(PaneView& view, PanePoint about, float factor);
// Moves what the pane shows by (dx, dy) unzoomed pane units.
void PanPaneView(PaneView& view, float dx, float dy);
// The view that shows all `count` points, with a margin, as large as the
// pane's range allows; the default view when there are none.
PaneView FitPaneView(ProfileEditorKind kind, const float* points, size_t count);

// Snap to Grid puts the dragged point on a grid a quarter as fine as the
// one drawn.
inline constexpr float kPaneSnapStep = kPaneGridStep / 4;

}  // namespace modra
