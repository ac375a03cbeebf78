#include "platform/process/ProcessInfo.h"

#include <gtest/gtest.h>

namespace {

TEST(ProcessInfo, ProgramPathAndFolder) {
  const std::string& path = Velk::GetProgramPath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path[0], '/');
  EXPECT_EQ(path.substr(path.rfind('/') + 1), "test_platform");
  EXPECT_EQ(Velk::GetProgramFolder() + "/test_platform", path);
}

TEST(ProcessInfo, CommandLineIsRebuiltWithWindowsQuoting) {
  // Until main hands its arguments over, the process's own are used.
  std::string initial = GetCommandLineA();
  ASSERT_GE(initial.size(), 2u);
  EXPECT_EQ(initial[0], '"');
  EXPECT_NE(initial.find("test_platform\""), std::string::npos);

  const char* argv[] = {"/opt/my game/pelune", "-play", "a b", "", "say \"hi\"", "c:\\my dir\\", "x\\y"};
  Velk::SetCommandLine(7, argv);
  EXPECT_STREQ(GetCommandLineA(),
               "\"/opt/my game/pelune\" -play \"a b\" \"\" \"say \\\"hi\\\"\" \"c:\\my dir\\\\\" x\\y");

  const char* only[] = {"pelune"};
  Velk::SetCommandLine(1, only);
  EXPECT_STREQ(GetCommandLineA(), "\"pelune\"");
}

}  // namespace
