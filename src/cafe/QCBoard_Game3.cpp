#include "cafe/QCBoard_Game3.h"

#include <algorithm>

#include "cafe/CafeConfigs.h"
#include "cafe/CafeNames.h"
#include "cafe/QCClient.h"
#include "cafe/QCEngine3.h"
#include "cafe/QCTutorial.h"
#include "cafe/PlayerNotice.h"
#include "cafe/QCWorker.h"
#include "engine/QCEngine.h"
#include "engine/QCMusicManager.h"
#include "engine/QCSoundTable.h"
#include "engine/TextVars.h"
#include "engine/XmlAccess.h"
#include "platform/msgbox/MessageBox.h"
#include "scene/LevelLog.h"
#include "scene/QCLevelEvents.h"
#include "scene/QCMoveItem.h"
#include "scene/QCPickItem.h"
#include "screens/ConfirmDialogs.h"
#include "screens/QBoard_Hud.h"
#include "screens/QCBoard_Briefing.h"
#include "screens/QCBoard_Career.h"
#include "screens/QCBoard_EscapeMenu.h"
#include "screens/QCBoard_HiScores.h"
#include "screens/QCBoard_Survival.h"
#include "screens/QCBoard_Upgrade.h"

CafeLevelGlobals gCafeLevel;

namespace {

QCBoard_Game3* gGameBoard = nullptr;

constexpr int kSkinSize = 128;
constexpr int kLastCareerDay = 59;
constexpr int kAchievementStep = 40;
// First day of cafes 1, 2 and 3.
constexpr int kCafeFirstDay[] = {1, 16, 36};
const char* const kCafeMusic[] = {"level1", "level2", "level3"};
// The tutorial's action kinds the board asks about.
constexpr int kActionArrival = 5;
// Tutorial events the board sends.
constexpr int kEventArrival = 1;
constexpr int kEventClick = 2;
constexpr int kEventReward = 6;

void SetTextVarInt(const char* name, int value) {
  QCEngine* engine = GetEngine();
  if (engine && engine->GetTextVars()) engine->GetTextVars()->SetTextVarInt(name, value);
}

void ReadSkins(IXMLDOMNode* sceneRoot, std::string& upgradeSkin, std::string& defaultSkin) {
  XmlNodeRef param = SelectChild(sceneRoot, L"param");
  if (!param) return;
  char text[kSkinSize] = {};
  if (XmlGetAttrString(param.Get(), L"upgrade_skin", text, kSkinSize)) upgradeSkin = text;
  if (XmlGetAttrString(param.Get(), L"default_skin", text, kSkinSize)) defaultSkin = text;
}

std::string ReadName(IXMLDOMNode* node) {
  std::string name;
  XmlGetAttrText(node, L"name", name);
  return name;
}

void OverrideWorker(IXMLDOMNode* node) {
  const std::string name = ReadName(node);
  WorkerConfig* config = FindWorkerConfig(name, nullptr);
  if (!config) {
    LevelLog("Level: override of an unknown worker \"%s\" skipped", name.c_str());
    return;
  }
  if (!config->mOverridden) {
    config->mSavedWorkTime = config->mWorkTime;
    config->mSavedTidinessUp = config->mTidinessUp;
    config->mSavedTidinessDown = config->mTidinessDown;
    config->mOverridden = true;
  }
  XmlGetAttrFloat(node, L"work_time", config->mWorkTime);
  XmlGetAttrFloat(node, L"tidiness_up", config->mTidinessUp);
  XmlGetAttrFloat(node, L"tidiness_down", config->mTidinessDown);
  config->mStartStamina = 100.0f;
  XmlGetAttrFloat(node, L"worker_start_stamina", config->mStartStamina);
}

void ReadMoney(IXMLDOMNode* node, const wchar_t* const names[3], int values[3]) {
  for (int i = 0; i < 3; ++i) XmlGetAttrInt(node, names[i], values[i]);
}

void OverrideClient(IXMLDOMNode* node) {
  static const wchar_t* const kMoney01[3] = {L"client_money01_g", L"client_money01_y", L"client_money01_r"};
  static const wchar_t* const kMoney02[3] = {L"client_money02_g", L"client_money02_y", L"client_money02_r"};
  const std::string name = ReadName(node);
  ClientConfig* config = FindClientConfig(name);
  if (!config) {
    LevelLog("Level: override of an unknown customer \"%s\" skipped", name.c_str());
    return;
  }
  if (!config->mOverridden) {
    config->mSavedPatienceSpeed = config->mPatienceSpeed;
    std::copy_n(config->mMoney01, 3, config->mSavedMoney01);
    std::copy_n(config->mMoney02, 3, config->mSavedMoney02);
    config->mSavedLossesMoney = config->mLossesMoney;
    config->mOverridden = true;
  }
  XmlGetAttrFloat(node, L"client_patience_speed", config->mPatienceSpeed);
  ReadMoney(node, kMoney01, config->mMoney01);
  ReadMoney(node, kMoney02, config->mMoney02);
  XmlGetAttrInt(node, L"client_losses_money", config->mLossesMoney);
  config->mStartPatience = 100.0f;
  XmlGetAttrFloat(node, L"client_start_stamina", config->mStartPatience);
}

QCCharacterDef* BossCharacter() {
  auto it = CharacterMap.find(CafeNames::kObjBoss);
  return it == CharacterMap.end() ? nullptr : &it->second;
}

// The number after a prefix, when the name begins with it.
bool SplitPrefix(const std::string& name, const char* prefix, std::string& rest) {
  const size_t length = std::char_traits<char>::length(prefix);
  if (name.compare(0, length, prefix) != 0) return false;
  rest = name.substr(length);
  return true;
}

}  // namespace

