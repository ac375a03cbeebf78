#include "screens/QCBoard_Upgrade.h"

#include <algorithm>

#include "cafe/QCEngine3.h"
#include "cafe/QCUpgradeInfo.h"
#include "engine/EngineUtil.h"
#include "common/StringUtil.h"
#include "engine/LocTexts.h"
#include "engine/QCTexture.h"
#include "scene/QCBoard_Game.h"
#include "screens/QCInGameBoard.h"
#include "screens/ScreenServices.h"
#include "ui/QCButton.h"
#include "ui/QCText.h"

namespace {

constexpr char kTrayPrefix[] = "upgrade_tray";
constexpr size_t kTrayPrefixLength = sizeof kTrayPrefix - 1;

QCTextureRef FindTexture(const std::string& id) {
  QCTextureManager* textures = QCTextureManager::Get();
  return textures != nullptr ? textures->Find(id) : QCTextureRef();
}

}  // namespace

QCBoard_Upgrade::QCBoard_Upgrade(QCEngine3* app, IXMLDOMNode* uiRoot) : QCDialog(nullptr, app), mGame(app) {
  mOffers.reserve(kMaxOffers);
  LoadFromUi(uiRoot, "upgrade_menu");
  SetVisible(false);
}

void QCBoard_Upgrade::BindControl(const std::string& name, QCCandyWidget* widget) {
  if (name == "upgrade_dialog") {
    mPanel = widget;
    mClose = widget->FindChild("upgrade");
    mDescription = dynamic_cast<QCText*>(widget->FindChild("upgrade_description"));
    mPhoto = dynamic_cast<QCText*>(widget->FindChild("upgrade_photo"));
    mMedal = dynamic_cast<QCText*>(widget->FindChild("upgrade_medal"));
  } else if (name.compare(0, kTrayPrefixLength, kTrayPrefix) == 0) {
    mTrays.push_back(widget);
    mTrayButtons.push_back(widget->FindChild("button"));
    mSelectMarks.push_back(widget->FindChild("select"));
  }
  QCDialog::BindControl(name, widget);
}

int QCBoard_Upgrade::FilledTrays() const { return std::min(mOfferCount, static_cast<int>(mTrays.size())); }

void QCBoard_Upgrade::OnShowHook() {
  // A second Show while open changes nothing: the offers and the pause stay those of the opening.
  if (mOpen) return;
  mCurrentOffer = nullptr;
  ShowIf(mPanel);
  QCInGameBoard* board = GetInGameBoard();
  mOffers.clear();
  mOfferCount = board != nullptr ? board->CollectUpgradeOffers(mOffers) : 0;
  mOfferCount = std::clamp(mOfferCount, 0, static_cast<int>(mOffers.size()));
  if (mOfferCount > static_cast<int>(mTrays.size()))
    DebugLog("Upgrade dialog: %d offers but %zu trays; the rest is not offered", mOfferCount, mTrays.size());
  FillTrays();
  if (mOfferCount == 0) {
    mCloseAtOnce = true;
    return;
  }
  mOpen = true;
  SelectOffer(0);
  if (QCBoard_Game* game = GetBoard()) {
    game->PauseGameSounds();
    mHoldsPause = true;
  }
  BringToFrontOfParent(this);
}

void QCBoard_Upgrade::FillTrays() {
  for (int i = 0; i < FilledTrays(); ++i) {
    const QCUpgradeInfo* offer = mOffers[i];
    const QCTextureRef picture =
        FindTexture(Velk::FormatString("mn09_char_small_%s_%s", offer->object.c_str(), offer->name.c_str()));
    if (auto* button = dynamic_cast<QCButton*>(mTrayButtons[i])) button->SetAllTextureImages(picture);
    ShowIf(mTrayButtons[i]);
    HideIf(mSelectMarks[i]);
    ShowIf(mTrays[i]);
  }
}

void QCBoard_Upgrade::Activate() {
  QCDialog::Activate();
  if (mCloseAtOnce) Hide();
}

void QCBoard_Upgrade::SelectOffer(int index) {
  if (index < 0 || index >= mOfferCount) return;
  mSelectedIndex = index;
  mCurrentOffer = mOffers[index];
  if (QCInGameBoard* board = GetInGameBoard()) board->ApplyUpgrade(mCurrentOffer, true);
  const QCTextureRef photo = FindTexture("mn09_char_" + mCurrentOffer->object);
  if (mPhoto != nullptr) mPhoto->SetTextureImages(photo);
  if (mDescription != nullptr)
    mDescription->SetText(GetLocText("mn09_desc_" + mCurrentOffer->object + "_" + mCurrentOffer->name));
  const QCTextureRef medal = FindTexture("mn09_medal_" + mCurrentOffer->name);
  if (mMedal != nullptr) {
    if (!medal.IsEmpty()) mMedal->SetTextureImages(medal);
    mMedal->SetVisible(!medal.IsEmpty());
  }
  if (index < static_cast<int>(mSelectMarks.size())) ShowIf(mSelectMarks[index]);
}

void QCBoard_Upgrade::OnHideHook() {
  HideIf(mPanel);
  for (int i = 0; i < FilledTrays(); ++i) {
    HideIf(mTrayButtons[i]);
    HideIf(mTrays[i]);
  }
  QCBoard_Game* game = GetBoard();
  if (mHoldsPause && game != nullptr) game->ResumeGameSounds();
  mHoldsPause = false;
  // Only the closing of an opening ends a career day; a stray Hide finishes nothing.
  const bool opened = mOpen || mCloseAtOnce;
  mOpen = false;
  mCloseAtOnce = false;
  if (!opened || game == nullptr || game->mSurvival) return;
  if (QCInGameBoard* board = GetInGameBoard()) board->FinishLevel();
}

void QCBoard_Upgrade::ButtonDepress(int id) {
  if (QCButton::IsId(id, mClose)) {
    Hide();
    return;
  }
  for (int i = 0; i < FilledTrays(); ++i) {
    if (!QCButton::IsId(id, mTrayButtons[i])) continue;
    QCInGameBoard* board = GetInGameBoard();
    if (board != nullptr && mCurrentOffer != nullptr) board->ApplyUpgrade(mCurrentOffer, false);
    if (mSelectedIndex < static_cast<int>(mSelectMarks.size())) HideIf(mSelectMarks[mSelectedIndex]);
    SelectOffer(i);
    return;
  }
}
