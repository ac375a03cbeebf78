#include "common/Matrix3x3.h"

#include <cmath>

namespace Velk {

void Matrix3x3::LoadIdentity() {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) m[r][c] = (r == c) ? 1.0f : 0.0f;
}

Matrix3x3 Matrix3x3::Multiply(const Matrix3x3& other) const {
  Matrix3x3 result(false);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      result.m[r][c] = m[r][0] * other.m[0][c] + m[r][1] * other.m[1][c] + m[r][2] * other.m[2][c];
  return result;
}

Vector2 Matrix3x3::TransformPoint(float x, float y) const {
  return {m[0][0] * x + m[0][1] * y + m[0][2], m[1][0] * x + m[1][1] * y + m[1][2]};
}

Vector3 Matrix3x3::TransformVector3(float x, float y, float z) const {
  return {m[0][0] * x + m[0][1] * y + m[0][2] * z, m[1][0] * x + m[1][1] * y + m[1][2] * z,
          m[2][0] * x + m[2][1] * y + m[2][2] * z};
}

Matrix3x3& Matrix3x3::Translate(float tx, float ty) {
  Matrix3x3 t;
  t.m[0][2] = tx;
  t.m[1][2] = ty;
  return *this = t.Multiply(*this);
}

Matrix3x3& Matrix3x3::Rotate(float radians) {
  Matrix3x3 r;
  float c = std::cos(radians);
  float s = std::sin(radians);
  r.m[0][0] = c;
  r.m[0][1] = s;
  r.m[1][0] = -s;
  r.m[1][1] = c;
  return *this = r.Multiply(*this);
}

Matrix3x3& Matrix3x3::Scale(float sx, float sy) {
  Matrix3x3 s;
  s.m[0][0] = sx;
  s.m[1][1] = sy;
  return *this = s.Multiply(*this);
}

}  // namespace Velk
