#pragma once
// The game over the archives the build made, started as a run starts it: texts, pref.dat, the
// resource manifest's Init group, the engine's tables, every screen made as the loading thread
// makes them, then stacked. Every line of the debug log and of the level log is kept: a missing
// element, texture, text, sound, animation or scene object is reported on one of the two.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cafe/CafeConfigs.h"
#include "cafe/QCEngine3.h"
#include "engine/EngineTestSupport.h"
#include "engine/EngineUtil.h"
#include "platform/audio/AudioOutput.h"
#include "resources/PakInterface.h"
#include "scene/LevelLog.h"

namespace PackTesting {

class PackGame : public QCEngine3 {
 public:
  PackGame() {
    std::filesystem::current_path(PELUNE_RUNTIME_DIR);
    mIsWindowed = true;
    mEnforceSingleInstance = false;
    for (const char* archive : {"loc.pak", "data.pak"}) EXPECT_TRUE(GetPak()->MountArchive(archive)) << archive;
  }
  bool HandleWorkingDirectory(const std::string&) override { return true; }
};

class PackGameTest : public EngineTest {
 protected:
  PackGameTest() {
    Velk::AudioOutput::SetManualMixing(true);
    SetDebugLogSink([this](const std::string& line) { mLog.push_back(line); });
    SetLevelLogListener([this](const std::string& line) { mLog.push_back(line); });
  }
  ~PackGameTest() override {
    mGame.reset();
    SetLevelLogListener(nullptr);
    SetDebugLogSink(nullptr);
    Velk::AudioOutput::SetManualMixing(false);
  }

  // Started, loaded and stacked as a run does (the loading step on this thread).
  PackGame& Start() {
    // Worker records are numbered as they are read, once per run of the game.
    ResetWorkerSequenceForTests();
    mGame = std::make_unique<PackGame>();
    mGame->Init();
    mGame->LoadResourcesInBackground();
    mGame->OnLoadingFinished();
    return *mGame;
  }
  // Every line logged since the last call fails the test, labelled with what was running.
  void ExpectNothingLogged(const std::string& during) {
    for (const std::string& line : mLog) ADD_FAILURE() << during << ": " << line;
    mLog.clear();
  }

  std::unique_ptr<PackGame> mGame;
  std::vector<std::string> mLog;
};

}  // namespace PackTesting
