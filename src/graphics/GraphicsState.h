#pragma once
#include "graphics/Color.h"
#include "graphics/Rect.h"

namespace Velk {

class Font;
class Image;

// Everything a drawing context applies to a request; the state stack copies it whole.
class GraphicsState {
 public:
  Image* mDestImage = nullptr;  // not owned
  float mTransX = 0;
  float mTransY = 0;
  float mScaleX = 1.0f;
  float mScaleY = 1.0f;
  float mScaleOrigX = 0;
  float mScaleOrigY = 0;
  Rect mClipRect;  // image coordinates
  Color mColor;
  Font* mFont = nullptr;  // not owned
  int mDrawMode = 0;
  bool mColorizeImages = false;
  bool mFastStretch = false;
  bool mWriteColoredString = true;
  bool mLinearBlend = false;
  bool mIs3D = false;
};

}  // namespace Velk
