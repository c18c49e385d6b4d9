// The fixed-function state every scene draw starts from, and the lights:
// the scene's nine light records as OpenGL lights, and the four default
// lights that the internal models and the start of every scene draw use.
//
// Every function needs a current context. Light positions and directions
// change the sign of z on their way to OpenGL, because the scene's z axis
// points the other way from OpenGL's.
#pragma once

#include "scene/scene.h"

namespace modra {

// Bits per colour channel of the framebuffer, as picking codes group
// indices into colours.
struct ColorDepth {
  int red = 8;
  int green = 8;
  int blue = 8;
};

// Depth test (LEQUAL), colour material on ambient and diffuse of both
// faces, normalised normals, lighting, the default front material, and the
// clear colour (background, alpha 0). Returns the framebuffer's channel
// bits, each held to 1..8 so that a pick colour can always be formed.
ColorDepth InitGlState(const Vec3& background);

void SetClearColor(const Vec3& background);

// One light record (0: the ambient term, k in 1..8: OpenGL light k - 1),
// with the modelview matrix set to identity first. Values OpenGL would
// refuse (a spot cut-off outside 0..90, a negative attenuation or an
// exponent outside 0..128) are held to the nearest it accepts, so a light
// never keeps a value left over from an earlier record. index outside 0..8
// does nothing.
void SetLight(const Scene& s, int index);
// Records 0 to 8.
void SetAllLights(const Scene& s);

// Ambient 0.2 grey and four fixed white-ish directional lights (OpenGL
// lights 0 to 3); lights 4 to 7 off.
void SetDefaultLights();

// Width / height, or 1 when either is not positive (a window being made
// or minimised), so a projection never divides by zero.
float AspectOf(int width, int height);

}  // namespace modra
