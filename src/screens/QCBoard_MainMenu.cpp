#include "screens/QCBoard_MainMenu.h"

#include <cmath>

#include "cafe/QCEngine3.h"
#include "engine/LocTexts.h"
#include "engine/QCMusicManager.h"
#include "engine/QCTexture.h"
#include "screens/ConfirmDialogs.h"
#include "screens/QCBoard_Career.h"
#include "screens/QCBoard_Help.h"
#include "screens/QCBoard_HiScores.h"
#include "screens/QCBoard_Options.h"
#include "screens/QCBoard_Survival.h"
#include "screens/ScreenServices.h"
#include "ui/QCButton.h"
#include "ui/QCEditWidget.h"
#include "ui/QCList.h"
#include "ui/QCText.h"
#include "widgets/WidgetManager.h"

namespace {

constexpr int kEscape = 27;
// The double page and its halves.
constexpr int kPageWidth = 366;
constexpr int kBookWidth = 2 * kPageWidth;
constexpr int kPageHeight = 565;
// Where the turning leaves stand, from the fold.
constexpr int kLeavesOffset = 73;
constexpr int kLeavesY = 35;

QCCandyWidget* Child(QCCandyWidget* parent, const char* name) {
  return parent != nullptr ? parent->FindChild(name) : nullptr;
}

}  // namespace

QCProfile* GetCurrentProfile() {
  QCEngine3* game = GetGame();
  return game != nullptr ? game->mPref.GetProfile() : nullptr;
}

QCBoard_MainMenu::QCBoard_MainMenu(QCEngine3* app, IXMLDOMNode* uiRoot) : QCDialog(nullptr, app), mGame(app) {
  LoadFromUi(uiRoot, "main_menu");
}

void QCBoard_MainMenu::BindControl(const std::string& name, QCCandyWidget* widget) {
  if (name == "main_menu_dlg") {
    BindMainPage(widget);
  } else if (name == "profile_open") {
    mProfileOpen = widget;
  } else if (name == "profile_close") {
    mProfileClose = widget;
  } else if (name == "select_profile") {
    BindProfilePage(widget);
  } else if (name == "create_profile") {
    BindNameDialog(widget);
  }
  QCDialog::BindControl(name, widget);
}

void QCBoard_MainMenu::BindMainPage(QCCandyWidget* page) {
  mMainDlg = page;
  QCCandyWidget* right = page->FindChild("right_page");
  mCareer = Child(right, "career");
  mSurvival = Child(right, "survival");
  mScores = Child(right, "scores");
  mSettings = Child(right, "settings");
  mHelp = Child(right, "help");
  mQuit = Child(right, "quit");
}

void QCBoard_MainMenu::BindProfilePage(QCCandyWidget* page) {
  mSelectProfile = page;
  QCCandyWidget* left = page->FindChild("left_page");
  mCreate = Child(left, "create");
  mSelect = Child(left, "select");
  mDelete = Child(left, "delete");
  mList = dynamic_cast<QCList*>(Child(left, "list"));
}

void QCBoard_MainMenu::BindNameDialog(QCCandyWidget* dialog) {
  mCreateProfile = dialog;
  mCancel = dialog->FindChild("cancel");
  mCreateName = dialog->FindChild("create");
  mNameEdit = dynamic_cast<QCEditWidget*>(dialog->FindChild("entername_text"));
}

// The list and the name shown follow pref.dat.
void QCBoard_MainMenu::Refresh() {
  QCPref& pref = mGame->mPref;
  if (mList != nullptr) {
    mProfiles.clear();
    pref.ReadAllProfiles(mProfiles);
    mList->Clear();
    for (const QCProfile& profile : mProfiles) mList->AddLine(PrefNameText(profile.mName));
    mList->SetChecked(pref.mHeader.mCurrentProfile);
    mList->SetSelected(pref.mHeader.mCurrentProfile);
    SetDisabledIf(mDelete, mProfiles.size() < 2);
  }
  SetTextVar("profile_name", PrefNameText(pref.GetProfile()->mName));
}

void QCBoard_MainMenu::ShowMainPage() {
  Refresh();
  if (IsLevelRunning()) {
    Hide();
    return;
  }
  SetVisibleIf(mMainDlg, true);
  SetVisibleIf(mProfileOpen, true);
  SetVisibleIf(mProfileClose, false);
  if (auto* page = dynamic_cast<QCDialog*>(mSelectProfile)) page->SetModal(false);
}

