// The boss, customers, workers, pick-ups and status objects on the fixture day.

#include "cafe/CafeFixture.h"
#include "cafe/ProductMask.h"
#include "cafe/QCStatus_Bubble.h"
#include "cafe/QCStatus_HP_Client.h"
#include "cafe/QCStatus_HP_Worker.h"
#include "scene/SceneTestKit.h"

using namespace CafeTesting;

namespace {

class CharacterTest : public CafeFixture {
 protected:
  CharacterTest() {
    SceneTesting::PutAnm(pak, "held_items",
                         {"held_itemsb0000boss_idle_full", "held_itemsb1200boss_idle_full",
                          "held_itemsb0000boss_idle_second", "held_itemsbwashboss_idle_second"});
    Load(2, 0);
    Frames(2);
    client = Standing();
  }
  // The customer at the counter with an order, patience held by a long freeze.
  void Ordering(const std::string& mask, float patience) {
    board->ApplyMiniGameReward(QCBoard_Game3::kIce, 20);
    client->mMask = mask;
    client->mPatience = patience;
    // Nothing more to order after this.
    client->mCursor = client->mRecord->entries.size();
  }
  void Hands(const std::string& first, const std::string& second) {
    Boss()->mMask = first;
    Boss()->mSecond = second;
  }
  QCClientStand* client = nullptr;
};

TEST_F(CharacterTest, SourcesFillTheFirstFreeHandUnlessBothAreFull) {
  Click("coffeemachine");
  EXPECT_EQ(Boss()->mMask, "1000");
  Click("coffeemachine");
  EXPECT_EQ(Boss()->mSecond, "1000");
  EXPECT_EQ(Chain().Count(), 2);
  Click("coffeemachine");
  EXPECT_EQ(Chain().Count(), 0) << "both hands full resets the chain";
  EXPECT_EQ(Boss()->mMask, "1000");
  EXPECT_EQ(Boss()->mSecond, "1000");
}

TEST_F(CharacterTest, TheBinTakesTheSecondHandFirstAndRefusesEmptyHands) {
  Hands("1000", "");
  Click("trash_bin");
  EXPECT_EQ(Boss()->mMask, "");
  Hands("1000", "0200");
  Click("trash_bin");
  EXPECT_EQ(Boss()->mMask, "1000");
  EXPECT_EQ(Boss()->mSecond, "");
  Hands("", "");
  Chain().OnEvent(QCBonus::kGood, nullptr);
  Click("trash_bin");
  EXPECT_EQ(Chain().Count(), 1) << "refused: nothing happened";
}

TEST_F(CharacterTest, ATrayIsRefusedAndItsClickLeavesTheQueue) {
  Hands("1000", "");
  board->ClickObjectByName("tray");
  board->ClickObjectByName("coffeemachine");
  Seconds(20.0f);
  EXPECT_TRUE(Boss()->mQueue.empty());
  EXPECT_EQ(Boss()->mSecond, "") << "the refusal dropped the queued click behind it";
}

TEST_F(CharacterTest, AReadyProductMergesIntoTheHandACustomerWants) {
  Ordering("0230", 90.0f);
  QCWorker* baker = Worker("worker01");
  baker->SetState(QCWorker::kWorking);
  baker->SetState(QCWorker::kReady);
  ASSERT_EQ(baker->mMask, "0200");
  Hands("1000", "0030");
  Click("table01");
  EXPECT_EQ(Boss()->mMask, "0230") << "the merged second hand goes first";
  EXPECT_EQ(Boss()->mSecond, "1000");
  EXPECT_EQ(baker->mMask, "");
  EXPECT_EQ(baker->mState, QCWorker::kIdle);
}

TEST_F(CharacterTest, AProductThatFitsNeitherHandStaysAndResetsTheChain) {
  QCWorker* baker = Worker("worker01");
  baker->SetState(QCWorker::kWorking);
  baker->SetState(QCWorker::kReady);
  Hands("1000", "0030");
  Chain().OnEvent(QCBonus::kGood, nullptr);
  Click("table01");
  EXPECT_EQ(Chain().Count(), 0);
  EXPECT_EQ(baker->mMask, "0200");
  EXPECT_EQ(baker->mState, QCWorker::kReady);
  EXPECT_EQ(Boss()->mMask, "1000");
}

TEST_F(CharacterTest, AnIdleWorkerStartsEvenWhenTheBossHasNoHandFree) {
  Hands("1000", "0030");
  Chain().OnEvent(QCBonus::kGood, nullptr);
  Click("table01");
  EXPECT_EQ(Worker("worker01")->mState, QCWorker::kWorking);
  EXPECT_EQ(Chain().Count(), 0);
  Hands("", "");
  Click("table02");
  EXPECT_EQ(Chain().Count(), 1) << "a free hand takes the empty product: a good move";
}

TEST_F(CharacterTest, HeldItemsShowPlateAndProductPerHand) {
  Hands("1200", "wash");
  Boss()->mCurrentAnim = "boss_idle_full_second";
  Boss()->SetOrientation("b", true);
  Boss()->UpdateHeldItems();
  EXPECT_EQ(Boss()->mHeld[0]->mCurrentAnim, "0000boss_idle_full");
  EXPECT_EQ(Boss()->mHeld[1]->mCurrentAnim, "1200boss_idle_full");
  EXPECT_TRUE(Boss()->mHeld[1]->mVisible);
  EXPECT_FALSE(Boss()->mHeld[2]->mVisible) << "the washing item has no plate";
  EXPECT_EQ(Boss()->mHeld[3]->mCurrentAnim, "washboss_idle_second");
  Hands("", "");
  Boss()->UpdateHeldItems();
  for (QCItemPart* part : Boss()->mHeld) EXPECT_FALSE(part->mVisible);
}

TEST_F(CharacterTest, TheBossRunsFasterOnlyWithTheUpgradeAndTrailsWhileFast) {
  EXPECT_FLOAT_EQ(Boss()->GetMoveSpeed(), 250.0f);
  Frames(1);
  EXPECT_FALSE(Boss()->mTrailOn);
  board->ApplyMiniGameReward(QCBoard_Game3::kSpeed, 1);
  Frames(1);
  EXPECT_TRUE(Boss()->mTrailOn);
  EXPECT_FLOAT_EQ(Boss()->mTrailFadeRate, 600.0f);
  EXPECT_FLOAT_EQ(Boss()->GetMoveSpeed(), 250.0f) << "the reward only trails";
  board->mSpeed.StartDeadline(0.0f);
  Grant("boss", "speed");
  Frames(1);
  EXPECT_FLOAT_EQ(Boss()->mTrailFadeRate, 500.0f);
  EXPECT_FLOAT_EQ(Boss()->GetMoveSpeed(), 250.0f * 1.3f);
}

TEST_F(CharacterTest, CustomersPayStrictlyAboveEachLevel) {
  Ordering("1000", 66.0f);
  Hands("1000", "");
  Click("client_place01");
  EXPECT_EQ(board->mMoney, 20) << "exactly at the green level: the yellow price";
  EXPECT_EQ(client->mState, QCClient::kAway);
}

TEST_F(CharacterTest, DeliveriesTakeTheMatchingHandAndMoveTheSecondUp) {
  Ordering("0200", 90.0f);
  Hands("1000", "0200");
  Click("client_place01");
  EXPECT_EQ(Boss()->mMask, "1000");
  EXPECT_EQ(Boss()->mSecond, "");
  EXPECT_EQ(board->mMoney, 35);
}

TEST_F(CharacterTest, SuperSatisfiesAnyOrderAndTheSecondHandMovesUp) {
  Ordering("0030", 90.0f);
  Hands("super", "1000");
  Click("client_place01");
  EXPECT_EQ(Boss()->mMask, "1000");
  EXPECT_EQ(Boss()->mSecond, "");
  EXPECT_TRUE(client->Accept("0", "super"));
}

TEST_F(CharacterTest, ARefusedDeliveryChangesNothing) {
  Ordering("0200", 90.0f);
  Hands("", "1000");
  Click("client_place01");
  EXPECT_EQ(Boss()->mMask, "");
  EXPECT_EQ(Boss()->mSecond, "1000");
  EXPECT_EQ(board->mMoney, 0);
}

TEST_F(CharacterTest, TheLastDeliveryWithoutAFadeStillGrowsTheChain) {
  Ordering("1000", 90.0f);
  Hands("1000", "");
  Click("client_place01");
  EXPECT_FALSE(client->mVisible);
  EXPECT_EQ(Chain().Count(), 1);
}

TEST_F(CharacterTest, ExhaustedPatienceCostsMoneyOnTheNextFrame) {
  board->mMoney = 50;
  client->mPatience = 0.005f;
  Frames(1);
  EXPECT_EQ(client->mPatience, 0.0f);
  EXPECT_FALSE(client->mPatient);
  EXPECT_EQ(board->mMoney, 50);
  Frames(1);
  EXPECT_EQ(board->mMoney, 35);
  EXPECT_EQ(client->mState, QCClient::kAway);
  // The place rests, then the next arrival starts patient.
  QCEventRecord* next = board->GetEvents()->mQueue.back();
  EXPECT_FALSE(QCClient::SpawnStandingCustomer(next, 0, 100.0f));
  Seconds(0.6f);
  EXPECT_TRUE(QCClient::SpawnStandingCustomer(next, 0, 100.0f));
  EXPECT_TRUE(client->IsStatActive());
  EXPECT_TRUE(client->mPatient);
}

TEST_F(CharacterTest, AScandalUpsetsEveryCustomerOnceInItsTimeOut) {
  QCEventRecord& record = *board->GetEvents()->mQueue.back();
  ASSERT_TRUE(QCClient::SpawnSeatedCustomer(&record, 0, 80.0f));
  EXPECT_EQ(record.refCount, 1);
  const float seated = Seated()->mPatience;
  client->mPatience = 20.005f;
  Frames(1);
  EXPECT_NEAR(client->mPatience, 10.0f, 0.01f);
  EXPECT_NEAR(Seated()->mPatience, seated - 10.0f, 0.01f);
  std::string text, style;
  ASSERT_TRUE(client->GetBubbleText(&text));
  client->GetBubbleStyle(&style);
  EXPECT_EQ(text, "scandal");
  EXPECT_EQ(style, "aggro");
  Frames(10);
  EXPECT_NEAR(Seated()->mPatience, seated - 10.0f, 0.01f) << "no second scandal within the time-out";
  board->StopLevel();
  EXPECT_EQ(record.refCount, 0) << "the customers let go of their records";
}

TEST_F(CharacterTest, BubblesSayWhatTheCustomerWants) {
  std::string text, style;
  ASSERT_TRUE(client->GetBubbleText(&text));
  client->GetBubbleStyle(&style);
  EXPECT_EQ(text, "ready");
  EXPECT_EQ(style, "client");
  client->SetState(QCClient::kBusy);
  client->GetBubbleText(&text);
  EXPECT_EQ(text, "think");
  client->mMask = "0200";
  client->mRecord->entries.push_back("0030");
  client->mCursor = 0;
  client->GetBubbleStyle(&style);
  EXPECT_EQ(style, "multi_client");
  auto* bubble = dynamic_cast<QCStatus_Bubble*>(QCItem::FindByName("status_bubble_client_sit01"));
  ASSERT_NE(bubble, nullptr);
  EXPECT_EQ(bubble->mSource.item, Seated());
}

TEST_F(CharacterTest, ABubbleShakesThroughAScandalAndKeepsItsPicture) {
  auto* bubble = dynamic_cast<QCStatus_Bubble*>(QCItem::FindByName("status_bubble_client01"));
  Ordering("0200", 90.0f);
  Frames(2);
  EXPECT_TRUE(bubble->mVisible);
  EXPECT_EQ(bubble->mText, "0200");
  Hands("0200", "");
  Frames(1);
  EXPECT_TRUE(bubble->mHighlighted);
  client->mScandalBubble.StartDeadline(0.5f);
  Frames(1);
  EXPECT_TRUE(bubble->mShaking);
  EXPECT_FALSE(bubble->mHighlighted);
  EXPECT_EQ(bubble->mText, "0200");
  Seconds(0.6f);
  EXPECT_FALSE(bubble->mShaking);
  EXPECT_TRUE(bubble->mVisible);
  client->mMask = "1000";
  Frames(1);
  EXPECT_FALSE(bubble->mVisible) << "a new text hides it first";
}

TEST_F(CharacterTest, PatienceBarsFollowTheCustomerLevels) {
  using Look = QCStatus_HP_Client::Look;
  auto check = [](float p, unsigned color, const std::string& face, int segment) {
    const Look look = QCStatus_HP_Client::LookAt(p);
    EXPECT_EQ(look.color, color) << p;
    EXPECT_EQ(look.face, face) << p;
    EXPECT_EQ(look.segment, segment) << p;
  };
  // g 66, y 33, r 15: upper thirds at 88.67 and 77.33, the yellow middle at 49.5.
  check(100.0f, StatusColors::kGreen, "greenidle", 6);
  check(88.7f, StatusColors::kGreen, "greenidle", 6);
  check(88.6f, StatusColors::kGreen, "greenidle", 5);
  check(77.3f, StatusColors::kGreen, "greenidle", 4);
  check(66.0f, StatusColors::kGreen, "greenidle", 4);
  check(49.5f, StatusColors::kYellow, "yellowidle", 3);
  check(33.1f, StatusColors::kYellow, "yellowidle", 2);
  check(33.0f, StatusColors::kRed, "redidle", 1);
  check(14.9f, StatusColors::kRed, "redidle", 0);
  auto* bar = dynamic_cast<QCStatus_HP_Client*>(QCItem::FindByName("status_hp_client01"));
  Frames(1);
  EXPECT_TRUE(bar->mVisible);
  EXPECT_EQ(bar->mSegment, 6);
  board->ApplyMiniGameReward(QCBoard_Game3::kIce, 1);
  Frames(1);
  EXPECT_EQ(bar->mFaceAnim, "freezeidle");
  EXPECT_EQ(bar->mBar->mTint, StatusColors::kFrozen);
  EXPECT_EQ(QCStatus_HP_Worker::SegmentAt(100.0f), 12);
  EXPECT_EQ(QCStatus_HP_Worker::SegmentAt(0.0f), 0);
  EXPECT_EQ(QCStatus_HP_Worker::SegmentAt(8.4f), 2);
}

TEST_F(CharacterTest, AWorkerBreaksAtExactlyZeroAndCleaningResumesItsWork) {
  QCWorker* baker = Worker("worker01");
  Click("table01");
  ASSERT_EQ(baker->mState, QCWorker::kWorking);
  // Exactly one frame's soiling left.
  baker->mTidiness = 20.0f * 0.01f;
  Frames(1);
  EXPECT_EQ(baker->mState, QCWorker::kBroken);
  const float left = baker->mWork.DeadlineRemaining();
  Seconds(3.0f);
  EXPECT_NEAR(baker->mWork.DeadlineRemaining(), left, 1e-3) << "held while broken";
  Hands("", "wash");
  baker->Interact(Boss(), false, nullptr);
  EXPECT_EQ(baker->mState, QCWorker::kWorking);
  EXPECT_FLOAT_EQ(baker->mTidiness, 100.0f);
  EXPECT_NEAR(baker->mWork.DeadlineRemaining(), left, 1e-3);
  baker->mTidiness = 60.0f;
  baker->Interact(Boss(), false, nullptr);
  EXPECT_EQ(baker->mState, QCWorker::kWorking) << "cleaning a working worker only cleans";
  EXPECT_FLOAT_EQ(baker->mTidiness, 100.0f);
}

TEST_F(CharacterTest, UpgradesSpeedWorkAndSlowSoiling) {
  QCWorker* baker = Worker("worker01");
  EXPECT_FLOAT_EQ(baker->WorkTime(), 1.5f);
  Grant("baker", "speed");
  Grant("baker", "tidiness");
  baker->ApplyUpgrades();
  EXPECT_FLOAT_EQ(baker->WorkTime(), 0.75f);
  EXPECT_TRUE(baker->mUpgradeParts[0]->mVisible);
  baker->SetState(QCWorker::kWorking);
  Seconds(0.5f);
  EXPECT_NEAR(baker->mTidiness, 100.0f - 0.5f * 20.0f * 0.5f, 0.01f);
}

TEST_F(CharacterTest, IdleWorkersRecoverAndSoilingFadesWithTidiness) {
  QCWorker* juicer = Worker("worker02");
  juicer->mTidiness = 50.0f;
  Seconds(1.0f);
  EXPECT_NEAR(juicer->mTidiness, 54.0f, 0.001f);
  juicer->ChangeTidiness(100.0f);
  Seconds(1.0f);
  EXPECT_EQ(juicer->mTidiness, 100.0f);
  EXPECT_EQ(QCWorker::SoilingColor(100.0f), 0x00FFFFFFu) << "spotless: no alpha";
  EXPECT_EQ(QCWorker::SoilingColor(50.0f), 0x7FFFFFFFu) << "127.5 rounds to 128";
  EXPECT_EQ(QCWorker::SoilingColor(0.0f), 0xFFFFFFFFu);
  EXPECT_EQ(juicer->mSoiling[0]->mTint, 0x00FFFFFFu);
}

TEST_F(CharacterTest, PickUpsWaitTheirDrawnTimeAndAreTakenOnce) {
  auto* item = dynamic_cast<QCPeriodItem*>(QCItem::FindByName("super_material"));
  const float wait = item->mWait.DeadlineRemaining();
  EXPECT_GE(wait, 4.9f);
  EXPECT_LE(wait, 10.0f);
  Click("super_material");
  EXPECT_EQ(Boss()->mMask, "") << "refused while waiting";
  Seconds(10.0f);
  ASSERT_EQ(item->mState, QCPeriodItem::kAvailable);
  Click("super_material");
  EXPECT_EQ(Boss()->mMask, "super");
  EXPECT_EQ(item->mState, QCPeriodItem::kWaiting);
  const float next = item->mWait.DeadlineRemaining();
  EXPECT_GT(next, 0.0f);
  EXPECT_LE(next, 10.0f);
}

}  // namespace

namespace {

TEST_F(CharacterTest, ProductsAreWantedByTheCustomersInTheCafe) {
  EXPECT_FALSE(IsMaskWanted("0200")) << "no order taken yet";
  client->mMask = "0200";
  EXPECT_TRUE(IsMaskWanted("0200"));
  EXPECT_FALSE(IsMaskWanted("1000"));
  EXPECT_TRUE(IsMaskWanted("super"));
  EXPECT_EQ(FindClientByName("client01"), client);
  EXPECT_NE(FindWorkerByName("worker02"), nullptr);
  board->ClearScene();
  EXPECT_TRUE(gClientRegistry.empty());
  EXPECT_TRUE(gWorkerRegistry.empty());
  EXPECT_FALSE(IsMaskWanted("0200"));
}

}  // namespace
