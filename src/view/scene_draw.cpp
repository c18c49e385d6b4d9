#include "view/scene_draw.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "scene/matrix.h"
#include "view/gl_state.h"
#include "view/internal_model.h"
#include "view/projection.h"

namespace modra {

namespace {

constexpr float kCameraModelScale = 0.4f;
constexpr float kLightModelScale = 0.2f;

void MultiplyMatrix(const Mat4& m) {
  glMultMatrixf(m.data());
}

// True when the eye of `view` lies within the model drawn with the current
// modelview matrix, or so close to it that the near plane cuts into it:
// the picture would show nothing but the model's inside.
bool EyeInsideModel(const ViewSetting& view, float reach) {
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  // The model's origin and unit length where the view's look applies; the
  // eye is given with the scene's z, which points the other way.
  const double dx = m[12] - view.eye[0], dy = m[13] - view.eye[1], dz = m[14] + view.eye[2];
  const double unit = std::hypot(m[0], m[1], m[2]);
  return std::hypot(dx, dy, dz) < reach * unit + ViewDepthRange(view).nearPlane;
}

// Where the camera stands, turned the way it looks; left out while the
// view looks from inside it (the default camera stands at the eye of the
// Front and Perspective views).
void DrawCameraModel(const Scene& s, const ViewSetting& view) {
  static const float reach = InternalModelReach(GetInternalModel(kCameraModel));
  glEnable(GL_LIGHTING);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glPushMatrix();
  MultiplyMatrix(TranslationMatrix(s.camera.position));
  MultiplyMatrix(RotationMatrix(s.camera.rotation));
  MultiplyMatrix(ScaleMatrix({kCameraModelScale, kCameraModelScale, kCameraModelScale}));
  if (!EyeInsideModel(view, reach)) DrawInternalModel(GetInternalModel(kCameraModel), {});
  glPopMatrix();
}

// A lamp for each light that is on, its bulb in the light's colour. A
// directional light has no place of its own, so its lamp stands in a row
// by light number.
void DrawLightModels(const Scene& s) {
  const LightBulbs bulbs = CompiledLightBulbs();
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  for (int i = 1; i < kLightCount; ++i) {
    const KnfLight& l = s.lights[i];
    int model = -1;
    RecordColor bulb;
    bulb.color = l.color;
    Mat4 place = kIdentity;
    if (l.type == kLightDirectional) {
      model = kDirectionalLightModel;
      bulb.record = bulbs.directional;
      place = Multiply(TranslationMatrix({0.2f * static_cast<float>(i) - 0.9f, 0.5f, -0.8f}),
                       RotationMatrix(l.rotation));
    } else if (l.type == kLightPositional) {
      model = kPositionalLightModel;
      bulb.record = bulbs.positional;
      place = TranslationMatrix(l.position);
    } else if (l.type == kLightCone) {
      model = kSpotLightModel;
      bulb.record = bulbs.spot;
      place = Multiply(TranslationMatrix(l.position), RotationMatrix(l.rotation));
    } else {
      continue;
    }
    // Each lamp is placed from the same frame, not from the one before.
    glPushMatrix();
    MultiplyMatrix(place);
    MultiplyMatrix(ScaleMatrix({kLightModelScale, kLightModelScale, kLightModelScale}));
    DrawInternalModel(GetInternalModel(model), {}, bulb);
    glPopMatrix();
  }
}

}  // namespace

DrawSwitches SceneDrawSwitches(const Scene& s, const DisplayState& d) {
  DrawSwitches sw;
  sw.displayMode = d.displayMode;
  sw.currentGroup = s.selectedGroup;
  sw.disabledDisplay = d.disabledDisplay;
  sw.axisMarker = d.axisMarker;
  sw.solidAxis = d.solidAxisDisplay;
  sw.lighting = d.lighting;
  sw.texturedPass = d.displayMode == kTexturedMode;
  return sw;
}

void DrawScene(GroupDrawer& drawer, const Scene& s, const DisplayState& d,
               std::span<const unsigned> textureNames) {
  glMatrixMode(GL_MODELVIEW);
  glColor3f(1, 1, 1);
  SetDefaultLights();
  glPushMatrix();
  // The scene's z axis points the other way from OpenGL's.
  glScalef(1, 1, -1);

  if (d.cameraDisplay && d.currentView != kViewCamera)
    DrawCameraModel(s, d.views[std::clamp(d.currentView, 0, kViewCount - 1)]);
  if (d.lightDisplay) {
    glPushMatrix();
    DrawLightModels(s);
    glPopMatrix();
  }

  glPushMatrix();
  SetAllLights(s);
  glPopMatrix();

  DrawSwitches sw = SceneDrawSwitches(s, d);
  sw.textureNames = textureNames;
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