QCBoard_Game3* GetGameBoard() { return gGameBoard; }

int AchievementStars(int n, int target) {
  const int stars = static_cast<int>(static_cast<float>(n) * 5.0f / static_cast<float>(target));
  return std::clamp(stars, 1, 5);
}

QCBoard_Game3::QCBoard_Game3(QCEngine3* app, IXMLDOMNode* uiRoot) : QCBoard_Game(nullptr), mApp(app) {
  gGameBoard = this;
  mHud = new QBoard_Hud(this, app, uiRoot);
  mEscapeMenu = new QCBoard_EscapeMenu(app, uiRoot);
  mUpgrade = new QCBoard_Upgrade(app, uiRoot);
  mMiniGame = new QCMiniGame(mHud, app, this, uiRoot);
  mHud->BindControl("minigame", mMiniGame);
  mBriefing = new QCBoard_Briefing(app, uiRoot);
  mTutorial = new QCTutorial(mHud, this, mMiniGame);
  BindControl("hud", mHud);
  BindControl("upgrade", mUpgrade);
  BindControl("briefingdlg", mBriefing);
}

QCBoard_Game3::~QCBoard_Game3() {
  // The scene and the configurations go with the board that made them.
  Shutdown();
  // The escape menu belongs to the widget manager once the application has added it (and may
  // have gone with it already).
  if (GetEscapeMenu() == mEscapeMenu && mEscapeMenu && !mEscapeMenu->mParent) delete mEscapeMenu;
  delete mTutorial;
  if (gGameBoard == this) gGameBoard = nullptr;
}

void QCBoard_Game3::KeyUp(int key) {
  QCBoard_Game::KeyUp(key);
  if (key != kEscapeKey) return;
  if (!mEscapeMenu->mVisible && !mBriefing->mVisible) {
    mEscapeMenu->Show();
    return;
  }
  if (mEscapeMenu->mVisible) mEscapeMenu->Hide();
  if (mBriefing->mVisible) mBriefing->Hide();
}

void QCBoard_Game3::OnShowHook() {
  QCBoard_Game::OnShowHook();
  const int cafe = GetCafe();
  QCEngine* engine = GetEngine();
  if (cafe >= 1 && cafe <= 3 && engine && engine->GetMusicManager())
    engine->GetMusicManager()->Play(kCafeMusic[cafe - 1]);
}

