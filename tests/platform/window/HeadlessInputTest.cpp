#include "HeadlessWindowTest.h"

namespace {

using Input = HeadlessWindowTest;
using Velk::MouseButton;

// Key lParam bits: repeat count 1; 29 Alt held; 30 previously down; 31 released.
constexpr LPARAM kDown = 1;
constexpr LPARAM kAltDown = 1 | (1 << 29);
constexpr LPARAM kRepeat = 1 | (1 << 30);
constexpr LPARAM kUp = static_cast<LPARAM>(0xC0000001u);
constexpr LPARAM kAltUp = static_cast<LPARAM>(0xE0000001u);

TEST_F(Input, MouseRecordsCarryClientPointAndButtonState) {
  HWND hwnd = MakeWindow();
  headless->InjectMouseMove(hwnd, 10, 20);
  headless->InjectMouseButton(hwnd, MouseButton::Left, true, 10, 20);
  headless->InjectKey(hwnd, VK_SHIFT, true);
  headless->InjectMouseMove(hwnd, -5, 600);
  headless->InjectMouseButton(hwnd, MouseButton::Right, true, -5, 600);
  headless->InjectMouseButton(hwnd, MouseButton::Left, false, -5, 600);
  headless->InjectMouseButton(hwnd, MouseButton::Middle, true, 1, 2);
  headless->InjectMouseButton(hwnd, MouseButton::Middle, false, 1, 2);
  EXPECT_EQ(Drain(), (std::vector<Record>{
                         {hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(10, 20)},
                         {hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20)},
                         {hwnd, WM_KEYDOWN, VK_SHIFT, kDown},
                         {hwnd, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(-5, 600)},
                         {hwnd, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON | MK_SHIFT, MAKELPARAM(-5, 600)},
                         {hwnd, WM_LBUTTONUP, MK_RBUTTON | MK_SHIFT, MAKELPARAM(-5, 600)},
                         {hwnd, WM_MBUTTONDOWN, MK_RBUTTON | MK_MBUTTON | MK_SHIFT, MAKELPARAM(1, 2)},
                         {hwnd, WM_MBUTTONUP, MK_RBUTTON | MK_SHIFT, MAKELPARAM(1, 2)},
                     }));
}

TEST_F(Input, EverySecondClickIsADoubleClickOnlyForClassesThatAskForThem) {
  HWND dbl = MakeWindow(CS_DBLCLKS);
  HWND plain = MakeWindow(0);
  for (int clicks = 1; clicks <= 4; ++clicks) {
    headless->InjectMouseButton(dbl, MouseButton::Left, true, 1, 1, clicks);
    headless->InjectMouseButton(dbl, MouseButton::Left, false, 1, 1, clicks);
  }
  headless->InjectMouseButton(dbl, MouseButton::Right, true, 1, 1, 2);
  headless->InjectMouseButton(plain, MouseButton::Left, true, 1, 1, 2);
  std::vector<UINT> messages;
  for (const Record& r : Drain()) messages.push_back(r.message);
  EXPECT_EQ(messages,
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_LBUTTONDOWN,
                               WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_RBUTTONDBLCLK, WM_LBUTTONDOWN}));
}

TEST_F(Input, WheelCountsInUnitsOf120AtTheScreenPoint) {
  HWND hwnd = MakeWindow();  // client origin (103, 72)
  headless->InjectMouseMove(hwnd, 7, 8);
  Drain();
  headless->InjectWheel(hwnd, 1);
  headless->InjectWheel(hwnd, -2);
  headless->InjectWheel(hwnd, 0);
  EXPECT_EQ(Drain(),
            (std::vector<Record>{{hwnd, WM_MOUSEWHEEL, MAKELONG(0, 120), MAKELPARAM(110, 80)},
                                 {hwnd, WM_MOUSEWHEEL, MAKELONG(0, static_cast<WORD>(-240)), MAKELPARAM(110, 80)}}));
}

