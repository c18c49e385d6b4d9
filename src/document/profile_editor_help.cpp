#include "document/profile_editor_help.h"

namespace modra {
namespace {

// What both editors share, after each one's own opening.
#define MODRA_PROFILE_PANE_HELP                                               \
  "THE PROFILE PANE\n"                                                        \
  "  Left click a point      select it alone and make it current (a point\n"  \
  "                          already selected keeps the others selected)\n"   \
  "  Left drag a point       move every selected point with the pointer\n"    \
  "  Ctrl+left or right      add the point to the selection, or take it\n"    \
  "  click a point           out again\n"                                     \
  "  Left drag empty space   select the points inside the box\n"              \
  "  Middle drag             pan the pane\n"                                  \
  "  Mouse wheel             zoom the pane about the pointer\n"               \
  "\n"                                                                        \
  "  Points are drawn black, selected points green, corners red and\n"        \
  "  selected corners yellow. The current point is the one Point X and\n"     \
  "  Point Y show; type there to place it exactly.\n"                         \
  "  Snap to Grid puts a dragged point on a grid of 0.05, a quarter of\n"     \
  "  the dotted grid drawn.\n"                                                \
  "\n"                                                                        \
  "THE 3D VIEW\n"                                                             \
  "  3D View Mouse Control chooses what a drag in the 3D view moves: the\n"   \
  "  view's rotation (left button about Y and X, right button about Z),\n"    \
  "  its translation (left button across, right button nearer or\n"           \
  "  farther) or one of the numbers, by moving left and right. Shift held\n"  \
  "  always rotates, Ctrl held always translates. The wheel moves the view\n" \
  "  nearer or farther.\n"                                                    \
  "\n"                                                                        \
  "KEYS AND MENUS\n"                                                          \
  "  Delete, Ctrl+X          Cut Selected Points\n"                           \
  "  Ctrl+A                  Select All\n"                                    \
  "  View > Zoom to Fit      show every point of the profile\n"               \
  "  View > Reset View       the 3D view straight on again\n"                 \
  "\n"                                                                        \
  "  Every change rebuilds the object at once and is one step of the\n"       \
  "  scene's undo history: Edit > Undo in the main window takes it back.\n"   \
  "  A typed number counts when you leave its field or press Return; text\n"  \
  "  that is no number is marked and leaves the value as it was.\n"           \
  "  Done closes the editor and leaves the object in the scene.\n"

constexpr char kExtrusionHelp[] =
    "EXTRUSION EDITOR\n"
    "\n"
    "  The right half shows the profile that is swept back to make the\n"
    "  object: an outline and any holes in it, each a closed loop of\n"
    "  points. The left half shows the object as it is now.\n"
    "\n"
    "  Extrude Depth           how far the profile is swept\n"
    "  Bevel Size              how wide the bevels are\n"
    "  Bevel Enables           bevel the front face, the back face or both\n"
    "  Current Point is a      a sharp edge at the current point, given to\n"
    "  Corner                  every selected point at once\n"
    "  Add Hole                a new hole in the middle of the outline\n"
    "  Remove Hole             removes a hole whose points are all\n"
    "                          selected\n"
    "  Add Point Between Two   a point half way between two neighbouring\n"
    "  Selected Points         selected points\n"
    "\n"
    "  File > Save and Save As write the profile as a .ext file; Open reads\n"
    "  one back into the object.\n"
    "\n" MODRA_PROFILE_PANE_HELP;

constexpr char kSurfaceHelp[] =
    "SURFACE OF REVOLUTION EDITOR\n"
    "\n"
    "  The right third shows the profile that is turned about the Y axis\n"
    "  to make the object: the pane's left edge is the axis, and points\n"
    "  stay on its right. The left two thirds show the object as it is\n"
    "  now.\n"
    "\n"
    "  Degrees to Rotate       how far the profile turns (360 a whole turn)\n"
    "  Number of Steps         how many rings the turn is made of (2 to 2000)\n"
    "  Delta-Y per Rev         how far the profile rises per turn, for\n"
    "                          springs and screws\n"
    "  Radius Scale per Rev    how the distance from the axis grows per turn\n"
    "  Cap Ends of Surface     closes both ends of the turn with the\n"
    "                          profile's shape (for less than 360 degrees)\n"
    "  Current Point is a      a sharp edge at the current point, given to\n"
    "  Corner                  every selected point at once\n"
    "  Add Point Between Two   a point half way between two neighbouring\n"
    "  Selected Points         selected points\n"
    "\n"
    "  File > Save Profile and Save Profile As write the profile as a .surf\n"
    "  file; Open reads one back into the object.\n"
    "\n" MODRA_PROFILE_PANE_HELP;

#undef MODRA_PROFILE_PANE_HELP

}  // namespace

std::string_view ExtrusionEditorHelpText() {
  return kExtrusionHelp;
}

std::string_view SurfaceEditorHelpText() {
  return kSurfaceHelp;
}

}  // namespace modra
