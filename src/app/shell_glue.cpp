// TODO(wiring): see shell_glue.h.
#include "app/shell_glue.h"

#include <algorithm>
#include <cstdlib>

namespace modra::glue {

std::string ToQtFilter(std::string_view filter) {
  std::string out;
  while (!filter.empty()) {
    const size_t bar = filter.find('|');
    if (bar == std::string_view::npos || bar == 0) break;
    const std::string_view description = filter.substr(0, bar);
    filter.remove_prefix(bar + 1);
    const size_t end = std::min(filter.find('|'), filter.size());
    std::string patterns(filter.substr(0, end));
    filter.remove_prefix(std::min(end + 1, filter.size()));
    std::replace(patterns.begin(), patterns.end(), ';', ' ');
    if (!out.empty()) out += ";;";
    out.append(description).append(" (").append(patterns).append(")");
  }
  return out;
}

std::string NativeNameFor(const std::string& path) {
  if (path.size() >= 4 && path.compare(path.size() - 4, 4, ".knf") == 0) return path;
  return path.substr(0, path.size() >= 4 ? path.size() - 4 : 0) + ".knf";
}

std::string WithExtension(const std::string& path, std::string_view extension) {
  if (path.size() >= extension.size() &&
      path.compare(path.size() - extension.size(), extension.size(), extension) == 0)
    return path;
  return path + std::string(extension);
}

std::string TitleText(const std::string& documentName) {
  return "Modra: " + documentName;
}

std::optional<FrameRequest> ReadFrameBox(std::string_view text, int currentFrame) {
  const bool plus = text.find('+') != std::string_view::npos;
  const bool minus = text.find('-') != std::string_view::npos;
  if (plus && minus) return std::nullopt;
  if (plus || minus)
    return FrameRequest{std::clamp(currentFrame + (plus ? 1 : -1), 0, 9999), true};
  const std::string digits(text);
  const long value = std::strtol(digits.c_str(), nullptr, 10);
  return FrameRequest{static_cast<int>(std::clamp(value, 0L, 9999L)), false};
}

std::string NameFromBox(std::string_view text) {
  return std::string(text.substr(0, 99));
}

std::string GeneralHelpText() {
  return R"(Modra builds, arranges and animates 3D scenes.

THE WINDOW
The control panel on the left belongs to the current edit mode (the Edit
Mode menu); the 3D view on the right shows the scene through one of eight
views: Front, Top, Left, Back, Bottom, Right, Perspective and Camera. The
animation bar above shows the name of the current group, the key frame
buttons and the frame number. The status bar tells what the mouse buttons
do in the current mode.

FILES
File > Open reads a scene (.knf) or a model (.obj, .cob, .3ds, .dxf) in
place of the scene; a model is sized to fit -1..1 and the document takes
its name with .knf at the end, so Save writes a native file beside it.
File > Append adds a file's model to the scene. Save As writes a copy and
keeps the document's name. Save As Source writes C source for a small
display program; Export to Wavefront and Export to SkyLoom write .obj and
.gfx text. Files dropped on the window are opened.

SELECTING
In Selection mode a left click picks a group and makes it current; a
second click on a current group that has children enters it, and picking
then works among its children. A click on empty space climbs back one
level. A right click adds a group to the selection or takes it out.
Edit > Select All and Deselect All work on the level being edited.

MOVING THINGS
Translate Object, Rotate Object and Scale Object drag every selected group:
the left button works in X-Y, the right button in Z. Translate Center and
Rotate Center move the point a group turns about without moving the group.
The panels show the current group's values; typing a value moves every
selected group by the same difference. Lock boxes hold an axis still while
dragging.

VIEWS
Rotate View turns the Perspective view; Translate View pans the view, and
its right button zooms. View > Reset View brings every view back. The view
panels choose the view and set the field of view and the clipping planes.
View > Wire Frame, Solid and Textured choose how groups are drawn.

ANIMATION
Set a frame number in the animation bar (type a number, or "+" and "-" to
step) and change something: the change becomes a key at that frame. Frames
run from 0 to 9999. Play runs the animation at 30 frames per second and
Stop ends it; Prev Key and Next Key jump between key frames. The
Animation menu cuts, copies and pastes whole key frames.

SHORTCUTS FROM ANY MODE
Holding keys while pressing a mouse button borrows another mode for that
drag: Ctrl selects, Shift rotates the view, Shift+Z translates the view,
Shift+Ctrl translates the selected objects and Shift+Ctrl+Z rotates them.
)";
}

std::string KeyboardHelpText() {
  return R"(Keyboard short cuts

Ctrl+N          New scene
Ctrl+O          Open a scene or model
Ctrl+S          Save
Ctrl+X          Cut the selected groups
Ctrl+C          Copy the selected groups
Ctrl+V          Paste
Ctrl+A          Select All

Mouse button with keys held (any mode):
Ctrl            Selection
Shift           Rotate View
Shift+Z         Translate View
Shift+Ctrl      Translate Object
Shift+Ctrl+Z    Rotate Object

In the frame box of the animation bar, "+" steps one frame forward and
"-" one frame back.
)";
}

}  // namespace modra::glue
