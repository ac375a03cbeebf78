#include "platform/backend/Backend.h"

#include "platform/audio/AudioMixer.h"
#include "platform/audio/AudioSink.h"
#include "platform/ddraw/DDrawPresenter.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/headless/HeadlessPresenter.h"
#include "platform/sdl/SdlBackend.h"
#include "../ScopedEnv.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace Velk {
namespace {

std::string Chosen(const char* velkBackend, const char* display, const char* wayland, const char* driver) {
  ScopedEnv backend("VELK_BACKEND", velkBackend);
  ScopedEnv x("DISPLAY", display);
  ScopedEnv w("WAYLAND_DISPLAY", wayland);
  ScopedEnv video("SDL_VIDEODRIVER", driver);
  std::unique_ptr<Backend> made = Backend::FromEnvironment();
  Backend::EndUnlessSeen(*made);
  return made->Name();
}

// Without a name the program shows a window or ends: headless, or SDL drawing into memory, only by name.
TEST(Backend, ChosenByNameOrElseTheFirstRowWhichMustShowAWindow) {
  std::set<std::string> names;
  for (const BackendRow& row : BackendRows()) EXPECT_TRUE(names.insert(row.name).second) << row.name;

  EXPECT_EQ(Chosen("headless", ":5", nullptr, nullptr), "headless") << "a name wins over the display";
  EXPECT_EQ(Chosen("sdl", nullptr, nullptr, "dummy"), "sdl") << "by name it may run on a driver that shows nothing";
  EXPECT_EXIT(Chosen(nullptr, nullptr, nullptr, nullptr), testing::ExitedWithCode(1),
              "no display: DISPLAY and WAYLAND_DISPLAY are unset\n$");
  EXPECT_EXIT(Chosen("", nullptr, "wayland-77", nullptr), testing::ExitedWithCode(1),
              "cannot open the display wayland-77\n$")
      << "an empty name is no name";
  EXPECT_EXIT(Chosen("sdl", nullptr, nullptr, "x11"), testing::ExitedWithCode(1),
              "no display: DISPLAY and WAYLAND_DISPLAY are unset\n$");
  EXPECT_EXIT(Chosen("teletype", nullptr, nullptr, "dummy"), testing::ExitedWithCode(1),
              "VELK_BACKEND=teletype names no back end; running sdl\nSDL_VIDEODRIVER=dummy shows no window\n$");
}

// Without a device both back ends still give a sink, the silent one; where there is no native
// window the picture goes to memory.
TEST(Backend, SinkAndPresenterWithoutADeviceOrAWindow) {
  ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  AudioMixer mixer;
  HeadlessBackend headless;
  SdlBackend sdl;
  for (Backend* backend : {static_cast<Backend*>(&headless), static_cast<Backend*>(&sdl)}) {
    std::unique_ptr<AudioSink> sink = backend->OpenAudioSink(mixer);
    ASSERT_NE(sink, nullptr) << backend->Name();
    EXPECT_FALSE(sink->IsAudible()) << backend->Name();
    std::unique_ptr<DDrawPresenter> presenter = backend->PresenterForWindow(nullptr);
    EXPECT_NE(dynamic_cast<HeadlessPresenter*>(presenter.get()), nullptr) << backend->Name();
  }
  EXPECT_FALSE(headless.QueryScreenSaver());
}

}  // namespace
}  // namespace Velk