void QCBoard_MainMenu::OpenProfilePage() {
  FlipPage(mSelectProfile, true, kFlipToMainMenu);
  if (mSelectProfile != nullptr) mSelectProfile->ShowChildren();
  if (mProfileOpen != nullptr && mProfileOpen->mVisible) mProfileOpen->Hide();
  if (mProfileClose != nullptr && !mProfileClose->mVisible) mProfileClose->Show();
  Refresh();
}

void QCBoard_MainMenu::SelectProfile() {
  if (mList != nullptr) {
    const int row = mList->GetSelected();
    if (row >= 0) mGame->mPref.LoadProfile(nullptr, row);
    Refresh();
    if (mGame->mCareer != nullptr) mGame->mCareer->ResetSelectedSlot();
  }
  ShowMainPage();
  FlipPage(mMainDlg, false, kFlipToMainMenu);
}

// The last profile is never deleted.
void QCBoard_MainMenu::DeleteProfile() {
  if (mList == nullptr || mProfiles.size() < 2) return;
  if (AskConfirm("delprof") == 1) {
    const int row = mList->GetSelected();
    if (row >= 0) mGame->mPref.DeleteProfile(row);
  }
  Refresh();
}

void QCBoard_MainMenu::OpenNameDialog(bool refuseCancel) {
  SetDisabledIf(mProfileOpen, true);
  SetDisabledIf(mProfileClose, true);
  if (mCreateProfile != nullptr) {
    BringToFront(mCreateProfile);
    if (mNameEdit != nullptr) {
      mNameEdit->SetText(L"", true);
      mNameEdit->OnFocusGained();
      mGame->mWidgetManager->SetFocus(mNameEdit);
    }
    mCreateProfile->Show();
  }
  SetDisabledIf(mCancel, refuseCancel);
}

// A name that a profile already bears creates nothing. At the first start (no profile loaded) it
// loads that profile instead: the player is never left on one that is not saved. An empty name
// keeps the dialog, and at the first start its bookmarks stay off too: the profile page behind them
// would lead past the dialog to a main page with no profile.
void QCBoard_MainMenu::CreateProfile() {
  QCPref& pref = mGame->mPref;
  const bool firstStart = !pref.mLoaded;
  if (mNameEdit != nullptr && !mNameEdit->GetText().empty()) {
    if (firstStart) ShowMainPage();
    Refresh();
    const int taken = ProfileNamed(mNameEdit->GetText());
    if (taken < 0) {
      pref.CreateProfile(mNameEdit->GetText().c_str(), nullptr, nullptr);
    } else if (firstStart) {
      pref.LoadProfile(nullptr, taken);
    }
    CloseNameDialog();
    Refresh();
  } else if (firstStart) {
    return;
  }
  EnableBookmarks();
}

int QCBoard_MainMenu::ProfileNamed(const std::wstring& name) const {
  for (size_t i = 0; i < mProfiles.size(); ++i) {
    if (PrefNameText(mProfiles[i].mName) == name) return static_cast<int>(i);
  }
  return -1;
}

void QCBoard_MainMenu::CancelNameDialog() {
  CloseNameDialog();
  EnableBookmarks();
}

// The name field keeps no keys once its dialog is gone: typed on the pages, they would go on
// writing a name, and Enter would make a profile of it.
void QCBoard_MainMenu::CloseNameDialog() {
  HideIf(mCreateProfile);
  Velk::WidgetManager* widgets = mGame->mWidgetManager;
  if (mNameEdit != nullptr && widgets->mFocusWidget == mNameEdit) widgets->SetFocus(nullptr);
}

void QCBoard_MainMenu::EnableBookmarks() {
  SetDisabledIf(mProfileOpen, false);
  SetDisabledIf(mProfileClose, false);
}

void QCBoard_MainMenu::OnShowHook() {
  if (QCMusicManager* music = mGame->GetMusicManager()) music->Play("main_menu");
  if (mGame->mPref.mLoaded) {
    ShowMainPage();
  } else {
    OpenNameDialog(true);
  }
  ShowOpenBookmark();
}

