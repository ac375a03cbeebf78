#include "platform/sdl/XErrorFilter.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <mutex>
#include <optional>
#include <vector>

namespace Velk {

namespace {

using ErrorHandler = int (*)(Display*, XErrorEvent*);

struct Claimed {
  Display* display;
  unsigned long firstRequest;
  void (*heard)();
};

std::mutex gMutex;
std::vector<Claimed> gClaimed;
ErrorHandler gPrevious = nullptr;
// A handler set after the filter that hands errors back to it would bring them round again.
thread_local bool tPassing = false;

int Filter(Display* display, XErrorEvent* error) {
  std::optional<Claimed> claim;
  ErrorHandler previous = nullptr;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    auto it = std::find_if(gClaimed.begin(), gClaimed.end(),
                           [&](const Claimed& c) { return c.display == display && error->serial >= c.firstRequest; });
    if (it != gClaimed.end()) claim = *it;
    previous = gPrevious;
  }
  if (claim) {
    if (claim->heard) claim->heard();
    return 0;
  }
  if (tPassing || !previous) return 0;
  tPassing = true;
  const int result = previous(display, error);
  tPassing = false;
  return result;
}

// With gMutex held.
void Forget(Display* display) {
  std::erase_if(gClaimed, [&](const Claimed& c) { return c.display == display; });
}

}  // namespace

void XErrorFilter::Claim(Display* display, void (*heard)()) {
  const Claimed claim{display, NextRequest(display), heard};
  std::lock_guard<std::mutex> lock(gMutex);
  Forget(display);
  gClaimed.push_back(claim);
  // Put in again where someone replaced it (SDL puts its start-up handler back when video ends).
  const ErrorHandler was = XSetErrorHandler(&Filter);
  if (was != &Filter) gPrevious = was;
}

void XErrorFilter::Release(Display* display) {
  std::lock_guard<std::mutex> lock(gMutex);
  Forget(display);
}

}  // namespace Velk
