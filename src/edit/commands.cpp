#include "edit/commands.h"

#include <algorithm>
#include <cassert>

#include "anim/key_commands.h"
#include "anim/key_range_commands.h"
#include "anim/playback.h"
#include "anim/spline_edit.h"
#include "document/animation_bar.h"
#include "document/file_commands.h"
#include "document/file_names.h"
#include "document/group_edit.h"
#include "edit/color_edits.h"
#include "edit/create_edits.h"
#include "edit/edit_session.h"
#include "edit/field_values.h"
#include "edit/profile_commands.h"
#include "edit/texture_edits.h"
#include "export/gfx_writer.h"
#include "formats/gltf_writer.h"
#include "formats/import_dispatch.h"
#include "formats/obj_reader.h"
#include "formats/obj_writer.h"
#include "formats/stl_writer.h"
#include "geometry/extrusion.h"
#include "geometry/revolution.h"
#include "images/texture_table.h"
#include "nativefile/source_writer.h"

namespace modra {
namespace {

using Args = CommandArgs;
using S = EditSession;

// A field command's value: the typed text as a number, 0 when it is none.
float Typed(const Args& a) {
  return ParseField(a.text).value_or(0.0f);
}

int Result(bool done) {
  return done ? 0 : -1;
}

// A display switch: how the scene is drawn, which the file does not keep.
template <auto kMember, auto kValue>
int DisplaySwitch(S& s, const Args&) {
  s.doc().display.*kMember = kValue;
  NotifyChanged(s.doc(), kDisplayChanged);
  s.doc().shell->RequestRedraw();
  return 0;
}

void PanelChanged(S& s) {
  NotifyChanged(s.doc(), kPanelChanged);
}

int RunKeyRange(S& s, KeyRangeCommand command, const Args& a) {
  KeyRangeRequest r;
  r.command = command;
  r.owner = static_cast<KeyOwnerChoice>(a.numbers[0] < 0 || a.numbers[0] > 2 ? 0 : a.numbers[0]);
  r.a = a.numbers[1];
  r.b = a.numbers[2];
  r.c = a.numbers[3];
  RunKeyRangeRequest(s.doc(), r, s.panels().currentLight);
  return 0;
}

int Write(S& s, int (*writer)(Document&, const std::string&), const char* extension,
          bool reportFailure, const Args& a) {
  if (a.text.empty()) return -1;
  const std::string path = WithExtension(a.text, extension);
  if (!MayReplace(s.doc(), path)) return -1;
  const int result = writer(s.doc(), path);
  if (result != 0 && reportFailure) s.doc().shell->Message("Can't save to " + path);
  return result;
}

template <CommandId kId>
int Profile(S& s, const Args& a) {
  return RunProfileCommand(s, kId, a);
}

int Create(S& s, int (*create)(Document&)) {
  return CreateFromPanel(s.doc(), create) == -1 ? -1 : 0;
}

int Saved(S& s, SaveResult result) {
  // Writing rewinds to frame 0, even when it fails.
  if (result != SaveResult::kSaved) {
    s.history().Settle();
    return -1;
  }
  s.history().MarkSaved();
  NotifyChanged(s.doc(), kHistoryChanged);
  return 0;
}

// A transform panel's field and a create button, one function each.
template <TransformPanel kPanel>
int TransformField(S& s, const Args& a) {
  return Result(SetTransformField(s.layer(), kPanel, a.index, Typed(a)));
}
template <int kButton>
int CreateButton(S& s, const Args&) {
  return Create(s, kCreateButtons[kButton].create);
}

constexpr StepPolicy kNone = StepPolicy::kNone, kFrame = StepPolicy::kFrame,
                     kStep = StepPolicy::kStep, kGesture = StepPolicy::kGesture,
                     kFile = StepPolicy::kFile;
constexpr ArgShape kNoArgs = ArgShape::kNone, kIndex = ArgShape::kIndex, kField = ArgShape::kField,
                   kSlider = ArgShape::kSlider, kLock = ArgShape::kLock, kText = ArgShape::kText,
                   kPath = ArgShape::kPath, kNumbers = ArgShape::kNumbers,
                   kTextDialog = ArgShape::kTextDialog;

using C = CommandId;

// clang-format off
constexpr CommandInfo kCommands[] = {
  {C::kNew, "New", "&New", "Start a new scene", nullptr, kFile, kNoArgs, 0, 0,
   [](S& s, const Args&) {
     NewDocument(s.doc());
     s.history().Clear();
     NotifyChanged(s.doc(), kHistoryChanged);
     // The old scene's turn, offset and spin would make the next drag jump.
     s.interaction().ResetView();
     return 0;
   }},
  {C::kOpen, "Open", "&Open ...", "Open a scene or a model in place of the scene", nullptr, kFile,
   kPath, 0, 0,
   [](S& s, const Args& a) {
     // A file that does not open leaves the document, and so its history,
     // as they were.
     if (OpenDocument(s.doc(), a.text) != 0) return -1;
     s.history().Clear();
     NotifyChanged(s.doc(), kHistoryChanged);
     s.interaction().ResetView();
     return 0;
   }},
  {C::kAppend, "Append", "A&ppend ...", "Add a model to the scene", "Append", kStep, kPath, 0, 0,
   [](S& s, const Args& a) {
     const int result = AppendModelFile(s.doc(), a.text);
     if (result == 0) s.interaction().ResetView();
     return result;
   }},
  {C::kLoadMaterial, "LoadMaterial", "Load &Wavefront Material", "Read a material library",
   "Load Wavefront Material", kStep, kPath, 0, 0,
   [](S& s, const Args& a) { return LoadWavefrontMaterials(s.doc(), a.text); }},
  {C::kSave, "Save", "&Save", "Save the scene", nullptr, kFile, kNoArgs, 0, 0,
   [](S& s, const Args&) { return Saved(s, SaveDocument(s.doc())); }},
  {C::kSaveAs, "SaveAs", "Save &As ...",
   "Save the scene under a new name, which it then keeps", nullptr, kFile, kPath, 0, 0,
   [](S& s, const Args& a) { return Saved(s, SaveDocumentAs(s.doc(), a.text)); }},
  {C::kSaveAsSource, "SaveAsSource", "Save As Sou&rce ...", "Write the scene as C source",
   nullptr, kFrame, kPath, 0, 0,
   [](S& s, const Args& a) { return Write(s, &WriteSourceFile, kSourceExtension, false, a); }},
  {C::kExportWavefront, "ExportWavefront", "Export to Wa&vefront ...",
   "Write the scene as a Wavefront file", nullptr, kFrame, kPath, 0, 0,
   [](S& s, const Args& a) {
     return Write(s, &WriteWavefrontFile, kWavefrontExtension, true, a);
   }},
  {C::kExportStl, "ExportStl", "Export to S&TL ...",
   "Write the triangles of the scene as shown now as a binary STL file", nullptr, kFrame, kPath,
   0, 0, [](S& s, const Args& a) { return Write(s, &WriteStlFile, kStlExtension, true, a); }},
  {C::kExportSkyloom, "ExportSkyloom", "Export to Sky&Loom ...", "Write the scene as Skyloom text",
   nullptr, kFrame, kPath, 0, 0,
   [](S& s, const Args& a) { return Write(s, &WriteSkyloomFile, kSkyLoomExtension, true, a); }},
  {C::kExportGltf, "ExportGltf", "Export to &glTF ...", "Write the scene as a glTF 2.0 file",
   nullptr, kFrame, kPath, 0, 0,
   [](S& s, const Args& a) {
     // A chosen .gltf stays text; any other name becomes binary .glb.
     const char* extension = EndsWithNoCase(a.text, ".gltf") ? ".gltf" : kGltfExtension;
     return Write(s, &WriteGltfFile, extension, true, a);
   }},

  {C::kUndo, "Undo", "&Undo", "Take back the last change", nullptr, kNone, kNoArgs, 0, 0,
   [](S& s, const Args&) { return Result(s.Undo()); }},
  {C::kRedo, "Redo", "&Redo", "Make the change taken back again", nullptr, kNone, kNoArgs, 0, 0,
   [](S& s, const Args&) { return Result(s.Redo()); }},
  {C::kCut, "Cut", "Cu&t", "Move the selected groups to the clipboard", "Cut", kStep, kNoArgs, 0,
   0, [](S& s, const Args&) { Cut(s.doc()); return 0; }},
  // note: the clipboard lives outside the undoable scene, so a Copy leaves
  // no step; it is run as one all the same, so that anything else it did
  // could be undone
  {C::kCopy, "Copy", "&Copy", "Copy the selected groups to the clipboard", "Copy", kStep, kNoArgs,
   0, 0, [](S& s, const Args&) { Copy(s.doc()); return 0; }},
  {C::kPaste, "Paste", "&Paste", "Add the clipboard's groups to the scene", "Paste", kStep,
   kNoArgs, 0, 0, [](S& s, const Args&) { Paste(s.doc()); return 0; }},
  {C::kGroup, "Group", "&Group", "Link the selected groups under a new group", "Group", kStep,
   kNoArgs, 0, 0, [](S& s, const Args&) { GroupSelected(s.doc()); return 0; }},
  {C::kUngroup, "Ungroup", "U&ngroup", "Move the children up a level", "Ungroup", kStep, kNoArgs,
   0, 0, [](S& s, const Args&) { Ungroup(s.doc()); return 0; }},
  {C::kSelectAll, "SelectAll", "Select &All", "Select every group of the level", nullptr, kNone,
   kNoArgs, 0, 0, [](S& s, const Args&) { SelectAll(s.doc()); return 0; }},
  {C::kDeselectAll, "DeselectAll", "&Deselect All", "Select nothing", nullptr, kNone, kNoArgs, 0,
   0, [](S& s, const Args&) { DeselectAll(s.doc()); return 0; }},

  {C::kResetView, "ResetView", "&Reset View", "Bring every view back to where it started",
   nullptr, kNone, kNoArgs, 0, 0,
   [](S& s, const Args&) { s.interaction().ResetView(); return 0; }},
  {C::kWireFrame, "WireFrame", "&Wire Frame", "", nullptr, kNone, kNoArgs, 0, 0,
   &DisplaySwitch<&DisplayState::displayMode, 0>},
  {C::kSolid, "Solid", "S&olid", "", nullptr, kNone, kNoArgs, 0, 0,
   &DisplaySwitch<&DisplayState::displayMode, 1>},
  {C::kTextured, "Textured", "Te&xtured", "", nullptr, kNone, kNoArgs, 0, 0,
   &DisplaySwitch<&DisplayState::displayMode, 2>},
  {C::kShowNormals, "ShowNormals", "Show &Normals", "", nullptr, kNone, kNoArgs, 0, 0,
   &DisplaySwitch<&DisplayState::showNormals, true>},
  {C::kHideNormals, "HideNormals", "&Hide Normals", "", nullptr, kNone, kNoArgs, 0, 0,
   &DisplaySwitch<&DisplayState::showNormals, false>},

  {C::kCutKeyFrame, "CutKeyFrame", "Cu&t Current Key Frame", "", "Cut Key Frame", kStep, kNoArgs,
   0, 0, [](S& s, const Args&) { CutOrCopyKeyFrame(s.doc(), true); return 0; }},
  {C::kCopyKeyFrame, "CopyKeyFrame", "&Copy Current Key Frame", "", "Copy Key Frame", kStep,
   kNoArgs, 0, 0, [](S& s, const Args&) { CutOrCopyKeyFrame(s.doc(), false); return 0; }},
  {C::kPasteKeyFrame, "PasteKeyFrame", "&Paste Key Frame", "", "Paste Key Frame", kStep, kNoArgs,
   0, 0, [](S& s, const Args&) { PasteKeyFrame(s.doc(), true); return 0; }},
  {C::kRemoveKeyInfo, "RemoveKeyInfo", "&Remove Key Frame Info ...", "", "Remove Key Frame Info",
   kStep, kNumbers, 3, 0,
   [](S& s, const Args& a) { return RunKeyRange(s, KeyRangeCommand::kRemoveOwnerKeys, a); }},
  {C::kCopyKeyToRange, "CopyKeyToRange", "Copy &Key to Range ...", "", "Copy Key to Range", kStep,
   kNumbers, 3, 0,
   [](S& s, const Args& a) { return RunKeyRange(s, KeyRangeCommand::kCopyKeyToRange, a); }},
  {C::kCopyRangeToRange, "CopyRangeToRange", "Copy Keys in Range to Ran&ge ...", "",
   "Copy Keys in Range to Range", kStep, kNumbers, 3, 0,
   [](S& s, const Args& a) { return RunKeyRange(s, KeyRangeCommand::kCopyRangeToRange, a); }},
  {C::kScaleRange, "StretchKeys", "&Strech/Squeeze Key Frame ...", "",
   "Stretch/Squeeze Key Frames", kStep, kNumbers, 3, 0,
   [](S& s, const Args& a) { return RunKeyRange(s, KeyRangeCommand::kScaleRange, a); }},
  // The editor writes its curve at every move of a drag, so the keys and
  // the 3D view follow it and the drag is one step.
  {C::kSplineWriteBack, "SplineWriteBack", "", "", "Edit Spline", kGesture, kNoArgs, 0, 0,
   [](S& s, const Args& a) { return Result(a.spline && WriteSplineCurve(s.doc(), *a.spline)); }},

  {C::kReverseNormals, "ReverseNormals", "&Reverse Normals",
   "Flip the normals of the selected groups", "Reverse Normals", kStep, kNoArgs, 0, 0,
   [](S& s, const Args&) { ReverseNormals(s.doc()); return 0; }},

  {C::kPreviousKeyFrame, "PrevKey", "Prev Key", "", nullptr, kFrame, kNoArgs, 0, 0,
   [](S& s, const Args&) { GoToPreviousKeyFrame(s.doc()); return 0; }},
  {C::kNextKeyFrame, "NextKey", "Next Key", "", nullptr, kFrame, kNoArgs, 0, 0,
   [](S& s, const Args&) { GoToNextKeyFrame(s.doc()); return 0; }},
  {C::kPlay, "Play", "Play", "", nullptr, kFrame, kNoArgs, 0, 0,
   [](S& s, const Args&) { StartPlayback(s.doc()); return 0; }},
  {C::kStop, "Stop", "Stop", "", nullptr, kFrame, kNoArgs, 0, 0,
   [](S& s, const Args&) { StopPlayback(s.doc()); return 0; }},
  {C::kFrameBox, "Frame", "", "", nullptr, kFrame, kText, 0, 0,
   [](S& s, const Args& a) { EditFrameBox(s.doc(), a.text); return 0; }},
  // The time slider: scrubbing stops playback and shows the frame.
  {C::kGoToFrame, "Time", "", "", nullptr, kFrame, kIndex, kMaxFrame + 1, 0,
   [](S& s, const Args& a) {
     if (s.doc().scene.anim.playing) StopPlayback(s.doc());
     GoToFrame(s.doc(), a.index);
     return 0;
   }},
  {C::kRename, "Name", "", "", "Rename", kGesture, kText, 0, 0,
   [](S& s, const Args& a) {
     // With nothing current the box goes back to saying so.
     if (EditNameBox(s.doc(), a.text) && !IsLiveGroup(s.doc().scene, s.doc().scene.selectedGroup))
       NotifyChanged(s.doc(), kSelectionChanged);
     return 0;
   }},

  {C::kShowEnabledOnly, "DrawModeEnabled", "Enabled", "", nullptr, kNone, kNoArgs, 0, 0,
   &DisplaySwitch<&DisplayState::disabledDisplay, false>},
  {C::kShowDisabled, "DrawModeDisabled", "Disabled", "", nullptr, kNone, kNoArgs, 0, 0,
   &DisplaySwitch<&DisplayState::disabledDisplay, true>},
  {C::kDrawNormal, "DrawNormal", "Normal", "", nullptr, kNone, kNoArgs, 0, 0,
   [](S& s, const Args&) { SetDrawAsBox(s.doc(), false); return 0; }},
  {C::kDrawAsBox, "DrawAsBox", "Bounding Box", "", nullptr, kNone, kNoArgs, 0, 0,
   [](S& s, const Args&) { SetDrawAsBox(s.doc(), true); return 0; }},
  {C::kEnableSelected, "EnableSelected", "Enable Display of Selected", "",
   "Enable Display of Selected", kStep, kNoArgs, 0, 0,
   [](S& s, const Args&) {
     EnableSelected(s.doc());
     DeselectAll(s.doc());
     return 0;
   }},
  {C::kDisableSelected, "DisableSelected", "Disable Display of Selected", "",
   "Disable Display of Selected", kStep, kNoArgs, 0, 0,
   [](S& s, const Args&) {
     DisableSelected(s.doc());
     DeselectAll(s.doc());
     return 0;
   }},

  {C::kSelectView, "SelectView", "", "", nullptr, kNone, kIndex, kViewCount, 0,
   [](S& s, const Args& a) { s.interaction().SelectView(a.index); return 0; }},
  {C::kViewRotation, "ViewRotation", "", "", nullptr, kNone, kField, 3, 0,
   [](S& s, const Args& a) {
     if (a.index < 0 || a.index > 2) return -1;
     Vec3 v = s.interaction().State().totalAngles;
     v[static_cast<size_t>(a.index)] = Typed(a);
     s.interaction().SetRotationTotals(v);
     return 0;
   }},
  {C::kViewTranslation, "ViewTranslation", "", "", nullptr, kNone, kField, 3, 0,
   [](S& s, const Args& a) {
     if (a.index < 0 || a.index > 2) return -1;
     Vec3 v = s.interaction().State().viewTranslation;
     v[static_cast<size_t>(a.index)] = Typed(a);
     s.interaction().SetViewTranslation(v);
     return 0;
   }},
  // Field of View (degrees x 10, 10..1800), Near and Far Clip Plane
  // (x 100, -2000..2000).
  {C::kViewSlider, "ViewSlider", "", "", nullptr, kNone, kSlider, 3, 2000,
   [](S& s, const Args& a) {
     const PanelValues& p = s.panels();
     float v[3] = {p.fieldOfView, p.nearOffset, p.farOffset};
     if (a.index < 0 || a.index > 2) return -1;
     v[a.index] = a.index == 0 ? std::clamp(a.value, 10.0f, 1800.0f) / 10
                               : std::clamp(a.value, -2000.0f, 2000.0f) / 100;
     s.interaction().SetPerspective(v[0], v[1], v[2]);
     return 0;
   }},

  {C::kTranslate, "Translate", "", "", "Translate", kGesture, kField, 3, 0,
   &TransformField<TransformPanel::kTranslation>},
  {C::kRotate, "Rotate", "", "", "Rotate", kGesture, kField, 3, 0,
   &TransformField<TransformPanel::kRotation>},
  {C::kScale, "Scale", "", "", "Scale", kGesture, kField, 3, 0,
   &TransformField<TransformPanel::kScale>},
  {C::kMoveCenter, "MoveCenter", "", "", "Move Center", kGesture, kField, 3, 0,
   &TransformField<TransformPanel::kCenter>},
  {C::kRotateCenter, "RotateCenter", "", "", "Rotate Center", kGesture, kField, 3, 0,
   &TransformField<TransformPanel::kCenterRotation>},
  {C::kLockAxis, "Lock", "", "", nullptr, kNone, kLock, kTransformPanelCount * 3, 1,
   [](S& s, const Args& a) {
     if (a.index < 0 || a.index >= kTransformPanelCount * 3) return -1;
     s.panels().locks[static_cast<size_t>(a.index / 3)][static_cast<size_t>(a.index % 3)] =
         a.value != 0;
     PanelChanged(s);
     return 0;
   }},

  {C::kColor, "Color", "", "", "Color", kGesture, kSlider, 3, kColorSliderMax,
   [](S& s, const Args& a) {
     return Result(SetColorSlider(s.layer(), a.index, static_cast<int>(a.value)));
   }},
  {C::kMaterial, "Material", "", "", "Material", kGesture, kSlider, 4, kShineSliderMax,
   [](S& s, const Args& a) {
     return Result(SetMaterialSlider(s.layer(), a.index, static_cast<int>(a.value)));
   }},

  {C::kEnableTextures, "EnableTextures", "", "", "Enable Textures", kStep, kNoArgs, 0, 0,
   [](S& s, const Args&) { return Result(SetTexturesEnabled(s.layer(), true)); }},
  {C::kDisableTextures, "DisableTextures", "", "", "Disable Textures", kStep, kNoArgs, 0, 0,
   [](S& s, const Args&) { return Result(SetTexturesEnabled(s.layer(), false)); }},
  {C::kTextureField, "TextureField", "", "", "Texture Mapping", kGesture, kField, 8, 0,
   [](S& s, const Args& a) { return Result(SetTextureField(s.layer(), a.index, Typed(a))); }},
  // Planar, Cylinderical, Spherical, Default.
  {C::kMapTexture, "MapTexture", "", "", "Map Texture", kStep, kIndex, 4, 0,
   [](S& s, const Args& a) {
     if (a.index < 0 || a.index > 3) return -1;
     return MapSelectedGroups(s.layer(), static_cast<MappingKind>(kPlanarMapping + a.index));
   }},
  // A choice that changes nothing, or a file that does not load, has the
  // list show the current group's texture again.
  {C::kChooseTexture, "ChooseTexture", "", "", "Choose Texture", kStep, kIndex, 1, 0,
   [](S& s, const Args& a) {
     if (ChooseTexture(s.layer(), a.index)) return 0;
     PanelChanged(s);
     return -1;
   }},
  {C::kLoadTexture, "LoadTexture", "Load Texture ...", "", "Load Texture", kStep, kPath, 0, 0,
   [](S& s, const Args& a) {
     const int index = LoadTextureFile(s.doc(), a.text);
     if (index < 0) {
       PanelChanged(s);
       return -1;
     }
     ChooseTexture(s.layer(), index);
     return 0;
   }},

  {C::kLightEntry, "LightEntry", "", "", nullptr, kNone, kIndex, kLightListCount, 0,
   [](S& s, const Args& a) {
     if (a.index < 0 || a.index >= kLightListCount) return -1;
     PanelValues& p = s.panels();
     p.lightEntry = a.index;
     // The view's drags and the key dialogs go to the chosen light; the
     // background keeps the last one.
     if (LightOfEntry(a.index) >= 0) p.currentLight = LightOfEntry(a.index);
     PanelChanged(s);
     return 0;
   }},
  // Off, Directional, Positional, Cone.
  {C::kLightType, "LightType", "", "", "Light Type", kStep, kIndex, 4, 0,
   [](S& s, const Args& a) {
     return Result(SetLightTypeRadio(s.layer(), s.panels().lightEntry, a.index));
   }},
  // Rot, Pos.
  {C::kLightMouse, "LightMouse", "", "", nullptr, kNone, kIndex, 2, 0,
   [](S& s, const Args& a) {
     s.panels().lightMouse = a.index == 1 ? LightMouse::kPosition : LightMouse::kRotation;
     PanelChanged(s);
     return 0;
   }},
  {C::kRotateLight, "RotateLight", "", "", "Rotate Light", kGesture, kField, 2, 0,
   [](S& s, const Args& a) {
     return Result(SetLightAngle(s.layer(), s.panels().lightEntry, a.index, Typed(a)));
   }},
  {C::kMoveLight, "MoveLight", "", "", "Move Light", kGesture, kField, 3, 0,
   [](S& s, const Args& a) {
     return Result(SetLightPositionField(s.layer(), s.panels().lightEntry, a.index, Typed(a)));
   }},
  {C::kLightAttenuation, "LightAttenuation", "", "", "Light Attenuation", kGesture, kField, 3, 0,
   [](S& s, const Args& a) {
     return Result(SetLightAttenuationField(s.layer(), s.panels().lightEntry, a.index, Typed(a)));
   }},
  {C::kLightColor, "LightColor", "", "", "Light Color", kGesture, kSlider, 3, kLightColorSliderMax,
   [](S& s, const Args& a) {
     return Result(SetLightColorSlider(s.layer(), s.panels().lightEntry, a.index,
                                       static_cast<int>(a.value)));
   }},
  // The light colour sliders while the list shows the background.
  {C::kBackgroundColor, "BackgroundColor", "", "", "Background Color", kGesture, kSlider, 3,
   kLightColorSliderMax,
   [](S& s, const Args& a) {
     return Result(SetLightColorSlider(s.layer(), kLightListBackground, a.index,
                                       static_cast<int>(a.value)));
   }},
  // Cutoff Angle (degrees x 10), Spot Power (x 10).
  {C::kLightCone, "LightCone", "", "", "Light Cone", kGesture, kSlider, 2, kSpotPowerSliderMax,
   [](S& s, const Args& a) {
     return Result(SetLightConeSlider(s.layer(), s.panels().lightEntry, a.index,
                                      static_cast<int>(a.value)));
   }},

  // Rot, Pos.
  {C::kCameraMouse, "CameraMouse", "", "", nullptr, kNone, kIndex, 2, 0,
   [](S& s, const Args& a) {
     PanelValues& p = s.panels();
     p.cameraMouse = a.index == 1 ? CameraMouse::kPosition : CameraMouse::kRotation;
     p.cameraMouseMode = s.doc().scene.camera.mode;
     PanelChanged(s);
     return 0;
   }},
  // Rotate X, Rotate Y, X, Y, Z Position.
  {C::kMoveCamera, "MoveCamera", "", "", "Move Camera", kGesture, kField, 5, 0,
   [](S& s, const Args& a) { return Result(SetCameraField(s.layer(), a.index, Typed(a))); }},
  // A drag that turns the camera; it has no field of its own.
  {C::kRotateCamera, "RotateCamera", "", "", "Rotate Camera", kGesture, kNoArgs, 0, 0, nullptr},
  // Manual, Look-At: the mouse control follows, as the look-at camera aims
  // itself.
  {C::kCameraMode, "CameraMode", "", "", "Camera Mode", kStep, kIndex, 2, 0,
   [](S& s, const Args& a) {
     const int mode = a.index == 1 ? kCameraLookAt : kCameraManual;
     PanelValues& p = s.panels();
     p.cameraMouse = SetCameraMode(s.layer(), mode);
     p.cameraMouseMode = mode;
     PanelChanged(s);
     return 0;
   }},
  {C::kSetLookAtGroup, "SetLookAt", "Set Look-At Group", "", "Set Look-At Group", kStep, kNoArgs,
   0, 0, [](S& s, const Args&) { return Result(SetLookAtGroup(s.layer())); }},

  {C::kCreateRectangle, "Rectangle", "Rectangle", "", "Create Rectangle",
   kStep, kNoArgs, 0, 0, &CreateButton<0>},
  {C::kCreateBlock, "Block", "Block", "", "Create Block", kStep, kNoArgs, 0, 0, &CreateButton<1>},
  {C::kCreateCone, "Cone", "Cone", "", "Create Cone", kStep, kNoArgs, 0, 0, &CreateButton<2>},
  {C::kCreateRoundedCone, "RoundedCone", "Rounded Cone", "", "Create Rounded Cone", kStep, kNoArgs,
   0, 0, &CreateButton<3>},
  {C::kCreateTube, "Tube", "Tube", "", "Create Tube", kStep, kNoArgs, 0, 0, &CreateButton<4>},
  {C::kCreateCylinder, "Cylinder", "Cylinder", "", "Create Cylinder",
   kStep, kNoArgs, 0, 0, &CreateButton<5>},
  {C::kCreateTorus, "Torus", "Torus", "", "Create Torus", kStep, kNoArgs, 0, 0, &CreateButton<6>},
  {C::kCreateSphere1, "Sphere1", "Sphere1", "", "Create Sphere1",
   kStep, kNoArgs, 0, 0, &CreateButton<7>},
  {C::kCreateSphere2, "Sphere2", "Sphere 2", "", "Create Sphere 2",
   kStep, kNoArgs, 0, 0, &CreateButton<8>},
  // text, scale as typed, index the font.
  {C::kCreateText, "Text", "3D Text ...", "", "Create 3D Text", kStep, kTextDialog, 5, 0,
   [](S& s, const Args& a) {
     return CreateTextFromPanel(s.doc(), a.text, a.scale, a.index) == -1 ? -1 : 0;
   }},
  {C::kCreateRevolution, "Revolution", "Surface of Revolution ...", "",
   "Create Surface of Revolution", kStep, kNoArgs, 0, 0,
   [](S& s, const Args&) {
     if (Create(s, CreateRevolution) != 0) return -1;
     OpenSurfEditor(s.profiles().surf, s.doc().scene, s.doc().scene.selectedGroup);
     PanelChanged(s);
     return 0;
   }},
  {C::kCreateExtrusion, "Extrusion", "Extrusion ...", "", "Create Extrusion", kStep, kNoArgs, 0, 0,
   [](S& s, const Args&) {
     if (Create(s, CreateExtrusion) != 0) return -1;
     OpenExtEditor(s.profiles().ext, s.doc().scene, s.doc().scene.selectedGroup);
     PanelChanged(s);
     return 0;
   }},
  // note: text that is no number keeps the size, where the other fields
  // count it as 0: a size of 0 would flatten the primitive for good
  {C::kCreateSize, "Size", "", "", "Size", kGesture, kField, 3, 0,
   [](S& s, const Args& a) {
     const std::optional<float> value = ParseSize(a.text);
     return Result(value && SetCreateField(s.layer(), a.index, *value));
   }},
  {C::kModifyResolution, "EditResolution", "Edit Resolution", "", "Modify Resolution", kStep,
   kNumbers, 0, 0,
   [](S& s, const Args& a) {
     std::array<int, kMaxResolutionParams> values = a.numbers;
     return Result(SetCreateResolutions(s.layer(), values));
   }},
  {C::kEditGeometry, "EditGeometry", "Edit Geometry", "", nullptr, kNone, kNoArgs, 0, 0,
   [](S& s, const Args&) { return Result(OpenProfileEditor(s)); }},
  // Profile editors
  {C::kExtNew, "ExtNew", "New", "", "New Profile", kStep, kNoArgs, 0, 0, &Profile<C::kExtNew>},
  {C::kExtOpen, "ExtOpen", "Open ...", "", "Open Profile", kStep, kPath, 0, 0,
   &Profile<C::kExtOpen>},
  {C::kExtSave, "ExtSave", "Save", "", nullptr, kNone, kNoArgs, 0, 0, &Profile<C::kExtSave>},
  {C::kExtSaveAs, "ExtSaveAs", "Save As ...", "", nullptr, kNone, kPath, 0, 0,
   &Profile<C::kExtSaveAs>},
  {C::kSurfNew, "SurfNew", "New", "", "New Profile", kStep, kNoArgs, 0, 0, &Profile<C::kSurfNew>},
  {C::kSurfOpen, "SurfOpen", "Open ...", "", "Open Profile", kStep, kPath, 0, 0,
   &Profile<C::kSurfOpen>},
  {C::kSurfSave, "SurfSave", "Save Profile", "", nullptr, kNone, kNoArgs, 0, 0,
   &Profile<C::kSurfSave>},
  {C::kSurfSaveAs, "SurfSaveAs", "Save Profile As ...", "", nullptr, kNone, kPath, 0, 0,
   &Profile<C::kSurfSaveAs>},
  {C::kProfileCut, "CutPoints", "Cu&t Selected Points", "", "Cut Selected Points", kStep,
   kIndex, 2, 0, &Profile<C::kProfileCut>},
  {C::kProfileAddPoint, "AddPoint", "Add Point Between Two Selected Points", "", "Add Point",
   kStep, kIndex, 2, 0, &Profile<C::kProfileAddPoint>},
  {C::kProfileSelectAll, "SelectAllPoints", "&Select All", "", nullptr, kNone, kIndex, 2, 0,
   &Profile<C::kProfileSelectAll>},
  {C::kProfileDeselectAll, "DeselectAllPoints", "&Deselect All", "", nullptr, kNone, kIndex, 2, 0,
   &Profile<C::kProfileDeselectAll>},
  {C::kProfileCorner, "Corner", "Current Point is a Corner", "", "Corner", kStep, kIndex, 2, 0,
   &Profile<C::kProfileCorner>},
  {C::kProfileAddHole, "AddHole", "Add Hole", "", "Add Hole", kStep, kNoArgs, 0, 0,
   &Profile<C::kProfileAddHole>},
  {C::kProfileRemoveHole, "RemoveHole", "Remove Hole", "", "Remove Hole", kStep, kNoArgs, 0, 0,
   &Profile<C::kProfileRemoveHole>},
  {C::kProfileBevel, "Bevel", "", "", "Bevel", kStep, kIndex, 2, 0, &Profile<C::kProfileBevel>},
  {C::kProfileCaps, "CapEnds", "Cap Ends of Surface", "", "Cap Ends", kStep, kNoArgs, 0, 0,
   &Profile<C::kProfileCaps>},
  {C::kProfileField, "ProfileField", "", "", "Profile Value", kGesture, kField,
   kProfileFieldCount, 0, &Profile<C::kProfileField>},
  {C::kProfileDrag, "MovePoints", "", "", "Move Points", kGesture, kNoArgs, 0, 0, nullptr},
};
// clang-format on

static_assert(std::size(kCommands) == kCommandCount, "every command has one entry");

constexpr bool InIdOrder() {
  for (int i = 0; i < kCommandCount; ++i)
    if (static_cast<int>(kCommands[i].id) != i) return false;
  return true;
}
static_assert(InIdOrder(), "the table is in the order of CommandId");

}  // namespace

const CommandInfo& Info(CommandId id) {
  const int i = static_cast<int>(id);
  assert(i >= 0 && i < kCommandCount);
  return kCommands[i];
}

std::span<const CommandInfo> AllCommands() {
  return kCommands;
}

std::string StepName(CommandId id, const CommandArgs& args) {
  const CommandInfo& info = Info(id);
  std::string name = info.stepName ? info.stepName : info.name;
  if (id == CommandId::kAppend && !args.text.empty()) {
    name += ' ';
    name += BaseName(args.text);
  }
  return name;
}

CommandId CommandOf(KeyRangeCommand command) {
  switch (command) {
    case KeyRangeCommand::kRemoveOwnerKeys:
      return CommandId::kRemoveKeyInfo;
    case KeyRangeCommand::kCopyKeyToRange:
      return CommandId::kCopyKeyToRange;
    case KeyRangeCommand::kCopyRangeToRange:
      return CommandId::kCopyRangeToRange;
    case KeyRangeCommand::kScaleRange:
      break;
  }
  return CommandId::kScaleRange;
}

CommandArgs ArgsOf(const KeyRangeRequest& request) {
  CommandArgs args;
  args.numbers = {static_cast<int>(request.owner), request.a, request.b, request.c};
  return args;
}

bool CommandEnabled(const EditSession& session, CommandId id) {
  const Document& doc = session.doc();
  const Scene& s = doc.scene;
  const bool current = IsLiveGroup(s, s.selectedGroup);
  switch (id) {
    case CommandId::kUndo:
      return session.CanUndo();
    case CommandId::kRedo:
      return session.CanRedo();
    case CommandId::kCut:
    case CommandId::kCopy:
    case CommandId::kGroup:
    case CommandId::kUngroup:
    case CommandId::kReverseNormals:
    case CommandId::kDrawNormal:
    case CommandId::kDrawAsBox:
      return current;
    case CommandId::kPaste:
      return !s.clipboard.Empty();
    case CommandId::kPlay:
      return !s.anim.playing;
    case CommandId::kStop:
      return s.anim.playing;
    case CommandId::kEditGeometry:
      return current && (s.groups[s.selectedGroup].kind == kKindExtrusion ||
                         s.groups[s.selectedGroup].kind == kKindRevolution);
    default:
      if (id >= CommandId::kExtNew) return ProfileCommandEnabled(session, id);
      return true;
  }
}

bool CommandChecked(const EditSession& session, CommandId id) {
  const Document& doc = session.doc();
  const DisplayState& d = doc.display;
  const Scene& s = doc.scene;
  switch (id) {
    case CommandId::kWireFrame:
      return d.displayMode == 0;
    case CommandId::kSolid:
      return d.displayMode == 1;
    case CommandId::kTextured:
      return d.displayMode == 2;
    case CommandId::kShowNormals:
      return d.showNormals;
    case CommandId::kHideNormals:
      return !d.showNormals;
    case CommandId::kShowEnabledOnly:
      return !d.disabledDisplay;
    case CommandId::kShowDisabled:
      return d.disabledDisplay;
    case CommandId::kDrawAsBox:
      return IsLiveGroup(s, s.selectedGroup) && (s.groups[s.selectedGroup].flags & drawAsBox);
    case CommandId::kDrawNormal:
      return !(IsLiveGroup(s, s.selectedGroup) && (s.groups[s.selectedGroup].flags & drawAsBox));
    default:
      return false;
  }
}

}  // namespace modra
