// The spline editor without its window: which curve is loaded, the view,
// and what a press, a move and a release of the mouse do to the points.
// The window binds its radio buttons, menu items and mouse to these and
// draws what they leave in SplineEditor.
//
// Mouse positions are window positions, -1..1 both ways (see SplineView).
#pragma once

#include <string>

#include "anim/spline_curve.h"
#include "anim/spline_view.h"
#include "document/document.h"

namespace modra {

// The "Edit" choices: "Currently Selected Object", "Camera", then
// "Light #1" to "Light #8".
enum SplineOwnerChoice : int {
  kSplineSelectedObject = 0,
  kSplineCamera = 1,
  kSplineLight1 = 2,  // light L is kSplineLight1 + L - 1
};
inline constexpr int kSplineOwnerChoiceCount = kSplineLight1 + 8;

inline constexpr float kSplinePickDistance = 0.015f;

// Shown when a drag would move a point of a key that holds its value.
inline constexpr char kSplineStepKeyText[] =
    "This key holds its value until the next key: it has no curve to drag";

struct SplineEditor {
  int ownerChoice = kSplineSelectedObject;
  bool loaded = false;  // a curve of an existing owner is shown
  SplineCurve curve;
  SplineView view;
  int picked = -1;  // the entry a drag moves, -1 when none
  bool banding = false;
  float bandX0 = 0, bandY0 = 0, bandX1 = 0, bandY1 = 0;
  std::string status;  // for the status bar; empty when all is well
};

// The first entry, in key order and within a key in entry order, whose
// window position lies within kSplinePickDistance of (x, y) both ways; -1
// when none does.
int PickSplineEntry(const SplineCurve& curve, const SplineView& view, float x, float y);

// Selects every entry whose window position lies inside the rectangle
// with corners (x0, y0) and (x1, y1), in any order; others keep theirs.
void SelectSplineRectangle(SplineCurve& curve, const SplineView& view, float x0, float y0, float x1,
                           float y1);

// A press. A plain press on an entry clears the other selections, unless
// two or more are selected and the entry is one of them, so a selected
// group can be dragged together; an adding press clears nothing. The
// entry is selected, a value point with its handle. A press on no entry
// starts a rubber band (a plain one clears the selection first).
void PressSpline(SplineEditor& e, float x, float y, bool adding);

// The mouse moving with the button held: the picked entry follows it up
// and down, the other selected entries move by as much, the polygon
// follows, and `status` reads out where the picked entry is now (see
// SplineDragText); or the rubber band grows. A drag that would move a
// point of a step key moves nothing, says kSplineStepKeyText in `status`
// and gives false.
bool MoveSpline(SplineEditor& e, float x, float y);

// The button let go: the rubber band selects what it holds; a drag ends
// and its read-out goes, while a refusal stays on show.
void ReleaseSpline(SplineEditor& e, float x, float y);

// Where a dragged entry stands, for the status bar: the frame of its key,
// then "Value" for a value point or "Handle" for a handle, at the height
// the view shows, three decimals, in degrees for Rotation:
// "Frame 12  Value 1.250", "Frame 0  Handle -45.000 degrees".
std::string SplineDragText(const SplineCurve& curve, int entry);

// Writes the curve into the document's keys; when a key changed, the
// document is marked modified and shows the current frame from the new
// curves. true when a key changed.
bool WriteSplineCurve(Document& doc, SplineCurve& curve);

// The keys changed under the editor (an undo, a redo): the loaded curve is
// read again; the view and the selection stay.
void ReloadSplineEditor(const Document& doc, SplineEditor& e);

// Opening the editor: Translation of the selected group, fitted.
SplineEditor OpenSplineEditor(const Document& doc);

// A radio button: the loaded curve is written back (the document is marked
// modified and shows the current frame again when keys changed), then the
// chosen one is loaded and the view fitted.
void ChooseSplineCurve(Document& doc, SplineEditor& e, int ownerChoice, int param);

// "&Done": the loaded curve is written back and the document marked
// modified; the window closes afterwards.
void FinishSplineEditor(Document& doc, SplineEditor& e);

// "Zoom View to Fit" and "Reset View" for what is loaded.
void FitSplineEditor(SplineEditor& e);
// The fit for the selected entries alone (FitSplineViewToSelection).
void FitSplineSelection(SplineEditor& e);
void ResetSplineEditorView(SplineEditor& e);

}  // namespace modra