TEST_F(Input, KeysGiveVirtualCodesThenTheirCharacters) {
  HWND hwnd = MakeWindow();
  headless->InjectKey(hwnd, 'A', true);
  headless->InjectText(hwnd, "a");
  headless->InjectKey(hwnd, 'A', true, true);
  headless->InjectText(hwnd, "a");
  headless->InjectKey(hwnd, 'A', false);
  headless->InjectKey(hwnd, VK_RETURN, true);
  headless->InjectKey(hwnd, VK_TAB, true);
  headless->InjectKey(hwnd, VK_BACK, true);
  headless->InjectKey(hwnd, VK_ESCAPE, true);
  headless->InjectKey(hwnd, VK_DELETE, true);
  EXPECT_EQ(Drain(), (std::vector<Record>{
                         {hwnd, WM_KEYDOWN, 'A', kDown},
                         {hwnd, WM_CHAR, 'a', kDown},
                         {hwnd, WM_KEYDOWN, 'A', kRepeat},
                         {hwnd, WM_CHAR, 'a', kDown},
                         {hwnd, WM_KEYUP, 'A', kUp},
                         {hwnd, WM_KEYDOWN, VK_RETURN, kDown},
                         {hwnd, WM_CHAR, 13, kDown},
                         {hwnd, WM_KEYDOWN, VK_TAB, kDown},
                         {hwnd, WM_CHAR, 9, kDown},
                         {hwnd, WM_KEYDOWN, VK_BACK, kDown},
                         {hwnd, WM_CHAR, 8, kDown},
                         {hwnd, WM_KEYDOWN, VK_ESCAPE, kDown},
                         {hwnd, WM_CHAR, 27, kDown},
                         {hwnd, WM_KEYDOWN, VK_DELETE, kDown},
                     }));
}

TEST_F(Input, CtrlLettersGiveControlCharacters) {
  HWND hwnd = MakeWindow();
  headless->InjectKey(hwnd, VK_CONTROL, true);
  headless->InjectKey(hwnd, 'V', true);
  headless->InjectKey(hwnd, 'C', true);
  headless->InjectKey(hwnd, 'X', true);
  headless->InjectKey(hwnd, 'Z', true);
  headless->InjectKey(hwnd, '5', true);
  headless->InjectKey(hwnd, VK_CONTROL, false);
  std::vector<Record> chars;
  for (const Record& r : Drain()) {
    if (r.message == WM_CHAR) chars.push_back(r);
  }
  EXPECT_EQ(chars, (std::vector<Record>{{hwnd, WM_CHAR, 22, kDown},
                                        {hwnd, WM_CHAR, 3, kDown},
                                        {hwnd, WM_CHAR, 24, kDown},
                                        {hwnd, WM_CHAR, 26, kDown}}));
}

TEST_F(Input, AltAndF10AreSystemKeys) {
  HWND hwnd = MakeWindow();
  headless->InjectKey(hwnd, VK_MENU, true);
  headless->InjectKey(hwnd, VK_RETURN, true);
  headless->InjectKey(hwnd, VK_RETURN, false);
  headless->InjectText(hwnd, "r");
  headless->InjectKey(hwnd, VK_MENU, false);
  headless->InjectKey(hwnd, VK_F10, true);
  headless->InjectKey(hwnd, VK_F10, false);
  // Ctrl+Alt is not a system combination.
  headless->InjectKey(hwnd, VK_CONTROL, true);
  headless->InjectKey(hwnd, VK_MENU, true);
  headless->InjectKey(hwnd, 'D', true);
  EXPECT_EQ(Drain(), (std::vector<Record>{
                         {hwnd, WM_SYSKEYDOWN, VK_MENU, kAltDown},
                         {hwnd, WM_SYSKEYDOWN, VK_RETURN, kAltDown},
                         {hwnd, WM_SYSCHAR, 13, kAltDown},
                         {hwnd, WM_SYSKEYUP, VK_RETURN, kAltUp},
                         {hwnd, WM_SYSCHAR, 'r', kAltDown},
                         {hwnd, WM_SYSKEYUP, VK_MENU, kAltUp},
                         {hwnd, WM_SYSKEYDOWN, VK_F10, kDown},
                         {hwnd, WM_SYSKEYUP, VK_F10, kUp},
                         {hwnd, WM_KEYDOWN, VK_CONTROL, kDown},
                         {hwnd, WM_KEYDOWN, VK_MENU, kAltDown},
                         {hwnd, WM_KEYDOWN, 'D', kAltDown},
                     }));
}

TEST_F(Input, TextArrivesAsUtf16Units) {
  HWND hwnd = MakeWindow();
  headless->InjectText(hwnd, "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");  // e-acute, euro sign, U+1F600
  std::vector<WPARAM> units;
  for (const Record& r : Drain()) {
    EXPECT_EQ(r.message, WM_CHAR);
    units.push_back(r.wParam);
  }
  EXPECT_EQ(units, (std::vector<WPARAM>{0xE9, 0x20AC, 0xD83D, 0xDE00}));
}

