// 4x4 column-major matrices and the scene's rotation rule.
#pragma once

#include "scene/display_group.h"

namespace modra {

inline constexpr float kDegToRad = 0.017453292f;
inline constexpr double kRadToDeg = 57.29577791868204;

// a * b: b is applied first to a column vector. Either operand may be the
// destination of the result.
Mat4 Multiply(const Mat4& a, const Mat4& b);

// Rz(az) * Ry(ay) * Rx(ax), angles in degrees: x is applied first.
Mat4 RotationMatrix(float ax, float ay, float az);
inline Mat4 RotationMatrix(const Vec3& angles) {
  return RotationMatrix(angles[0], angles[1], angles[2]);
}
Mat4 TranslationMatrix(const Vec3& v);
Mat4 ScaleMatrix(const Vec3& v);

Vec3 TransformPoint(const Mat4& m, const Vec3& p);
// Applies only the linear part (no translation).
Vec3 TransformDirection(const Mat4& m, const Vec3& d);
Mat4 Transpose3x3(const Mat4& m);

// The angles whose RotationMatrix matches the rotation part of m, whose
// columns are taken as unit vectors. With the y angle at +-90 degrees the
// x and z rotations turn about the same axis; the z angle is then 0.
Vec3 AnglesFromRotation(const Mat4& m);

}  // namespace modra
