#pragma once
// A 2-D transform that keeps the common simple shapes (a translation with either a rotation or a
// scale, plus a later translation) as pending parts and builds the matrix only when asked; anything
// else switches it to "complex", where the matrix itself is the transform until Reset.

#include "common/Matrix3x3.h"

namespace Velk {

class Transform2D {
 public:
  Transform2D() : mMatrix(false) { Reset(); }

  void Reset();
  void Translate(float dx, float dy);
  void Rotate(float radians);
  void RotateDeg(float degrees);
  void Scale(float sx, float sy);
  void MakeComplex();
  const Matrix3x3& GetMatrix();
  bool IsComplex() const { return mComplex; }

 private:
  void UpdateMatrix();
  bool HasPostTranslation() const { return mPostX != 0.0f || mPostY != 0.0f; }

  Matrix3x3 mMatrix;
  bool mDirty;
  bool mComplex;
  bool mHasRotation;
  bool mHasScale;
  float mTransX, mTransY;  // applied first
  float mPostX, mPostY;    // applied after the rotation or scale
  float mScaleX, mScaleY;
  float mRotation;
};

}  // namespace Velk
