#include "platform/window/MessageQueue.h"

#include "platform/clock/Clock.h"

#include <algorithm>

namespace Velk {

namespace {

// Windows raises shorter periods to this.
constexpr UINT kMinimumTimerMs = 10;

bool Matches(HWND hwnd, UINT message, HWND filterHwnd, UINT filterMin, UINT filterMax) {
  if (filterHwnd && hwnd != filterHwnd) return false;
  if (filterMin == 0 && filterMax == 0) return true;
  return message >= filterMin && message <= filterMax;
}

}  // namespace

MSG MakeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG msg;
  msg.hwnd = hwnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = GetTickCount();
  GetCursorPos(&msg.pt);
  return msg;
}

MessageQueue& MessageQueue::Instance() {
  static MessageQueue queue;
  return queue;
}

void MessageQueue::Post(const MSG& msg) {
  std::lock_guard guard(lock_);
  // Painting is a state, not an event: one pending WM_PAINT per window is enough.
  if (msg.message == WM_PAINT) {
    bool pending = std::any_of(posted_.begin(), posted_.end(),
                               [&](const MSG& m) { return m.message == WM_PAINT && m.hwnd == msg.hwnd; });
    if (pending) return;
  }
  posted_.push_back(msg);
}

std::optional<MSG> MessageQueue::Take(HWND hwnd, UINT filterMin, UINT filterMax, bool remove) {
  std::lock_guard guard(lock_);
  for (auto it = posted_.begin(); it != posted_.end(); ++it) {
    if (!Matches(it->hwnd, it->message, hwnd, filterMin, filterMax)) continue;
    MSG msg = *it;
    if (remove) posted_.erase(it);
    return msg;
  }
  DWORD now = GetTickCount();
  Timer* next = nullptr;
  for (auto& timer : timers_) {
    if (TickDiff(now, timer.due) < 0 || !Matches(timer.hwnd, WM_TIMER, hwnd, filterMin, filterMax)) continue;
    if (!next || TickDiff(timer.due, next->due) < 0) next = &timer;
  }
  if (!next) return std::nullopt;
  MSG msg;
  msg.hwnd = next->hwnd;
  msg.message = WM_TIMER;
  msg.wParam = static_cast<WPARAM>(next->id);
  msg.time = now;
  if (remove) next->due = now + next->interval;
  return msg;
}

std::optional<DWORD> MessageQueue::UntilNextTimer() const {
  std::lock_guard guard(lock_);
  if (timers_.empty()) return std::nullopt;
  DWORD now = GetTickCount();
  int32_t soonest = INT32_MAX;
  for (const auto& timer : timers_) soonest = std::min(soonest, TickDiff(timer.due, now));
  return static_cast<DWORD>(std::max(soonest, 0));
}

void MessageQueue::SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs) {
  std::lock_guard guard(lock_);
  UINT interval = std::max(elapseMs, kMinimumTimerMs);
  DWORD due = GetTickCount() + interval;
  for (auto& timer : timers_) {
    if (timer.hwnd == hwnd && timer.id == id) {
      timer.interval = interval;
      timer.due = due;
      return;
    }
  }
  timers_.push_back(Timer{hwnd, id, interval, due});
}

bool MessageQueue::KillTimer(HWND hwnd, UINT_PTR id) {
  std::lock_guard guard(lock_);
  auto removed = std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  return removed > 0;
}

void MessageQueue::Forget(HWND hwnd) {
  std::lock_guard guard(lock_);
  std::erase_if(posted_, [&](const MSG& m) { return m.hwnd == hwnd; });
  std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd; });
}

void MessageQueue::Clear() {
  std::lock_guard guard(lock_);
  posted_.clear();
  timers_.clear();
}

}  // namespace Velk
