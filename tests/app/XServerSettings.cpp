#include "app/XServerSettings.h"

#include <X11/Xlib.h>

namespace Velk::Testing {

bool SetScreenSaverTimeout(const std::string& display, int seconds) {
  Display* connection = XOpenDisplay(display.c_str());
  if (!connection) return false;
  XSetScreenSaver(connection, seconds, 0, DontPreferBlanking, AllowExposures);
  XSync(connection, False);
  // The server keeps the setting after the connection closes unless it resets (Xvfb -noreset).
  XCloseDisplay(connection);
  return true;
}

}  // namespace Velk::Testing
