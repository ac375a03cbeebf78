#include "platform/ddraw/DDrawSettings.h"

#include <map>
#include <mutex>

namespace Velk {

namespace {

struct PendingFault {
  HRESULT result;
  int skip;
};

std::mutex& FaultLock() {
  static std::mutex lock;
  return lock;
}

std::multimap<std::string, PendingFault>& Faults() {
  static std::multimap<std::string, PendingFault> faults;
  return faults;
}

}  // namespace

DDrawSettings& DDrawSettings::Get() {
  static DDrawSettings settings;
  return settings;
}

void DDrawSettings::Reset() {
  Get() = DDrawSettings();
  DDrawFaults::Clear();
}

void DDrawFaults::Fail(const std::string& call, HRESULT result, int skip) {
  std::lock_guard<std::mutex> guard(FaultLock());
  Faults().emplace(call, PendingFault{result, skip});
}

void DDrawFaults::Clear() {
  std::lock_guard<std::mutex> guard(FaultLock());
  Faults().clear();
}

HRESULT DDrawFaults::Take(const char* call) {
  std::lock_guard<std::mutex> guard(FaultLock());
  auto range = Faults().equal_range(call);
  for (auto it = range.first; it != range.second; ++it) {
    if (it->second.skip > 0) {
      --it->second.skip;
      continue;
    }
    const HRESULT result = it->second.result;
    Faults().erase(it);
    return result;
  }
  return 0;
}

}  // namespace Velk
