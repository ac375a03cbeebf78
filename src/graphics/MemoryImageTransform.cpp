// Matrix and triangle blits: the geometry goes to the software triangle rasteriser.
#include <array>

#include "common/Matrix3x3.h"
#include "graphics/MemoryImage.h"
#include "raster/SoftwarePolygon.h"

namespace Velk {

namespace {

// 0x888 lets the rasteriser write opaque alpha; only an image declared fully opaque takes it.
int FormatWord(const MemoryImage& dest) {
  return dest.mForcedMode && !dest.mHasAlpha && !dest.mHasTrans ? 0x888 : 0x8888;
}

}  // namespace

void MemoryImage::BlitTransformed(Image* src, float x, float y, const Matrix3x3& matrix, const Rect& clip,
                                  const Color& color, int drawMode, const Rect& srcRect, bool blend) {
  if (src) src->mDrawn = true;
  uint32_t* bits = GetArgbBits();
  if (!bits) return;
  if (DrawTransformedInto(src, x, y, matrix, clip.Intersect(Rect(0, 0, mWidth, mHeight)), color, drawMode, srcRect,
                          blend, bits, mWidth * 4, FormatWord(*this), mHiddenRows))
    OnBitsChanged();
}

bool MemoryImage::DrawTransformedInto(Image* src, float x, float y, const Matrix3x3& matrix, const Rect& clip,
                                      const Color& color, int drawMode, const Rect& srcRect, bool blend, void* destBits,
                                      int destPitch, int formatWord, const RowBand& hidden) {
  // A source that is not a memory image has no texels to draw.
  auto* source = dynamic_cast<MemoryImage*>(src);
  if (!source || source->mWidth <= 0 || source->mHeight <= 0) return false;

  const float w = static_cast<float>(srcRect.mWidth), h = static_cast<float>(srcRect.mHeight);
  const float u0 = static_cast<float>(srcRect.mX) / source->mWidth;
  const float u1 = static_cast<float>(srcRect.mX + srcRect.mWidth) / source->mWidth;
  const float v0 = static_cast<float>(srcRect.mY) / source->mHeight;
  const float v1 = static_cast<float>(srcRect.mY + srcRect.mHeight) / source->mHeight;
  // Top left, top right, bottom left, bottom right: a strip of two triangles.
  const std::array<PolygonVertex, 4> corners = {
      {{0, 0, u0, v0, 0xFFFFFFFF}, {w, 0, u1, v0, 0xFFFFFFFF}, {0, h, u0, v1, 0xFFFFFFFF}, {w, h, u1, v1, 0xFFFFFFFF}}};
  std::array<PolygonVertex, 4> quad = corners;
  for (PolygonVertex& p : quad) {
    const Vector3 t = matrix.TransformVector3(p.x, p.y, 1.0f);
    p.x = t.x + x - 0.5f;
    p.y = t.y + y - 0.5f;
  }
  DrawSoftwarePolygon(quad.data(), 4, source, color, drawMode, clip, destBits, destPitch, formatWord, blend, false,
                      hidden);
  return true;
}

void MemoryImage::BlitTriangles(Image* src, const TriVertex (*triangles)[3], int count, const Rect& clip,
                                const Color& color, int drawMode, float x, float y, bool blend) {
  if (src) src->mDrawn = true;
  uint32_t* bits = GetArgbBits();
  if (!bits) return;
  if (DrawTrianglesInto(src, triangles, count, clip.Intersect(Rect(0, 0, mWidth, mHeight)), color, drawMode, x, y,
                        blend, bits, mWidth * 4, FormatWord(*this), mHiddenRows))
    OnBitsChanged();
}

bool MemoryImage::DrawTrianglesInto(Image* src, const TriVertex (*triangles)[3], int count, const Rect& clip,
                                    const Color& color, int drawMode, float x, float y, bool blend, void* destBits,
                                    int destPitch, int formatWord, const RowBand& hidden) {
  auto* source = dynamic_cast<MemoryImage*>(src);
  if (!source || !triangles || count < 1) return false;
  for (int i = 0; i < count; ++i) {
    PolygonVertex tri[3];
    bool vertexColors = false;
    for (int k = 0; k < 3; ++k) {
      const TriVertex& v = triangles[i][k];
      tri[k] = PolygonVertex{v.x + x, v.y + y, v.u, v.v, v.color};
      vertexColors = vertexColors || v.color != 0;
    }
    DrawSoftwarePolygon(tri, 3, source, color, drawMode, clip, destBits, destPitch, formatWord, blend, vertexColors,
                        hidden);
  }
  return true;
}

}  // namespace Velk
