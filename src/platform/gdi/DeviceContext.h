#pragma once
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiFont.h"

// A device context: the selected font and bitmap, the text colour and the clip rectangle. A context
// from GetDC measures only; text lands in the bitmap selected into a memory context.
class DeviceContext {
 public:
  DeviceContext();

  HFONT mFont;
  HBITMAP mBitmap;
  COLORREF mTextColor = 0;
  int mBkMode = OPAQUE;
  bool mHasClip = false;
  RECT mClip;  // meaningful when mHasClip

  // The selected bitmap, clipped.
  TextTarget Target() const;
};