int QCBoard_Game3::GetCafe() const {
  if (mSurvival) return mLevel;
  if (mLevel < 1 || mLevel > kLastCareerDay) return 0;
  return mLevel >= kCafeFirstDay[2] ? 3 : mLevel >= kCafeFirstDay[1] ? 2 : 1;
}

int QCBoard_Game3::GetCafeDay() const {
  if (mSurvival) return mSurvivalDay;
  const int cafe = GetCafe();
  return cafe == 0 ? 0 : mLevel - kCafeFirstDay[cafe - 1] + 1;
}

bool QCBoard_Game3::IsLevelOver() {
  if (mSurvival) return mLives < 0;
  if (QCClient::AnyActive()) return false;
  return GetEvents()->IsFinished();
}

void QCBoard_Game3::StartLevel() {
  mGoalReached = mExpertReached = false;
  mBonus.OnEvent(QCBonus::kBad, nullptr);
  mHud->BeginLevel(mSurvival);
  mHud->mNextAchievementX = QBoard_Hud::kFirstAchievementX;
  if (mSurvival) {
    SetTextVarInt("normal", GetEvents()->GetStageTarget());
    StartSurvivalUpgrades();
    mTutorial->Reset();
    mLives = kStartLives;
    mHud->SetLives(mLives);
  } else {
    SetTextVarInt("normal", mNormalGoal);
    SetTextVarInt("expert", mExpertGoal);
    mIceCount = mCleanCount = mHappyCount = mBreakdowns = 0;
    mTutorial->StartForDay(mLevel);
  }
  mMiniGame->Reset();
  PublishCafeAndDay();
  mHud->Show();
  mBriefing->Show();
}

void QCBoard_Game3::PublishCafeAndDay() {
  SetTextVarInt("cafe", GetCafe());
  SetTextVarInt("day", GetCafeDay());
}

int QCBoard_Game3::LevelResult() const {
  if (mMoney >= mExpertGoal) return kExpertResult;
  return mMoney >= mNormalGoal ? kGoalResult : kFailResult;
}

void QCBoard_Game3::EndLevel() {
  const QCProfile* profile = mApp ? mApp->mPref.GetProfile() : nullptr;
  if (!mSurvival && mOfferedUpgradeKind != 0 && profile && mLevel == profile->mCurrentDay && mMoney >= mNormalGoal) {
    ShowMessageBox("upgrade");
    // Closing the dialog finishes the day.
    mUpgrade->Show();
    return;
  }
  FinishLevel();
}

void QCBoard_Game3::FinishLevel() {
  Hide();
  if (!mApp) return;
  if (mSurvival) {
    const int rank = mApp->mPref.AddHiScore(true, mApp->mPref.GetProfile()->mName, mMoney);
    if (rank < QCPref::kTableEntries && mApp->mHiScores)
      mApp->mHiScores->Show();
    else if (mApp->mSurvival)
      mApp->mSurvival->Show();
  } else if (mApp->mCareer) {
    mApp->mCareer->OnLevelEnd(mMoney, LevelResult(), mLevel);
    // The book opens as the level end laid it out: no page turn, no new layout.
    mApp->mCareer->SetVisible(true);
  }
  mApp->mPref.Save();
}

// The day cannot be played: the player is told which file failed and is back at the book the day
// was chosen from, with nothing saved for it.
bool QCBoard_Game3::OnLevelUnreadable(const std::string& file) {
  ShowPlayerNotice("LEVEL_FILE_UNREADABLE", L"This day cannot be played: its file cannot be read:", file, MB_ICONERROR);
  QCCandyWidget* book = nullptr;
  if (mApp) book = mSurvival ? static_cast<QCCandyWidget*>(mApp->mSurvival) : mApp->mCareer;
  if (book != nullptr) book->Show();
  return true;
}

void QCBoard_Game3::ResetLevel() {
  mHud->Hide();
  mHud->ClearLevel();
  mUpgradeQueue.clear();
  mTutorial->Reset();
}

