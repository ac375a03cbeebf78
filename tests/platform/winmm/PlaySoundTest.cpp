#include "platform/winmm/PlaySound.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PlaySoundA, LogsOneLineAndReportsThatNothingPlayed) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(PlaySoundA("c:\\sounds\\click.wav", nullptr, SND_ASYNC));
  EXPECT_TRUE(PlaySoundA(nullptr, nullptr, SND_SYNC));
  std::string log = testing::internal::GetCapturedStderr();
  // One line, naming the file; the stop request logs nothing.
  EXPECT_NE(log.find("c:\\sounds\\click.wav"), std::string::npos);
  EXPECT_EQ(log.find('\n'), log.size() - 1);
}

}  // namespace
