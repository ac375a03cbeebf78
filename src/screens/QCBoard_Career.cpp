#include "screens/QCBoard_Career.h"

#include <algorithm>

#include "cafe/QCEngine3.h"
#include "common/StringUtil.h"
#include "engine/EngineUtil.h"
#include "engine/LocTexts.h"
#include "engine/QCSoundTable.h"
#include "scene/QCBoard_Game.h"
#include "screens/CareerDays.h"
#include "screens/ConfirmDialogs.h"
#include "screens/QCBoard_MainMenu.h"
#include "screens/ScreenServices.h"
#include "ui/QCButton.h"
#include "ui/QCText.h"
#include "widgets/WidgetManager.h"

namespace {

constexpr int kCareerMode = 0;
constexpr const char* kComicPages[] = {"comix00a", "comix00b", "comix00c", "comix05", "comix15",
                                       "comix25",  "comix35",  "comix45",  "comix60"};

// The comic page shown before a day, or 0.
int ComicBeforeDay(int day) {
  switch (day) {
    case 1:
      return 1;
    case 6:
      return 4;
    case 16:
      return 5;
    case 26:
      return 6;
    case 36:
      return 7;
    case 46:
      return 8;
    default:
      return 0;
  }
}

void SetPicture(QCCandyWidget* control, const QCTextureRef& picture) {
  if (auto* text = dynamic_cast<QCText*>(control)) text->SetTextureImages(picture);
}

QCTextureRef FindTexture(const std::string& name) {
  QCTextureManager* textures = QCTextureManager::Get();
  return textures != nullptr ? textures->Find(name) : QCTextureRef();
}

void SendMessage(QCCandyWidget* control, const char* message) {
  if (control != nullptr) control->SendEffectMessage(message);
}

}  // namespace

QCBoard_Career::QCBoard_Career(QCEngine3* app, IXMLDOMNode* uiRoot) : QCDialog(nullptr, app), mGame(app) {
  LoadFromUi(uiRoot, "career_menu");
  mDayPictureName = "briefing_00";
  mDayPicture = FindTexture(mDayPictureName);
  // The first layout asks for "cafe_1" and so looks the picture up once more.
  mCafePictureName = "cafe_01";
  mCafePicture = FindTexture(mCafePictureName);
}

// --- Binding

void QCBoard_Career::BindControl(const std::string& name, QCCandyWidget* widget) {
  if (name == "career_dlg") {
    BindBook(widget);
  } else if (name == "career_dlg_fake") {
    BindOverlay(widget);
  } else if (name == "comix") {
    mComix = widget;
    mComixNext = widget->FindChild("next_button");
  } else if (name == "reset_button") {
    mReset = widget;
  } else if (name == "current_day") {
    mCurrentDayButton = widget;
  } else {
    for (int c = 1; c <= kCareerCafes; ++c) {
      if (name == Velk::FormatString("cafe%d_button", c)) mCafeButtons[c - 1] = widget;
      if (name == Velk::FormatString("cafe%d_text_big", c)) mCafeTitles[c - 1] = widget;
    }
  }
  QCDialog::BindControl(name, widget);
}

void QCBoard_Career::BindBook(QCCandyWidget* book) {
  mBook = book;
  mLeftPage = book->FindChild("left_page");
  if (mLeftPage != nullptr) {
    mBack = mLeftPage->FindChild("back_button");
    BindSlots(mLeftPage, mPage, true);
  }
  mRightPage = book->FindChild("right_page");
  if (mRightPage == nullptr) return;
  mNext = mRightPage->FindChild("next_button");
  mPlay = mRightPage->FindChild("play_button");
  mBriefText = mRightPage->FindChild("brief_debrief");
  mScoreText = dynamic_cast<QCText*>(mRightPage->FindChild("score"));
  if (mScoreText != nullptr) mBestLabel = mScoreText->GetText();
  BindRightPage(mRightPage, mPage);
}

void QCBoard_Career::BindOverlay(QCCandyWidget* overlay) {
  mOverlay = overlay;
  if (QCCandyWidget* left = overlay->FindChild("left_page")) BindSlots(left, mOverlayPage, false);
  if (QCCandyWidget* right = overlay->FindChild("right_page")) BindRightPage(right, mOverlayPage);
}

