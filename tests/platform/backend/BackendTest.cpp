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

std::string Chosen(const char* velkBackend, const char* display, const char* wayland) {
  ScopedEnv backend("VELK_BACKEND", velkBackend);
  ScopedEnv x("DISPLAY", display);
  ScopedEnv w("WAYLAND_DISPLAY", wayland);
  return Backend::FromEnvironment()->Name();
}

TEST(Backend, ChosenFromTheListByNameOrByTheFirstAvailableRow) {
  std::set<std::string> names;
  for (const BackendRow& row : BackendRows()) EXPECT_TRUE(names.insert(row.name).second) << row.name;
  EXPECT_TRUE(BackendRows().back().available()) << "the last row must run anywhere";

  EXPECT_EQ(Chosen("headless", ":5", nullptr), "headless") << "a name wins over the display";
  EXPECT_EQ(Chosen("sdl", nullptr, nullptr), "sdl") << "a named back end is made even where it cannot run";
  EXPECT_EQ(Chosen("teletype", ":5", nullptr), "headless") << "a name of none runs on the last row";
  EXPECT_EQ(Chosen(nullptr, nullptr, nullptr), "headless");
  EXPECT_EQ(Chosen("", nullptr, "wayland-0"), "sdl") << "an empty name is no name";
  EXPECT_EQ(Chosen(nullptr, ":5", nullptr), "sdl");
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
