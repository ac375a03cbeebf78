#include "cafe/CafeConfigs.h"

#include "engine/XmlAccess.h"
#include "support/MemoryPak.h"
#include "support/XmlFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CafeConfigsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWorkerSequenceForTests();
    gClientGlobals = ClientGlobals{};
    gWorkerGlobals = WorkerGlobals{};
  }
  void TearDown() override {
    Release();
    ClearPersConfigs();
    ClearClientConfigs();
    ClearWorkerConfigs();
    ClearPeriodItemConfigs();
  }

  // cfg\cfg.xml from UTF-8 text; its root element.
  IXMLDOMNode* Root(const std::string& body) {
    Release();
    mPak.Put("cfg\\cfg.xml", Utf16File("<root>" + body + "</root>"));
    mDoc = CreateAndLoadXmlDocument("cfg\\cfg.xml");
    EXPECT_NE(mDoc, nullptr);
    if (mDoc != nullptr) mDoc->selectSingleNode(L"root", &mRoot);
    return mRoot;
  }

  void LoadAll(const std::string& body) {
    IXMLDOMNode* root = Root(body);
    LoadPersConfigs(root);
    LoadClientConfigs(root);
    LoadWorkerConfigs(root);
    LoadPeriodItemConfigs(root);
  }

  void Release() {
    if (mRoot != nullptr) mRoot->Release();
    if (mDoc != nullptr) mDoc->Release();
    mRoot = nullptr;
    mDoc = nullptr;
  }

  MemoryPak mPak;
  IXMLDOMDocument* mDoc = nullptr;
  IXMLDOMNode* mRoot = nullptr;
};

const char kCafe[] = R"(
  <perses>
    <pers name="boss" move_speed="200" wash_time="1.5" speed_bonus="1.25" idle_rastart_time_min="2"
          idle_rastart_time_max="4.5" idle_stop_frame="7"/>
    <pers move_speed="10" wash_time="9"/>
    <pers name="boss" wash_time="99"/>
  </perses>
  <clients patience_g_level="66" patience_y_level="33" patience_r_level="15" patience_critical="5"
           scandal_effect="10" client_juke_box_effect="0.5" client_reminder_timeout="7"
           client_alpha_blend_time="0.25" juice_cup_effect="20" client_scandal_bubble_present="3">
    <client name="girl" idle_stop_frame="3" idle_restart_time_min="1" idle_restart_time_max="2.5"
            client_patience_speed="4.5" client_decision_timeout="2" client_eating_time="6"
            client_money01_g="30" client_money01_y="20" client_money01_r="10"
            client_money02_g="60" client_money02_y="40" client_money02_r="25" client_losses_money="-15"
            client_scandal_level="30" client_scandal_timeout="5" client_bonus_timeout="8"
            client_bonus_time_effect="1.5"/>
    <client name="boy" idle_rastart_time_min="9" idle_rastart_time_max="9"/>
  </clients>
  <workers tidiness_g_level="70" tidiness_y_level="40" tidiness_r_level="10" cleanser_effect="25"
           brush_effect="15" worker_alpha_blend_time="0.5">
    <worker name="baker" work_time="3" tidiness_up="0.5" tidiness_down="2" direct_character_break_frame="4"
            direct_character_break_time="1.25" upgrade_tidiness_down="0.5" upgrade_work_speed="1.5"
            idle_rastart_time_min="3" idle_rastart_time_max="6" idle_stop_frame="2"
            snd_worker_begin="oven" product="0200" product_type="cake"/>
    <worker name="juicer" product="0030" idle_restart_time_min="8" idle_restart_time_max="8"/>
    <worker product="9999"/>
    <worker name="baker" product="0000"/>
  </workers>
  <period_items>
    <period_item name="super_material" timeout_min="10" timeout_max="20"/>
    <period_item timeout_min="1"/>
  </period_items>)";

using Floats = std::vector<float>;
using Ints = std::vector<int>;

