#include "scene/matrix.h"

#include <algorithm>
#include <cmath>

namespace modra {

Mat4 Multiply(const Mat4& a, const Mat4& b) {
  Mat4 r;
  for (int col = 0; col < 4; ++col)
    for (int row = 0; row < 4; ++row) {
      float sum = 0;
      for (int k = 0; k < 4; ++k)
        sum += a[k * 4 + row] * b[col * 4 + k];
      r[col * 4 + row] = sum;
    }
  return r;
}

Mat4 RotationMatrix(float ax, float ay, float az) {
  float sx = 0, cx = 1, sy = 0, cy = 1;
  // Most groups are never turned about x and y; skip the trigonometry then.
  if (ax != 0 || ay != 0) {
    sx = std::sin(ax * kDegToRad);
    cx = std::cos(ax * kDegToRad);
    sy = std::sin(ay * kDegToRad);
    cy = std::cos(ay * kDegToRad);
  }
  float sz = std::sin(az * kDegToRad);
  float cz = std::cos(az * kDegToRad);
  Mat4 m{};
  m[0] = cz * cy;
  m[1] = sz * cy;
  m[2] = -sy;
  m[4] = cz * sy * sx - sz * cx;
  m[5] = sz * sy * sx + cz * cx;
  m[6] = cy * sx;
  m[8] = cz * sy * cx + sz * sx;
  m[9] = sz * sy * cx - cz * sx;
  m[10] = cy * cx;
  m[15] = 1;
  return m;
}

Mat4 TranslationMatrix(const Vec3& v) {
  Mat4 m = kIdentity;
  m[12] = v[0];
  m[13] = v[1];
  m[14] = v[2];
  return m;
}

Mat4 ScaleMatrix(const Vec3& v) {
  Mat4 m = kIdentity;
  m[0] = v[0];
  m[5] = v[1];
  m[10] = v[2];
  return m;
}

Vec3 TransformPoint(const Mat4& m, const Vec3& p) {
  Vec3 r = TransformDirection(m, p);
  return {r[0] + m[12], r[1] + m[13], r[2] + m[14]};
}

Vec3 TransformDirection(const Mat4& m, const Vec3& d) {
  return {m[0] * d[0] + m[4] * d[1] + m[8] * d[2], m[1] * d[0] + m[5] * d[1] + m[9] * d[2],
          m[2] * d[0] + m[6] * d[1] + m[10] * d[2]};
}

Mat4 Transpose3x3(const Mat4& m) {
  Mat4 t = kIdentity;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      t[c * 4 + r] = m[r * 4 + c];
  return t;
}

Vec3 AnglesFromRotation(const Mat4& in) {
  // Normalise the columns so that a scaled matrix still yields its turn.
  Mat4 m = in;
  for (int c = 0; c < 3; ++c) {
    double len = std::sqrt(double(m[c * 4]) * m[c * 4] + double(m[c * 4 + 1]) * m[c * 4 + 1] +
                           double(m[c * 4 + 2]) * m[c * 4 + 2]);
    if (len > 0)
      for (int r = 0; r < 3; ++r)
        m[c * 4 + r] = static_cast<float>(m[c * 4 + r] / len);
  }
  double sy = std::clamp(-double(m[2]), -1.0, 1.0);
  double y = std::asin(sy);
  double cy = std::cos(y);
  double x, z;
  if (cy > 1e-6) {
    x = std::atan2(m[6] / cy, m[10] / cy);
    z = std::atan2(m[1] / cy, m[0] / cy);
  } else {
    // Gimbal lock: with z = 0, m5 = cos x and m9 = -sin x.
    z = 0;
    x = std::atan2(-double(m[9]), double(m[5]));
  }
  return {static_cast<float>(x * kRadToDeg), static_cast<float>(y * kRadToDeg),
          static_cast<float>(z * kRadToDeg)};
}

}  // namespace modra
