#include "scene/group_fields.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <new>

#include "scene/matrix.h"

namespace modra {
namespace {

float Clamp01(float v) {
  return v > 1.0f ? 1.0f : (v < 0.0f ? 0.0f : v);
}

void Wrap(Vec3& v, float turn) {
  for (float& c : v) {
    if (c > turn)
      c -= turn;
    else if (c < -turn)
      c += turn;
  }
}

int32_t ReadWord(const std::vector<uint8_t>& block, size_t at) {
  int32_t v = 0;
  if (block.size() >= at + 4) std::memcpy(&v, block.data() + at, 4);
  return v;
}

}  // namespace

void SetColor(Scene& s, int g, float r, float gr, float b) {
  assert(IsValidSlot(s, g));
  s.groups[g].color = {Clamp01(r), Clamp01(gr), Clamp01(b)};
}

void SetSpecular(Scene& s, int g, float r, float gr, float b) {
  assert(IsValidSlot(s, g));
  s.groups[g].specular = {Clamp01(r), Clamp01(gr), Clamp01(b)};
}

void SetShininess(Scene& s, int g, float shininess) {
  assert(IsValidSlot(s, g));
  s.groups[g].shininess = shininess > 128.0f ? 128.0f : (shininess < 1.0f ? 1.0f : shininess);
}

void AddTranslation(Scene& s, int g, float dx, float dy, float dz) {
  assert(IsValidSlot(s, g));
  Vec3& t = s.groups[g].translation;
  t = {t[0] + dx, t[1] + dy, t[2] + dz};
}

void AddCenter(Scene& s, int g, float dx, float dy, float dz) {
  assert(IsValidSlot(s, g));
  Vec3& c = s.groups[g].center;
  c = {c[0] + dx, c[1] + dy, c[2] + dz};
}

void AddScale(Scene& s, int g, float dx, float dy, float dz) {
  assert(IsValidSlot(s, g));
  Vec3& c = s.groups[g].scale;
  c = {c[0] + dx, c[1] + dy, c[2] + dz};
}

void AddRotation(Scene& s, int g, float dx, float dy, float dz) {
  assert(IsValidSlot(s, g));
  Vec3& r = s.groups[g].rotation;
  r = {r[0] + dx, r[1] + dy, r[2] + dz};
  Wrap(r, 36000.0f);
}

void AddCenterRotation(Scene& s, int g, float dx, float dy, float dz) {
  assert(IsValidSlot(s, g));
  Vec3& r = s.groups[g].centerRotation;
  r = {r[0] + dx, r[1] + dy, r[2] + dz};
  Wrap(r, 360.0f);
}

void GetMatrix(const Scene& s, int g, float out[16]) {
  assert(IsValidSlot(s, g));
  std::copy(s.groups[g].matrix.begin(), s.groups[g].matrix.end(), out);
}

void SetMatrix(Scene& s, int g, const float in[16]) {
  assert(IsValidSlot(s, g));
  std::copy(in, in + 16, s.groups[g].matrix.begin());
}

Mat4 GroupMatrixFromFields(const DisplayGroup& group) {
  const Vec3& c = group.center;
  Mat4 m = RotationMatrix(group.centerRotation);
  m = Multiply(m, TranslationMatrix(group.translation));
  m = Multiply(m, TranslationMatrix(c));
  m = Multiply(m, RotationMatrix(group.rotation));
  m = Multiply(m, ScaleMatrix(group.scale));
  return Multiply(m, TranslationMatrix({-c[0], -c[1], -c[2]}));
}

void BuildGroupMatrix(Scene& s, int g) {
  assert(IsValidSlot(s, g));
  s.groups[g].matrix = GroupMatrixFromFields(s.groups[g]);
}

int GeneratorParamSize(const DisplayGroup& group) {
  switch (group.kind) {
    case kKindBlock:
      return 20;
    case kKindCone:
      return 32;
    case kKindTube:
      return 20;
    case kKindCylinder:
      return 24;
    case kKindTorus:
      return 20;
    case kKindSphere:
      return 16;
    case kKindSphere2:
      return 12;
    case kKindRoundedCone:
      return 32;
    case kKindRectangle:
      return 16;
    case kKindRevolution:
    case kKindExtrusion:
      return std::max(0, ReadWord(group.generatorParams, 0));
    default:
      return 0;
  }
}

int MappingKindOffset(int32_t kind) {
  switch (kind) {
    case kKindBlock:
      return 16;
    case kKindCone:
      return 28;
    case kKindTube:
      return 16;
    case kKindCylinder:
      return 20;
    case kKindTorus:
      return 16;
    case kKindSphere:
      return 12;
    case kKindSphere2:
      return 8;
    case kKindRoundedCone:
      return 28;
    case kKindRectangle:
      return 12;
    case kKindRevolution:
    case kKindExtrusion:
      return 4;
    default:
      return -1;
  }
}

int AllocGeneratorParams(Scene& s, int g) {
  assert(IsValidSlot(s, g));
  DisplayGroup& group = s.groups[g];
  int size = GeneratorParamSize(group);
  if (size == 0) return 0;
  group.generatorParams.clear();
  try {
    group.generatorParams.assign(static_cast<size_t>(size), 0);
  } catch (const std::bad_alloc&) {
    return -1;
  }
  // A variable-size block keeps saying how large it is.
  if (group.kind == kKindRevolution || group.kind == kKindExtrusion)
    SetVariableParamSize(s, g, size);
  return 0;
}

void SetGeneratorParams(Scene& s, int g, size_t size, const void* bytes) {
  assert(IsValidSlot(s, g));
  if (size == 0 || bytes == nullptr) return;
  std::vector<uint8_t>& block = s.groups[g].generatorParams;
  block.clear();
  try {
    const auto* p = static_cast<const uint8_t*>(bytes);
    block.assign(p, p + size);
  } catch (const std::bad_alloc&) {
    block.clear();
  }
}

void SetVariableParamSize(Scene& s, int g, int32_t size) {
  assert(IsValidSlot(s, g));
  std::vector<uint8_t>& block = s.groups[g].generatorParams;
  try {
    if (block.size() < 4) block.resize(4, 0);
  } catch (const std::bad_alloc&) {
    return;
  }
  std::memcpy(block.data(), &size, 4);
}

int GetMappingKind(const Scene& s, int g) {
  assert(IsValidSlot(s, g));
  const DisplayGroup& group = s.groups[g];
  int at = MappingKindOffset(group.kind);
  if (at < 0 || group.generatorParams.size() < static_cast<size_t>(at) + 4) return 0;
  float v;
  std::memcpy(&v, group.generatorParams.data() + at, 4);
  // A value outside int's range is no mapping kind at all.
  return (v >= -1e6f && v <= 1e6f) ? static_cast<int>(v) : 0;
}

void SetMappingKind(Scene& s, int g, int mappingKind) {
  assert(IsValidSlot(s, g));
  DisplayGroup& group = s.groups[g];
  int at = MappingKindOffset(group.kind);
  if (at < 0 || group.generatorParams.size() < static_cast<size_t>(at) + 4) return;
  float v = static_cast<float>(mappingKind);
  std::memcpy(group.generatorParams.data() + at, &v, 4);
}

}  // namespace modra
