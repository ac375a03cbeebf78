// The compact grid against a full grid of cells filled row by row, as the z-order once kept it: random
// lines claimed in random order, then every cell and every "next owner below" read from both.
#include "scene/ZOwnerGrid.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 40, kHeight = 60;

struct FullGrid {
  std::vector<ZOwnerGrid::Cell> cells = std::vector<ZOwnerGrid::Cell>(kWidth * kHeight);

  ZOwnerGrid::Cell& At(int x, int y) { return cells[static_cast<size_t>(x * kHeight + y)]; }
  void Claim(int x, int y, QCItemPart* part) {
    for (int r = y; r < kHeight; ++r) {
      ZOwnerGrid::Cell& cell = At(x, r);
      if (cell.distance != 0 && cell.distance <= r - y + 1) break;
      cell = ZOwnerGrid::Cell{r - y + 1, part};
    }
  }
  QCItemPart* NextOwnerBelow(int x, int y, const QCItemPart* part) {
    for (int r = y + 1; r < kHeight; ++r)
      if (QCItemPart* below = At(x, r).owner; below && below != part) return below;
    return nullptr;
  }
};

// Stand-ins for parts: only their addresses are compared.
QCItemPart* PartNumber(int i) { return reinterpret_cast<QCItemPart*>(static_cast<uintptr_t>(16 * (i + 1))); }

TEST(ZOwnerGrid, GivesTheAnswersOfTheFullGrid) {
  std::mt19937 rng(17);
  for (int round = 0; round < 20; ++round) {
    FullGrid full;
    ZOwnerGrid compact(kWidth, kHeight);
    // Few rows, so that lines often begin on the same row; a claim may begin below the grid.
    for (int line = 0; line < 30; ++line) {
      const int x = static_cast<int>(rng() % kWidth), y = static_cast<int>(rng() % (kHeight + 2));
      QCItemPart* part = PartNumber(static_cast<int>(rng() % 12));
      full.Claim(x, y, part);
      compact.Claim(x, y, part);
    }
    for (int x = 0; x < kWidth; ++x)
      for (int y = 0; y < kHeight; ++y) {
        const ZOwnerGrid::Cell want = full.At(x, y), got = compact.At(x, y);
        ASSERT_EQ(want.distance, got.distance) << x << ", " << y;
        ASSERT_EQ(want.owner, got.owner) << x << ", " << y;
        for (int i = 0; i < 12; ++i)
          ASSERT_EQ(full.NextOwnerBelow(x, y, PartNumber(i)), compact.NextOwnerBelow(x, y, PartNumber(i)))
              << x << ", " << y;
      }
    compact.Clear();
    EXPECT_EQ(0, compact.At(3, 5).distance);
    EXPECT_EQ(nullptr, compact.NextOwnerBelow(3, 0, nullptr));
  }
}

}  // namespace
