#include "screens/QCBoard_Briefing.h"

#include "cafe/CafeNames.h"
#include "engine/QCSoundTable.h"
#include "scene/QCBoard_Game.h"
#include "ui/QCButton.h"

QCBoard_Briefing::QCBoard_Briefing(QCBoard_Game* board, QCEngine* app, IXMLDOMNode* uiRoot)
    : QCDialog(board, app), mBoard(board) {
  LoadFromUi(uiRoot, "briefing");
  SetVisible(false);
}

QCBoard_Briefing::~QCBoard_Briefing() {
  if (mHoldsPause) mBoard->ResumeGameSounds();
}

void QCBoard_Briefing::OnShowHook() {
  if (mHoldsPause) return;
  mBoard->PauseGameSounds();
  mHoldsPause = true;
  PlaySoundByName(CafeNames::kSndBriefingShow);
}

void QCBoard_Briefing::OnHideHook() {
  if (!mHoldsPause) return;
  mHoldsPause = false;
  mBoard->ResumeGameSounds();
}

void QCBoard_Briefing::BindControl(const std::string& name, QCCandyWidget* widget) {
  QCDialog::BindControl(name, widget);
  if (name == "start") mStart = widget;
}

void QCBoard_Briefing::ButtonDepress(int id) {
  if (QCButton::IsId(id, mStart))
    Hide();
  else
    QCDialog::ButtonDepress(id);
}
