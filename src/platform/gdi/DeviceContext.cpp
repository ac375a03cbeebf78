#include "platform/gdi/DeviceContext.h"

#include <algorithm>

#include "platform/gdi/GdiBitmap.h"

DeviceContext::DeviceContext() : mFont(static_cast<HFONT>(GetStockObject(SYSTEM_FONT))), mBitmap(GdiBitmap::Stock()) {}

TextTarget DeviceContext::Target() const {
  TextTarget target;
  target.pixels = mBitmap->Pixels();
  target.pitch = mBitmap->Pitch();
  target.clip = RECT{0, 0, mBitmap->Width(), mBitmap->Height()};
  if (mHasClip) {
    target.clip.left = std::max(target.clip.left, mClip.left);
    target.clip.top = std::max(target.clip.top, mClip.top);
    target.clip.right = std::min(target.clip.right, mClip.right);
    target.clip.bottom = std::min(target.clip.bottom, mClip.bottom);
  }
  return target;
}
