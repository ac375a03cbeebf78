#include "app/AppTestSupport.h"

#include <string>

namespace Velk::Testing {
namespace {

using DebugChordTest = AppTest;

TEST_F(DebugChordTest, CtrlAltDTogglesTheDebugKeysWithAClick) {
  CountingApp& app = StartApp();
  HWND main = app.mHWnd;
  auto pump = [&] {
    for (int i = 0; i < 10; ++i) {
      bool updated = false;
      app.RunLoopStep(&updated);
    }
  };
  headless_->InjectKey(main, 'D', true);
  headless_->InjectKey(main, 'D', false);
  pump();
  EXPECT_FALSE(app.mDebugKeysEnabled);  // the letter alone is an ordinary key

  testing::internal::CaptureStderr();
  headless_->InjectKey(main, VK_CONTROL, true);
  headless_->InjectKey(main, VK_MENU, true);
  headless_->InjectKey(main, 'D', true);
  pump();
  std::string log = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(app.mDebugKeysEnabled);
  EXPECT_NE(log.find("Menu Command.wav"), std::string::npos);

  headless_->InjectKey(main, 'D', false);
  headless_->InjectKey(main, 'D', true);
  pump();
  EXPECT_FALSE(app.mDebugKeysEnabled);
}

}  // namespace
}  // namespace Velk::Testing
