// Every command the editor runs on its document, in one table: its menu
// text, whether it is an undo step and under what name, the arguments it
// takes and the function that runs it. Menus, the tool bar, the panels,
// the animation bar and the tests all run commands from here through
// EditSession::Run, so the step policy is decided once, headless.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "anim/key_range_commands.h"

namespace modra {

class EditSession;
struct SplineCurve;

enum class CommandId : uint8_t {
  // File menu
  kNew,
  kOpen,
  kAppend,
  kLoadMaterial,
  kSave,
  kSaveAs,
  kSaveAsSource,
  kExportWavefront,
  kExportStl,
  kExportSkyloom,
  kExportGltf,
  // Edit menu
  kUndo,
  kRedo,
  kCut,
  kCopy,
  kPaste,
  kGroup,
  kUngroup,
  kSelectAll,
  kDeselectAll,
  // View menu
  kResetView,
  kWireFrame,
  kSolid,
  kTextured,
  kShowNormals,
  kHideNormals,
  // Animation menu
  kCutKeyFrame,
  kCopyKeyFrame,
  kPasteKeyFrame,
  kRemoveKeyInfo,
  kCopyKeyToRange,
  kCopyRangeToRange,
  kScaleRange,
  // The spline editor's curve written into the keys
  kSplineWriteBack,
  // Options menu
  kReverseNormals,
  // Animation bar
  kPreviousKeyFrame,
  kNextKeyFrame,
  kPlay,
  kStop,
  kFrameBox,
  kGoToFrame,
  kRename,
  // Selection panel
  kShowEnabledOnly,
  kShowDisabled,
  kDrawNormal,
  kDrawAsBox,
  kEnableSelected,
  kDisableSelected,
  // View panels
  kSelectView,
  kViewRotation,
  kViewTranslation,
  kViewSlider,
  // Transform panels, in the order of TransformPanel
  kTranslate,
  kRotate,
  kScale,
  kMoveCenter,
  kRotateCenter,
  kLockAxis,
  // Color panel
  kColor,
  kMaterial,
  // Texture panel
  kEnableTextures,
  kDisableTextures,
  kTextureField,
  kMapTexture,
  kChooseTexture,
  kLoadTexture,
  // Lights panel
  kLightEntry,
  kLightType,
  kLightMouse,
  kRotateLight,
  kMoveLight,
  kLightAttenuation,
  kLightColor,
  kBackgroundColor,
  kLightCone,
  // Camera panel
  kCameraMouse,
  kMoveCamera,
  kRotateCamera,
  kCameraMode,
  kSetLookAtGroup,
  // Create panel
  kCreateRectangle,
  kCreateBlock,
  kCreateCone,
  kCreateRoundedCone,
  kCreateTube,
  kCreateCylinder,
  kCreateTorus,
  kCreateSphere1,
  kCreateSphere2,
  kCreateText,
  kCreateRevolution,
  kCreateExtrusion,
  kCreateSize,
  kModifyResolution,
  // Create panel: the current extrusion or surface into its editor
  kEditGeometry,
  // Profile editors: the File menus of each
  kExtNew,
  kExtOpen,
  kExtSave,
  kExtSaveAs,
  kSurfNew,
  kSurfOpen,
  kSurfSave,
  kSurfSaveAs,
  // Profile editors: index 0 the extrusion editor, 1 the surface editor
  kProfileCut,
  kProfileAddPoint,
  kProfileSelectAll,
  kProfileDeselectAll,
  kProfileCorner,
  // The extrusion editor alone; Bevel's index 0 is "Front", 1 "Back"
  kProfileAddHole,
  kProfileRemoveHole,
  kProfileBevel,
  // The surface editor alone
  kProfileCaps,
  // The two control bars' fields, in the order of ProfileField
  kProfileField,
  // Points dragged in a profile pane
  kProfileDrag,
};
inline constexpr int kCommandCount = static_cast<int>(CommandId::kProfileDrag) + 1;

// How a command meets the undo history.
enum class StepPolicy : uint8_t {
  // No step: it changes the selection, the display, the panels' choices or
  // nothing of the document.
  kNone,
  // No step, but it moves the current frame (or rewinds it, as writing a
  // file does): what the new frame shows is the base of the next step.
  kFrame,
  // One undo step per run; a run that changes nothing leaves none.
  kStep,
  // A value typed, slid or dragged: one step per gesture (a field from its
  // first change until it is left or Return is pressed, a slider from press
  // to release, a drag of the view), every change of it merged into that
  // step; run on its own it is one step.
  kGesture,
  // New and Open start a new history; Save and Save As mark the saved point.
  kFile,
};

// What a command takes besides the session. For a generated argument
// (tests) `count` bounds the index and `max` a slider's position.
enum class ArgShape : uint8_t {
  kNone,
  kIndex,    // index: a list entry, radio, button or view, 0..count-1
  kField,    // index (0..count-1) and the field's typed text
  kSlider,   // index (0..count-1) and value, the slider's position 0..max
  kLock,     // index (a LockIndex) and value, 1 for on
  kText,     // text: a name, the frame box's text
  kPath,     // text: a file's path
  kNumbers,  // numbers: a dialog's values
  kTextDialog,
};

struct CommandArgs {
  int index = 0;      // the field, slider, entry, radio, view or button
  float value = 0;    // a slider's position; 1 or 0 for a lock box
  std::string text;   // typed text, a name or a file's path
  std::string scale;  // the 3D text dialog's scale as typed
  // The key dialogs: owner choice, A, B, C. The resolution dialog: its
  // values in order.
  std::array<int, 4> numbers{};
  // The spline editor's curve, for kSplineWriteBack; the editor owns it.
  SplineCurve* spline = nullptr;
};

// The arguments of each shape.
inline CommandArgs IndexArgs(int index) {
  CommandArgs a;
  a.index = index;
  return a;
}
inline CommandArgs FieldArgs(int index, std::string_view text) {
  CommandArgs a;
  a.index = index;
  a.text = text;
  return a;
}
inline CommandArgs SliderArgs(int index, int position) {
  CommandArgs a;
  a.index = index;
  a.value = static_cast<float>(position);
  return a;
}
inline CommandArgs SplineArgs(SplineCurve& curve) {
  CommandArgs a;
  a.spline = &curve;
  return a;
}
inline CommandArgs TextArgs(std::string_view text) {
  CommandArgs a;
  a.text = text;
  return a;
}

struct CommandInfo {
  CommandId id;
  const char* name;       // "Cut": names the command in tests and object names
  const char* menuText;   // the menu item with its accelerator; "" when it has none
  const char* statusTip;  // "" when none
  const char* stepName;   // what Undo and Redo name; null when no step
  StepPolicy policy;
  ArgShape shape;
  int count;  // see ArgShape
  int max;
  // The command's work; its result is 0, or a failure code of the command
  // (-1 when it could not run or changed nothing it was asked to).
  int (*run)(EditSession&, const CommandArgs&);
};

const CommandInfo& Info(CommandId id);
std::span<const CommandInfo> AllCommands();

// The step name for a run: Append names its file ("Append cube.obj").
std::string StepName(CommandId id, const CommandArgs& args);

// Whether a menu item, button or field of the command can be used now, and
// whether an item of a choice (display mode, normals) is the one in force.
bool CommandEnabled(const EditSession& session, CommandId id);
bool CommandChecked(const EditSession& session, CommandId id);

// A key frame dialog's request as the command and arguments that run it.
CommandId CommandOf(KeyRangeCommand command);
CommandArgs ArgsOf(const KeyRangeRequest& request);

}  // namespace modra
