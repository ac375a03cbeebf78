#pragma once
// For tests of the crash catcher: with VELK_TEST_FAULT_IN_X set to a signal number, the main thread
// raises that signal from within an X request, where Xlib holds its connection: a request that
// fails is sent some 100 event pumps after the first window exists, and the signal is raised by the
// error handler that Xlib calls while it reads the reply.

struct SDL_Window;

namespace Velk {

class XFaultHook {
 public:
  static constexpr const char* kVariable = "VELK_TEST_FAULT_IN_X";
  static constexpr int kPumps = 100;

  // Called at every pump with a window of the program; does nothing unless the variable is set.
  static void Poll(SDL_Window* window);
};

}  // namespace Velk
