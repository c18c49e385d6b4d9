// A view's drawer keeps its buffer objects in the view's context: they are
// deleted with that context current, or only forgotten when it never was
// made (nothing was uploaded then).
#pragma once

#include <QOpenGLWidget>

#include "view/draw_groups.h"

namespace modra {

inline void ReleaseDrawerBuffers(QOpenGLWidget& view, GroupDrawer& drawer) {
  if (!view.isValid()) {
    drawer.AbandonBuffers();
    return;
  }
  view.makeCurrent();
  drawer.ReleaseBuffers();
  view.doneCurrent();
}

}  // namespace modra