// Every value of the fixture is exact in binary, so the reads compare exactly.
TEST_F(CafeConfigsTest, EveryKeyIsReadUnderItsOwnSpelling) {
  LoadAll(kCafe);
  ASSERT_EQ(gPersConfigs.size(), 1u);
  const PersConfig* boss = FindPersConfig("boss");
  ASSERT_NE(boss, nullptr);  // the first "boss" wins
  EXPECT_EQ((Floats{boss->mWashTime, boss->mSpeedBonus, boss->mIdleRestartTimeMin, boss->mIdleRestartTimeMax}),
            (Floats{1.5f, 1.25f, 2.0f, 4.5f}));
  EXPECT_EQ(boss->mIdleStopFrame, 7);
  EXPECT_FALSE(boss->mOverridden);

  const ClientConfig* girl = FindClientConfig("girl");
  ASSERT_NE(girl, nullptr);
  EXPECT_EQ((Floats{girl->mIdleRestartTimeMin, girl->mIdleRestartTimeMax, girl->mPatienceSpeed, girl->mDecisionTimeout,
                    girl->mEatingTime, girl->mScandalLevel, girl->mScandalTimeout, girl->mBonusTimeout,
                    girl->mBonusTimeEffect, girl->mStartPatience}),
            (Floats{1.0f, 2.5f, 4.5f, 2.0f, 6.0f, 30.0f, 5.0f, 8.0f, 1.5f, 100.0f}));
  EXPECT_EQ((Ints{girl->mIdleStopFrame, girl->mMoney01[0], girl->mMoney01[1], girl->mMoney01[2], girl->mMoney02[0],
                  girl->mMoney02[1], girl->mMoney02[2], girl->mLossesMoney}),
            (Ints{3, 30, 20, 10, 60, 40, 25, -15}));
  EXPECT_FALSE(girl->mOverridden);
  // Customers spell the idle keys "restart": the persons' and workers' spelling means nothing here.
  const ClientConfig* boy = FindClientConfig("boy");
  ASSERT_NE(boy, nullptr);
  EXPECT_EQ((Floats{boy->mIdleRestartTimeMin, boy->mIdleRestartTimeMax}), (Floats{0.0f, 0.0f}));

  const ClientGlobals& c = gClientGlobals;
  EXPECT_EQ(
      (Floats{c.mPatienceGLevel, c.mPatienceYLevel, c.mPatienceRLevel, c.mPatienceCritical, c.mScandalEffect,
              c.mJukeBoxEffect, c.mReminderTimeout, c.mAlphaBlendTime, c.mJuiceCupEffect, c.mScandalBubblePresent}),
      (Floats{66.0f, 33.0f, 15.0f, 5.0f, 10.0f, 0.5f, 7.0f, 0.25f, 20.0f, 3.0f}));
}

TEST_F(CafeConfigsTest, WorkersAndTimedPickUps) {
  LoadAll(kCafe);
  ASSERT_EQ(gWorkerConfigs.size(), 2u);
  const WorkerConfig* baker = FindWorkerConfig("baker", nullptr);
  ASSERT_NE(baker, nullptr);  // the first "baker" wins
  EXPECT_EQ((Floats{baker->mWorkTime, baker->mTidinessUp, baker->mTidinessDown, baker->mDirectCharacterBreakTime,
                    baker->mUpgradeTidinessDown, baker->mUpgradeWorkSpeed, baker->mIdleRestartTimeMin,
                    baker->mIdleRestartTimeMax, baker->mStartStamina}),
            (Floats{3.0f, 0.5f, 2.0f, 1.25f, 0.5f, 1.5f, 3.0f, 6.0f, 100.0f}));
  EXPECT_EQ((Ints{baker->mDirectCharacterBreakFrame, baker->mIdleStopFrame}), (Ints{4, 2}));
  EXPECT_EQ(baker->mStartSound + "/" + baker->mProduct + "/" + baker->mProductType, "oven/0200/cake");
  EXPECT_FALSE(baker->mOverridden);
  EXPECT_EQ(baker->mUsage, nullptr);
  // Workers spell the idle keys "rastart": "restart" means nothing here.
  const WorkerConfig* juicer = FindWorkerConfig("juicer", nullptr);
  ASSERT_NE(juicer, nullptr);
  EXPECT_EQ(juicer->mIdleRestartTimeMin, 0.0f);
  EXPECT_EQ(juicer->mStartSound, "");
  EXPECT_EQ((Ints{baker->mSequence, juicer->mSequence}), (Ints{1, 2}));

  const WorkerGlobals& w = gWorkerGlobals;
  EXPECT_EQ((Floats{w.mTidinessGLevel, w.mTidinessYLevel, w.mTidinessRLevel, w.mCleanserEffect, w.mBrushEffect,
                    w.mAlphaBlendTime}),
            (Floats{70.0f, 40.0f, 10.0f, 25.0f, 15.0f, 0.5f}));

  ASSERT_EQ(gPeriodItemConfigs.size(), 1u);
  const PeriodItemConfig* super = FindPeriodItemConfig("super_material");
  ASSERT_NE(super, nullptr);
  EXPECT_EQ((Floats{super->mTimeoutMin, super->mTimeoutMax}), (Floats{10.0f, 20.0f}));
  EXPECT_EQ(FindPeriodItemConfig("boss"), nullptr);
}

