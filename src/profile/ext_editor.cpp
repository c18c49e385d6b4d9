#include "profile/ext_editor.h"

#include <limits>

#include "geometry/block_words.h"
#include "geometry/ext_file.h"
#include "geometry/extrusion_block.h"
#include "geometry/extrusion_profile.h"

namespace modra {
namespace {

constexpr ProfileEditorKind kKind = ProfileEditorKind::kExtrusion;

bool Edits(const ExtEditor& ed, const Scene& s) {
  ExtrusionBlock block;
  return IsLiveGroup(s, ed.group) && s.groups[ed.group].kind == kKindExtrusion &&
         ReadExtrusionBlock(s.groups[ed.group].generatorParams, block);
}

// Depth and bevel size live in the group's block, which the profile is
// applied with; the editor's copies are what a save writes.
void SetSizes(ExtEditor& ed, Scene& s, float depth, float bevelSize) {
  ed.profile.depth = depth;
  ed.profile.bevelSize = bevelSize;
  if (!Edits(ed, s)) return;
  uint8_t* block = s.groups[ed.group].generatorParams.data();
  SetBlockFloat(block, extrusion_word::kDepth, depth);
  SetBlockFloat(block, extrusion_word::kBevel, bevelSize);
  ApplyExtEditor(ed, s);
}

}  // namespace

ProfilePoints EditedPoints(ExtEditor& ed) {
  return {ed.profile.points, ed.profile.corners, ed.profile.selected, ed.current};
}

ExtControls ExtControlValues(const ExtEditor& ed) {
  const ExtrusionProfile& p = ed.profile;
  const PointFieldTexts point = PointFields(p.points.data(), p.corners.size(), ed.current);
  ExtControls c;
  c.depth = NumberFieldText(p.depth, kDepthDecimals);
  c.bevelSize = NumberFieldText(p.bevelSize, kBevelSizeDecimals);
  c.pointX = point.x;
  c.pointY = point.y;
  c.corner = CurrentIsCorner(p.corners, ed.current);
  c.front = (p.flags & kBevelFront) != 0;
  c.back = (p.flags & kBevelBack) != 0;
  return c;
}

bool OpenExtEditor(ExtEditor& ed, const Scene& s, int g) {
  ExtrusionProfile profile;
  if (!GetExtrusionProfile(s, g, profile)) return false;
  ed.group = g;
  ed.profile = std::move(profile);
  ed.current = -1;
  ed.gesture = {};
  return true;
}

void ApplyExtEditor(ExtEditor& ed, Scene& s) {
  if (Edits(ed, s)) ApplyProfile(s, ed.group, ed.profile);
}

void ExtNew(ExtEditor& ed, Scene& s) {
  ResetProfile(ed.profile);
  ed.current = -1;
  ed.gesture = {};
  ed.fileName = kNewExtName;
  ApplyExtEditor(ed, s);
}

int ExtOpen(ExtEditor& ed, Scene& s, const std::string& path, Shell& shell) {
  if (ReadExtFile(ed.profile, path, shell) != 0) return -1;
  ed.current = -1;
  ed.gesture = {};
  ed.fileName = path;
  SetSizes(ed, s, ed.profile.depth, ed.profile.bevelSize);
  return 0;
}

int ExtSave(ExtEditor& ed, Shell& shell) {
  return WriteExtFile(ed.profile, ed.fileName, shell);
}

int ExtSaveAs(ExtEditor& ed, std::string_view chosen, Shell& shell) {
  const std::string name = ProfileSaveAsName(kKind, chosen);
  if (WriteExtFile(ed.profile, name, shell) != 0) return -1;
  ed.fileName = name;
  return 0;
}

void ExtCutPoints(ExtEditor& ed, Scene& s) {
  CutProfilePoints(ed.profile);
  ed.current = -1;
  ApplyExtEditor(ed, s);
}

int ExtAddPoint(ExtEditor& ed, Scene& s, Shell& shell) {
  const int added = AddProfilePoint(ed.profile, shell);
  if (added < 0) return -1;
  ed.current = added;
  ApplyExtEditor(ed, s);
  return added;
}

int ExtAddHole(ExtEditor& ed, Scene& s, Shell& shell) {
  // The hole goes after every point, so the current point keeps its index.
  if (AddProfileHole(ed.profile, shell) != 0) return -1;
  ApplyExtEditor(ed, s);
  return 0;
}

int ExtRemoveHole(ExtEditor& ed, Scene& s, Shell& shell) {
  if (RemoveProfileHole(ed.profile, shell) != 0) return -1;
  ed.current = -1;
  ApplyExtEditor(ed, s);
  return 0;
}

void ExtSelectAll(ExtEditor& ed) {
  SelectAllPoints(EditedPoints(ed));
}

void ExtDeselectAll(ExtEditor& ed) {
  DeselectAllPoints(EditedPoints(ed));
}

bool ExtToggleCorner(ExtEditor& ed, Scene& s) {
  if (!ToggleCornerOfSelected(EditedPoints(ed))) return false;
  ApplyExtEditor(ed, s);
  return true;
}

void ExtToggleBevel(ExtEditor& ed, Scene& s, int32_t bevel) {
  ed.profile.flags ^= bevel & (kBevelFront | kBevelBack);
  ApplyExtEditor(ed, s);
}

FieldRead<float> ExtDepthField(ExtEditor& ed, Scene& s, std::string_view text) {
  const FieldRead<float> read = ReadNumberField(text, ed.profile.depth);
  if (!read.marked) SetSizes(ed, s, read.value, ed.profile.bevelSize);
  return read;
}

FieldRead<float> ExtBevelSizeField(ExtEditor& ed, Scene& s, std::string_view text) {
  const FieldRead<float> read = ReadNumberField(text, ed.profile.bevelSize);
  if (!read.marked) SetSizes(ed, s, ed.profile.depth, read.value);
  return read;
}

std::optional<FieldRead<float>> ExtPointField(ExtEditor& ed, Scene& s, int axis,
                                              std::string_view text) {
  if (ed.current < 0 || static_cast<size_t>(ed.current) >= ed.profile.corners.size() ||
      (axis != 0 && axis != 1))
    return std::nullopt;
  float& coordinate = ed.profile.points[2 * ed.current + axis];
  const FieldRead<float> read = ReadNumberField(text, coordinate);
  if (!read.marked) {
    coordinate = read.value;
    ApplyExtEditor(ed, s);
  }
  return read;
}

unsigned ExtPress(ExtEditor& ed, float windowX, float windowY, PaneButton button, bool ctrl) {
  if (!InProfilePane(kKind, windowX)) return kPaneNothing;
  // The hit size stays the same on the screen whatever the zoom.
  return PressProfilePane(EditedPoints(ed), ed.gesture,
                          PanePointAt(kKind, ed.view, windowX, windowY), button, ctrl,
                          kExtrusionHitSize / ed.view.scale);
}

unsigned ExtMove(ExtEditor& ed, Scene& s, float windowX, float windowY) {
  const unsigned change =
      MoveProfilePane(EditedPoints(ed), ed.gesture, PanePointAt(kKind, ed.view, windowX, windowY),
                      -std::numeric_limits<float>::infinity(), ed.snap ? kPaneSnapStep : 0);
  if (change & kPanePoints) ApplyExtEditor(ed, s);
  return change;
}

unsigned ExtRelease(ExtEditor& ed) {
  return ReleaseProfilePane(EditedPoints(ed), ed.gesture);
}

}  // namespace modra
