#include "graphics/Graphics.h"

#include <cmath>

#include "fonts/Font.h"
#include "graphics/DDImage.h"
#include "graphics/Image.h"

namespace Velk {

Graphics::Graphics(Image* destImage) {
  mDestImage = destImage ? destImage : &gNullImage;
  mClipRect = Rect(0, 0, mDestImage->mWidth, mDestImage->mHeight);
  mIs3D = DDImage::ImageIs3DDrawSurface(destImage);
}

Graphics::Graphics(const Graphics& other) : GraphicsState(other) {}

Graphics::~Graphics() = default;

Graphics* Graphics::Clone() const { return new Graphics(*this); }

void Graphics::PushState() { mStateStack.push_back(*this); }

void Graphics::PopState() {
  if (mStateStack.empty()) return;
  static_cast<GraphicsState&>(*this) = mStateStack.back();
  mStateStack.pop_back();
}

void Graphics::Translate(int dx, int dy) {
  mTransX += static_cast<float>(dx);
  mTransY += static_cast<float>(dy);
}

void Graphics::SetClipRect(int x, int y, int w, int h) {
  mClipRect = Rect(TransX(x), TransY(y), w, h).Intersect(Rect(0, 0, mDestImage->mWidth, mDestImage->mHeight));
}

void Graphics::IntersectClip(int x, int y, int w, int h) {
  mClipRect = mClipRect.Intersect(Rect(TransX(x), TransY(y), w, h));
}

const Color& Graphics::ImageColor() const { return mColorizeImages ? mColor : Color::White; }

void Graphics::FillRect(int x, int y, int w, int h) {
  if (mColor.mAlpha == 0) return;
  mDestImage->FillRect(Rect(TransX(x), TransY(y), w, h).Intersect(mClipRect), mColor, mDrawMode);
}

void Graphics::DrawRect(int x, int y, int w, int h) {
  if (mColor.mAlpha == 0) return;
  const Rect outline(TransX(x), TransY(y), w + 1, h + 1);
  if (outline.Intersect(mClipRect) == outline) {
    mDestImage->DrawRect(Rect(outline.mX, outline.mY, w, h), mColor, mDrawMode);
    return;
  }
  FillRect(x, y, w + 1, 1);
  FillRect(x, y + h, w + 1, 1);
  FillRect(x, y + 1, 1, h - 1);
  FillRect(x + w, y + 1, 1, h - 1);
}

void Graphics::DrawImage(Image* image, int x, int y) {
  if (!image) return;
  if (mScaleX != 1.0f || mScaleY != 1.0f) {
    DrawImage(image, x, y, Rect(0, 0, image->mWidth, image->mHeight));
    return;
  }
  const int tx = TransX(x), ty = TransY(y);
  const Rect d = Rect(tx, ty, image->mWidth, image->mHeight).Intersect(mClipRect);
  if (d.mWidth < 1 || d.mHeight < 1) return;
  mDestImage->Blit(image, d.mX, d.mY, Rect(d.mX - tx, d.mY - ty, d.mWidth, d.mHeight), ImageColor(), mDrawMode);
}

void Graphics::DrawImage(Image* image, int x, int y, const Rect& s) {
  // A source rectangle must lie inside the image.
  if (!image || s.mX < 0 || s.mY < 0 || s.mX + s.mWidth > image->mWidth || s.mY + s.mHeight > image->mHeight) return;
  const int tx = TransX(x), ty = TransY(y);
  if (mScaleX == 1.0f && mScaleY == 1.0f) {
    const Rect d = Rect(tx, ty, s.mWidth, s.mHeight).Intersect(mClipRect);
    if (d.mWidth < 1 || d.mHeight < 1) return;
    mDestImage->Blit(image, d.mX, d.mY, Rect(s.mX - tx + d.mX, s.mY - ty + d.mY, d.mWidth, d.mHeight), ImageColor(),
                     mDrawMode);
    return;
  }
  const Rect dest(static_cast<int>(std::floor((static_cast<float>(tx) - mScaleOrigX) * mScaleX) + mScaleOrigX),
                  static_cast<int>(std::floor((static_cast<float>(ty) - mScaleOrigY) * mScaleY) + mScaleOrigY),
                  static_cast<int>(std::ceil(static_cast<float>(s.mWidth) * mScaleX)),
                  static_cast<int>(std::ceil(static_cast<float>(s.mHeight) * mScaleY)));
  mDestImage->BlitStretched(image, dest, s, mClipRect, ImageColor(), mDrawMode, mFastStretch);
}

void Graphics::DrawImage(Image* image, int x, int y, int w, int h) {
  if (!image) return;
  mDestImage->BlitStretched(image, Rect(TransX(x), TransY(y), w, h), Rect(0, 0, image->mWidth, image->mHeight),
                            mClipRect, ImageColor(), mDrawMode, mFastStretch);
}

void Graphics::DrawImage(Image* image, const Rect& destRect, const Rect& srcRect) {
  DrawImageMirrored(image, destRect, srcRect, false);
}

void Graphics::DrawImageMirrored(Image* image, const Rect& destRect, const Rect& srcRect, bool mirror) {
  if (!image) return;
  const Rect dest(TransX(destRect.mX), TransY(destRect.mY), destRect.mWidth, destRect.mHeight);
  if (mirror)
    mDestImage->BlitStretchedMirrored(image, dest, srcRect, mClipRect, ImageColor(), mDrawMode, mFastStretch);
  else
    mDestImage->BlitStretched(image, dest, srcRect, mClipRect, ImageColor(), mDrawMode, mFastStretch);
}

void Graphics::DrawImageTransformed(Image* image, const Matrix3x3& matrix, const Rect& srcRect, float x, float y) {
  if (!image) return;
  const float oldX = mTransX, oldY = mTransY;
  mTransX = mTransY = 0;
  mDestImage->BlitTransformed(image, x, y, matrix, mClipRect, ImageColor(), mDrawMode, srcRect, mLinearBlend);
  mTransX = std::trunc(oldX);
  mTransY = std::trunc(oldY);
}

void Graphics::DrawString(const std::wstring& str, int x, int y) {
  if (mFont) mFont->DrawString(this, x, y, str, mColor, mClipRect);
}

void Graphics::DrawNinePartBox(const Rect& destRect, Image* image) {
  if (image) DrawNinePartBox(Rect(0, 0, image->mWidth, image->mHeight), destRect, image);
}

void Graphics::DrawNinePartBox(const Rect& s, const Rect& d, Image* image) {
  if (!image || s.mWidth < 1 || s.mHeight < 1) return;
  const int cw = s.mWidth / 3, ch = s.mHeight / 3;
  const int mw = s.mWidth - 2 * cw, mh = s.mHeight - 2 * ch;
  const int right = d.mX + d.mWidth - cw, bottom = d.mY + d.mHeight - ch;
  const int srcRight = s.mX + cw + mw, srcBottom = s.mY + ch + mh;
  const int cols = (d.mWidth - 2 * cw + mw - 1) / mw, rows = (d.mHeight - 2 * ch + mh - 1) / mh;

  DrawImage(image, d.mX, d.mY, Rect(s.mX, s.mY, cw, ch));
  DrawImage(image, right, d.mY, Rect(srcRight, s.mY, cw, ch));
  DrawImage(image, d.mX, bottom, Rect(s.mX, srcBottom, cw, ch));
  DrawImage(image, right, bottom, Rect(srcRight, srcBottom, cw, ch));

  Graphics edges(*this);
  edges.IntersectClip(d.mX + cw, d.mY, d.mWidth - 2 * cw, d.mHeight);
  for (int i = 0; i < cols; ++i) {
    edges.DrawImage(image, d.mX + cw + i * mw, d.mY, Rect(s.mX + cw, s.mY, mw, ch));
    edges.DrawImage(image, d.mX + cw + i * mw, bottom, Rect(s.mX + cw, srcBottom, mw, ch));
  }

  Graphics sides(*this);
  sides.IntersectClip(d.mX, d.mY + ch, d.mWidth, d.mHeight - 2 * ch);
  for (int j = 0; j < rows; ++j) {
    sides.DrawImage(image, d.mX, d.mY + ch + j * mh, Rect(s.mX, s.mY + ch, cw, mh));
    sides.DrawImage(image, right, d.mY + ch + j * mh, Rect(srcRight, s.mY + ch, cw, mh));
  }

  Graphics centre(*this);
  centre.IntersectClip(d.mX + cw, d.mY + ch, d.mWidth - 2 * cw, d.mHeight - 2 * ch);
  for (int i = 0; i < cols; ++i)
    for (int j = 0; j < rows; ++j)
      centre.DrawImage(image, d.mX + cw + i * mw, d.mY + ch + j * mh, Rect(s.mX + cw, s.mY + ch, mw, mh));
}

}  // namespace Velk
