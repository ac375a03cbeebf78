// The green maximum of a day as the level files give it, and the goal curve of the built pack: each
// day's goal a share of its green maximum that rises within a cafe (a day may fall below the day
// before it by no more than 0.02; a new cafe starts its own curve), and no expert goal that only
// tray coins could reach.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "balance/LevelGoals.h"
#include "platform/ScratchFolder.h"

namespace {

constexpr int kCareerDays = 59;
constexpr double kAllowedDip = 0.02;
constexpr double kExpertCeiling = 0.95;

class LevelGoalsFiles : public ::testing::Test {
 protected:
  LevelGoalsFiles() { std::filesystem::create_directories(mDir / "cfg"); }
  void Write(const std::string& name, const std::string& text) { std::ofstream(mDir / "cfg" / name) << text; }

  ScratchFolder mScratch;
  std::filesystem::path mDir = mScratch.Path();
};

TEST_F(LevelGoalsFiles, GreenMaximumCountsEveryProductAtTheKindsFullPrice) {
  Write("cfg.xml",
        "<root><clients><client name=\"girl\" client_money01_g=\"20\" client_money01_y=\"15\"/>"
        "<client name=\"manager\" client_money01_g=\"35\"/></clients></root>");
  // A seated guest's "sit" is no product; the day's own price of a kind replaces cfg.xml's.
  Write("l1.xml",
        "<level doc=\"cfg\\scene2.xml\"><params normal=\"40\" expert=\"70\"/><events_queue>"
        "<time_point time=\"3.0\" type=\"client\" event=\"girl\"><param name=\"0200\"/><param name=\"sit\"/>"
        "<param name=\"1000\"/></time_point>"
        "<time_point time=\"9.0\" type=\"client\" event=\"manager\"><param name=\"0034\"/></time_point>"
        "</events_queue><override_clients><client name=\"manager\" client_patience_speed=\"2.0\"/>"
        "<client name=\"girl\" client_money01_g=\"22\"/></override_clients></level>");
  Balance::LevelGoals goals;
  std::string error;
  ASSERT_TRUE(goals.Read(mDir.string(), 1, error)) << error;
  const Balance::DayGoals& day = goals.Days().front();
  EXPECT_EQ(day.green, 2 * 22 + 35);
  EXPECT_EQ(day.cafe, 2);
  EXPECT_EQ(day.normal, 40);
  EXPECT_EQ(day.expert, 70);

  Write("l1.xml",
        "<level doc=\"cfg\\scene1.xml\"><params normal=\"40\" expert=\"70\"/><events_queue>"
        "<time_point time=\"3.0\" type=\"client\" event=\"robot\"><param name=\"0200\"/></time_point>"
        "</events_queue></level>");
  EXPECT_FALSE(goals.Read(mDir.string(), 1, error));
  EXPECT_NE(error.find("'robot' has no price"), std::string::npos) << error;
  Write("l1.xml", "<level doc=\"cfg\\scene1.xml\"/>");
  EXPECT_FALSE(goals.Read(mDir.string(), 1, error));
  EXPECT_NE(error.find("no goals"), std::string::npos) << error;
  Write("l1.xml", "<level doc=\"cfg\\scene1.xml\"><params normal=\"40\" expert=\"70\"/></level>");
  EXPECT_FALSE(goals.Read(mDir.string(), 2, error));
  EXPECT_NE(error.find("l2.xml"), std::string::npos) << error;
}

TEST(GoalCurve, SharesOfTheGreenMaximumRiseWithinEachCafe) {
  Balance::LevelGoals goals;
  std::string error;
  ASSERT_TRUE(goals.Read(CONTENT_STAGE_DIR, kCareerDays, error)) << error;
  std::map<int, std::vector<double>> cafes;
  const Balance::DayGoals* before = nullptr;
  for (const Balance::DayGoals& day : goals.Days()) {
    EXPECT_LE(day.expert, kExpertCeiling * day.green) << "day " << day.day << ": expert beyond play at full patience";
    EXPECT_LT(day.normal, day.expert) << "day " << day.day;
    if (before != nullptr && before->cafe == day.cafe) {
      EXPECT_GE(day.Share(), before->Share() - kAllowedDip)
          << "day " << day.day << ": share " << day.Share() << " after " << before->Share();
    }
    cafes[day.cafe].push_back(day.Share());
    before = &day;
  }
  ASSERT_EQ(cafes.size(), 3u);
  for (const auto& [cafe, shares] : cafes)
    EXPECT_GT(shares.back(), shares.front()) << "cafe " << cafe << ": the share does not rise";
}

}  // namespace