// The bookmark to the profile page hangs from the main page: without the book (the first start's
// name dialog) it would float over the bare table.
void QCBoard_MainMenu::ShowOpenBookmark() {
  const bool mainPage = mMainDlg != nullptr && mMainDlg->mVisible;
  const bool profilePage = mProfileClose != nullptr && mProfileClose->IsVisibleInTree();
  SetVisibleIf(mProfileOpen, mainPage && !profilePage);
}

void QCBoard_MainMenu::Deactivate() {
  QCDialog::Deactivate();
  mProfiles.clear();
}

// The name field passes Enter and Escape up to here.
void QCBoard_MainMenu::KeyDown(int key) {
  if (key != kEscape) {
    CreateProfile();
  } else if (mCancel != nullptr && !mCancel->mDisabled) {
    CancelNameDialog();
  }
}

void QCBoard_MainMenu::ButtonDepress(int id) {
  if (!HandleMainPage(id)) HandleProfiles(id);
}

bool QCBoard_MainMenu::HandleMainPage(int id) {
  if (QCButton::IsId(id, mCareer)) {
    ShowIf(mGame->mCareer);
  } else if (QCButton::IsId(id, mSurvival)) {
    ShowIf(mGame->mSurvival);
  } else if (QCButton::IsId(id, mQuit)) {
    mGame->Shutdown();
  } else if (QCButton::IsId(id, mHelp)) {
    if (mGame->mHelp != nullptr) {
      mGame->mHelp->HideAllPages();
      mGame->mHelp->Show();
    }
  } else if (QCButton::IsId(id, mSettings)) {
    ShowIf(mGame->mOptions);
  } else if (QCButton::IsId(id, mScores)) {
    ShowIf(mGame->mHiScores);
  } else {
    return false;
  }
  return true;
}

bool QCBoard_MainMenu::HandleProfiles(int id) {
  if (QCButton::IsId(id, mProfileOpen)) {
    OpenProfilePage();
  } else if (QCButton::IsId(id, mSelect)) {
    SelectProfile();
  } else if (QCButton::IsId(id, mProfileClose)) {
    ShowMainPage();
    FlipPage(mMainDlg, false, kFlipToMainMenu);
  } else if (QCButton::IsId(id, mDelete)) {
    DeleteProfile();
  } else if (QCButton::IsId(id, mCreate)) {
    OpenNameDialog(false);
  } else if (QCButton::IsId(id, mCancel)) {
    CancelNameDialog();
  } else if (QCButton::IsId(id, mCreateName)) {
    CreateProfile();
  } else {
    return false;
  }
  return true;
}

void QCBoard_MainMenu::FlipPage(QCCandyWidget* page, bool backwards, int target) {
  mFlipTarget = target;
  if (page == nullptr) {
    page = mMainDlg;
    mFlipTarget = kFlipToMainMenu;
    SetVisibleIf(mSelectProfile, false);
  } else {
    SetVisibleIf(mProfileOpen, false);
  }
  mFlipPage = page;
  mFlipTime = 0.0f;
  mFlipping = true;
  mFlipBackwards = backwards;
  BringChainToFront(page);
  QCCandyWidget* book = page != nullptr ? page->mParentWidget : nullptr;
  QCCandyWidget* leaves = Child(book, "f_pages");
  BringToFrontOfParent(leaves);
  if (auto* picture = dynamic_cast<QCText*>(leaves)) {
    QCTextureManager* textures = QCTextureManager::Get();
    if (textures != nullptr) picture->SetTextureImages(textures->Find(backwards ? "pages_b" : "pages_f"));
  }
  SetVisibleIf(page, false);
  SetTargetVisible(mFlipTarget);
  BringToFrontOfParent(Child(book, "f_cover"));
}

// The screen a turn leads to is there at once, under the turning page.
void QCBoard_MainMenu::SetTargetVisible(int target) {
  switch (target) {
    case kFlipToMainMenu:
      SetVisible(true);
      if (mProfileClose != nullptr) BringToFront(mProfileClose);
      if (mProfileOpen != nullptr) BringToFront(mProfileOpen);
      break;
    case kFlipToHelp:
      SetVisibleIf(mGame->mHelp, true);
      if (mGame->mHelp != nullptr) {
        SetVisibleIf(mGame->mHelp->mNextBtn, false);
        SetVisibleIf(mGame->mHelp->mPrevBtn, false);
      }
      break;
    case kFlipToCareer:
      SetVisibleIf(mGame->mCareer, true);
      break;
    case kFlipToSurvival:
      SetVisibleIf(mGame->mSurvival, true);
      break;
    case kFlipToHiScores:
      SetVisibleIf(mGame->mHiScores, true);
      break;
    default:
      break;
  }
}

