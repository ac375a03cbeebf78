// The level's time line: the career queue, survival draws from weighted templates, rising money
// targets, and who owns the records.

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/crt/Rand.h"
#include "scene/LevelLog.h"
#include "scene/SceneTestKit.h"

using SceneTesting::XmlDoc;

namespace {

const char* const kCareer = R"(<level><events_queue>
  <time_point time="0" type="client" event="girl"><param name="0200"/></time_point>
  <time_point time="1.5" type="visitor" event="cat"/>
  <time_point time="2" type="client" event="boy"><param name="0200"/><param name="sit"/><param name="0030"/></time_point>
</events_queue></level>)";

const char* const kSurvival = R"(<level><events_queue>
  <templates>
    <order_template name="one_or_two"><stand prob="1">
      <order_list prob="1.0"><order name="1000" prob="1"/></order_list>
      <order_list prob="0.5"><order name="0200" prob="1"/></order_list>
    </stand></order_template>
    <order_template name="sitter"><stand prob="0"><order_list prob="1"><order name="1000" prob="1"/></order_list></stand>
      <sit prob="1"><order_list prob="1"><order name="sit" prob="1"/></order_list></sit></order_template>
  </templates>
  <stages>
    <stage points="300"><time_point_template event="girl" type="client" prob="1" time_min="1" time_max="3" order_template="one_or_two"/></stage>
    <stage points="500"><time_point_template event="boy" type="client" prob="1" time_min="0" time_max="0" order_template="nowhere"/></stage>
  </stages>
</events_queue></level>)";

class LevelEventsTest : public ::testing::Test {
 protected:
  void Load(QCLevelEvents& events, int kind, const std::string& xml) {
    doc = std::make_unique<XmlDoc>(pak, xml, L"level");
    events.mKind = kind;
    events.LoadLevelEvents(doc->Node());
  }
  void TearDown() override { SetLevelLogListener(nullptr); }
  MemoryPak pak;
  std::unique_ptr<XmlDoc> doc;
};

// The 15-bit draws a seed gives, worked out apart from the code under test.
std::vector<int> Draws(unsigned seed, int count) {
  Velk::srand(seed);
  std::vector<int> values;
  for (int i = 0; i < count; ++i) values.push_back(Velk::rand());
  Velk::srand(seed);
  return values;
}

}  // namespace

TEST_F(LevelEventsTest, CareerQueuePlaysInOrderSkipsOtherTypesAndWaitsBehindARefusal) {
  std::vector<std::string> logs;
  SetLevelLogListener([&](const std::string& line) { logs.push_back(line); });
  QCLevelEvents events;
  Load(events, QCLevelEvents::kCareer, kCareer);
  ASSERT_EQ(events.mQueue.size(), 2u);
  ASSERT_EQ(logs.size(), 1u);
  EXPECT_NE(logs[0].find("visitor"), std::string::npos);

  QCEventRecord* first = events.NextDueEvent();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->event, "girl");
  EXPECT_EQ(first->entries, std::vector<std::string>{"0200"});
  // Refused: it stays due; the later record is not offered.
  events.Tick(5.0f);
  EXPECT_EQ(events.NextDueEvent(), first);
  events.TakeEvent();
  EXPECT_FLOAT_EQ(events.GetProgress(), 0.5f);
  QCEventRecord* second = events.NextDueEvent();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->entries, (std::vector<std::string>{"0200", "sit", "0030"}));
  events.TakeEvent();
  EXPECT_TRUE(events.IsFinished());
  EXPECT_EQ(events.NextDueEvent(), nullptr);

  // A restart plays the same day again, due times and all.
  events.Reset();
  EXPECT_FALSE(events.IsFinished());
  EXPECT_EQ(events.NextDueEvent(), first);
  EXPECT_EQ(first->event, "girl");
}

TEST_F(LevelEventsTest, EmptyOrMissingQueuesAreFinished) {
  QCLevelEvents events;
  Load(events, QCLevelEvents::kCareer, "<level/>");
  EXPECT_TRUE(events.IsFinished());
  EXPECT_FLOAT_EQ(events.GetProgress(), 0.0f);
  Load(events, QCLevelEvents::kSurvival, "<level><events_queue/></level>");
  EXPECT_TRUE(events.IsFinished());
  EXPECT_EQ(events.NextDueEvent(), nullptr);
  events.TakeEvent();
  events.NextStage();
  // A stage without templates draws nothing.
  Load(events, QCLevelEvents::kSurvival,
       R"(<level><events_queue><stages><stage points="10"/></stages></events_queue></level>)");
  EXPECT_TRUE(events.IsFinished());
  EXPECT_EQ(events.GetStageTarget(), 10);
  Load(events, 0, kCareer);
  EXPECT_TRUE(events.IsFinished());
}

