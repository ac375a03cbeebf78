#include "app/CrashCatcher.h"

#include "app/CrashAppInfo.h"
#include "app/CrashHost.h"
#include "app/CrashReporter.h"
#include "platform/crash/ReporterLink.h"
#include "platform/process/CloseSignals.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace Velk {

namespace {

std::atomic<CrashHost*> gHost{nullptr};
std::atomic<bool> gShowWindow{true};
std::atomic<bool> gUploadAllowed{true};
std::mutex gSettingsLock;
std::string gSubmitHost;
int gWake = -1;

}  // namespace

void CrashCatcher::Install() {
  static std::once_flag started;
  std::call_once(started, [] {
    // The reporter is forked before the crash thread exists, while the process has one thread.
    ReporterLink::Start(&CrashReporter::Run);
    gWake = eventfd(0, EFD_CLOEXEC);
    if (gWake >= 0) std::thread(&CrashCatcher::CrashThread, gWake).detach();
  });
  InstallFatalSignalHandler(ReporterLink::Descriptor(), gWake);
}

void CrashCatcher::Remove() { RemoveFatalSignalHandler(); }
void CrashCatcher::SetCrashHost(CrashHost* host) { gHost = host; }
CrashHost* CrashCatcher::GetCrashHost() { return gHost; }
void CrashCatcher::SetShowWindow(bool show) { gShowWindow = show; }
void CrashCatcher::SetUploadAllowed(bool allowed) { gUploadAllowed = allowed; }

void CrashCatcher::SetSubmitHost(const std::string& host) {
  std::lock_guard guard(gSettingsLock);
  gSubmitHost = host;
}

void CrashCatcher::CrashNow() {
  Install();
  std::raise(SIGABRT);
  std::_Exit(1);  // not reached: the handler ends with the default action
}

CrashAppInfo CrashCatcher::GatherAppInfo() {
  CrashAppInfo info;
  info.showWindow = gShowWindow;
  info.uploadAllowed = gUploadAllowed;
  {
    std::lock_guard guard(gSettingsLock);
    info.submitHost = gSubmitHost;
  }
  CrashHost* host = gHost;
  if (!host) return info;
  host->OnCrash();
  info.hasApplication = true;
  info.crashInfo = host->GetCrashInfo();
  info.ddrawVersion = host->GetProductVersion("ddraw.dll");
  info.dsoundVersion = host->GetProductVersion("dsound.dll");
  info.product = host->GetProductName();
  info.version = host->GetProductVersionText();
  host->FillUploadFields(info.uploadFields);
  info.demoAvailable = host->SaveDemoForCrash(info.demoFile);
  std::string extra = host->GetExtraInfoText();
  if (!extra.empty()) {
    info.demoFile = extra;
    info.demoAvailable = true;
  }
  return info;
}

// Woken by the handler after a fault, outside the signal context: it hands the application's part
// to the reporter, or, when the reporter cannot take the fault, writes the report itself.
// A close signal that came to its read would wait there with it: the signals are kept out.
void CrashCatcher::CrashThread(int wake) {
  CloseSignals::KeepOutOfThisThread();
  AwaitWake(wake);
  const CrashAppInfo info = GatherAppInfo();
  if (!ReporterMissing()) {
    ReporterLink::Send(info.Encode());
    AwaitWake(wake);  // once more only when the reporter never takes the fault
  }
  std::string title;
  CrashReporter::WriteReport(CaughtFault(), &info, title);
  std::fprintf(stderr, "The crash reporter did not answer; the report is in crash.txt.\n");
  FaultReportWritten();
  WaitForFatalEnd();
}

void CrashCatcher::AwaitWake(int wake) {
  uint64_t count = 0;
  while (read(wake, &count, sizeof count) != static_cast<ssize_t>(sizeof count)) {
  }
}

}  // namespace Velk
