#pragma once
// The career book ("career_menu"): 59 days in three cafes, one double page per cafe. The left page
// holds a button per day with a goal or expert mark for the days won, the marker of the chosen day
// and the cafe's photo; the right page the chosen day's briefing, picture, result photo, best money
// and badges, with play (and after a day, next). Cafe tabs turn the book through the main menu's
// page turn, drawn over a second copy of the page that keeps showing the page being left; comic
// pages come before some days and after the last one. When a day has been played the board hands
// the result here (OnLevelEnd): the day is recorded in the profile and the money counts up.
//
// The profile may come from a damaged file: every day read from it is held to the calendar.

#include <string>

#include "engine/QCDialog.h"
#include "engine/QCTexture.h"

class QCEngine3;
class QCText;
struct QCProfile;

class QCBoard_Career : public QCDialog {
 public:
  static constexpr int kSlots = 24;
  static constexpr int kBadges = 4;
  static constexpr int kFirstBadgeX = 40;
  static constexpr int kBadgeStep = 40;
  static constexpr int kFinalComic = 9;  // after the last day

  // The controls that the book's page and its overlay copy both have.
  struct Page {
    QCCandyWidget* dayMark = nullptr;
    QCCandyWidget* photoCafe = nullptr;
    QCCandyWidget* photoBriefing = nullptr;
    QCCandyWidget* photoGoal = nullptr;
    QCCandyWidget* photoExpert = nullptr;
    QCCandyWidget* photoStar = nullptr;
    QCCandyWidget* prize = nullptr;
    QCCandyWidget* dayButtons[kSlots] = {};  // the real page only
    QCCandyWidget* dayTexts[kSlots] = {};
    QCCandyWidget* goalMarks[kSlots] = {};
    QCCandyWidget* expertMarks[kSlots] = {};
    QCCandyWidget* stars[kSlots] = {};
    QCCandyWidget* badges[kBadges] = {};
    QCCandyWidget* badgeBacks[kBadges] = {};
  };

  QCBoard_Career(QCEngine3* app, IXMLDOMNode* uiRoot);

  void Update() override;
  void OnShowHook() override;
  void OnHideHook() override;
  void BindControl(const std::string& name, QCCandyWidget* widget) override;
  void ButtonDepress(int id) override;

  // The chosen day is derived from the profile again the next time the book opens.
  void ResetSelectedSlot() { mSelectedSlot = -1; }
  // Lays the book out for the shown cafe; with selectLastOpenDay the newest open day is chosen.
  void ShowCafePage(bool selectLastOpenDay);
  void ShowCafeTabs();
  // A career day has been played: result 0 expert goal reached, 1 goal reached, 2 failed. Called
  // while the book is hidden; the caller makes it visible and saves pref.dat.
  void OnLevelEnd(int money, int result, int day);

  void SelectCurrentDay();
  void RefreshDayPage(bool animate, bool levelDone);
  void TurnToCafe(int cafe);
  void StartDay(int day);
  void ShowComicPage(bool show);

  QCEngine3* mGame;
  QCCandyWidget* mBack = nullptr;
  QCCandyWidget* mPlay = nullptr;
  QCCandyWidget* mNext = nullptr;
  QCCandyWidget* mCafeButtons[3] = {};
  QCCandyWidget* mCurrentDayButton = nullptr;
  QCCandyWidget* mReset = nullptr;
  QCCandyWidget* mLeftPage = nullptr;
  QCCandyWidget* mRightPage = nullptr;
  QCCandyWidget* mComix = nullptr;
  QCCandyWidget* mComixNext = nullptr;
  int mComicIndex = 0;  // 0 none; 1-9 the comic page shown
  QCCandyWidget* mBriefText = nullptr;
  // Says what "score" holds: the day's best on the day page, the day's takings while a level end counts.
  QCText* mScoreText = nullptr;
  std::wstring mBestLabel;
  QCCandyWidget* mCafeTitles[3] = {};
  QCCandyWidget* mBook = nullptr;
  Page mPage;
  QCCandyWidget* mOverlay = nullptr;
  Page mOverlayPage;
  QCTextureRef mDayPicture;
  std::string mDayPictureName;
  QCTextureRef mCafePicture;
  std::string mCafePictureName;
  int mBadgeX = kFirstBadgeX;
  QCCandyWidget* mResultSplash = nullptr;
  int mSelectedSlot = -1;  // 1-based on the shown page; -1 until first shown
  int mOpenSlots = -1;
  int mOffset = 0;
  int mDayToPlay = -1;
  int mDaysOnPage = 15;
  float mCountTime = 0.0f;
  bool mCounting = false;
  int mCountedMoney = 0;
  int mShownCafe = 1;

 private:
  void BindBook(QCCandyWidget* book);
  void BindOverlay(QCCandyWidget* overlay);
  void BindRightPage(QCCandyWidget* page, Page& controls);
  void BindSlots(QCCandyWidget* page, Page& controls, bool withButtons);
  void HandleButtons(int id);
  void Back();
  void ComicNext();
  void LoadDayToPlay();
  void Reset();
  void ToCurrentDay();
  void SelectSlot(int slot);
  void StopCount() { mCounting = false; }
  void OfferPlay(bool play);
  void SetShownCafe(int cafe);
  void FlipBook(QCCandyWidget* page, bool backwards);

  // The profile's current day held to 1-60; 1 without a profile.
  int CurrentDay() const;
  int SelectedDay() const { return mOffset + mSelectedSlot; }
  // Records of a day; nothing outside days 1-59.
  int BestMoney(int day) const;
  bool ExpertMark(int day) const;
  bool Achievement(int day, int k) const;

  void MoveMarker(QCCandyWidget* marker) const;
  // Slot n's mark of the day's result; null for a day not won.
  QCCandyWidget* ResultMark(const Page& page, int n) const;
  // The result photo and badges of the selected day, with effects on the real page; the photo
  // shown, or null.
  QCCandyWidget* LayOutResult(Page& page, bool real);
  void LayOutSlots(bool animate, bool levelDone);
  void CopyToOverlay();
  void ShowDayPicture();
  void LabelScore(const std::wstring& label);
  std::wstring BriefingText() const;

  // Level end
  void AwardBadges(unsigned char flags[5]);
  int CareerTotal() const;
  void StepCount();
};
