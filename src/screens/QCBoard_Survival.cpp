#include "screens/QCBoard_Survival.h"

#include "cafe/QCEngine3.h"
#include "common/StringUtil.h"
#include "engine/QCSoundTable.h"
#include "scene/QCBoard_Game.h"
#include "screens/CareerDays.h"
#include "screens/QCBoard_MainMenu.h"
#include "screens/ScreenServices.h"
#include "ui/QCButton.h"

namespace {

constexpr int kSurvivalMode = 1;

// The cafe's control of that pattern ("cafe%d_button" ...) on the page, for cafes 1 to 3.
void FindCafeControls(QCCandyWidget* page, const char* format, QCCandyWidget* (&out)[QCBoard_Survival::kCafes]) {
  for (int k = 1; k <= QCBoard_Survival::kCafes; ++k) out[k - 1] = page->FindChild(Velk::FormatString(format, k));
}

}  // namespace

QCBoard_Survival::QCBoard_Survival(QCEngine3* app, IXMLDOMNode* uiRoot) : QCDialog(nullptr, app), mGame(app) {
  LoadFromUi(uiRoot, "survival_menu");
}

void QCBoard_Survival::BindControl(const std::string& name, QCCandyWidget* widget) {
  if (name == "survival_dlg") {
    mBook = widget;
    if (QCCandyWidget* left = widget->FindChild("left_page")) {
      FindCafeControls(left, "cafe%d_button", mCafeButtons);
      FindCafeControls(left, "cafe%d_text", mCafeNames);
      FindCafeControls(left, "cafe%d_small_photo", mCafeSmallPhotos);
    }
    if (QCCandyWidget* right = widget->FindChild("right_page")) {
      mCancel = right->FindChild("cancel_button");
      mPlay = right->FindChild("play_button");
      FindCafeControls(right, "cafe%d_photo", mCafePhotos);
      FindCafeControls(right, "cafe%d_head", mCafeHeads);
      FindCafeControls(right, "cafe%d_desc", mCafeDescs);
    }
  }
  QCDialog::BindControl(name, widget);
}

void QCBoard_Survival::OnShowHook() {
  RefreshPages();
  PlaySoundByName("briefing_show");
  if (mGame->mMainMenu != nullptr) mGame->mMainMenu->FlipPage(mBook, false, kFlipToSurvival);
}

void QCBoard_Survival::ButtonDepress(int id) {
  if (QCButton::IsId(id, mCancel)) {
    if (mGame->mMainMenu != nullptr) mGame->mMainMenu->FlipPage(nullptr, true, kFlipToNone);
  } else if (QCButton::IsId(id, mPlay)) {
    Hide();
    if (QCBoard_Game* board = GetBoard()) board->StartLevelLoading(mSelectedCafe, kSurvivalMode);
  } else {
    for (int k = 1; k <= kCafes; ++k) {
      if (QCButton::IsId(id, mCafeButtons[k - 1]) || QCButton::IsId(id, mCafeSmallPhotos[k - 1])) {
        OpenCafe(k);
        return;
      }
    }
  }
}

void QCBoard_Survival::OpenCafe(int cafe) {
  mSelectedCafe = cafe;
  RefreshPages();
}

void QCBoard_Survival::RefreshPages() {
  for (int k = 1; k <= kCafes; ++k) {
    SetVisibleIf(mCafeSmallPhotos[k - 1], k == 1);
    SetDisabledIf(mCafeSmallPhotos[k - 1], k != 1);
  }
  for (QCCandyWidget* photo : mCafePhotos) SetVisibleIf(photo, false);
  for (QCCandyWidget* name : mCafeNames) SetVisibleIf(name, false);
  for (QCCandyWidget* head : mCafeHeads) SetVisibleIf(head, false);
  for (QCCandyWidget* desc : mCafeDescs) HideIf(desc);
  for (int k = 1; k <= kCafes; ++k) {
    SetVisibleIf(mCafeButtons[k - 1], false);
    SetDisabledIf(mCafeButtons[k - 1], k != 1);
  }
  const QCProfile* profile = GetCurrentProfile();
  const int day = profile != nullptr ? profile->mCurrentDay : kCareerFirstDay;
  // A cafe opens with the career's first day in it.
  for (int k = 2; k <= kCafes; ++k) {
    if (day > CareerCafeOffset(k)) {
      SetDisabledIf(mCafeButtons[k - 1], false);
      SetVisibleIf(mCafeSmallPhotos[k - 1], true);
      SetDisabledIf(mCafeSmallPhotos[k - 1], false);
    } else if (mSelectedCafe >= k) {
      mSelectedCafe = 1;
    }
  }
  const int selected = mSelectedCafe - 1;
  ShowIf(mCafePhotos[selected]);
  ShowIf(mCafeHeads[selected]);
  ShowIf(mCafeDescs[selected]);
  SetVisibleIf(mCafeNames[selected], true);
  for (int k = 1; k <= kCafes; ++k) {
    if (k != mSelectedCafe) SetVisibleIf(mCafeButtons[k - 1], true);
  }
}
