#include "profile/pane.h"

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

}  // namespace modra
