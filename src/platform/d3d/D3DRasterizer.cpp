#include "platform/d3d/D3DRasterizer.h"

#include "platform/d3d/D3DGeometry.h"
#include "platform/d3d/D3DRectangle.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

namespace Velk {

namespace {

using D3DGeometry::Area;
using D3DGeometry::CeilDiv;
using D3DGeometry::Culled;
using D3DGeometry::Drawable;
using D3DGeometry::Fixed;
using D3DGeometry::FloorDiv;
using D3DGeometry::kSubPixels;

D3DAttributes AttributesOf(const D3DTLVERTEX& v, DWORD color) {
  return D3DAttributes{v.tu,
                       v.tv,
                       static_cast<float>(color >> 24),
                       static_cast<float>((color >> 16) & 0xFF),
                       static_cast<float>((color >> 8) & 0xFF),
                       static_cast<float>(color & 0xFF)};
}

// Member-wise a + (b - a) * t and friends over the six attributes.
template <typename F>
[[gnu::always_inline]] inline D3DAttributes Map(const D3DAttributes& a, const D3DAttributes& b, const D3DAttributes& c,
                                                F f) {
  return D3DAttributes{f(a.u, b.u, c.u), f(a.v, b.v, c.v), f(a.a, b.a, c.a),
                       f(a.r, b.r, c.r), f(a.g, b.g, c.g), f(a.b, b.b, c.b)};
}

struct Edge {
  int64_t x0, y0, dx, dy;
  int64_t bias;  // 0 on a top or left edge, which owns the pixels exactly on it
};

// The column range [lo, hi] that an edge leaves on consecutive rows from a first one. On row y,
// c = dx (y S - y0) + dy x0 (S the sub-pixels) and n = c - bias; a rising edge (dy > 0) bounds hi by
// floor(n / (dy S)), a falling one bounds lo by ceil(-n / (-dy S)), a flat one empties the row where
// n < 0. n is kept as q whole divisors and a remainder r in [0, divisor), stepped by dx S a row without
// a division.
class EdgeRows {
 public:
  EdgeRows() = default;
  EdgeRows(const Edge& e, int y)
      : dy_(e.dy), divisor_((e.dy < 0 ? -e.dy : e.dy) * kSubPixels), step_(e.dx * kSubPixels) {
    const int64_t n = e.dx * (static_cast<int64_t>(y) * kSubPixels - e.y0) + e.dy * e.x0 - e.bias;
    if (dy_ == 0) {
      q_ = n;  // a flat edge keeps n itself
      return;
    }
    q_ = FloorDiv(n, divisor_);
    r_ = n - q_ * divisor_;
    stepQ_ = FloorDiv(step_, divisor_);
    stepR_ = step_ - stepQ_ * divisor_;
  }

  void Narrow(int64_t& lo, int64_t& hi) const {
    if (dy_ == 0) {
      if (q_ < 0) hi = lo - 1;
    } else if (dy_ > 0) {
      hi = std::min(hi, q_);
    } else {
      lo = std::max(lo, -q_);  // ceil((bias - c) / divisor) = -floor((c - bias) / divisor)
    }
  }

  void Next() {
    if (dy_ == 0) {
      q_ += step_;
      return;
    }
    q_ += stepQ_;
    r_ += stepR_;
    if (r_ >= divisor_) {
      r_ -= divisor_;
      ++q_;
    }
  }

