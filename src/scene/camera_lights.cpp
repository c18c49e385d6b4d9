#include "scene/camera_lights.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "scene/matrix.h"

namespace modra {

std::vector<int32_t> LookAtPathTo(const Scene& s, int g) {
  std::vector<int32_t> path;
  if (!IsLiveGroup(s, g)) return path;
  std::vector<int32_t> parent = ParentTable(s);
  if (parent[g] == kUnreached) return path;
  for (int at = g; at != -1 && path.size() <= s.groups.size(); at = parent[at])
    path.push_back(at);
  std::reverse(path.begin(), path.end());
  return path;
}

void RebuildCameraPath(Scene& s) {
  s.camera.lookAtPath.clear();
  if (s.camera.lookAtGroup != -1) s.camera.lookAtPath = LookAtPathTo(s, s.camera.lookAtGroup);
}

bool IsOnLookAtPath(const Scene& s, int g) {
  if (s.camera.mode != kCameraLookAt || g < 0) return false;
  if (g == s.camera.lookAtGroup) return true;
  const auto& path = s.camera.lookAtPath;
  return std::find(path.begin(), path.end(), g) != path.end();
}

void StopLookingAt(Scene& s, int g) {
  if (s.camera.lookAtGroup == g) {
    if (s.camera.mode == kCameraLookAt) s.camera.mode = kCameraManual;
    s.camera.lookAtGroup = -1;
    s.camera.lookAtPath.clear();
  }
  DropLookAtFromKeys(s, g);
}

void DropLookAtFromKeys(Scene& s, int g) {
  auto drop = [g](KnfKeyInfo& key) {
    if (key.kind != kKeyCamera || (key.mask & 3) != kCameraLookAt) return;
    if (key.values.size() > kCameraLookAtWord &&
        std::bit_cast<int32_t>(key.values[kCameraLookAtWord]) == g)
      key.mask &= ~3u;
  };
  std::for_each(s.anim.keys.begin(), s.anim.keys.end(), drop);
  std::for_each(s.anim.clipboard.begin(), s.anim.clipboard.end(), drop);
}

void UpdateCameraTarget(Scene& s) {
  KnfCameraView& cam = s.camera;
  if (cam.mode == kCameraManual) {
    Vec3 ahead =
        TransformDirection(RotationMatrix(cam.rotation[0], cam.rotation[1], 0), {0, 0, 4.33f});
    cam.vectorA = {cam.position[0] + ahead[0], cam.position[1] + ahead[1],
                   cam.position[2] + ahead[2]};
    return;
  }
  if (cam.mode != kCameraLookAt || !IsLiveGroup(s, cam.lookAtGroup)) return;
  Vec3 target = s.groups[cam.lookAtGroup].translation;
  const auto& path = cam.lookAtPath;
  if (path.size() >= 2) {
    Mat4 m = kIdentity;
    for (size_t i = 0; i + 1 < path.size(); ++i)
      if (IsValidSlot(s, path[i])) m = Multiply(m, s.groups[path[i]].matrix);
    target = TransformPoint(m, target);
  }
  cam.vectorA = target;
  double dx = double(target[0]) - cam.position[0];
  double dy = double(target[1]) - cam.position[1];
  double dz = double(target[2]) - cam.position[2];
  cam.rotation[1] = static_cast<float>(90.0 - kRadToDeg * std::atan2(dz, dx));
  cam.rotation[2] = 0;
  cam.rotation[0] = static_cast<float>(kRadToDeg * std::atan2(-dy, std::sqrt(dx * dx + dz * dz)));
}

void UpdateLightDirection(Scene& s, int light, int fromVector) {
  if (light < 0 || light >= kLightCount) return;
  KnfLight& l = s.lights[light];
  if (fromVector == 0)
    l.direction = LightDirectionFromAngles(l.rotation[0], l.rotation[1]);
  else
    l.rotation = LightAnglesFromDirection(l.direction);
}

Vec3 LightDirectionFromAngles(float x, float y) {
  return TransformDirection(RotationMatrix(x, y, 0), {0, -1, 0});
}

Vec3 LightAnglesFromDirection(const Vec3& direction) {
  const double x = direction[0], y = direction[1], z = direction[2];
  return {static_cast<float>(kRadToDeg * std::atan2(-y, std::sqrt(z * z + x * x)) - 90.0),
          static_cast<float>(kRadToDeg * std::atan2(-z, x) + 90.0), 0.0f};
}

void ResetLights(Scene& s) {
  for (KnfLight& l : s.lights)
    l = KnfLight{};
  s.lights[0].type = kLightOn;
  s.lights[0].color = {0.2f, 0.2f, 0.2f};
  const float grey[4] = {0.3f, 0.4f, 0.45f, 0.4f};
  const Vec3 directions[4] = {{-1, -1, 1}, {1, 1, -1}, {-1, -1, -1}, {1, 1, 1}};
  for (int i = 0; i < 4; ++i) {
    KnfLight& l = s.lights[i + 1];
    l.type = kLightDirectional;
    l.color = {grey[i], grey[i], grey[i]};
    l.direction = directions[i];
  }
  for (int i = 0; i < kLightCount; ++i)
    UpdateLightDirection(s, i, 1);
}

void ResetCamera(Scene& s) {
  s.camera = KnfCameraView{};
  UpdateCameraTarget(s);
}

}  // namespace modra
