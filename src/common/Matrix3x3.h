#pragma once
// A 3 x 3 float matrix for 2-D affine work in homogeneous coordinates. Points are column vectors
// (x, y, 1). Translate, Rotate and Scale multiply the new matrix in front, so a sequence of calls acts
// on points in the order of the calls.

namespace Velk {

struct Vector2 {
  float x;
  float y;
};

struct Vector3 {
  float x;
  float y;
  float z;
};

class Matrix3x3 {
 public:
  // Row-major: m[row][column].
  float m[3][3];

  Matrix3x3() { LoadIdentity(); }
  // With false the elements are left unset, for callers that fill them all.
  explicit Matrix3x3(bool loadIdentity) {
    if (loadIdentity) LoadIdentity();
  }

  void LoadIdentity();
  Matrix3x3 Multiply(const Matrix3x3& other) const;  // this x other
  Vector2 TransformPoint(float x, float y) const;
  Vector3 TransformVector3(float x, float y, float z) const;

  Matrix3x3& Translate(float tx, float ty);
  Matrix3x3& Rotate(float radians);
  Matrix3x3& Scale(float sx, float sy);
};

}  // namespace Velk
