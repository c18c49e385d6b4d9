#include "view/view_setting.h"

namespace modra {

void ResetViews(std::array<ViewSetting, kViewCount>& views, bool keepCamera,
                const Vec3& cameraPosition) {
  struct Placement {
    Vec3 eye, up;
  };
  static const Placement kPlacements[7] = {
      {{0, 0, -4.33f}, {0, 1, 0}},   // Front
      {{0, 4.33f, 0}, {0, 0, 1}},    // Top
      {{-4.33f, 0, 0}, {0, 1, 0}},   // Left
      {{0, 0, 4.33f}, {0, 1, 0}},    // Back
      {{0, -4.33f, 0}, {0, 0, -1}},  // Bottom
      {{4.33f, 0, 0}, {0, 1, 0}},    // Right
      {{0, 0, -4.33f}, {0, 1, 0}},   // Perspective
  };
  for (int v = 0; v < kViewPerspective + 1; ++v) {
    views[v] = ViewSetting{};
    views[v].orthographic = v == kViewPerspective ? 0 : 1;
    views[v].eye = kPlacements[v].eye;
    views[v].up = kPlacements[v].up;
  }
  if (!keepCamera) {
    views[kViewCamera] = ViewSetting{};
    views[kViewCamera].eye = cameraPosition;
  }
  views[kViewCamera].orthographic = 0;
}

}  // namespace modra
