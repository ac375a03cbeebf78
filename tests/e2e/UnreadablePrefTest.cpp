// A pref.dat the player may not read (mode 000): the game says that the saved progress is there and
// cannot be read, names the file, and leaves it as it was, a profile made afterwards too.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/GameRun.h"
#include "e2e/PlayerUser.h"
#include "e2e/PrefFile.h"

namespace E2e {
namespace {

namespace fs = std::filesystem;

TEST(UnreadablePref, IsToldAsUnreadableAndLeftAsItWas) {
  PlayerUser player;
  if (!player.Unavailable().empty()) GTEST_SKIP() << player.Unavailable();
  GameRun run("UnreadablePref.IsToldAsUnreadableAndLeftAsItWas", player.Folder());
  ASSERT_TRUE(run.Run("two_profiles").Passed());
  const std::string before = PrefFile(run.PrefPath()).Bytes();
  for (const fs::path& folder : {run.DataHome().parent_path(), run.OutFolder()}) player.Give(folder);
  fs::permissions(run.PrefPath(), fs::perms::none);
  // The phase makes one more profile, which must not be written over the file.
  const PhaseResult result = player.Play(run, "cut_pref");
  EXPECT_TRUE(result.Passed()) << result.Transcript();
  const std::vector<std::string> boxes = result.Boxes();
  ASSERT_EQ(boxes.size(), 1u) << result.Transcript();
  EXPECT_TRUE(
      boxes[0].ends_with("Your saved progress could not be read, so the game starts afresh and will not keep "
                         "this game's progress. The file is left untouched at " +
                         run.PrefPath().string()))
      << boxes[0];
  EXPECT_EQ(fs::status(run.PrefPath()).permissions(), fs::perms::none);
  fs::permissions(run.PrefPath(), fs::perms::owner_read);  // for this test to read it when not root
  EXPECT_TRUE(PrefFile(run.PrefPath()).Bytes() == before) << "pref.dat changed";
  EXPECT_FALSE(fs::exists(run.PrefPath().string() + ".bad"));
}

}  // namespace
}  // namespace E2e
