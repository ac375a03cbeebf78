// A first start over an empty home asks for a name before anything else: the main page neither
// shows nor answers behind the name dialog, and comes up once a name is entered; keys typed on the
// pages after that make no profile.
#include <gtest/gtest.h>

#include "e2e/GameRun.h"
#include "e2e/PrefFile.h"

namespace E2e {
namespace {

TEST(FirstStart, TheMainPageWaitsForAName) {
  GameRun run("FirstStart.TheMainPageWaitsForAName");
  const PhaseResult result = run.Run("name_before_the_menu");
  EXPECT_TRUE(result.Passed()) << result.Transcript();
  for (const char* step : {"ok no main page behind the first name dialog", "ok no bookmark without the book",
                           "ok the clicks opened nothing", "no book around the name dialog", "greeting Hello, Ann!",
                           "ok typing on the pages made no profile", "current profile Ann", "finished"}) {
    EXPECT_TRUE(result.HasStep(step)) << step << "\n" << result.Transcript();
  }
  std::vector<std::wstring> names;
  for (const StoredProfile& profile : PrefFile(run.PrefPath()).Profiles()) names.push_back(profile.name);
  EXPECT_EQ(names, std::vector<std::wstring>{L"Ann"});
}

}  // namespace
}  // namespace E2e
