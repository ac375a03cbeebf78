#include <gtest/gtest.h>

#include <set>

#include "graphics/SurfaceBlitTable.h"

namespace Velk {
namespace {

constexpr SurfaceBlitOp kOps[] = {SurfaceBlitOp::Copy, SurfaceBlitOp::Volatile, SurfaceBlitOp::Normal,
                                  SurfaceBlitOp::Additive};

// Every blit of every operation, depth and flag combination finds a row of its own operation that
// serves its depth, and no row is hidden behind the rows above it.
TEST(SurfaceBlitTableTest, EveryBlitFindsItsOwnOperationAndEveryRowIsReached) {
  std::set<const SurfaceBlitPath*> reached;
  for (SurfaceBlitOp op : kOps) {
    for (int depth : {16, 32}) {
      for (int flags = 0; flags < 128; ++flags) {
        auto bit = [flags](int i) { return ((flags >> i) & 1) != 0; };
        const SurfaceBlitCase blit{op, depth, bit(0), bit(1), bit(2), bit(3), bit(4), bit(5), bit(6)};
        const SurfaceBlitPath& path = FindSurfaceBlitPath(blit);
        ASSERT_EQ(path.op, op) << "depth " << depth << " flags " << flags;
        EXPECT_TRUE(path.depth == 0 || path.depth == depth) << "flags " << flags;
        EXPECT_NE(path.loop, nullptr);
        reached.insert(&path);
      }
    }
  }
  EXPECT_EQ(reached.size(), SurfaceBlitPaths().size());
}

}  // namespace
}  // namespace Velk
