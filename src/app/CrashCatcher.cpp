#include "app/CrashCatcher.h"

#include "app/CrashHost.h"
#include "app/CrashReport.h"
#include "app/CrashSubmit.h"
#include "app/CrashUpload.h"
#include "app/LinkerMap.h"
#include "platform/crash/CrashSystem.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/PathMap.h"

#include <atomic>
#include <csignal>
#include <cstdio>

namespace Velk {

namespace {

const wchar_t* const kCrashMessage = L"An unexpected error has occured!";

std::atomic<CrashHost*> gHost{nullptr};
std::atomic<bool> gShowWindow{true};
std::atomic<bool> gUploadAllowed{true};
std::string gSubmitHost;
std::string gErrorTitle;
std::string gErrorText;
std::string gDemoFile;
bool gDemoAvailable = false;

}  // namespace

void CrashCatcher::Install() { InstallFatalSignalHandler(&CrashCatcher::HandleFault); }
void CrashCatcher::Remove() { RemoveFatalSignalHandler(); }
void CrashCatcher::SetCrashHost(CrashHost* host) { gHost = host; }
CrashHost* CrashCatcher::GetCrashHost() { return gHost; }
void CrashCatcher::SetShowWindow(bool show) { gShowWindow = show; }
void CrashCatcher::SetUploadAllowed(bool allowed) { gUploadAllowed = allowed; }
void CrashCatcher::SetSubmitHost(const std::string& host) { gSubmitHost = host; }
const std::string& CrashCatcher::GetErrorTitle() { return gErrorTitle; }
const std::string& CrashCatcher::GetErrorText() { return gErrorText; }

void CrashCatcher::CrashNow() {
  Install();
  std::raise(SIGABRT);
  std::_Exit(1);  // not reached: the handler ends with the default action
}

void CrashCatcher::HandleFault(const FaultRecord& record) {
  CrashHost* host = gHost;
  if (host) host->OnCrash();
  gErrorText = CrashReport::Build(record, host, gErrorTitle);
  std::string mapFile = LinkerMap::FindMapFile();
  LinkerMap map;
  if (!mapFile.empty() && map.Load(mapFile)) gErrorText = map.Symbolise(gErrorText);
  WriteReportFile(gErrorText);
  SaveDemo();
  if (!gShowWindow) return;
  bool offerSend = host && gUploadAllowed && !gSubmitHost.empty();
  if (ShowCrashWindow(L"Fatal Error!", kCrashMessage, gErrorText, offerSend) == kCrashWindowSend) SendReport();
}

void CrashCatcher::WriteReportFile(const std::string& report) {
  WriteFileAtomically(MapPath("crash.txt"), report + "\n");
}

void CrashCatcher::SaveDemo() {
  CrashHost* host = gHost;
  if (!host) return;
  gDemoAvailable = host->SaveDemoForCrash(gDemoFile);
  std::string extra = host->GetExtraInfoText();
  if (!extra.empty()) {
    gDemoFile = extra;
    gDemoAvailable = true;
  }
}

void CrashCatcher::SendReport() {
  CrashHost* host = gHost;
  CrashUploadFields fields;
  host->FillUploadFields(fields.extra);
  fields.product = host->GetProductName();
  fields.version = host->GetProductVersionText();
  fields.errorTitle = gErrorTitle;
  fields.errorText = gErrorText;
  fields.hasDemo = gDemoAvailable && host->ReadUploadFile(gDemoFile, fields.demo);
  CrashSubmit::Run(gSubmitHost, std::move(fields), true);
}

}  // namespace Velk
