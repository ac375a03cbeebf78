#include "cafe/CafeConfigs.h"

#include "engine/XmlAccess.h"

#include <cstdio>
#include <initializer_list>

std::map<std::string, PersConfig> gPersConfigs;
std::map<std::string, ClientConfig> gClientConfigs;
std::map<std::string, WorkerConfig> gWorkerConfigs;
std::map<std::string, PeriodItemConfig> gPeriodItemConfigs;
ClientGlobals gClientGlobals;
WorkerGlobals gWorkerGlobals;

namespace {

// Counts every worker record ever read; never reset by the game.
int gWorkerSequence = 0;

// Names and texts of the records are 8-bit and at most 127 characters.
constexpr int kNameBuffer = 128;

std::string ReadText(IXMLDOMNode* node, const wchar_t* key) {
  char text[kNameBuffer] = {};
  XmlGetAttrString(node, key, text, sizeof text);
  return text;
}

void Read(IXMLDOMNode* node, PersConfig& config) {
  XmlGetAttrFloat(node, L"wash_time", config.mWashTime);
  XmlGetAttrFloat(node, L"speed_bonus", config.mSpeedBonus);
  XmlGetAttrFloat(node, L"idle_rastart_time_min", config.mIdleRestartTimeMin);
  XmlGetAttrFloat(node, L"idle_rastart_time_max", config.mIdleRestartTimeMax);
  XmlGetAttrInt(node, L"idle_stop_frame", config.mIdleStopFrame);
}

void Read(IXMLDOMNode* node, ClientConfig& config) {
  XmlGetAttrInt(node, L"idle_stop_frame", config.mIdleStopFrame);
  XmlGetAttrFloat(node, L"idle_restart_time_min", config.mIdleRestartTimeMin);
  XmlGetAttrFloat(node, L"idle_restart_time_max", config.mIdleRestartTimeMax);
  XmlGetAttrFloat(node, L"client_patience_speed", config.mPatienceSpeed);
  XmlGetAttrFloat(node, L"client_decision_timeout", config.mDecisionTimeout);
  XmlGetAttrFloat(node, L"client_eating_time", config.mEatingTime);
  const wchar_t* money01[] = {L"client_money01_g", L"client_money01_y", L"client_money01_r"};
  const wchar_t* money02[] = {L"client_money02_g", L"client_money02_y", L"client_money02_r"};
  for (int i = 0; i < 3; ++i) {
    XmlGetAttrInt(node, money01[i], config.mMoney01[i]);
    XmlGetAttrInt(node, money02[i], config.mMoney02[i]);
  }
  XmlGetAttrInt(node, L"client_losses_money", config.mLossesMoney);
  XmlGetAttrFloat(node, L"client_scandal_level", config.mScandalLevel);
  XmlGetAttrFloat(node, L"client_scandal_timeout", config.mScandalTimeout);
  XmlGetAttrFloat(node, L"client_bonus_timeout", config.mBonusTimeout);
  XmlGetAttrFloat(node, L"client_bonus_time_effect", config.mBonusTimeEffect);
}

void Read(IXMLDOMNode* node, WorkerConfig& config) {
  XmlGetAttrFloat(node, L"work_time", config.mWorkTime);
  XmlGetAttrFloat(node, L"tidiness_up", config.mTidinessUp);
  XmlGetAttrFloat(node, L"tidiness_down", config.mTidinessDown);
  XmlGetAttrInt(node, L"direct_character_break_frame", config.mDirectCharacterBreakFrame);
  XmlGetAttrFloat(node, L"direct_character_break_time", config.mDirectCharacterBreakTime);
  XmlGetAttrFloat(node, L"upgrade_tidiness_down", config.mUpgradeTidinessDown);
  XmlGetAttrFloat(node, L"upgrade_work_speed", config.mUpgradeWorkSpeed);
  XmlGetAttrFloat(node, L"idle_rastart_time_min", config.mIdleRestartTimeMin);
  XmlGetAttrFloat(node, L"idle_rastart_time_max", config.mIdleRestartTimeMax);
  XmlGetAttrInt(node, L"idle_stop_frame", config.mIdleStopFrame);
  config.mStartSound = ReadText(node, L"snd_worker_begin");
  config.mProduct = ReadText(node, L"product");
  config.mProductType = ReadText(node, L"product_type");
  config.mSequence = ++gWorkerSequence;
}

void Read(IXMLDOMNode* node, PeriodItemConfig& config) {
  XmlGetAttrFloat(node, L"timeout_min", config.mTimeoutMin);
  XmlGetAttrFloat(node, L"timeout_max", config.mTimeoutMax);
}

// One record per named element; the first of a name stays.
template <class Config>
void ReadRecord(IXMLDOMNode* node, std::map<std::string, Config>& table, const char* kind) {
  char name[kNameBuffer] = {};
  if (!XmlGetAttrString(node, L"name", name, sizeof name)) return;
  Config config;
  Read(node, config);
  if (!table.emplace(name, config).second) {
    std::fprintf(stderr, "cfg.xml: a second %s named \"%s\" is ignored\n", kind, name);
  }
}

template <class Config>
void LoadTable(IXMLDOMNode* parent, const wchar_t* path, std::map<std::string, Config>& table, const char* kind) {
  table.clear();
  XmlForEach(parent, path, [&](IXMLDOMNode* node) { ReadRecord(node, table, kind); });
}

struct FloatKey {
  const wchar_t* key;
  float* value;
};

// A section element: its settings for every kind, then one record per child. A missing section
// leaves the settings as they were and the table empty.
template <class Config>
void LoadSection(IXMLDOMNode* root, const wchar_t* section, std::initializer_list<FloatKey> settings,
                 const wchar_t* child, std::map<std::string, Config>& table, const char* kind) {
  XmlNodeRef node = SelectChild(root, section);
  if (node) {
    for (const FloatKey& setting : settings) XmlGetAttrFloat(node.Get(), setting.key, *setting.value);
  }
  LoadTable(node.Get(), child, table, kind);
}

template <class Config>
Config* Find(std::map<std::string, Config>& table, const std::string& name) {
  auto found = table.find(name);
  return found == table.end() ? nullptr : &found->second;
}

}  // namespace

