#include "screens/QCBoard_Briefing.h"

#include "cafe/QCEngine3.h"
#include "common/StringUtil.h"
#include "engine/LocTexts.h"
#include "engine/QCSoundTable.h"
#include "engine/QCTexture.h"
#include "scene/QCBoard_Game.h"
#include "screens/CareerDays.h"
#include "screens/ScreenServices.h"
#include "ui/QCButton.h"
#include "ui/QCText.h"
#include "widgets/WidgetManager.h"

namespace {

constexpr char kFallbackPicture[] = "briefing_00";

void SetLabel(QCText* label, const char* id) {
  if (label != nullptr) label->SetText(GetLocText(id));
}

// A number's localised text: the number written in decimal is the id.
const std::wstring& NumberText(int number) { return GetLocText(std::to_string(number)); }

}  // namespace

QCBoard_Briefing::QCBoard_Briefing(QCEngine3* app, IXMLDOMNode* uiRoot) : QCDialog(nullptr, app), mGame(app) {
  LoadFromUi(uiRoot, "briefing_dialog");
  SetVisible(false);
}

void QCBoard_Briefing::BindControl(const std::string& name, QCCandyWidget* widget) {
  if (name == "start") {
    mStart = widget;
  } else if (name == "goal_text") {
    mGoalLabel = dynamic_cast<QCText*>(widget);
  } else if (name == "expert_text") {
    mExpertLabel = dynamic_cast<QCText*>(widget);
  } else if (name == "settings_text") {
    mReadyLabel = dynamic_cast<QCText*>(widget);
  }
  QCDialog::BindControl(name, widget);
}

void QCBoard_Briefing::ButtonDepress(int id) {
  if (QCButton::IsId(id, mStart)) Hide();
}

void QCBoard_Briefing::OnShowHook() {
  QCBoard_Game* board = GetBoard();
  const int level = board != nullptr ? board->mLevel : 0;
  const bool survival = board != nullptr && board->mSurvival;
  FillTexts(level, survival);
  ShowPicture();
  if (survival) {
    // The level start published the survival day; the cafe is the level number itself, which the
    // title names.
    SetTextVar("currentcafe", NumberText(level));
    SetTextVar("cafe", NumberText(level));
    const std::wstring day = GetTextVar("day");
    SetTextVar("currentday", day);
  } else {
    PublishCafeAndDay(level);
  }
  if (!mHoldsPause && board != nullptr) {
    board->PauseGameSounds();
    mHoldsPause = true;
  }
}

void QCBoard_Briefing::OnHideHook() {
  QCBoard_Game* board = GetBoard();
  if (mHoldsPause && board != nullptr) board->ResumeGameSounds();
  mHoldsPause = false;
}

void QCBoard_Briefing::FillTexts(int level, bool survival) {
  mPictureName = Velk::FormatString(survival ? "ebriefing_%02d" : "briefing_%02d", level);
  // A survival cafe has no days: its title names the cafe as its picture does.
  SetLabel(dynamic_cast<QCText*>(FindChild("title")), survival ? "brf_endless_title" : "brf_title");
  SetLabel(mGoalLabel, survival ? "mn04_endless_goal" : "mn04_goal");
  SetLabel(mExpertLabel, survival ? "mn04_endless_expert" : "mn04_expert");
  SetLabel(mReadyLabel, survival ? "mn04_endless_ready" : "mn04_ready");
  SetTextVar("level_briefing",
             GetLocText(Velk::FormatString(survival ? "ebreif_text_l%02d" : "breif_text_l%02d", level)));
}

void QCBoard_Briefing::ShowPicture() {
  QCTextureManager* textures = QCTextureManager::Get();
  if (textures == nullptr) return;
  QCTextureRef picture = textures->Find(mPictureName);
  if (picture.IsEmpty()) {
    mPictureName = kFallbackPicture;
    picture = textures->Find(mPictureName);
  }
  if (auto* control = dynamic_cast<QCText*>(FindChild("picture"))) control->SetTextureImages(picture);
}

void QCBoard_Briefing::PublishCafeAndDay(int level) {
  const int cafe = CareerCafeOfDay(level);
  const int day = level - CareerCafeOffset(cafe);
  SetTextVar("currentcafe", NumberText(cafe));
  SetTextVar("cafe", NumberText(cafe));
  SetTextVar("currentday", NumberText(day));
  SetTextVar("day", NumberText(day));
}

// Modal while shown, in front of the board's other children.
void QCBoard_Briefing::Activate() {
  QCDialog::Activate();
  BringToFrontOfParent(this);
  if (Velk::WidgetManager* manager = WidgetManagerOfGame()) {
    manager->PushModal(this);
    manager->SetFocus(this);
  }
}

void QCBoard_Briefing::Deactivate() {
  QCDialog::Deactivate();
  if (mParent != nullptr) mParent->BringToBack(this);
  if (Velk::WidgetManager* manager = WidgetManagerOfGame()) {
    manager->PopModal(this);
    manager->SetFocus(GetBoard());
  }
}

Velk::WidgetManager* QCBoard_Briefing::WidgetManagerOfGame() const {
  return mGame != nullptr ? mGame->mWidgetManager : nullptr;
}