void QCBoard_MainMenu::Update() {
  if (mFlipping) StepFlip();
  QCDialog::Update();
}

void QCBoard_MainMenu::StepFlip() {
  QCCandyWidget* book = mFlipPage != nullptr ? mFlipPage->mParentWidget : nullptr;
  QCCandyWidget* left = Child(mFlipPage, "left_page");
  QCCandyWidget* right = Child(mFlipPage, "right_page");
  QCCandyWidget* leaves = Child(book, "f_pages");
  QCCandyWidget* cover = Child(book, "f_cover");
  SetVisibleIf(cover, true);
  mFlipTime += mGame->mFrameTime / 1000.0;
  SetVisibleIf(mFlipPage, true);
  const float t = mFlipTime;
  if (t >= kFlipSeconds) {
    EndFlip(left, right);
    return;
  }
  int leavesX;
  if (mFlipBackwards) {
    const int w = static_cast<int>(t * kPageWidth / 0.7f);
    if (right != nullptr) {
      right->SetBounds(w, 0, w, kPageHeight);
      right->SetScalePoint(w - kPageWidth, 0);
    }
    if (left != nullptr) left->SetBounds(0, 0, w, kPageHeight);
    leavesX = w - kLeavesOffset;
  } else {
    const int w = static_cast<int>(kBookWidth - t * kBookWidth / 0.7f);
    const int h = (kBookWidth - w) / 2;
    if (left != nullptr) left->SetBounds(w, 0, h, kPageHeight);
    if (right != nullptr) {
      right->SetBounds(w + h, 0, kBookWidth - h - w, kPageHeight);
      right->SetScalePoint(kPageWidth - h - w, 0);
    }
    leavesX = w + h - kLeavesOffset;
  }
  if (leaves != nullptr) {
    leaves->Move(leavesX, kLeavesY);
    leaves->SetVisible(true);
    leaves->SetAlpha(1.0f - 2.0f * std::fabs(0.5f - t / 0.7f));
  }
  if (book != nullptr && cover != nullptr) book->BringToFront(cover);
}

void QCBoard_MainMenu::EndFlip(QCCandyWidget* left, QCCandyWidget* right) {
  if (left != nullptr) {
    left->SetBounds(0, 0, kPageWidth, kPageHeight);
    left->SetScalePoint(0, 0);
  }
  if (right != nullptr) {
    right->SetBounds(kPageWidth, 0, kPageWidth, kPageHeight);
    right->SetScalePoint(0, 0);
  }
  mFlipping = false;
  QCCandyWidget* book = mFlipPage != nullptr ? mFlipPage->mParentWidget : nullptr;
  SetVisibleIf(Child(book, "f_pages"), false);
  SetVisibleIf(Child(book, "f_cover"), false);
  SetVisible(mFlipTarget == kFlipToMainMenu);
  SetVisibleIf(mGame->mCareer, mFlipTarget == kFlipToCareer);
  SetVisibleIf(mGame->mHelp, mFlipTarget == kFlipToHelp);
  SetVisibleIf(mGame->mHiScores, mFlipTarget == kFlipToHiScores);
  SetVisibleIf(mGame->mSurvival, mFlipTarget == kFlipToSurvival);
  if (mFlipTarget == kFlipToMainMenu) {
    ShowOpenBookmark();
  } else if (mFlipTarget == kFlipToHelp && mGame->mHelp != nullptr) {
    QCCandyWidget* next = mGame->mHelp->mNextBtn;
    QCCandyWidget* prev = mGame->mHelp->mPrevBtn;
    if (next != nullptr) next->RewindTextures();
    if (prev != nullptr) prev->RewindTextures();
    ShowIf(next);
    ShowIf(prev);
  } else if (mFlipTarget == kFlipToCareer && mGame->mCareer != nullptr) {
    mGame->mCareer->ShowCafePage(false);
    mGame->mCareer->ShowCafeTabs();
  }
  mFlipTarget = kFlipToNone;
}
