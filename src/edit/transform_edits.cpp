#include "edit/transform_edits.h"

#include <cassert>

#include "scene/group_fields.h"
#include "scene/key_store.h"
#include "scene/matrix.h"

namespace modra {
namespace {

constexpr TransformPanelInfo kPanels[] = {
    {TransformPanel::kTranslation,
     "Translate Selected Objects",
     CommandId::kTranslate,
     "translation",
     {"Lock X", "Lock Y", "Lock Z"},
     kKeyTranslation},
    {TransformPanel::kRotation,
     "Rotate Selected Objects",
     CommandId::kRotate,
     "rotation",
     {"Lock RX", "Lock RY", "Lock RZ"},
     kKeyRotation},
    {TransformPanel::kScale,
     "Scale Selected Objects",
     CommandId::kScale,
     "scale",
     {"Lock X", "Lock Y", "Lock Z"},
     kKeyScale},
    {TransformPanel::kCenter,
     "Center Translate",
     CommandId::kMoveCenter,
     "center",
     {"Lock X", "Lock Y", "Lock Z"},
     kKeyCenter},
    {TransformPanel::kCenterRotation,
     "Center of Rotation",
     CommandId::kRotateCenter,
     "centerRotation",
     {"Lock RX", "Lock RY", "Lock RZ"},
     kKeyCenterRotation},
};

bool IsZero(const Vec3& v) {
  return v[0] == 0 && v[1] == 0 && v[2] == 0;
}

// Double-precision 3x3 work for the centre adjustment: the group's matrix
// must come out unchanged, and float products lose more than it allows.
using M3 = std::array<std::array<double, 3>, 3>;

M3 Rotation3(const Vec3& angles) {
  const Mat4 m = RotationMatrix(angles);
  M3 r{};
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col)
      r[row][col] = m[col * 4 + row];
  return r;
}

M3 Mul(const M3& a, const M3& b) {
  M3 r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k)
        r[i][j] += a[i][k] * b[k][j];
  return r;
}

M3 Transposed(const M3& a) {
  M3 r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      r[i][j] = a[j][i];
  return r;
}

std::array<double, 3> Apply(const M3& m, const std::array<double, 3>& v) {
  std::array<double, 3> r{};
  for (int i = 0; i < 3; ++i)
    r[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
  return r;
}

}  // namespace

const TransformPanelInfo& PanelInfo(TransformPanel panel) {
  const auto& info = kPanels[static_cast<int>(panel)];
  assert(info.panel == panel);
  return info;
}

bool TransformPanelOfMode(EditMode mode, TransformPanel* panel) {
  switch (mode) {
    case EditMode::kTranslateObject:
      *panel = TransformPanel::kTranslation;
      return true;
    case EditMode::kRotateObject:
      *panel = TransformPanel::kRotation;
      return true;
    case EditMode::kScaleObject:
      *panel = TransformPanel::kScale;
      return true;
    case EditMode::kTranslateCenter:
      *panel = TransformPanel::kCenter;
      return true;
    case EditMode::kRotateCenter:
      *panel = TransformPanel::kCenterRotation;
      return true;
    default:
      return false;
  }
}

Vec3 PanelValue(const Scene& s, int g, TransformPanel panel) {
  const DisplayGroup& group = s.groups[g];
  switch (panel) {
    case TransformPanel::kTranslation:
      return group.translation;
    case TransformPanel::kRotation:
      return group.rotation;
    case TransformPanel::kScale:
      return group.scale;
    case TransformPanel::kCenter:
      return group.center;
    case TransformPanel::kCenterRotation:
      return group.centerRotation;
  }
  return {0, 0, 0};
}

Vec3 LockedChange(const Vec3& d, const AxisLocks& locks, bool ownMode) {
  Vec3 out = d;
  if (ownMode)
    for (int i = 0; i < 3; ++i)
      if (locks[i]) out[i] = 0;
  return out;
}

bool ApplyTransformChange(EditLayer& layer, TransformPanel panel, const Vec3& d) {
  if (IsZero(d)) return false;
  switch (panel) {
    case TransformPanel::kCenter:
      return AdjustCenter(layer, {0, 0, 0}, d);
    case TransformPanel::kCenterRotation:
      return AdjustCenter(layer, d, {0, 0, 0});
    default:
      break;
  }
  std::vector<int> groups = layer.SelectedGroups();
  if (groups.empty()) return false;
  const TransformPanelInfo& info = PanelInfo(panel);
  return layer.EditGroups(info.command, {info.keyKind}, groups, [&](Scene& s, int g) {
    if (panel == TransformPanel::kTranslation)
      AddTranslation(s, g, d[0], d[1], d[2]);
    else if (panel == TransformPanel::kRotation)
      AddRotation(s, g, d[0], d[1], d[2]);
    else
      AddScale(s, g, d[0], d[1], d[2]);
  });
}

