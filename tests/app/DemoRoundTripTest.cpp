#include "app/AppTestSupport.h"
#include "app/RegistryStore.h"
#include "common/DataFolder.h"
#include "platform/registry/Registry.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

namespace Velk::Testing {
namespace {

// Writes down every input the widget tree hands it, with the update it arrived at.
class InputLog : public Widget {
 public:
  explicit InputLog(const DWORD& counter) : mCounter(counter) {}
  void KeyDown(int key) override { Note("down " + std::to_string(key)); }
  void KeyChar(wchar_t c) override { Note("char " + std::to_string(c)); }
  void MouseMove(int x, int y) override { Note("move " + std::to_string(x) + "," + std::to_string(y)); }
  void MouseDown(int x, int y, int code) override {
    Note("press " + std::to_string(code) + " " + std::to_string(x) + "," + std::to_string(y));
  }
  void MouseWheel(int delta) override { Note("wheel " + std::to_string(delta)); }
  void Note(const std::string& what) { log.push_back(std::to_string(mCounter) + ": " + what); }
  std::vector<std::string> log;

 private:
  const DWORD& mCounter;
};

// Asks the outside world at fixed updates, inside the update as a program does.
class AskingApp : public CountingApp {
 public:
  void RunLogicUpdate() override {
    CountingApp::RunLogicUpdate();
    if (mUpdateCount == 5) {
      DWORD type = 0, size = 16;
      BYTE value[16] = {};
      bool ok = ReadRegistry("DemoValue", &type, value, &size);
      outside.push_back("registry " + std::to_string(ok) + " " + std::string(value, value + size));
      int number = 0;
      bool flag = false;
      ok = ReadRegistryInteger("DemoNumber", number) && ReadRegistryBoolean("DemoNumber", flag);
      outside.push_back("integer " + std::to_string(ok) + " " + std::to_string(number) + " " + std::to_string(flag));
      outside.push_back("written " + std::to_string(WriteRegistryInteger("DemoNumber", 42)));
    }
    if (mUpdateCount == 30) outside.push_back("clipboard " + GetClipboardText());
  }
  std::vector<std::string> outside;
};

class DemoRoundTripTest : public AppTest {
 protected:
  static constexpr DWORD kUpdates = 40;

  // The same program in both runs: the scripted input only arrives live, the outside world is asked
  // at fixed updates.
  std::vector<std::string> Run(bool record, const std::string& demoPath) {
    app_ = std::make_unique<AskingApp>();
    auto& app = static_cast<AskingApp&>(*app_);
    app.mDemoFilePath = demoPath;
    app.HandleSwitch(record ? "-record" : "-play", "");
    app.mIsWindowed = true;
    app.mEnforceSingleInstance = false;
    app.Init();
    InputLog widget(app.mUpdateCount);
    widget.mWidth = 800;
    widget.mHeight = 600;
    app.mWidgetManager->AddChild(&widget);
    app.mWidgetManager->SetFocus(&widget);
    for (int guard = 0; guard < 500 && app.mUpdateCount < kUpdates; ++guard) {
      DWORD u = app.mUpdateCount;
      if (record) Script(app, u);
      app.ProcessDemoEvents();
      app.ProcessDeferredInput(false);
      app.UpdateOnce();
    }
    app.mWidgetManager->RemoveChild(&widget);
    std::vector<std::string> log = widget.log;
    log.insert(log.end(), app.outside.begin(), app.outside.end());
    app_.reset();  // saves a recording
    return log;
  }

  void Script(CountingApp& app, DWORD u) {
    auto send = [&](UINT message, WPARAM wParam, LPARAM lParam) {
      VelkAppBase::WindowProc(app.mHWnd, message, wParam, lParam);
    };
    if (u == 2) send(WM_MOUSEMOVE, 0, MAKELPARAM(100, 50));
    if (u == 3) send(WM_MOUSEMOVE, 0, MAKELPARAM(120, 40));
    if (u == 3) send(WM_LBUTTONDOWN, 0, MAKELPARAM(120, 40));
    if (u == 21) send(WM_KEYDOWN, 'Q', 0);
    if (u == 21) send(WM_CHAR, 'q', 0);
    if (u == 33) send(WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<uint32_t>(-240) << 16), 0);
  }
};

TEST_F(DemoRoundTripTest, PlaybackRepeatsTheRecordedRun) {
  std::string path = scratch_ / "run.dmo";
  CountingApp& writer = MakeApp();
  writer.WriteRegistry("DemoValue", 1, reinterpret_cast<const BYTE*>("live"), 4);
  writer.WriteRegistryInteger("DemoNumber", 7);
  writer.SetClipboardText("copied");
  app_.reset();

  std::vector<std::string> recorded = Run(true, path);
  ASSERT_GE(recorded.size(), 8u);
  EXPECT_EQ(recorded.back(), "clipboard copied");
  EXPECT_NE(std::find(recorded.begin(), recorded.end(), "integer 1 7 1"), recorded.end());

  // The outside world changes; playback must not see it.
  CountingApp& changer = MakeApp();
  changer.WriteRegistry("DemoValue", 1, reinterpret_cast<const BYTE*>("gone"), 4);
  changer.WriteRegistryString("DemoNumber", "not a number");
  changer.SetClipboardText("other");
  app_.reset();

  std::vector<std::string> played = Run(false, path);
  EXPECT_EQ(played, recorded);
  // The played write left the store alone.
  DWORD type = 0;
  EXPECT_TRUE(RegistryStore(app_ ? app_->mRegKey : CountingApp().mRegKey).Read("DemoNumber", &type, nullptr, nullptr));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
}

}  // namespace
}  // namespace Velk::Testing

namespace Velk::Testing {
namespace {

TEST_F(AppTest, DemoSwitchesNumberTheFiles) {
  auto old = std::filesystem::current_path();
  std::filesystem::create_directories(scratch_ / "elsewhere");
  std::filesystem::current_path(scratch_ / "elsewhere");
  const std::string data = scratch_.Path() + "/data/";
  std::filesystem::create_directories(data);
  SetDataFolder(data);
  CountingApp& app = MakeApp();
  // Recordings are counted, pruned and played in the data folder, whatever the current folder.
  for (int n = 1; n <= 3; ++n) {
    app.HandleSwitch("-recnum", "5");
    EXPECT_EQ(app.mDemoFilePath, data + "velkapp" + std::to_string(n) + ".dmo");
    std::ofstream(app.mDemoFilePath) << "x";
  }
  app.HandleSwitch("-recnum", "2");
  EXPECT_TRUE(app.mDemo.mRecording);
  EXPECT_EQ(app.mDemoFilePath, data + "velkapp4.dmo");
  EXPECT_FALSE(std::filesystem::exists(data + "velkapp1.dmo")) << "the oldest goes";
  EXPECT_TRUE(std::filesystem::exists(data + "velkapp2.dmo"));

  app.HandleSwitch("-playnum", "1");
  EXPECT_TRUE(app.mDemo.mPlaying);
  EXPECT_FALSE(app.mDemo.mRecording);
  EXPECT_EQ(app.mDemoFilePath, data + "velkapp3.dmo");
  app.HandleSwitch("-playnum", "3");
  EXPECT_EQ(app.mDemoFilePath, data + "velkapp1.dmo");  // whether or not it exists
  app.mDemo.mPlaying = false;
  SetDataFolder("");
  std::filesystem::current_path(old);
}

}  // namespace
}  // namespace Velk::Testing
