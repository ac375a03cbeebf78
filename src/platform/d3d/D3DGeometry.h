#pragma once
// Vertex positions as the device's geometry takes them: 28.4 fixed point, so that triangles sharing
// an edge see the same edge whatever the order of their corners, and the winding that culling tests.

#include "platform/d3d/D3D.h"

#include <cmath>
#include <cstdint>

namespace Velk::D3DGeometry {

constexpr int kSubPixels = 16;

// Positions beyond this are refused: their fixed-point products would overflow.
constexpr float kPositionLimit = 1 << 24;

inline bool Drawable(const D3DTLVERTEX& v) {
  return std::fabs(v.sx) < kPositionLimit && std::fabs(v.sy) < kPositionLimit;
}

inline int64_t Fixed(float v) { return std::llround(static_cast<double>(v) * kSubPixels); }

inline int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
inline int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// Twice the signed area of a triangle of fixed-point corners; a positive area runs clockwise on the
// screen.
inline int64_t Area(const int64_t (&x)[3], const int64_t (&y)[3]) {
  return (x[1] - x[0]) * (y[2] - y[0]) - (y[1] - y[0]) * (x[2] - x[0]);
}

inline bool Culled(int64_t area, DWORD cullMode) {
  return (cullMode == D3DCULL_CW && area > 0) || (cullMode == D3DCULL_CCW && area < 0);
}

}  // namespace Velk::D3DGeometry
