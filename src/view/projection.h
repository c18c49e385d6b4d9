// The projection of each of the eight views: what the viewer looks through
// before any group is drawn.
#pragma once

#include "view/view_setting.h"

namespace modra {

// Near and far plane distances of a view: the eye-to-centre distance plus
// the view's offsets. near is held at 0.1 or more; far is held beyond near
// so that the depth range is never empty.
struct DepthRange {
  float nearPlane;
  float farPlane;
};
DepthRange ViewDepthRange(const ViewSetting& view);

// Needs a current context. Loads the modelview matrix (the Perspective
// view's own turn and shift, or an orthographic view's zoom and shift) and
// the projection matrix (perspective or orthographic for the aspect, then
// the look from the eye to the centre, z negated), and leaves the matrix
// mode at modelview. viewIndex is 0..7; aspect is width / height.
void SetupView(const ViewSetting& view, int viewIndex, float aspect);

}  // namespace modra
