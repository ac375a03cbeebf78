#include "platform/sdl/XScreenSaver.h"

#include "platform/clock/Clock.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

#include <cstdlib>
#include <mutex>

namespace Velk {

namespace {

// Opened on the first question and kept: asking happens every few seconds at the most.
Display* Connection() {
  static Display* display = nullptr;
  static std::once_flag once;
  std::call_once(once, [] {
    if (!std::getenv("DISPLAY")) return;
    display = XOpenDisplay(nullptr);
    int event = 0;
    int error = 0;
    if (display && !XScreenSaverQueryExtension(display, &event, &error)) {
      XCloseDisplay(display);
      display = nullptr;
    }
  });
  return display;
}

std::mutex gMutex;

}  // namespace

std::optional<ScreenSaverState> XScreenSaver::Query() {
  std::lock_guard lock(gMutex);
  Display* display = Connection();
  if (!display) return std::nullopt;
  int timeout = 0;
  int interval = 0;
  int blanking = 0;
  int exposures = 0;
  XGetScreenSaver(display, &timeout, &interval, &blanking, &exposures);
  XScreenSaverInfo info{};
  if (!XScreenSaverQueryInfo(display, DefaultRootWindow(display), &info)) return std::nullopt;
  ScreenSaverState state;
  state.timeoutSeconds = timeout > 0 ? static_cast<UINT>(timeout) : 0;
  state.active = timeout > 0 && info.state != ScreenSaverDisabled;
  state.running = info.state == ScreenSaverOn;
  state.lastInputTick = GetTickCount() - static_cast<DWORD>(info.idle);
  return state;
}

}  // namespace Velk
