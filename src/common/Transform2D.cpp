#include "common/Transform2D.h"

namespace Velk {

void Transform2D::Reset() {
  mDirty = true;
  mComplex = mHasRotation = mHasScale = false;
  mTransX = mTransY = mPostX = mPostY = 0.0f;
  mScaleX = mScaleY = 1.0f;
  mRotation = 0.0f;
}

void Transform2D::Translate(float dx, float dy) {
  if (mComplex) {
    mMatrix.Translate(dx, dy);
    return;
  }
  mDirty = true;
  if (!mHasRotation && !mHasScale) {
    mTransX += dx;
    mTransY += dy;
  } else {
    mPostX += dx;
    mPostY += dy;
  }
}

// A rotation or scale after the post-translation cannot be folded into the pending parts (it would
// move the post-translation too), so it goes through the matrix.
void Transform2D::Rotate(float radians) {
  if (!mComplex && (mHasScale || HasPostTranslation())) MakeComplex();
  if (mComplex) {
    mMatrix.Rotate(radians);
    return;
  }
  mRotation += radians;
  mDirty = mHasRotation = true;
}

void Transform2D::RotateDeg(float degrees) { Rotate(degrees * 3.1415927f / 180.0f); }

void Transform2D::Scale(float sx, float sy) {
  if (!mComplex) {
    // Only a mirror in x that lands exactly on -1 stays simple among negative scales.
    bool badMirror = sx < 0.0f && mScaleX * sx != -1.0f;
    if (mHasRotation || mTransX != 0.0f || mTransY != 0.0f || sy < 0.0f || badMirror || HasPostTranslation())
      MakeComplex();
  }
  if (mComplex) {
    mMatrix.Scale(sx, sy);
    return;
  }
  mScaleX *= sx;
  mScaleY *= sy;
  mDirty = mHasScale = true;
}

void Transform2D::MakeComplex() {
  if (mComplex) return;
  mComplex = true;
  UpdateMatrix();
}

const Matrix3x3& Transform2D::GetMatrix() {
  UpdateMatrix();
  return mMatrix;
}

void Transform2D::UpdateMatrix() {
  if (!mDirty) return;
  mDirty = false;
  mMatrix.LoadIdentity();
  mMatrix.m[0][2] = mTransX;
  mMatrix.m[1][2] = mTransY;
  if (mHasScale) {
    mMatrix.m[0][0] = mScaleX;
    mMatrix.m[1][1] = mScaleY;
  } else if (mHasRotation) {
    mMatrix.Rotate(mRotation);
  }
  if (HasPostTranslation()) mMatrix.Translate(mPostX, mPostY);
}

}  // namespace Velk
