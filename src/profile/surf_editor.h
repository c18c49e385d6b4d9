// The surface editor's model: the profile being edited (with its current
// point), the sweep settings, the pane's gesture and the file name, and
// every command of the editor's menus, fields, check boxes and profile
// pane. Each command that changes the profile or the sweep rebuilds the
// edited group at once, keeping its name. Profile points are kept on the
// non-negative side of the axis by the pane and the Point X field.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "document/shell.h"
#include "geometry/revolution.h"
#include "profile/pane.h"
#include "profile/point_selection.h"
#include "profile/profile_fields.h"
#include "profile/profile_files.h"
#include "scene/scene.h"

namespace modra {

struct SurfEditor {
  int group = -1;  // the surface being edited
  RevolutionProfile profile;
  RevolutionParams params;
  PaneGesture gesture;
  PaneView view;      // the profile pane's zoom and pan
  bool snap = false;  // "Snap to Grid"
  std::string fileName = kNewSurfName;
};

ProfilePoints EditedPoints(SurfEditor& ed);

// What the control bar shows: the fields' texts (the point fields empty
// when no point is current) and the check boxes.
struct SurfControls {
  std::string degrees, steps, deltaY, radiusScale, pointX, pointY;
  bool corner = false;  // the current point's; off when there is none
  bool caps = false;
};
SurfControls SurfControlValues(const SurfEditor& ed);

// Starts editing surface g: its profile and sweep from its block. False
// (the editor unchanged) when g is no readable surface of revolution.
bool OpenSurfEditor(SurfEditor& ed, const Scene& s, int g);
// Writes the sweep into the edited group's block and rebuilds it from the
// profile (a group that is no longer a readable surface is left alone).
void ApplySurfEditor(SurfEditor& ed, Scene& s);

// File menu. New: the "New" profile, no caps, the default name. Open: the
// file's points and corners (the sweep and caps stay), and its name. Save
// and Save As write the points and corners; Save As takes the name it
// wrote. 0, or -1 after a message (nothing changed).
void SurfNew(SurfEditor& ed, Scene& s);
int SurfOpen(SurfEditor& ed, Scene& s, const std::string& path, Shell& shell);
int SurfSave(SurfEditor& ed, Shell& shell);
int SurfSaveAs(SurfEditor& ed, std::string_view chosen, Shell& shell);

// Edit menu. The added point becomes the only selected point and the
// current one; cutting leaves nothing selected or current. The new
// point's index, or -1 after a message.
void SurfCutPoints(SurfEditor& ed, Scene& s);
int SurfAddPoint(SurfEditor& ed, Scene& s, Shell& shell);
void SurfSelectAll(SurfEditor& ed);
void SurfDeselectAll(SurfEditor& ed);

// Check boxes: "Current Point is a Corner" (false when no point is
// current) and "Cap Ends of Surface".
bool SurfToggleCorner(SurfEditor& ed, Scene& s);
void SurfToggleCaps(SurfEditor& ed, Scene& s);

// Fields, applied on every edit of their text.
FieldRead<float> SurfDegreesField(SurfEditor& ed, Scene& s, std::string_view text);
FieldRead<int> SurfStepsField(SurfEditor& ed, Scene& s, std::string_view text);
FieldRead<float> SurfDeltaYField(SurfEditor& ed, Scene& s, std::string_view text);
FieldRead<float> SurfRadiusScaleField(SurfEditor& ed, Scene& s, std::string_view text);
// Point X (axis 0, held at 0 or more) and Point Y (axis 1) of the current
// point; nothing when there is none.
std::optional<FieldRead<float>> SurfPointField(SurfEditor& ed, Scene& s, int axis,
                                               std::string_view text);

// The profile pane, in window coordinates (-1..1). A press outside the
// pane is not the pane's. PaneChange bits.
unsigned SurfPress(SurfEditor& ed, float windowX, float windowY, PaneButton button, bool ctrl);
unsigned SurfMove(SurfEditor& ed, Scene& s, float windowX, float windowY);
unsigned SurfRelease(SurfEditor& ed);

}  // namespace modra
