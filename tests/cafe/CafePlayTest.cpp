// A career day and a survival shift of the fixture cafe, played by clicks.

#include "cafe/CafeFixture.h"

using namespace CafeTesting;

namespace {

using CafePlayTest = CafeFixture;

// Waits (at most a minute) until the condition holds.
class CareerDay : public CafeFixture {
 protected:
  template <typename Condition>
  bool Until(Condition condition) {
    for (int i = 0; i < 6000 && !condition(); ++i) Frames(1);
    return condition();
  }
  // The customer at the counter takes its order, the worker makes it, the boss brings it.
  void ServeFromWorker(const std::string& table, const std::string& worker) {
    QCClientStand* client = Standing();
    ASSERT_TRUE(Until([&] { return client->mState == QCClient::kWaiting && client->mVisible; }));
    Click("client_place01");
    Click(table);
    ASSERT_TRUE(Until([&] { return Worker(worker)->mState == QCWorker::kReady; }));
    ASSERT_TRUE(Until([&] { return client->mState == QCClient::kWaiting && !client->mMask.empty(); }));
    Click(table);
  }
  // One whole day by the script; the money it ends with.
  int PlayDay() {
    LoadOnThread(2, 0);
    // 1: a cake (on the way, a coffee taken and thrown away).
    Click("coffeemachine");
    EXPECT_EQ(Boss()->mMask, "1000");
    Click("trash_bin");
    EXPECT_EQ(Boss()->mMask, "");
    ServeFromWorker("table01", "worker01");
    EXPECT_EQ(Boss()->mMask, "0200");
    Click("client_place01");
    EXPECT_EQ(board->mMoney, 35) << "green price of the override";
    EXPECT_TRUE(board->mGoalReached);
    // 2: a juice from a worker that broke down and was cleaned.
    QCClientStand* client = Standing();
    Until([&] { return client->mState == QCClient::kWaiting && client->mVisible; });
    Click("client_place01");
    Worker("worker02")->mTidiness = 2.0f;
    Click("table02");
    EXPECT_TRUE(Until([&] { return Worker("worker02")->mState == QCWorker::kBroken; }));
    Frames(5);
    EXPECT_EQ(board->mBreakdowns, 2) << "the breakdown and the idle animation's end each count";
    Click("wash_stand");
    EXPECT_EQ(Boss()->mSecond, "wash");
    Click("table02");
    EXPECT_EQ(Boss()->mSecond, "");
    EXPECT_EQ(Worker("worker02")->mState, QCWorker::kWorking);
    EXPECT_GT(Worker("worker02")->mTidiness, 85.0f) << "clean, then soiled again while the boss washed up";
    Until([&] { return Worker("worker02")->mState == QCWorker::kReady; });
    Click("table02");
    Click("client_place01");
    EXPECT_EQ(board->mMoney, 70);
    // 3: juice and cake merged on one plate.
    Until([&] { return client->mState == QCClient::kWaiting && client->mVisible; });
    Click("client_place01");
    Click("table02");
    Click("table01");
    Until([&] {
      return Worker("worker02")->mState == QCWorker::kReady && Worker("worker01")->mState == QCWorker::kReady;
    });
    Until([&] { return !client->mMask.empty(); });
    EXPECT_EQ(client->mMask, "0230");
    Click("table02");
    Click("table01");
    EXPECT_EQ(Boss()->mMask, "0230") << "merged on the first plate";
    Click("client_place01");
    EXPECT_EQ(board->mMoney, 105);
    // 4: a cake at the counter, then a juice at the seat.
    ServeFromWorker("table01", "worker01");
    Click("client_place01");
    EXPECT_EQ(board->mMoney, 140);
    QCClientSit* seated = Seated();
    Until([&] { return seated->mState == QCClient::kWaiting; });
    EXPECT_EQ(seated->mMask, "0030");
    Click("table02");
    Until([&] { return Worker("worker02")->mState == QCWorker::kReady; });
    Click("table02");
    Click("client_sit_place01");
    EXPECT_EQ(board->mMoney, 175);
    EXPECT_TRUE(board->mExpertReached);
    EXPECT_TRUE(Until([&] { return !board->mRunning; })) << "the day ends once the last customer has gone";
    EXPECT_EQ(board->LevelResult(), QCBoard_Game3::kExpertResult);
    return board->mMoney;
  }
};

TEST_F(CareerDay, PlaysToTheEndAndTheSameSeedGivesTheSameMoney) {
  Velk::srand(11);
  const int first = PlayDay();
  EXPECT_EQ(first, 175);
  Velk::srand(11);
  EXPECT_EQ(PlayDay(), first);
}

}  // namespace

namespace {

class SurvivalShift : public CafeFixture {
 protected:
  // Customers are served coffee until three have paid; after that nobody is served and four leave
  // unhappy.
  int PlayShift() {
    Click("coffeemachine");
    QCClientStand* client = Standing();
    int served = 0;
    for (int i = 0; i < 20000 && board->mRunning; ++i) {
      if (served < 3 && client->mState == QCClient::kWaiting && client->mVisible) {
        if (client->mMask.empty()) {
          Click("client_place01");
        } else if (client->mMask == "1000") {
          if (Boss()->mMask.empty()) Click("coffeemachine");
          Click("client_place01");
          ++served;
        }
      }
      Frames(1);
    }
    return board->mMoney;
  }
};

TEST_F(SurvivalShift, EndsWithTheFourthUnhappyCustomerAndRepeatsWithTheSeed) {
  Velk::srand(5);
  Load(1, 1);
  EXPECT_EQ(board->mLives, 3);
  const int money = PlayShift();
  EXPECT_FALSE(board->mRunning);
  EXPECT_EQ(board->mLives, -1);
  EXPECT_EQ(money, 3 * 30) << "three coffees at the green price";
  Velk::srand(5);
  Load(1, 1);
  EXPECT_EQ(PlayShift(), money);
}

TEST_F(SurvivalShift, EveryFixtureLevelRunsAMinuteUnattended) {
  for (int mode : {0, 1}) {
    Load(mode == 0 ? 2 : 1, mode);
    Seconds(60.0f);
    EXPECT_TRUE(board->mRunning || mode == 0);
  }
  pak.Put("cfg\\l7.xml", Utf16File(R"(<level doc="cfg\scene_cafe.xml"><objects><object name="boss"/></objects>
      <events_queue><templates/><stages><stage points="5"/></stages></events_queue></level>)"));
  pak.Put(
      "cfg\\e2.xml",
      Utf16File(
          R"(<level doc="cfg\scene_cafe.xml"><objects><object name="client01"/><object name="client_place01"/></objects>
      <events_queue><stages><stage points="5"><time_point_template event="girl" type="client" prob="1" order_template="none"/></stage></stages></events_queue></level>)"));
  pak.Put("cfg\\e3.xml", Utf16File(R"(<level doc="cfg\scene_cafe.xml"><events_queue/></level>)"));
  Load(7, 0);
  Seconds(60.0f);
  Load(2, 1);
  Seconds(60.0f);
  EXPECT_EQ(LogCount("\"none\""), 1);
  Load(3, 1);
  Seconds(60.0f);
  EXPECT_TRUE(board->mRunning);
}

}  // namespace
