// A bare application that the application tests run as a process of its own, to see how it ends:
// it says "running" on its standard output after its first update and then runs until closed, and
// "idle paused" the first time it pauses while the desktop's screen saver is due.
// With VELK_CHILD_SLOW_SHUTDOWN set, its shutdown says "closing" and then takes 30 s. With
// VELK_CHILD_TWO_FAULTS set, two threads of its own fault at the same moment after its first update.
// Like the program, it installs the crash catcher first.

#include "app/CrashCatcher.h"
#include "app/VelkAppBase.h"
#include "platform/clock/Clock.h"
#include "platform/process/ProcessInfo.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

class ChildApp : public Velk::VelkAppBase {
 public:
  ChildApp() {
    mProdName = "VelkChild";
    mRegKey = "Velk Tests\\Child";
    mTitle = L"Velk child";
    mIsWindowed = true;
    mEnforceSingleInstance = false;
  }

  void RunLogicUpdate() override {
    VelkAppBase::RunLogicUpdate();
    Say(mUpdateCount == 1, "running");
    if (mUpdateCount == 1 && std::getenv("VELK_CHILD_TWO_FAULTS")) FaultTwice();
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
    static volatile uintptr_t nowhere = 16;
    std::thread([] {
      while (!go) {
      }
      *reinterpret_cast<volatile int*>(nowhere) = 1;
    }).detach();
    std::thread([] {
      while (!go) {
      }
      __builtin_trap();
    }).detach();
    go = true;
  }

  static void Say(bool when, const char* what) {
    if (!when) return;
    std::printf("%s\n", what);
    std::fflush(stdout);
  }
};

}  // namespace

// SDL keeps its D-Bus connection until the process ends; what that system library still holds then
// is not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
  Velk::CrashCatcher::Install();
  Velk::SetCommandLine(argc, argv);
  auto* app = new ChildApp();
  app->Init();
  app->Run();
  delete app;
  return 0;
}
