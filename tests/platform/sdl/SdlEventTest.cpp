#include "platform/sdl/SdlBackend.h"
#include "platform/sdl/SdlCursorPlanes.h"
#include "platform/sdl/SdlKeyMap.h"
#include "platform/window/WinUser.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <tuple>
#include <vector>

namespace {

using Record = std::tuple<UINT, WPARAM, LPARAM>;  // every record here is for the one window

class SdlEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    auto backend = std::make_unique<Velk::SdlBackend>();
    if (!backend->Ready()) GTEST_SKIP() << "SDL dummy video is not available";
    Velk::Backend::Install(std::move(backend));
    WNDCLASSW wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"SdlTest";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, L"SdlTest", L"t", WS_POPUP | WS_CAPTION, 100, 50, 806, 625, nullptr, nullptr, nullptr,
                           nullptr);
    ASSERT_NE(hwnd, nullptr);
    auto* window = static_cast<SDL_Window*>(Velk::Backend::Get().NativeWindow(hwnd));
    ASSERT_NE(window, nullptr);
    id = SDL_GetWindowID(window);
    Drain();
  }

  void TearDown() override { Velk::Backend::Install(nullptr); }

  std::vector<Record> Drain() {
    std::vector<Record> records;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      EXPECT_EQ(msg.hwnd, hwnd);
      records.emplace_back(msg.message, msg.wParam, msg.lParam);
    }
    return records;
  }

  void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError(); }

  void Button(Uint32 type, Uint8 button, Uint8 clicks, int x, int y) {
    SDL_Event e{};
    e.type = type;
    e.button.windowID = id;
    e.button.button = button;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = clicks;
    e.button.x = x;
    e.button.y = y;
    Push(e);
  }

  void Key(Uint32 type, SDL_Keycode sym, Uint16 mod, Uint8 repeat = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.windowID = id;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    Push(e);
  }

  void Text(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = id;
    std::strncpy(e.text.text, utf8, sizeof(e.text.text) - 1);
    Push(e);
  }

  void WindowEvent(Uint8 event, int data1 = 0, int data2 = 0) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = id;
    e.window.event = event;
    e.window.data1 = data1;
    e.window.data2 = data2;
    Push(e);
  }

  HWND hwnd = nullptr;
  Uint32 id = 0;
};

constexpr LPARAM kDown = 1;
constexpr LPARAM kAltDown = 1 | (1 << 29);
constexpr LPARAM kRepeat = 1 | (1 << 30);
constexpr LPARAM kUp = static_cast<LPARAM>(0xC0000001u);

TEST_F(SdlEvents, MouseMovesButtonsAndDoubleClicks) {
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.windowID = id;
  motion.motion.x = 10;
  motion.motion.y = 20;
  Push(motion);
  Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 10, 20);
  Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1, 10, 20);
  Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 2, 10, 20);
  Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 2, 10, 20);
  Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 3, 10, 20);  // a triple click is a plain press
  Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 3, 10, 20);
  Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 2, 11, 21);
  Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 2, 11, 21);
  Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 1, 11, 21);  // no Windows message for it
  LPARAM at = MAKELPARAM(10, 20);
  LPARAM at2 = MAKELPARAM(11, 21);
  EXPECT_EQ(Drain(), (std::vector<Record>{
                         {WM_MOUSEMOVE, 0, at},
                         {WM_LBUTTONDOWN, MK_LBUTTON, at},
                         {WM_LBUTTONUP, 0, at},
                         {WM_LBUTTONDBLCLK, MK_LBUTTON, at},
                         {WM_LBUTTONUP, 0, at},
                         {WM_LBUTTONDOWN, MK_LBUTTON, at},
                         {WM_LBUTTONUP, 0, at},
                         {WM_RBUTTONDBLCLK, MK_RBUTTON, at2},
                         {WM_RBUTTONUP, 0, at2},
                     }));
}

TEST_F(SdlEvents, WheelNotchesAre120Each) {
  SDL_Event e{};
  e.type = SDL_MOUSEWHEEL;
  e.wheel.windowID = id;
  e.wheel.y = -1;
  e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
  Push(e);
  e.wheel.y = -3;
  e.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
  Push(e);
  auto records = Drain();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(std::get<0>(records[0]), WM_MOUSEWHEEL);
  EXPECT_EQ(static_cast<int16_t>(HIWORD(std::get<1>(records[0]))), -120);
  EXPECT_EQ(static_cast<int16_t>(HIWORD(std::get<1>(records[1]))), 360);
}

