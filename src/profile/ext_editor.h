// The extrusion editor's model: the profile being edited, its current
// point, the pane's gesture and the file name, and every command of the
// editor's menus, fields, check boxes and profile pane. Each command that
// changes the profile or the bevel settings rebuilds the edited group at
// once, keeping its name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "document/shell.h"
#include "geometry/extrusion.h"
#include "profile/pane.h"
#include "profile/point_selection.h"
#include "profile/profile_fields.h"
#include "profile/profile_files.h"
#include "scene/scene.h"

namespace modra {

struct ExtEditor {
  int group = -1;  // the extrusion being edited
  ExtrusionProfile profile;
  int current = -1;
  PaneGesture gesture;
  PaneView view;      // the profile pane's zoom and pan
  bool snap = false;  // "Snap to Grid"
  std::string fileName = kNewExtName;
};

ProfilePoints EditedPoints(ExtEditor& ed);

// What the control bar shows: the fields' texts (the point fields empty
// when no point is current) and the check boxes.
struct ExtControls {
  std::string depth, bevelSize, pointX, pointY;
  bool corner = false;  // the current point's; off when there is none
  bool front = false, back = false;
};
ExtControls ExtControlValues(const ExtEditor& ed);

// Starts editing extrusion g: its profile, depth and bevel size from its
// block. False (the editor unchanged) when g is no readable extrusion.
bool OpenExtEditor(ExtEditor& ed, const Scene& s, int g);
// Rebuilds the edited group from the profile (a group that is no longer a
// readable extrusion is left alone).
void ApplyExtEditor(ExtEditor& ed, Scene& s);

// File menu. New: the default profile, no bevels, the default name. Open:
// the file's profile, bevels, depth and bevel size, and its name. Save and
// Save As write the profile with the group's depth and bevel size; Save As
// takes the name it wrote. 0, or -1 after a message (nothing changed).
void ExtNew(ExtEditor& ed, Scene& s);
int ExtOpen(ExtEditor& ed, Scene& s, const std::string& path, Shell& shell);
int ExtSave(ExtEditor& ed, Shell& shell);
int ExtSaveAs(ExtEditor& ed, std::string_view chosen, Shell& shell);

// Edit menu. The added point becomes the only selected point and the
// current one; cutting and removing a hole leave nothing selected or
// current. 0 (or the new point's index), or -1 after a message.
void ExtCutPoints(ExtEditor& ed, Scene& s);
int ExtAddPoint(ExtEditor& ed, Scene& s, Shell& shell);
int ExtAddHole(ExtEditor& ed, Scene& s, Shell& shell);
int ExtRemoveHole(ExtEditor& ed, Scene& s, Shell& shell);
void ExtSelectAll(ExtEditor& ed);
void ExtDeselectAll(ExtEditor& ed);

// Check boxes: "Current Point is a Corner" (false when no point is
// current), "Front" and "Back" of "Bevel Enables".
bool ExtToggleCorner(ExtEditor& ed, Scene& s);
void ExtToggleBevel(ExtEditor& ed, Scene& s, int32_t bevel);

// Fields, applied on every edit of their text. Depth and bevel size go
// into the group's block. Point X (axis 0) and Point Y (axis 1) move the
// current point; nothing when there is none.
FieldRead<float> ExtDepthField(ExtEditor& ed, Scene& s, std::string_view text);
FieldRead<float> ExtBevelSizeField(ExtEditor& ed, Scene& s, std::string_view text);
std::optional<FieldRead<float>> ExtPointField(ExtEditor& ed, Scene& s, int axis,
                                              std::string_view text);

// The profile pane, in window coordinates (-1..1). A press outside the
// pane is not the pane's. PaneChange bits.
unsigned ExtPress(ExtEditor& ed, float windowX, float windowY, PaneButton button, bool ctrl);
unsigned ExtMove(ExtEditor& ed, Scene& s, float windowX, float windowY);
unsigned ExtRelease(ExtEditor& ed);

}  // namespace modra
