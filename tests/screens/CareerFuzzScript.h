#pragma once
// One fuzz input for the career book: a profile as a damaged pref.dat might hold it (current day,
// best money, expert marks and badges per day) and the board's achievement figures, then the book's
// layout steps, a turn to a cafe, a level end with money, result and day from the input, and 300
// updates of the count-up.
#include <cstdint>
#include <cstring>
#include <string>

#include "CafeTestBoard.h"
#include "ScreenGame.h"
#include "screens/QCBoard_Career.h"
#include "ui/UiTestWorld.h"
#include "ui/UiXmlDoc.h"

namespace career_fuzz {

// Reads the input front to back; past its end every value is 0.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
  template <typename T>
  T Take() {
    T value{};
    const size_t n = std::min(sizeof value, mSize - mPos);
    std::memcpy(&value, mData + mPos, n);
    mPos += n;
    return value;
  }
  bool Empty() const { return mPos >= mSize; }

 private:
  const uint8_t* mData;
  size_t mSize;
  size_t mPos = 0;
};

// The screens from the description, a profile and the test board; once per world.
inline CafeTestBoard* Setup(UiTestWorld& world, const std::string& xml) {
  auto& game = static_cast<ScreenGame&>(*world.engine);
  UiXmlDoc ui(xml);
  game.MakeScreens(ui.Root());
  game.OnLoadingFinished();
  game.mPref.CreateProfile(L"Fuzz", nullptr, nullptr);
  auto* board = new CafeTestBoard();
  world.Manager()->AddChild(board);
  return board;
}

inline void FillProfile(QCProfile& profile, Input& in) {
  profile = QCProfile();
  profile.mCurrentDay = in.Take<int32_t>();
  for (int day = 0; day < QCProfile::kDays && !in.Empty(); ++day) {
    profile.mBestMoney[day] = in.Take<int32_t>();
    profile.mExpert[day] = in.Take<uint8_t>();
    for (uint8_t& badge : profile.mAchievements[day]) badge = in.Take<uint8_t>();
  }
}

inline void Run(UiTestWorld& world, CafeTestBoard& board, const uint8_t* data, size_t size) {
  auto& game = static_cast<ScreenGame&>(*world.engine);
  QCBoard_Career* book = game.mCareer;
  if (book == nullptr) return;
  Input in(data, size);
  const uint8_t flags = in.Take<uint8_t>();
  const int cafe = 1 + in.Take<uint8_t>() % 3;
  const int money = in.Take<int32_t>();
  const int result = in.Take<int8_t>();
  const int day = in.Take<int32_t>();
  QCAchievementFigures& figures = board.figures;
  AchievementParams& settings = figures.settings;
  for (int* value : {&figures.freezeRewards, &figures.cleanRewards, &figures.happyRewards, &figures.breakdowns,
                     &settings.freeze, &settings.clean, &settings.candy, &settings.noBroke, &settings.bonusCash,
                     &settings.bonusSuper, &settings.bonusSuperCash})
    *value = in.Take<int32_t>();
  FillProfile(*game.mPref.GetProfile(), in);

  book->ResetSelectedSlot();
  book->SelectCurrentDay();
  book->ShowCafePage(flags & 1);
  book->RefreshDayPage(flags & 2, flags & 4);
  book->SetVisible(true);
  book->TurnToCafe(cafe);
  world.Update(80);
  book->SetVisible(false);
  book->OnLevelEnd(money, result, day);
  book->SetVisible(true);
  world.Update(300);
  book->SetVisible(false);
  // The final comic waits for its button; the next input starts without it.
  book->mComicIndex = 0;
  if (book->mComix != nullptr) book->mComix->SetVisible(false);
}

}  // namespace career_fuzz
