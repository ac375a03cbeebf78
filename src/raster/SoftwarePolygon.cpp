#include "raster/SoftwarePolygon.h"

#include "graphics/MemoryImage.h"
#include "raster/PolygonDriver.h"

namespace Velk {

void DrawSoftwarePolygon(const PolygonVertex* vertices, int count, MemoryImage* texture, const Color& color,
                         int /*drawMode*/, const Rect& clip, void* destBits, int destPitch, int formatWord,
                         bool bilinear, bool vertexColors, const RowBand& hidden) {
  PolygonTexture tex;
  if (texture) texture->ScanAlpha();  // the alpha flags below must be current
  if (count < 3) return;
  if (texture)
    tex = {texture->GetArgbBits(), texture->GetWidth(), texture->GetHeight(), texture->mHasTrans, texture->mHasAlpha};
  const SpanColor spanColor{color.mAlpha, color.mRed, color.mGreen, color.mBlue};
  const PolygonClip polygonClip{clip.mX, clip.mY, clip.mWidth, clip.mHeight};
  DrawPolygon(vertices, count, texture ? &tex : nullptr, spanColor, polygonClip, static_cast<uint8_t*>(destBits),
              destPitch, formatWord, bilinear, vertexColors, SpanFillerTable::Process(), hidden);
}

}  // namespace Velk
