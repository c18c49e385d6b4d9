// The two halves of a profile editor's picture: the edited group in the
// editor's own 3D view, and the profile pane drawn from the pane's colours
// and the editor's zoom. Each needs a current context and draws into the
// viewport the caller has set.
#pragma once

#include <cstdint>
#include <span>

#include "profile/pane.h"
#include "view/draw_groups.h"
#include "view/view_setting.h"

namespace modra {

// Group g and its subtree as the main view draws them, lit by the default
// lights, with g's placement moved to the middle of the view so that a
// group far out in the scene is still seen. displayMode is kWireFrame or
// kSolid (or kTexturedMode). Nothing when g is no live group.
void DrawProfilePreview(GroupDrawer& drawer, const Scene& s, int g, const ViewSetting& view,
                        float aspect, int displayMode, bool normals,
                        std::span<const unsigned> textureNames = {});

struct PaneDrawing {
  ProfileEditorKind kind = ProfileEditorKind::kExtrusion;
  PaneView view;
  std::span<const float> points;  // x, y per point
  std::span<const uint8_t> corners;
  std::span<const uint8_t> selected;
  // Points per contour; empty for a single contour of every point.
  std::span<const int32_t> contourCounts;
  bool band = false;  // a rubber band from bandFrom to bandTo, in profile units
  PanePoint bandFrom, bandTo;
};

// The pane's background, axes, dotted grid, contours (each closed), points
// and rubber band, over the pane's range with the view's zoom and pan.
// Leaves depth testing and lighting off.
void DrawProfilePane(const PaneDrawing& d);

}  // namespace modra
