#include "anim/spline_view.h"

#include <algorithm>
#include <cmath>

namespace modra {
namespace {

constexpr float kFitScale = 0.625f;  // 1 / 0.625 = 1.6, the width of -0.8..0.8
constexpr float kFitEdge = -0.8f;

struct Axis {
  float scale = kFitScale, offset = 0;
};

Axis FitAxis(bool any, float lo, float hi) {
  Axis a;
  if (!any) return a;
  if (hi - lo != 0) a.scale = kFitScale * (hi - lo);
  a.offset = kFitEdge - lo / a.scale;
  return a;
}

}  // namespace

SplineView ResetSplineView(int param) {
  SplineView v;
  v.yScale = param == kSplineRotation ? 360.0f : 1.0f;
  return v;
}

SplineView FitSplineView(std::span<const SplineEntry> entries) {
  float xLo = 1e15f, xHi = -1e15f, yLo = 1e15f, yHi = -1e15f;
  for (const SplineEntry& e : entries) {
    xLo = std::min(xLo, e.x);
    xHi = std::max(xHi, e.x);
    yLo = std::min(yLo, e.y);
    yHi = std::max(yHi, e.y);
  }
  bool any = !entries.empty();
  Axis x = FitAxis(any, xLo, xHi), y = FitAxis(any, yLo, yHi);
  SplineView v;
  v.xScale = x.scale;
  v.xOffset = x.offset;
  v.yScale = y.scale;
  v.yOffset = y.offset;
  v.vScroll = static_cast<int>(std::lround(kSplineScrollMiddle - 50 * v.yOffset));
  v.hScroll = static_cast<int>(std::lround(kSplineScrollMiddle + 50 * v.xOffset));
  return v;
}

void ZoomSplineWidth(SplineView& v, bool in) {
  v.xScale *= in ? 0.5f : 2.0f;
}

void ZoomSplineHeight(SplineView& v, bool in) {
  v.yScale *= in ? 0.5f : 2.0f;
}

}  // namespace modra
