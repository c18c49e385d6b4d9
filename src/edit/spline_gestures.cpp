#include "edit/spline_gestures.h"

namespace modra {
namespace {

void WriteLoaded(EditSession& session, SplineEditor& e) {
  if (e.loaded) session.Run(CommandId::kSplineWriteBack, SplineArgs(e.curve));
}

}  // namespace

void SplinePress(EditSession& session, SplineEditor& e, float x, float y, bool adding) {
  PressSpline(e, x, y, adding);
  if (e.picked != -1) session.BeginGesture();
}

bool SplineMove(EditSession& session, SplineEditor& e, float x, float y) {
  const bool dragging = e.picked != -1;
  if (!MoveSpline(e, x, y)) return false;
  if (dragging) WriteLoaded(session, e);
  return true;
}

void SplineRelease(EditSession& session, SplineEditor& e, float x, float y) {
  ReleaseSpline(e, x, y);
  session.EndGesture();
}

void SplineChoose(EditSession& session, SplineEditor& e, int ownerChoice, int param) {
  WriteLoaded(session, e);
  // Loading writes nothing: the loaded curve is already in the keys.
  ChooseSplineCurve(session.doc(), e, ownerChoice, param);
}

void SplineDone(EditSession& session, SplineEditor& e) {
  WriteLoaded(session, e);
}

}  // namespace modra
