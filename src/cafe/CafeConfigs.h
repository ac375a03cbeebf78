#pragma once
// The configuration tables the cafe's characters read from cfg\cfg.xml: personal settings of the
// moving characters ("perses/pers"), customer kinds ("clients/client"), worker kinds
// ("workers/worker") and timed pick-ups ("period_items/period_item"), each a map from the record's
// name to the record, plus the customer and worker settings that hold for every kind.
//
// The gameplay board loads them with its object configurations and clears them with them. A
// record found by name stays where it is until the next clear or load. Keys a record lacks read as
// 0 (an empty text).

#include <map>
#include <string>

class IXMLDOMNode;
class QCClient;
class QCWorker;

struct PersConfig {
  float mWashTime = 0.0f;            // wash_time
  float mSpeedBonus = 0.0f;          // speed_bonus
  float mIdleRestartTimeMin = 0.0f;  // idle_rastart_time_min
  float mIdleRestartTimeMax = 0.0f;  // idle_rastart_time_max
  int mIdleStopFrame = 0;            // idle_stop_frame
  // A level's override of the boss's walking speed, undone at the level's reset.
  bool mOverridden = false;
  float mSavedSpeed = 0.0f;
};

struct ClientConfig {
  int mIdleStopFrame = 0;            // idle_stop_frame
  float mIdleRestartTimeMin = 0.0f;  // idle_restart_time_min
  float mIdleRestartTimeMax = 0.0f;  // idle_restart_time_max
  float mPatienceSpeed = 0.0f;       // client_patience_speed: patience lost per second
  float mDecisionTimeout = 0.0f;     // client_decision_timeout
  float mEatingTime = 0.0f;          // client_eating_time
  int mMoney01[3] = {};              // client_money01_g/_y/_r: a single order at green, yellow, red
  int mMoney02[3] = {};              // client_money02_g/_y/_r: a double order
  int mLossesMoney = 0;              // client_losses_money: lost when the customer leaves unserved
  float mScandalLevel = 0.0f;        // client_scandal_level
  float mScandalTimeout = 0.0f;      // client_scandal_timeout
  float mBonusTimeout = 0.0f;        // client_bonus_timeout
  float mBonusTimeEffect = 0.0f;     // client_bonus_time_effect
  // A level's override: the values it replaces, and the patience its customers start with.
  bool mOverridden = false;
  float mSavedPatienceSpeed = 0.0f;
  int mSavedMoney01[3] = {};
  int mSavedMoney02[3] = {};
  int mSavedLossesMoney = 0;
  float mStartPatience = 100.0f;
};

struct WorkerConfig {
  float mWorkTime = 0.0f;                  // work_time
  float mTidinessUp = 0.0f;                // tidiness_up: gained per second while idle or ready
  float mTidinessDown = 0.0f;              // tidiness_down: lost per second of work
  int mDirectCharacterBreakFrame = 0;      // direct_character_break_frame
  float mDirectCharacterBreakTime = 0.0f;  // direct_character_break_time
  float mUpgradeTidinessDown = 0.0f;       // upgrade_tidiness_down: factor after the tidiness upgrade
  float mUpgradeWorkSpeed = 0.0f;          // upgrade_work_speed: factor after the speed upgrade
  // A level's override: the values it replaces, and the stamina its worker starts with.
  bool mOverridden = false;
  float mSavedWorkTime = 0.0f;
  float mSavedTidinessUp = 0.0f;
  float mSavedTidinessDown = 0.0f;
  float mStartStamina = 100.0f;
  float mIdleRestartTimeMin = 0.0f;  // idle_rastart_time_min
  float mIdleRestartTimeMax = 0.0f;  // idle_rastart_time_max
  int mIdleStopFrame = 0;            // idle_stop_frame
  std::string mStartSound;           // snd_worker_begin
  std::string mProduct;              // product: the mask the worker makes
  std::string mProductType;          // product_type
  // 1, 2, ... in the order the records were read, counting on across loads: the worker's number in
  // the upgrade slots.
  int mSequence = 0;
  // The worker of the current level that uses this kind; null after the level's reset.
  QCWorker* mUsage = nullptr;
};

struct PeriodItemConfig {
  float mTimeoutMin = 0.0f;  // timeout_min, seconds
  float mTimeoutMax = 0.0f;  // timeout_max
};

// Read from the "clients" element; 0 until read.
struct ClientGlobals {
  float mPatienceGLevel = 0.0f;        // patience_g_level
  float mPatienceYLevel = 0.0f;        // patience_y_level
  float mPatienceRLevel = 0.0f;        // patience_r_level
  float mPatienceCritical = 0.0f;      // patience_critical
  float mScandalEffect = 0.0f;         // scandal_effect
  float mJukeBoxEffect = 0.0f;         // client_juke_box_effect
  float mReminderTimeout = 0.0f;       // client_reminder_timeout
  float mAlphaBlendTime = 0.0f;        // client_alpha_blend_time
  float mJuiceCupEffect = 0.0f;        // juice_cup_effect
  float mScandalBubblePresent = 0.0f;  // client_scandal_bubble_present
};

// Read from the "workers" element; 0 until read.
struct WorkerGlobals {
  float mTidinessGLevel = 0.0f;  // tidiness_g_level
  float mTidinessYLevel = 0.0f;  // tidiness_y_level
  float mTidinessRLevel = 0.0f;  // tidiness_r_level
  float mCleanserEffect = 0.0f;  // cleanser_effect
  float mBrushEffect = 0.0f;     // brush_effect
  float mAlphaBlendTime = 0.0f;  // worker_alpha_blend_time
};

extern std::map<std::string, PersConfig> gPersConfigs;
extern std::map<std::string, ClientConfig> gClientConfigs;
extern std::map<std::string, WorkerConfig> gWorkerConfigs;
extern std::map<std::string, PeriodItemConfig> gPeriodItemConfigs;
extern ClientGlobals gClientGlobals;
extern WorkerGlobals gWorkerGlobals;

// Each replaces its table from the root element of cfg\cfg.xml. A missing section gives an empty
// table; an element without a name is skipped; of two records with one name the first is kept.
void LoadPersConfigs(IXMLDOMNode* root);
void LoadClientConfigs(IXMLDOMNode* root);
void LoadWorkerConfigs(IXMLDOMNode* root);
void LoadPeriodItemConfigs(IXMLDOMNode* root);

void ClearPersConfigs();
void ClearClientConfigs();
void ClearWorkerConfigs();
void ClearPeriodItemConfigs();

// Null when the table has no record of that name.
PersConfig* FindPersConfig(const std::string& name);
ClientConfig* FindClientConfig(const std::string& name);
PeriodItemConfig* FindPeriodItemConfig(const std::string& name);
// A non-null `usage` is recorded as the worker using the kind in this level.
WorkerConfig* FindWorkerConfig(const std::string& name, QCWorker* usage);
// At every level reset: no kind is in use.
void ResetWorkerConfigUsage();

// Test programs only: the next worker record read is number 1 again. The game never resets it.
void ResetWorkerSequenceForTests();

// The level's customers and workers by object name, entered as the scene loads them and removed as
// it clears them.
extern std::map<std::string, QCClient*> gClientRegistry;
extern std::map<std::string, QCWorker*> gWorkerRegistry;
// Null when the scene has no such character.
QCClient* FindClientByName(const std::string& name);
QCWorker* FindWorkerByName(const std::string& name);
