#include "platform/sdl/SdlAudioSink.h"

#include <SDL2/SDL.h>

#include <cstdio>

namespace Velk {

std::unique_ptr<SdlAudioSink> SdlAudioSink::Open(AudioMixer& mixer) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::fprintf(stderr, "audio: no audio subsystem (%s); running silent\n", SDL_GetError());
    return nullptr;
  }
  std::unique_ptr<SdlAudioSink> sink(new SdlAudioSink(mixer));
  SDL_AudioSpec want{};
  want.freq = AudioMixer::kOutputRate;
  want.format = AUDIO_S16SYS;
  want.channels = AudioMixer::kOutputChannels;
  want.samples = 1024;
  want.callback = &SdlAudioSink::Callback;
  want.userdata = sink.get();
  SDL_AudioSpec have{};
  sink->device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (sink->device_ == 0) {
    std::fprintf(stderr, "audio: no audio device (%s); running silent\n", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  SDL_PauseAudioDevice(sink->device_, 0);
  return sink;
}

SdlAudioSink::~SdlAudioSink() {
  SDL_CloseAudioDevice(device_);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioSink::Callback(void* self, uint8_t* stream, int len) {
  auto* sink = static_cast<SdlAudioSink*>(self);
  const size_t frames = static_cast<size_t>(len) / (sizeof(int16_t) * AudioMixer::kOutputChannels);
  sink->mixer_.Mix(reinterpret_cast<int16_t*>(stream), frames);
}

}  // namespace Velk
