#include "view/gl_state.h"

#include <GL/gl.h>

#include <algorithm>

namespace modra {

namespace {

int HeldBits(GLenum which) {
  GLint bits = 0;
  glGetIntegerv(which, &bits);
  return std::clamp(static_cast<int>(bits), 1, 8);
}

void SetLightColor(GLenum light, float r, float g, float b) {
  const GLfloat color[4] = {r, g, b, 1};
  glLightfv(light, GL_DIFFUSE, color);
  glLightfv(light, GL_SPECULAR, color);
}

void SetAttenuation(GLenum light, const KnfLight& l) {
  glLightf(light, GL_CONSTANT_ATTENUATION, std::max(l.c3, 0.0f));
  glLightf(light, GL_LINEAR_ATTENUATION, std::max(l.c2, 0.0f));
  glLightf(light, GL_QUADRATIC_ATTENUATION, std::max(l.c1, 0.0f));
}

}  // namespace

ColorDepth InitGlState(const Vec3& background) {
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  SetClearColor(background);
  glEnable(GL_NORMALIZE);
  glEnable(GL_LIGHTING);
  const GLfloat diffuse[4] = {1, 1, 1, 1};
  const GLfloat specular[4] = {0.3f, 0.3f, 0.3f, 1};
  glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
  glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
  glMaterialf(GL_FRONT, GL_SHININESS, 20);
  ColorDepth depth;
  depth.red = HeldBits(GL_RED_BITS);
  depth.green = HeldBits(GL_GREEN_BITS);
  depth.blue = HeldBits(GL_BLUE_BITS);
  return depth;
}

void SetClearColor(const Vec3& background) {
  glClearColor(background[0], background[1], background[2], 0);
}

void SetLight(const Scene& s, int index) {
  if (index < 0 || index >= kLightCount) return;
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const KnfLight& l = s.lights[index];
  if (index == 0) {
    if (l.type == kLightOn) {
      const GLfloat ambient[4] = {l.color[0], l.color[1], l.color[2], 1};
      glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    }
    return;
  }
  const GLenum light = GL_LIGHT0 + static_cast<GLenum>(index - 1);
  if (l.type == kLightOff) {
    glDisable(light);
    return;
  }
  glEnable(light);
  SetLightColor(light, 1.5f * l.color[0], 1.5f * l.color[1], 1.5f * l.color[2]);
  if (l.type == kLightDirectional) {
    const GLfloat position[4] = {l.direction[0], l.direction[1], -l.direction[2], 0};
    glLightfv(light, GL_POSITION, position);
    // note: OpenGL applies a spot cut-off to directional lights too, so a
    // cone left by an earlier spot light in this slot must not stay.
    glLightf(light, GL_SPOT_CUTOFF, 180);
  } else if (l.type == kLightPositional) {
    const GLfloat position[4] = {l.position[0], l.position[1], -l.position[2], 1};
    glLightfv(light, GL_POSITION, position);
    glLightf(light, GL_SPOT_CUTOFF, 180);
    SetAttenuation(light, l);
  } else if (l.type == kLightCone) {
    const GLfloat position[4] = {l.position[0], l.position[1], -l.position[2], 1};
    const GLfloat direction[3] = {-l.direction[0], -l.direction[1], l.direction[2]};
    glLightfv(light, GL_POSITION, position);
    glLightfv(light, GL_SPOT_DIRECTION, direction);
    glLightf(light, GL_SPOT_CUTOFF, std::clamp(l.cutoff, 0.0f, 90.0f));
    glLightf(light, GL_SPOT_EXPONENT, std::clamp(l.spotPower, 0.0f, 128.0f));
    SetAttenuation(light, l);
  }
}

void SetAllLights(const Scene& s) {
  for (int i = 0; i < kLightCount; ++i)
    SetLight(s, i);
}

void SetDefaultLights() {
  const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
  struct DefaultLight {
    GLfloat position[4];
    float level;
  };
  static constexpr DefaultLight kLights[4] = {{{-10, -10, -10, 0}, 0.45f},
                                              {{10, 10, 10, 0}, 0.6f},
                                              {{-10, -10, 10, 0}, 0.675f},
                                              {{10, 10, -10, 0}, 0.6f}};
  for (int i = 0; i < 4; ++i) {
    const GLenum light = GL_LIGHT0 + static_cast<GLenum>(i);
    glLightfv(light, GL_POSITION, kLights[i].position);
    SetLightColor(light, kLights[i].level, kLights[i].level, kLights[i].level);
    glEnable(light);
  }
  for (int i = 4; i < 8; ++i)
    glDisable(GL_LIGHT0 + static_cast<GLenum>(i));
}

float AspectOf(int width, int height) {
  if (width <= 0 || height <= 0) return 1.0f;
  return static_cast<float>(width) / static_cast<float>(height);
}

}  // namespace modra