void QCBoard_Game3::ReadLevel(IXMLDOMNode* sceneRoot, IXMLDOMNode* levelNode) {
  if (mSurvival) std::fill(std::begin(mSurvivalUpgrades), std::end(mSurvivalUpgrades), 0);
  ReadSkins(sceneRoot, mUpgradeSkin, mDefaultSkin);
  LoadStages(levelNode);
  mMiniGame->ReadLevel(levelNode);
  if (XmlNodeRef params = SelectChild(levelNode, L"params")) {
    XmlGetAttrInt(params.Get(), L"normal", mNormalGoal);
    XmlGetAttrInt(params.Get(), L"expert", mExpertGoal);
  }
  ApplyOverrides(levelNode);
  if (!mSurvival) ReadAchievements(levelNode);
}

void QCBoard_Game3::ApplyOverrides(IXMLDOMNode* levelNode) {
  if (!levelNode) return;
  XmlForEach(levelNode, L"override_workers/worker", &OverrideWorker);
  XmlForEach(levelNode, L"override_clients/client", &OverrideClient);
  float speed = 0.0f;
  if (!XmlGetAttrFloat(levelNode, L"override_boss_speed", speed)) return;
  PersConfig* config = FindPersConfig(CafeNames::kObjBoss);
  QCCharacterDef* boss = BossCharacter();
  if (!config || !boss) {
    LevelLog("Level: the boss's speed cannot be overridden without his settings");
    return;
  }
  if (!config->mOverridden) {
    config->mSavedSpeed = boss->moveSpeed;
    config->mOverridden = true;
  }
  boss->moveSpeed = speed;
}

void QCBoard_Game3::RestoreOverrides() {
  for (auto& [name, config] : gWorkerConfigs) {
    if (!config.mOverridden) continue;
    config.mWorkTime = config.mSavedWorkTime;
    config.mTidinessUp = config.mSavedTidinessUp;
    config.mTidinessDown = config.mSavedTidinessDown;
    config.mOverridden = false;
  }
  for (auto& [name, config] : gClientConfigs) {
    if (!config.mOverridden) continue;
    config.mPatienceSpeed = config.mSavedPatienceSpeed;
    std::copy_n(config.mSavedMoney01, 3, config.mMoney01);
    std::copy_n(config.mSavedMoney02, 3, config.mMoney02);
    config.mLossesMoney = config.mSavedLossesMoney;
    config.mOverridden = false;
  }
  PersConfig* boss = FindPersConfig(CafeNames::kObjBoss);
  QCCharacterDef* character = BossCharacter();
  if (boss && boss->mOverridden) {
    if (character) character->moveSpeed = boss->mSavedSpeed;
    boss->mOverridden = false;
  }
}

void QCBoard_Game3::ReadAchievements(IXMLDOMNode* levelNode) {
  mAchievements = AchievementParams{};
  XmlNodeRef node = SelectChild(levelNode, L"achparams");
  if (!node) {
    mAchievements.bonusSuper = 4;
    return;
  }
  XmlGetAttrInt(node.Get(), L"freeze", mAchievements.freeze);
  XmlGetAttrInt(node.Get(), L"clean", mAchievements.clean);
  XmlGetAttrInt(node.Get(), L"candy", mAchievements.candy);
  XmlGetAttrInt(node.Get(), L"no_broke", mAchievements.noBroke);
  XmlGetAttrInt(node.Get(), L"bonus_cash", mAchievements.bonusCash);
  XmlGetAttrInt(node.Get(), L"bonus_super", mAchievements.bonusSuper);
  XmlGetAttrInt(node.Get(), L"bonus_super_cash", mAchievements.bonusSuperCash);
}

void QCBoard_Game3::ResetItems() {
  SceneBossObject = nullptr;
  SceneBonusObject = nullptr;
  RestoreOverrides();
  ResetWorkerConfigUsage();
}

void QCBoard_Game3::OnObjectClicked(QCPickItem* item) {
  if (!item || !IsObjectAllowed(item->mName)) return;
  if (auto* boss = dynamic_cast<QCMoveItem*>(SceneBossObject)) boss->QueueTarget(item);
  TutorialEvent(kEventClick);
}

void QCBoard_Game3::PerFrame() {
  mBonus.Update();
  mTutorial->Update();
}

