#include "platform/sdl/XWindowFrame.h"

#include "platform/sdl/XErrorFilter.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <vector>

namespace Velk {

namespace {

constexpr long kSides = 4;
// No real frame is this thick; a larger value is a broken property, not a frame.
constexpr long kMaxSide = 4096;

// The property's items, when it has exactly `count` of them.
std::optional<std::vector<long>> ReadProperty(Display* display, ::Window window, const char* name, Atom type,
                                              long count) {
  std::vector<long> items = XWindowFrame::Items(display, window, name, type, count);
  if (items.size() != static_cast<size_t>(count)) return std::nullopt;
  return items;
}

bool X11Of(SDL_Window* window, SDL_SysWMinfo& info) {
  SDL_VERSION(&info.version);
  return window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11;
}

}  // namespace

bool XWindowFrame::ManagerRuns(SDL_Window* window) {
  SDL_SysWMinfo info;
  return X11Of(window, info) && ManagerRunsOn(info.info.x11.display);
}

bool XWindowFrame::ManagerRunsOn(Display* display) {
  const auto check = ReadProperty(display, DefaultRootWindow(display), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 1);
  if (!check) return false;
  // A manager that has gone leaves the root's entry behind; a live one names its own check window.
  XErrorFilter::Claim(display);
  const auto own = ReadProperty(display, static_cast<::Window>((*check)[0]), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 1);
  XSync(display, False);
  XErrorFilter::Release(display);
  return own && (*own)[0] == (*check)[0];
}

std::optional<RECT> XWindowFrame::Extents(SDL_Window* window) {
  SDL_SysWMinfo info;
  if (!X11Of(window, info)) return std::nullopt;
  const auto sides =
      ReadProperty(info.info.x11.display, info.info.x11.window, "_NET_FRAME_EXTENTS", XA_CARDINAL, kSides);
  if (!sides) return std::nullopt;
  for (long side : *sides) {
    if (side < 0 || side > kMaxSide) return std::nullopt;
  }
  // The property's order is left, right, top, bottom.
  return RECT{static_cast<LONG>((*sides)[0]), static_cast<LONG>((*sides)[2]), static_cast<LONG>((*sides)[1]),
              static_cast<LONG>((*sides)[3])};
}

std::vector<long> XWindowFrame::Items(Display* display, ::Window window, const char* name, Atom type, long most) {
  std::vector<long> items;
  const Atom property = XInternAtom(display, name, True);
  if (property == None) return items;
  Atom actualType = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long rest = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, property, 0, most, False, type, &actualType, &format, &count, &rest, &data) ==
          Success &&
      data && actualType == type && format == 32) {
    const long* first = reinterpret_cast<const long*>(data);
    items.assign(first, first + count);
  }
  if (data) XFree(data);
  return items;
}

}  // namespace Velk
