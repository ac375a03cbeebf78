#pragma once
#include <string>
#include <vector>

#include "fonts/TruncToInt.h"
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
  // One line with colour tags (^RRGGBB^, ^oldclr^ for oldColor, ^^ for a caret), from offset for
  // length characters (-1: to the end). Justification 0 centres and 1 right-aligns within width.
  // Returns the width of the visible characters; drawing leaves the colour the last tag set.
  // oldColor is packed ARGB, -1 meaning the current colour.
  int DrawTaggedString(const std::wstring& text, int x, int y, int width, int justification, bool draw, int offset,
                       int length, int oldColor);
  // -1 without writing when nothing of the segment lies before lengthLimit.
  int DrawTaggedSegment(const std::wstring& text, int offset, int count, int x, int y, int width, int justification,
                        int oldColor, int lengthLimit);
  // Word-wrapped into the area's width; returns the height used. lineSpacing -1 takes the font's;
  // length < 0 lays out the whole text; lastWidth, when given, continues a line written earlier.
  int DrawWrappedText(const Rect& area, const std::wstring& text, int lineSpacing, int justification, int* maxWidth,
                      int length, int* lastWidth);
  int MeasureWrappedText(int width, const std::wstring& text, int lineSpacing, int* maxWidth);
  // Corners drawn once; edges and centre tiled from the middle thirds of the source.
  void DrawNinePartBox(const Rect& srcRect, const Rect& destRect, Image* image);
  void DrawNinePartBox(const Rect& destRect, Image* image);

 private:
  // Held to the int range: a coordinate from data may sit at its very end.
  int TransX(int x) const { return TruncToInt(static_cast<float>(x) + mTransX); }
  int TransY(int y) const { return TruncToInt(static_cast<float>(y) + mTransY); }
  const Color& ImageColor() const;
  int TextWidth(const std::wstring& str) const;
  Color TagColor(const std::wstring& text, size_t caret, int oldColor) const;

  std::vector<GraphicsState> mStateStack;
};

}  // namespace Velk
