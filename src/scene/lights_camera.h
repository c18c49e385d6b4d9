// The scene's nine lights, its camera and its background colour.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/display_group.h"

namespace modra {

inline constexpr int kLightCount = 9;  // record 0 is the ambient term, 1..8 the lights

// Light types. Record 0 uses only kLightOff and kLightOn.
inline constexpr int32_t kLightOff = 0;
inline constexpr int32_t kLightOn = 1;
inline constexpr int32_t kLightDirectional = 2;
inline constexpr int32_t kLightPositional = 3;
inline constexpr int32_t kLightCone = 4;

struct KnfLight {
  int32_t type = kLightOff;
  Vec3 color = {1, 1, 1};
  Vec3 position = {0, 0, -0.8f};
  Vec3 direction = {1, 1, 1};
  float c1 = 0;  // quadratic attenuation
  float c2 = 0;  // linear attenuation
  float c3 = 1;  // constant attenuation
  float cutoff = 20;
  float spotPower = 4;
  // Angles x, y of the light panel; z stays 0. Direction follows from them.
  Vec3 rotation = {0, 0, 0};
};

// Camera modes. 1 is a stored variant of manual that never re-aims.
inline constexpr int32_t kCameraManual = 0;
inline constexpr int32_t kCameraLookAt = 2;

struct KnfCameraView {
  int32_t mode = kCameraManual;
  int32_t lookAtGroup = -1;
  Vec3 viewParams = {0, 0, 0};
  Vec3 rotation = {0, 0, 0};
  Vec3 position = {0, 0, -4.33f};
  Vec3 vectorA = {0, 0, 0};  // the point the camera looks at
  Vec3 vectorB = {0, 0, 0};
  // Look-At mode: the groups from the top level down to lookAtGroup,
  // lookAtGroup last. Rebuilt whenever the hierarchy or the target changes.
  std::vector<int32_t> lookAtPath;
};

struct KnfGlobalScene {
  Vec3 background = {0.1f, 0.1f, 0.4f};
};

}  // namespace modra