TEST_F(LevelEventsTest, SurvivalAlwaysHasOneRecordWaitingAndTargetsKeepRising) {
  std::vector<std::string> logs;
  SetLevelLogListener([&](const std::string& line) { logs.push_back(line); });
  Velk::srand(7);
  QCLevelEvents events;
  Load(events, QCLevelEvents::kSurvival, kSurvival);
  ASSERT_EQ(logs.size(), 1u);
  EXPECT_NE(logs[0].find("nowhere"), std::string::npos);
  EXPECT_EQ(events.GetStageTarget(), 300);
  for (int i = 0; i < 20; ++i) {
    EXPECT_FALSE(events.IsFinished());
    events.Tick(3.0f);
    QCEventRecord* due = events.NextDueEvent();
    ASSERT_NE(due, nullptr);
    EXPECT_EQ(due->event, "girl");
    EXPECT_GE(due->time, events.mClock - 3.0f);
    events.TakeEvent();
  }
  events.NextStage();
  EXPECT_EQ(events.GetStageTarget(), 500);
  events.Tick(3.0f);
  events.TakeEvent();
  // The unknown order template gives a customer with no orders.
  QCEventRecord* boy = events.NextDueEvent();
  ASSERT_NE(boy, nullptr);
  EXPECT_EQ(boy->event, "boy");
  EXPECT_TRUE(boy->entries.empty());
  events.NextStage();
  EXPECT_EQ(events.GetStageTarget(), 700);
  events.NextStage();
  EXPECT_EQ(events.GetStageTarget(), 900);
}

// Stage points at the ends of the integer range: the targets past the last stage stop at the ends.
TEST_F(LevelEventsTest, TargetsPastTheLastStageSaturate) {
  QCLevelEvents events;
  Load(
      events, QCLevelEvents::kSurvival,
      R"(<level><events_queue><stages><stage points="-2147483647"/><stage points="2147483647"/></stages></events_queue></level>)");
  EXPECT_EQ(events.GetStageTarget(), -2147483647);
  events.NextStage();
  EXPECT_EQ(events.GetStageTarget(), 2147483647);
  events.NextStage();
  EXPECT_EQ(events.GetStageTarget(), 2147483647);
  Load(
      events, QCLevelEvents::kSurvival,
      R"(<level><events_queue><stages><stage points="2147483647"/><stage points="-2147483647"/></stages></events_queue></level>)");
  events.NextStage();
  events.NextStage();
  EXPECT_EQ(events.GetStageTarget(), INT32_MIN);
}

TEST_F(LevelEventsTest, StandListsGiveOneOrderUpToTheFirstListsWeightAndTwoAbove) {
  QCLevelEvents events;
  Load(events, QCLevelEvents::kSurvival, kSurvival);
  const QCEventStage& stage = events.mStages[0];
  bool sawOne = false, sawTwo = false;
  for (unsigned seed = 1; seed < 60; ++seed) {
    // Draws: template, delay, stand-or-sit, stand lists, then one per list walked.
    const std::vector<int> v = Draws(seed, 4);
    const float r = 1.5f * static_cast<float>(v[3]) / 32767.0f;
    QCEventRecord record;
    QCLevelEvents::DrawRecord(stage, record);
    EXPECT_FLOAT_EQ(record.time, 1.0f + 2.0f * static_cast<float>(v[1]) / 32767.0f);
    if (r == 0.0f) continue;
    const size_t expected = r <= 1.0f ? 1 : 2;
    ASSERT_EQ(record.entries.size(), expected) << "seed " << seed << " r " << r;
    EXPECT_EQ(record.entries[0], "1000");
    (expected == 1 ? sawOne : sawTwo) = true;
  }
  EXPECT_TRUE(sawOne && sawTwo);
}

TEST_F(LevelEventsTest, SitPartAppendsOnlyWhenTheFirstDrawPassesTheStandWeight) {
  QCLevelEvents events;
  Load(events, QCLevelEvents::kSurvival, kSurvival);
  QCEventStage stage;
  stage.sum = 1.0f;
  stage.templates.push_back({1.0f, "client", "girl", 0.0f, 0.0f, events.mTemplates.at("sitter").get()});
  for (unsigned seed = 1; seed < 30; ++seed) {
    const std::vector<int> v = Draws(seed, 3);
    QCEventRecord record;
    QCLevelEvents::DrawRecord(stage, record);
    // The stand part weighs 0: only a first draw of exactly 0 keeps the customer standing. The
    // stand lists are walked in any case.
    const bool sits = v[2] > 0;
    const bool sitEntry = !record.entries.empty() && record.entries.back() == "sit";
    EXPECT_EQ(sitEntry, sits) << "seed " << seed;
  }
}

TEST_F(LevelEventsTest, RecordsHaveOneOwnerAndThePoolIsReused) {
  const int before = LiveEventRecordCount();
  {
    QCLevelEvents events;
    Load(events, QCLevelEvents::kSurvival, kSurvival);
    // Up to three customers hold records at a time; the others leave.
    std::vector<QCEventRecord*> held;
    for (int i = 0; i < 200; ++i) {
      events.Tick(3.0f);
      QCEventRecord* due = events.NextDueEvent();
      ASSERT_NE(due, nullptr);
      AttachEventRecord(due);
      held.push_back(due);
      events.TakeEvent();
      if (held.size() > 3) {
        ReleaseEventRecord(held.front());
        held.erase(held.begin());
      }
      EXPECT_LE(LiveEventRecordCount() - before, 5);
    }
    // Customers still in the cafe when the level is cleared keep their records until they go.
    events.Clear();
    for (QCEventRecord* record : held) EXPECT_TRUE(record->event == "girl");
    for (QCEventRecord* record : held) ReleaseEventRecord(record);
    events.Reset();

    // Career records stay with the queue however often they are released.
    Load(events, QCLevelEvents::kCareer, kCareer);
    QCEventRecord* first = events.NextDueEvent();
    AttachEventRecord(first);
    events.TakeEvent();
    ReleaseEventRecord(first);
    ReleaseEventRecord(first);
    EXPECT_EQ(first->event, "girl");
    events.Reset();
    events.Clear();
  }
  EXPECT_EQ(LiveEventRecordCount(), before);
}
