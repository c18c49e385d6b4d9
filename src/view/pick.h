// Finding the group under a point of the view: every group of the level
// being edited is drawn, subtree included, in a flat colour made from its
// slot index, and the colour under the point is read back. When the
// framebuffer's channels hold fewer bits than the slot count needs, the
// index is coded in several passes, a few bits each, and joined.
#pragma once

#include "scene/scene.h"
#include "view/draw_groups.h"
#include "view/gl_state.h"
#include "view/view_setting.h"

namespace modra {

// The size of the view in pixels and the bits per channel the codes may
// use (each held to 1..8; InitGlState reports the framebuffer's own).
struct PickTarget {
  int width = 0;
  int height = 0;
  ColorDepth bits;
};

// x and y in normalised view coordinates (-1..1, y up). Returns the slot
// index of the group of the current level (the top level, or the children
// of the entered group) whose subtree covers the point, or -1 for the
// background, a point outside the view or an empty scene. Draws into the
// current framebuffer (the caller redraws the picture afterwards); leaves
// lighting, dithering and the clear colour as a scene draw expects them.
int PickGroupAt(GroupDrawer& drawer, const Scene& s, const DisplayState& d,
                const PickTarget& target, float x, float y);

}  // namespace modra
