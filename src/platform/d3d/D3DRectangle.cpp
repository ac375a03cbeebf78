#include "platform/d3d/D3DRectangle.h"

#include "platform/d3d/D3DGeometry.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace Velk {

namespace {

using D3DGeometry::kSubPixels;

// In sixteenths of a pixel: 2^16 pixels.
constexpr int64_t kCornerLimit = int64_t{1} << 20;
// Numerators of texture positions in sixteenths of a texel.
constexpr double kGridLimit = 1 << 20;

bool PowerOfTwo(int size) { return size > 0 && (size & (size - 1)) == 0; }

// The texture position as a whole number of sixteenths of a texel, where it is one within the limit.
bool OnGrid(float position, int size, int64_t& sixteenths) {
  const double n = static_cast<double>(position) * kSubPixels * size;
  if (!(std::fabs(n) < kGridLimit) || n != std::floor(n)) return false;
  sixteenths = static_cast<int64_t>(n);
  return true;
}

}  // namespace

std::optional<D3DRectangle> D3DRectangle::Of(const D3DTLVERTEX* (&first)[3], const D3DTLVERTEX* (&second)[3],
                                             DWORD cullMode, int textureWidth, int textureHeight) {
  const D3DTLVERTEX* const v[6] = {first[0], first[1], first[2], second[0], second[1], second[2]};
  int64_t x[6], y[6];
  for (int i = 0; i < 6; ++i) {
    if (!D3DGeometry::Drawable(*v[i])) return std::nullopt;
    x[i] = D3DGeometry::Fixed(v[i]->sx);
    y[i] = D3DGeometry::Fixed(v[i]->sy);
    if (std::abs(x[i]) >= kCornerLimit || std::abs(y[i]) >= kCornerLimit) return std::nullopt;
    if (v[i]->color != v[0]->color) return std::nullopt;
  }
  D3DRectangle r;
  const auto [left, right] = std::minmax_element(x, x + 6);
  const auto [top, bottom] = std::minmax_element(y, y + 6);
  r.x_[0] = *left;
  r.x_[1] = *right;
  r.y_[0] = *top;
  r.y_[1] = *bottom;
  if (r.x_[0] == r.x_[1] || r.y_[0] == r.y_[1] || !r.Tiles(x, y, cullMode) ||
      !r.MapsTexels(v, x, y, textureWidth, textureHeight))
    return std::nullopt;
  const DWORD c = v[0]->color;
  r.colour_ = D3DAttributes{0,
                            0,
                            static_cast<float>(c >> 24),
                            static_cast<float>((c >> 16) & 0xFF),
                            static_cast<float>((c >> 8) & 0xFF),
                            static_cast<float>(c & 0xFF)};
  return r;
}

// Each triangle takes three corners, the one it leaves out opposite the other's, so that the two
// share a diagonal and lie on either side of it.
bool D3DRectangle::Tiles(const int64_t (&x)[6], const int64_t (&y)[6], DWORD cullMode) const {
  unsigned corners[2] = {};
  for (int i = 0; i < 6; ++i) {
    const bool right = x[i] == x_[1], bottom = y[i] == y_[1];
    if ((!right && x[i] != x_[0]) || (!bottom && y[i] != y_[0])) return false;
    corners[i / 3] |= 1u << (right + 2 * bottom);
  }
  if (std::popcount(corners[0]) != 3 || std::popcount(corners[1]) != 3 ||
      (std::countr_zero(~corners[0]) ^ std::countr_zero(~corners[1])) != 3)
    return false;
  for (int t = 0; t < 2; ++t) {
    const int64_t tx[3] = {x[3 * t], x[3 * t + 1], x[3 * t + 2]};
    const int64_t ty[3] = {y[3 * t], y[3 * t + 1], y[3 * t + 2]};
    if (D3DGeometry::Culled(D3DGeometry::Area(tx, ty), cullMode)) return false;
  }
  return true;
}

// u a function of the column alone and v of the row, each edge on the grid, one texel a pixel.
bool D3DRectangle::MapsTexels(const D3DTLVERTEX* const (&v)[6], const int64_t (&x)[6], const int64_t (&y)[6],
                              int textureWidth, int textureHeight) {
  if (textureWidth == 0) return true;
  if (!PowerOfTwo(textureWidth) || !PowerOfTwo(textureHeight)) return false;
  float u[2], w[2];
  for (int i = 0; i < 6; ++i) {
    u[x[i] == x_[1]] = v[i]->tu;
    w[y[i] == y_[1]] = v[i]->tv;
  }
  for (int i = 0; i < 6; ++i)
    if (v[i]->tu != u[x[i] == x_[1]] || v[i]->tv != w[y[i] == y_[1]]) return false;
  int64_t u0, u1, v0, v1;
  if (!OnGrid(u[0], textureWidth, u0) || !OnGrid(u[1], textureWidth, u1) || !OnGrid(w[0], textureHeight, v0) ||
      !OnGrid(w[1], textureHeight, v1) || u1 - u0 != x_[1] - x_[0] || v1 - v0 != y_[1] - y_[0])
    return false;
  u_ = u[0];
  v_ = w[0];
  du_ = 1.0f / static_cast<float>(textureWidth);
  dv_ = 1.0f / static_cast<float>(textureHeight);
  return true;
}

int D3DRectangle::Left() const { return static_cast<int>(D3DGeometry::CeilDiv(x_[0], kSubPixels)); }
int D3DRectangle::Top() const { return static_cast<int>(D3DGeometry::CeilDiv(y_[0], kSubPixels)); }
int D3DRectangle::Right() const { return static_cast<int>(D3DGeometry::CeilDiv(x_[1], kSubPixels)); }
int D3DRectangle::Bottom() const { return static_cast<int>(D3DGeometry::CeilDiv(y_[1], kSubPixels)); }

D3DSpan D3DRectangle::Span(int x, int y, int count) const {
  D3DSpan span{x, y, count, colour_, D3DAttributes{du_, 0, 0, 0, 0, 0}};
  span.at.u = static_cast<float>(u_ + static_cast<double>(int64_t{x} * kSubPixels - x_[0]) * du_ / kSubPixels);
  span.at.v = static_cast<float>(v_ + static_cast<double>(int64_t{y} * kSubPixels - y_[0]) * dv_ / kSubPixels);
  return span;
}

}  // namespace Velk
