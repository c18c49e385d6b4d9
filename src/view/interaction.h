// The main view's mouse handling without a window: the edit mode decides
// what a click or a drag does (select and descend the hierarchy, turn or
// move the view, hand a change to the panel of the mode). The GUI turns
// its mouse events into the calls below with normalised points, picks
// with its GL context current through a callback, and lets its panels
// receive the changes through AdjustTarget.
#pragma once

#include <functional>
#include <utility>

#include "document/document.h"
#include "view/edit_mode.h"

namespace modra {

// A point of the view in normalised coordinates: -1..1 across, y up.
struct ViewPoint {
  float x = 0;
  float y = 0;
};

// Pixel (px, py) of a view w by h pixels, y down, to a ViewPoint. An axis
// of no size maps to 0.
ViewPoint NormalizePoint(float px, float py, float w, float h);

// Modifier code at button-down: bit 0 Ctrl, bit 1 Shift, bit 2 the Z key,
// which counts only together with Ctrl or Shift.
inline constexpr int kCtrlBit = 1;
inline constexpr int kShiftBit = 2;
inline constexpr int kZKeyBit = 4;
int ModifierCode(bool ctrl, bool shift, bool zKey);
// The mode an event acts in: Ctrl (with or without Z) selects, Shift turns
// the view, Shift+Z moves the view, Shift+Ctrl moves and Shift+Ctrl+Z turns
// the selected groups; no modifier leaves the current mode.
EditMode EffectiveMode(int code, EditMode current);
// True when the event acts in the current mode itself: only then does a
// panel honour its lock boxes and show the new values.
bool IsOwnMode(int code, EditMode current);

// Drag states and the button-step's button numbers.
inline constexpr int kNoDrag = 0;
inline constexpr int kLeftDrag = 1;
inline constexpr int kRightDrag = 3;
inline constexpr int kButtonUp = 0;
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 3;

enum class MouseButton { kLeft, kRight };

struct InteractionState {
  int modifierCode = 0;
  int dragState = kNoDrag;
  ViewPoint leftStart;
  ViewPoint rightStart;
  ViewPoint lastLeft;
  // x for turning the view about z, y for moving it along z.
  ViewPoint lastRight;
  // What the mode edits, taken at button-down: a position, translation,
  // centre or scale in startValues and angles in startAngles; in Create
  // mode the first startParamCount size parameters of the generator.
  Vec3 startValues = {0, 0, 0};
  Vec3 startAngles = {0, 0, 0};
  int startParamCount = 0;
  // The view's translation (x, y and the z that zooms) and its turn:
  // committed base angles, the running drag's deltas, and their sum.
  Vec3 viewTranslation = {0, 0, 0};
  Vec3 baseAngles = {0, 0, 0};
  Vec3 deltaAngles = {0, 0, 0};
  Vec3 totalAngles = {0, 0, 0};
  // Degrees per motion step while one button is still held after the
  // other was released with a flick.
  Vec3 spinRates = {0, 0, 0};
  // A flick in Rotate View released with no button left down keeps the
  // view turning on its own until the next press.
  bool spinning = false;
  bool leftDown = false;
  bool rightDown = false;
};

// The group of the level being edited under a point, or -1. The window
// picks with its context current, reading the scene's level at each call:
// a click that enters a group picks again among its children. Empty:
// nothing is ever hit.
using PickHook = std::function<int(float x, float y)>;

// s = 1 - tz when tz <= 0, else 1 - log10(1 + tz) held at 0 and above.
float ZoomScale(float tz);
// Puts the accumulated translation and turn into the current view: zoom
// scale, raw and per-view translation, and for Perspective the rotation.
void ApplyView(DisplayState& display, const InteractionState& state);

class EditSession;
struct PanelValues;

// A drag runs entirely here: the change it makes reaches the selected
// groups, the current light or the camera through the core's panel edits,
// reading the lock boxes and mouse-control choices from the session's
// panel values; a drag is one undo step from press to release.
class ViewInteraction {
 public:
  explicit ViewInteraction(EditSession& session);

  void SetPick(PickHook pick) { pick_ = std::move(pick); }

  EditMode Mode() const { return mode_; }
  // A value outside the modes is ignored.
  void SetMode(EditMode mode);
  std::string_view StatusText() const { return EditModeStatusText(mode_); }

  // Window events. Releases and moves count only while the view holds the
  // mouse, i.e. while a button is down.
  void ButtonDown(MouseButton button, ViewPoint p, bool ctrl, bool shift, bool zKey);
  void ButtonUp(MouseButton button, ViewPoint p);
  void Move(ViewPoint p);
  bool HoldsCapture() const { return state_.leftDown || state_.rightDown; }

  // The steps the events run: button kLeftButton, kRightButton or
  // kButtonUp with the modifier code of its press.
  void ButtonStep(int button, ViewPoint p, int code);
  void MotionStep(ViewPoint p);

  // The turn of a flick that goes on after its release: the window calls
  // SpinStep at a steady frame rate while Spinning(). A press, Reset View
  // or a typed rotation ends it, and so does a view that cannot turn.
  bool Spinning() const { return state_.spinning; }
  void SpinStep();

  // The mouse wheel, in any mode: `notches` (positive away from the user)
  // zoom in as much as a Translate View right drag of an eighth of the
  // view's height per notch would.
  void Wheel(float notches);

  // Back to the initial view: no turn, translation, zoom or spin; the
  // panels' clip offsets and field of view to their initial values; views
  // 0 to 6 reset, the camera view kept. The level and the selection stay.
  void ResetView();
  // Makes view 0..7 current; anything else is ignored.
  void SelectView(int view);
  // Typed values from the view panels: the Perspective view's turn and the
  // view translation.
  void SetRotationTotals(const Vec3& angles);
  void SetViewTranslation(const Vec3& translation);
  // The view panels' sliders: the stored field of view and near and far
  // offsets, copied into the current view unless it is orthographic.
  void SetPerspective(float fieldOfView, float nearOffset, float farOffset);

  const InteractionState& State() const { return state_; }
  PanelValues& Panels();
  const PanelValues& Panels() const;

 private:
  void SelectionDown(int button, ViewPoint p);
  void StoreStartValues(EditMode effective);
  void EndRotateViewDrag(ViewPoint p);
  void RotateViewMotion(ViewPoint p);
  void TranslateViewMotion(ViewPoint p);
  void DragMotion(EditMode effective, ViewPoint p, bool ownMode);
  void AfterSelection();
  // The view moved: the picture and the view panels' fields follow.
  void ViewChanged();

  EditSession& session_;
  Document& doc_;
  PickHook pick_;
  EditMode mode_ = kInitialEditMode;
  InteractionState state_;
};

}  // namespace modra
