#pragma once
// Settings of an X server that a test starts for itself. Apart from the tests, so that Xlib's macros
// (None, Bool, ...) never meet the test framework's names.

#include <string>

namespace Velk::Testing {

// Sets the server's screen-saver timeout; false when the server cannot be reached.
bool SetScreenSaverTimeout(const std::string& display, int seconds);

}  // namespace Velk::Testing
