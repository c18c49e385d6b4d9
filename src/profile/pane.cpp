#include "profile/pane.h"

#include <algorithm>
#include <cmath>

namespace modra {
namespace {

// The surface editor's 3D view takes two thirds of the window.
constexpr float kSurfacePaneStart = 2.0f / 3.0f;

float Fraction(float windowX) {
  return (windowX + 1) / 2;
}

}  // namespace

float HitSize(ProfileEditorKind kind) {
  return kind == ProfileEditorKind::kExtrusion ? kExtrusionHitSize : kSurfaceHitSize;
}

PaneRange ProfilePaneRange(ProfileEditorKind kind) {
  if (kind == ProfileEditorKind::kExtrusion) return {-1, 1, -1, 1};
  return {0, 1, -1, 1};
}

bool InProfilePane(ProfileEditorKind kind, float windowX) {
  const float f = Fraction(windowX);
  return kind == ProfileEditorKind::kExtrusion ? f >= 0.5f : f >= kSurfacePaneStart;
}

PanePoint WindowToProfile(ProfileEditorKind kind, float windowX, float windowY) {
  if (kind == ProfileEditorKind::kExtrusion) return {2 * windowX - 1, windowY};
  return {(Fraction(windowX) - kSurfacePaneStart) * 3, windowY};
}

float ProfileToWindowX(ProfileEditorKind kind, float profileX) {
  if (kind == ProfileEditorKind::kExtrusion) return (profileX + 1) / 2;
  return 2 * (profileX / 3 + kSurfacePaneStart) - 1;
}

int HitProfilePoint(const float* points, size_t count, PanePoint at, float hitSize) {
  for (size_t i = 0; i < count; ++i) {
    if (std::fabs(points[2 * i] - at.x) <= hitSize &&
        std::fabs(points[2 * i + 1] - at.y) <= hitSize)
      return static_cast<int>(i);
  }
  return -1;
}

PanePoint ShownToProfile(const PaneView& view, PanePoint shown) {
  return {(shown.x - view.offset.x) / view.scale, (shown.y - view.offset.y) / view.scale};
}

PanePoint ProfileToShown(const PaneView& view, PanePoint profile) {
  return {profile.x * view.scale + view.offset.x, profile.y * view.scale + view.offset.y};
}

PanePoint PanePointAt(ProfileEditorKind kind, const PaneView& view, float windowX, float windowY) {
  return ShownToProfile(view, WindowToProfile(kind, windowX, windowY));
}

void ZoomPaneView(PaneView& view, PanePoint about, float factor) {
  if (!std::isfinite(factor) || factor <= 0) return;
  const PanePoint fixed = ShownToProfile(view, about);
  view.scale = std::clamp(view.scale * factor, kLeastPaneZoom, kMostPaneZoom);
  view.offset = {about.x - fixed.x * view.scale, about.y - fixed.y * view.scale};
}

void PanPaneView(PaneView& view, float dx, float dy) {
  if (!std::isfinite(dx) || !std::isfinite(dy)) return;
  view.offset.x += dx;
  view.offset.y += dy;
}

PaneView FitPaneView(ProfileEditorKind kind, const float* points, size_t count) {
  if (count == 0) return {};
  float x0 = points[0], x1 = points[0], y0 = points[1], y1 = points[1];
  for (size_t i = 1; i < count; ++i) {
    x0 = std::min(x0, points[2 * i]);
    x1 = std::max(x1, points[2 * i]);
    y0 = std::min(y0, points[2 * i + 1]);
    y1 = std::max(y1, points[2 * i + 1]);
  }
  // A tenth of the range stays free round the points, and a profile
  // smaller than a grid step is not blown up past recognition.
  constexpr float kFill = 0.9f;
  constexpr float kLeastSpan = kPaneGridStep;
  const PaneRange r = ProfilePaneRange(kind);
  const float w = std::max(x1 - x0, kLeastSpan), h = std::max(y1 - y0, kLeastSpan);
  PaneView view;
  view.scale = std::clamp(kFill * std::min((r.xMax - r.xMin) / w, (r.yMax - r.yMin) / h),
                          kLeastPaneZoom, kMostPaneZoom);
  view.offset = {(r.xMin + r.xMax) / 2 - (x0 + x1) / 2 * view.scale,
                 (r.yMin + r.yMax) / 2 - (y0 + y1) / 2 * view.scale};
  return view;
}

}  // namespace modra
