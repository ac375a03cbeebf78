// The curve table's reader: rows of both kinds, and a clear refusal of a row it cannot read.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "balance/BalanceTable.h"
#include "platform/ScratchFolder.h"

namespace {

class BalanceTableTest : public ::testing::Test {
 protected:
  bool Read(const std::string& text, std::string& error) {
    { std::ofstream(mPath) << text; }
    return mTable.Read(mPath.string(), error);
  }

  // A folder of each test's own: CTest runs the two tests side by side.
  ScratchFolder mScratch;
  std::filesystem::path mPath = mScratch / "balance.tsv";
  Balance::BalanceTable mTable;
};

TEST_F(BalanceTableTest, ReadsCareerAndSurvivalRows) {
  std::string error;
  ASSERT_TRUE(Read("# comment\nl1\t1.8\t2.4\tyes\nl2 1.5 2.0 no\n\ne3\t180\t1800\n", error)) << error;
  ASSERT_NE(mTable.Career(1), nullptr);
  EXPECT_DOUBLE_EQ(mTable.Career(1)->low, 1.8);
  EXPECT_TRUE(mTable.Career(1)->expert);
  EXPECT_FALSE(mTable.Career(2)->expert);
  EXPECT_DOUBLE_EQ(mTable.Survival(3)->high, 1800.0);
  EXPECT_EQ(mTable.Career(3), nullptr);
  EXPECT_EQ(mTable.Survival(1), nullptr);
}

TEST_F(BalanceTableTest, RefusesRowsItCannotRead) {
  for (const char* row : {"l4 1.5 2.0\n", "l4 1.5 2.0 maybe\n", "x4 1.5 2.0 no\n", "l4 2.0 1.5 no\n", "e1 180\n"}) {
    std::string error;
    EXPECT_FALSE(Read(row, error)) << row;
    EXPECT_NE(error.find(":1:"), std::string::npos) << error;
  }
  std::string error;
  EXPECT_FALSE(mTable.Read("/nonexistent/balance.tsv", error));
  EXPECT_NE(error.find("cannot be read"), std::string::npos);
}

}  // namespace
