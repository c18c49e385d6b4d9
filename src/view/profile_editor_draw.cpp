#include "view/profile_editor_draw.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "profile/pane_colors.h"
#include "view/gl_state.h"
#include "view/projection.h"

namespace modra {
namespace {

void Color(const PaneColor& c) {
  glColor3f(c.r, c.g, c.b);
}

// The grid lines that fall inside lo..hi, at most a few hundred: far out,
// a dense grid would only grey the pane over.
void GridLines(float lo, float hi, bool vertical, float from, float to) {
  constexpr int kMostLines = 400;
  const long first = std::lround(std::ceil(lo / kPaneGridStep));
  const long last = std::lround(std::floor(hi / kPaneGridStep));
  if (last - first > kMostLines) return;
  for (long i = first; i <= last; ++i) {
    const float v = static_cast<float>(i) * kPaneGridStep;
    if (vertical) {
      glVertex2f(v, from);
      glVertex2f(v, to);
    } else {
      glVertex2f(from, v);
      glVertex2f(to, v);
    }
  }
}

}  // namespace

void DrawProfilePreview(GroupDrawer& drawer, const Scene& s, int g, const ViewSetting& view,
                        float aspect, int displayMode, bool normals,
                        std::span<const unsigned> textureNames) {
  if (!IsLiveGroup(s, g)) return;
  SetupView(view, kViewPerspective, aspect);
  glMatrixMode(GL_MODELVIEW);
  glColor3f(1, 1, 1);
  SetDefaultLights();
  glPushMatrix();
  // The scene's z axis points the other way from OpenGL's.
  glScalef(1, 1, -1);
  const Mat4& m = s.groups[g].matrix;
  glTranslatef(-m[12], -m[13], -m[14]);

  DrawSwitches sw;
  sw.displayMode = displayMode;
  sw.axisMarker = false;
  sw.texturedPass = displayMode == kTexturedMode;
  sw.textureNames = textureNames;
  const bool wire = displayMode == kWireFrame;
  if (wire)
    glDisable(GL_LIGHTING);
  else
    glEnable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glPolygonMode(GL_FRONT_AND_BACK, wire ? GL_LINE : GL_FILL);
  drawer.DrawTree(s, g, sw);
  if (normals) {
    glDisable(GL_LIGHTING);
    glColor3f(0.3f, 1, 0.3f);
    drawer.DrawTreeNormals(s, g, sw);
  }
  glPopMatrix();
}

void DrawProfilePane(const PaneDrawing& d) {
  const PaneRange r = ProfilePaneRange(d.kind);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(r.xMin, r.xMax, r.yMin, r.yMax, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

  Color(kPaneBackground);
  glRectf(r.xMin, r.yMin, r.xMax, r.yMax);

  // From here on in profile units.
  glTranslatef(d.view.offset.x, d.view.offset.y, 0);
  glScalef(d.view.scale, d.view.scale, 1);
  const PanePoint lo = ShownToProfile(d.view, {r.xMin, r.yMin});
  const PanePoint hi = ShownToProfile(d.view, {r.xMax, r.yMax});

  Color(kPaneAxes);
  glBegin(GL_LINES);
  glVertex2f(lo.x, 0);
  glVertex2f(hi.x, 0);
  glVertex2f(0, lo.y);
  glVertex2f(0, hi.y);
  glEnd();

  glEnable(GL_LINE_STIPPLE);
  glLineStipple(kPaneGridStippleFactor, kPaneGridStipple);
  glBegin(GL_LINES);
  GridLines(lo.x, hi.x, true, lo.y, hi.y);
  GridLines(lo.y, hi.y, false, lo.x, hi.x);
  glEnd();
  glDisable(GL_LINE_STIPPLE);

  const size_t count = std::min({d.points.size() / 2, d.corners.size(), d.selected.size()});
  Color(kPaneContour);
  size_t start = 0;
  const auto contour = [&](size_t n) {
    n = std::min(n, count - start);
    glBegin(GL_LINE_LOOP);
    for (size_t i = start; i < start + n; ++i)
      glVertex2f(d.points[2 * i], d.points[2 * i + 1]);
    glEnd();
    start += n;
  };
  if (d.contourCounts.empty()) {
    contour(count);
  } else {
    for (int32_t n : d.contourCounts)
      if (n > 0 && start < count) contour(static_cast<size_t>(n));
  }

  glPointSize(kPanePointSize);
  glBegin(GL_POINTS);
  for (size_t i = 0; i < count; ++i) {
    Color(PanePointColor(d.corners[i] != 0, d.selected[i] != 0));
    glVertex2f(d.points[2 * i], d.points[2 * i + 1]);
  }
  glEnd();
  glPointSize(1);

  if (d.band) {
    Color(kPaneRubberBand);
    glBegin(GL_LINE_LOOP);
    glVertex2f(d.bandFrom.x, d.bandFrom.y);
    glVertex2f(d.bandTo.x, d.bandFrom.y);
    glVertex2f(d.bandTo.x, d.bandTo.y);
    glVertex2f(d.bandFrom.x, d.bandTo.y);
    glEnd();
  }
}

}  // namespace modra
