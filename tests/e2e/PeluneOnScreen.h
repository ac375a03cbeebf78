#pragma once
// The real program, started as a player starts it, on an X screen of the tests: a home of its own,
// full screen as on a first start or in a window as its settings say, its error output kept.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "e2e/XvfbScreen.h"

namespace Velk::Testing {
class ChildProcess;
}

namespace E2e {

class PeluneOnScreen {
 public:
  // `home` is made fresh, or with `keepHome` kept as the last run left it (then `windowed` is what
  // that run saved); `env` adds to the program's environment (VELK_FORCE_SOFTWARE=1, ...);
  // `programFolder` holds the program and its archives, the built ones when empty.
  PeluneOnScreen(const XvfbScreen& screen, const std::filesystem::path& home, bool windowed,
                 const std::map<std::string, std::string>& env = {}, bool keepHome = false,
                 const std::filesystem::path& programFolder = {});
  ~PeluneOnScreen();
  PeluneOnScreen(const PeluneOnScreen&) = delete;
  PeluneOnScreen& operator=(const PeluneOnScreen&) = delete;

  pid_t Pid() const;
  // The program's client area on the screen, once it shows one.
  std::optional<ScreenRect> Window() const { return screen_.WindowOf(Pid()); }
  // What the program wrote to its error output so far.
  const std::string& Errors();
  // The processor time the program has used so far, in milliseconds; -1 once it has ended.
  int64_t CpuMs() const;
  // Where each of its threads is: its name, its state (R running, S sleeping, D waiting on a disk)
  // and the kernel function it waits in; for a failure.
  std::string ThreadStates() const;
  // Waits at most `limitMs` for the program to end by itself; its wait status, or nothing.
  std::optional<int> WaitForEnd(int limitMs);
  // Asks the program to end as a session end does and waits for it; false when it did not end.
  bool Stop();

 private:
  const XvfbScreen& screen_;
  std::unique_ptr<Velk::Testing::ChildProcess> process_;
  std::string errors_;
};

}  // namespace E2e
