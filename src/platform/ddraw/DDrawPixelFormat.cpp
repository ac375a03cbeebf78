#include "platform/ddraw/DDrawPixelFormat.h"

namespace Velk {

DDPIXELFORMAT RgbPixelFormat(DWORD bits, DWORD alphaMask, DWORD redMask, DWORD greenMask, DWORD blueMask) {
  DDPIXELFORMAT f;
  f.dwFlags = DDPF_RGB | (alphaMask ? DDPF_ALPHAPIXELS : 0);
  f.dwRGBBitCount = bits;
  f.dwRGBAlphaBitMask = alphaMask;
  f.dwRBitMask = redMask;
  f.dwGBitMask = greenMask;
  f.dwBBitMask = blueMask;
  return f;
}

DDPIXELFORMAT Pal8PixelFormat() {
  DDPIXELFORMAT f;
  f.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
  f.dwRGBBitCount = 8;
  return f;
}

}  // namespace Velk
