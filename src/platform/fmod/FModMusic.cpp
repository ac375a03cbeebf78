// The FMUSIC entries of the FMOD stand-in: module songs, rendered whole, playing on one mixer voice.

#include "platform/audio/AudioOutput.h"
#include "platform/fmod/FMod.h"
#include "platform/fmod/FModFile.h"
#include "platform/fmod/FModState.h"

#include <algorithm>

using Velk::FModFile;
using Velk::FModState;

namespace {

Velk::AudioMixer& Mixer() { return Velk::AudioOutput::Mixer(); }

// Runs `change` on a live module under the lock; false for anything else.
template <typename Change>
signed char WithModule(FMUSIC_MODULE* module, Change change) {
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  if (!state.IsLive(module)) return 0;
  return change(*module) ? 1 : 0;
}

// The same for changes that start or stop the module's voice.
template <typename Change>
signed char WithStateAndModule(FMUSIC_MODULE* module, Change change) {
  return WithModule(module, [&change](FMUSIC_MODULE& song) {
    change(FModState::Get(), song);
    return true;
  });
}

}  // namespace

FMUSIC_MODULE* FMUSIC_LoadSong(const char* name) {
  const auto bytes = FModFile::ReadBytes(name);
  if (!bytes) return nullptr;
  auto module = std::make_unique<FMUSIC_MODULE>();
  module->song = Velk::ModuleSong::Render(bytes->data(), bytes->size());
  if (!module->song) return nullptr;
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  return state.AddModule(std::move(module));
}

signed char FMUSIC_PlaySong(FMUSIC_MODULE* module) {
  return WithStateAndModule(module, [](FModState& state, FMUSIC_MODULE& song) { state.StartModule(song); });
}

signed char FMUSIC_StopSong(FMUSIC_MODULE* module) {
  return WithStateAndModule(module, [](FModState& state, FMUSIC_MODULE& song) { state.StopModule(song); });
}

signed char FMUSIC_SetLooping(FMUSIC_MODULE* module, signed char mode) {
  return WithModule(module, [mode](FMUSIC_MODULE& song) {
    song.looping = mode == FSOUND_LOOP_NORMAL;
    if (song.voice) Mixer().SetLooping(song.voice, song.looping);
    return true;
  });
}

signed char FMUSIC_SetOrder(FMUSIC_MODULE* module, int order) {
  return WithModule(module, [order](FMUSIC_MODULE& song) {
    const auto start = song.song->OrderStart(order);
    if (!song.voice || !start) return false;
    Mixer().SetPosition(song.voice, *start);
    return true;
  });
}

signed char FMUSIC_SetPaused(FMUSIC_MODULE* module, signed char paused) {
  return WithModule(module, [paused](FMUSIC_MODULE& song) {
    if (!song.voice || (paused != 0) == song.paused) return song.voice != 0;
    if (paused != 0) {
      if (!Mixer().Stop(song.voice)) return false;  // it had already ended
    } else {
      Mixer().Play(song.voice, song.looping);
    }
    song.paused = paused != 0;
    return true;
  });
}

signed char FMUSIC_SetMasterVolume(FMUSIC_MODULE* module, int volume) {
  return WithModule(module, [volume](FMUSIC_MODULE& song) {
    song.volume = std::clamp(volume, 0, 256);
    const float gain = FModState::ModuleGain(song.volume);
    if (song.voice) Mixer().SetGain(song.voice, gain, gain);
    return true;
  });
}

signed char FMUSIC_IsPlaying(FMUSIC_MODULE* module) {
  return WithModule(
      module, [](FMUSIC_MODULE& song) { return song.voice != 0 && (song.paused || Mixer().IsPlaying(song.voice)); });
}
