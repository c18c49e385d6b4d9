// The eight views of the main window and the display switches that the
// menus and panels set.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "scene/display_group.h"

namespace modra {

enum ViewIndex : int {
  kViewFront = 0,
  kViewTop = 1,
  kViewLeft = 2,
  kViewBack = 3,
  kViewBottom = 4,
  kViewRight = 5,
  kViewPerspective = 6,
  kViewCamera = 7,
};
inline constexpr int kViewCount = 8;

enum DisplayMode : int { kWireFrame = 0, kSolid = 1, kTexturedMode = 2 };

struct ViewSetting {
  int32_t orthographic = 1;
  int32_t cameraMode = 0;
  int32_t lookAtGroup = -1;
  std::vector<int32_t> lookAtPath;
  Vec3 rawTranslation = {0, 0, 0};
  Vec3 translation = {0, 0, 0};
  float scale = 1;
  Vec3 rotation = {0, 0, 0};
  float nearOffset = -12;
  float farOffset = 15;
  float fieldOfView = 30;
  Vec3 eye = {0, 0, 0};
  Vec3 center = {0, 0, 0};
  Vec3 up = {0, 1, 0};
};

struct DisplayState {
  int displayMode = kTexturedMode;
  int currentView = kViewPerspective;
  bool lightDisplay = true;
  bool cameraDisplay = true;
  bool solidAxisDisplay = true;
  bool axisMarker = true;
  bool showNormals = false;
  bool disabledDisplay = false;
  bool lighting = true;
  std::array<ViewSetting, kViewCount> views;
};

// Views 0 to 6 to their initial values; view 7 becomes a perspective view,
// and unless keepCamera is set the rest of it is reset too, with its eye at
// cameraPosition.
void ResetViews(std::array<ViewSetting, kViewCount>& views, bool keepCamera,
                const Vec3& cameraPosition);

}  // namespace modra