bool ApplyTypedValues(EditLayer& layer, TransformPanel panel, const Vec3& typed) {
  const Scene& s = layer.document().scene;
  if (!IsLiveGroup(s, s.selectedGroup)) return false;
  const Vec3 now = PanelValue(s, s.selectedGroup, panel);
  return ApplyTransformChange(layer, panel,
                              {typed[0] - now[0], typed[1] - now[1], typed[2] - now[2]});
}

bool SetTransformField(EditLayer& layer, TransformPanel panel, int axis, float value) {
  const Scene& s = layer.document().scene;
  if (!IsLiveGroup(s, s.selectedGroup) || axis < 0 || axis > 2) return false;
  Vec3 typed = PanelValue(s, s.selectedGroup, panel);
  typed[axis] = value;
  return ApplyTypedValues(layer, panel, typed);
}

bool AdjustTransform(EditLayer& layer, TransformPanel panel, const Vec3& d, bool ownMode,
                     const AxisLocks& locks) {
  return ApplyTransformChange(layer, panel, LockedChange(d, locks, ownMode));
}

void TurnCenterKeepingPlace(Scene& s, int g, const Vec3& dRotation) {
  DisplayGroup& group = s.groups[g];
  const M3 oldTurn = Rotation3(group.centerRotation);
  AddCenterRotation(s, g, dRotation[0], dRotation[1], dRotation[2]);
  // Q = R(new)^-1 R(old) carries what the old centre rotation did into the
  // group's own rotation and translation: T(-c) Q T(t + c) R(rotation).
  const M3 q = Mul(Transposed(Rotation3(group.centerRotation)), oldTurn);
  const M3 turn = Mul(q, Rotation3(group.rotation));
  Mat4 turn4 = kIdentity;
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col)
      turn4[col * 4 + row] = static_cast<float>(turn[row][col]);
  group.rotation = AnglesFromRotation(turn4);
  const Vec3& t = group.translation;
  const Vec3& c = group.center;
  const auto moved = Apply(q, {double(t[0]) + c[0], double(t[1]) + c[1], double(t[2]) + c[2]});
  for (int i = 0; i < 3; ++i)
    group.translation[i] = static_cast<float>(moved[i] - c[i]);
  BuildGroupMatrix(s, g);
}

void MoveCenterKeepingPlace(Scene& s, int g, const Vec3& dCenter) {
  DisplayGroup& group = s.groups[g];
  AddCenter(s, g, dCenter[0], dCenter[1], dCenter[2]);
  // The translation part of T(t - dc) R S T(dc) S^-1 R^-1 is
  // t - dc + R S dc whatever S is, so a zero scale needs no special case:
  // the moved centre's image under R S is where the old one put it.
  const M3 r = Rotation3(group.rotation);
  const auto turned =
      Apply(r, {double(group.scale[0]) * dCenter[0], double(group.scale[1]) * dCenter[1],
                double(group.scale[2]) * dCenter[2]});
  for (int i = 0; i < 3; ++i)
    group.translation[i] =
        static_cast<float>(double(group.translation[i]) - dCenter[i] + turned[i]);
  BuildGroupMatrix(s, g);
}

bool AdjustCenter(EditLayer& layer, const Vec3& dRotation, const Vec3& dCenter) {
  std::vector<int> groups = layer.SelectedGroups();
  if (groups.empty()) return false;
  if (IsZero(dCenter)) {
    if (IsZero(dRotation)) return false;
    return layer.EditGroups(CommandId::kRotateCenter,
                            {kKeyCenterRotation, kKeyRotation, kKeyTranslation}, groups,
                            [&](Scene& s, int g) { TurnCenterKeepingPlace(s, g, dRotation); });
  }
  return layer.EditGroups(CommandId::kMoveCenter, {kKeyCenter, kKeyTranslation}, groups,
                          [&](Scene& s, int g) { MoveCenterKeepingPlace(s, g, dCenter); });
}

}  // namespace modra
