#include "contentlib/Canvas.h"

#include <algorithm>
#include <cmath>

namespace Content {
namespace {

constexpr int kSamples = 4;

double Channel(uint32_t c, int shift) { return (c >> shift) & 0xFF; }

double Length(double x, double y) { return std::sqrt(x * x + y * y); }

double SegmentDistance(double px, double py, double x0, double y0, double x1, double y1) {
  const double dx = x1 - x0, dy = y1 - y0;
  const double length = dx * dx + dy * dy;
  const double t = length > 0 ? std::clamp(((px - x0) * dx + (py - y0) * dy) / length, 0.0, 1.0) : 0;
  return Length(px - x0 - t * dx, py - y0 - t * dy);
}

// Signed distance to a box with rounded corners (radius 0: a plain box).
double RoundBoxDistance(double px, double py, double x, double y, double w, double h, double radius) {
  const double qx = std::fabs(px - (x + w / 2)) - (w / 2 - radius);
  const double qy = std::fabs(py - (y + h / 2)) - (h / 2 - radius);
  return Length(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - radius;
}

// Half a pixel's diagonal: a pixel whose centre is farther than this from the edge is wholly on one side.
constexpr double kHalfDiagonal = 0.7072;

}  // namespace

uint32_t Canvas::Mix(uint32_t a, uint32_t b, double t) {
  uint32_t out = 0;
  for (int shift : {0, 8, 16, 24})
    out |= static_cast<uint32_t>(std::lround(Channel(a, shift) + (Channel(b, shift) - Channel(a, shift)) * t)) << shift;
  return out;
}

uint32_t Canvas::Scale(uint32_t colour, double factor) {
  uint32_t out = colour & 0xFF000000;
  for (int shift : {0, 8, 16})
    out |= static_cast<uint32_t>(std::clamp(std::lround(Channel(colour, shift) * factor), 0L, 255L)) << shift;
  return out;
}

void Canvas::Blend(int x, int y, uint32_t colour, double coverage) {
  if (!mPicture.Inside(x, y) || coverage <= 0) return;
  uint32_t& dst = mPicture.At(x, y);
  const double sa = Channel(colour, 24) / 255 * coverage, da = Channel(dst, 24) / 255;
  const double oa = sa + da * (1 - sa);
  if (oa <= 0) return;
  uint32_t out = static_cast<uint32_t>(std::lround(oa * 255)) << 24;
  for (int shift : {0, 8, 16}) {
    const double v = (Channel(colour, shift) * sa + Channel(dst, shift) * da * (1 - sa)) / oa;
    out |= static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L)) << shift;
  }
  dst = out;
}

void Canvas::Fill(int left, int top, int right, int bottom, const Inside& inside, uint32_t colour) {
  left = std::max(left, 0), top = std::max(top, 0);
  right = std::min(right, mPicture.width), bottom = std::min(bottom, mPicture.height);
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      int hits = 0;
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx)
          hits += inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples) ? 1 : 0;
      Blend(x, y, colour, static_cast<double>(hits) / (kSamples * kSamples));
    }
}

void Canvas::FillShape(double left, double top, double right, double bottom, const Distance& distance,
                       uint32_t colour) {
  const int x0 = std::max(0, static_cast<int>(std::floor(left))), y0 = std::max(0, static_cast<int>(std::floor(top)));
  const int x1 = std::min(mPicture.width, static_cast<int>(std::ceil(right)));
  const int y1 = std::min(mPicture.height, static_cast<int>(std::ceil(bottom)));
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const double d = distance(x + 0.5, y + 0.5);
      if (d >= kHalfDiagonal) continue;
      if (d <= -kHalfDiagonal) {
        Blend(x, y, colour, 1);
        continue;
      }
      int hits = 0;
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx)
          hits += distance(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples) <= 0 ? 1 : 0;
      Blend(x, y, colour, static_cast<double>(hits) / (kSamples * kSamples));
    }
}

void Canvas::Rect(double x, double y, double w, double h, uint32_t colour) {
  // Whole-pixel rectangles need no sampling.
  if (x == std::floor(x) && y == std::floor(y) && w == std::floor(w) && h == std::floor(h)) {
    for (int py = static_cast<int>(y); py < y + h; ++py)
      for (int px = static_cast<int>(x); px < x + w; ++px) Blend(px, py, colour, 1);
    return;
  }
  FillShape(
      x, y, x + w, y + h, [=](double px, double py) { return RoundBoxDistance(px, py, x, y, w, h, 0); }, colour);
}

void Canvas::RoundRect(double x, double y, double w, double h, double radius, uint32_t colour) {
  radius = std::max(0.0, std::min({radius, w / 2, h / 2}));
  FillShape(
      x, y, x + w, y + h, [=](double px, double py) { return RoundBoxDistance(px, py, x, y, w, h, radius); }, colour);
}

void Canvas::Circle(double cx, double cy, double r, uint32_t colour) {
  FillShape(
      cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1,
      [=](double px, double py) { return Length(px - cx, py - cy) - r; }, colour);
}

void Canvas::Ring(double cx, double cy, double r, double width, uint32_t colour) {
  FillShape(
      cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1,
      [=](double px, double py) {
        const double d = Length(px - cx, py - cy);
        return std::max(d - r, r - width - d);
      },
      colour);
}

void Canvas::Line(double x0, double y0, double x1, double y1, double width, uint32_t colour) {
  const double half = width / 2;
  FillShape(
      std::min(x0, x1) - half - 1, std::min(y0, y1) - half - 1, std::max(x0, x1) + half + 1,
      std::max(y0, y1) + half + 1, [=](double px, double py) { return SegmentDistance(px, py, x0, y0, x1, y1) - half; },
      colour);
}

void Canvas::Triangle(double x0, double y0, double x1, double y1, double x2, double y2, uint32_t colour) {
  auto side = [](double ax, double ay, double bx, double by, double px, double py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
  };
  Fill(
      static_cast<int>(std::min({x0, x1, x2})), static_cast<int>(std::min({y0, y1, y2})),
      static_cast<int>(std::max({x0, x1, x2})) + 1, static_cast<int>(std::max({y0, y1, y2})) + 1,
      [=](double px, double py) {
        const double a = side(x0, y0, x1, y1, px, py), b = side(x1, y1, x2, y2, px, py),
                     c = side(x2, y2, x0, y0, px, py);
        return (a >= 0 && b >= 0 && c >= 0) || (a <= 0 && b <= 0 && c <= 0);
      },
      colour);
}

void Canvas::Gradient(uint32_t top, uint32_t bottom) {
  for (int y = 0; y < mPicture.height; ++y) {
    const uint32_t c = Mix(top, bottom, mPicture.height > 1 ? static_cast<double>(y) / (mPicture.height - 1) : 0);
    for (int x = 0; x < mPicture.width; ++x) mPicture.At(x, y) = c;
  }
}

}  // namespace Content
