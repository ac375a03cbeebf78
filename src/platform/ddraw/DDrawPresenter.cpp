#include "platform/ddraw/DDrawPresenter.h"

#include "platform/backend/Backend.h"
#include "platform/ddraw/DDrawSurface.h"

#include <cstring>
#include <mutex>

namespace Velk {

namespace {

struct ScreenRecord {
  std::mutex mutex;
  uint64_t frames = 0;
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

ScreenRecord& Screen() {
  static ScreenRecord record;
  return record;
}

uint32_t Expand(uint32_t v, DWORD mask) {
  if (!mask) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  int bits = 0;
  while ((mask >> (shift + bits)) & 1) ++bits;
  return (((v & mask) >> shift) << (8 - bits)) & 0xFF;
}

}  // namespace

std::unique_ptr<DDrawPresenter> DDrawPresenter::ForWindow(HWND hwnd) { return Backend::Get().PresenterForWindow(hwnd); }

uint64_t DDrawScreen::FrameCount() {
  std::lock_guard<std::mutex> guard(Screen().mutex);
  return Screen().frames;
}

std::vector<uint32_t> DDrawScreen::Snapshot(int* width, int* height) {
  std::lock_guard<std::mutex> guard(Screen().mutex);
  if (width) *width = Screen().width;
  if (height) *height = Screen().height;
  return Screen().pixels;
}

void DDrawScreen::Record(const DDrawSurface& primary) {
  const DDPIXELFORMAT& f = primary.Format();
  const int bpp = primary.BytesPerPixel();
  const int width = primary.Width(), height = primary.Height();
  std::lock_guard<std::mutex> surfaceGuard(primary.Mutex());
  std::lock_guard<std::mutex> guard(Screen().mutex);
  // The last frame's memory is written over in place.
  std::vector<uint32_t>& pixels = Screen().pixels;
  pixels.resize(static_cast<size_t>(width) * height);
  // The usual X8R8G8B8 primary needs no conversion: its rows are copied with the top byte cleared.
  const bool x8r8g8b8 = bpp == 4 && f.dwRBitMask == 0xFF0000 && f.dwGBitMask == 0xFF00 && f.dwBBitMask == 0xFF;
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = primary.Pixels() + static_cast<size_t>(y) * primary.Pitch();
    uint32_t* out = pixels.data() + static_cast<size_t>(y) * width;
    if (x8r8g8b8) {
      for (int x = 0; x < width; ++x) {
        uint32_t v;
        std::memcpy(&v, row + x * 4, 4);
        out[x] = v & 0xFFFFFFu;
      }
      continue;
    }
    for (int x = 0; x < width; ++x) {
      uint32_t v = 0;
      for (int i = 0; i < bpp; ++i) v |= static_cast<uint32_t>(row[x * bpp + i]) << (8 * i);
      out[x] = (Expand(v, f.dwRBitMask) << 16) | (Expand(v, f.dwGBitMask) << 8) | Expand(v, f.dwBBitMask);
    }
  }
  ++Screen().frames;
  Screen().width = width;
  Screen().height = height;
}

}  // namespace Velk
