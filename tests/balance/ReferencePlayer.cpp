#include "balance/ReferencePlayer.h"

#include <vector>

#include "cafe/QCBoard_Game3.h"
#include "cafe/QCEngine3.h"
#include "common/MersenneTwister.h"
#include "platform/clock/Clock.h"
#include "platform/crt/Rand.h"
#include "screens/QCBoard_Briefing.h"
#include "screens/QCBoard_MainMenu.h"
#include "screens/QCBoard_Splash.h"

namespace Balance {

ReferencePlayer::ReferencePlayer(QCEngine3& game) : mGame(game), mPolicy(game), mGreedy(game) {
  // The player has gone past the splash and the menus to the cafe.
  for (QCCandyWidget* screen : {static_cast<QCCandyWidget*>(game.mSplash), static_cast<QCCandyWidget*>(game.mMainMenu)})
    if (screen != nullptr) screen->SetVisible(false);
}

void ReferencePlayer::Load(int level, int mode, unsigned seed) {
  QCBoard_Game3& board = *mGame.mBoard;
  Velk::srand(seed);
  Velk::SeedRandom(seed);
  board.StartLevelLoading(level, mode);
  board.JoinLevelLoading();
  board.OnLevelLoaded();
  board.mBriefing->Hide();
  mPolicy.Reset();
  mGreedy.Reset();
}

LevelOutcome ReferencePlayer::Play(int level, int mode, unsigned seed, float capSeconds, Policy policy) {
  Load(level, mode, seed);
  QCBoard_Game3& board = *mGame.mBoard;
  while (!board.mEnded && board.mPlayTime < capSeconds) {
    Velk::Clock::Advance(mGame.mFrameTime);
    mGame.RunLogicUpdate();
    if (policy == Policy::kGreedy) {
      for (const POINT& at : mGreedy.NextClicks()) mGreedy.Targets().Click(at);
    } else if (std::optional<POINT> at = mPolicy.NextClick()) {
      mPolicy.Targets().Click(*at);
    }
  }
  LevelOutcome outcome{board.mMoney,    board.mNormalGoal, board.mExpertGoal,
                       board.mPlayTime, board.mEnded,      board.mBreakdowns};
  board.StopLevel();
  return outcome;
}

void ReferencePlayer::TakeOffer(int day) {
  Load(day, kCareerMode, 1);
  std::vector<QCUpgradeInfo*> offers;
  if (mGame.mBoard->CollectUpgradeOffers(offers) > 0) mGame.mBoard->ApplyUpgrade(offers.front(), true);
  mGame.mBoard->StopLevel();
}

}  // namespace Balance
