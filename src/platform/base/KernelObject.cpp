#include "platform/base/KernelObject.h"

#include "platform/base/LastError.h"

#include <map>
#include <mutex>

namespace Velk {

namespace {

std::mutex gTableLock;
std::map<HANDLE, std::unique_ptr<KernelObject>> gTable;

}  // namespace

HANDLE KernelObject::Add(std::unique_ptr<KernelObject> object) {
  HANDLE handle = object.get();
  std::lock_guard<std::mutex> hold(gTableLock);
  gTable.emplace(handle, std::move(object));
  return handle;
}

KernelObject* KernelObject::FindAny(HANDLE handle) {
  std::lock_guard<std::mutex> hold(gTableLock);
  auto found = gTable.find(handle);
  return found == gTable.end() ? nullptr : found->second.get();
}

void KernelObject::ReportInvalid() { SetLastError(ERROR_INVALID_HANDLE); }

BOOL KernelObject::Release(HANDLE handle) {
  std::unique_ptr<KernelObject> object;
  {
    std::lock_guard<std::mutex> hold(gTableLock);
    auto found = gTable.find(handle);
    if (found == gTable.end()) {
      ReportInvalid();
      return FALSE;
    }
    object = std::move(found->second);
    gTable.erase(found);
  }
  // Outside the table's lock: a file's write-back may take a while.
  return object->Close();
}

}  // namespace Velk

BOOL CloseHandle(HANDLE handle) { return Velk::KernelObject::Release(handle); }
