#pragma once
// The main menu ("main_menu"), drawn as an open book: the main page with the ways to the other
// screens, the profile page with the player profiles, the name dialog for a new profile, and the two
// bookmarks between the pages. It also owns the book's page turn, FlipPage, through which the book
// screens turn to their own pages and back.

#include <vector>

#include "cafe/QCPrefRecords.h"
#include "engine/QCDialog.h"

class QCEditWidget;
class QCEngine3;
class QCList;

// Where a page turn ends: the screen that stays visible.
enum QCFlipTarget {
  kFlipToNone = 0,
  kFlipToMainMenu = 1,
  kFlipToHelp = 2,
  kFlipToCareer = 3,
  kFlipToSurvival = 4,
  kFlipToHiScores = 5,
};

class QCBoard_MainMenu : public QCDialog {
 public:
  // The turn of a page takes this long, in seconds.
  static constexpr double kFlipSeconds = 0.7;

  QCBoard_MainMenu(QCEngine3* app, IXMLDOMNode* uiRoot);

  // Turns to the page (null: back to the main page) and, at the end, leaves the target's screen
  // visible. A turn that is running starts again with the new page.
  void FlipPage(QCCandyWidget* page, bool backwards, int target);

  void Update() override;
  void KeyDown(int key) override;
  void OnShowHook() override;
  void Deactivate() override;
  void BindControl(const std::string& name, QCCandyWidget* widget) override;
  void ButtonDepress(int id) override;

  QCEngine3* mGame;
  QCCandyWidget* mMainDlg = nullptr;
  QCCandyWidget* mCareer = nullptr;
  QCCandyWidget* mSurvival = nullptr;
  QCCandyWidget* mScores = nullptr;
  QCCandyWidget* mSettings = nullptr;
  QCCandyWidget* mHelp = nullptr;
  QCCandyWidget* mQuit = nullptr;
  QCCandyWidget* mProfileOpen = nullptr;
  QCCandyWidget* mSelectProfile = nullptr;
  QCCandyWidget* mCreate = nullptr;
  QCCandyWidget* mSelect = nullptr;
  QCCandyWidget* mDelete = nullptr;
  QCList* mList = nullptr;
  QCCandyWidget* mProfileClose = nullptr;
  QCCandyWidget* mCreateProfile = nullptr;
  QCCandyWidget* mCancel = nullptr;
  QCCandyWidget* mCreateName = nullptr;
  QCEditWidget* mNameEdit = nullptr;

  // The profiles of pref.dat, row for row as the list shows them.
  std::vector<QCProfile> mProfiles;

  bool mFlipping = false;
  bool mFlipBackwards = false;
  QCCandyWidget* mFlipPage = nullptr;
  int mFlipTarget = kFlipToNone;
  float mFlipTime = 0.0f;

 private:
  void BindMainPage(QCCandyWidget* page);
  void BindProfilePage(QCCandyWidget* page);
  void BindNameDialog(QCCandyWidget* dialog);
  bool HandleMainPage(int id);
  bool HandleProfiles(int id);

  void Refresh();
  void ShowMainPage();
  void OpenProfilePage();
  void SelectProfile();
  void DeleteProfile();
  void OpenNameDialog(bool refuseCancel);
  void CreateProfile();
  // The row of the cached profile of that name, or -1.
  int ProfileNamed(const std::wstring& name) const;
  void CancelNameDialog();
  void CloseNameDialog();
  void EnableBookmarks();
  // "profile_open" shows while the main page does and the profile page does not.
  void ShowOpenBookmark();

  void StepFlip();
  void EndFlip(QCCandyWidget* left, QCCandyWidget* right);
  void SetTargetVisible(int target);
};

// The current player's profile, held by the application's preference store.
QCProfile* GetCurrentProfile();
