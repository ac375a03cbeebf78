#pragma once
// The objects behind the handles that CloseHandle takes: named mutexes, open files. A handle is the
// object's address, and only addresses in the process-wide table of live objects are accepted, so a
// stale or foreign handle is refused rather than followed.

#include "platform/base/WinTypes.h"

#include <memory>

// Closes a mutex or file handle. FALSE with ERROR_INVALID_HANDLE for a handle that is not open;
// FALSE with the error of its last work (a file's write-back) when that failed - the handle is
// closed all the same.
BOOL CloseHandle(HANDLE handle);

namespace Velk {

class KernelObject {
 public:
  virtual ~KernelObject() = default;

  // Takes the object into the table; its handle is its address.
  static HANDLE Add(std::unique_ptr<KernelObject> object);
  // The live object behind the handle when it is of kind T, else null with ERROR_INVALID_HANDLE.
  template <class T>
  static T* Find(HANDLE handle) {
    return Checked(dynamic_cast<T*>(FindAny(handle)));
  }
  // Takes the object out of the table, runs its Close and deletes it.
  static BOOL Release(HANDLE handle);

 protected:
  // The last work before the object is deleted; FALSE (with the last error set) when it failed.
  virtual BOOL Close() { return TRUE; }

 private:
  static KernelObject* FindAny(HANDLE handle);
  template <class T>
  static T* Checked(T* object) {
    if (object == nullptr) ReportInvalid();
    return object;
  }
  static void ReportInvalid();
};

}  // namespace Velk
