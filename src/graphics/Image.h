#pragma once
#include <memory>
#include <string>

#include "graphics/Color.h"
#include "graphics/ImageAnimSettings.h"
#include "graphics/Rect.h"
#include "graphics/Span.h"
#include "graphics/TriVertex.h"
#include "platform/base/WinTypes.h"
#include "graphics/RowBand.h"

namespace Velk {

class Matrix3x3;

// The abstract drawing target. The drawing context reaches every image kind only through the
// virtual operations below; in the base they do nothing unless stated.
class Image {
 public:
  bool mDrawn = false;  // set on a source by the derived images' blits
  std::string mFilePath;
  int mWidth = 0;
  int mHeight = 0;
  int mNumRows = 1;
  int mNumCols = 1;
  std::unique_ptr<ImageAnimSettings> mAnimInfo;
  RowBand mHiddenRows;  // see SetHiddenRows

  Image() = default;
  // A copy starts with an empty path and not yet drawn.
  Image(const Image& other);
  Image& operator=(const Image&) = delete;
  virtual ~Image();

  virtual bool FillPolygon(const POINT* points, int count, const Rect& clip, const Color& color, int drawMode,
                           int offsetX, int offsetY, bool convex);
  virtual void FillRect(const Rect& rect, const Color& color, int drawMode);
  // Outlines rect.width + 1 by rect.height + 1 pixels with four fills.
  virtual void DrawRect(const Rect& rect, const Color& color, int drawMode);
  virtual void ClearRect(const Rect& rect);
  virtual void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode);
  virtual void DrawLineSmooth(double x1, double y1, double x2, double y2, const Color& color, int drawMode);
  virtual void FillSpans(const Span* spans, int count, const Color& color, int drawMode);
  // coverage holds one byte per pixel, addressed from (originX, originY) with the given row stride.
  virtual void FillSpansCoverage(const Span* spans, int count, const Color& color, int drawMode,
                                 const unsigned char* coverage, int originX, int originY, int stride, bool unused);
  virtual void Blit(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode);
  virtual void BlitF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                     int drawMode);
  virtual void BlitRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                           int drawMode, double angle, float centerX, float centerY);
  virtual void BlitStretched(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                             const Color& color, int drawMode, bool fast);
  virtual void BlitTransformed(Image* src, float x, float y, const Matrix3x3& matrix, const Rect& clip,
                               const Color& color, int drawMode, const Rect& srcRect, bool blend);
  // triangles holds count triples of corners.
  virtual void BlitTriangles(Image* src, const TriVertex (*triangles)[3], int count, const Rect& clip,
                             const Color& color, int drawMode, float x, float y, bool blend);
  virtual void BlitMirrored(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode);
  virtual void BlitStretchedMirrored(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                                     const Color& color, int drawMode, bool fast);
  // Rows top..bottom - 1 that the caller covers with opaque pixels after the draws that follow: the
  // transformed and triangle blits may leave them as they are, every other pixel getting the bytes
  // it gets without them. The other operations draw those rows all the same. Equal values: none.
  virtual void SetHiddenRows(int top, int bottom);

  int GetWidth() const { return mWidth; }
  int GetHeight() const { return mHeight; }
  // Takes rows, columns and a copy of the animation settings from another image.
  void CopyCelInfo(const Image& other);
};

// The empty image that a drawing context made on no image draws into; every operation does nothing.
extern Image gNullImage;

}  // namespace Velk