void QCBoard_Career::BindSlots(QCCandyWidget* page, Page& controls, bool withButtons) {
  controls.photoCafe = page->FindChild("photo_cafe");
  controls.dayMark = page->FindChild("day_mark");
  for (int n = 1; n <= kSlots; ++n) {
    if (withButtons) controls.dayButtons[n - 1] = page->FindChild(Velk::FormatString("day_button_%02d", n));
    controls.goalMarks[n - 1] = page->FindChild(Velk::FormatString("goal_%02d", n));
    controls.expertMarks[n - 1] = page->FindChild(Velk::FormatString("expert_%02d", n));
    controls.stars[n - 1] = page->FindChild(Velk::FormatString("star_%02d", n));
    controls.dayTexts[n - 1] = page->FindChild(Velk::FormatString("day_text_%02d", n));
  }
}

void QCBoard_Career::BindRightPage(QCCandyWidget* page, Page& controls) {
  controls.photoBriefing = page->FindChild("photo_briefing");
  controls.photoGoal = page->FindChild("photo_goal");
  controls.photoExpert = page->FindChild("photo_expert");
  controls.photoStar = page->FindChild("photo_star");
  controls.prize = page->FindChild("ach_prize");
  QCCandyWidget* badges = page->FindChild("achievment_bg");
  if (badges == nullptr) return;
  for (int k = 1; k <= kBadges; ++k) {
    controls.badges[k - 1] = badges->FindChild(Velk::FormatString("ach_%01d", k));
    controls.badgeBacks[k - 1] = badges->FindChild(Velk::FormatString("ach_%01d_bg", k));
  }
}

// --- Profile records

int QCBoard_Career::CurrentDay() const {
  const QCProfile* profile = GetCurrentProfile();
  return profile != nullptr ? std::clamp<int>(profile->mCurrentDay, kCareerFirstDay, kCareerFinishedDay) : 1;
}

int QCBoard_Career::BestMoney(int day) const {
  const QCProfile* profile = GetCurrentProfile();
  return profile != nullptr && IsCareerDay(day) ? profile->mBestMoney[day] : 0;
}

bool QCBoard_Career::ExpertMark(int day) const {
  const QCProfile* profile = GetCurrentProfile();
  return profile != nullptr && IsCareerDay(day) && profile->mExpert[day] != 0;
}

bool QCBoard_Career::Achievement(int day, int k) const {
  const QCProfile* profile = GetCurrentProfile();
  return profile != nullptr && IsCareerDay(day) && profile->mAchievements[day][k] != 0;
}

// --- Layout

void QCBoard_Career::SetShownCafe(int cafe) {
  mShownCafe = cafe;
  mOffset = CareerCafeOffset(cafe);
  mDaysOnPage = CareerCafeDays(cafe);
}

void QCBoard_Career::SelectCurrentDay() {
  const QCProfile* profile = GetCurrentProfile();
  if (profile != nullptr && profile->mCurrentDay != CurrentDay())
    DebugLog("Career: the profile's current day %d is outside 1-%d; day %d is shown", profile->mCurrentDay,
             kCareerFinishedDay, CurrentDay());
  const int day = CurrentDay();
  SetShownCafe(CareerCafeOfDay(day));
  mSelectedSlot = std::min(day - mOffset, mDaysOnPage);
  mOpenSlots = mSelectedSlot;
}

void QCBoard_Career::ShowCafePage(bool selectLastOpenDay) {
  if (mComicIndex != 0) {
    if (mComixNext != nullptr) mComix->BringToFront(mComixNext);
    return;
  }
  const int day = CurrentDay();
  for (QCCandyWidget* button : mCafeButtons) SetDisabledIf(button, false);
  if (mBook != nullptr) BringToFront(mBook);
  for (int c = 1; c <= kCareerCafes; ++c) {
    if (c != mShownCafe && mCafeButtons[c - 1] != nullptr) BringToFront(mCafeButtons[c - 1]);
  }
  // The shown cafe's title tab lies on the book's edge: behind the book it would be hidden until the
  // next page flip (at a level end, or after "Today" or a reset, there is none).
  if (mCafeTitles[mShownCafe - 1] != nullptr) BringToFront(mCafeTitles[mShownCafe - 1]);
  if (mCurrentDayButton != nullptr) BringToFront(mCurrentDayButton);
  if (mReset != nullptr) BringToFront(mReset);
  SetVisibleIf(mOverlay, false);
  for (int c = 2; c <= kCareerCafes; ++c) {
    if (day <= CareerCafeOffset(c)) SetDisabledIf(mCafeButtons[c - 1], true);
  }
  SetShownCafe(mShownCafe);
  if (selectLastOpenDay) {
    // A cafe not reached yet still shows its first day.
    mSelectedSlot = std::clamp(day - mOffset, 1, mDaysOnPage);
    mOpenSlots = mSelectedSlot;
  }
  const std::string cafeName = Velk::FormatString("cafe_%d", mShownCafe);
  if (cafeName != mCafePictureName) {
    mCafePictureName = cafeName;
    mCafePicture = FindTexture(cafeName);
    SetPicture(mPage.photoCafe, mCafePicture);
  }
  SetTextVarInt("cafe", mShownCafe);
}

