#include "common/Profiler.h"

#include <chrono>
#include <map>
#include <vector>

#include "common/StringUtil.h"
#include "platform/clock/Clock.h"
#include "platform/threads/Threads.h"

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

namespace Velk {

namespace {

struct ProfileEvent {
  const char* section;
  uint64_t tick;
  bool isStart;
};

struct SectionRecord {
  uint64_t startTick = 0;
  uint64_t totalTicks = 0;
  uint64_t longestTicks = 0;
  double totalMs = 0.0;
  double longestMs = 0.0;
  int depth = 0;
  int calls = 0;
};

struct ProfilerState {
  bool profiling = false;
  uint64_t startTick = 0;
  uint64_t flushOverhead = 0;
  std::vector<ProfileEvent> events;
  std::map<const char*, SectionRecord> sections;
  double totalMs = 0.0;
};

ProfilerState& State() {
  static ProfilerState state;
  return state;
}

void ProcessEvent(ProfilerState& state, const ProfileEvent& event) {
  if (event.isStart) {
    SectionRecord& record = state.sections[event.section];
    record.calls += 1;
    if (++record.depth == 1) record.startTick = event.tick;
    return;
  }
  auto found = state.sections.find(event.section);
  if (found == state.sections.end()) return;
  SectionRecord& record = found->second;
  if (--record.depth != 0) return;
  uint64_t elapsed = event.tick - record.startTick;
  record.totalTicks += elapsed;
  if (elapsed > record.longestTicks) record.longestTicks = elapsed;
}

double TicksToMs(int64_t ticks) { return static_cast<double>(ticks) * 1000.0 / static_cast<double>(GetCpuSpeed()); }

// The wait below must end even when the counter stands still (a manual clock in tests).
constexpr int kMaxWaitPolls = 10000000;

}  // namespace

uint64_t ReadTimeStampCounter() {
#if defined(__x86_64__) || defined(__i386__)
  return __rdtsc();
#else
  return static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
#endif
}

int64_t MeasureCpuSpeed() {
  LARGE_INTEGER frequency;
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) return 0;
  HANDLE thread = GetCurrentThread();
  int oldPriority = GetThreadPriority(thread);
  SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);

  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  int64_t target = counter.QuadPart + frequency.QuadPart / 100;
  uint64_t first = ReadTimeStampCounter();
  int polls = 0;
  do {
    QueryPerformanceCounter(&counter);
  } while (counter.QuadPart < target && ++polls < kMaxWaitPolls);
  uint64_t last = ReadTimeStampCounter();

  SetThreadPriority(thread, oldPriority);
  if (counter.QuadPart < target) return 0;
  return static_cast<int64_t>(last - first) * 100;
}

int64_t GetCpuSpeed() {
  static int64_t speed = 0;
  if (speed == 0) {
    speed = MeasureCpuSpeed();
    if (speed <= 0) speed = 1;
  }
  return speed;
}

void StartProfiling(bool resetOnly) {
  ProfilerState& state = State();
  state.sections.clear();
  state.events.clear();
  state.flushOverhead = 0;
  if (!resetOnly) state.profiling = true;
  state.startTick = ReadTimeStampCounter();
}

bool IsProfiling() { return State().profiling; }

void QueueProfileEvent(const char* section, uint64_t tick, bool isStart) {
  ProfilerState& state = State();
  if (state.profiling) state.events.push_back({section, tick, isStart});
}

void FlushProfileEvents() {
  ProfilerState& state = State();
  uint64_t begin = ReadTimeStampCounter();
  for (const ProfileEvent& event : state.events) ProcessEvent(state, event);
  state.events.clear();
  state.flushOverhead += ReadTimeStampCounter() - begin;
}

void StopProfiling() {
  ProfilerState& state = State();
  uint64_t end = ReadTimeStampCounter();
  FlushProfileEvents();
  state.profiling = false;
  state.totalMs = TicksToMs(static_cast<int64_t>(end - state.startTick - state.flushOverhead));
  for (auto& [name, record] : state.sections) {
    record.totalMs = TicksToMs(static_cast<int64_t>(record.totalTicks));
    record.longestMs = TicksToMs(static_cast<int64_t>(record.longestTicks));
  }
}

std::string GetProfileReport() {
  const ProfilerState& state = State();
  std::string report = FormatString("Total Time: %.2f\n", state.totalMs);
  for (const auto& [name, record] : state.sections) {
    // A run too short to measure has no share to report.
    double share = state.totalMs > 0.0 ? record.totalMs / state.totalMs * 100.0 : 0.0;
    double average = record.calls > 0 ? record.totalMs / record.calls : 0.0;
    report += FormatString("%s (%d calls, %%%.2f time): %.2f (%.2f avg, %.2f longest)\n", name, record.calls, share,
                           record.totalMs, average, record.longestMs);
  }
  return report;
}

}  // namespace Velk
