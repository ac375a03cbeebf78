#include "HeadlessWindowTest.h"

#include <thread>

namespace {

using Queue = HeadlessWindowTest;

TEST_F(Queue, PostedRecordsComeBackInOrderAndFilters) {
  HWND a = MakeWindow();
  HWND b = MakeWindow(0);
  PostMessageW(a, WM_USER + 1, 7, -3);
  PostMessageW(b, WM_USER + 2, 8, 0);
  PostMessageW(a, WM_KEYDOWN, 'A', 1);

  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, b, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_USER + 2u);
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>('A'));

  EXPECT_EQ(Drain(), (std::vector<Record>{{a, WM_USER + 1, 7, -3}, {b, WM_USER + 2, 8, 0}}));
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Queue, DispatchAndSendReachTheProcedure) {
  HWND hwnd = MakeWindow();
  PostMessageW(hwnd, WM_USER, 1, 2);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(TranslateMessage(&msg), FALSE);
  DispatchMessageW(&msg);
  SendMessageW(hwnd, WM_USER + 5, 3, 4);
  EXPECT_EQ(sent(), (std::vector<Record>{{hwnd, WM_USER, 1, 2}, {hwnd, WM_USER + 5, 3, 4}}));
  EXPECT_TRUE(Drain().empty());  // sending queues nothing
}

TEST_F(Queue, BroadcastReachesEveryWindow) {
  HWND a = MakeWindow();
  HWND b = MakeWindow(0);
  UINT notify = RegisterWindowMessageW(L"PeluneNotify");
  PostMessageW(HWND_BROADCAST, notify, 0, 0);
  EXPECT_EQ(Drain(), (std::vector<Record>{{a, notify, 0, 0}, {b, notify, 0, 0}}));
}

TEST_F(Queue, RegisteredMessagesAreStablePerName) {
  UINT first = RegisterWindowMessageW(L"QueueTestNotify");
  EXPECT_GE(first, 0xC000u);
  EXPECT_LE(first, 0xFFFFu);
  EXPECT_EQ(RegisterWindowMessageA("queuetestnotify"), first);
  EXPECT_NE(RegisterWindowMessageW(L"QueueTestOther"), first);
  EXPECT_EQ(RegisterWindowMessageW(L""), 0u);
}

TEST_F(Queue, DestroyedWindowLosesItsRecordsAndTimers) {
  HWND gone = MakeWindow();
  HWND kept = MakeWindow(0);
  PostMessageW(gone, WM_USER, 0, 0);
  PostMessageW(kept, WM_USER, 0, 0);
  SetTimer(gone, 1, 10, nullptr);
  ASSERT_TRUE(DestroyWindow(gone));
  EXPECT_EQ(sent(), (std::vector<Record>{{gone, WM_DESTROY, 0, 0}}));
  EXPECT_FALSE(IsWindow(gone));
  EXPECT_FALSE(DestroyWindow(gone));
  EXPECT_FALSE(PostMessageW(gone, WM_USER, 0, 0));
  Velk::Clock::Advance(50);
  EXPECT_EQ(Drain(), (std::vector<Record>{{kept, WM_USER, 0, 0}}));
}

TEST_F(Queue, PaintIsPendingOncePerWindow) {
  HWND hwnd = MakeWindow();
  headless->InjectExpose(hwnd);
  PostMessageW(hwnd, WM_USER, 0, 0);
  headless->InjectExpose(hwnd);
  EXPECT_EQ(Drain(), (std::vector<Record>{{hwnd, WM_PAINT, 0, 0}, {hwnd, WM_USER, 0, 0}}));
}

TEST_F(Queue, PeriodicTimerYieldsOneMessagePerTakeAndNeverABurst) {
  HWND hwnd = MakeWindow();
  ASSERT_EQ(SetTimer(hwnd, 100, 10, nullptr), 100u);
  Velk::Clock::Advance(9);
  EXPECT_TRUE(Drain().empty());
  Velk::Clock::Advance(1);
  EXPECT_EQ(Drain(), (std::vector<Record>{{hwnd, WM_TIMER, 100, 0}}));

  // Behind by several periods: still one, and the next comes a whole period after it was taken.
  Velk::Clock::Advance(35);
  EXPECT_EQ(Drain().size(), 1u);
  Velk::Clock::Advance(9);
  EXPECT_TRUE(Drain().empty());
  Velk::Clock::Advance(1);
  EXPECT_EQ(Drain().size(), 1u);

  // Posted records go first; a timer left in the queue is not taken twice.
  PostMessageW(hwnd, WM_USER, 0, 0);
  Velk::Clock::Advance(10);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE));
  EXPECT_EQ(Drain(), (std::vector<Record>{{hwnd, WM_USER, 0, 0}, {hwnd, WM_TIMER, 100, 0}}));

  EXPECT_TRUE(KillTimer(hwnd, 100));
  EXPECT_FALSE(KillTimer(hwnd, 100));
  Velk::Clock::Advance(100);
  EXPECT_TRUE(Drain().empty());
}

TEST_F(Queue, TimersRunAcrossTheTickWrap) {
  Velk::Clock::UseManual(0xFFFFFFFAu);
  HWND hwnd = MakeWindow();
  SetTimer(hwnd, 1, 10, nullptr);
  Velk::Clock::Advance(9);
  EXPECT_TRUE(Drain().empty());
  Velk::Clock::Advance(1);
  EXPECT_EQ(Drain(), (std::vector<Record>{{hwnd, WM_TIMER, 1, 0}}));
}

TEST_F(Queue, GetMessageWaitsForTheTimerAndEndsAtQuit) {
  HWND hwnd = MakeWindow();
  SetTimer(hwnd, 7, 40, nullptr);
  MSG msg;
  ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);  // the manual clock moves while it waits
  EXPECT_EQ(msg.message, WM_TIMER);
  EXPECT_EQ(GetTickCount(), 1040u);
  PostQuitMessage(3);
  EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
  EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(Queue, DefaultProcessingClosesOnCloseAndAltF4) {
  HWND hwnd = MakeWindow();
  headless->InjectKey(hwnd, VK_MENU, true);
  headless->InjectKey(hwnd, VK_F4, true);
  for (const Record& r : Drain()) SendMessageW(r.hwnd, r.message, r.wParam, r.lParam);
  EXPECT_FALSE(IsWindow(hwnd));
  ASSERT_GE(sent().size(), 4u);
  EXPECT_EQ(sent()[2], (Record{hwnd, WM_SYSCOMMAND, SC_CLOSE, 0}));
  EXPECT_EQ(sent()[3], (Record{hwnd, WM_CLOSE, 0, 0}));
  EXPECT_EQ(sent().back(), (Record{hwnd, WM_DESTROY, 0, 0}));
}

TEST_F(Queue, PostingFromOtherThreadsKeepsEachThreadsOrder) {
  HWND hwnd = MakeWindow();
  constexpr int kThreads = 4;
  constexpr int kEach = 500;
  std::vector<std::thread> posters;
  for (int t = 0; t < kThreads; ++t) {
    posters.emplace_back([=] {
      for (int i = 0; i < kEach; ++i) PostMessageW(hwnd, WM_USER + t, static_cast<WPARAM>(i), 0);
    });
  }
  std::vector<WPARAM> next(kThreads, 0);
  int taken = 0;
  MSG msg;
  while (taken < kThreads * kEach) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) continue;
    ASSERT_EQ(msg.wParam, next[msg.message - WM_USER]++);
    ++taken;
  }
  for (auto& poster : posters) poster.join();
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace
