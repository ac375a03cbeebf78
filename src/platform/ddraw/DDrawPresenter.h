#pragma once
// Shows the primary surface: in a real window through the sdl back end, or in memory for tests.

#include "platform/base/WinTypes.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Velk {

class DDrawSurface;

class DDrawPresenter {
 public:
  virtual ~DDrawPresenter() = default;
  // `onMainThread` is false for the cursor thread, which must not touch the native renderer.
  virtual void Present(const DDrawSurface& primary, bool onMainThread) = 0;
  // A full-screen mode of w x h, or back to the window (w = h = 0).
  virtual void SetMode(int width, int height) = 0;
  // True when the desktop's mode is never changed: a full-screen mode is the desktop's.
  virtual bool KeepsDesktopMode() const = 0;

  // The back end's presenter for the window: on the window itself where it has a native one, else
  // into memory.
  static std::unique_ptr<DDrawPresenter> ForWindow(HWND hwnd);
};

// What the memory presenter saw: the number of frames shown and the last one as 0x00RRGGBB words.
class DDrawScreen {
 public:
  static uint64_t FrameCount();
  static std::vector<uint32_t> Snapshot(int* width, int* height);
  static void Record(const DDrawSurface& primary);
};

}  // namespace Velk
