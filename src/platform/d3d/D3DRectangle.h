#pragma once
// Two triangles of a strip or fan that tile an axis-aligned rectangle, one texel a pixel, in one
// colour: every picture drawn whole at its size. Such a pair can be drawn as rows of one rectangle
// with the bytes of drawing its triangles, because everything their planes give is exact there:
// corners within 2^16 pixels, a texture a power of two each way, and texture positions on the grid
// of a sixteenth of a texel (numerators below 2^20) make every product, sum and quotient of the plane
// set-up and evaluation exact in double and in float. The planes then give each pixel the true
// position of its centre, whichever triangle it falls in, and the fill rule gives the rectangle's
// pixels with centres on its left and top edges.

#include "platform/d3d/D3D.h"
#include "platform/d3d/D3DPixelPipeline.h"

#include <cstdint>
#include <optional>

namespace Velk {

class D3DRectangle {
 public:
  // The rectangle that first and second tile, or none where they are not one as above or cullMode
  // drops either. A texture size of 0 stands for no texture, where positions do not matter.
  static std::optional<D3DRectangle> Of(const D3DTLVERTEX* (&first)[3], const D3DTLVERTEX* (&second)[3], DWORD cullMode,
                                        int textureWidth, int textureHeight);

  // The pixels covered: columns Left() to Right() and rows Top() to Bottom(), the ends exclusive.
  int Left() const;
  int Top() const;
  int Right() const;
  int Bottom() const;
  // count pixels of row y from column x, with the attributes the triangles give them.
  D3DSpan Span(int x, int y, int count) const;
  // What v grows by from one row to the next.
  float RowStepV() const { return dv_; }

 private:
  D3DRectangle() = default;
  bool Tiles(const int64_t (&x)[6], const int64_t (&y)[6], DWORD cullMode) const;
  bool MapsTexels(const D3DTLVERTEX* const (&v)[6], const int64_t (&x)[6], const int64_t (&y)[6], int textureWidth,
                  int textureHeight);

  int64_t x_[2] = {};  // fixed-point left and right edges
  int64_t y_[2] = {};  // top and bottom
  float u_ = 0;        // at the left edge
  float v_ = 0;        // at the top edge
  float du_ = 0;
  float dv_ = 0;
  D3DAttributes colour_;
};

}  // namespace Velk
