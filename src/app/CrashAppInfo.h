#pragma once
// What the application adds to a crash report, gathered in the crashed process by its crash thread
// and handed to the reporter as one message: its crash information and library versions, what the
// upload sends, the demo saved at the crash, and the catcher's settings at that moment.
#include <map>
#include <optional>
#include <string>

namespace Velk {

struct CrashAppInfo {
  bool hasApplication = false;
  std::string crashInfo;
  std::string ddrawVersion;
  std::string dsoundVersion;
  std::string product;
  std::string version;
  std::map<std::string, std::string> uploadFields;
  bool demoAvailable = false;
  std::string demoFile;
  bool showWindow = true;
  bool uploadAllowed = true;
  std::string submitHost;

  std::string Encode() const;
  // Nothing for a message that is not a whole encoded record.
  static std::optional<CrashAppInfo> Decode(const std::string& message);
};

}  // namespace Velk
