// The keyboard focus and X errors on an X screen with no window manager: the process-wide error
// filter drops only the errors of the connection that claimed it, and the game acts on a click
// after another client's window took the focus and went, leaving it to nobody. Under a window
// manager, a box no window of the program owns stays over the full-screen window of another copy.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

#include "e2e/FindProgram.h"
#include "e2e/FrameGrid.h"
#include "e2e/GameRun.h"
#include "e2e/PeluneOnScreen.h"
#include "e2e/Polling.h"
#include "e2e/XvfbScreen.h"
#include "platform/sdl/XErrorFilter.h"
#include "platform/sdl/XProcessWindows.h"

// After the program's own headers: Xlib's macros (None, CursorShape, ...) would change them.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace E2e {
namespace {

constexpr int kStartLimitMs = 120000 * kPhaseSlowdown;
constexpr int kLimitMs = 10000 * kPhaseSlowdown;
// The name dialog's caption band and name field, and its "create" button, in the game's 800 x 600
// coordinates; the golden's cells are 25 pixels square.
constexpr ScreenRect kCaptionCells{9, 8, 14, 2};
constexpr ScreenPoint kNameField{400, 281};
constexpr ScreenPoint kCreate{490, 347};
constexpr int kCellTolerance = 16;

int gPassedOn = 0;

// A request about a window that does not exist: an error reply.
void FailOn(Display* display) {
  XWindowAttributes attributes;
  XGetWindowAttributes(display, None, &attributes);
}

TEST(XErrorFilter, DropsTheErrorsOfTheClaimingConnectionAloneAndPassesOnEveryOther) {
  if (!FindProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  XvfbScreen screen(320, 240);
  ASSERT_EQ(screen.Failure(), "");
  Display* helper = XOpenDisplay(screen.Name().c_str());
  Display* other = XOpenDisplay(screen.Name().c_str());
  ASSERT_TRUE(helper && other);
  gPassedOn = 0;
  XSetErrorHandler([](Display*, XErrorEvent*) {
    ++gPassedOn;
    return 0;
  });
  XMapWindow(helper, None);  // sent before the claim, its error read after it
  Velk::XErrorFilter::Claim(helper);
  XSync(helper, False);
  EXPECT_EQ(gPassedOn, 1) << "an error of a request made before the claim is not the claim's";
  FailOn(helper);
  EXPECT_EQ(gPassedOn, 1) << "the claiming connection's error was passed on";
  FailOn(other);
  EXPECT_EQ(gPassedOn, 2) << "another connection's error did not reach the handler before the filter";
  Velk::XErrorFilter::Release(helper);
  FailOn(helper);
  EXPECT_EQ(gPassedOn, 3) << "a released connection's error was dropped";
  XCloseDisplay(helper);
  XCloseDisplay(other);
}

// The name dialog's caption shows in the window whose client area starts at `corner`.
bool DialogUp(const XvfbScreen& screen, ScreenPoint corner, const FrameGrid& golden) {
  const Frame frame = screen.Grab();
  if (frame.Empty()) return false;
  for (int row = kCaptionCells.y; row < kCaptionCells.y + kCaptionCells.height; ++row) {
    for (int column = kCaptionCells.x; column < kCaptionCells.x + kCaptionCells.width; ++column) {
      const uint32_t seen = frame.Average(corner.x + column * 25, corner.y + row * 25, 25, 25);
      if (Frame::ChannelDistance(seen, golden.Cell(column, row)) > kCellTolerance) return false;
    }
  }
  return true;
}

// Another client's window is shown, takes the keyboard as a program starting does, and goes: the
// focus is left to nobody.
void ComeAndGo(const std::string& name) {
  Display* display = XOpenDisplay(name.c_str());
  if (!display) return;
  const ::Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 100, 0, 0, 0);
  XMapRaised(display, window);
  XSync(display, False);
  XSetInputFocus(display, window, RevertToNone, CurrentTime);
  XSync(display, False);
  // SDL reports a change of focus only after a pause of its own.
  std::this_thread::sleep_for(std::chrono::seconds(1));
  XDestroyWindow(display, window);
  XCloseDisplay(display);
}

TEST(XFocus, AClickIsActedOnAfterAnotherClientsWindowTookTheFocusAndWent) {
  if (!FindProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  const std::optional<FrameGrid> golden = FrameGrid::Golden("name_dialog");
  ASSERT_TRUE(golden);
  XvfbScreen screen(1024, 768);
  ASSERT_EQ(screen.Failure(), "");
  screen.MovePointer(0, 0);
  PeluneOnScreen game(screen, std::filesystem::path(E2E_OUTPUT_DIR) / "XFocus", true);
  ScreenPoint corner;
  ASSERT_TRUE(WaitUntil(
      [&] {
        const std::optional<ScreenRect> window = game.Window();
        if (window) corner = ScreenPoint{window->x, window->y};
        return window && DialogUp(screen, corner, *golden);
      },
      kStartLimitMs))
      << "the name dialog did not show; " << game.Errors();

  ComeAndGo(screen.Name());
  Display* display = XOpenDisplay(screen.Name().c_str());
  ASSERT_TRUE(display);
  screen.Click(corner.x + kNameField.x, corner.y + kNameField.y);
  auto focusedProcess = [&] {
    ::Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    return focus == None ? std::nullopt : Velk::XProcessWindows::ProcessOf(display, focus);
  };
  EXPECT_TRUE(WaitUntil([&] { return focusedProcess() == game.Pid(); }, kLimitMs))
      << "the game did not take the keyboard on a click in its window";
  XCloseDisplay(display);
  for (unsigned long key : {XK_A, XK_n, XK_n}) screen.PressKeys({key});
  screen.Click(corner.x + kCreate.x, corner.y + kCreate.y);
  EXPECT_TRUE(WaitUntil([&] { return !DialogUp(screen, corner, *golden); }, kLimitMs))
      << "the click on \"create\" was not acted on";
  EXPECT_TRUE(game.Stop());
}

// The windows a property of the root names (a window manager's lists).
std::vector<::Window> RootWindows(Display* display, const char* name) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<::Window> windows;
  if (XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, name, False), 0, 64, False,
                         XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
      data && format == 32) {
    const long* first = reinterpret_cast<const long*>(data);
    windows.assign(first, first + count);
  }
  if (data) XFree(data);
  return windows;
}

