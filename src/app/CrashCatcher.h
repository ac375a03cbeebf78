#pragma once
// Turns an unhandled fault anywhere in the process into a report: "crash.txt" in the current
// folder, the application's demo saved, and the "Fatal Error!" window. It needs neither the display
// nor the widgets, and reaches the application only through the registered crash host.
#include "platform/crash/FatalSignals.h"

#include <string>

namespace Velk {

class CrashHost;

class CrashCatcher {
 public:
  // Installs the fatal-signal handler for the whole process.
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

  // The handler: report, "crash.txt", demo, window.
  static void HandleFault(const FaultRecord& record);
  static const std::string& GetErrorTitle();
  static const std::string& GetErrorText();

 private:
  static void WriteReportFile(const std::string& report);
  static void SaveDemo();
  static void SendReport();
};

}  // namespace Velk
