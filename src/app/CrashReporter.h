#pragma once
// The crash reporter process: it waits for the program's fault record, takes the application's part
// from the program's crash thread, writes the report to "crash.txt" in the program's current folder,
// hides the program's windows and shows the "Fatal Error!" window on a display connection of its
// own (the "Send Report" road after it), then tells the program to end. Without a display the report
// goes to the error output and the program ends at once.
#include "platform/crash/FatalSignals.h"

#include <optional>
#include <string>
#include <sys/types.h>

namespace Velk {

struct CrashAppInfo;

class CrashReporter {
 public:
  // How long the reporter waits for the application's part before it reports without it.
  static constexpr int kAppInfoWaitMs = kCrashThreadWaitMs;

  static void Run(int descriptor, pid_t program);
  // The report of a fault, symbolised through a map file in the current folder; `title` receives
  // the error title.
  static std::string MakeReport(const FaultRecord& record, const CrashAppInfo* app, std::string& title);
  // The report made and written to "crash.txt" in the current folder (a failure said on the error
  // output).
  static std::string WriteReport(const FaultRecord& record, const CrashAppInfo* app, std::string& title);

 private:
  static void Report(int descriptor, pid_t program, const FaultRecord& record);
  static void Show(pid_t program, const std::string& title, const std::string& report, const CrashAppInfo* app);
  static void Send(const CrashAppInfo& app, const std::string& title, const std::string& report);
  // One message within `timeoutMs` (-1: however long it takes); nothing when none came.
  static std::optional<std::string> Receive(int descriptor, int timeoutMs);
};

}  // namespace Velk
