#pragma once
#include <string>
#include <vector>

#include "graphics/GraphicsState.h"

namespace Velk {

class Matrix3x3;

// The drawing context: translates, scales and clips each request and hands it to its image's
// drawing operations. It owns neither the image nor the font.
class Graphics : public GraphicsState {
public:
  // With no image it draws into gNullImage.
  explicit Graphics(Image* destImage = nullptr);
  // Copies the state; the copy's stack starts empty.
  Graphics(const Graphics& other);
  Graphics& operator=(const Graphics&) = delete;
  virtual ~Graphics();

  Graphics* Clone() const;
  void PushState();
  void PopState();

  void SetColor(const Color& color) { mColor = color; }
  const Color& GetColor() const { return mColor; }
  void SetFont(Font* font) { mFont = font; }
  Font* GetFont() const { return mFont; }
  void SetDrawMode(int mode) { mDrawMode = mode; }
  int GetDrawMode() const { return mDrawMode; }
  void SetImageColorize(bool colorize) { mColorizeImages = colorize; }
  bool GetImageColorize() const { return mColorizeImages; }
  void SetStretchFast(bool fast) { mFastStretch = fast; }
  void SetBlendLinear(bool linear) { mLinearBlend = linear; }

  void Translate(int dx, int dy);
  void SetClipRect(int x, int y, int w, int h);
  void IntersectClip(int x, int y, int w, int h);

  void FillRect(int x, int y, int w, int h);
  // Outlines w + 1 by h + 1 pixels.
  void DrawRect(int x, int y, int w, int h);
  void DrawImage(Image* image, int x, int y);
  void DrawImage(Image* image, int x, int y, const Rect& srcRect);
  void DrawImage(Image* image, int x, int y, int w, int h);
  void DrawImage(Image* image, const Rect& destRect, const Rect& srcRect);
  void DrawImageMirrored(Image* image, const Rect& destRect, const Rect& srcRect, bool mirror);
  // x and y are used as they stand: the translation is not added.
  void DrawImageTransformed(Image* image, const Matrix3x3& matrix, const Rect& srcRect, float x, float y);
  void DrawString(const std::wstring& str, int x, int y);
  // Corners drawn once; edges and centre tiled from the middle thirds of the source.
  void DrawNinePartBox(const Rect& srcRect, const Rect& destRect, Image* image);
  void DrawNinePartBox(const Rect& destRect, Image* image);

private:
  int TransX(int x) const { return static_cast<int>(static_cast<float>(x) + mTransX); }
  int TransY(int y) const { return static_cast<int>(static_cast<float>(y) + mTransY); }
  const Color& ImageColor() const;

  std::vector<GraphicsState> mStateStack;
};

}  // namespace Velk
