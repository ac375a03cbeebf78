#pragma once
// The 3-D road of the drawing operations: what the display and its surface images ask of the
// renderer that draws into the 3-D draw surface. The mirrored, clipped, stretched and rotated blits
// are expressed here once as matrices for the renderer's transformed blit.
#include <string>

#include "graphics/Color.h"
#include "graphics/Rect.h"
#include "graphics/TriVertex.h"
#include "platform/base/WinTypes.h"

namespace Velk {

class DDInterface;
class Image;
class MemoryImage;
class Matrix3x3;

class DisplayRenderer {
 public:
  virtual ~DisplayRenderer() = default;

  // True when the renderer can draw into the display's draw surface.
  virtual bool Init(DDInterface* display) = 0;
  virtual void ReleaseAll() = 0;
  // Empty while no Direct3D call has failed.
  virtual std::string GetErrorText() = 0;
  virtual void EndSceneIfBegun() = 0;
  virtual void ForgetImage(MemoryImage* image) = 0;
  // Rows of the draw surface the following draws leave as they are (Image::SetHiddenRows).
  virtual void SetHiddenRows(int top, int bottom) = 0;

  virtual void FillPolygon(const POINT* points, int count, const Rect& clip, const Color& color, int drawMode,
                           int offsetX, int offsetY) = 0;
  virtual void FillRect(const Rect& rect, const Color& color, int drawMode) = 0;
  virtual void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) = 0;
  virtual void Blit(Image* src, float x, float y, const Rect& srcRect, const Color& color, int drawMode,
                    bool linear) = 0;
  // clip may be null (no clipping).
  virtual void BlitTransformed(Image* src, const Matrix3x3& matrix, const Rect& srcRect, const Color& color,
                               int drawMode, const Rect* clip, float x, float y, bool linear, bool centred) = 0;
  virtual void BlitTriangles(Image* src, const TriVertex (*triangles)[3], int count, const Rect& clip,
                             const Color& color, int drawMode, float x, float y, bool blend) = 0;

  void BlitMirrored(Image* src, float x, float y, const Rect& srcRect, const Color& color, int drawMode, bool linear);
  void BlitClipped(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                   int drawMode);
  void BlitStretched(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& color,
                     int drawMode, bool fast, bool mirror);
  void BlitRotated(Image* src, float x, float y, const Rect& clip, const Color& color, int drawMode, double angle,
                   float centerX, float centerY, const Rect& srcRect);
};

}  // namespace Velk