 private:
  int64_t dy_ = 0, divisor_ = 1, step_ = 0;
  int64_t q_ = 0, r_ = 0, stepQ_ = 0, stepR_ = 0;
};

Edge MakeEdge(int64_t ax, int64_t ay, int64_t bx, int64_t by) {
  const int64_t dx = bx - ax;
  const int64_t dy = by - ay;
  const bool topLeft = dy < 0 || (dy == 0 && dx > 0);
  return Edge{ax, ay, dx, dy, topLeft ? 0 : 1};
}

}  // namespace

// One triangle within the clip: its edges and attribute planes, then the span of each row in turn.
class D3DRasterizer::TriangleRows {
 public:
  TriangleRows(const D3DTLVERTEX& v0, const D3DTLVERTEX& in1, const D3DTLVERTEX& in2, const D3DRasterizer& r) {
    if (!Drawable(v0) || !Drawable(in1) || !Drawable(in2)) return;
    int64_t x[3] = {Fixed(v0.sx), Fixed(in1.sx), Fixed(in2.sx)};
    int64_t y[3] = {Fixed(v0.sy), Fixed(in1.sy), Fixed(in2.sy)};
    const int64_t area = Area(x, y);
    if (area == 0 || Culled(area, r.cullMode_)) return;
    const DWORD flatColor = v0.color;
    D3DAttributes at[3] = {AttributesOf(v0, v0.color), AttributesOf(in1, r.flat_ ? flatColor : in1.color),
                           AttributesOf(in2, r.flat_ ? flatColor : in2.color)};
    if (area < 0) {
      std::swap(x[1], x[2]);
      std::swap(y[1], y[2]);
      std::swap(at[1], at[2]);
    }
    const Edge edges[3] = {MakeEdge(x[0], y[0], x[1], y[1]), MakeEdge(x[1], y[1], x[2], y[2]),
                           MakeEdge(x[2], y[2], x[0], y[0])};

    // Attribute planes over the fixed-point positions.
    const double fx1 = static_cast<double>(x[1] - x[0]) / kSubPixels,
                 fy1 = static_cast<double>(y[1] - y[0]) / kSubPixels;
    const double fx2 = static_cast<double>(x[2] - x[0]) / kSubPixels,
                 fy2 = static_cast<double>(y[2] - y[0]) / kSubPixels;
    const double det = fx1 * fy2 - fy1 * fx2;
    ddx_ = Map(at[0], at[1], at[2], [&](float a0, float a1, float a2) {
      return static_cast<float>(((a1 - a0) * fy2 - (a2 - a0) * fy1) / det);
    });
    ddy_ = Map(at[0], at[1], at[2], [&](float a0, float a1, float a2) {
      return static_cast<float>(((a2 - a0) * fx1 - (a1 - a0) * fx2) / det);
    });
    origin_ = at[0];
    plainColour_ = ddx_.a == 0 && ddx_.r == 0 && ddx_.g == 0 && ddx_.b == 0 && ddy_.a == 0 && ddy_.r == 0 &&
                   ddy_.g == 0 && ddy_.b == 0;
    ox_ = static_cast<double>(x[0]) / kSubPixels;
    oy_ = static_cast<double>(y[0]) / kSubPixels;

    const int64_t minY = CeilDiv(std::min({y[0], y[1], y[2]}), kSubPixels);
    const int64_t maxY = FloorDiv(std::max({y[0], y[1], y[2]}), kSubPixels);
    top_ = static_cast<int>(std::max<int64_t>(minY, r.clip_.top));
    bottom_ = static_cast<int>(std::min<int64_t>(maxY, r.clip_.bottom - 1));
    for (int i = 0; i < 3; ++i) bounds_[i] = EdgeRows(edges[i], top_);
    left_ = r.clip_.left;
    right_ = r.clip_.right;
  }

  // Whether row lies within the triangle's rows (none for a triangle too far out, flat or culled).
  bool Covers(int row) const { return row >= top_ && row <= bottom_; }
  int Top() const { return top_; }
  int Bottom() const { return bottom_; }

  // The span of the next row, the rows taken one after the other from Top(); false where it is empty.
  bool NextRow(int row, D3DSpan& span) {
    int64_t lo = left_;
    int64_t hi = right_ - 1;
    for (EdgeRows& b : bounds_) {
      b.Narrow(lo, hi);
      b.Next();
    }
    if (lo > hi) return false;
    const double dx = static_cast<double>(lo) - ox_;
    const double dy = row - oy_;
    span.x = static_cast<int>(lo);
    span.y = row;
    span.count = static_cast<int>(hi - lo + 1);
    auto plane = [&](float a0, float gx, float gy) { return static_cast<float>(a0 + gx * dx + gy * dy); };
    if (plainColour_) {
      // The plane of a colour without slopes gives its corner's value everywhere.
      span.at = origin_;
      span.at.u = plane(origin_.u, ddx_.u, ddy_.u);
      span.at.v = plane(origin_.v, ddx_.v, ddy_.v);
    } else {
      span.at = Map(origin_, ddx_, ddy_, plane);
    }
    span.step = ddx_;
    return true;
  }

