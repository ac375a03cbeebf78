#include "HeadlessWindowTest.h"

#include "platform/metrics/SystemMetrics.h"

namespace {

using Windows = HeadlessWindowTest;

constexpr DWORD kWindowed = 0x82CA0000u;

TEST_F(Windows, ClassesAreRegisteredOncePerNameAndNeedAProcedure) {
  WNDCLASSW wc;
  wc.lpfnWndProc = RecordingProc;
  wc.lpszClassName = L"MainWindow";
  EXPECT_NE(RegisterClassW(&wc), 0);
  WNDCLASSA narrow;
  narrow.lpfnWndProc = RecordingProc;
  narrow.lpszClassName = "MAINWINDOW";
  EXPECT_EQ(RegisterClassA(&narrow), 0);
  wc.lpfnWndProc = nullptr;
  wc.lpszClassName = L"NoProc";
  EXPECT_EQ(RegisterClassW(&wc), 0);
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "x", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
  HWND hwnd = CreateWindowExA(0, "mainwindow", "x", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(sent().front(), (Record{hwnd, WM_CREATE, 0, 0}));
}

TEST_F(Windows, CreationCanBeRefusedByTheProcedure) {
  WNDCLASSW wc;
  wc.lpfnWndProc = [](HWND, UINT message, WPARAM, LPARAM) -> LRESULT { return message == WM_CREATE ? -1 : 0; };
  wc.lpszClassName = L"Refuses";
  RegisterClassW(&wc);
  EXPECT_EQ(CreateWindowExW(0, L"Refuses", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(Windows, UserDataRoundTripsAFullPointer) {
  HWND hwnd = MakeWindow();
  int object = 0;
  EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), 0);
  EXPECT_EQ(SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&object)), 0);
  EXPECT_EQ(reinterpret_cast<int*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)), &object);
  EXPECT_EQ(SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0), reinterpret_cast<LONG_PTR>(&object));
  DestroyWindow(hwnd);
  EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), 0);
}

TEST_F(Windows, WindowedGameWindowIsFramedAndCentredInTheWorkArea) {
  RECT outer{0, 0, 800, 600};
  ASSERT_TRUE(AdjustWindowRect(&outer, kWindowed, FALSE));
  EXPECT_EQ(outer.left, -3);
  EXPECT_EQ(outer.top, -22);
  EXPECT_EQ(outer.right - outer.left, 806);
  EXPECT_EQ(outer.bottom - outer.top, 625);
  RECT popup{0, 0, 800, 600};
  AdjustWindowRect(&popup, WS_POPUP | WS_VISIBLE, FALSE);
  EXPECT_EQ(popup.right - popup.left, 800);

  RECT work{};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));  // 1024 x 738 headless
  HWND hwnd = MakeWindow(CS_DBLCLKS, kWindowed, RECT{64, 64, 870, 689});
  // x = (1024 - 806) / 2 = 109; y = trunc(0.382 * (738 - 625)) = 43
  ASSERT_TRUE(MoveWindow(hwnd, 109, 43, 806, 625, FALSE));
  EXPECT_EQ(sent(), (std::vector<Record>{{hwnd, WM_MOVE, 0, MAKELPARAM(112, 65)}}));
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 800);
  EXPECT_EQ(client.bottom, 600);
  POINT pt{0, 0};
  ClientToScreen(hwnd, &pt);
  EXPECT_EQ(pt.x, 112);
  EXPECT_EQ(pt.y, 65);
  pt = POINT{0, 0};
  ScreenToClient(hwnd, &pt);
  EXPECT_EQ(pt.x, -112);
  EXPECT_EQ(pt.y, -65);
}

TEST_F(Windows, ShowWindowReportsWhetherItWasVisible) {
  HWND hwnd = MakeWindow();
  EXPECT_FALSE(ShowWindow(hwnd, SW_SHOW));
  EXPECT_TRUE(ShowWindow(hwnd, SW_HIDE));
  EXPECT_FALSE(ShowWindow(hwnd, SW_SHOWNOACTIVATE));
  EXPECT_TRUE(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE);
  HWND visible = MakeWindow(0, WS_POPUP | WS_VISIBLE);
  EXPECT_TRUE(GetWindowLongPtrW(visible, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(GetActiveWindow(), visible);
}

TEST_F(Windows, CaptureIsHeldByOneWindowAndReleasedOnDestroy) {
  HWND a = MakeWindow();
  HWND b = MakeWindow(0);
  EXPECT_EQ(SetCapture(a), nullptr);
  EXPECT_TRUE(headless->MouseCaptured());
  EXPECT_EQ(SetCapture(b), a);
  EXPECT_EQ(GetCapture(), b);
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(headless->MouseCaptured());
  SetCapture(a);
  DestroyWindow(a);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(headless->MouseCaptured());
}

TEST_F(Windows, PointerPositionAndWindowUnderIt) {
  HWND hwnd = MakeWindow();  // outer (100, 50)-(906, 675), client origin (103, 72)
  ShowWindow(hwnd, SW_SHOW);
  headless->InjectMouseMove(hwnd, 30, 40);
  POINT pt;
  ASSERT_TRUE(GetCursorPos(&pt));
  EXPECT_EQ(pt.x, 133);
  EXPECT_EQ(pt.y, 112);
  EXPECT_EQ(WindowFromPoint(pt), hwnd);
  EXPECT_EQ(WindowFromPoint(POINT{905, 674}), hwnd);
  EXPECT_EQ(WindowFromPoint(POINT{906, 100}), nullptr);
  // Once the pointer has left for another program, the window is not under it any more.
  headless->InjectMouseLeave(hwnd);
  EXPECT_EQ(WindowFromPoint(pt), nullptr);
  ShowWindow(hwnd, SW_MINIMIZE);
  headless->InjectMouseMove(hwnd, 30, 40);
  EXPECT_EQ(WindowFromPoint(pt), nullptr);
}

TEST_F(Windows, ForegroundAndFocus) {
  HWND a = MakeWindow();
  HWND b = MakeWindow(0);
  EXPECT_TRUE(SetForegroundWindow(a));
  EXPECT_EQ(GetForegroundWindow(), a);
  EXPECT_EQ(SetFocus(b), a);
  EXPECT_EQ(GetFocus(), b);
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(SetFocus(reinterpret_cast<HWND>(0x1234)), nullptr);
  EXPECT_EQ(GetFocus(), b);
}

TEST_F(Windows, FailedCreationLeavesNoWindowBehind) {
  headless->FailWindowCreation(true);
  WNDCLASSW wc;
  wc.lpfnWndProc = RecordingProc;
  wc.lpszClassName = L"Fails";
  RegisterClassW(&wc);
  EXPECT_EQ(CreateWindowExW(0, L"Fails", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_TRUE(sent().empty());
  // A window without a client area needs nothing of the back end.
  HWND helper = CreateWindowExW(0, L"Fails", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  EXPECT_NE(helper, nullptr);
  headless->InjectFocus(helper, true);
  EXPECT_EQ(Drain(), (std::vector<Record>{{helper, WM_ACTIVATEAPP, TRUE, 0}}));
  MSG msg;
  EXPECT_EQ(GetMessageW(&msg, reinterpret_cast<HWND>(0x4321), 0, 0), -1);
}

}  // namespace