TEST_F(CafeConfigsTest, WorkerNumbersCountOnAcrossLoads) {
  const std::string workers = R"(<workers><worker name="a"/><worker name="b"/><worker name="c"/></workers>)";
  LoadWorkerConfigs(Root(workers));
  EXPECT_EQ(FindWorkerConfig("a", nullptr)->mSequence, 1);
  EXPECT_EQ(FindWorkerConfig("c", nullptr)->mSequence, 3);
  LoadWorkerConfigs(Root(workers));
  EXPECT_EQ(gWorkerConfigs.size(), 3u);
  EXPECT_EQ(FindWorkerConfig("a", nullptr)->mSequence, 4);
  EXPECT_EQ(FindWorkerConfig("c", nullptr)->mSequence, 6);
  ResetWorkerSequenceForTests();
  LoadWorkerConfigs(Root(workers));
  EXPECT_EQ(FindWorkerConfig("a", nullptr)->mSequence, 1);
}

TEST_F(CafeConfigsTest, UsageIsKeptUntilTheLevelResets) {
  LoadAll(kCafe);
  auto* first = reinterpret_cast<QCWorker*>(0x10);  // never followed, only stored
  WorkerConfig* baker = FindWorkerConfig("baker", first);
  ASSERT_NE(baker, nullptr);
  EXPECT_EQ(baker->mUsage, first);
  EXPECT_EQ(FindWorkerConfig("baker", nullptr)->mUsage, first);  // a lookup without a worker changes nothing
  FindWorkerConfig("juicer", first);
  ResetWorkerConfigUsage();
  EXPECT_EQ(baker->mUsage, nullptr);
  EXPECT_EQ(FindWorkerConfig("juicer", nullptr)->mUsage, nullptr);
  EXPECT_EQ(FindWorkerConfig("nobody", first), nullptr);
}

TEST_F(CafeConfigsTest, MissingOrOddSectionsGiveEmptyTables) {
  LoadAll(kCafe);
  LoadAll(R"(<perses/><clients><client/></clients><period_items><x name="y"/></period_items>)");
  EXPECT_TRUE(gPersConfigs.empty());
  EXPECT_TRUE(gClientConfigs.empty());
  EXPECT_TRUE(gWorkerConfigs.empty());
  EXPECT_TRUE(gPeriodItemConfigs.empty());
  EXPECT_FLOAT_EQ(gClientGlobals.mPatienceGLevel, 66.0f);  // absent keys leave the settings as they were
  EXPECT_FLOAT_EQ(gWorkerGlobals.mTidinessGLevel, 70.0f);  // and so does an absent section

  LoadAll(kCafe);
  LoadPersConfigs(nullptr);  // no document at all
  LoadClientConfigs(nullptr);
  LoadWorkerConfigs(nullptr);
  LoadPeriodItemConfigs(nullptr);
  EXPECT_TRUE(gPersConfigs.empty() && gClientConfigs.empty() && gWorkerConfigs.empty() && gPeriodItemConfigs.empty());
}

TEST_F(CafeConfigsTest, LongNamesAreCutTo127Characters) {
  std::string longName(200, 'n');
  LoadPeriodItemConfigs(
      Root("<period_items><period_item name=\"" + longName + "\" timeout_min=\"4\"/></period_items>"));
  EXPECT_EQ(FindPeriodItemConfig(longName), nullptr);
  const PeriodItemConfig* item = FindPeriodItemConfig(longName.substr(0, 127));
  ASSERT_NE(item, nullptr);
  EXPECT_FLOAT_EQ(item->mTimeoutMin, 4.0f);
}

}  // namespace
