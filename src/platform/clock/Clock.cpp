#include "platform/clock/Clock.h"

#include <atomic>
#include <ctime>
#include <thread>

namespace {

constexpr uint64_t kNsPerMs = 1'000'000;
constexpr int64_t kCounterFrequency = 1'000'000'000;

std::atomic<bool> gManual{false};
std::atomic<uint64_t> gManualNs{0};

uint64_t MonotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1'000'000'000u + static_cast<uint64_t>(ts.tv_nsec);
}

DWORD Milliseconds() { return static_cast<DWORD>(Velk::Clock::Nanoseconds() / kNsPerMs); }

}  // namespace

namespace Velk {

void Clock::UseManual(DWORD startMs) {
  gManualNs.store(static_cast<uint64_t>(startMs) * kNsPerMs);
  gManual.store(true);
}

void Clock::UseReal() { gManual.store(false); }

bool Clock::IsManual() { return gManual.load(); }

void Clock::Advance(DWORD ms) { AdvanceNanoseconds(static_cast<uint64_t>(ms) * kNsPerMs); }

void Clock::AdvanceNanoseconds(uint64_t ns) {
  if (gManual.load()) gManualNs.fetch_add(ns);
}

uint64_t Clock::Nanoseconds() { return gManual.load() ? gManualNs.load() : MonotonicNs(); }

}  // namespace Velk

DWORD timeGetTime() { return Milliseconds(); }

DWORD GetTickCount() { return Milliseconds(); }

BOOL QueryPerformanceCounter(LARGE_INTEGER* counter) {
  if (!counter) return FALSE;
  counter->QuadPart = static_cast<int64_t>(Velk::Clock::Nanoseconds());
  return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  if (!frequency) return FALSE;
  frequency->QuadPart = kCounterFrequency;
  return TRUE;
}

void Sleep(DWORD ms) {
  if (Velk::Clock::IsManual()) {
    Velk::Clock::Advance(ms);
  } else if (ms == 0) {
    std::this_thread::yield();
  } else {
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1'000'000};
    while (nanosleep(&ts, &ts) != 0) {
    }
  }
}

UINT timeBeginPeriod(UINT) { return TIMERR_NOERROR; }

UINT timeEndPeriod(UINT) { return TIMERR_NOERROR; }
