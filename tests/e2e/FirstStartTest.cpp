// A first start over an empty home asks for a name before anything else: the main page neither
// shows nor answers behind the name dialog, and comes up once a name is entered.
#include <gtest/gtest.h>

#include "e2e/GameRun.h"

namespace E2e {
namespace {

TEST(FirstStart, TheMainPageWaitsForAName) {
  GameRun run("FirstStart.TheMainPageWaitsForAName");
  const PhaseResult result = run.Run("name_before_the_menu");
  EXPECT_TRUE(result.Passed()) << result.Transcript();
  for (const char* step : {"ok no main page behind the first name dialog", "ok the clicks opened nothing",
                           "no book around the name dialog", "greeting Hello, Ann!", "finished"}) {
    EXPECT_TRUE(result.HasStep(step)) << step << "\n" << result.Transcript();
  }
}

}  // namespace
}  // namespace E2e
