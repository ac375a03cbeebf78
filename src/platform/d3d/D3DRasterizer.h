#pragma once
// The geometry half of the software device: which pixels a triangle, line or point covers. Pixel
// centres lie at integer coordinates; triangle edges are tested in 28.4 fixed point with the top-left
// rule, so triangles sharing an edge neither overlap nor leave a gap. Everything is clipped to the
// clip rectangle (the viewport within the target).

#include "platform/d3d/D3D.h"
#include "platform/d3d/D3DPixelPipeline.h"

namespace Velk {

class D3DRasterizer {
 public:
  struct Clip {
    int left;
    int top;
    int right;   // exclusive
    int bottom;  // exclusive
  };

  D3DRasterizer(const D3DPixelPipeline& pipeline, const Clip& clip, bool flat, DWORD cullMode)
      : pipeline_(pipeline), clip_(clip), flat_(flat), cullMode_(cullMode) {}

  void Triangle(const D3DTLVERTEX& v0, const D3DTLVERTEX& v1, const D3DTLVERTEX& v2) const;
  // Two triangles with a common edge, as a strip or fan gives them, drawn row by row together, so
  // that a row's two spans that meet can be shaded as one.
  void TrianglePair(const D3DTLVERTEX* (&first)[3], const D3DTLVERTEX* (&second)[3]) const;
  // Lights the pixels from the start up to, not including, the end pixel.
  void Line(const D3DTLVERTEX& from, const D3DTLVERTEX& to) const;
  void Point(const D3DTLVERTEX& v) const;

 private:
  class TriangleRows;

  void Rows(TriangleRows& rows) const;
  // Draws a pair that tiles a rectangle as its rows; false where the pair is not one.
  bool Rectangle(const D3DTLVERTEX* (&first)[3], const D3DTLVERTEX* (&second)[3]) const;
  void ShadeOne(int x, int y, const D3DAttributes& at) const;

  const D3DPixelPipeline& pipeline_;
  Clip clip_;
  bool flat_;
  DWORD cullMode_;
};

}  // namespace Velk
