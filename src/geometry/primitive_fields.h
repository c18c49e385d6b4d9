// The parameter blocks of the nine built-in primitives read as typed
// records, with every resolution clamped into its range and every
// non-finite size read as 0. The generators and the default texture
// mappings read through these, so both always agree on the counts.
#pragma once

#include <cstdint>

#include "scene/display_group.h"

namespace modra {

// pi/2 as the float the ring and latitude formulas start from.
inline constexpr double kHalfPi = static_cast<double>(1.5707964f);
inline constexpr double kPi = 3.14159265358979323846;

// Float `field` of the block; false when the block is too short.
bool ReadBlockFloat(const DisplayGroup& group, int field, float& out);
void WriteBlockFloat(DisplayGroup& group, int field, float value);

struct RectangleParams {
  float width = 0, height = 0;
  int side = 1;
  bool quads = false;  // the stored resolution is exactly 1
};
struct BlockParams {
  float width = 0, height = 0, depth = 0;
  int side = 1;
  bool quads = false;
};
// Cones and rounded cones.
struct ConeParams {
  float bottomRadius = 0, length = 0, topRadius = 0;
  int ring = 4, lengthSteps = 1, topCap = 1, bottomCap = 1;
  // The stored values ask for no top cap, no segment or no side: the
  // generator leaves the old geometry as it is.
  bool keepOld = false;
};
struct TubeParams {
  float radius = 0, length = 0;
  int ring = 4, lengthSteps = 1;
};
struct CylinderParams {
  float radius = 0, length = 0;
  int ring = 4, lengthSteps = 1, cap = 1;
  bool keepOld = false;  // as for the cone
};
struct TorusParams {
  float major = 0, minor = 0;
  int ring = 4, tubeSteps = 1;
};
// Kind 6: `ring` points around Y, `bands` strips from pole to pole.
struct SphereParams {
  float radius = 0;
  int ring = 4, bands = 2;
};
// Kind 7.
struct Sphere2Params {
  float radius = 0;
  int quality = 4;
};

// Each returns false when the group's block is too short for its kind.
bool ReadRectangle(const DisplayGroup& group, RectangleParams& out);
bool ReadBlock(const DisplayGroup& group, BlockParams& out);
bool ReadCone(const DisplayGroup& group, ConeParams& out);
bool ReadTube(const DisplayGroup& group, TubeParams& out);
bool ReadCylinder(const DisplayGroup& group, CylinderParams& out);
bool ReadTorus(const DisplayGroup& group, TorusParams& out);
bool ReadSphere(const DisplayGroup& group, SphereParams& out);
bool ReadSphere2(const DisplayGroup& group, Sphere2Params& out);

// The rounded cone's profile: the side meets both cap spheres at a
// tangent. alpha is the side's angle from the base plane (pi/2 for equal
// radii).
struct RoundedConeShape {
  double alpha = kHalfPi;
  double sideNormalY = 0;  // cos(alpha)
  double topCenterY = 0, topRadius = 0, topRatio = 1;
  double bottomCenterY = 0, bottomRadius = 0, bottomRatio = 1;
};
RoundedConeShape RoundedConeShapeOf(const ConeParams& p);

}  // namespace modra