// The clients from the bottom of the stack to the top.
std::vector<::Window> Stacking(Display* display) { return RootWindows(display, "_NET_CLIENT_LIST_STACKING"); }

::Window ActiveWindow(Display* display) {
  const std::vector<::Window> active = RootWindows(display, "_NET_ACTIVE_WINDOW");
  return active.empty() ? None : active[0];
}

// A second copy started over the same home while the first plays full screen: its "already
// running" box shows, and stays over the full-screen window when the player clicks the game again.
TEST(XFocus, ASecondCopysBoxStaysOverTheFullScreenCopyUnderAWindowManager) {
  if (!FindProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  if (!FindProgram("openbox")) GTEST_SKIP() << "openbox is not installed";
  XvfbScreen screen(800, 600, "openbox");
  ASSERT_EQ(screen.Failure(), "");
  Display* display = XOpenDisplay(screen.Name().c_str());
  ASSERT_NE(display, nullptr);
  const std::filesystem::path home = std::filesystem::path(E2E_OUTPUT_DIR) / "SecondCopyBox";
  const std::optional<FrameGrid> golden = FrameGrid::Golden("name_dialog");
  ASSERT_TRUE(golden);
  PeluneOnScreen first(screen, home, false);
  ::Window game = None;
  const bool up = WaitUntil(
      [&] {
        const std::vector<::Window> clients = Stacking(display);
        game = clients.size() == 1 ? clients[0] : None;
        return game != None && ActiveWindow(display) == game && DialogUp(screen, ScreenPoint{0, 0}, *golden);
      },
      kStartLimitMs);
  ASSERT_TRUE(up) << "the game did not come up full screen; " << first.Errors();

  const std::filesystem::path otherSession = home / "other_run";
  std::filesystem::create_directories(otherSession);
  std::filesystem::permissions(otherSession, std::filesystem::perms::owner_all);
  PeluneOnScreen second(screen, home, false, {{"XDG_RUNTIME_DIR", otherSession.string()}}, true);
  ::Window box = None;
  const bool shown = WaitUntil(
      [&] {
        const std::vector<::Window> clients = Stacking(display);
        box = clients.size() == 2 && clients[0] == game ? clients[1] : None;
        return box != None;
      },
      kLimitMs);
  ASSERT_TRUE(shown) << "no box came up over the game\n" << second.Errors();

  screen.Click(2, 598);  // on the game, away from the box in the middle
  ASSERT_TRUE(WaitUntil([&] { return ActiveWindow(display) == game; }, kLimitMs));
  EXPECT_EQ(Stacking(display), (std::vector<::Window>{game, box})) << "the box went below the game";
  EXPECT_TRUE(second.Stop()) << second.Errors();
  EXPECT_FALSE(first.WaitForEnd(0)) << first.Errors();
  XCloseDisplay(display);
}

}  // namespace
}  // namespace E2e