TEST_F(SdlEvents, KeysAndTextInTheOrderWindowsGivesThem) {
  Key(SDL_KEYDOWN, SDLK_a, KMOD_NONE);
  Text("a");
  Key(SDL_KEYDOWN, SDLK_a, KMOD_NONE, 1);
  Key(SDL_KEYUP, SDLK_a, KMOD_NONE);
  Key(SDL_KEYDOWN, SDLK_LCTRL, KMOD_LCTRL);
  Key(SDL_KEYDOWN, SDLK_v, KMOD_LCTRL);
  Key(SDL_KEYUP, SDLK_LCTRL, KMOD_NONE);
  Key(SDL_KEYDOWN, SDLK_RETURN, KMOD_NONE);
  Key(SDL_KEYDOWN, SDLK_ESCAPE, KMOD_NONE);
  Key(SDL_KEYDOWN, SDLK_BACKSPACE, KMOD_NONE);
  Key(SDL_KEYDOWN, SDLK_TAB, KMOD_LSHIFT);
  Text("\xE2\x82\xAC");
  EXPECT_EQ(Drain(), (std::vector<Record>{
                         {WM_KEYDOWN, 'A', kDown},
                         {WM_CHAR, 'a', kDown},
                         {WM_KEYDOWN, 'A', kRepeat},
                         {WM_KEYUP, 'A', kUp},
                         {WM_KEYDOWN, VK_CONTROL, kDown},
                         {WM_KEYDOWN, 'V', kDown},
                         {WM_CHAR, 22, kDown},
                         {WM_KEYUP, VK_CONTROL, kUp},
                         {WM_KEYDOWN, VK_RETURN, kDown},
                         {WM_CHAR, 13, kDown},
                         {WM_KEYDOWN, VK_ESCAPE, kDown},
                         {WM_CHAR, 27, kDown},
                         {WM_KEYDOWN, VK_BACK, kDown},
                         {WM_CHAR, 8, kDown},
                         {WM_KEYDOWN, VK_TAB, kDown},
                         {WM_CHAR, 9, kDown},
                         {WM_CHAR, 0x20AC, kDown},
                     }));
}

TEST_F(SdlEvents, AltHeldAndF10GiveSystemKeys) {
  Key(SDL_KEYDOWN, SDLK_LALT, KMOD_LALT);
  Key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT);
  Key(SDL_KEYDOWN, SDLK_F4, KMOD_RALT);
  Key(SDL_KEYUP, SDLK_LALT, KMOD_NONE);
  Key(SDL_KEYDOWN, SDLK_F10, KMOD_NONE);
  Key(SDL_KEYDOWN, SDLK_F11, KMOD_NONE);
  EXPECT_EQ(Drain(), (std::vector<Record>{
                         {WM_SYSKEYDOWN, VK_MENU, kAltDown},
                         {WM_SYSKEYDOWN, VK_RETURN, kAltDown},
                         {WM_SYSCHAR, 13, kAltDown},
                         {WM_SYSKEYDOWN, VK_F4, kAltDown},
                         {WM_SYSKEYUP, VK_MENU, kUp},
                         {WM_SYSKEYDOWN, VK_F10, kDown},
                         {WM_KEYDOWN, VK_F11, kDown},
                     }));
}

TEST_F(SdlEvents, WindowEventsBecomeWindowMessages) {
  WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  WindowEvent(SDL_WINDOWEVENT_MOVED, 300, 200);
  WindowEvent(SDL_WINDOWEVENT_EXPOSED);
  WindowEvent(SDL_WINDOWEVENT_MINIMIZED);
  WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  WindowEvent(SDL_WINDOWEVENT_RESTORED);
  WindowEvent(SDL_WINDOWEVENT_MAXIMIZED);
  WindowEvent(SDL_WINDOWEVENT_CLOSE);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  Push(quit);
  EXPECT_EQ(Drain(), (std::vector<Record>{
                         {WM_ACTIVATEAPP, TRUE, 0},
                         {WM_MOVE, 0, MAKELPARAM(300, 200)},
                         {WM_PAINT, 0, 0},
                         {WM_SIZE, SIZE_MINIMIZED, 0},
                         {WM_ACTIVATEAPP, FALSE, 0},
                         {WM_SIZE, SIZE_RESTORED, MAKELPARAM(800, 600)},
                         {WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(800, 600)},
                         {WM_CLOSE, 0, 0},
                         {WM_CLOSE, 0, 0},
                     }));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 297);  // the event gives the client origin
  EXPECT_EQ(r.top, 178);
}

