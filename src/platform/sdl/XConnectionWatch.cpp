#include "platform/sdl/XConnectionWatch.h"

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>

namespace Velk {

namespace {

// Xlib's handler type, with the display left opaque: only the pointer is passed through.
using IOErrorHandler = int (*)(void* display);
using SetIOErrorHandler = IOErrorHandler (*)(IOErrorHandler handler);

std::atomic<void (*)()> gLost{nullptr};
// The process that installed the handler; only it keeps the program's files.
std::atomic<pid_t> gOwner{0};

int OnConnectionLost(void*) {
  auto lost = gLost.load();
  if (lost && getpid() == gOwner.load()) lost();
  _exit(1);  // Xlib would exit() when the handler returns
}

}  // namespace

bool XConnectionWatch::Install(void (*lost)()) {
  // Only the Xlib already in the process: SDL loads it at run time when it drives X.
  void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
  if (!xlib) return false;
  auto set = reinterpret_cast<SetIOErrorHandler>(dlsym(xlib, "XSetIOErrorHandler"));
  if (set) {
    gLost = lost;
    gOwner = getpid();
    set(OnConnectionLost);
  }
  dlclose(xlib);  // the library stays: SDL holds its own reference
  return set != nullptr;
}

}  // namespace Velk
