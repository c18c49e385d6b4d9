// The spline editor's view: how display units map into the window, the
// fit that frames every point, the reset and the zoom steps.
#pragma once

#include <span>

#include "anim/spline_curve.h"

namespace modra {

inline constexpr int kSplineScrollMiddle = 500;

// A display coordinate lands in the window at value / scale + offset; the
// window runs from -1 to 1 both ways.
struct SplineView {
  float xScale = 1, yScale = 1;
  float xOffset = 0, yOffset = 0;
  int hScroll = kSplineScrollMiddle, vScroll = kSplineScrollMiddle;
};

inline float SplineWindowX(const SplineView& v, float x) {
  return x / v.xScale + v.xOffset;
}
inline float SplineWindowY(const SplineView& v, float y) {
  return y / v.yScale + v.yOffset;
}
// The display value at a window position: the inverse of the above.
inline float SplineDisplayY(const SplineView& v, float windowY) {
  return (windowY - v.yOffset) * v.yScale;
}

// "Reset View": one display unit per window unit, except Rotation, whose
// degrees show 360 to a unit; offsets 0, scroll bars in the middle.
SplineView ResetSplineView(int param);

// "Zoom View to Fit": the points fill the middle 80 per cent of the window
// both ways. With no points, or all at one x (or y), that scale is 0.625;
// with no points the offsets are 0.
SplineView FitSplineView(std::span<const SplineEntry> entries);

// The same fit for the selected entries only; the others may fall outside
// the window. A selection narrower than a tenth of what all the entries
// span on an axis (one point, points of one value) is widened to that
// tenth about its middle, so the scale stays finite and the neighbours
// keep their proportion; where all the entries share one place on an
// axis, that axis is fitted as FitSplineView fits it. With nothing
// selected it is FitSplineView.
SplineView FitSplineViewToSelection(std::span<const SplineEntry> entries);

// The zoom steps: in halves the scale (magnifies), out doubles it.
void ZoomSplineWidth(SplineView& v, bool in);
void ZoomSplineHeight(SplineView& v, bool in);

}  // namespace modra
