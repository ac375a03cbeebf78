#pragma once
// The script layer of the playthrough, inside the child process that plays one phase. It starts the
// game's application as the program entry does and then steps its main loop on the manual clock,
// one logic update at a time; input arrives through the window as a player's would; waits for the
// loading and level threads are bounded by the wall clock while game time stands still. Each step
// goes to standard output as one line, which the parent process reads; the first failure ends the
// process with the frame kept beside the message.

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "e2e/FrameGrid.h"
#include "e2e/XConnection.h"
#include "platform/base/WinTypes.h"

class QCEngine3;

namespace Velk {
class Widget;
}

namespace E2e {

// A small rectangle of the frame whose average colour is known from the art.
struct Probe {
  std::string what;
  int x, y, width, height;
  uint32_t colour;
};

struct PlaythroughOptions {
  std::string outFolder;  // frames and grids of a failure go here
  std::string goldenFolder;
  bool updateGoldens = false;
  bool expectMessageBox = false;  // a box is the phase's expected outcome, not a failure
};

class Playthrough {
 public:
  explicit Playthrough(PlaythroughOptions options);
  ~Playthrough();
  Playthrough(const Playthrough&) = delete;
  Playthrough& operator=(const Playthrough&) = delete;

  // Makes the application and runs its Init as the program entry does. False when start-up failed
  // (the application has shut itself down); the caller decides whether that was expected.
  bool Start();
  // The loading thread runs to its end, and the main loop hands its screens over.
  void LoadResources();
  QCEngine3& Game() { return *game_; }

  // Logic updates of the main loop (10 ms of game time each), drawing as it draws.
  void Step(int updates = 1);
  // Called after every logic update from now on, to see what no single check between steps catches.
  void WatchEveryUpdate(std::function<void()> watch) { watch_ = std::move(watch); }
  // Steps until `done`, at most `maxUpdates`; a failure naming `what` otherwise.
  void StepUntil(const std::function<bool()>& done, int maxUpdates, const std::string& what);
  // The level loads of the run so far: started, and handed over to the main thread (the
  // generators are seeded again there).
  int LevelLoadsStarted() const;
  int LevelHandOvers() const;
  // Waits without stepping, at most 10 s of wall time, for work on another thread.
  void WaitFor(const std::function<bool()>& done, const std::string& what);

  // Input through the window, at screen coordinates; the clicks take one update between press and release.
  void Click(int x, int y);
  void MoveMouse(int x, int y);
  void ClickWidget(Velk::Widget* widget, const std::string& name);
  // A click put in the input queue behind what waits there, taken by the next update.
  void QueueClick(int x, int y);
  // In a real window a click through the X server, pressed and let go at once as a player's quick
  // click reaches the program (headless one put in the queue); no update runs here. Game time runs
  // faster than the wall clock here: unless it is to end a double click, it waits until the server's
  // last click is too long ago for one.
  void ServerClick(int x, int y, bool endsADoubleClick = false);
  void Type(const std::string& utf8);
  void PressKey(UINT vk);
  // The window's close box; steps until the application has shut down.
  void Close();
  // What the program entry does after the main loop, then the application goes. The phase's exit status.
  int Finish();

  void Log(const std::string& line);
  void Expect(bool ok, const std::string& what);
  [[noreturn]] void Fail(const std::string& message);

  // The frame on screen against its probes and against golden/<name>.txt; in a real window, what
  // the X server shows of the window.
  void Checkpoint(const std::string& name, const std::vector<Probe>& probes = {});
  // A rectangle of the 800 x 600 frame on screen against golden/<name>.txt.
  void StripCheckpoint(const std::string& name, const ScreenRect& strip);
  // The pictures of the screen at a checkpoint, kept for the parent to compare: the framework's
  // screenshot "<back end>_<name>_screenshot.png"; headless the presented frame "headless_<name>.png",
  // in a real window what the window shows, "sdl_<name>_window.png".
  void KeepScreenPictures(const std::string& name);
  Frame CurrentFrame() const;
  // What the player sees: headless the presented frame, in a real window what the X server shows.
  Frame ShownFrame(const std::string& what);
  std::vector<std::wstring> MessageBoxes();

 private:
  void CheckMessageBoxes();
  // The picture reduced to its grid against golden/<name>.txt, or written there when updating.
  void MatchGolden(const std::string& name, const Frame& picture, int tolerance);
  Frame WindowFrame(const std::string& name);
  // In a real window: the X screen it is on, connected on first use.
  const XConnection& Screen();
  // The frame and the grids that did not match; the names written, for the failure message.
  std::string KeepFrames(const std::string& name, const Frame& frame, const FrameGrid* golden);
  void InjectButton(int x, int y, bool down);
  void InjectMove(int x, int y);
  // A point of the game's 800 x 600 picture in the window: full screen on a larger screen scales
  // the picture to the largest 4:3 rectangle in the middle; the middle of the pixels it covers.
  POINT InWindow(int x, int y);
  void SendKey(UINT vk, bool down);

  PlaythroughOptions options_;
  QCEngine3* game_ = nullptr;
  std::mutex boxesLock_;
  std::vector<std::wstring> boxes_;
  std::function<void()> watch_;
  std::unique_ptr<XConnection> screen_;
  std::chrono::steady_clock::time_point lastServerClick_;
};

}  // namespace E2e
