#include "profile/surf_editor.h"

#include <algorithm>

#include "geometry/revolution_profile.h"
#include "geometry/surf_file.h"

namespace modra {
namespace {

constexpr ProfileEditorKind kKind = ProfileEditorKind::kSurface;

bool Edits(const SurfEditor& ed, const Scene& s) {
  RevolutionParams unused;
  return GetRevolutionParams(s, ed.group, unused);
}

FieldRead<float> SweepField(SurfEditor& ed, Scene& s, std::string_view text, float& value) {
  const FieldRead<float> read = ReadNumberField(text, value);
  if (!read.marked) {
    value = read.value;
    ApplySurfEditor(ed, s);
  }
  return read;
}

}  // namespace

ProfilePoints EditedPoints(SurfEditor& ed) {
  return {ed.profile.points, ed.profile.corners, ed.profile.selected, ed.profile.current};
}

SurfControls SurfControlValues(const SurfEditor& ed) {
  const RevolutionProfile& p = ed.profile;
  const PointFieldTexts point = PointFields(p.points.data(), p.corners.size(), p.current);
  SurfControls c;
  c.degrees = NumberFieldText(ed.params.degrees, kDegreesDecimals);
  c.steps = StepsFieldText(ed.params.steps);
  c.deltaY = NumberFieldText(ed.params.deltaY, kDeltaYDecimals);
  c.radiusScale = NumberFieldText(ed.params.radiusScale, kRadiusScaleDecimals);
  c.pointX = point.x;
  c.pointY = point.y;
  c.corner = CurrentIsCorner(p.corners, p.current);
  c.caps = (p.flags & kCapEnds) != 0;
  return c;
}

bool OpenSurfEditor(SurfEditor& ed, const Scene& s, int g) {
  RevolutionProfile profile;
  RevolutionParams params;
  if (!GetRevolutionProfile(s, g, profile) || !GetRevolutionParams(s, g, params)) return false;
  ed.group = g;
  ed.profile = std::move(profile);
  ed.params = params;
  ed.gesture = {};
  return true;
}

void ApplySurfEditor(SurfEditor& ed, Scene& s) {
  if (!Edits(ed, s)) return;
  SetRevolutionParams(s, ed.group, ed.params);
  ApplyRevolution(s, ed.group, ed.profile);
}

void SurfNew(SurfEditor& ed, Scene& s) {
  ResetRevolution(ed.profile);
  ed.gesture = {};
  ed.fileName = kNewSurfName;
  ApplySurfEditor(ed, s);
}

int SurfOpen(SurfEditor& ed, Scene& s, const std::string& path, Shell& shell) {
  if (ReadSurfFile(ed.profile, path, shell) != 0) return -1;
  ed.gesture = {};
  ed.fileName = path;
  ApplySurfEditor(ed, s);
  return 0;
}

int SurfSave(SurfEditor& ed, Shell& shell) {
  return WriteSurfFile(ed.profile, ed.fileName, shell);
}

int SurfSaveAs(SurfEditor& ed, std::string_view chosen, Shell& shell) {
  const std::string name = ProfileSaveAsName(kKind, chosen);
  if (WriteSurfFile(ed.profile, name, shell) != 0) return -1;
  ed.fileName = name;
  return 0;
}

void SurfCutPoints(SurfEditor& ed, Scene& s) {
  CutRevolutionPoints(ed.profile);
  ApplySurfEditor(ed, s);
}

int SurfAddPoint(SurfEditor& ed, Scene& s, Shell& shell) {
  const int added = AddRevolutionPoint(ed.profile, shell);
  if (added < 0) return -1;
  ApplySurfEditor(ed, s);
  return added;
}

void SurfSelectAll(SurfEditor& ed) {
  SelectAllPoints(EditedPoints(ed));
}

void SurfDeselectAll(SurfEditor& ed) {
  DeselectAllPoints(EditedPoints(ed));
}

bool SurfToggleCorner(SurfEditor& ed, Scene& s) {
  if (!ToggleCornerOfSelected(EditedPoints(ed))) return false;
  ApplySurfEditor(ed, s);
  return true;
}

void SurfToggleCaps(SurfEditor& ed, Scene& s) {
  ed.profile.flags ^= kCapEnds;
  ApplySurfEditor(ed, s);
}

FieldRead<float> SurfDegreesField(SurfEditor& ed, Scene& s, std::string_view text) {
  return SweepField(ed, s, text, ed.params.degrees);
}

FieldRead<int> SurfStepsField(SurfEditor& ed, Scene& s, std::string_view text) {
  const FieldRead<int> read = ReadStepsField(text, ed.params.steps);
  if (!read.marked) {
    ed.params.steps = read.value;
    ApplySurfEditor(ed, s);
  }
  return read;
}

FieldRead<float> SurfDeltaYField(SurfEditor& ed, Scene& s, std::string_view text) {
  return SweepField(ed, s, text, ed.params.deltaY);
}

FieldRead<float> SurfRadiusScaleField(SurfEditor& ed, Scene& s, std::string_view text) {
  return SweepField(ed, s, text, ed.params.radiusScale);
}

std::optional<FieldRead<float>> SurfPointField(SurfEditor& ed, Scene& s, int axis,
                                               std::string_view text) {
  const int current = ed.profile.current;
  if (current < 0 || static_cast<size_t>(current) >= ed.profile.corners.size() ||
      (axis != 0 && axis != 1))
    return std::nullopt;
  float& coordinate = ed.profile.points[2 * current + axis];
  FieldRead<float> read = ReadNumberField(text, coordinate);
  if (read.marked) return read;
  if (axis == 0) read.value = std::max(read.value, 0.0f);
  coordinate = read.value;
  ApplySurfEditor(ed, s);
  return read;
}

unsigned SurfPress(SurfEditor& ed, float windowX, float windowY, PaneButton button, bool ctrl) {
  if (!InProfilePane(kKind, windowX)) return kPaneNothing;
  // The hit size stays the same on the screen whatever the zoom.
  return PressProfilePane(EditedPoints(ed), ed.gesture,
                          PanePointAt(kKind, ed.view, windowX, windowY), button, ctrl,
                          kSurfaceHitSize / ed.view.scale);
}

unsigned SurfMove(SurfEditor& ed, Scene& s, float windowX, float windowY) {
  const unsigned change =
      MoveProfilePane(EditedPoints(ed), ed.gesture, PanePointAt(kKind, ed.view, windowX, windowY),
                      0.0f, ed.snap ? kPaneSnapStep : 0);
  if (change & kPanePoints) ApplySurfEditor(ed, s);
  return change;
}

unsigned SurfRelease(SurfEditor& ed) {
  return ReleaseProfilePane(EditedPoints(ed), ed.gesture);
}

}  // namespace modra
