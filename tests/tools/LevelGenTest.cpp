// The career generator over the real day table: the goals of every day and the first guests of day
// 16 are the values worked out by hand from the table, the overrides are written as the game reads
// them, and rows the other files cannot serve are findings.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "contentlib/CareerTable.h"
#include "contentlib/LevelGen.h"
#include "contentlib/LocMerge.h"
#include "contentlib/XmlConvert.h"

namespace Content {
namespace {

std::string Source(const std::string& relative) {
  std::ifstream in(std::string(CONTENT_SOURCE_DIR) + "/" + relative, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class LevelGenTest : public ::testing::Test {
 protected:
  LevelGenTest() {
    pugi::xml_document cfg;
    EXPECT_TRUE(mTable.ParseDays("career.tsv", Source("levels/career.tsv"), mFindings));
    EXPECT_TRUE(mTable.ParseMenus("menus.txt", Source("levels/menus.txt"), mFindings));
    EXPECT_TRUE(mTable.ParseNotes("notes.tsv", Source("levels/notes.tsv"), mFindings));
    EXPECT_TRUE(XmlConvert::Load("cfg.xml", Source("xml/cfg.xml"), cfg, mFindings));
    EXPECT_TRUE(mTable.ReadConfig("cfg.xml", cfg, mFindings));
  }

  const CareerDay& Day(int d) const { return mTable.days.at(static_cast<size_t>(d - 2)); }

  CareerTable mTable;
  Findings mFindings;
};

TEST_F(LevelGenTest, GoalsOfEveryGeneratedDay) {
  struct Goal {
    int day, normal, expert;
  };
  const Goal kGoals[] = {
      {2, 70, 110},   {3, 90, 140},   {4, 100, 150},  {5, 120, 180},  {6, 120, 180},  {7, 170, 260},  {8, 160, 250},
      {9, 260, 400},  {10, 260, 410}, {11, 250, 400}, {12, 340, 540}, {13, 290, 460}, {14, 300, 470}, {15, 320, 500},
      {16, 200, 320}, {17, 210, 340}, {18, 250, 400}, {19, 280, 450}, {20, 270, 420}, {21, 240, 380}, {22, 230, 360},
      {23, 290, 460}, {24, 260, 410}, {25, 380, 600}, {26, 320, 500}, {27, 310, 480}, {28, 400, 610}, {29, 390, 600},
      {30, 390, 590}, {31, 440, 660}, {32, 470, 690}, {33, 400, 590}, {34, 550, 810}, {35, 470, 670}, {36, 150, 330},
      {37, 180, 410}, {38, 240, 490}, {39, 200, 410}, {40, 230, 450}, {41, 230, 420}, {42, 270, 500}, {43, 350, 600},
      {44, 360, 620}, {45, 400, 690}, {46, 360, 630}, {47, 340, 590}, {48, 400, 710}, {49, 340, 610}, {50, 340, 620},
      {51, 330, 610}, {52, 380, 710}, {53, 310, 590}, {54, 440, 790}, {55, 400, 730}, {56, 400, 740}, {57, 420, 750},
      {58, 440, 780}, {59, 440, 780},
  };
  ASSERT_EQ(mTable.days.size(), std::size(kGoals));
  const LevelGen gen(mTable);
  for (const Goal& goal : kGoals) {
    ASSERT_TRUE(gen.Check(Day(goal.day), "career.tsv", mFindings)) << goal.day;
    const GeneratedDay drawn = gen.Draw(Day(goal.day));
    EXPECT_EQ(drawn.normal, goal.normal) << "day " << goal.day;
    EXPECT_EQ(drawn.expert, goal.expert) << "day " << goal.day;
    EXPECT_EQ(static_cast<int>(drawn.guests.size()), Day(goal.day).guests);
  }
}

TEST_F(LevelGenTest, FirstGuestsOfTheFirstBistroDay) {
  const GeneratedDay drawn = LevelGen(mTable).Draw(Day(16));
  const Guest expected[] = {{"3.3", "girl", {"0200", "sit", "0200"}},
                            {"12.6", "girl", {"0200"}},
                            {"20.5", "girl", {"0300"}},
                            {"29.0", "manager", {"0300"}},
                            {"35.4", "girl", {"2000"}}};
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(drawn.guests[i].time, expected[i].time) << i;
    EXPECT_EQ(drawn.guests[i].kind, expected[i].kind) << i;
    EXPECT_EQ(drawn.guests[i].entries, expected[i].entries) << i;
  }
}

TEST_F(LevelGenTest, DocumentCarriesOverridesUpgradeAndOnlyTheDaysObjects) {
  const LevelGen gen(mTable);
  const std::vector<std::string> scene = {
      "floor",        "table01", "worker01", "table06", "worker06", "status_hp_worker06", "client_sit_place04",
      "client_sit04", "boss",    "bonus"};
  // Day 46: rooftop, all six tables, four seats, dirtier workplaces, no upgrade offer.
  std::string xml = gen.Document(Day(46), gen.Draw(Day(46)), scene, "career.tsv", mFindings);
  EXPECT_TRUE(mFindings.Empty());
  EXPECT_NE(xml.find("<object name=\"worker06\" skin=\"pizza\"/>"), std::string::npos);
  EXPECT_NE(xml.find("<object name=\"client_sit_place04\" skin=\"c3\" anim=\"idle\"/>"), std::string::npos);
  EXPECT_NE(xml.find("tidiness_down=\"7.00\""), std::string::npos);  // 3.5 x 2.0
  EXPECT_EQ(xml.find("upgrade="), std::string::npos);
  // Day 17: bistro, upgrade offered, no pizza table and no fourth seat; 1.3 x 1.16 = 1.508.
  xml = gen.Document(Day(17), gen.Draw(Day(17)), scene, "career.tsv", mFindings);
  EXPECT_NE(xml.find("<level doc=\"cfg\\scene2.xml\" upgrade=\"func\">"), std::string::npos);
  EXPECT_EQ(xml.find("worker06"), std::string::npos);
  EXPECT_EQ(xml.find("client_sit04"), std::string::npos);
  EXPECT_NE(xml.find("name=\"student\" client_patience_speed=\"1.51\""), std::string::npos);
  EXPECT_EQ(xml.find("override_workers"), std::string::npos);
  // Day 16's factor 1.15 sits just below 1.5 in binary; the nudge writes what a person computes.
  xml = gen.Document(Day(16), gen.Draw(Day(16)), scene, "career.tsv", mFindings);
  EXPECT_NE(xml.find("name=\"student\" client_patience_speed=\"1.50\""), std::string::npos);
}

TEST_F(LevelGenTest, UnservableRowsAndUnknownObjectsAreFindings) {
  CareerTable broken = mTable;
  broken.days[0].menu = "Z";
  broken.days[1].tables.push_back(7);
  const LevelGen gen(broken);
  Findings findings;
  EXPECT_FALSE(gen.Check(broken.days[0], "career.tsv", findings));
  EXPECT_FALSE(gen.Check(broken.days[1], "career.tsv", findings));
  EXPECT_TRUE(findings.Mentions("menu 'Z'"));
  EXPECT_TRUE(findings.Mentions("table 7 has no worker"));
  gen.Document(mTable.days[2], gen.Draw(mTable.days[2]), {"floor", "fountain"}, "career.tsv", findings);
  EXPECT_TRUE(findings.Mentions("no rule for the scene object 'fountain'"));

  CareerTable table;
  EXPECT_FALSE(table.ParseDays("career.tsv", "# comment\n2\t1\t2\t8\n", findings));
  EXPECT_EQ(findings.List().back().line, 2);
  EXPECT_FALSE(table.ParseNotes("notes.tsv", "x\tA note.\n", findings));
}

TEST_F(LevelGenTest, BriefingsAndTheirMergeIntoTheTexts) {
  const auto texts = LevelGen(mTable).Briefings(16, 1, 2, 12, 200, 290);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].first, "breif_l16");
  EXPECT_EQ(texts[0].second, "Day 1 in the Harbour Bistro: 12 guests. Goal $200, expert $290.");
  EXPECT_EQ(texts[1].first, "breif_text_l16");
  EXPECT_EQ(texts[1].second,
            "Welcome to the Harbour Bistro! Tea comes from the tea pot. Serve 12 guests. Goal $200, expert $290.");
  EXPECT_EQ(LevelGen(mTable).Briefings(7, 7, 1, 11, 140, 210)[1].first, "breif_text_l07");
  EXPECT_EQ(mTable.Note(7), "Clean the tables before they break down.");  // 7 % 5 = 2, counted from 0

  pugi::xml_document loc;
  ASSERT_TRUE(XmlConvert::Load("loc.xml", "<root><loc id=\"breif_l2\" text=\"by hand\"/></root>", loc, mFindings));
  Findings findings;
  EXPECT_FALSE(LocMerge::Append(loc, {{"breif_l3", "x"}, {"breif_l2", "y"}}, "loc.xml", findings));
  EXPECT_TRUE(findings.Mentions("'breif_l2' is written by hand and by the level generator"));
  EXPECT_EQ(loc.document_element().select_nodes("loc").size(), 2u);  // the hand-written text stays
}

}  // namespace
}  // namespace Content
