#include "platform/d3d/D3DSettings.h"

#include <cstdlib>
#include <cstring>

namespace Velk {

D3DSettings& D3DSettings::Get() {
  static D3DSettings settings;
  return settings;
}

void D3DSettings::Reset() { Get() = D3DSettings(); }

void D3DSettings::Use64Only() { Get().maxTextureWidth = Get().maxTextureHeight = 0; }

void D3DSettings::UseNoA8R8G8B8() { Get().formats &= ~static_cast<DWORD>(kA8R8G8B8); }

void D3DSettings::UseNoPaletteAlpha() { Get().textureCaps &= ~D3DPTEXTURECAPS_ALPHAPALETTE; }

bool D3DSettings::SoftwareForced() {
  const char* value = std::getenv("VELK_FORCE_SOFTWARE");
  return value && std::strcmp(value, "1") == 0;
}

}  // namespace Velk
