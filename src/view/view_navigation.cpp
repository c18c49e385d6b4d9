// Turning, moving and zooming the view, and its spin after a flick.
#include <algorithm>
#include <cmath>

#include "edit/edit_session.h"
#include "view/interaction.h"

namespace modra {
namespace {

constexpr float kMaxSpin = 50;
constexpr float kDegreesPerRelease = 90;
constexpr float kDegreesPerDrag = 180;

bool IsOrthographic(const DisplayState& display) {
  const int v = display.currentView;
  return v < 0 || v >= kViewCount || display.views[v].orthographic != 0;
}

// A flick too slow to see stops the spin; a fast one is held to a rate
// the eye can follow.
float SpinRate(float rate) {
  if (std::fabs(rate) < 1) return 0;
  return std::clamp(rate, -kMaxSpin, kMaxSpin);
}

}  // namespace

float ZoomScale(float tz) {
  if (tz <= 0) return 1 - tz;
  float s = 1 - std::log10(1 + tz);
  return s < 0 ? 0 : s;
}

void ApplyView(DisplayState& display, const InteractionState& state) {
  const int v = display.currentView;
  if (v < 0 || v >= kViewCount) return;
  ViewSetting& view = display.views[v];
  const float tx = state.viewTranslation[0];
  const float ty = state.viewTranslation[1];
  const float tz = state.viewTranslation[2];
  view.scale = ZoomScale(tz);
  view.rawTranslation = state.viewTranslation;
  // Each orthographic view pans in its own screen plane.
  switch (v) {
    case kViewFront:
      view.translation = {tx, ty, 0};
      break;
    case kViewTop:
      view.translation = {tx, 0, ty};
      break;
    case kViewLeft:
      view.translation = {0, ty, -tx};
      break;
    case kViewBack:
      view.translation = {-tx, ty, 0};
      break;
    case kViewBottom:
      view.translation = {tx, 0, -ty};
      break;
    case kViewRight:
      view.translation = {0, ty, tx};
      break;
    case kViewPerspective:
      view.translation = {tx, ty, tz};
      view.rotation = state.totalAngles;
      break;
    default:  // the camera view follows the camera alone
      break;
  }
}

void ViewInteraction::ViewChanged() {
  NotifyChanged(doc_, kDisplayChanged);
  doc_.shell->RequestRedraw();
}

void ViewInteraction::RotateViewMotion(ViewPoint p) {
  // The orthographic views look along an axis; turning them would lose it.
  if (IsOrthographic(doc_.display)) return;
  Vec3& base = state_.baseAngles;
  Vec3& delta = state_.deltaAngles;
  if (state_.dragState == kLeftDrag) {
    delta[0] = -kDegreesPerDrag * (p.y - state_.leftStart.y);
    delta[1] = kDegreesPerDrag * (p.x - state_.leftStart.x);
    state_.lastLeft = p;
  } else if (state_.dragState == kRightDrag) {
    delta[2] = -kDegreesPerDrag * (p.x - state_.rightStart.x);
    state_.lastRight.x = p.x;
  } else {
    for (int i = 0; i < 3; ++i) {
      base[i] += state_.spinRates[i];
      if (base[i] > 360) base[i] -= 360;
      if (base[i] < -360) base[i] += 360;
    }
  }
  for (int i = 0; i < 3; ++i)
    state_.totalAngles[i] = base[i] + delta[i];
  ApplyView(doc_.display, state_);
  ViewChanged();
}

void ViewInteraction::EndRotateViewDrag(ViewPoint p) {
  Vec3& spin = state_.spinRates;
  // note: an orthographic view did not turn, so its drag leaves no spin
  // behind for a later perspective drag to pick up
  if (!IsOrthographic(doc_.display)) {
    const float x = std::clamp(p.x, -1.0f, 1.0f);
    const float y = std::clamp(p.y, -1.0f, 1.0f);
    if (state_.dragState == kRightDrag) {
      spin[2] = -kDegreesPerRelease * (x - state_.lastRight.x);
    } else if (state_.dragState == kLeftDrag) {
      spin[0] = -kDegreesPerRelease * (y - state_.lastLeft.y);
      spin[1] = kDegreesPerRelease * (x - state_.lastLeft.x);
    }
    for (float& rate : spin)
      rate = SpinRate(rate);
    // A flick about one axis stops the spin about the others.
    if (state_.dragState == kRightDrag && spin[2] == 0) spin[0] = spin[1] = 0;
    if (state_.dragState == kLeftDrag && spin[0] == 0 && spin[1] == 0) spin[2] = 0;
  }
  for (int i = 0; i < 3; ++i) {
    state_.baseAngles[i] += state_.deltaAngles[i];
    state_.deltaAngles[i] = 0;
  }
}

void ViewInteraction::TranslateViewMotion(ViewPoint p) {
  Vec3& t = state_.viewTranslation;
  if (state_.dragState == kLeftDrag) {
    t[0] += p.x - state_.lastLeft.x;
    t[1] += p.y - state_.lastLeft.y;
    state_.lastLeft = p;
  } else if (state_.dragState == kRightDrag) {
    t[2] += 4 * (p.y - state_.lastRight.y);
    state_.lastRight.y = p.y;
  }
  ApplyView(doc_.display, state_);
  ViewChanged();
}

void ViewInteraction::Wheel(float notches) {
  if (notches == 0 || !std::isfinite(notches)) return;
  // A right drag moves z by 4 per unit of height, the view being 2 high; a
  // notch goes as far as a drag over a 32nd of it, so that a few notches
  // bring a scene of unit size near without passing through it.
  constexpr float kZPerNotch = 4 * 2.0f / 32;
  state_.viewTranslation[2] -= notches * kZPerNotch;
  ApplyView(doc_.display, state_);
  ViewChanged();
}

void ViewInteraction::SpinStep() {
  if (!state_.spinning) return;
  if (IsOrthographic(doc_.display)) {
    state_.spinning = false;
    return;
  }
  // With no drag under way the view motion turns by the spin rates.
  RotateViewMotion({});
}

void ViewInteraction::ResetView() {
  const InteractionState fresh;
  state_.spinRates = fresh.spinRates;
  state_.spinning = false;
  state_.leftStart = state_.lastLeft = fresh.leftStart;
  state_.rightStart = state_.lastRight = fresh.rightStart;
  state_.viewTranslation = fresh.viewTranslation;
  state_.baseAngles = fresh.baseAngles;
  state_.deltaAngles = fresh.deltaAngles;
  state_.totalAngles = fresh.totalAngles;
  const PanelValues defaults;
  PanelValues& panels = Panels();
  panels.nearOffset = defaults.nearOffset;
  panels.farOffset = defaults.farOffset;
  panels.fieldOfView = defaults.fieldOfView;
  ResetViews(doc_.display.views, true, doc_.scene.camera.position);
  NotifyChanged(doc_, kPanelChanged);
  ViewChanged();
}

void ViewInteraction::SelectView(int view) {
  if (view < 0 || view >= kViewCount || view == doc_.display.currentView) return;
  doc_.display.currentView = view;
  ViewChanged();
}

void ViewInteraction::SetRotationTotals(const Vec3& angles) {
  state_.spinning = false;
  state_.baseAngles = angles;
  state_.deltaAngles = {0, 0, 0};
  state_.totalAngles = angles;
  ApplyView(doc_.display, state_);
  ViewChanged();
}

void ViewInteraction::SetViewTranslation(const Vec3& translation) {
  state_.viewTranslation = translation;
  ApplyView(doc_.display, state_);
  ViewChanged();
}

void ViewInteraction::SetPerspective(float fieldOfView, float nearOffset, float farOffset) {
  PanelValues& panels = Panels();
  panels.fieldOfView = fieldOfView;
  panels.nearOffset = nearOffset;
  panels.farOffset = farOffset;
  ViewSetting& view = doc_.display.views[doc_.display.currentView];
  if (!view.orthographic) {
    view.fieldOfView = fieldOfView;
    view.nearOffset = nearOffset;
    view.farOffset = farOffset;
  }
  NotifyChanged(doc_, kPanelChanged);
  ViewChanged();
}

}  // namespace modra
