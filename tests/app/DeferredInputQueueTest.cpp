#include "app/DeferredInputQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace Velk {
namespace {

std::vector<UINT> Feed(const std::vector<UINT>& messages) {
  DeferredInputQueue queue;
  for (UINT message : messages) queue.Add({nullptr, message, 0, 0});
  std::vector<UINT> kept;
  while (!queue.Empty()) kept.push_back(queue.TakeFront().message);
  return kept;
}

TEST(DeferredInputQueueTest, TimersCoalesceOnlyWhenAdjacent) {
  EXPECT_EQ(Feed({WM_TIMER, WM_TIMER}), (std::vector<UINT>{WM_TIMER}));
  EXPECT_EQ(Feed({WM_TIMER, WM_KEYDOWN, WM_TIMER}), (std::vector<UINT>{WM_TIMER, WM_KEYDOWN, WM_TIMER}));
}

TEST(DeferredInputQueueTest, NothingFollowsAClose) {
  EXPECT_EQ(Feed({WM_KEYDOWN, WM_CLOSE, WM_KEYUP, WM_TIMER, WM_CLOSE}), (std::vector<UINT>{WM_KEYDOWN, WM_CLOSE}));
}

TEST(DeferredInputQueueTest, OneSettingsChangeAtATime) {
  EXPECT_EQ(Feed({WM_DISPLAYCHANGE, WM_MOUSEMOVE, WM_SYSCOLORCHANGE, WM_DISPLAYCHANGE}),
            (std::vector<UINT>{WM_DISPLAYCHANGE, WM_MOUSEMOVE}));
  DeferredInputQueue queue;
  EXPECT_TRUE(queue.Add({nullptr, WM_SYSCOLORCHANGE, 0, 0}));
  queue.TakeFront();
  EXPECT_TRUE(queue.Add({nullptr, WM_DISPLAYCHANGE, 0, 0}));  // the earlier one was delivered
}

TEST(DeferredInputQueueTest, RecordsKeepTheirFields) {
  DeferredInputQueue queue;
  HWND window = reinterpret_cast<HWND>(0x1234);
  queue.Add({window, WM_MOUSEMOVE, 7, -3});
  DeferredInput record = queue.TakeFront();
  EXPECT_EQ(record.hwnd, window);
  EXPECT_EQ(record.wParam, 7u);
  EXPECT_EQ(record.lParam, -3);
}

}  // namespace
}  // namespace Velk
