#include "platform/base/KernelObject.h"

#include "platform/base/LastError.h"

#include <map>
#include <mutex>

namespace Velk {

namespace {

using ObjectTable = std::map<HANDLE, std::unique_ptr<KernelObject>>;

std::mutex gTableLock;

// Never destroyed: what is still open when the process exits is let go with the process, as the
// system does with handles, rather than closed by a static destructor that may find the statics its
// objects use already gone.
ObjectTable& Table() {
  static auto* table = new ObjectTable();
  return *table;
}

}  // namespace

HANDLE KernelObject::Add(std::unique_ptr<KernelObject> object) {
  HANDLE handle = object.get();
  std::lock_guard<std::mutex> hold(gTableLock);
  Table().emplace(handle, std::move(object));
  return handle;
}

KernelObject* KernelObject::FindAny(HANDLE handle) {
  std::lock_guard<std::mutex> hold(gTableLock);
  auto found = Table().find(handle);
  return found == Table().end() ? nullptr : found->second.get();
}

void KernelObject::ReportInvalid() { SetLastError(ERROR_INVALID_HANDLE); }

BOOL KernelObject::Release(HANDLE handle) {
  std::unique_ptr<KernelObject> object;
  {
    std::lock_guard<std::mutex> hold(gTableLock);
    auto found = Table().find(handle);
    if (found == Table().end()) {
      ReportInvalid();
      return FALSE;
    }
    object = std::move(found->second);
    Table().erase(found);
  }
  // Outside the table's lock: a file's write-back may take a while.
  return object->Close();
}

}  // namespace Velk

BOOL CloseHandle(HANDLE handle) { return Velk::KernelObject::Release(handle); }
