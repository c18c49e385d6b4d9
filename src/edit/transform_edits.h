// The arithmetic of the five transform panels (translation, rotation,
// scale, centre, centre rotation): typed values and mouse drags become
// per-axis differences that every selected group receives through the
// edit layer. The Qt panels only read and show fields and call these.
#pragma once

#include <array>

#include "edit/edit_layer.h"
#include "scene/display_group.h"
#include "view/edit_mode.h"

namespace modra {

enum class TransformPanel { kTranslation, kRotation, kScale, kCenter, kCenterRotation };

struct TransformPanelInfo {
  TransformPanel panel;
  const char* title;                 // the panel's caption
  CommandId command;                 // the edit, which names its undo step
  const char* field;                 // the group field it shows
  std::array<const char*, 3> locks;  // lock box labels, x y z
  int keyKind;                       // the kind its own field is keyed with
};

const TransformPanelInfo& PanelInfo(TransformPanel panel);
// The transform panel of an edit mode; false for the modes without one.
bool TransformPanelOfMode(EditMode mode, TransformPanel* panel);

// The value the panel shows for group g.
Vec3 PanelValue(const Scene& s, int g, TransformPanel panel);

using AxisLocks = std::array<bool, 3>;

// A drag's change with each locked axis set to 0, in the panel's own mode
// only: a drag that reaches the panel from a modifier shortcut in another
// mode ignores the boxes.
Vec3 LockedChange(const Vec3& d, const AxisLocks& locks, bool ownMode);

// Adds d to the panel's field of every selected group (the centre panels
// through the centre adjustment). false, and nothing changed, when d is 0
// on every axis or no group is selected.
bool ApplyTransformChange(EditLayer& layer, TransformPanel panel, const Vec3& d);

// Values typed for the current group: their difference from the current
// group's value goes to every selected group. false without a current group.
bool ApplyTypedValues(EditLayer& layer, TransformPanel panel, const Vec3& typed);
// One field typed: the other two axes keep the current group's exact values,
// so they move no group.
bool SetTransformField(EditLayer& layer, TransformPanel panel, int axis, float value);

// The mouse's entry point (AdjustTarget::Adjust).
bool AdjustTransform(EditLayer& layer, TransformPanel panel, const Vec3& d, bool ownMode,
                     const AxisLocks& locks);

// Moves the centre of every selected group, or turns its centre rotation,
// leaving each group where it is drawn. With dCenter all 0 the centre
// rotation turns by dRotation (keyed 12, 0, 1); otherwise the centre moves
// by dCenter (keyed 13, 1) and dRotation is not used.
bool AdjustCenter(EditLayer& layer, const Vec3& dRotation, const Vec3& dCenter);

// The per-group halves of AdjustCenter, without keys or notices. Each
// rebuilds the group's matrix.
void TurnCenterKeepingPlace(Scene& s, int g, const Vec3& dRotation);
void MoveCenterKeepingPlace(Scene& s, int g, const Vec3& dCenter);

}  // namespace modra
