#include "platform/dsound/DSoundFaults.h"

#include <array>
#include <atomic>

namespace Velk {

namespace {

std::array<std::atomic<HRESULT>, static_cast<size_t>(DSoundCall::Count)>& Pending() {
  static std::array<std::atomic<HRESULT>, static_cast<size_t>(DSoundCall::Count)> pending{};
  return pending;
}

}  // namespace

void DSoundFaults::FailNext(DSoundCall call, HRESULT result) { Pending()[static_cast<size_t>(call)] = result; }

void DSoundFaults::Clear() {
  for (auto& result : Pending()) result = S_OK;
}

HRESULT DSoundFaults::Take(DSoundCall call) { return Pending()[static_cast<size_t>(call)].exchange(S_OK); }

}  // namespace Velk
