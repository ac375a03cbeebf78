#include "platform/sdl/XFaultHook.h"

#include "platform/sdl/XErrorFilter.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <csignal>
#include <cstdlib>

namespace Velk {

namespace {

int gSignal = 0;

void RaiseInsideXlib() { std::raise(gSignal); }

}  // namespace

void XFaultHook::Poll(SDL_Window* window) {
  static const int signal = [] {
    const char* value = std::getenv(kVariable);
    return value ? std::atoi(value) : 0;
  }();
  static int pumps = 0;
  if (signal <= 0 || !window || ++pumps != kPumps) return;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  Display* display = info.info.x11.display;
  gSignal = signal;
  XErrorFilter::Claim(display, &RaiseInsideXlib);
  XWindowAttributes attributes;
  XGetWindowAttributes(display, None, &attributes);  // no such window: an error reply
}

}  // namespace Velk
