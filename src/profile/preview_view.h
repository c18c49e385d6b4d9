// The 3D view of a profile editor: its own turn and shift, moved by the
// mouse as the main window's Perspective view is, and which of them (or a
// numeric parameter) the mouse moves.
#pragma once

#include "profile/point_selection.h"
#include "scene/display_group.h"
#include "view/view_setting.h"

namespace modra {

struct PreviewView {
  Vec3 angles = {0, 0, 0};       // degrees about x, y and z
  Vec3 translation = {0, 0, 0};  // x and y across the view, z towards it
};

// What a drag in the 3D view moves.
enum class PreviewControl : unsigned char { kRotation, kTranslation, kParameter };

// The radio choice of "3D View Mouse Control" (0 "View Rotation", 1 "View
// Translation", 2 and on a numeric parameter) as held at a press: Shift
// forces rotation, Ctrl translation.
PreviewControl PreviewControlAt(int choice, bool shift, bool ctrl);

// A drag by (dx, dy) window units (the view spans 2 both ways). Turning:
// the left button about y and x, the right about z, 180 degrees per unit.
// Moving: the left button across, the right towards the viewer (4 per
// unit of height).
void TurnPreview(PreviewView& view, PaneButton button, float dx, float dy);
void ShiftPreview(PreviewView& view, PaneButton button, float dx, float dy);

// The perspective view setting the preview is drawn with.
ViewSetting PreviewViewSetting(const PreviewView& view);

}  // namespace modra
