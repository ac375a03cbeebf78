#pragma once
// Waiting for what a program on the screen does, never without a bound.
#include <chrono>
#include <functional>
#include <thread>

namespace E2e {

// Polls every `stepMs` until `done` holds, at most `limitMs`; false when it never did.
inline bool WaitUntil(const std::function<bool()>& done, int limitMs, int stepMs = 100) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(stepMs));
  }
  return true;
}

}  // namespace E2e
