#include "app/DemoControls.h"

#include <gtest/gtest.h>

namespace {

using Velk::DemoControls;

TEST(DemoControlsTest, JumpsOnlyRunForwardAndStopAtTheEnd) {
  DemoControls controls;
  double speed = 1.0;
  // 10 ms updates, a recording of 10,000 updates, now at 9,000.
  controls.HandleKey(L'8', speed, 9000, 10000, 10);  // 10 s before the end = update 9,000: not ahead
  EXPECT_FALSE(controls.WantsFastForward(9000));
  controls.HandleKey(L'9', speed, 9000, 10000, 10);  // 5 s before the end
  EXPECT_EQ(controls.mJumpTarget, 9500u);
  controls.HandleKey(L'4', speed, 10, 100, 10);  // two minutes back from a one-second demo: no jump
  EXPECT_EQ(controls.mJumpTarget, 9500u);
  controls.SetJumpTarget(20000, 9000, 10000);
  EXPECT_EQ(controls.mJumpTarget, 10000u);

  controls.HandleKey(L'm', speed, 9000, 10000, 10);
  EXPECT_TRUE(controls.WantsFastForward(12000));
  controls.NoteProgress(false, 10000);  // the recording has ended: no update ran
  EXPECT_FALSE(controls.WantsFastForward(10000));
  EXPECT_FALSE(controls.mRunToEnd);

  controls.HandleKey(L'n', speed, 50, 100, 10);
  EXPECT_TRUE(controls.mSingleStep);
  EXPECT_TRUE(controls.WantsFastForward(50));
  EXPECT_FALSE(controls.WantsFastForward(51));

  controls.HandleKey(L'+', speed, 0, 0, 10);
  controls.HandleKey(L'+', speed, 0, 0, 10);
  EXPECT_DOUBLE_EQ(speed, 2.25);
  EXPECT_EQ(controls.HandleKey(L'P', speed, 0, 0, 10), DemoControls::kPauseToggled);
  EXPECT_TRUE(controls.mPaused);
  controls.HandleKey(L'=', speed, 0, 0, 10);
  EXPECT_DOUBLE_EQ(speed, 1.0);
}

}  // namespace
