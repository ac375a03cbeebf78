#pragma once
// What the software Direct3D device reports and how tests bend it: its caps, the texture formats it
// enumerates, and a hook that replaces the blend factors it draws with. One set per process; tests
// change it and call Reset() afterwards. Call failures are injected through DDrawFaults by method name
// ("CreateDevice", "DrawPrimitive", "SetRenderState", ...).

#include "platform/d3d/D3D.h"

#include <functional>

namespace Velk {

struct D3DSettings {
  // Enumerated texture formats, one bit each, in enumeration order.
  enum Format : DWORD {
    kA8R8G8B8 = 1,
    kX8R8G8B8 = 2,
    kA4R4G4B4 = 4,
    kA1R5G5B5 = 8,
    kX1R5G5B5 = 16,
    kR5G6B5 = 32,
    kPal8 = 64,
    kAllFormats = 127,
  };

  DWORD minTextureWidth = 1;
  DWORD minTextureHeight = 1;
  DWORD maxTextureWidth = 2048;
  DWORD maxTextureHeight = 2048;
  DWORD maxTextureAspectRatio = 0;
  DWORD textureCaps =
      D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_TRANSPARENCY | D3DPTEXTURECAPS_ALPHAPALETTE;
  DWORD formats = kAllFormats;
  // Given the source and destination factors of a draw, may change them (a broken blender).
  std::function<void(DWORD& src, DWORD& dst)> blendFault;

  static D3DSettings& Get();
  static void Reset();
  // Presets of devices the callers must cope with.
  static void Use64Only();
  static void UseNoA8R8G8B8();
  static void UseNoPaletteAlpha();
  // VELK_FORCE_SOFTWARE=1 makes device creation fail, so the software road can be chosen at will.
  static bool SoftwareForced();
};

}  // namespace Velk
