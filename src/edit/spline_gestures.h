// The spline editor's mouse and buttons run through the edit session: a
// drag writes the curve into the keys at every move and is one undo step
// from press to release; a radio button and "&Done" write what is loaded.
// The window calls these and redraws from the SplineEditor; after an undo
// or a redo it calls ReloadSplineEditor.
#pragma once

#include "anim/spline_edit.h"
#include "edit/edit_session.h"

namespace modra {

void SplinePress(EditSession& session, SplineEditor& e, float x, float y, bool adding);
// false when the drag was refused (see MoveSpline).
bool SplineMove(EditSession& session, SplineEditor& e, float x, float y);
void SplineRelease(EditSession& session, SplineEditor& e, float x, float y);

void SplineChoose(EditSession& session, SplineEditor& e, int ownerChoice, int param);
void SplineDone(EditSession& session, SplineEditor& e);

}  // namespace modra
