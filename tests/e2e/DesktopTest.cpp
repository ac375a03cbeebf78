// The real program on X screens of several sizes, bare and under a window manager, full screen and
// in a window, as a new player starts it: the menu with the name dialog fills its rectangle (the
// largest centred 4:3 one in full screen), looks as the headless frame does, and the pointer lands
// where it is: the button under it lights and the game's cursor stands on it. Each case is a test
// of its own, so that CTest runs them side by side; they skip where Xvfb or the window manager is
// not installed.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "e2e/FindProgram.h"
#include "e2e/FrameGrid.h"
#include "e2e/GameRun.h"
#include "e2e/PeluneOnScreen.h"
#include "e2e/Polling.h"
#include "e2e/XvfbScreen.h"

namespace E2e {
namespace {

constexpr int kStartLimitMs = 30000 * kPhaseSlowdown;
// A start is judged by the program's progress, not by the clock alone: alone it shows its menu
// after about 8 s of processor time, which a loaded machine hands out slowly. It fails after using
// far more than that, after using none for a while (blocked: on the X server, on the window
// manager), or after ten minutes in all.
constexpr int64_t kStartCpuMs = 60000 * kPhaseSlowdown;
constexpr int64_t kStallMs = 20000 * kPhaseSlowdown;
constexpr int64_t kStartWallMs = 600000 * kPhaseSlowdown;
constexpr int kPointerLimitMs = 5000 * kPhaseSlowdown;
// Cells of the scaled picture average a little differently from the unscaled frame's.
constexpr int kCellTolerance = 16;
// The name field's blinking caret and the game's cursor (the golden has one in its top left
// corner) may each change a cell or two; the backdrop's star (32 x 32, up to 2 x 2 cells) wanders
// over the table around the dialog, at one place in the golden and at another on the screen.
constexpr int kChangingCells = 11;
// The game's cursor is an arrow whose point is the pointer's place, give or take its outline.
constexpr int kCursorSlack = 4;
// A pixel brighter than this in some channel is part of the picture; the bars are black.
constexpr int kBlackLimit = 8;

// The name dialog's "create" button, in the game's 800 x 600 coordinates (main menu at (34, 17),
// the dialog at (166, 180) in it, the button at (220, 130) in the dialog, 140 x 40).
constexpr ScreenRect kCreateButton{420, 327, 140, 40};
// The dialog's caption, above its name field (whose caret blinks).
constexpr ScreenRect kDialogCaption{210, 200, 380, 55};

struct DesktopCase {
  int width;
  int height;
  bool windowManager;
  bool windowed;
  // Where the picture shows; for a window under a window manager, where the window manager put
  // the client area decides, and only the size is given.
  ScreenRect picture;
};

std::string CaseName(const testing::TestParamInfo<DesktopCase>& info) {
  const DesktopCase& c = info.param;
  return std::to_string(c.width) + "x" + std::to_string(c.height) + (c.windowManager ? "_openbox" : "_bare") +
         (c.windowed ? "_window" : "_fullscreen");
}

// CTest lists the case by its name rather than its bytes.
void PrintTo(const DesktopCase& c, std::ostream* os) { *os << CaseName({c, 0}); }

// Full screen: the largest centred 4:3 rectangle (5:4 letterboxed). A window without a window
// manager: its client area placed centred across and 0.382 of the free height down, the frame
// (3 pixels, 22 on top: 806 x 625 outside) kept on the screen.
const DesktopCase kCases[] = {
    {800, 600, false, false, {0, 0, 800, 600}},
    {800, 600, true, false, {0, 0, 800, 600}},
    {800, 600, false, true, {0, 0, 800, 600}},  // the frame reaches off the screen, the picture not
    {800, 600, true, true, {-1, -1, 800, 600}},
    {1024, 768, false, false, {0, 0, 1024, 768}},
    {1024, 768, true, false, {0, 0, 1024, 768}},
    {1024, 768, false, true, {112, 76, 800, 600}},  // (1024 - 806) / 2 + 3, trunc(0.382 x 143) + 22
    {1024, 768, true, true, {-1, -1, 800, 600}},
    {1280, 720, false, false, {160, 0, 960, 720}},
    {1280, 720, true, false, {160, 0, 960, 720}},
    {1280, 720, false, true, {240, 58, 800, 600}},  // 237 + 3, trunc(0.382 x 95) + 22
    {1280, 720, true, true, {-1, -1, 800, 600}},
    {1280, 1024, false, false, {0, 32, 1280, 960}},
    {1280, 1024, true, false, {0, 32, 1280, 960}},
    {1280, 1024, false, true, {240, 174, 800, 600}},  // 237 + 3, trunc(0.382 x 399) + 22
    {1280, 1024, true, true, {-1, -1, 800, 600}},
};

Frame Part(const Frame& frame, const ScreenRect& r) {
  Frame part{r.width, r.height, std::vector<uint32_t>(static_cast<size_t>(r.width) * r.height)};
  for (int y = 0; y < r.height; ++y) {
    for (int x = 0; x < r.width; ++x) part.pixels[static_cast<size_t>(y) * r.width + x] = frame.At(r.x + x, r.y + y);
  }
  return part;
}

// The cells of the picture that differ from the golden by more than the tolerance.
int DifferingCells(const Frame& picture, const FrameGrid& golden) {
  const FrameGrid grid = FrameGrid::Reduce(picture);
  int differing = 0;
  for (int row = 0; row < FrameGrid::kRows; ++row) {
    for (int column = 0; column < FrameGrid::kColumns; ++column) {
      if (Frame::ChannelDistance(grid.Cell(column, row), golden.Cell(column, row)) > kCellTolerance) ++differing;
    }
  }
  return differing;
}

bool Dark(uint32_t c) {
  return ((c >> 16) & 0xFF) <= kBlackLimit && ((c >> 8) & 0xFF) <= kBlackLimit && (c & 0xFF) <= kBlackLimit;
}

// The bounding box of what is not black inside `area`.
ScreenRect Bounds(const Frame& frame, const ScreenRect& area) {
  int left = area.x + area.width, top = area.y + area.height, right = area.x - 1, bottom = area.y - 1;
  for (int y = std::max(area.y, 0); y < std::min(area.y + area.height, frame.height); ++y) {
    for (int x = std::max(area.x, 0); x < std::min(area.x + area.width, frame.width); ++x) {
      if (Dark(frame.At(x, y))) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  return ScreenRect{left, top, right - left + 1, bottom - top + 1};
}

// The bounding box of the pixels that differ between two frames within `area`.
ScreenRect Changed(const Frame& before, const Frame& after, const ScreenRect& area) {
  int left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1;
  for (int y = std::max(area.y, 0); y < std::min(area.y + area.height, after.height); ++y) {
    for (int x = std::max(area.x, 0); x < std::min(area.x + area.width, after.width); ++x) {
      if (before.At(x, y) == after.At(x, y)) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return ScreenRect{};
  return ScreenRect{left, top, right - left + 1, bottom - top + 1};
}

bool Near(int a, int b, int slack) { return std::abs(a - b) <= slack; }

bool SameRect(const ScreenRect& a, const ScreenRect& b, int slack) {
  return Near(a.x, b.x, slack) && Near(a.y, b.y, slack) && Near(a.x + a.width, b.x + b.width, slack) &&
         Near(a.y + a.height, b.y + b.height, slack);
}

std::string Describe(const ScreenRect& r) {
  return "(" + std::to_string(r.x) + ", " + std::to_string(r.y) + ", " + std::to_string(r.width) + " x " +
         std::to_string(r.height) + ")";
}

// The name dialog over the menu shows in `picture`, looking as the headless frame does; the frame
// seen is kept in `frame`.
bool ShowsMenu(const XvfbScreen& screen, const ScreenRect& picture, const FrameGrid& golden, Frame& frame) {
  if (picture.width <= 0 || picture.x < 0 || picture.y < 0 || picture.x + picture.width > screen.Width() ||
      picture.y + picture.height > screen.Height())
    return false;
  frame = screen.Grab();
  return !frame.Empty() && DifferingCells(Part(frame, picture), golden) <= kChangingCells;
}

// Polls until `done` holds at the program's pace (see kStartCpuMs): empty then, else why not.
std::string WaitForProgram(PeluneOnScreen& game, const std::function<bool()>& done) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  auto since = [](Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
  };
  const int64_t firstCpu = game.CpuMs();
  int64_t cpu = firstCpu;
  auto lastGain = start;
  while (!done()) {
    const int64_t now = game.CpuMs();
    if (now > cpu) lastGain = Clock::now();
    const std::string why = now < 0                        ? "it ended"
                            : now - firstCpu > kStartCpuMs ? "it used its processor time"
                            : since(lastGain) > kStallMs   ? "it used no processor time for a while"
                            : since(start) > kStartWallMs  ? "the time was up"
                                                           : "";
    if (!why.empty()) {
      return why + " after " + std::to_string(since(start)) + " ms with " + std::to_string(now - firstCpu) +
             " ms of processor time; its threads:\n" + game.ThreadStates();
    }
    cpu = std::max(cpu, now);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return "";
}

class DesktopTest : public testing::TestWithParam<DesktopCase> {
 protected:
  void SetUp() override {
    const DesktopCase& c = GetParam();
    if (!FindProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    if (c.windowManager && !FindProgram("openbox")) GTEST_SKIP() << "openbox is not installed";
    screen_ = std::make_unique<XvfbScreen>(c.width, c.height, c.windowManager ? "openbox" : "");
    ASSERT_EQ(screen_->Failure(), "");
    golden_ = FrameGrid::Golden("name_dialog");
    ASSERT_TRUE(golden_) << "no golden name_dialog";
  }

  // A failing case shows what the program said.
  void TearDown() override {
    if (HasFailure() && game_) std::printf("the program's error output:\n%s", game_->Errors().c_str());
  }

  std::filesystem::path Home() const {
    return std::filesystem::path(E2E_OUTPUT_DIR) / "Desktop" / CaseName({GetParam(), 0});
  }

  // The game's picture in screen coordinates, as far as the window shows it.
  ScreenRect Picture() const {
    const DesktopCase& c = GetParam();
    if (c.picture.x >= 0 || !game_) return c.picture;
    const std::optional<ScreenRect> window = game_->Window();
    return window ? *window : ScreenRect{};
  }

  // Up as a new player sees it: the name dialog over the menu, looking as the headless frame does.
  bool MenuUp() {
    const std::optional<ScreenRect> window = game_->Window();
    return window && window->width > 0 && ShowsMenu(*screen_, Picture(), *golden_, frame_);
  }

  // What the screen shows now beside what it showed before, for a failure.
  void Keep(const std::string& name, const Frame& before) {
    before.WritePng((Home() / (name + "_before.png")).string());
    screen_->Grab().WritePng((Home() / (name + ".png")).string());
  }

  // A game point's screen pixel: the middle of the pixels it covers.
  ScreenPoint OnScreen(int x, int y) const {
    const ScreenRect p = Picture();
    return ScreenPoint{p.x + (2 * x + 1) * p.width / 1600, p.y + (2 * y + 1) * p.height / 1200};
  }

  ScreenRect OnScreen(const ScreenRect& r) const {
    const ScreenPoint a = OnScreen(r.x, r.y);
    const ScreenPoint b = OnScreen(r.x + r.width - 1, r.y + r.height - 1);
    return ScreenRect{a.x, a.y, b.x - a.x + 1, b.y - a.y + 1};
  }

  std::unique_ptr<XvfbScreen> screen_;
  std::unique_ptr<PeluneOnScreen> game_;
  std::optional<FrameGrid> golden_;
  Frame frame_;
};

TEST_P(DesktopTest, TheMenuFillsItsRectangleAndThePointerLandsWhereItIs) {
  const DesktopCase& c = GetParam();
  // The pointer starts in a corner, away from the name dialog in the picture's middle.
  screen_->MovePointer(c.width - 1, c.height - 1);
  game_ = std::make_unique<PeluneOnScreen>(*screen_, Home(), c.windowed);
  const std::string notUp = WaitForProgram(*game_, [&] { return MenuUp(); });
  if (!notUp.empty()) screen_->Grab().WritePng((Home() / "no_menu.png").string());
  ASSERT_EQ(notUp, "") << "the menu with the name dialog did not show in " << Describe(Picture()) << "; window "
                       << (game_->Window() ? Describe(*game_->Window()) : "none");

  // The dialog fades in: it is up once two looks at its caption a moment apart agree.
  const ScreenRect caption = OnScreen(kDialogCaption);
  Frame settled = screen_->Grab();
  ASSERT_TRUE(WaitUntil(
      [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const Frame now = screen_->Grab();
        const bool still = Changed(settled, now, caption).width == 0;
        settled = now;
        return still;
      },
      kStartLimitMs));

  // The picture's bounds: on the whole screen, or inside the window a window manager framed.
  const ScreenRect picture = Picture();
  const ScreenRect screen{0, 0, c.width, c.height};
  const ScreenRect seen = Bounds(frame_, c.windowed && c.windowManager ? picture : screen);
  EXPECT_TRUE(SameRect(seen, picture, 1)) << Describe(seen) << " against " << Describe(picture);
  if (!c.windowed) {
    EXPECT_EQ(game_->Window().value_or(ScreenRect{}), screen) << "the window covers the screen";
  }

  // Over the left end of "create": the button lights (its right part changes).
  const Frame before = settled;
  const ScreenPoint left = OnScreen(kCreateButton.x + 20, kCreateButton.y + 20);
  screen_->MovePointer(left.x, left.y);
  const ScreenRect rightPart = OnScreen(ScreenRect{kCreateButton.x + 80, kCreateButton.y + 4, 56, 32});
  EXPECT_TRUE(WaitUntil([&] { return Changed(before, screen_->Grab(), rightPart).width > 0; }, kPointerLimitMs))
      << "the button did not light under the pointer at " << left.x << "," << left.y;

  // To its right end: the button stays lit, and what changes near the pointer is the game's
  // cursor, whose point is on the pointer.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const Frame atLeft = screen_->Grab();
  const ScreenPoint right = OnScreen(kCreateButton.x + 120, kCreateButton.y + 20);
  screen_->MovePointer(right.x, right.y);
  const ScreenRect around{right.x - 40, right.y - 40, 80, 80};
  ScreenRect cursor;
  EXPECT_TRUE(WaitUntil(
      [&] {
        cursor = Changed(atLeft, screen_->Grab(), around);
        return cursor.width > 0 && Near(cursor.x, right.x, kCursorSlack) && Near(cursor.y, right.y, kCursorSlack);
      },
      kPointerLimitMs))
      << "the game's cursor is at " << Describe(cursor) << ", the pointer at " << right.x << "," << right.y;

  // On a bar beside the full-screen picture the button goes dark again and no cursor shows on it.
  if (!c.windowed && (picture.x > 0 || picture.y > 0)) {
    const ScreenPoint bar =
        picture.x > 0 ? ScreenPoint{picture.x / 2, c.height / 2} : ScreenPoint{c.width / 2, picture.y / 2};
    screen_->MovePointer(bar.x, bar.y);
    const ScreenRect button = OnScreen(kCreateButton);
    const bool dark = WaitUntil([&] { return Changed(before, screen_->Grab(), button).width == 0; }, kPointerLimitMs);
    if (!dark) Keep("bar", before);
    EXPECT_TRUE(dark) << "the button or the cursor stayed with the pointer on the bar at " << bar.x << "," << bar.y;
  }

  // In the screen's corner: the cursor is drawn there where the picture reaches it.
  const bool cornerInPicture = picture.x + picture.width == c.width && picture.y + picture.height == c.height;
  if (cornerInPicture) {
    const Frame away = screen_->Grab();
    screen_->MovePointer(c.width - 1, c.height - 1);
    const ScreenRect corner{c.width - 40, c.height - 40, 40, 40};
    EXPECT_TRUE(WaitUntil([&] { return Changed(away, screen_->Grab(), corner).width > 0; }, kPointerLimitMs))
        << "no cursor in the corner";
  }

  EXPECT_TRUE(game_->Stop());
  EXPECT_EQ(game_->Errors().find("X Error"), std::string::npos) << game_->Errors();
}

INSTANTIATE_TEST_SUITE_P(Screens, DesktopTest, testing::ValuesIn(kCases), CaseName);

// Alt+Enter from the window to full screen and back on a 1024 x 768 screen, bare and under a window
// manager: each mode shows the whole picture, and the program's windows come and go without an X
// error.
class ModeSwitchTest : public testing::TestWithParam<bool> {};

TEST_P(ModeSwitchTest, WindowFullScreenWindowWithoutAnXError) {
  const bool windowManager = GetParam();
  if (!FindProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  if (windowManager && !FindProgram("openbox")) GTEST_SKIP() << "openbox is not installed";
  XvfbScreen screen(1024, 768, windowManager ? "openbox" : "");
  ASSERT_EQ(screen.Failure(), "");
  const std::optional<FrameGrid> golden = FrameGrid::Golden("name_dialog");
  ASSERT_TRUE(golden);
  const std::string name = windowManager ? "openbox" : "bare";
  const std::filesystem::path home = std::filesystem::path(E2E_OUTPUT_DIR) / "ModeSwitch" / name;
  PeluneOnScreen game(screen, home, true);
  Frame frame;
  auto windowShowsMenu = [&] {
    const std::optional<ScreenRect> window = game.Window();
    return window && window->width == 800 && window->height == 600 && ShowsMenu(screen, *window, *golden, frame);
  };
  auto fullScreenShowsMenu = [&] {
    const std::optional<ScreenRect> window = game.Window();
    return window && *window == ScreenRect{0, 0, 1024, 768} && ShowsMenu(screen, *window, *golden, frame);
  };
  ASSERT_EQ(WaitForProgram(game, windowShowsMenu), "") << "no menu in the window\n" << game.Errors();
  const std::vector<std::pair<std::function<bool()>, const char*>> switches = {{fullScreenShowsMenu, "full screen"},
                                                                               {windowShowsMenu, "the window"}};
  for (const auto& [shows, what] : switches) {
    // Keys go to the window under the pointer where no window manager gives the focus.
    const ScreenRect window = game.Window().value_or(ScreenRect{});
    screen.MovePointer(window.x + 10, window.y + 10);
    screen.PressKeys({XK_Alt_L, XK_Return});
    // The game's cursor out of the way, in one corner cell at most.
    screen.MovePointer(1023, 767);
    const bool whole = WaitUntil(shows, kStartLimitMs);
    if (!whole) screen.Grab().WritePng((home / "failure.png").string());
    EXPECT_TRUE(whole) << "no whole picture in " << what << "; window "
                       << (game.Window() ? Describe(*game.Window()) : "none") << "\n"
                       << game.Errors();
  }
  EXPECT_TRUE(game.Stop());
  EXPECT_EQ(game.Errors().find("X Error"), std::string::npos) << game.Errors();
  EXPECT_EQ(game.Errors().find("BadWindow"), std::string::npos) << game.Errors();
}

INSTANTIATE_TEST_SUITE_P(Screens, ModeSwitchTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "openbox" : "bare"; });

// Under a window manager, a window dragged by its title bar opens where the last run left it, start
// after start, and one closed without a move opens where it was.
TEST(WindowPlacementTest, AWindowOpensWhereTheLastRunLeftIt) {
  if (!FindProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  if (!FindProgram("openbox")) GTEST_SKIP() << "openbox is not installed";
  XvfbScreen screen(1024, 768, "openbox");
  ASSERT_EQ(screen.Failure(), "");
  const std::filesystem::path home = std::filesystem::path(E2E_OUTPUT_DIR) / "WindowPlacement";
  // Each keeps the window well inside the screen, away from the edges the manager snaps to; the
  // last two starts do not move it.
  const std::vector<ScreenPoint> moves = {{-60, -30}, {40, 50}, {-20, 25}, {70, -40}, {-30, -10}, {0, 0}, {0, 0}};
  constexpr int kTitleBarY = -8;  // above the client area, in the manager's title bar
  constexpr int kSettleMs = 500;  // for the program to hear of its move
  std::optional<ScreenRect> left;
  for (size_t start = 0; start < moves.size(); ++start) {
    PeluneOnScreen game(screen, home, true, {}, start > 0);
    std::optional<ScreenRect> shown;
    auto opened = [&] { return (shown = game.Window()) && shown->width == 800 && shown->height == 600; };
    ASSERT_TRUE(WaitUntil(opened, kStartLimitMs)) << "start " << start << ": no window\n" << game.Errors();
    if (left) {
      WaitUntil([&] { return (shown = game.Window()) && *shown == *left; }, kPointerLimitMs);
      ASSERT_TRUE(shown);
      EXPECT_EQ(Describe(*shown), Describe(*left)) << "start " << start;
    }
    const ScreenPoint move = moves[start];
    ScreenRect target = *shown;
    if (move.x != 0 || move.y != 0) {
      target.x += move.x;
      target.y += move.y;
      const ScreenPoint grip{shown->x + shown->width / 2, shown->y + kTitleBarY};
      screen.Drag(grip, ScreenPoint{grip.x + move.x, grip.y + move.y});
      const bool moved = WaitUntil([&] { return game.Window() == std::optional<ScreenRect>(target); }, kPointerLimitMs);
      ASSERT_TRUE(moved) << "start " << start << ": the drag left the window at "
                         << (game.Window() ? Describe(*game.Window()) : "none");
      std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs));
    }
    left = target;
    ASSERT_TRUE(game.Stop()) << "start " << start;
  }
}

}  // namespace
}  // namespace E2e
