#include "geometry/primitive_fields.h"

#include <cmath>
#include <cstring>

#include "geometry/primitive_params.h"

namespace modra {
namespace {

// A size that is not a number would spread NaN through every vertex.
float Size(const DisplayGroup& group, int field) {
  float v = 0;
  ReadBlockFloat(group, field, v);
  return std::isfinite(v) ? v : 0.0f;
}

float Raw(const DisplayGroup& group, int field) {
  float v = 0;
  ReadBlockFloat(group, field, v);
  return v;
}

// Resolution number `which` of the kind's table, clamped.
int Resolution(const DisplayGroup& group, int which) {
  const ResolutionField f = ResolutionFieldsOf(group.kind).fields[which];
  return ClampResolution(Raw(group, f.field), f.min, f.max);
}

bool HasFields(const DisplayGroup& group, int count) {
  return group.generatorParams.size() >= static_cast<size_t>(count) * 4;
}

}  // namespace

bool ReadBlockFloat(const DisplayGroup& group, int field, float& out) {
  if (field < 0 || group.generatorParams.size() < (static_cast<size_t>(field) + 1) * 4)
    return false;
  std::memcpy(&out, group.generatorParams.data() + field * 4, 4);
  return true;
}

void WriteBlockFloat(DisplayGroup& group, int field, float value) {
  if (field < 0 || group.generatorParams.size() < (static_cast<size_t>(field) + 1) * 4) return;
  std::memcpy(group.generatorParams.data() + field * 4, &value, 4);
}

bool ReadRectangle(const DisplayGroup& group, RectangleParams& out) {
  if (!HasFields(group, 3)) return false;
  out.width = Size(group, 0);
  out.height = Size(group, 1);
  out.side = Resolution(group, 0);
  // note: quads are chosen on the stored float, so 1.5 gives one strip.
  out.quads = Raw(group, 2) == 1.0f;
  return true;
}

bool ReadBlock(const DisplayGroup& group, BlockParams& out) {
  if (!HasFields(group, 4)) return false;
  out.width = Size(group, 0);
  out.height = Size(group, 1);
  out.depth = Size(group, 2);
  out.side = Resolution(group, 0);
  out.quads = Raw(group, 3) == 1.0f;
  return true;
}

bool ReadCone(const DisplayGroup& group, ConeParams& out) {
  if (!HasFields(group, 7)) return false;
  out.bottomRadius = Size(group, 0);
  out.length = Size(group, 1);
  out.topRadius = Size(group, 2);
  out.ring = Resolution(group, 0);
  out.lengthSteps = Resolution(group, 1);
  out.topCap = Resolution(group, 2);
  out.bottomCap = Resolution(group, 3);
  // The refusal is judged on the stored values; written this way a NaN
  // refuses too.
  out.keepOld = !(Raw(group, 5) >= 1.0f) || !(Raw(group, 3) >= 2.0f) || !(Raw(group, 4) >= 1.0f);
  return true;
}

bool ReadTube(const DisplayGroup& group, TubeParams& out) {
  if (!HasFields(group, 4)) return false;
  out.radius = Size(group, 0);
  out.length = Size(group, 1);
  out.ring = Resolution(group, 0);
  out.lengthSteps = Resolution(group, 1);
  return true;
}

bool ReadCylinder(const DisplayGroup& group, CylinderParams& out) {
  if (!HasFields(group, 5)) return false;
  out.radius = Size(group, 0);
  out.length = Size(group, 1);
  out.ring = Resolution(group, 0);
  out.lengthSteps = Resolution(group, 1);
  out.cap = Resolution(group, 2);
  out.keepOld = !(Raw(group, 4) >= 1.0f) || !(Raw(group, 2) >= 2.0f) || !(Raw(group, 3) >= 1.0f);
  return true;
}

bool ReadTorus(const DisplayGroup& group, TorusParams& out) {
  if (!HasFields(group, 4)) return false;
  out.major = Size(group, 0);
  out.minor = Size(group, 1);
  out.ring = Resolution(group, 0);
  out.tubeSteps = Resolution(group, 1);
  return true;
}

bool ReadSphere(const DisplayGroup& group, SphereParams& out) {
  if (!HasFields(group, 3)) return false;
  out.radius = Size(group, 0);
  out.ring = Resolution(group, 0);
  out.bands = Resolution(group, 1);
  return true;
}

bool ReadSphere2(const DisplayGroup& group, Sphere2Params& out) {
  if (!HasFields(group, 2)) return false;
  out.radius = Size(group, 0);
  out.quality = Resolution(group, 0);
  return true;
}

RoundedConeShape RoundedConeShapeOf(const ConeParams& p) {
  RoundedConeShape r;
  const double rb = p.bottomRadius, rt = p.topRadius, L = p.length;
  r.alpha = rb != rt ? std::atan2(L, rb - rt) : kHalfPi;
  r.sideNormalY = std::cos(r.alpha);
  const double t = std::tan(kHalfPi - r.alpha);
  r.topCenterY = L / 2 - t * rt;
  r.topRadius = std::sqrt(t * rt * t * rt + rt * rt);
  r.topRatio = rt != 0 ? r.topRadius / rt : 1.0;
  r.bottomCenterY = -(L / 2 + t * rb);
  r.bottomRadius = std::sqrt(t * rb * t * rb + rb * rb);
  r.bottomRatio = rb != 0 ? r.bottomRadius / rb : 1.0;
  return r;
}

}  // namespace modra
