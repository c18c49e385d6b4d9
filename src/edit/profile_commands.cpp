#include "edit/profile_commands.h"

#include <algorithm>
#include <cmath>

#include "edit/edit_session.h"
#include "profile/profile_editors.h"
#include "profile/profile_fields.h"

namespace modra {
namespace {

constexpr ProfileEditorKind kExtKind = ProfileEditorKind::kExtrusion;

// The editor's own state (selection, current point, file name) changed:
// its window shows it again.
void EditorChanged(EditSession& s) {
  NotifyChanged(s.doc(), kPanelChanged);
}

// fn(editor, scene) -> result changes the edited group through the edit
// layer: one step, the modified flag and the notice when the group
// changed. -1 when the editor is closed or fn failed.
template <class Editor, class Fn>
int EditGroup(EditSession& s, CommandId id, Editor& ed, Fn&& fn) {
  if (ed.group < 0) return -1;
  int result = -1;
  s.layer().EditOwner(id, ed.group, {}, [&](Scene& scene) { result = fn(ed, scene); });
  EditorChanged(s);
  return result < 0 ? -1 : 0;
}

template <class Fn>
int OnExt(EditSession& s, CommandId id, Fn&& fn) {
  return EditGroup(s, id, s.profiles().ext, fn);
}
template <class Fn>
int OnSurf(EditSession& s, CommandId id, Fn&& fn) {
  return EditGroup(s, id, s.profiles().surf, fn);
}
// Index 0 runs ext(editor, scene) on the extrusion editor, 1 surf on the
// surface editor.
template <class ExtFn, class SurfFn>
int OnEither(EditSession& s, CommandId id, int index, ExtFn&& ext, SurfFn&& surf) {
  if (index == 0) return OnExt(s, id, ext);
  if (index == 1) return OnSurf(s, id, surf);
  return -1;
}

int Marked(bool marked) {
  return marked ? -1 : 0;
}
int Marked(const std::optional<FieldRead<float>>& read) {
  return read && !read->marked ? 0 : -1;
}

int RunField(EditSession& s, const CommandArgs& a) {
  const std::string& t = a.text;
  const auto ext = [&](auto fn) { return OnExt(s, CommandId::kProfileField, fn); };
  const auto surf = [&](auto fn) { return OnSurf(s, CommandId::kProfileField, fn); };
  switch (static_cast<ProfileField>(a.index)) {
    case ProfileField::kDepth:
      return ext([&](ExtEditor& e, Scene& sc) { return Marked(ExtDepthField(e, sc, t).marked); });
    case ProfileField::kBevelSize:
      return ext(
          [&](ExtEditor& e, Scene& sc) { return Marked(ExtBevelSizeField(e, sc, t).marked); });
    case ProfileField::kExtPointX:
    case ProfileField::kExtPointY: {
      const int axis = a.index - static_cast<int>(ProfileField::kExtPointX);
      return ext([&](ExtEditor& e, Scene& sc) { return Marked(ExtPointField(e, sc, axis, t)); });
    }
    case ProfileField::kDegrees:
      return surf(
          [&](SurfEditor& e, Scene& sc) { return Marked(SurfDegreesField(e, sc, t).marked); });
    case ProfileField::kSteps:
      return surf(
          [&](SurfEditor& e, Scene& sc) { return Marked(SurfStepsField(e, sc, t).marked); });
    case ProfileField::kDeltaY:
      return surf(
          [&](SurfEditor& e, Scene& sc) { return Marked(SurfDeltaYField(e, sc, t).marked); });
    case ProfileField::kRadiusScale:
      return surf(
          [&](SurfEditor& e, Scene& sc) { return Marked(SurfRadiusScaleField(e, sc, t).marked); });
    case ProfileField::kSurfPointX:
    case ProfileField::kSurfPointY: {
      const int axis = a.index - static_cast<int>(ProfileField::kSurfPointX);
      return surf([&](SurfEditor& e, Scene& sc) { return Marked(SurfPointField(e, sc, axis, t)); });
    }
  }
  return -1;
}

}  // namespace

bool OpenProfileEditor(EditSession& s) {
  const Scene& scene = s.doc().scene;
  const bool opened = OpenExtEditor(s.profiles().ext, scene, scene.selectedGroup) ||
                      OpenSurfEditor(s.profiles().surf, scene, scene.selectedGroup);
  if (opened) EditorChanged(s);
  return opened;
}

int RunProfileCommand(EditSession& s, CommandId id, const CommandArgs& a) {
  ProfileEditors& editors = s.profiles();
  Shell& shell = *s.doc().shell;
  using C = CommandId;
  switch (id) {
    case C::kExtNew:
      return OnExt(s, id, [](ExtEditor& e, Scene& sc) { return ExtNew(e, sc), 0; });
    case C::kExtOpen:
      return OnExt(s, id, [&](ExtEditor& e, Scene& sc) { return ExtOpen(e, sc, a.text, shell); });
    case C::kExtSave:
      if (!ExtEditorOpen(editors)) return -1;
      return ExtSave(editors.ext, shell);
    case C::kExtSaveAs: {
      if (!ExtEditorOpen(editors) || a.text.empty()) return -1;
      const int result = ExtSaveAs(editors.ext, a.text, shell);
      EditorChanged(s);  // the name it now saves under
      return result;
    }
    case C::kSurfNew:
      return OnSurf(s, id, [](SurfEditor& e, Scene& sc) { return SurfNew(e, sc), 0; });
    case C::kSurfOpen:
      return OnSurf(s, id,
                    [&](SurfEditor& e, Scene& sc) { return SurfOpen(e, sc, a.text, shell); });
    case C::kSurfSave:
      if (!SurfEditorOpen(editors)) return -1;
      return SurfSave(editors.surf, shell);
    case C::kSurfSaveAs: {
      if (!SurfEditorOpen(editors) || a.text.empty()) return -1;
      const int result = SurfSaveAs(editors.surf, a.text, shell);
      EditorChanged(s);  // the name it now saves under
      return result;
    }
    case C::kProfileCut:
      return OnEither(
          s, id, a.index, [](ExtEditor& e, Scene& sc) { return ExtCutPoints(e, sc), 0; },
          [](SurfEditor& e, Scene& sc) { return SurfCutPoints(e, sc), 0; });
    case C::kProfileAddPoint:
      return OnEither(
          s, id, a.index, [&](ExtEditor& e, Scene& sc) { return ExtAddPoint(e, sc, shell); },
          [&](SurfEditor& e, Scene& sc) { return SurfAddPoint(e, sc, shell); });
    case C::kProfileSelectAll:
    case C::kProfileDeselectAll: {
      const bool all = id == C::kProfileSelectAll;
      if (a.index == 0 && ExtEditorOpen(editors)) {
        all ? ExtSelectAll(editors.ext) : ExtDeselectAll(editors.ext);
      } else if (a.index == 1 && SurfEditorOpen(editors)) {
        all ? SurfSelectAll(editors.surf) : SurfDeselectAll(editors.surf);
      } else {
        return -1;
      }
      EditorChanged(s);
      return 0;
    }
    case C::kProfileCorner:
      return OnEither(
          s, id, a.index, [](ExtEditor& e, Scene& sc) { return ExtToggleCorner(e, sc) ? 0 : -1; },
          [](SurfEditor& e, Scene& sc) { return SurfToggleCorner(e, sc) ? 0 : -1; });
    case C::kProfileAddHole:
      return OnExt(s, id, [&](ExtEditor& e, Scene& sc) { return ExtAddHole(e, sc, shell); });
    case C::kProfileRemoveHole:
      return OnExt(s, id, [&](ExtEditor& e, Scene& sc) { return ExtRemoveHole(e, sc, shell); });
    case C::kProfileBevel:
      if (a.index != 0 && a.index != 1) return -1;
      return OnExt(s, id, [&](ExtEditor& e, Scene& sc) {
        return ExtToggleBevel(e, sc, a.index == 0 ? kBevelFront : kBevelBack), 0;
      });
    case C::kProfileCaps:
      return OnSurf(s, id, [](SurfEditor& e, Scene& sc) { return SurfToggleCaps(e, sc), 0; });
    case C::kProfileField:
      return RunField(s, a);
    default:
      return -1;
  }
}

bool ProfileCommandEnabled(const EditSession& s, CommandId id) {
  const ProfileEditors& editors = s.profiles();
  using C = CommandId;
  switch (id) {
    case C::kExtNew:
    case C::kExtOpen:
    case C::kExtSave:
    case C::kExtSaveAs:
    case C::kProfileAddHole:
    case C::kProfileRemoveHole:
    case C::kProfileBevel:
      return ExtEditorOpen(editors);
    case C::kSurfNew:
    case C::kSurfOpen:
    case C::kSurfSave:
    case C::kSurfSaveAs:
    case C::kProfileCaps:
      return SurfEditorOpen(editors);
    default:
      return ExtEditorOpen(editors) || SurfEditorOpen(editors);
  }
}

std::optional<float> ProfileFieldValue(const EditSession& s, int index) {
  const ProfileEditors& editors = s.profiles();
  const ExtEditor& ext = editors.ext;
  const SurfEditor& surf = editors.surf;
  const bool extOpen = ExtEditorOpen(editors), surfOpen = SurfEditorOpen(editors);
  const auto point = [](const std::vector<float>& points, int current,
                        int axis) -> std::optional<float> {
    if (current < 0 || 2 * static_cast<size_t>(current) + 1 >= points.size()) return std::nullopt;
    return points[2 * static_cast<size_t>(current) + static_cast<size_t>(axis)];
  };
  switch (static_cast<ProfileField>(index)) {
    case ProfileField::kDepth:
      return extOpen ? std::optional(ext.profile.depth) : std::nullopt;
    case ProfileField::kBevelSize:
      return extOpen ? std::optional(ext.profile.bevelSize) : std::nullopt;
    case ProfileField::kExtPointX:
    case ProfileField::kExtPointY:
      if (!extOpen) return std::nullopt;
      return point(ext.profile.points, ext.current,
                   index - static_cast<int>(ProfileField::kExtPointX));
    case ProfileField::kDegrees:
      return surfOpen ? std::optional(surf.params.degrees) : std::nullopt;
    case ProfileField::kSteps:
      return surfOpen ? std::optional(static_cast<float>(surf.params.steps)) : std::nullopt;
    case ProfileField::kDeltaY:
      return surfOpen ? std::optional(surf.params.deltaY) : std::nullopt;
    case ProfileField::kRadiusScale:
      return surfOpen ? std::optional(surf.params.radiusScale) : std::nullopt;
    case ProfileField::kSurfPointX:
    case ProfileField::kSurfPointY:
      if (!surfOpen) return std::nullopt;
      return point(surf.profile.points, surf.profile.current,
                   index - static_cast<int>(ProfileField::kSurfPointX));
  }
  return std::nullopt;
}

namespace {

std::string FieldTextOf(int index, float value) {
  switch (static_cast<ProfileField>(index)) {
    case ProfileField::kDepth:
      return NumberFieldText(value, kDepthDecimals);
    case ProfileField::kBevelSize:
      return NumberFieldText(value, kBevelSizeDecimals);
    case ProfileField::kDegrees:
      return NumberFieldText(value, kDegreesDecimals);
    case ProfileField::kSteps:
      return StepsFieldText(static_cast<int>(std::lround(value)));
    case ProfileField::kDeltaY:
      return NumberFieldText(value, kDeltaYDecimals);
    case ProfileField::kRadiusScale:
      return NumberFieldText(value, kRadiusScaleDecimals);
    default:
      return NumberFieldText(value, kPointDecimals);
  }
}

}  // namespace

std::optional<float> ProfileFieldReading(int index, std::string_view text) {
  switch (static_cast<ProfileField>(index)) {
    case ProfileField::kSteps: {
      const FieldRead<int> read = ReadStepsField(text, 0);
      if (read.marked) return std::nullopt;
      return static_cast<float>(read.value);
    }
    case ProfileField::kSurfPointX: {
      const FieldRead<float> read = ReadNumberField(text, 0);
      if (read.marked) return std::nullopt;
      return std::max(read.value, 0.0f);
    }
    default: {
      const FieldRead<float> read = ReadNumberField(text, 0);
      if (read.marked) return std::nullopt;
      return read.value;
    }
  }
}

std::string ProfileFieldText(const EditSession& s, int index) {
  const std::optional<float> value = ProfileFieldValue(s, index);
  return value ? FieldTextOf(index, *value) : std::string();
}

unsigned ProfilePress(EditSession& s, ProfileEditorKind kind, float windowX, float windowY,
                      PaneButton button, bool ctrl) {
  ProfileEditors& editors = s.profiles();
  s.EndGesture();
  unsigned change = kPaneNothing;
  bool drag = false;
  if (kind == kExtKind && ExtEditorOpen(editors)) {
    change = ExtPress(editors.ext, windowX, windowY, button, ctrl);
    drag = editors.ext.gesture.kind == PaneGesture::Kind::kDrag;
  } else if (kind != kExtKind && SurfEditorOpen(editors)) {
    change = SurfPress(editors.surf, windowX, windowY, button, ctrl);
    drag = editors.surf.gesture.kind == PaneGesture::Kind::kDrag;
  }
  if (drag) s.BeginGesture();
  if (change) EditorChanged(s);
  return change;
}

unsigned ProfileMove(EditSession& s, ProfileEditorKind kind, float windowX, float windowY) {
  ProfileEditors& editors = s.profiles();
  unsigned change = kPaneNothing;
  const auto move = [&](auto& ed, auto step) {
    if (ed.group < 0) return;
    if (ed.gesture.kind == PaneGesture::Kind::kDrag) {
      s.layer().EditOwner(CommandId::kProfileDrag, ed.group, {},
                          [&](Scene& sc) { change = step(ed, sc, windowX, windowY); });
    } else {
      // A rubber band selects without changing the document.
      change = step(ed, s.doc().scene, windowX, windowY);
    }
  };
  if (kind == kExtKind)
    move(editors.ext, ExtMove);
  else
    move(editors.surf, SurfMove);
  if (change) EditorChanged(s);
  return change;
}

unsigned ProfileRelease(EditSession& s, ProfileEditorKind kind) {
  ProfileEditors& editors = s.profiles();
  unsigned change = kPaneNothing;
  if (kind == kExtKind && ExtEditorOpen(editors))
    change = ExtRelease(editors.ext);
  else if (kind != kExtKind && SurfEditorOpen(editors))
    change = SurfRelease(editors.surf);
  s.EndGesture();
  if (change) EditorChanged(s);
  return change;
}

namespace {

template <class Fn>
void OnPane(EditSession& s, ProfileEditorKind kind, Fn&& fn) {
  ProfileEditors& editors = s.profiles();
  if (kind == kExtKind && ExtEditorOpen(editors))
    fn(editors.ext);
  else if (kind != kExtKind && SurfEditorOpen(editors))
    fn(editors.surf);
  else
    return;
  EditorChanged(s);
}

}  // namespace

void ZoomProfilePane(EditSession& s, ProfileEditorKind kind, float windowX, float windowY,
                     float notches) {
  if (notches == 0 || !std::isfinite(notches)) return;
  OnPane(s, kind, [&](auto& ed) {
    ZoomPaneView(ed.view, WindowToProfile(kind, windowX, windowY),
                 std::pow(kPaneZoomPerNotch, notches));
  });
}

void PanProfilePane(EditSession& s, ProfileEditorKind kind, float dx, float dy) {
  const PanePoint to = WindowToProfile(kind, dx, dy), from = WindowToProfile(kind, 0, 0);
  OnPane(s, kind, [&](auto& ed) { PanPaneView(ed.view, to.x - from.x, to.y - from.y); });
}

void FitProfilePane(EditSession& s, ProfileEditorKind kind) {
  OnPane(s, kind, [&](auto& ed) {
    ed.view = FitPaneView(kind, ed.profile.points.data(), ed.profile.corners.size());
  });
}

void SetProfileSnap(EditSession& s, ProfileEditorKind kind, bool on) {
  OnPane(s, kind, [&](auto& ed) { ed.snap = on; });
}

bool ProfileSnap(const EditSession& s, ProfileEditorKind kind) {
  const ProfileEditors& editors = s.profiles();
  return kind == kExtKind ? editors.ext.snap : editors.surf.snap;
}

float ProfileFieldDragRate(ProfileField field) {
  switch (field) {
    case ProfileField::kBevelSize:
      return 0.05f;
    case ProfileField::kDegrees:
      return 180;
    case ProfileField::kSteps:
      return 30;
    default:  // depth, delta-Y, radius scale and the points, in scene units
      return 1;
  }
}

int DragProfileField(EditSession& s, ProfileField field, float start, float dx) {
  const int index = static_cast<int>(field);
  if (!ProfileFieldValue(s, index)) return -1;
  CommandArgs args;
  args.index = index;
  args.text = FieldTextOf(index, start + dx * ProfileFieldDragRate(field));
  return s.Run(CommandId::kProfileField, args);
}

void CloseProfileEditor(EditSession& s, ProfileEditorKind kind) {
  ProfileEditors& editors = s.profiles();
  const bool open = kind == kExtKind ? ExtEditorOpen(editors) : SurfEditorOpen(editors);
  if (!open) return;
  s.EndGesture();
  if (kind == kExtKind)
    editors.ext = ExtEditor{};
  else
    editors.surf = SurfEditor{};
  EditorChanged(s);
}

}  // namespace modra