void QCBoard_Game3::LoadConfigs(IXMLDOMNode* cfgRoot) {
  QCMoveItem::LoadCharacters(cfgRoot);
  LoadWorkerConfigs(cfgRoot);
  LoadUpgrades(cfgRoot);
  LoadClientConfigs(cfgRoot);
  LoadPeriodItemConfigs(cfgRoot);
  LoadPersConfigs(cfgRoot);
  if (XmlNodeRef level = SelectChild(cfgRoot, L"level")) {
    XmlGetAttrInt(level.Get(), L"bonus_cash", gCafeLevel.bonusCash);
    XmlGetAttrInt(level.Get(), L"bonus_cash_upgrade", gCafeLevel.bonusCashUpgrade);
    XmlGetAttrFloat(level.Get(), L"bonus_wstamina", gCafeLevel.bonusWStamina);
    XmlGetAttrFloat(level.Get(), L"bonus_cstamina", gCafeLevel.bonusCStamina);
    XmlGetAttrFloat(level.Get(), L"bonus_iceagetimeout", gCafeLevel.bonusIceAgeTimeout);
    XmlGetAttrFloat(level.Get(), L"client_pause", gCafeLevel.clientPause);
  }
  mBonus.Load(cfgRoot);
}

void QCBoard_Game3::ClearConfigs() {
  QCMoveItem::ClearCharacters();
  ClearWorkerConfigs();
  ClearUpgrades();
  ClearClientConfigs();
  ClearPeriodItemConfigs();
  ClearPersConfigs();
}

void QCBoard_Game3::OnMoneyChanged() { CheckGoals(); }

void QCBoard_Game3::CheckGoals() {
  if (mSurvival) return;
  if (!mGoalReached) {
    if (mMoney < mNormalGoal) return;
    mHud->OnGoalReached();
    mGoalReached = true;
  } else if (!mExpertReached && mMoney >= mExpertGoal) {
    mHud->OnExpertReached();
    mExpertReached = true;
  }
}

void QCBoard_Game3::OnStageAdvanced() {
  SetTextVarInt("day", GetCafeDay());
  if (mSurvival) AdvanceUpgradeStage(mSurvivalDay);
}

bool QCBoard_Game3::DispatchEvent(QCEventRecord* event) {
  if (!event || event->type != CafeNames::kEventClient || !IsActionAllowed(kActionArrival)) return false;
  if (!FindClientConfig(event->event)) {
    // Nobody of that kind can come: the arrival is used up so that the day goes on.
    if (std::find(mUnknownKinds.begin(), mUnknownKinds.end(), event->event) == mUnknownKinds.end()) {
      mUnknownKinds.push_back(event->event);
      LevelLog("Level: no customer kind \"%s\"; its arrivals are dropped", event->event.c_str());
    }
    return true;
  }
  if (!QCClient::SpawnStandingCustomer(event, 0, 100.0f)) return false;
  TutorialEvent(kEventArrival);
  return true;
}

QCItem* QCBoard_Game3::FindPlaceOccupant(QCItem* place) {
  if (!place) return nullptr;
  std::string rest;
  if (SplitPrefix(place->mName, CafeNames::kObjTable, rest)) return FindWorkerByName(CafeNames::kObjWorker + rest);
  if (SplitPrefix(place->mName, CafeNames::kObjClientSitPlace, rest))
    return FindClientByName(CafeNames::kObjClientSit + rest);
  if (SplitPrefix(place->mName, CafeNames::kObjClientPlace, rest))
    return FindClientByName(CafeNames::kObjClient + rest);
  return nullptr;
}

void QCBoard_Game3::LoseLife() {
  if (!mSurvival) return;
  --mLives;
  if (mLives >= 0) mHud->SetLives(mLives);
}