TEST_F(Input, ActivationMinimiseAndRestore) {
  HWND hwnd = MakeWindow();
  HWND helper = MakeWindow(0, 0, RECT{0, 0, 0, 0});
  EXPECT_EQ(GetActiveWindow(), nullptr);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  EXPECT_EQ(GetActiveWindow(), hwnd);
  EXPECT_EQ(GetFocus(), hwnd);
  ShowWindow(hwnd, SW_MINIMIZE);
  WINDOWPLACEMENT wp;
  ASSERT_TRUE(GetWindowPlacement(hwnd, &wp));
  EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
  ShowWindow(hwnd, SW_RESTORE);
  ShowWindow(hwnd, SW_MAXIMIZE);
  ASSERT_TRUE(GetWindowPlacement(hwnd, &wp));
  EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
  EXPECT_EQ(wp.rcNormalPosition.left, 100);
  EXPECT_EQ(wp.rcNormalPosition.bottom, 675);
  EXPECT_EQ(Drain(), (std::vector<Record>{
                         {hwnd, WM_ACTIVATEAPP, TRUE, 0},
                         {helper, WM_ACTIVATEAPP, TRUE, 0},
                         {hwnd, WM_SIZE, SIZE_MINIMIZED, 0},
                         {hwnd, WM_ACTIVATEAPP, FALSE, 0},
                         {helper, WM_ACTIVATEAPP, FALSE, 0},
                         {hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(800, 600)},
                         {hwnd, WM_ACTIVATEAPP, TRUE, 0},
                         {helper, WM_ACTIVATEAPP, TRUE, 0},
                         {hwnd, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(800, 600)},
                     }));
}

TEST_F(Input, WindowManagerEventsBecomeRecords) {
  HWND hwnd = MakeWindow();
  headless->InjectFocus(hwnd, true);
  headless->InjectFocus(hwnd, true);  // no change, no record
  headless->InjectMove(hwnd, 203, 172);
  headless->InjectMove(hwnd, 203, 172);
  headless->InjectSize(hwnd, SIZE_MINIMIZED);
  headless->InjectSize(hwnd, SIZE_RESTORED);
  headless->InjectClose(hwnd);
  Velk::DisplayInfo display;
  display.desktop = Velk::DisplayMode{1280, 1024, 16, 60};
  display.workArea = RECT{0, 0, 1280, 1000};
  headless->InjectDisplayChange(display);
  headless->InjectFocus(hwnd, false);
  EXPECT_EQ(Drain(), (std::vector<Record>{
                         {hwnd, WM_ACTIVATEAPP, TRUE, 0},
                         {hwnd, WM_MOVE, 0, MAKELPARAM(203, 172)},
                         {hwnd, WM_SIZE, SIZE_MINIMIZED, 0},
                         {hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(800, 600)},
                         {hwnd, WM_CLOSE, 0, 0},
                         {hwnd, WM_DISPLAYCHANGE, 16, MAKELPARAM(1280, 1024)},
                         {hwnd, WM_ACTIVATEAPP, FALSE, 0},
                     }));
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 200);
  EXPECT_EQ(r.top, 150);
  EXPECT_TRUE(IsWindow(hwnd));  // WM_CLOSE is only a request
}

TEST_F(Input, AResizeByTheWindowManagerKeepsTheClientCornerAndTellsTheNewSize) {
  HWND hwnd = MakeWindow();  // client 800 x 600 at (103, 72)
  headless->InjectResize(hwnd, 1000, 700);
  headless->InjectResize(hwnd, 1000, 700);  // no change, no record
  headless->InjectSize(hwnd, SIZE_MAXIMIZED);
  headless->InjectResize(hwnd, 1280, 1000);  // a maximised window has told its state
  EXPECT_EQ(Drain(), (std::vector<Record>{
                         {hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(1000, 700)},
                         {hwnd, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(1000, 700)},
                     }));
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 1280);
  EXPECT_EQ(client.bottom, 1000);
  POINT corner{0, 0};
  ClientToScreen(hwnd, &corner);
  EXPECT_EQ(corner.x, 103);
  EXPECT_EQ(corner.y, 72);
}

}  // namespace
