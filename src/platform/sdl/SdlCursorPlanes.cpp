#include "platform/sdl/SdlCursorPlanes.h"

#include <algorithm>

namespace Velk {

SdlCursorPlanes ToSdlCursorPlanes(const std::vector<BYTE>& andPlane, const std::vector<BYTE>& xorPlane) {
  size_t n = std::min(andPlane.size(), xorPlane.size());
  SdlCursorPlanes planes;
  planes.data.resize(n);
  planes.mask.resize(n);
  for (size_t i = 0; i < n; ++i) {
    planes.mask[i] = static_cast<BYTE>(~andPlane[i]);
    planes.data[i] = static_cast<BYTE>(~(andPlane[i] ^ xorPlane[i]));
  }
  return planes;
}

}  // namespace Velk
