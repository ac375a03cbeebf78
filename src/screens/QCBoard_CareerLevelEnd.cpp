// The career book's side of a finished day: the records, the badges and the count-up of the money.
#include <algorithm>
#include <climits>

#include "cafe/QCEngine3.h"
#include "engine/EngineUtil.h"
#include "engine/LocTexts.h"
#include "engine/QCSoundTable.h"
#include "screens/CareerDays.h"
#include "screens/QCBoard_Career.h"
#include "screens/QCBoard_MainMenu.h"
#include "screens/QCInGameBoard.h"
#include "screens/ScreenServices.h"
#include "widgets/WidgetManager.h"

namespace {

enum Result { kExpertResult = 0, kGoalResult = 1 };
constexpr int kPrizeFlag = 4;
constexpr float kSplashSeconds = 1.0f;
constexpr float kCountSeconds = 2.0f;

const char* SplashName(int result) {
  switch (result) {
    case kExpertResult:
      return "expert_splash";
    case kGoalResult:
      return "goal_splash";
    default:
      return "fail_splash";
  }
}

// Money with a bonus, held to the range of an int: the settings come from level files.
int AddMoney(int money, int cash) {
  return static_cast<int>(std::clamp<long long>(static_cast<long long>(money) + cash, INT_MIN, INT_MAX));
}

// A mini-game badge: rewards received, and at least as many as the level asks for.
bool RewardBadgeWon(int rewards, int setting) { return rewards != 0 && rewards >= setting; }

}  // namespace

void QCBoard_Career::OnLevelEnd(int money, int result, int day) {
  if (!IsCareerDay(day)) {
    DebugLog("Career: a level end for day %d, outside 1-%d, is ignored", day, kCareerLastDay);
    return;
  }
  QCProfile* profile = GetCurrentProfile();
  PlaySoundByName("debriefing_money");
  mCountTime = 0.0f;
  mCountedMoney = money;
  mCounting = true;
  for (QCCandyWidget* button : {mPlay, mNext}) {
    SetDisabledIf(button, true);
    SetVisibleIf(button, false);
  }
  for (int k = 0; k < kBadges; ++k) {
    SetVisibleIf(mPage.badges[k], false);
    SetVisibleIf(mPage.badgeBacks[k], false);
  }
  SetVisibleIf(mPage.prize, false);
  SetShownCafe(CareerCafeOfDay(day));
  // StartDay chose this slot for the day played; a level end without it still opens on the day.
  mSelectedSlot = day - mOffset;
  if (result == kExpertResult && profile != nullptr) profile->mExpert[day] = 1;
  mResultSplash = FindChild(SplashName(result));
  SetVisibleIf(mResultSplash, false);
  const bool won = result == kExpertResult || result == kGoalResult;
  if (won && profile != nullptr) {
    if (day == profile->mCurrentDay) ++profile->mCurrentDay;
    if (day == kCareerLastDay) {
      ShowIf(mComix);
      mComicIndex = kFinalComic;
      ShowComicPage(true);
    }
    unsigned char flags[kBadges + 1] = {};
    AwardBadges(flags);
    if (profile->mBestMoney[day] < mCountedMoney) {
      profile->mBestMoney[day] = mCountedMoney;
      std::copy(flags, flags + kBadges + 1, profile->mAchievements[day]);
      mGame->mPref.AddHiScore(false, PrefNameText(profile->mName).c_str(), CareerTotal());
    }
  }
  OfferPlay(day >= CurrentDay());
  Velk::WidgetManager* manager = mGame->mWidgetManager;
  if (mGame->mMainMenu != nullptr) {
    manager->BringToFront(mGame->mMainMenu);
    mGame->mMainMenu->SetVisible(true);
  }
  manager->SetFocus(this);
  manager->BringToFront(this);
  const int slot = mSelectedSlot;
  ShowCafePage(true);
  mSelectedSlot = slot;
  RefreshDayPage(false, true);
  // The count is what the day earned, recorded or not: a lost day has no best to show. A table
  // without that label keeps the book's own, so the count is still shown.
  const std::wstring& earned = GetLocText("car_earned");
  LabelScore(earned.empty() ? mBestLabel : earned);
}

void QCBoard_Career::AwardBadges(unsigned char flags[kBadges + 1]) {
  QCInGameBoard* board = GetInGameBoard();
  if (board == nullptr) return;
  const QCAchievementFigures figures = board->GetAchievementFigures();
  const AchievementParams& settings = figures.settings;
  // Tested in this order; the badges won stand side by side from the left.
  const std::pair<int, bool> badges[kBadges] = {
      {1, RewardBadgeWon(figures.cleanRewards, settings.clean)},
      {0, RewardBadgeWon(figures.freezeRewards, settings.freeze)},
      {2, RewardBadgeWon(figures.happyRewards, settings.candy)},
      {3, figures.breakdowns == 0 && settings.noBroke == 1},
  };
  mBadgeX = kFirstBadgeX;
  int count = 0;
  for (const auto& [k, won] : badges) {
    if (!won) continue;
    for (QCCandyWidget* control : {mPage.badges[k], mPage.badgeBacks[k]}) {
      if (control == nullptr) continue;
      control->Move(mBadgeX, 0);
      control->Show();
    }
    mCountedMoney = AddMoney(mCountedMoney, settings.bonusCash);
    ++count;
    flags[k] = 1;
    mBadgeX += kBadgeStep;
  }
  if (count < settings.bonusSuper) return;
  ShowIf(mPage.prize);
  mCountedMoney = AddMoney(mCountedMoney, settings.bonusSuperCash);
  flags[kPrizeFlag] = 1;
}

// The best money of every day up to the current one, the last day at most; a damaged file's sums
// stop at the largest int.
int QCBoard_Career::CareerTotal() const {
  const int last = std::min(CurrentDay(), kCareerLastDay);
  int total = 0;
  for (int day = kCareerFirstDay; day <= last; ++day) total = AddMoney(total, BestMoney(day));
  return total;
}

void QCBoard_Career::Update() {
  StepCount();
  QCDialog::Update();
}

void QCBoard_Career::StepCount() {
  if (!mVisible || !mCounting || mComicIndex != 0) {
    mCounting = false;
    SetDisabledIf(mPlay, false);
    SetDisabledIf(mNext, false);
    return;
  }
  mCountTime += mGame->mFrameTime / 1000.0;
  if (mCountTime > kSplashSeconds && mResultSplash != nullptr && !mResultSplash->mVisible) {
    BringToFront(mResultSplash);
    mResultSplash->Show();
    mResultSplash->ShowChildren();
  }
  const bool done = mCountTime > kCountSeconds;
  SetTextVarInt("score",
                done ? mCountedMoney : static_cast<int>(static_cast<double>(mCountedMoney) * mCountTime * 0.5));
  if (done) mCounting = false;
}