TEST_F(SdlEvents, PointerLeavingTheWindow) {
  ShowWindow(hwnd, SW_SHOW);
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.windowID = id;
  motion.motion.x = 5;
  motion.motion.y = 6;
  Push(motion);
  Drain();
  POINT pt;
  GetCursorPos(&pt);
  EXPECT_EQ(pt.x, 108);
  EXPECT_EQ(pt.y, 78);
  EXPECT_EQ(WindowFromPoint(pt), hwnd);
  WindowEvent(SDL_WINDOWEVENT_LEAVE);
  Drain();
  EXPECT_EQ(WindowFromPoint(pt), nullptr);
}

TEST_F(SdlEvents, DisplayEventsAnnounceTheDesktop) {
  SDL_DisplayMode mode;
  ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &mode), 0);
  SDL_Event e{};
  e.type = SDL_DISPLAYEVENT;
  e.display.event = SDL_DISPLAYEVENT_ORIENTATION;
  Push(e);
  WPARAM bits = SDL_BYTESPERPIXEL(mode.format) * 8;
  EXPECT_EQ(Drain(), (std::vector<Record>{{WM_DISPLAYCHANGE, bits, MAKELPARAM(mode.w, mode.h)}}));
}

TEST(SdlKeyMap, KeysTheProgramTests) {
  EXPECT_EQ(Velk::VirtualKeyFromSdl(SDLK_a), static_cast<UINT>('A'));
  EXPECT_EQ(Velk::VirtualKeyFromSdl(SDLK_z), static_cast<UINT>('Z'));
  EXPECT_EQ(Velk::VirtualKeyFromSdl(SDLK_0), static_cast<UINT>('0'));
  EXPECT_EQ(Velk::VirtualKeyFromSdl(SDLK_F12), 0x7Bu);
  EXPECT_EQ(Velk::VirtualKeyFromSdl(SDLK_RSHIFT), 16u);
  EXPECT_EQ(Velk::VirtualKeyFromSdl(SDLK_RCTRL), 17u);
  EXPECT_EQ(Velk::VirtualKeyFromSdl(SDLK_HOME), 36u);
  EXPECT_EQ(Velk::VirtualKeyFromSdl(SDLK_END), 35u);
  EXPECT_EQ(Velk::VirtualKeyFromSdl(SDLK_LEFT), 37u);
  EXPECT_EQ(Velk::VirtualKeyFromSdl(SDLK_RIGHT), 39u);
  EXPECT_EQ(Velk::VirtualKeyFromSdl(SDLK_DELETE), 46u);
  EXPECT_EQ(Velk::VirtualKeyFromSdl(SDLK_KP_ENTER), 13u);
  EXPECT_EQ(Velk::VirtualKeyFromSdl(SDLK_KP_5), 0x65u);
  EXPECT_EQ(Velk::VirtualKeyFromSdl(SDLK_APPLICATION), 0u);
}

TEST(SdlCursorPlanes, WindowsMasksBecomeSdlMasks) {
  // One byte per pixel kind, all eight bits alike: black, white, transparent, inverted.
  std::vector<BYTE> andPlane{0x00, 0x00, 0xFF, 0xFF, 0x0F};
  std::vector<BYTE> xorPlane{0x00, 0xFF, 0x00, 0xFF, 0x3C};
  auto planes = Velk::ToSdlCursorPlanes(andPlane, xorPlane);
  EXPECT_EQ(planes.mask, (std::vector<BYTE>{0xFF, 0xFF, 0x00, 0x00, 0xF0}));
  EXPECT_EQ(planes.data, (std::vector<BYTE>{0xFF, 0x00, 0x00, 0xFF, 0xCC}));
}

}  // namespace
