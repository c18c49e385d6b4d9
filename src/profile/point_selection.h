// The profile pane's mouse rules and selection commands, shared by both
// editors: picking, toggling, the rubber band, dragging the selected
// points, and which point is current (the one the Point X / Point Y fields
// and the corner box show).
#pragma once

#include <cstdint>
#include <vector>

#include "profile/pane.h"

namespace modra {

// The per-point arrays of the profile being edited, and its current point
// (-1 for none). The arrays agree: two floats, a corner byte and a
// selected byte per point.
struct ProfilePoints {
  std::vector<float>& points;
  std::vector<uint8_t>& corners;
  std::vector<uint8_t>& selected;
  int& current;
};

enum class PaneButton : uint8_t { kLeft, kRight };

// What a press in the pane started, kept until the release.
struct PaneGesture {
  enum class Kind : uint8_t { kNone, kRubberBand, kDrag };
  Kind kind = Kind::kNone;
  PanePoint start;      // where the press was
  PanePoint last;       // where the pointer was last seen
  int grabbed = -1;     // the point a drag started on
  PanePoint grabbedAt;  // ... and where it was then
};

// What a step of the pointer changed.
enum PaneChange : unsigned {
  kPaneNothing = 0,
  kPaneSelection = 1u << 0,  // selection or current point: redraw, refill the fields
  kPanePoints = 1u << 1,     // point positions: the group needs rebuilding
};

// A press at profile point `at`:
//   left without Ctrl on a point: an unselected point clears the selection
//     first; the point becomes selected and current, and a drag starts;
//   right, or left with Ctrl, on a point: its selection toggles and the
//     current point becomes the selected point of highest index, or none;
//   left without Ctrl on empty space: the selection and the current point
//     are cleared and a rubber band starts;
//   right or Ctrl-left on empty space: nothing.
unsigned PressProfilePane(ProfilePoints p, PaneGesture& gesture, PanePoint at, PaneButton button,
                          bool ctrl, float hitSize);
// The pointer moved to `at` with the button held: a rubber band selects
// exactly the points inside it; a drag moves every selected point by the
// pointer's motion, none of them below `minX` (0 keeps a surface profile
// on its side of the axis). With a `snapStep`, the motion is what puts the
// grabbed point on the nearest multiple of it.
unsigned MoveProfilePane(ProfilePoints p, PaneGesture& gesture, PanePoint at, float minX,
                         float snapStep = 0);
// The button was let go: a rubber band leaves the selected point of
// highest index current.
unsigned ReleaseProfilePane(ProfilePoints p, PaneGesture& gesture);

// Select All: every point; the current point stays, or becomes the last
// point when there was none.
void SelectAllPoints(ProfilePoints p);
// Deselect All: no point selected, none current.
void DeselectAllPoints(ProfilePoints p);
// The selected point of highest index, or -1.
int LastSelectedPoint(const std::vector<uint8_t>& selected);

// Whether the current point is a corner (false when none is current).
bool CurrentIsCorner(const std::vector<uint8_t>& corners, int current);
// The current point's corner flag toggled, then given to every selected
// point. False (nothing changed) when no point is current.
bool ToggleCornerOfSelected(ProfilePoints p);

}  // namespace modra