// While a comic page lies over the book, the tabs wait: brought to the front they would stand on
// the comic's picture.
void QCBoard_Career::ShowCafeTabs() {
  if (mComicIndex != 0) return;
  const int shown = mShownCafe - 1;
  if (mCafeTitles[shown] != nullptr) {
    mCafeTitles[shown]->Show();
    BringToFront(mCafeTitles[shown]);
  }
  for (int c = 0; c < kCareerCafes; ++c) {
    if (c == shown) continue;
    if (mCafeButtons[c] != nullptr && !mCafeButtons[c]->mVisible) mCafeButtons[c]->Show();
    if (mCafeTitles[c] != nullptr && mCafeTitles[c]->mVisible) mCafeTitles[c]->Hide();
  }
  ShowIf(mReset);
  ShowIf(mCurrentDayButton);
}

void QCBoard_Career::MoveMarker(QCCandyWidget* marker) const {
  if (marker == nullptr || mSelectedSlot < 1 || mSelectedSlot > kSlots) return;
  const QCCandyWidget* button = mPage.dayButtons[mSelectedSlot - 1];
  if (button == nullptr) return;
  const Velk::Rect& b = button->mLayout;
  const Velk::Rect& m = marker->mLayout;
  marker->Move(b.mX + b.mWidth / 2 - m.mWidth / 2 - 2, b.mY + b.mHeight / 2 - m.mHeight / 2 - 4);
}

QCCandyWidget* QCBoard_Career::ResultMark(const Page& page, int n) const {
  const int day = mOffset + n;
  if (BestMoney(day) == 0) return nullptr;
  return ExpertMark(day) ? page.expertMarks[n - 1] : page.goalMarks[n - 1];
}

std::wstring QCBoard_Career::BriefingText() const {
  const int day = SelectedDay();
  return GetLocText(day == CurrentDay() ? std::string("breif_qq") : Velk::FormatString("breif_l%d", day));
}

void QCBoard_Career::LayOutSlots(bool animate, bool levelDone) {
  for (int n = 1; n <= kSlots; ++n) {
    const bool onPage = n <= mDaysOnPage;
    SetVisibleIf(mPage.dayButtons[n - 1], onPage);
    SetVisibleIf(mPage.dayTexts[n - 1], onPage);
    SetVisibleIf(mPage.goalMarks[n - 1], false);
    SetVisibleIf(mPage.expertMarks[n - 1], false);
    const bool open = n <= mOpenSlots;
    SetDisabledIf(mPage.dayButtons[n - 1], !open);
    SetDisabledIf(mPage.dayTexts[n - 1], !open);
    QCCandyWidget* mark = open ? ResultMark(mPage, n) : nullptr;
    if (mark == nullptr) continue;
    mark->SetVisible(true);
    if (animate) mark->SendEffectMessage("onshow");
    if (levelDone && n == mOpenSlots) mark->SendEffectMessage("onleveldone");
  }
}

QCCandyWidget* QCBoard_Career::LayOutResult(Page& page, bool real) {
  auto hide = [real](QCCandyWidget* control) {
    if (real) {
      HideIf(control);
    } else {
      SetVisibleIf(control, false);
    }
  };
  auto show = [real](QCCandyWidget* control) {
    if (real) {
      ShowIf(control);
    } else {
      SetVisibleIf(control, true);
    }
  };
  for (QCCandyWidget* photo : {page.photoExpert, page.photoGoal, page.photoStar}) hide(photo);
  for (int k = 0; k < kBadges; ++k) {
    hide(page.badges[k]);
    hide(page.badgeBacks[k]);
  }
  hide(page.prize);
  const int day = SelectedDay();
  if (day > CurrentDay() || BestMoney(day) < 1) return nullptr;
  QCCandyWidget* photo = ExpertMark(day) ? page.photoExpert : page.photoGoal;
  SetVisibleIf(photo, true);
  mBadgeX = kFirstBadgeX;
  for (int k = 0; k < kBadges; ++k) {
    if (!Achievement(day, k)) continue;
    for (QCCandyWidget* control : {page.badges[k], page.badgeBacks[k]}) {
      if (control == nullptr) continue;
      control->Move(mBadgeX, 0);
      show(control);
    }
    mBadgeX += kBadgeStep;
  }
  if (Achievement(day, kBadges)) show(page.prize);
  return photo;
}

