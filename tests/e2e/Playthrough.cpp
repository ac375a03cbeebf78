#include "e2e/Playthrough.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

#include "app/NumberedFiles.h"
#include "cafe/QCEngine3.h"
#include "common/DataFolder.h"
#include "common/MersenneTwister.h"
#include "common/Unicode.h"
#include "e2e/GameRun.h"
#include "platform/backend/Backend.h"
#include "platform/clock/Clock.h"
#include "platform/crt/Rand.h"
#include "platform/ddraw/DDrawPresenter.h"
#include "platform/sdl/SdlPresenter.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/msgbox/MessageBox.h"
#include "platform/process/ProcessInfo.h"
#include "platform/window/WinUser.h"
#include "widgets/Widget.h"

namespace E2e {

namespace {

constexpr int kWallLimitMs = 15000 * kPhaseSlowdown;
// Loop steps without an update before the step is declared stuck; a due update comes within a handful.
constexpr int kLoopStepsPerUpdate = 10000;
constexpr int kProbeTolerance = 8;
constexpr int kGridTolerance = 12;
constexpr int kScaledGridTolerance = 16;
// Two clicks closer than this make a double click (SDL's 500 ms, and the time the server's events
// may take to reach the program).
constexpr int kDoubleClickMs = 800;
// The seed of both generators from each level's hand-over on.
constexpr unsigned kLevelSeed = 11;

// The game as the phases play it. It counts the level loads started and handed over: in a real
// window a load can begin and end between two steps, where a check of the loading state misses it.
// The game seeds its generators from the wall clock; seeded again at each hand-over, every run of a
// day is the same, whatever the load did meanwhile.
class PlayedGame : public QCEngine3 {
 public:
  void OnLevelLoadingStarted() override {
    ++loadsStarted;
    QCEngine3::OnLevelLoadingStarted();
  }
  void OnLevelLoadingFinished() override {
    Velk::srand(kLevelSeed);
    Velk::SeedRandom(kLevelSeed);
    ++handOvers;
    QCEngine3::OnLevelLoadingFinished();
  }

  int loadsStarted = 0;
  int handOvers = 0;
};

Velk::HeadlessBackend* Headless() { return dynamic_cast<Velk::HeadlessBackend*>(&Velk::Backend::Get()); }

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Hex(uint32_t colour) {
  char text[8];
  std::snprintf(text, sizeof text, "%06x", colour & 0xFFFFFF);
  return text;
}

}  // namespace

Playthrough::Playthrough(PlaythroughOptions options) : options_(std::move(options)) {
  // Every run starts at the same tick, so the generator seeded from it draws the same numbers.
  Velk::Clock::UseManual(0);
  Velk::SetMessageBoxHook([this](const std::wstring& text, const std::wstring& caption, UINT) {
    std::lock_guard<std::mutex> hold(boxesLock_);
    boxes_.push_back(caption + L": " + text);
    // Logged at once: a fatal box is followed by the end of the process.
    Log("box " + Velk::WideToUtf8(boxes_.back()));
    return IDOK;
  });
  // The phase's own arguments are the test's, not the game's.
  const char* program[] = {Velk::GetProgramPath().c_str()};
  Velk::SetCommandLine(1, program);
}

Playthrough::~Playthrough() {
  delete game_;
  Velk::SetMessageBoxHook(nullptr);
}

bool Playthrough::Start() {
  Log("start");
  game_ = new PlayedGame();
  game_->Init();
  if (!options_.expectMessageBox) CheckMessageBoxes();
  if (game_->mShutdown) return false;
  // As the main loop's entry does, without the cursor thread: it would move the manual clock.
  game_->StartLoadingThread();
  ShowWindow(game_->mHWnd, SW_SHOW);
  SetFocus(game_->mHWnd);
  // A real pointer starts where a headless run's does, in the screen's top left corner: the game's
  // cursor follows it into the window.
  if (Headless() == nullptr) Screen().MovePointer(0, 0);
  game_->mRunning = true;
  game_->ResetTiming(false);
  return true;
}

void Playthrough::LoadResources() {
  WaitFor([this] { return game_->mLoadingThreadCompleted.load(); }, "the loading thread");
  StepUntil([this] { return game_->mLoadingFinishHandled.load(); }, 100, "the hand-over of the loaded screens");
  Log("loaded");
}

void Playthrough::Step(int updates) {
  for (int i = 0; i < updates && !game_->mShutdown; ++i) {
    const DWORD target = game_->mUpdateCount + 1;
    int guard = 0;
    while (Velk::TickDiff(game_->mUpdateCount, target) < 0 && !game_->mShutdown) {
      bool updated = false;
      if (!game_->RunLoopStep(&updated)) game_->mExitToTop = false;
      // The loop sleeps through the manual clock, but a rest below a millisecond rounds to no sleep
      // at all: a real clock would move on meanwhile, so this one does too.
      if (++guard % 8 == 0) Velk::Clock::Advance(1);
      if (guard == kLoopStepsPerUpdate) Fail("the main loop makes no logic update");
    }
    CheckMessageBoxes();
    if (watch_) watch_();
  }
}

void Playthrough::StepUntil(const std::function<bool()>& done, int maxUpdates, const std::string& what) {
  for (int i = 0; !done(); ++i) {
    if (i == maxUpdates || game_->mShutdown) {
      Fail("not within " + std::to_string(maxUpdates * 10) + " ms of game time: " + what);
    }
    Step();
  }
}

int Playthrough::LevelLoadsStarted() const { return static_cast<const PlayedGame*>(game_)->loadsStarted; }

int Playthrough::LevelHandOvers() const { return static_cast<const PlayedGame*>(game_)->handOvers; }

void Playthrough::WaitFor(const std::function<bool()>& done, const std::string& what) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWallLimitMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end)
      Fail("not within " + std::to_string(kWallLimitMs / 1000) + " s: " + what);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

