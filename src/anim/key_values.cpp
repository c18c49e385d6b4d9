#include "anim/key_values.h"

#include <algorithm>
#include <bit>
#include <new>

#include "scene/camera_lights.h"
#include "scene/group_fields.h"

namespace modra {
namespace {

int LightOf(int owner) {
  return owner + 100;
}

template <class Group>
auto* GroupTriple(Group& g, int kind) {
  using Triple = decltype(&g.rotation);
  switch (kind) {
    case kKeyRotation:
      return &g.rotation;
    case kKeyTranslation:
      return &g.translation;
    case kKeyScale:
      return &g.scale;
    case kKeyColor:
      return &g.color;
    case kKeyCenterRotation:
      return &g.centerRotation;
    case kKeyCenter:
      return &g.center;
    default:
      return Triple{nullptr};
  }
}

float IntBits(int32_t v) {
  return std::bit_cast<float>(v);
}
int32_t FromBits(float v) {
  return std::bit_cast<int32_t>(v);
}

void Put(std::vector<float>& values, int at, const Vec3& v) {
  std::copy(v.begin(), v.end(), values.begin() + at);
}
Vec3 Get(std::span<const float> values, int at) {
  return {values[at], values[at + 1], values[at + 2]};
}

}  // namespace

bool OwnerMatchesKind(const Scene& s, int owner, int kind) {
  if (owner >= 0) return IsGroupKind(kind) && IsLiveGroup(s, owner);
  if (owner == kCameraOwner) return kind == kKeyCamera;
  int light = LightOf(owner);
  return IsLightKind(kind) && light >= 0 && light < kLightCount;
}

bool CaptureKeyValues(const Scene& s, int owner, int kind, KnfKeyInfo& key) {
  if (!OwnerMatchesKind(s, owner, kind)) return true;
  int stored = StoredValueCount(kind);
  try {
    if (key.values.size() < static_cast<size_t>(stored)) key.values.resize(stored, 0.0f);
  } catch (const std::bad_alloc&) {
    return false;
  }
  std::vector<float>& v = key.values;
  key.mask = 0;
  if (kind == kKeyCamera) {
    const KnfCameraView& cam = s.camera;
    key.mask = static_cast<uint32_t>(cam.mode);
    Put(v, 0, cam.rotation);
    Put(v, 3, cam.position);
    const bool lookAt = cam.mode == kCameraLookAt;
    const auto& path = cam.lookAtPath;
    try {
      v.resize(kCameraPathWord + (lookAt ? path.size() : 0), 0.0f);
    } catch (const std::bad_alloc&) {
      return false;
    }
    v[kCameraLookAtWord] = IntBits(lookAt ? cam.lookAtGroup : 0);
    v[kCameraPathCountWord] = IntBits(lookAt ? static_cast<int32_t>(path.size()) : 0);
    if (lookAt)
      for (size_t i = 0; i < path.size(); ++i)
        v[kCameraPathWord + i] = IntBits(path[i]);
    return true;
  }
  if (owner >= 0) {
    const DisplayGroup& g = s.groups[owner];
    if (kind == kKeyEnabled) {
      key.mask = kStepMask;
      v[0] = IntBits((g.flags & Enabled) ? 1 : 0);
    } else if (kind == kKeySpecular) {
      v[0] = g.shininess;
      Put(v, 1, g.specular);
    } else {
      Put(v, 0, *GroupTriple(g, kind));
    }
    return true;
  }
  const KnfLight& l = s.lights[LightOf(owner)];
  switch (kind) {
    case kKeyLightType:
      key.mask = kStepMask;
      v[0] = IntBits(l.type);
      break;
    case kKeyLightPosition:
      Put(v, 0, l.rotation);
      Put(v, 3, l.position);
      break;
    case kKeyLightColor:
      Put(v, 0, l.color);
      break;
    case kKeyLightCone:
      v[0] = l.cutoff;
      v[1] = l.spotPower;
      break;
    case kKeyLightAttenuation:
      v[0] = l.c1;
      v[1] = l.c2;
      v[2] = l.c3;
      break;
  }
  return true;
}

void ApplyKeyValues(Scene& s, int owner, int kind, uint32_t mask, std::span<const float> values) {
  if (!OwnerMatchesKind(s, owner, kind)) return;
  int n = ValueCount(kind);
  if (values.size() < static_cast<size_t>(n)) return;
  if (kind == kKeyCamera) {
    KnfCameraView& cam = s.camera;
    cam.rotation = Get(values, 0);
    cam.position = Get(values, 3);
    cam.mode = static_cast<int32_t>(mask & 3);
    if (cam.mode == kCameraLookAt && values.size() >= static_cast<size_t>(kCameraPathWord)) {
      cam.lookAtGroup = FromBits(values[kCameraLookAtWord]);
      int32_t count = FromBits(values[kCameraPathCountWord]);
      size_t room = values.size() - kCameraPathWord;
      size_t length = count < 0 ? 0 : std::min(static_cast<size_t>(count), room);
      cam.lookAtPath.clear();
      for (size_t i = 0; i < length; ++i)
        cam.lookAtPath.push_back(FromBits(values[kCameraPathWord + i]));
    }
    UpdateCameraTarget(s);
    return;
  }
  if (owner >= 0) {
    DisplayGroup& g = s.groups[owner];
    switch (kind) {
      case kKeyColor:
        SetColor(s, owner, values[0], values[1], values[2]);
        break;
      case kKeySpecular:
        SetShininess(s, owner, values[0]);
        SetSpecular(s, owner, values[1], values[2], values[3]);
        break;
      case kKeyEnabled:
        if (FromBits(values[0]) == 0)
          g.flags &= ~Enabled;
        else
          g.flags |= Enabled;
        break;
      default:
        *GroupTriple(g, kind) = Get(values, 0);
        BuildGroupMatrix(s, owner);
        if (kind <= kKeyScale && IsOnLookAtPath(s, owner)) UpdateCameraTarget(s);
        break;
    }
    return;
  }
  int light = LightOf(owner);
  KnfLight& l = s.lights[light];
  switch (kind) {
    case kKeyLightType:
      l.type = FromBits(values[0]);
      break;
    case kKeyLightPosition:
      l.rotation = Get(values, 0);
      l.position = Get(values, 3);
      UpdateLightDirection(s, light, 0);
      break;
    case kKeyLightColor:
      for (int i = 0; i < 3; ++i)
        l.color[i] = std::clamp(values[i], 0.0f, 1.0f);
      break;
    case kKeyLightCone:
      l.cutoff = values[0] < 1.0f ? 1.0f : values[0];
      l.spotPower = values[1] < 0.0f ? 0.0f : values[1];
      break;
    case kKeyLightAttenuation:
      l.c1 = values[0];
      l.c2 = values[1];
      l.c3 = values[2];
      break;
  }
}

}  // namespace modra