void QCBoard_Career::RefreshDayPage(bool animate, bool levelDone) {
  if (mSelectedSlot < 1 || mSelectedSlot > kSlots) SelectCurrentDay();
  QCCandyWidget* marker = mPage.dayMark;
  HideIf(marker);
  MoveMarker(marker);
  if (marker != nullptr) marker->RewindTextures();
  ShowIf(marker);
  LayOutSlots(animate, levelDone);
  const int day = SelectedDay();
  SetTextVarInt("day", mSelectedSlot);
  SetTextVar("brief_debrief", BriefingText());
  SendMessage(mBriefText, "onshow");
  if (QCCandyWidget* photo = LayOutResult(mPage, true)) {
    photo->SendEffectMessage("onshow");
    // Only after the last day is won: the current day moved on before this refresh.
    if (levelDone && day == CurrentDay()) photo->SendEffectMessage("onleveldone");
  }
  SetTextVarInt("score", BestMoney(day));
  LabelScore(mBestLabel);
  ShowDayPicture();
}

void QCBoard_Career::LabelScore(const std::wstring& label) {
  if (mScoreText != nullptr && mScoreText->GetText() != label) mScoreText->SetText(label);
}

void QCBoard_Career::ShowDayPicture() {
  const int day = SelectedDay();
  const std::string name = day == CurrentDay() ? std::string("briefing_qq") : Velk::FormatString("briefing_%02d", day);
  if (name == mDayPictureName) return;
  QCTextureRef picture = FindTexture(name);
  mDayPictureName = name;
  if (picture.IsEmpty()) {
    mDayPictureName = "briefing_00";
    picture = FindTexture(mDayPictureName);
  }
  mDayPicture = picture;
  SetPicture(mPage.photoBriefing, mDayPicture);
  SendMessage(mPage.photoBriefing, "onshow");
}

// --- Turning to another cafe

void QCBoard_Career::CopyToOverlay() {
  SetTextVarInt("selectedday", mSelectedSlot);
  SetTextVar("brief_debrief_fake", BriefingText());
  SetPicture(mOverlayPage.photoBriefing, mDayPicture);
  SetPicture(mOverlayPage.photoCafe, mCafePicture);
  SetVisibleIf(mOverlayPage.dayMark, true);
  MoveMarker(mOverlayPage.dayMark);
  for (int n = 1; n <= kSlots; ++n) {
    SetVisibleIf(mOverlayPage.dayTexts[n - 1], n <= mDaysOnPage);
    SetVisibleIf(mOverlayPage.goalMarks[n - 1], false);
    SetVisibleIf(mOverlayPage.expertMarks[n - 1], false);
    const bool open = n <= mOpenSlots;
    SetDisabledIf(mOverlayPage.dayTexts[n - 1], !open);
    if (open) SetVisibleIf(ResultMark(mOverlayPage, n), true);
  }
  LayOutResult(mOverlayPage, false);
}

void QCBoard_Career::TurnToCafe(int cafe) {
  const bool backwards = cafe < mShownCafe;
  HideIf(mCafeTitles[mShownCafe - 1]);
  ShowIf(mCafeButtons[mShownCafe - 1]);
  CopyToOverlay();
  mShownCafe = cafe;
  for (QCCandyWidget* button : mCafeButtons) SetDisabledIf(button, true);
  SetDisabledIf(mNext, true);
  SetVisibleIf(mNext, false);
  SetDisabledIf(mPlay, false);
  SetVisibleIf(mPlay, true);
  if (mOverlay != nullptr) BringToFrontOfParent(mOverlay);
  ShowCafePage(true);
  RefreshDayPage(true, false);
  SetVisibleIf(mOverlay, true);
  FlipBook(mBook, backwards);
}

void QCBoard_Career::FlipBook(QCCandyWidget* page, bool backwards) {
  if (mGame->mMainMenu != nullptr) mGame->mMainMenu->FlipPage(page, backwards, kFlipToCareer);
}

// --- Comics and starting a day

void QCBoard_Career::ShowComicPage(bool show) {
  if (!show || mComicIndex < 1 || mComicIndex > kFinalComic || mComix == nullptr) return;
  QCCandyWidget* page = mComix->FindChild(kComicPages[mComicIndex - 1]);
  if (page == nullptr) return;
  page->Show();
  page->ShowChildren();
  FlipBook(page, false);
  BringToFront(mComix);
  if (mComixNext == nullptr) return;
  mComix->BringToFront(mComixNext);
  mComixNext->RewindTextures();
  mComixNext->Show();
}

