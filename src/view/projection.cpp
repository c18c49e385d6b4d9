#include "view/projection.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cassert>
#include <cmath>

namespace modra {

namespace {

constexpr float kMinNear = 0.1f;

}  // namespace

DepthRange ViewDepthRange(const ViewSetting& view) {
  const double dx = view.eye[0] - view.center[0];
  const double dy = view.eye[1] - view.center[1];
  const double dz = view.eye[2] - view.center[2];
  const float d = static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
  DepthRange range;
  range.nearPlane = std::max(d + view.nearOffset, kMinNear);
  // note: an empty or inverted range would make glOrtho fail and
  // gluPerspective do nothing, leaving whatever projection came before.
  range.farPlane = std::max(d + view.farOffset, range.nearPlane + kMinNear);
  return range;
}

void SetupView(const ViewSetting& view, int viewIndex, float aspect) {
  assert(viewIndex >= 0 && viewIndex < kViewCount);
  if (!(aspect > 0) || !std::isfinite(aspect)) aspect = 1;
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const Vec3& t = view.translation;
  if (viewIndex == kViewPerspective) {
    glTranslatef(t[0], t[1], -t[2]);
    glRotatef(view.rotation[2], 0, 0, 1);
    glRotatef(view.rotation[1], 0, 1, 0);
    glRotatef(view.rotation[0], 1, 0, 0);
  }
  if (view.orthographic) {
    glScalef(view.scale, view.scale, view.scale);
    glTranslatef(t[0], t[1], -t[2]);
  }

  const DepthRange range = ViewDepthRange(view);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (!view.orthographic) {
    if (aspect < 1) glScalef(aspect, aspect, aspect);
    gluPerspective(view.fieldOfView, aspect, range.nearPlane, range.farPlane);
  } else if (aspect > 1) {
    glOrtho(-aspect, aspect, -1, 1, range.nearPlane, range.farPlane);
  } else {
    glOrtho(-1, 1, -1 / aspect, 1 / aspect, range.nearPlane, range.farPlane);
  }
  gluLookAt(view.eye[0], view.eye[1], -view.eye[2], view.center[0], view.center[1], -view.center[2],
            view.up[0], view.up[1], view.up[2]);
  glMatrixMode(GL_MODELVIEW);
}

}  // namespace modra
