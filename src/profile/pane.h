// Where the profile pane sits in an editor's drawing window, how a point
// of the window becomes a point of the profile and back, and which profile
// point a press lands on. The window spans -1..1 across and up.
#pragma once

#include <cstddef>

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

}  // namespace modra
