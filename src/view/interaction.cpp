#include "view/interaction.h"

#include "edit/create_edits.h"
#include "edit/edit_session.h"
#include "geometry/primitive_fields.h"

namespace modra {
namespace {

// How many leading floats of a generator's block are sizes a drag may
// change: width/height/depth, radii and lengths.
int SizeParamCount(int32_t kind) {
  switch (kind) {
    case kKindBlock:
    case kKindCone:
    case kKindRoundedCone:
      return 3;
    case kKindTube:
    case kKindCylinder:
    case kKindTorus:
    case kKindRectangle:
      return 2;
    case kKindSphere:
    case kKindSphere2:
      return 1;
    default:
      return 0;
  }
}

bool ValidLight(int index) {
  return index >= 0 && index < kLightCount;
}

}  // namespace

ViewPoint NormalizePoint(float px, float py, float w, float h) {
  ViewPoint p;
  p.x = w > 0 ? 2 * px / w - 1 : 0;
  p.y = h > 0 ? 1 - 2 * py / h : 0;
  return p;
}

int ModifierCode(bool ctrl, bool shift, bool zKey) {
  int code = (ctrl ? kCtrlBit : 0) | (shift ? kShiftBit : 0);
  if (code != 0 && zKey) code |= kZKeyBit;
  return code;
}

EditMode EffectiveMode(int code, EditMode current) {
  switch (code) {
    case kCtrlBit:
    case kCtrlBit | kZKeyBit:
      return EditMode::kSelection;
    case kShiftBit:
      return EditMode::kRotateView;
    case kShiftBit | kZKeyBit:
      return EditMode::kTranslateView;
    case kShiftBit | kCtrlBit:
      return EditMode::kTranslateObject;
    case kShiftBit | kCtrlBit | kZKeyBit:
      return EditMode::kRotateObject;
    default:
      return current;
  }
}

bool IsOwnMode(int code, EditMode current) {
  return EffectiveMode(code, current) == current;
}

ViewInteraction::ViewInteraction(EditSession& session) : session_(session), doc_(session.doc()) {}

PanelValues& ViewInteraction::Panels() {
  return session_.panels();
}

const PanelValues& ViewInteraction::Panels() const {
  return session_.panels();
}

void ViewInteraction::SetMode(EditMode mode) {
  if (!IsEditMode(static_cast<int>(mode)) || mode == mode_) return;
  mode_ = mode;
  StartPanelsAfresh(Panels(), doc_.scene);
  NotifyChanged(doc_, kPanelChanged);
}

void ViewInteraction::ButtonDown(MouseButton button, ViewPoint p, bool ctrl, bool shift,
                                 bool zKey) {
  // One undo step from the first press to the last release.
  if (!HoldsCapture()) session_.BeginGesture();
  bool left = button == MouseButton::kLeft;
  (left ? state_.leftDown : state_.rightDown) = true;
  state_.spinning = false;
  state_.modifierCode = ModifierCode(ctrl, shift, zKey);
  ButtonStep(left ? kLeftButton : kRightButton, p, state_.modifierCode);
}

void ViewInteraction::ButtonUp(MouseButton button, ViewPoint p) {
  if (!HoldsCapture()) return;
  (button == MouseButton::kLeft ? state_.leftDown : state_.rightDown) = false;
  const bool turnedView = EffectiveMode(state_.modifierCode, mode_) == EditMode::kRotateView;
  ButtonStep(kButtonUp, p, state_.modifierCode);
  // note: with the other button still down the moves carry the spin on
  const Vec3& rates = state_.spinRates;
  state_.spinning =
      turnedView && !HoldsCapture() && (rates[0] != 0 || rates[1] != 0 || rates[2] != 0);
  // note: a drag that goes on with the other button acts in the current
  // mode from here on
  state_.modifierCode = 0;
  if (!HoldsCapture()) session_.EndGesture();
}

void ViewInteraction::Move(ViewPoint p) {
  if (!HoldsCapture()) return;
  MotionStep(p);
  doc_.shell->RequestRedraw();
}

void ViewInteraction::ButtonStep(int button, ViewPoint p, int code) {
  if (button != kLeftButton && button != kRightButton && button != kButtonUp) return;
  EditMode effective = EffectiveMode(code, mode_);
  if (button == kButtonUp) {
    if (effective == EditMode::kRotateView) EndRotateViewDrag(p);
    state_.dragState = kNoDrag;
    return;
  }
  if (effective == EditMode::kSelection) {
    SelectionDown(button, p);
    return;
  }
  // note: the last right point is taken here too; a release or a move that
  // measures from it must not see a point from an earlier drag
  if (button == kLeftButton) {
    state_.leftStart = p;
    state_.lastLeft = p;
    state_.dragState = kLeftDrag;
  } else {
    state_.rightStart = p;
    state_.lastRight = p;
    state_.dragState = kRightDrag;
  }
  StoreStartValues(effective);
}

void ViewInteraction::StoreStartValues(EditMode effective) {
  Scene& s = doc_.scene;
  const int g = s.selectedGroup;
  const bool hasGroup = IsLiveGroup(s, g);
  switch (effective) {
    case EditMode::kTranslateObject:
      if (hasGroup) state_.startValues = s.groups[g].translation;
      break;
    case EditMode::kTranslateCenter:
      if (hasGroup) state_.startValues = s.groups[g].center;
      break;
    case EditMode::kScaleObject:
      if (hasGroup) state_.startValues = s.groups[g].scale;
      break;
    case EditMode::kRotateObject:
      if (hasGroup) state_.startAngles = s.groups[g].rotation;
      break;
    case EditMode::kRotateCenter:
      if (hasGroup) state_.startAngles = s.groups[g].centerRotation;
      break;
    case EditMode::kCreateObjects: {
      state_.startParamCount = 0;
      if (!hasGroup) break;
      const int wanted = SizeParamCount(s.groups[g].kind);
      // a block too short for its kind offers only what it holds
      while (state_.startParamCount < wanted &&
             ReadBlockFloat(s.groups[g], state_.startParamCount,
                            state_.startValues[state_.startParamCount]))
        ++state_.startParamCount;
      break;
    }
    case EditMode::kLights: {
      const int light = LightOfEntry(Panels().lightEntry);
      if (!ValidLight(light)) break;
      state_.startValues = s.lights[light].position;
      state_.startAngles = {s.lights[light].rotation[0], s.lights[light].rotation[1], 0};
      break;
    }
    case EditMode::kCamera:
      state_.startValues = s.camera.position;
      state_.startAngles = {s.camera.rotation[0], s.camera.rotation[1], 0};
      break;
    default:
      break;
  }
}

void ViewInteraction::MotionStep(ViewPoint p) {
  const EditMode effective = EffectiveMode(state_.modifierCode, mode_);
  const bool ownMode = effective == mode_;
  switch (effective) {
    case EditMode::kRotateView:
      RotateViewMotion(p);
      break;
    case EditMode::kTranslateView:
      TranslateViewMotion(p);
      break;
    case EditMode::kSelection:
    case EditMode::kColor:
    case EditMode::kTexture:
      break;
    default:
      DragMotion(effective, p, ownMode);
      break;
  }
}

void ViewInteraction::DragMotion(EditMode effective, ViewPoint p, bool ownMode) {
  if (state_.dragState == kNoDrag) return;

  // A drag across the whole view is 2 units, so moves follow the pointer
  // and a factor of 180 turns by a full circle; the right button works
  // along z with four times the vertical distance.
  const bool left = state_.dragState == kLeftDrag;
  const float dx = p.x - state_.leftStart.x;
  const float dy = p.y - state_.leftStart.y;
  const float dz = 4 * (p.y - state_.rightStart.y);
  const Vec3 move = left ? Vec3{dx, dy, 0} : Vec3{0, 0, dz};
  const Vec3 turn =
      left ? Vec3{180 * dy, -180 * dx, 0} : Vec3{0, 0, -180 * (p.x - state_.rightStart.x)};

  // The edits apply differences: what takes `current` to start + change.
  auto diff = [](const Vec3& start, const Vec3& change, const Vec3& current) {
    return Vec3{start[0] + change[0] - current[0], start[1] + change[1] - current[1],
                start[2] + change[2] - current[2]};
  };

  EditLayer& layer = session_.layer();
  PanelValues& panels = Panels();
  Scene& s = doc_.scene;
  const int g = s.selectedGroup;
  const bool hasGroup = IsLiveGroup(s, g);
  TransformPanel panel{};
  if (TransformPanelOfMode(effective, &panel)) {
    if (!hasGroup) return;
    const bool angles =
        panel == TransformPanel::kRotation || panel == TransformPanel::kCenterRotation;
    const Vec3 d = diff(angles ? state_.startAngles : state_.startValues, angles ? turn : move,
                        PanelValue(s, g, panel));
    AdjustTransform(layer, panel, d, ownMode, panels.locks[static_cast<size_t>(panel)]);
    return;
  }
  switch (effective) {
    case EditMode::kCreateObjects: {
      if (!hasGroup || state_.startParamCount == 0) break;
      // note: only the sizes the generator has are driven; the floats after
      // them are resolutions, which a drag must not touch
      Vec3 d = {0, 0, 0};
      for (int i = 0; i < state_.startParamCount; ++i) {
        float current = 0;
        if (ReadBlockFloat(s.groups[g], i, current))
          d[i] = state_.startValues[i] + move[i] - current;
      }
      if (AdjustCreate(layer, d[0], d[1], d[2])) {
        const CreateFields f = CreatePanelFields(s);
        panels.draggedSizesGroup = g;
        panels.draggedSizes = f.values;
      }
      break;
    }
    case EditMode::kLights: {
      // note: the background entry has no light to move, so it refuses drags
      const int light = LightOfEntry(panels.lightEntry);
      if (!ValidLight(light)) break;
      const KnfLight& l = s.lights[light];
      if (LightMouseChoice(s, panels) == LightMouse::kPosition)
        AdjustLight(layer, panels.lightEntry, LightMouse::kPosition,
                    diff(state_.startValues, move, l.position));
      else
        AdjustLight(
            layer, panels.lightEntry, LightMouse::kRotation,
            diff(state_.startAngles, {turn[0], turn[1], 0}, {l.rotation[0], l.rotation[1], 0}));
      break;
    }
    case EditMode::kCamera: {
      const KnfCameraView& c = s.camera;
      if (CameraMouseChoice(s, panels) == CameraMouse::kPosition)
        AdjustCamera(layer, CameraMouse::kPosition, diff(state_.startValues, move, c.position));
      else
        AdjustCamera(
            layer, CameraMouse::kRotation,
            diff(state_.startAngles, {turn[0], turn[1], 0}, {c.rotation[0], c.rotation[1], 0}));
      break;
    }
    default:
      break;
  }
}

}  // namespace modra
