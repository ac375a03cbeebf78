#pragma once
// Drawing on a picture with straight alpha: shapes are inside-tests sampled 4 x 4 per pixel, so
// their edges are smooth and the result depends on nothing but the arguments.

#include <cstdint>
#include <functional>

#include "contentlib/Picture.h"

namespace Content {

class Canvas {
 public:
  using Inside = std::function<bool(double x, double y)>;
  // Signed distance to a shape's edge: negative inside. Only pixels near the edge are sampled.
  using Distance = std::function<double(double x, double y)>;

  explicit Canvas(Picture& picture) : mPicture(picture) {}

  // Paints colour (0xAARRGGBB) over every pixel of the box that the shape covers, by coverage.
  void Fill(int left, int top, int right, int bottom, const Inside& inside, uint32_t colour);
  void FillShape(double left, double top, double right, double bottom, const Distance& distance, uint32_t colour);
  void Blend(int x, int y, uint32_t colour, double coverage);

  void Rect(double x, double y, double w, double h, uint32_t colour);
  void RoundRect(double x, double y, double w, double h, double radius, uint32_t colour);
  void Circle(double cx, double cy, double r, uint32_t colour);
  void Ring(double cx, double cy, double r, double width, uint32_t colour);
  void Line(double x0, double y0, double x1, double y1, double width, uint32_t colour);
  void Triangle(double x0, double y0, double x1, double y1, double x2, double y2, uint32_t colour);
  // Top colour to bottom colour over the whole picture.
  void Gradient(uint32_t top, uint32_t bottom);

  static uint32_t Mix(uint32_t a, uint32_t b, double t);
  // Each colour channel times factor (lighter above 1), clamped; alpha kept.
  static uint32_t Scale(uint32_t colour, double factor);
  static uint32_t WithAlpha(uint32_t colour, uint32_t alpha) { return (colour & 0xFFFFFF) | alpha << 24; }

  Picture& Target() { return mPicture; }

 private:
  Picture& mPicture;
};

}  // namespace Content
