#pragma once
// Turns an unhandled fault anywhere in the process into a report: "crash.txt" in the current
// folder, the application's demo saved, and the "Fatal Error!" window. The fatal-signal handler only
// records the fault and hands it to the crash reporter, a process started with the catcher; the
// catcher's crash thread, woken by the handler, adds what only the application knows (through the
// registered crash host) and saves its demo. Neither the display nor the widgets are needed.
#include "platform/crash/FatalSignals.h"

#include <string>

namespace Velk {

class CrashHost;
struct CrashAppInfo;

class CrashCatcher {
 public:
  // Starts the reporter and the crash thread (once) and installs the fatal-signal handler.
  static void Install();
  static void Remove();
  static void SetCrashHost(CrashHost* host);
  static CrashHost* GetCrashHost();
  static void SetShowWindow(bool show);
  static void SetUploadAllowed(bool allowed);
  // Where reports would be posted; empty (the default) offers no upload.
  static void SetSubmitHost(const std::string& host);
  // Runs the report path at once, as an unhandled fault would, and ends the process.
  [[noreturn]] static void CrashNow();

  // What the crash thread hands the reporter: the host's part (none without a host) and the
  // catcher's settings. The crash host's OnCrash runs first; the demo is saved.
  static CrashAppInfo GatherAppInfo();

 private:
  static void CrashThread(int wake);
  static void AwaitWake(int wake);
};

}  // namespace Velk
