#include "graphics/Image.h"

namespace Velk {

Image gNullImage;

static std::unique_ptr<ImageAnimSettings> CopyAnimInfo(const std::unique_ptr<ImageAnimSettings>& info) {
  return info ? std::make_unique<ImageAnimSettings>(*info) : nullptr;
}

Image::Image(const Image& other)
    : mWidth(other.mWidth),
      mHeight(other.mHeight),
      mNumRows(other.mNumRows),
      mNumCols(other.mNumCols),
      mAnimInfo(CopyAnimInfo(other.mAnimInfo)) {}

Image::~Image() = default;

void Image::CopyCelInfo(const Image& other) {
  mNumRows = other.mNumRows;
  mNumCols = other.mNumCols;
  mAnimInfo = CopyAnimInfo(other.mAnimInfo);
}

bool Image::FillPolygon(const POINT*, int, const Rect&, const Color&, int, int, int, bool) { return false; }

void Image::FillRect(const Rect&, const Color&, int) {}

void Image::DrawRect(const Rect& r, const Color& color, int drawMode) {
  FillRect(Rect(r.mX, r.mY, r.mWidth + 1, 1), color, drawMode);
  FillRect(Rect(r.mX, r.mY + r.mHeight, r.mWidth + 1, 1), color, drawMode);
  FillRect(Rect(r.mX, r.mY + 1, 1, r.mHeight - 1), color, drawMode);
  FillRect(Rect(r.mX + r.mWidth, r.mY + 1, 1, r.mHeight - 1), color, drawMode);
}

void Image::ClearRect(const Rect&) {}

void Image::DrawLine(double, double, double, double, const Color&, int) {}

void Image::DrawLineSmooth(double, double, double, double, const Color&, int) {}

void Image::FillSpans(const Span* spans, int count, const Color& color, int drawMode) {
  for (int i = 0; i < count; ++i) FillRect(Rect(spans[i].x, spans[i].y, spans[i].width, 1), color, drawMode);
}

void Image::FillSpansCoverage(const Span*, int, const Color&, int, const unsigned char*, int, int, int, bool) {}

void Image::Blit(Image*, int, int, const Rect&, const Color&, int) {}

void Image::BlitF(Image*, float, float, const Rect&, const Rect&, const Color&, int) {}

void Image::BlitRotated(Image*, float, float, const Rect&, const Rect&, const Color&, int, double, float, float) {}

void Image::BlitStretched(Image*, const Rect&, const Rect&, const Rect&, const Color&, int, bool) {}

void Image::BlitTransformed(Image*, float, float, const Matrix3x3&, const Rect&, const Color&, int, const Rect&, bool) {
}

void Image::BlitTriangles(Image*, const TriVertex (*)[3], int, const Rect&, const Color&, int, float, float, bool) {}

void Image::BlitMirrored(Image*, int, int, const Rect&, const Color&, int) {}

void Image::BlitStretchedMirrored(Image*, const Rect&, const Rect&, const Rect&, const Color&, int, bool) {}

void Image::SetHiddenRows(int top, int bottom) { mHiddenRows = {top, bottom}; }

}  // namespace Velk
