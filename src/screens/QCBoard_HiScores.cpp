#include "screens/QCBoard_HiScores.h"

#include "cafe/QCEngine3.h"
#include "engine/QCSoundTable.h"
#include "screens/QCBoard_MainMenu.h"
#include "screens/ScreenServices.h"
#include "ui/QCButton.h"
#include "ui/QCText.h"
#include "widgets/WidgetManager.h"

QCBoard_HiScores::QCBoard_HiScores(QCEngine3* app, IXMLDOMNode* uiRoot) : QCDialog(nullptr, app), mGame(app) {
  LoadFromUi(uiRoot, "hiscores");
}

void QCBoard_HiScores::BindControl(const std::string& name, QCCandyWidget* widget) {
  QCDialog::BindControl(name, widget);
  if (name == "close") {
    mClose = widget;
  } else if (name == "hiscores_dlg") {
    mRightPage = widget->FindChild("right_page");
    mLeftPage = widget->FindChild("left_page");
    mHiscoresDlg = widget;
  }
}

// Rows "line<table><i>" and "score<table><i>"; an empty entry shows nothing, whatever its score.
void QCBoard_HiScores::FillTable(QCCandyWidget* page, char table, bool survival) {
  if (page == nullptr) return;
  const std::wstring player = PrefNameText(mGame->mPref.GetProfile()->mName);
  const QCHiScoreTable& entries = mGame->mPref.GetHiScoreTable(survival);
  for (int i = 0; i < QCPref::kTableEntries; ++i) {
    const std::string row = std::string(1, table) + std::to_string(i);
    const std::wstring name = PrefNameText(entries[i].mName);
    if (auto* line = dynamic_cast<QCText*>(page->FindChild("line" + row))) {
      line->SetDisabled(name != player);
      line->SetText(name);
    }
    if (auto* score = dynamic_cast<QCText*>(page->FindChild("score" + row))) {
      score->SetText(name.empty() ? std::wstring() : std::to_wstring(entries[i].mScore));
    }
  }
}

void QCBoard_HiScores::OnShowHook() {
  FillTable(mRightPage, '1', true);
  FillTable(mLeftPage, '0', false);
  if (mGame->mMainMenu != nullptr) mGame->mMainMenu->FlipPage(mHiscoresDlg, false, kFlipToHiScores);
  mGame->mWidgetManager->SetFocus(this);
  PlaySoundByName("window_open");
}

// The turn back to the main page hides this screen at its end.
void QCBoard_HiScores::ButtonDepress(int id) {
  if (QCButton::IsId(id, mClose) && mGame->mMainMenu != nullptr) mGame->mMainMenu->FlipPage(nullptr, true, kFlipToNone);
}
