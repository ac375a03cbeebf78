#pragma once
// The start-up 3-D test as a demo sees it: its verdict is recorded while recording, and while
// playing the test does not run at all; the recorded verdict takes its place.
#include "app/DemoStream.h"
#include "graphics/DisplayHost.h"

#include <memory>
#include <string>

namespace Velk {

class DemoCapabilityTest : public DisplayCapabilityTest {
 public:
  DemoCapabilityTest(std::unique_ptr<DisplayCapabilityTest> test, DemoStream& demo)
      : mTest(std::move(test)), mDemo(demo) {}

  void Run(HWND window, IDirectDraw7* directDraw, DWORD minVideoMemory, DWORD recVideoMemory) override;
  std::string GetFailureReason() override { return mFailureReason; }
  std::string GetWarning() override { return mWarning; }
  bool NoStoredFailureReason() override { return mNoStoredFailureReason; }

 private:
  std::unique_ptr<DisplayCapabilityTest> mTest;
  DemoStream& mDemo;
  std::string mFailureReason;
  std::string mWarning;
  bool mNoStoredFailureReason = false;
};

}  // namespace Velk
