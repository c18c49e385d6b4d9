#include "view/scene_draw.h"

#include <GL/gl.h>

#include "view/gl_state.h"

namespace modra {

DrawSwitches SceneDrawSwitches(const Scene& s, const DisplayState& d) {
  DrawSwitches sw;
  sw.displayMode = d.displayMode;
  sw.currentGroup = s.selectedGroup;
  sw.disabledDisplay = d.disabledDisplay;
  sw.axisMarker = d.axisMarker;
  sw.lighting = d.lighting;
  sw.texturedPass = d.displayMode == kTexturedMode;
  return sw;
}

void DrawScene(GroupDrawer& drawer, const Scene& s, const DisplayState& d) {
  glMatrixMode(GL_MODELVIEW);
  glColor3f(1, 1, 1);
  SetDefaultLights();
  glPushMatrix();
  // The scene's z axis points the other way from OpenGL's.
  glScalef(1, 1, -1);

  glPushMatrix();
  SetAllLights(s);
  glPopMatrix();

  const DrawSwitches sw = SceneDrawSwitches(s, d);
  const bool wire = sw.displayMode == kWireFrame;
  if (wire || !sw.lighting)
    glDisable(GL_LIGHTING);
  else
    glEnable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glPolygonMode(GL_FRONT_AND_BACK, wire ? GL_LINE : GL_FILL);
  drawer.DrawList(s, s.rootHead, sw);

  if (d.showNormals) {
    glDisable(GL_LIGHTING);
    glColor3f(0.3f, 1, 0.3f);
    drawer.DrawNormals(s, s.rootHead, sw);
    glEnable(GL_LIGHTING);
  }
  glPopMatrix();
}

}  // namespace modra
