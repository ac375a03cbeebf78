#pragma once
// The reference count every stand-in XML object shares: atomic, starting at one for the creator,
// and the object deletes itself when the last reference goes.

#include "platform/base/WinTypes.h"

#include <atomic>

template <class Interface>
class ComObject : public Interface {
 public:
  ULONG AddRef() override { return mRefs.fetch_add(1, std::memory_order_relaxed) + 1; }
  ULONG Release() override {
    ULONG left = mRefs.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
  }

 protected:
  ComObject() = default;
  virtual ~ComObject() = default;

 private:
  std::atomic<ULONG> mRefs{1};
};
