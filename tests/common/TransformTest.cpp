#include "common/Transform2D.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kHalfPi = 1.5707964f;

void ExpectMaps(Velk::Transform2D& t, float x, float y, float ex, float ey) {
  Velk::Vector2 p = t.GetMatrix().TransformPoint(x, y);
  EXPECT_NEAR(p.x, ex, 1e-4f) << "x of (" << x << ", " << y << ")";
  EXPECT_NEAR(p.y, ey, 1e-4f) << "y of (" << x << ", " << y << ")";
}

TEST(Matrix3x3, OperationsApplyToPointsInCallOrder) {
  Velk::Matrix3x3 m;
  m.Translate(5, 0).Rotate(kHalfPi).Scale(2, 3);
  // (1, 2) -> translate (6, 2) -> rotate: (cos*x + sin*y, -sin*x + cos*y) = (2, -6) -> scale (4, -18).
  Velk::Vector2 p = m.TransformPoint(1, 2);
  EXPECT_NEAR(p.x, 4.0f, 1e-4f);
  EXPECT_NEAR(p.y, -18.0f, 1e-4f);

  Velk::Vector3 v = m.TransformVector3(1, 2, 0);  // a direction ignores the translation
  EXPECT_NEAR(v.x, 4.0f, 1e-4f);
  EXPECT_NEAR(v.y, -3.0f, 1e-4f);
  EXPECT_NEAR(v.z, 0.0f, 1e-6f);
}

TEST(Matrix3x3, MultiplyIsRowTimesColumn) {
  Velk::Matrix3x3 a(false), b(false);
  for (int i = 0; i < 9; ++i) {
    a.m[i / 3][i % 3] = static_cast<float>(i + 1);
    b.m[i / 3][i % 3] = static_cast<float>(9 - i);
  }
  Velk::Matrix3x3 p = a.Multiply(b);
  // [1 2 3; 4 5 6; 7 8 9] x [9 8 7; 6 5 4; 3 2 1]
  const float expected[3][3] = {{30, 24, 18}, {84, 69, 54}, {138, 114, 90}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(p.m[r][c], expected[r][c]);
}

TEST(Transform2D, TranslateRotateTranslateStaysSimpleAndIsExact) {
  Velk::Transform2D t;
  t.Translate(5, 0);
  t.Rotate(kHalfPi);
  t.Translate(1, 1);
  EXPECT_FALSE(t.IsComplex());
  // (0, 0) -> (5, 0) -> (0, -5) -> (1, -4)
  ExpectMaps(t, 0, 0, 1, -4);
  ExpectMaps(t, 1, 2, 3, -5);  // (6, 2) -> (2, -6) -> (3, -5)
}

TEST(Transform2D, WhatCannotStaySimpleBecomesComplex) {
  Velk::Transform2D a;
  a.Translate(5, 0);
  a.Scale(2, 2);
  EXPECT_TRUE(a.IsComplex());
  ExpectMaps(a, 1, 1, 12, 2);

  Velk::Transform2D b;
  b.Scale(2, 2);
  b.Rotate(0.1f);
  EXPECT_TRUE(b.IsComplex());

  Velk::Transform2D c;
  c.Scale(-1, 1);
  EXPECT_FALSE(c.IsComplex());
  ExpectMaps(c, 3, 4, -3, 4);
  c.Scale(-1, 1);
  EXPECT_TRUE(c.IsComplex());
  ExpectMaps(c, 3, 4, 3, 4);
  c.Translate(1, 0);  // stays complex until Reset
  EXPECT_TRUE(c.IsComplex());
  ExpectMaps(c, 3, 4, 4, 4);
  c.Reset();
  EXPECT_FALSE(c.IsComplex());
  ExpectMaps(c, 3, 4, 3, 4);

  Velk::Transform2D d;
  d.Scale(1, -1);
  EXPECT_TRUE(d.IsComplex());
  ExpectMaps(d, 3, 4, 3, -4);
}

TEST(Transform2D, LaterRotationOrScaleDoesNotMoveTheEarlierTranslation) {
  Velk::Transform2D r;
  r.Rotate(kHalfPi);
  r.Translate(1, 0);
  r.Rotate(kHalfPi);
  // (1, 0) -> (0, -1) -> (1, -1) -> (-1, -1)
  ExpectMaps(r, 1, 0, -1, -1);

  Velk::Transform2D s;
  s.Scale(2, 2);
  s.Translate(1, 0);
  s.Scale(3, 3);
  ExpectMaps(s, 1, 1, 9, 6);  // ((2 + 1) * 3, 2 * 3)
}

TEST(Transform2D, SimpleFormMatchesTheMatrixPath) {
  Velk::Transform2D t;
  t.Translate(-3, 7);
  t.RotateDeg(30);
  t.Translate(2, -1);
  EXPECT_FALSE(t.IsComplex());
  Velk::Matrix3x3 m;
  m.Translate(-3, 7).Rotate(30 * 3.1415927f / 180).Translate(2, -1);
  for (float x : {-10.0f, 0.0f, 13.5f}) {
    Velk::Vector2 p = m.TransformPoint(x, x / 2);
    ExpectMaps(t, x, x / 2, p.x, p.y);
  }
}

}  // namespace
