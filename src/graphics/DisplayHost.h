#pragma once
// What the display needs of the application that owns it, beyond what every memory image needs:
// the draw-buffer size and depth, the presentation switches, the 3-D wishes and the video memory
// the game asks for. The application object derives from it and keeps these fields current.
#include "common/Fraction.h"
#include "graphics/MemoryImageHost.h"
#include <string>

#include "platform/ddraw/DDraw.h"

namespace Velk {

class DisplayHost : public MemoryImageHost {
 public:
  int mWidth = 800;
  int mHeight = 600;
  int mColorDepth = 32;
  bool mForceAspect = false;
  Fraction mForcedAspect;
  bool mWidenAspect = false;
  bool mFullScreenFlip = true;  // off on a tablet
  bool mFlippedToGdi = false;
  bool mWaitForVSync = false;
  bool mVSyncBroken = false;
  bool mRefreshUnreliable = false;  // output of the display's start-up
  bool m3DRequested = false;
  bool m3DTestRequested = false;
  DWORD mMinVideoMemory = 6;
  DWORD mRecommendedVideoMemory = 14;

  // After a 3-D test that found no stored verdict.
  virtual void On3DTested() {}
};

// The start-up 3-D test as the display runs it.
class DisplayCapabilityTest {
 public:
  virtual ~DisplayCapabilityTest() = default;
  virtual void Run(HWND window, IDirectDraw7* directDraw, DWORD minVideoMemory, DWORD recVideoMemory) = 0;
  virtual std::string GetFailureReason() = 0;
  virtual std::string GetWarning() = 0;
  virtual bool NoStoredFailureReason() = 0;
};

}  // namespace Velk
