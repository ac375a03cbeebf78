// The memory road (no 3-D device, as after a player answered No to keeping it) draws the same menu
// as the 3-D road: its golden stands beside the 3-D road's and the two agree within what the two
// roads' filtering allows.
#include <gtest/gtest.h>

#include "e2e/FrameGrid.h"
#include "e2e/GameRun.h"

namespace E2e {
namespace {

// The 3-D road filters the widget pictures bilinearly where the memory road samples them; over a
// cell of 25 x 25 pixels that moves an average by a few levels (9 at most when the goldens were
// made), within what the playthrough's checkpoints allow a cell.
constexpr int kRoadTolerance = 12;

TEST(MemoryRoad, TheMenuAndTheNameDialogShowAsOnTheThreeDRoad) {
  GameRun run("MemoryRoad.Menu");
  PhaseOptions options;
  options.env = {{"VELK_FORCE_SOFTWARE", "1"}};
  const PhaseResult result = run.Run("memory_road", options);
  ASSERT_TRUE(result.Passed()) << result.Transcript();

  const std::optional<FrameGrid> memory = FrameGrid::Golden("memory_road/memory_name_dialog");
  const std::optional<FrameGrid> threeD = FrameGrid::Golden("name_dialog");
  ASSERT_TRUE(memory && threeD);
  int cell = 0;
  EXPECT_LE(memory->MaxDistance(*threeD, &cell), kRoadTolerance)
      << "cell " << cell % FrameGrid::kColumns << "," << cell / FrameGrid::kColumns;
}

}  // namespace
}  // namespace E2e