 private:
  D3DAttributes origin_, ddx_, ddy_;
  bool plainColour_ = false;
  double ox_ = 0, oy_ = 0;
  int top_ = 0, bottom_ = -1;
  int left_ = 0, right_ = 0;
  EdgeRows bounds_[3];
};

void D3DRasterizer::Triangle(const D3DTLVERTEX& v0, const D3DTLVERTEX& v1, const D3DTLVERTEX& v2) const {
  TriangleRows rows(v0, v1, v2, *this);
  Rows(rows);
}

void D3DRasterizer::Rows(TriangleRows& rows) const {
  D3DSpan span;
  for (int row = rows.Top(); row <= rows.Bottom(); ++row)
    if (rows.NextRow(row, span)) pipeline_.ShadeSpan(span);
}

// Every pixel still takes the first triangle before the second, so the order of the rows does not
// change its bytes even where the two overlap.
void D3DRasterizer::TrianglePair(const D3DTLVERTEX* (&first)[3], const D3DTLVERTEX* (&second)[3]) const {
  if (Rectangle(first, second)) return;
  TriangleRows a(*first[0], *first[1], *first[2], *this), b(*second[0], *second[1], *second[2], *this);
  if (!a.Covers(a.Top()) || !b.Covers(b.Top())) {
    Rows(a);
    Rows(b);
    return;
  }
  D3DSpan spanA, spanB;
  for (int row = std::min(a.Top(), b.Top()); row <= std::max(a.Bottom(), b.Bottom()); ++row) {
    const bool inA = a.Covers(row) && a.NextRow(row, spanA);
    const bool inB = b.Covers(row) && b.NextRow(row, spanB);
    if (inA && inB && spanA.x + spanA.count == spanB.x) {
      pipeline_.ShadeSpans(spanA, spanB);
    } else if (inA && inB && spanB.x + spanB.count == spanA.x) {
      pipeline_.ShadeSpans(spanB, spanA);
    } else {
      if (inA) pipeline_.ShadeSpan(spanA);
      if (inB) pipeline_.ShadeSpan(spanB);
    }
  }
}

bool D3DRasterizer::Rectangle(const D3DTLVERTEX* (&first)[3], const D3DTLVERTEX* (&second)[3]) const {
  // A texture that is the target may be read where this pair has drawn; such pairs take the rows of
  // their triangles.
  if (pipeline_.ReadsItsTarget()) return false;
  const D3DTextureView& t = pipeline_.Texture();
  const std::optional<D3DRectangle> r =
      D3DRectangle::Of(first, second, cullMode_, t.texels ? t.width : 0, t.texels ? t.height : 0);
  if (!r) return false;
  const int left = std::max(r->Left(), clip_.left), right = std::min(r->Right(), clip_.right);
  const int top = std::max(r->Top(), clip_.top), bottom = std::min(r->Bottom(), clip_.bottom);
  if (left < right && top < bottom) pipeline_.ShadeRows(r->Span(left, top, right - left), bottom - top, r->RowStepV());
  return true;
}

void D3DRasterizer::ShadeOne(int x, int y, const D3DAttributes& at) const {
  if (x < clip_.left || x >= clip_.right || y < clip_.top || y >= clip_.bottom) return;
  pipeline_.ShadeSpan(D3DSpan{x, y, 1, at, D3DAttributes{}});
}

void D3DRasterizer::Line(const D3DTLVERTEX& from, const D3DTLVERTEX& to) const {
  if (!Drawable(from) || !Drawable(to)) return;
  const int x0 = static_cast<int>(std::floor(from.sx + 0.5f)), y0 = static_cast<int>(std::floor(from.sy + 0.5f));
  const int x1 = static_cast<int>(std::floor(to.sx + 0.5f)), y1 = static_cast<int>(std::floor(to.sy + 0.5f));
  const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
  const D3DAttributes a = AttributesOf(from, from.color);
  const D3DAttributes b = AttributesOf(to, flat_ ? from.color : to.color);
  for (int i = 0; i < steps; ++i) {
    const float t = static_cast<float>(i) / static_cast<float>(steps);
    const int px = static_cast<int>(std::floor(from.sx + (to.sx - from.sx) * t + 0.5f));
    const int py = static_cast<int>(std::floor(from.sy + (to.sy - from.sy) * t + 0.5f));
    ShadeOne(px, py, Map(a, b, a, [t](float p, float q, float) { return p + (q - p) * t; }));
  }
}

void D3DRasterizer::Point(const D3DTLVERTEX& v) const {
  if (!Drawable(v)) return;
  ShadeOne(static_cast<int>(std::floor(v.sx + 0.5f)), static_cast<int>(std::floor(v.sy + 0.5f)),
           AttributesOf(v, v.color));
}

}  // namespace Velk