void LoadPersConfigs(IXMLDOMNode* root) { LoadTable(root, L"perses/pers", gPersConfigs, "person"); }

void LoadClientConfigs(IXMLDOMNode* root) {
  ClientGlobals& g = gClientGlobals;
  LoadSection(root, L"clients",
              {{L"patience_g_level", &g.mPatienceGLevel},
               {L"patience_y_level", &g.mPatienceYLevel},
               {L"patience_r_level", &g.mPatienceRLevel},
               {L"patience_critical", &g.mPatienceCritical},
               {L"scandal_effect", &g.mScandalEffect},
               {L"client_juke_box_effect", &g.mJukeBoxEffect},
               {L"client_reminder_timeout", &g.mReminderTimeout},
               {L"client_alpha_blend_time", &g.mAlphaBlendTime},
               {L"juice_cup_effect", &g.mJuiceCupEffect},
               {L"client_scandal_bubble_present", &g.mScandalBubblePresent}},
              L"client", gClientConfigs, "customer");
}

void LoadWorkerConfigs(IXMLDOMNode* root) {
  WorkerGlobals& g = gWorkerGlobals;
  LoadSection(root, L"workers",
              {{L"tidiness_g_level", &g.mTidinessGLevel},
               {L"tidiness_y_level", &g.mTidinessYLevel},
               {L"tidiness_r_level", &g.mTidinessRLevel},
               {L"cleanser_effect", &g.mCleanserEffect},
               {L"brush_effect", &g.mBrushEffect},
               {L"worker_alpha_blend_time", &g.mAlphaBlendTime}},
              L"worker", gWorkerConfigs, "worker");
}

void LoadPeriodItemConfigs(IXMLDOMNode* root) {
  LoadSection(root, L"period_items", {}, L"period_item", gPeriodItemConfigs, "timed pick-up");
}

void ClearPersConfigs() { gPersConfigs.clear(); }
void ClearClientConfigs() { gClientConfigs.clear(); }
void ClearWorkerConfigs() { gWorkerConfigs.clear(); }
void ClearPeriodItemConfigs() { gPeriodItemConfigs.clear(); }

PersConfig* FindPersConfig(const std::string& name) { return Find(gPersConfigs, name); }
ClientConfig* FindClientConfig(const std::string& name) { return Find(gClientConfigs, name); }
PeriodItemConfig* FindPeriodItemConfig(const std::string& name) { return Find(gPeriodItemConfigs, name); }

WorkerConfig* FindWorkerConfig(const std::string& name, QCWorker* usage) {
  WorkerConfig* config = Find(gWorkerConfigs, name);
  if (config != nullptr && usage != nullptr) config->mUsage = usage;
  return config;
}

void ResetWorkerConfigUsage() {
  for (auto& [name, config] : gWorkerConfigs) config.mUsage = nullptr;
}

void ResetWorkerSequenceForTests() { gWorkerSequence = 0; }

std::map<std::string, QCClient*> gClientRegistry;
std::map<std::string, QCWorker*> gWorkerRegistry;

QCClient* FindClientByName(const std::string& name) {
  auto it = gClientRegistry.find(name);
  return it == gClientRegistry.end() ? nullptr : it->second;
}

QCWorker* FindWorkerByName(const std::string& name) {
  auto it = gWorkerRegistry.find(name);
  return it == gWorkerRegistry.end() ? nullptr : it->second;
}
