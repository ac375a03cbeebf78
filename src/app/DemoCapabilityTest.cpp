#include "app/DemoCapabilityTest.h"

namespace Velk {

void DemoCapabilityTest::Run(HWND window, IDirectDraw7* directDraw, DWORD minVideoMemory, DWORD recVideoMemory) {
  if (!mDemo.mPlaying) {
    mTest->Run(window, directDraw, minVideoMemory, recVideoMemory);
    mFailureReason = mTest->GetFailureReason();
    mWarning = mTest->GetWarning();
    mNoStoredFailureReason = mTest->NoStoredFailureReason();
  }
  mDemo.ExchangeString(mFailureReason);
  mDemo.ExchangeString(mWarning);
  mDemo.ExchangeBool(mNoStoredFailureReason);
}

}  // namespace Velk
