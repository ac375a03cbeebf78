#include "e2e/XvfbScreen.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "app/ChildProcess.h"
#include "e2e/FindProgram.h"

namespace E2e {

namespace {

constexpr int kStartLimitMs = 10000;
// A window manager starting on a loaded machine may take much longer than the server.
constexpr int kWindowManagerLimitMs = 120000;
constexpr int kStopLimitMs = 3000;

// Xlib reports errors of the test's own requests here instead of ending the test program.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

XvfbScreen::XvfbScreen(int width, int height, const std::string& windowManager,
                       const std::vector<std::string>& windowManagerArgs)
    : width_(width), height_(height) {
  if (!StartServer()) return;
  if (!windowManager.empty()) StartWindowManager(windowManager, windowManagerArgs);
}

XvfbScreen::~XvfbScreen() { End(); }

// The test's own connection goes first: Xlib would end the test program on a broken one. Once
// ended, a process is forgotten, so that its reused id is never signalled.
void XvfbScreen::End() {
  Disconnect();
  if (windowManager_) Stop(*windowManager_);
  if (server_) Stop(*server_);
  windowManager_.reset();
  server_.reset();
}

// Asked to end first, so that the server removes its socket and lock file.
void XvfbScreen::Stop(Velk::Testing::ChildProcess& process) {
  if (process.Pid() > 0) kill(process.Pid(), SIGTERM);
  process.WaitForEnd(kStopLimitMs);
}

bool XvfbScreen::StartServer() {
  const std::optional<std::string> xvfb = FindProgram("Xvfb");
  if (!xvfb) {
    failure_ = "Xvfb is not installed";
    return false;
  }
  const std::string screen = std::to_string(width_) + "x" + std::to_string(height_) + "x24";
  // The server writes the display number it chose to descriptor 3 once it accepts connections; its
  // root is black, as the bars beside a picture are.
  server_ = std::make_unique<Velk::Testing::ChildProcess>(
      std::vector<std::string>{*xvfb, "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp", "-br"},
      std::map<std::string, std::string>{}, 3);
  const std::optional<std::string> number = server_->ReadLine(kStartLimitMs);
  if (!number || number->empty()) {
    failure_ = "Xvfb did not start";
    return false;
  }
  name_ = ":" + *number;
  XSetErrorHandler(IgnoreXError);
  if (!Connect(name_)) failure_ = "no connection to " + name_;
  return failure_.empty();
}

bool XvfbScreen::StartWindowManager(const std::string& program, std::vector<std::string> args) {
  const std::optional<std::string> path = FindProgram(program);
  if (!path) {
    failure_ = program + " is not installed";
    return false;
  }
  // It announces itself on the root window early, but finishes starting (managing the windows there
  // under a server grab) only later: a window mapped meanwhile may never be mapped for it, and the
  // program that maps it then waits for ever. So the test's programs start once it has run its
  // start-up command, which prints a line to the pipe it was given.
  args.insert(args.begin(), *path);
  args.insert(args.end(), {"--startup", "echo started"});
  windowManager_ =
      std::make_unique<Velk::Testing::ChildProcess>(args, std::map<std::string, std::string>{{"DISPLAY", name_}});
  if (!windowManager_->WaitForLine("started", kWindowManagerLimitMs) || !WindowManagerRuns()) {
    failure_ = program + " did not start managing " + name_;
    return false;
  }
  return true;
}

// A window manager of the current standard announces itself on the root window.
bool XvfbScreen::WindowManagerRuns() const {
  const Atom check = XInternAtom(Connection(), "_NET_SUPPORTING_WM_CHECK", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(Connection(), DefaultRootWindow(Connection()), check, 0, 1, False, XA_WINDOW,
                                        &type, &format, &count, &after, &data);
  const bool runs = status == Success && count == 1;
  if (data != nullptr) XFree(data);
  return runs;
}

}  // namespace E2e
