// Editing the surface editor's profile: points added and cut by selection,
// and the edited profile applied to its group. Every operation keeps the
// profile's arrays consistent (two floats, a corner byte and a selected
// byte per point).
#pragma once

#include "document/shell.h"
#include "geometry/revolution.h"
#include "scene/scene.h"

namespace modra {

// Inserts the midpoint of the two selected points, which must be
// neighbours (or the last and the first point; the midpoint then goes at
// the end). The new point is no corner, the only one selected and the
// current point. Its index, or -1 after telling the user why not.
int AddRevolutionPoint(RevolutionProfile& profile, Shell& shell);
// Removes selected points, first to last, while at least 3 points remain,
// then clears the selection and the current point (which may be gone).
void CutRevolutionPoints(RevolutionProfile& profile);
// Rebuilds surface group g from the profile and its flags, keeping the
// group's sweep, mapping kind and name. Nothing happens when the
// profile's arrays disagree.
void ApplyRevolution(Scene& s, int g, const RevolutionProfile& profile);

}  // namespace modra
