#pragma once
// A headless back end, a manual clock and a private settings folder for each application test,
// and an application that counts the hooks it is given.

#include "app/VelkAppBase.h"
#include "platform/ScopedEnv.h"
#include "platform/ScratchFolder.h"
#include "platform/backend/Backend.h"
#include "platform/clock/Clock.h"
#include "platform/headless/HeadlessBackend.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <string>

namespace Velk::Testing {

class CountingApp : public VelkAppBase {
 public:
  CountingApp() {
    // Test programs run side by side; each keeps its own lock and settings.
    mProdName = "VelkAppTest" + std::to_string(getpid());
    mRegKey = "Velk Tests\\" + mProdName;
  }

  void OnLoadingFinished() override { ++loadingFinished; }
  void LoadResourcesInBackground() override { ++backgroundLoads; }
  void OnFocusGained() override { ++focusGained; }
  void OnFocusLost() override { ++focusLost; }
  void OnShutdown() override { ++shutdowns; }
  void OnButtonPressed(int id) override { lastPressed = id; }
  void OnButtonReleased(int id) override { lastReleased = id; }
  using VelkAppBase::SwitchScreenMode;
  void SwitchScreenMode(bool windowed) override {
    ++screenSwitches;
    lastSwitchWindowed = windowed;
    if (realSwitches) VelkAppBase::SwitchScreenMode(windowed);
  }

  std::atomic<int> loadingFinished{0};
  std::atomic<int> backgroundLoads{0};
  int focusGained = 0;
  int focusLost = 0;
  int shutdowns = 0;
  int lastPressed = 0;
  int lastReleased = 0;
  int screenSwitches = 0;
  bool lastSwitchWindowed = false;
  bool realSwitches = false;
};

class AppTest : public ::testing::Test {
 protected:
  AppTest()
      : configHome_("XDG_CONFIG_HOME", scratch_.Path().c_str()),
        dataHome_("XDG_DATA_HOME", (scratch_ / "data").c_str()),
        runtimeDir_("XDG_RUNTIME_DIR", scratch_.Path().c_str()) {
    auto backend = std::make_unique<HeadlessBackend>();
    headless_ = backend.get();
    Backend::Install(std::move(backend));
  }
  ~AppTest() override {
    app_.reset();
    Clock::UseReal();
  }

  // An application made but not started.
  CountingApp& MakeApp() {
    app_ = std::make_unique<CountingApp>();
    return *app_;
  }
  // An application through its start-up, in a window.
  CountingApp& StartApp() {
    CountingApp& app = MakeApp();
    app.mIsWindowed = true;
    app.mEnforceSingleInstance = false;
    app.Init();
    return app;
  }

  ScratchFolder scratch_;
  ScopedEnv configHome_;
  ScopedEnv dataHome_;
  ScopedEnv runtimeDir_;
  HeadlessBackend* headless_ = nullptr;
  std::unique_ptr<CountingApp> app_;
};

}  // namespace Velk::Testing
