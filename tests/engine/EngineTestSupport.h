#pragma once
// An engine started headless on a folder of loose data files (no archives), with a manual clock, a
// private settings folder and the loop stepped by hand.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "common/Unicode.h"
#include "engine/QCEngine.h"
#include "exports/ExportTable.h"
#include "platform/ScopedEnv.h"
#include "platform/ScratchFolder.h"
#include "platform/backend/Backend.h"
#include "platform/clock/Clock.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/threads/Threads.h"
#include "resources/ImageLib.h"
#include "resources/ImageLibImage.h"
#include "support/XmlFixture.h"
#include "widgets/WidgetManager.h"

class TestEngine : public QCEngine {
 public:
  // The engine makes the program's folder current; the data of the test lies elsewhere.
  explicit TestEngine(const std::string& dataFolder) {
    // The program registers its exported callbacks at start; so does the test's.
    RegisterEffectCallbacks();
    std::filesystem::current_path(dataFolder);
    mIsWindowed = true;
    mEnforceSingleInstance = false;
  }
  bool HandleWorkingDirectory(const std::string&) override { return true; }
};

class EngineTest : public ::testing::Test {
 protected:
  EngineTest()
      : previous_(std::filesystem::current_path()),
        configHome_("XDG_CONFIG_HOME", scratch_.Path().c_str()),
        dataHome_("XDG_DATA_HOME", (scratch_ / "xdg-data").c_str()),
        runtimeDir_("XDG_RUNTIME_DIR", scratch_.Path().c_str()) {
    Velk::Backend::Install(std::make_unique<Velk::HeadlessBackend>());
    Velk::Clock::UseManual(5000);
  }
  ~EngineTest() override {
    engine_.reset();
    std::filesystem::current_path(previous_);
    Velk::Clock::UseReal();
  }

  void WriteData(const std::string& name, const std::string& utf8Xml) { scratch_.Write(name, Utf16File(utf8Xml)); }
  // A PNG of one colour.
  void WriteImage(const std::string& name, int width, int height, uint32_t argb) {
    auto image = ImageLib::Image::Create(width, height);
    for (int64_t i = 0; i < image->PixelCount(); ++i) image->GetBits()[i] = argb;
    std::filesystem::create_directories(std::filesystem::path(scratch_ / name).parent_path());
    ASSERT_TRUE(ImageLib::WritePNGImage(scratch_ / name, image.get()));
  }
  // The data every start-up reads: the manifest, effects, UI (a cursor, a font), texts and cfg.xml.
  void WriteStartUpData() {
    scratch_.Write("properties/resources.xml", "<ResourceManifest><Resources id=\"Init\"/></ResourceManifest>");
    WriteImage("img/cursor.png", 4, 4, 0xFFFF0000);
    WriteData("cfg/effect.xml", "<effects><effect name='blink'><timers><timer name='t'/></timers></effect></effects>");
    WriteData("cfg/ui.xml", R"(<root>
      <texture id="cursor_normal" file="img\cursor.png"/>
      <font name="small" type="System" face="DejaVu Sans" size="10"/>
      <cursors mode="normal" image="cursor_normal" hot_spot_x="1" hot_spot_y="2"/>
      <cursors mode="active" image="no_such_texture" hot_spot_x="0" hot_spot_y="0"/>
    </root>)");
    WriteData("cfg/loc.xml", "<root><loc id='app_title' text='Sample Cafe'/></root>");
    WriteData("cfg/cfg.xml", "<root/>");
  }
  TestEngine& MakeEngine() {
    engine_ = std::make_unique<TestEngine>(scratch_.Path());
    return *engine_;
  }
  TestEngine& StartEngine() {
    TestEngine& engine = MakeEngine();
    engine.Init();
    return engine;
  }
  void Steps(int count) {
    for (int i = 0; i < count; ++i) {
      bool updated = false;
      engine_->RunLoopStep(&updated);
    }
  }

  std::filesystem::path previous_;
  ScratchFolder scratch_;
  ScopedEnv configHome_;
  ScopedEnv dataHome_;
  ScopedEnv runtimeDir_;
  std::unique_ptr<TestEngine> engine_;
};
