#include "app/DeferredInputQueue.h"

namespace Velk {

namespace {

bool IsSettingsChange(UINT message) { return message == WM_SYSCOLORCHANGE || message == WM_DISPLAYCHANGE; }

}  // namespace

bool DeferredInputQueue::HasSettingsChange() const {
  for (const DeferredInput& record : mRecords) {
    if (IsSettingsChange(record.message)) return true;
  }
  return false;
}

bool DeferredInputQueue::Add(const DeferredInput& record) {
  if (!mRecords.empty()) {
    UINT newest = mRecords.back().message;
    if (newest == WM_CLOSE) return false;
    if (record.message == WM_TIMER && newest == WM_TIMER) return false;
  }
  if (IsSettingsChange(record.message) && HasSettingsChange()) return false;
  mRecords.push_back(record);
  return true;
}

DeferredInput DeferredInputQueue::TakeFront() {
  DeferredInput record = mRecords.front();
  mRecords.pop_front();
  return record;
}

}  // namespace Velk
