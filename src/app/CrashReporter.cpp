#include "app/CrashReporter.h"

#include "app/CrashAppInfo.h"
#include "app/CrashReport.h"
#include "app/CrashReportWindow.h"
#include "app/CrashSubmit.h"
#include "app/CrashUpload.h"
#include "app/LinkerMap.h"
#include "platform/backend/Backend.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/PathMap.h"
#include "platform/files/RegularFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Velk {

namespace {

// A larger recording is not sent.
constexpr uint64_t kMaxDemoBytes = 64 << 20;

}  // namespace

std::optional<std::string> CrashReporter::Receive(int descriptor, int timeoutMs) {
  pollfd readable{descriptor, POLLIN, 0};
  int ready = 0;
  do {
    ready = poll(&readable, 1, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  if (ready <= 0) return std::nullopt;
  const ssize_t size = recv(descriptor, nullptr, 0, MSG_PEEK | MSG_TRUNC);
  if (size <= 0) return std::nullopt;  // the program's end closed
  std::string message(static_cast<size_t>(size), '\0');
  if (recv(descriptor, message.data(), message.size(), 0) != size) return std::nullopt;
  return message;
}

void CrashReporter::Run(int descriptor, pid_t program) {
  while (std::optional<std::string> message = Receive(descriptor, -1)) {
    if (message->size() != sizeof(FaultRecord)) continue;
    FaultRecord record;
    std::memcpy(&record, message->data(), sizeof record);
    Report(descriptor, program, record);
    return;
  }
}

std::string CrashReporter::MakeReport(const FaultRecord& record, const CrashAppInfo* app, std::string& title) {
  std::string report = CrashReport::Build(record, app, title);
  const std::string mapFile = LinkerMap::FindMapFile();
  LinkerMap map;
  if (!mapFile.empty() && map.Load(mapFile)) report = map.Symbolise(report);
  return report;
}

std::string CrashReporter::WriteReport(const FaultRecord& record, const CrashAppInfo* app, std::string& title) {
  const std::string report = MakeReport(record, app, title);
  if (!WriteFileAtomically(MapPath("crash.txt"), report + "\n"))
    std::fprintf(stderr, "crash.txt could not be written.\n");
  return report;
}

void CrashReporter::Report(int descriptor, pid_t program, const FaultRecord& record) {
  const char received = kFaultReceived;
  send(descriptor, &received, 1, MSG_NOSIGNAL);
  std::optional<CrashAppInfo> app;
  if (std::optional<std::string> message = Receive(descriptor, kAppInfoWaitMs)) app = CrashAppInfo::Decode(*message);
  // The report and the map file belong in the program's current folder.
  const std::string folder = "/proc/" + std::to_string(program) + "/cwd";
  if (chdir(folder.c_str()) != 0) std::fprintf(stderr, "The crashed program's folder is out of reach.\n");
  std::string title;
  const std::string report = WriteReport(record, app ? &*app : nullptr, title);
  if (!app || app->showWindow) Show(program, title, report, app ? &*app : nullptr);
  const char reported = kFaultReported;
  send(descriptor, &reported, 1, MSG_NOSIGNAL);
}

void CrashReporter::Show(pid_t program, const std::string& title, const std::string& report, const CrashAppInfo* app) {
  Backend& backend = Backend::Get();
  CrashReportWindow::Choice choice = CrashReportWindow::kNotShown;
  if (backend.ShowsOnXDisplay()) {
    backend.HideWindowsOfProcess(program);
    const bool offerSend = app && app->uploadAllowed && !app->submitHost.empty();
    choice = CrashReportWindow::Show(report, offerSend, app && app->hasApplication);
  }
  if (choice == CrashReportWindow::kNotShown) std::fprintf(stderr, "[Fatal Error!] %s\n", report.c_str());
  if (choice == CrashReportWindow::kSend) Send(*app, title, report);
}

void CrashReporter::Send(const CrashAppInfo& app, const std::string& title, const std::string& report) {
  CrashUploadFields fields;
  fields.extra = app.uploadFields;
  fields.product = app.product;
  fields.version = app.version;
  fields.errorTitle = title;
  fields.errorText = report;
  if (app.demoAvailable) {
    std::string bytes;
    fields.hasDemo = ReadRegularFile(MapPath(app.demoFile), kMaxDemoBytes, bytes);
    fields.demo.WriteBytes(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int>(bytes.size()));
  }
  CrashSubmit::Run(app.submitHost, std::move(fields), app.hasApplication);
}

}  // namespace Velk
