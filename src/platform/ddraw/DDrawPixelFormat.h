#pragma once
// Pixel-format records as the stand-in's surfaces, the device and their tests describe them.

#include "platform/ddraw/DDraw.h"

namespace Velk {

// An RGB format with the given masks; a non-zero alpha mask marks it as having alpha pixels.
DDPIXELFORMAT RgbPixelFormat(DWORD bits, DWORD alphaMask, DWORD redMask, DWORD greenMask, DWORD blueMask);

// The 8-bit palettized format.
DDPIXELFORMAT Pal8PixelFormat();

}  // namespace Velk
