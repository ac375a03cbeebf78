// The framework's screenshot of the screen, headless and in a real window under a virtual X server,
// and what that window shows, all match the frame the headless run presented.
#include <gtest/gtest.h>

#include <memory>

#include "e2e/FindProgram.h"
#include "e2e/FrameGrid.h"
#include "e2e/GameRun.h"
#include "e2e/XvfbScreen.h"
#include "resources/ImageLib.h"

namespace E2e {
namespace {

constexpr int kTolerance = 2;

// The largest channel difference of two pictures of one size; -1 when either is missing or the sizes differ.
int Distance(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::unique_ptr<ImageLib::Image> first(ImageLib::GetPNGImage(a.string()));
  std::unique_ptr<ImageLib::Image> second(ImageLib::GetPNGImage(b.string()));
  if (!first || !second || first->GetWidth() != second->GetWidth() || first->GetHeight() != second->GetHeight())
    return -1;
  int worst = 0;
  for (int64_t i = 0; i < first->PixelCount(); ++i) {
    worst = std::max(worst, Frame::ChannelDistance(first->GetBits()[i], second->GetBits()[i]));
  }
  return worst;
}

TEST(Screenshots, TheFrameworksScreenshotIsThePresentedFrame) {
  GameRun run("Screenshots.Headless");
  const PhaseResult result = run.Run("screen_pictures");
  ASSERT_TRUE(result.Passed()) << result.Transcript();
  for (const char* checkpoint : {"splash", "name_dialog"}) {
    const std::string name = std::string("headless_") + checkpoint;
    EXPECT_EQ(Distance(run.OutFolder() / (name + ".png"), run.OutFolder() / (name + "_screenshot.png")), 0) << name;
  }
}

TEST(Screenshots, AWindowUnderXvfbShowsWhatTheHeadlessRunPresents) {
  if (!FindProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  XvfbScreen screen(1024, 768);
  ASSERT_EQ(screen.Failure(), "");
  GameRun run("Screenshots.Xvfb");
  const PhaseResult headless = run.Run("screen_pictures");
  ASSERT_TRUE(headless.Passed()) << headless.Transcript();
  PhaseOptions window;
  window.display = screen.Name();
  window.limitMs = 90000 * kPhaseSlowdown;
  const PhaseResult shown = run.Run("screen_pictures", window);
  ASSERT_TRUE(shown.Passed()) << shown.Transcript();

  for (const char* checkpoint : {"splash", "name_dialog"}) {
    const std::filesystem::path expected = run.OutFolder() / (std::string("headless_") + checkpoint + ".png");
    for (const char* kind : {"_screenshot.png", "_window.png"}) {
      const std::filesystem::path seen = run.OutFolder() / (std::string("sdl_") + checkpoint + kind);
      const int distance = Distance(expected, seen);
      EXPECT_GE(distance, 0) << seen << " is missing or not 800 x 600";
      EXPECT_LE(distance, kTolerance) << seen << " against " << expected;
    }
  }
}

}  // namespace
}  // namespace E2e
