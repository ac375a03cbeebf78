#include "graphics/DisplayRenderer.h"

#include "common/Matrix3x3.h"

namespace Velk {

void DisplayRenderer::BlitMirrored(Image* src, float x, float y, const Rect& srcRect, const Color& color, int drawMode,
                                   bool linear) {
  Matrix3x3 m;
  m.Translate(static_cast<float>(-srcRect.mWidth), 0).Scale(-1, 1).Translate(x, y);
  BlitTransformed(src, m, srcRect, color, drawMode, nullptr, 0, 0, linear, false);
}

void DisplayRenderer::BlitClipped(Image* src, float x, float y, const Rect& srcRect, const Rect& clip,
                                  const Color& color, int drawMode) {
  Matrix3x3 m;
  m.Translate(x, y);
  BlitTransformed(src, m, srcRect, color, drawMode, &clip, 0, 0, true, false);
}

void DisplayRenderer::BlitStretched(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                                    const Color& color, int drawMode, bool fast, bool mirror) {
  const float sx = static_cast<float>(static_cast<double>(destRect.mWidth) / srcRect.mWidth);
  const float sy = static_cast<float>(static_cast<double>(destRect.mHeight) / srcRect.mHeight);
  Matrix3x3 m;
  if (mirror) {
    m.Translate(static_cast<float>(-srcRect.mWidth), 0).Scale(-sx, sy);
  } else {
    m.Scale(sx, sy);
  }
  m.Translate(static_cast<float>(destRect.mX), static_cast<float>(destRect.mY));
  BlitTransformed(src, m, srcRect, color, drawMode, &clip, 0, 0, !fast, false);
}

void DisplayRenderer::BlitRotated(Image* src, float x, float y, const Rect& clip, const Color& color, int drawMode,
                                  double angle, float centerX, float centerY, const Rect& srcRect) {
  Matrix3x3 m;
  m.Translate(-centerX, -centerY).Rotate(static_cast<float>(angle)).Translate(x + centerX, y + centerY);
  BlitTransformed(src, m, srcRect, color, drawMode, &clip, 0, 0, true, false);
}

}  // namespace Velk
