#pragma once
// A private X screen for tests that run a program in real windows: Xvfb of a chosen size on a
// display number the server picks itself (so that tests run side by side), optionally a window
// manager from Debian on it, and a connection to it (XConnection) for what a test does there.
// Everything it started ends with it.

#include <memory>
#include <string>
#include <vector>

#include "e2e/XConnection.h"

namespace Velk::Testing {
class ChildProcess;
}

namespace E2e {

class XvfbScreen : public XConnection {
 public:
  // `windowManager` names a program on PATH that takes a start-up command ("openbox"), or is empty
  // for a bare screen; `windowManagerArgs` go before that command (a configuration of the test's
  // own). The screen is ready once the window manager has started.
  XvfbScreen(int width, int height, const std::string& windowManager = "",
             const std::vector<std::string>& windowManagerArgs = {});
  ~XvfbScreen();
  XvfbScreen(const XvfbScreen&) = delete;
  XvfbScreen& operator=(const XvfbScreen&) = delete;

  // Empty once the server (and the window manager) run; else what failed.
  const std::string& Failure() const { return failure_; }
  // The value for DISPLAY.
  const std::string& Name() const { return name_; }
  // Ends the server (and the window manager) under the programs still connected, as when the
  // player's session ends; the screen is gone after it.
  void End();

 private:
  bool StartServer();
  bool StartWindowManager(const std::string& program, std::vector<std::string> args);
  bool WindowManagerRuns() const;
  static void Stop(Velk::Testing::ChildProcess& process);

  int width_;
  int height_;
  std::string name_;
  std::string failure_;
  std::unique_ptr<Velk::Testing::ChildProcess> server_;
  std::unique_ptr<Velk::Testing::ChildProcess> windowManager_;
};

}  // namespace E2e
