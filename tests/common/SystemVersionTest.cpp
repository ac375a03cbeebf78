#include <gtest/gtest.h>

#include "common/DataFolder.h"
#include "common/SystemVersion.h"
#include "platform/version/Version.h"

namespace {

TEST(SystemVersion, FailedQueriesAnswerFalseAndAreRepeatedUntilOneSucceeds) {
  Velk::SystemVersion version;
  Velk::SetVersionQueryFails(true);
  EXPECT_FALSE(version.IsWindowsVistaOrLater());
  EXPECT_FALSE(version.IsWindows9x());
  Velk::SetVersionQueryFails(false);
  EXPECT_TRUE(version.IsWindowsVistaOrLater());
  EXPECT_FALSE(version.IsWindows9x());
  Velk::SetVersionQueryFails(true);  // the first answer is kept
  EXPECT_TRUE(version.IsWindowsVistaOrLater());
  Velk::SetVersionQueryFails(false);
}

TEST(DataFolder, GetsATrailingSeparator) {
  Velk::SetDataFolder("/home/u/.local/share\\Maker\\Game");
  EXPECT_EQ(Velk::GetDataFolder(), "/home/u/.local/share\\Maker\\Game\\");
  Velk::SetDataFolder("/data/");
  EXPECT_EQ(Velk::GetDataFolder(), "/data/");
  Velk::SetDataFolder("");
  EXPECT_EQ(Velk::GetDataFolder(), "");
}

}  // namespace
