// A bare application that the application tests run as a process of its own, to see how it ends:
// it says "running" on its standard output after its first update and then runs until closed, and
// "idle paused" the first time it pauses while the desktop's screen saver is due.
// With VELK_CHILD_SLOW_SHUTDOWN set, its shutdown says "closing" and then takes 30 s. With
// VELK_CHILD_TWO_FAULTS set, two threads of its own fault at the same moment after its first update;
// with VELK_CHILD_FAULT_WHILE_HELD set, one thread faults then while the main thread stays held in
// that update. With VELK_CHILD_RECORD set it records a demo, velkapp.dmo in its folder. With
// VELK_CHILD_TICKS set, a thread of its own says "tick <monotonic ms>" every 20 ms: the gaps show
// how long the machine held the process from running.
// Like the program, it installs the crash catcher first.

#include "app/CrashCatcher.h"
#include "app/VelkAppBase.h"
#include "platform/clock/Clock.h"
#include "platform/process/ProcessInfo.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <unistd.h>

namespace {

volatile uintptr_t gNowhere = 16;

void BadWrite() { *reinterpret_cast<volatile int*>(gNowhere) = 1; }

class ChildApp : public Velk::VelkAppBase {
 public:
  ChildApp() {
    mProdName = "VelkChild";
    mRegKey = "Velk Tests\\Child";
    mTitle = L"Velk child";
    mIsWindowed = true;
    mEnforceSingleInstance = false;
    if (std::getenv("VELK_CHILD_RECORD")) HandleSwitch("-record", "");
  }

  void RunLogicUpdate() override {
    VelkAppBase::RunLogicUpdate();
    Say(mUpdateCount == 1, "running");
    if (mUpdateCount == 1 && std::getenv("VELK_CHILD_TWO_FAULTS")) FaultTwice();
    if (mUpdateCount == 1 && std::getenv("VELK_CHILD_FAULT_WHILE_HELD")) FaultWhileHeld();
  }

  bool DrawFrame() override {
    const bool drawn = VelkAppBase::DrawFrame();
    Say(mIdlePaused && !saidIdle_, "idle paused");
    saidIdle_ = saidIdle_ || mIdlePaused;
    return drawn;
  }

  // It stays in the folder it was started in, where a crash report of a test lands.
  bool HandleWorkingDirectory(const std::string&) override { return true; }

  void OnShutdown() override {
    if (!std::getenv("VELK_CHILD_SLOW_SHUTDOWN")) return;
    Say(true, "closing");
    Sleep(30000);
  }

 private:
  bool saidIdle_ = false;

  // A bad write on one thread and an illegal instruction on another, released together.
  static void FaultTwice() {
    static std::atomic<bool> go{false};
    std::thread([] {
      while (!go) {
      }
      BadWrite();
    }).detach();
    std::thread([] {
      while (!go) {
      }
      __builtin_trap();
    }).detach();
    go = true;
  }

  // The main thread never gets back to its loop: the process ends by the fault first.
  static void FaultWhileHeld() {
    std::thread(&BadWrite).detach();
    std::this_thread::sleep_for(std::chrono::seconds(30));
  }

  static void Say(bool when, const char* what) {
    if (!when) return;
    std::printf("%s\n", what);
    std::fflush(stdout);
  }
};

// Written without stdio, whose lock a faulting thread may hold; signals sent to the process are left
// to the program's own threads.
void Tick() {
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, nullptr);
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    char line[48];
    const int length =
        std::snprintf(line, sizeof line, "tick %lld\n",
                      static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()));
    [[maybe_unused]] const ssize_t written = write(1, line, static_cast<size_t>(length));
  }
}

}  // namespace

int main(int argc, char** argv) {
  Velk::CrashCatcher::Install();
  Velk::SetCommandLine(argc, argv);
  if (std::getenv("VELK_CHILD_TICKS")) std::thread(&Tick).detach();
  auto* app = new ChildApp();
  app->Init();
  app->Run();
  delete app;
  return 0;
}