void QCBoard_Game3::ApplyMiniGameReward(int kind, int count) {
  TutorialEvent(kEventReward);
  switch (kind) {
    case kCoins: {
      const bool upgraded = IsUpgradeApplied(CafeNames::kObjBonus, "money") != 0;
      AddMoney(count * (upgraded ? gCafeLevel.bonusCashUpgrade : gCafeLevel.bonusCash));
      PlaySoundByName(CafeNames::kSndMinigameCoin);
      break;
    }
    case kClean:
      QCWorker::CleanAllWorkers(1, static_cast<float>(count) * gCafeLevel.bonusWStamina);
      PlaySoundByName(CafeNames::kSndMinigameClean);
      mHud->ShowGlobalClean();
      AchievementStep(2, count, mAchievements.clean, mCleanCount);
      break;
    case kIce: {
      const float seconds = static_cast<float>(count) * gCafeLevel.bonusIceAgeTimeout;
      mFreeze.StartDeadline(seconds);
      PlaySoundByName(CafeNames::kSndMinigameIce);
      mHud->ShowFreeze(seconds);
      AchievementStep(1, count, mAchievements.freeze, mIceCount);
      break;
    }
    case kHappy:
      QCClient::ChangeAllPatience(1, static_cast<float>(count) * gCafeLevel.bonusCStamina);
      PlaySoundByName(CafeNames::kSndMinigameHappy);
      AchievementStep(3, count, mAchievements.candy, mHappyCount);
      break;
    case kSpeed:
      mSpeed.StartDeadline(static_cast<float>(count) * gCafeLevel.bonusIceAgeTimeout);
      PlaySoundByName(CafeNames::kSndMinigameSpeed);
      break;
    default:
      break;
  }
}

void QCBoard_Game3::AchievementStep(int row, int count, int target, int& counter) {
  if (target == 0) return;
  QCCandyWidget* icon = mHud->AchievementIcon(row);
  if (icon) icon->Show();
  const int n = counter + count;
  if (n > 0) {
    for (int star = 1; star <= QBoard_Hud::kStars; ++star)
      if (QCCandyWidget* mark = mHud->AchievementStar(row, star)) mark->Hide();
    if (n == count) {
      const int x = mHud->mNextAchievementX;
      if (icon) icon->Move(x, 0);
      for (int star = 1; star <= QBoard_Hud::kStars; ++star)
        if (QCCandyWidget* mark = mHud->AchievementStar(row, star)) mark->Move(x, 0);
      mHud->mNextAchievementX += kAchievementStep;
    }
    if (QCCandyWidget* mark = mHud->AchievementStar(row, AchievementStars(n, target))) mark->Show();
  }
  ++counter;
}

void QCBoard_Game3::ShowUpgradeDialog() { mUpgrade->Show(); }

uint8_t* QCBoard_Game3::ProfileUpgradeBlock() { return mApp ? mApp->mPref.GetProfile()->mUpgrades : nullptr; }

QCAchievementFigures QCBoard_Game3::GetAchievementFigures() const {
  return {mIceCount, mCleanCount, mHappyCount, mBreakdowns, mAchievements};
}

int QCBoard_Game3::CollectUpgradeOffers(std::vector<QCUpgradeInfo*>& out) {
  return QCBoardUpgrades::CollectUpgradeOffers(out);
}

void QCBoard_Game3::ApplyUpgrade(QCUpgradeInfo* upgrade, bool on) { QCBoardUpgrades::ApplyUpgrade(*upgrade, on); }

void QCBoard_Game3::ShowUpgradeButton(bool show) { mHud->ShowUpgradeButton(show); }

QCIUpgrade* QCBoard_Game3::WorkerUpgradeHandler(WorkerConfig* config) { return config->mUsage; }

bool QCBoard_Game3::IsActionAllowed(int kind) const { return mTutorial->IsActionAllowed(kind); }

bool QCBoard_Game3::IsObjectAllowed(const std::string& name) const { return mTutorial->IsObjectAllowed(name); }

void QCBoard_Game3::TutorialEvent(int id) { mTutorial->OnEvent(id); }

void QCBoard_Game3::AwardRushBonus(int index) { mMiniGame->AwardRushBonus(index, mTutorial); }

void QCBoard_Game3::OnWorkerBroke() {
  ++mBreakdowns;
  if (QCCandyWidget* icon = mHud->AchievementIcon(4)) icon->Hide();
}
