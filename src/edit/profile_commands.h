// The profile editors' commands on a session: each change of an edited
// group goes through the edit layer as one undo step (a point drag from
// press to release is one gesture), and the pane's presses and moves that
// only select change no document.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "edit/commands.h"
#include "profile/point_selection.h"

namespace modra {

class EditSession;

// The fields of kProfileField, by index.
enum class ProfileField : int {
  kDepth,        // "Extrude Depth"
  kBevelSize,    // "Bevel Size"
  kExtPointX,    // the extrusion editor's "Point X"
  kExtPointY,    // and "Point Y"
  kDegrees,      // "Degrees to Rotate"
  kSteps,        // "Number of Steps"
  kDeltaY,       // "Delta-Y per Rev"
  kRadiusScale,  // "Radius Scale per Rev"
  kSurfPointX,   // the surface editor's "Point X"
  kSurfPointY,   // and "Point Y"
};
inline constexpr int kProfileFieldCount = 10;

// Edit Geometry: opens the editor of the current group's kind on it (an
// extrusion or a surface of revolution). False when it is neither.
bool OpenProfileEditor(EditSession& session);

// Runs one of the profile commands of the command table (kExtNew ..
// kProfileField): 0, or -1 when its editor is closed, it failed (after a
// message) or changed nothing it was asked to.
int RunProfileCommand(EditSession& session, CommandId id, const CommandArgs& args);
// Whether the command's editor is open.
bool ProfileCommandEnabled(const EditSession& session, CommandId id);
// A field's value and text; nothing and "" when its editor is closed or,
// for a point field, no point is current.
std::optional<float> ProfileFieldValue(const EditSession& session, int index);
std::string ProfileFieldText(const EditSession& session, int index);
// The value `text` stands for in field `index` once the field holds it to
// its limits (a whole step count held to its range, a surface point kept
// off the far side of the axis); nothing when the field would refuse it.
std::optional<float> ProfileFieldReading(int index, std::string_view text);

// The profile pane of editor `kind`, in window coordinates (-1..1). A
// press on a point opens a gesture that the moves' point changes join,
// closed at the release. PaneChange bits; nothing when the editor is
// closed.
unsigned ProfilePress(EditSession& session, ProfileEditorKind kind, float windowX, float windowY,
                      PaneButton button, bool ctrl);
unsigned ProfileMove(EditSession& session, ProfileEditorKind kind, float windowX, float windowY);
unsigned ProfileRelease(EditSession& session, ProfileEditorKind kind);

// The profile pane's view, which is the editor's and no part of the
// document: the wheel zooms by `notches` about a window point, the middle
// button pans by a window motion, Zoom to Fit shows every point, and Snap
// to Grid is switched on and off.
void ZoomProfilePane(EditSession& session, ProfileEditorKind kind, float windowX, float windowY,
                     float notches);
void PanProfilePane(EditSession& session, ProfileEditorKind kind, float dx, float dy);
void FitProfilePane(EditSession& session, ProfileEditorKind kind);
void SetProfileSnap(EditSession& session, ProfileEditorKind kind, bool on);
bool ProfileSnap(const EditSession& session, ProfileEditorKind kind);

// How far a numeric parameter moves per window unit of left/right motion
// when the 3D view's mouse controls it.
float ProfileFieldDragRate(ProfileField field);
// The 3D view's mouse on a numeric parameter: the field becomes `start`
// plus `dx` window units at its rate, through the field's command (the
// caller holds a gesture from press to release). The command's result.
int DragProfileField(EditSession& session, ProfileField field, float start, float dx);

// "D&one" or the window's close box: the editor lets go of its group,
// which stays in the scene as it was last built.
void CloseProfileEditor(EditSession& session, ProfileEditorKind kind);

}  // namespace modra
