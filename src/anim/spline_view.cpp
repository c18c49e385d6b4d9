#include "anim/spline_view.h"

#include <algorithm>
#include <cmath>

namespace modra {
namespace {

constexpr float kFitScale = 0.625f;  // 1 / 0.625 = 1.6, the width of -0.8..0.8
constexpr float kFitEdge = -0.8f;
constexpr float kSelectionMinShare = 0.1f;

struct Range {
  float lo = 1e15f, hi = -1e15f;
  void Add(float v) {
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  float Span() const { return hi - lo; }
};

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

Axis FitSelectedAxis(Range all, Range selected) {
  const float least = kSelectionMinShare * all.Span();
  if (selected.Span() >= least) return FitAxis(true, selected.lo, selected.hi);
  const float middle = 0.5f * (selected.lo + selected.hi);
  return FitAxis(true, middle - 0.5f * least, middle + 0.5f * least);
}

SplineView ViewOf(Axis x, Axis y) {
  SplineView v;
  v.xScale = x.scale;
  v.xOffset = x.offset;
  v.yScale = y.scale;
  v.yOffset = y.offset;
  v.vScroll = static_cast<int>(std::lround(kSplineScrollMiddle - 50 * v.yOffset));
  v.hScroll = static_cast<int>(std::lround(kSplineScrollMiddle + 50 * v.xOffset));
  return v;
}

}  // namespace

SplineView ResetSplineView(int param) {
  SplineView v;
  v.yScale = param == kSplineRotation ? 360.0f : 1.0f;
  return v;
}

SplineView FitSplineView(std::span<const SplineEntry> entries) {
  Range x, y;
  for (const SplineEntry& e : entries) {
    x.Add(e.x);
    y.Add(e.y);
  }
  bool any = !entries.empty();
  return ViewOf(FitAxis(any, x.lo, x.hi), FitAxis(any, y.lo, y.hi));
}

SplineView FitSplineViewToSelection(std::span<const SplineEntry> entries) {
  Range allX, allY, x, y;
  for (const SplineEntry& e : entries) {
    allX.Add(e.x);
    allY.Add(e.y);
    if (!e.selected) continue;
    x.Add(e.x);
    y.Add(e.y);
  }
  if (x.Span() < 0) return FitSplineView(entries);
  return ViewOf(FitSelectedAxis(allX, x), FitSelectedAxis(allY, y));
}

void ZoomSplineWidth(SplineView& v, bool in) {
  v.xScale *= in ? 0.5f : 2.0f;
}

void ZoomSplineHeight(SplineView& v, bool in) {
  v.yScale *= in ? 0.5f : 2.0f;
}

}  // namespace modra