void QCBoard_Career::StartDay(int day) {
  StopCount();
  // The next button belongs to the page of a day just played: a day left unfinished, or a book
  // opened again later, offers its own day to play.
  OfferPlay(true);
  day = std::clamp(day, kCareerFirstDay, kCareerLastDay);
  mDayToPlay = day;
  SetShownCafe(CareerCafeOfDay(day));
  mSelectedSlot = day - mOffset;
  if (const int comic = ComicBeforeDay(day)) mComicIndex = comic;
  if (mComicIndex == 0) return LoadDayToPlay();
  ShowIf(mComix);
  ShowComicPage(true);
}

// The book leaves the screen for the day. A level end left the main menu up behind it; the level's
// load takes that off the screen as well.
void QCBoard_Career::LoadDayToPlay() {
  Hide();
  QCBoard_Game* board = GetBoard();
  if (board == nullptr) return;
  mGame->mWidgetManager->BringToFront(board);
  board->StartLevelLoading(mDayToPlay, kCareerMode);
}

// --- Screen

void QCBoard_Career::OnShowHook() {
  for (int c = 0; c < kCareerCafes; ++c) {
    SetVisibleIf(mCafeButtons[c], false);
    SetVisibleIf(mCafeTitles[c], false);
  }
  if (mComicIndex == kFinalComic) SetVisibleIf(mComix, false);
  if (mSelectedSlot == -1) SelectCurrentDay();
  RefreshDayPage(true, false);
  ShowIf(mPage.dayMark);
  PlaySoundByName("briefing_show");
  FlipBook(mBook, false);
}

void QCBoard_Career::OnHideHook() { StopCount(); }

void QCBoard_Career::ButtonDepress(int id) {
  HandleButtons(id);
  for (int n = 1; n <= kSlots; ++n) {
    if (QCButton::IsId(id, mPage.dayButtons[n - 1])) SelectSlot(n);
  }
}

void QCBoard_Career::HandleButtons(int id) {
  if (QCButton::IsId(id, mBack)) {
    Back();
  } else if (QCButton::IsId(id, mComixNext)) {
    ComicNext();
  } else if (QCButton::IsId(id, mPlay)) {
    StartDay(SelectedDay());
  } else if (QCButton::IsId(id, mReset)) {
    Reset();
  } else if (QCButton::IsId(id, mNext)) {
    StartDay(SelectedDay() + 1);
  } else if (QCButton::IsId(id, mCurrentDayButton)) {
    ToCurrentDay();
  } else {
    for (int c = 1; c <= kCareerCafes; ++c) {
      if (QCButton::IsId(id, mCafeButtons[c - 1])) TurnToCafe(c);
    }
  }
}

void QCBoard_Career::Back() {
  StopCount();
  HideIf(GetBoard());
  if (mGame->mMainMenu != nullptr) mGame->mMainMenu->FlipPage(nullptr, true, kFlipToNone);
  for (int c = 0; c < kCareerCafes; ++c) {
    SetVisibleIf(mCafeButtons[c], false);
    SetVisibleIf(mCafeTitles[c], false);
  }
}

void QCBoard_Career::ComicNext() {
  ShowComicPage(false);
  if (mComicIndex == 1 || mComicIndex == 2) {
    ++mComicIndex;
    ShowComicPage(true);
  } else if (mComicIndex == kFinalComic) {
    StopCount();
    Hide();
    mComicIndex = 0;
    ShowIf(mGame->mMainMenu);
  } else {
    HideIf(mComix);
    mComicIndex = 0;
    LoadDayToPlay();
  }
}

void QCBoard_Career::Reset() {
  if (AskConfirm("delcareer") != 1) return;
  StopCount();
  mGame->mPref.ResetProfileProgress();
  OfferPlay(true);
  SelectCurrentDay();
  ShowCafePage(true);
  RefreshDayPage(false, false);
}

void QCBoard_Career::OfferPlay(bool play) {
  SetVisibleIf(mNext, !play);
  SetVisibleIf(mPlay, play);
}

void QCBoard_Career::ToCurrentDay() {
  StopCount();
  OfferPlay(true);
  const int shown = mShownCafe;
  SelectCurrentDay();
  if (mShownCafe == shown) {
    ShowCafePage(false);
    RefreshDayPage(false, false);
    return;
  }
  const int cafe = mShownCafe;
  mShownCafe = shown;
  TurnToCafe(cafe);
}

void QCBoard_Career::SelectSlot(int slot) {
  mSelectedSlot = slot;
  RefreshDayPage(false, false);
  if (mPlay != nullptr && !mPlay->mVisible) mPlay->SetVisible(true);
  if (mNext != nullptr && mNext->mVisible) mNext->SetVisible(false);
  StopCount();
}
