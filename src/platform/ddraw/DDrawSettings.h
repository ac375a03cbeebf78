#pragma once
// What the DirectDraw stand-in answers with, and the failures tests make it produce. One set per
// process; tests change it and call Reset() afterwards.

#include "platform/base/WinTypes.h"

#include <functional>
#include <string>

namespace Velk {

struct DDrawSettings {
  // The desktop's depth: 32, 16 (5-6-5 unless desktop555), or 24 and 8, which the display refuses.
  // 0 takes the back end's. The desktop's size is always the back end's, as GetSystemMetrics says.
  int desktopBits = 0;
  bool desktop555 = false;
  // Bytes added to every surface row, so that code assuming pitch = width x bytes shows up.
  int pitchPadding = 32;
  DWORD videoMemoryTotal = 256u << 20;
  DWORD refreshRate = 60;
  // Sleep to the next refresh boundary in WaitForVerticalBlank; tests leave it off.
  bool waitForVerticalBlank = false;
  // The beam; unset answers DDERR_UNSUPPORTED.
  std::function<HRESULT(DWORD*)> scanLine;
  std::string driver;  // empty: the running program
  // The memory presenter keeps the desktop's mode, as a real screen does: a full-screen mode is
  // then the desktop's size, whatever size was asked for.
  bool keepDesktopMode = false;
  std::string description = "Velk software display device";

  static DDrawSettings& Get();
  static void Reset();
};

// Failure injection by method name ("CreateSurface", "Lock", "Blt", "DirectDrawCreateEx", ...).
class DDrawFaults {
 public:
  // The call fails with `result` after `skip` further successful calls, once.
  static void Fail(const std::string& call, HRESULT result, int skip = 0);
  static void Clear();
  // The injected result for this call (consumed), or DD_OK.
  static HRESULT Take(const char* call);
};

}  // namespace Velk
