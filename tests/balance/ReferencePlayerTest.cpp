// The reference player over the levels of the built pack.
#include <cstdio>

#include "balance/ReferencePlayer.h"
#include "cafe/QCBoard_Game3.h"
#include "cafe/QCTutorial.h"
#include "pack/PackGame.h"

namespace {

constexpr unsigned kSeeds[] = {11, 23};
constexpr float kDayCap = 600.0f;

class ReferencePlayerTest : public PackTesting::PackGameTest {
 protected:
  void SetUp() override {
    Start();
    mPlayer = std::make_unique<Balance::ReferencePlayer>(*mGame);
  }
  void TearDown() override { mPlayer.reset(); }

  std::unique_ptr<Balance::ReferencePlayer> mPlayer;
};

// Day 1 is played by its notes to their end, day 2 by the rules alone; both are won by a margin.
TEST_F(ReferencePlayerTest, TheFirstTwoDaysAreWon) {
  for (int day : {1, 2})
    for (unsigned seed : kSeeds) {
      const Balance::LevelOutcome out = mPlayer->Play(day, Balance::ReferencePlayer::kCareerMode, seed, kDayCap);
      EXPECT_TRUE(out.over) << "day " << day << " seed " << seed;
      EXPECT_GE(out.money, out.expert) << "day " << day << " seed " << seed;
    }
  ExpectNothingLogged("days 1 and 2");
}

}  // namespace