POINT Playthrough::InWindow(int x, int y) {
  if (Headless() != nullptr) return {x, y};
  const std::optional<ScreenRect> window = Screen().WindowOf(getpid());
  if (!window) Fail("the game shows no window");
  const int scaledWidth = std::min(window->width, window->height * 4 / 3);
  const int scaledHeight = scaledWidth * 3 / 4;
  return {(window->width - scaledWidth) / 2 + (2 * x + 1) * scaledWidth / 1600,
          (window->height - scaledHeight) / 2 + (2 * y + 1) * scaledHeight / 1200};
}

void Playthrough::InjectButton(int x, int y, bool down) {
  if (Velk::HeadlessBackend* headless = Headless()) {
    headless->InjectMouseButton(game_->mHWnd, Velk::MouseButton::Left, down, x, y);
  } else {
    const POINT at = InWindow(x, y);
    PostMessageW(game_->mHWnd, down ? WM_LBUTTONDOWN : WM_LBUTTONUP, down ? MK_LBUTTON : 0, MAKELPARAM(at.x, at.y));
  }
}

// In a real window the pointer goes there too: the game asks the server where it is, and a window
// that does not fill the screen takes a pointer left outside it for one that has left.
void Playthrough::InjectMove(int x, int y) {
  if (Velk::HeadlessBackend* headless = Headless()) {
    headless->InjectMouseMove(game_->mHWnd, x, y);
    return;
  }
  const POINT at = InWindow(x, y);
  if (const std::optional<ScreenRect> window = Screen().WindowOf(getpid())) {
    Screen().MovePointer(window->x + at.x, window->y + at.y);
  }
  PostMessageW(game_->mHWnd, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
}

void Playthrough::MoveMouse(int x, int y) {
  InjectMove(x, y);
  Step();
}

void Playthrough::QueueClick(int x, int y) {
  Log("queued click " + std::to_string(x) + "," + std::to_string(y));
  InjectMove(x, y);
  InjectButton(x, y, true);
  InjectButton(x, y, false);
}

void Playthrough::Click(int x, int y) {
  Log("click " + std::to_string(x) + "," + std::to_string(y));
  MoveMouse(x, y);
  InjectButton(x, y, true);
  Step();
  InjectButton(x, y, false);
  Step();
}

void Playthrough::ClickWidget(Velk::Widget* widget, const std::string& name) {
  if (widget == nullptr) Fail("no control " + name + " to click");
  if (!widget->mVisible) Fail("the control " + name + " is hidden");
  const POINT at = widget->AbsolutePos();
  Log("control " + name);
  Click(at.x + widget->mWidth / 2, at.y + widget->mHeight / 2);
}

void Playthrough::ServerClick(int x, int y, bool endsADoubleClick) {
  if (Headless() != nullptr) return QueueClick(x, y);
  if (!endsADoubleClick) std::this_thread::sleep_until(lastServerClick_ + std::chrono::milliseconds(kDoubleClickMs));
  lastServerClick_ = std::chrono::steady_clock::now();
  const std::optional<ScreenRect> window = Screen().WindowOf(getpid());
  if (!window) Fail("the game shows no window to click");
  Log("server click " + std::to_string(x) + "," + std::to_string(y));
  const POINT at = InWindow(x, y);
  Screen().Click(window->x + at.x, window->y + at.y);
}

void Playthrough::SendKey(UINT vk, bool down) {
  if (Velk::HeadlessBackend* headless = Headless()) {
    headless->InjectKey(game_->mHWnd, vk, down);
  } else {
    PostMessageW(game_->mHWnd, down ? WM_KEYDOWN : WM_KEYUP, vk, down ? 1 : 0xC0000001);
  }
}

void Playthrough::PressKey(UINT vk) {
  Log("key " + std::to_string(vk));
  SendKey(vk, true);
  if (vk == VK_RETURN && !Headless()) PostMessageW(game_->mHWnd, WM_CHAR, '\r', 1);
  Step();
  SendKey(vk, false);
  Step();
}

void Playthrough::Type(const std::string& utf8) {
  Log("type " + utf8);
  if (Velk::HeadlessBackend* headless = Headless()) {
    headless->InjectText(game_->mHWnd, utf8);
  } else {
    for (unsigned char c : utf8) PostMessageW(game_->mHWnd, WM_CHAR, c, 1);
  }
  Step();
}

void Playthrough::Close() {
  Log("close");
  if (Velk::HeadlessBackend* headless = Headless()) {
    headless->InjectClose(game_->mHWnd);
  } else {
    PostMessageW(game_->mHWnd, WM_CLOSE, 0, 0);
  }
  for (int i = 0; i < 100 && !game_->mShutdown; ++i) Step();
  if (!game_->mShutdown) Fail("the game did not shut down after its window was closed");
}

int Playthrough::Finish() {
  game_->ProcessSafeDeletes();
  game_->mRunning = false;
  game_->WaitForLoader();
  game_->OnRunFinished();
  game_->WriteRegistrySettings();
  delete game_;
  game_ = nullptr;
  Log("finished");
  return 0;
}

void Playthrough::Log(const std::string& line) {
  std::printf("step %s\n", line.c_str());
  std::fflush(stdout);
}

void Playthrough::Expect(bool ok, const std::string& what) {
  if (!ok) Fail(what);
  Log("ok " + what);
}

void Playthrough::Fail(const std::string& message) {
  std::string kept;
  const Frame frame = CurrentFrame();
  if (!frame.Empty() && frame.WritePng(options_.outFolder + "/failure.png")) kept = " (frame: failure.png)";
  std::printf("FAIL %s%s\n", message.c_str(), kept.c_str());
  std::fflush(stdout);
  std::fprintf(stderr, "playthrough failed: %s%s\n", message.c_str(), kept.c_str());
  // Nothing more of the game may run: its threads and objects are left as they are.
  _exit(1);
}

void Playthrough::KeepScreenPictures(const std::string& name) {
  const std::string prefix = options_.outFolder + "/" + Velk::Backend::Get().Name() + "_" + name;
  if (Headless() != nullptr && !CurrentFrame().WritePng(prefix + ".png")) Fail("no frame to keep at " + name);
  std::string folder = Velk::GetDataFolder() + "_screenshots/";
  std::replace(folder.begin(), folder.end(), '\\', '/');
  const std::string screenshot = Velk::NextScreenshotPath(folder);
  game_->TakeScreenshot();
  std::error_code error;
  std::filesystem::copy_file(screenshot, prefix + "_screenshot.png", std::filesystem::copy_options::overwrite_existing,
                             error);
  if (error) Fail("no screenshot at " + screenshot);
  if (Headless() != nullptr) return;
  Frame window;
  if (!Velk::SdlPresenter::ReadWindowPixels(window.pixels, &window.width, &window.height)) {
    Fail("the window's pixels could not be read back");
  }
  window.WritePng(prefix + "_window.png");
  Log("pictures " + name);
}

Frame Playthrough::CurrentFrame() const {
  Frame frame;
  frame.pixels = Velk::DDrawScreen::Snapshot(&frame.width, &frame.height);
  return frame;
}

std::vector<std::wstring> Playthrough::MessageBoxes() {
  std::lock_guard<std::mutex> hold(boxesLock_);
  return boxes_;
}

void Playthrough::CheckMessageBoxes() {
  if (options_.expectMessageBox) return;
  std::vector<std::wstring> boxes = MessageBoxes();
  if (!boxes.empty()) Fail("a message box came up: " + Velk::WideToUtf8(boxes.front()));
}

std::string Playthrough::KeepFrames(const std::string& name, const Frame& frame, const FrameGrid* golden) {
  std::string kept = name + ".png";
  frame.WritePng(options_.outFolder + "/" + kept);
  FrameGrid::Reduce(frame).Expand(frame.width, frame.height).WritePng(options_.outFolder + "/" + name + "_grid.png");
  kept += ", " + name + "_grid.png";
  if (golden != nullptr) {
    golden->Expand(frame.width, frame.height).WritePng(options_.outFolder + "/" + name + "_golden.png");
    kept += ", " + name + "_golden.png";
  }
  return " (kept in " + options_.outFolder + ": " + kept + ")";
}

void Playthrough::Checkpoint(const std::string& name, const std::vector<Probe>& probes) {
  const Frame frame = ShownFrame(name);
  // Full screen on a larger screen shows the picture scaled: its cells average a little
  // differently, and a probe's few pixels are not where the game drew them.
  const bool scaled = frame.width != 800 || frame.height != 600;
  if (scaled && (Headless() != nullptr || frame.width * 3 != frame.height * 4 || frame.width < 800)) {
    Fail("checkpoint " + name + ": no 800 x 600 frame was presented");
  }
  for (const Probe& probe : scaled ? std::vector<Probe>{} : probes) {
    const uint32_t seen = frame.Average(probe.x, probe.y, probe.width, probe.height);
    if (Frame::ChannelDistance(seen, probe.colour) > kProbeTolerance) {
      Fail("checkpoint " + name + ": " + probe.what + " shows " + Hex(seen) + ", not " + Hex(probe.colour) +
           KeepFrames(name, frame, nullptr));
    }
  }
  MatchGolden(name, frame, scaled ? kScaledGridTolerance : kGridTolerance);
}

void Playthrough::StripCheckpoint(const std::string& name, const ScreenRect& strip) {
  const Frame frame = ShownFrame(name);
  if (frame.width != 800 || frame.height != 600) Fail("checkpoint " + name + ": no 800 x 600 frame was presented");
  MatchGolden(name, frame.Part(strip.x, strip.y, strip.width, strip.height), kGridTolerance);
}

void Playthrough::MatchGolden(const std::string& name, const Frame& frame, int tolerance) {
  const FrameGrid grid = FrameGrid::Reduce(frame);
  const std::string goldenPath = options_.goldenFolder + "/" + name + ".txt";
  if (options_.updateGoldens) {
    std::filesystem::create_directories(options_.goldenFolder);
    std::ofstream(goldenPath, std::ios::binary) << grid.ToText(name);
    Log("golden written " + name);
    // The script's own checks still see the checkpoint passed.
    Log("checkpoint " + name);
    return;
  }
  const std::optional<FrameGrid> golden = FrameGrid::Parse(ReadText(goldenPath));
  if (!golden) {
    std::ofstream(options_.outFolder + "/" + name + ".txt", std::ios::binary) << grid.ToText(name);
    Fail("checkpoint " + name + ": no readable golden " + goldenPath + " (e2e_tests --update-goldens writes it)" +
         KeepFrames(name, frame, nullptr));
  }
  int cell = 0;
  const int distance = grid.MaxDistance(*golden, &cell);
  if (distance > tolerance) {
    Fail("checkpoint " + name + ": cell " + std::to_string(cell % FrameGrid::kColumns) + "," +
         std::to_string(cell / FrameGrid::kColumns) + " is " +
         Hex(grid.Cell(cell % FrameGrid::kColumns, cell / FrameGrid::kColumns)) + ", the golden " +
         Hex(golden->Cell(cell % FrameGrid::kColumns, cell / FrameGrid::kColumns)) + KeepFrames(name, frame, &*golden));
  }
  Log("checkpoint " + name);
}

// In a real window the frame is what the X server shows of the game's window, as a player sees
// it. The picture was presented before the checkpoint, but the server may draw it a moment later:
// it counts once two looks a moment apart agree.
Frame Playthrough::ShownFrame(const std::string& what) {
  return Headless() != nullptr ? CurrentFrame() : WindowFrame(what);
}

Frame Playthrough::WindowFrame(const std::string& name) {
  const XConnection& screen = Screen();
  const std::optional<ScreenRect> window = screen.WindowOf(getpid());
  if (!window || window->x < 0 || window->y < 0 || window->x + window->width > screen.Width() ||
      window->y + window->height > screen.Height()) {
    Fail("checkpoint " + name + ": the game shows no window wholly on the screen");
  }
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWallLimitMs);
  Frame shown = screen.Grab(*window);
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    Frame again = screen.Grab(*window);
    if (again.pixels == shown.pixels) break;
    if (std::chrono::steady_clock::now() > end) Fail("checkpoint " + name + ": the window does not settle");
    shown = std::move(again);
  }
  Log("window " + name);
  return shown;
}

const XConnection& Playthrough::Screen() {
  if (!screen_) {
    screen_ = std::make_unique<XConnection>();
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || !screen_->Connect(display)) Fail("no connection to the X display");
  }
  return *screen_;
}

}  // namespace E2e
