// The software mixer's inner loop: 32 voices into one 1024-frame stereo block, as the audio device
// asks for it, beside SDL's own mixing of the same 32 sample blocks (no resampling there).

#include "platform/audio/AudioMixer.h"

#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kVoices = 32;
constexpr size_t kFrames = 1024;

std::shared_ptr<Velk::AudioPcm> Tone(int channels, int bits, size_t frames) {
  auto pcm = std::make_shared<Velk::AudioPcm>();
  pcm->channels = channels;
  pcm->bits = bits;
  pcm->bytes.resize(frames * channels * bits / 8);
  for (size_t i = 0; i < pcm->bytes.size(); ++i) pcm->bytes[i] = static_cast<uint8_t>(i * 37);
  return pcm;
}

void MixVoices(benchmark::State& state, int channels, int bits, uint32_t rate) {
  Velk::AudioMixer mixer;
  const auto pcm = Tone(channels, bits, 44100);
  for (int i = 0; i < kVoices; ++i) {
    const auto id = mixer.AddVoice(pcm, rate);
    mixer.SetGain(id, 0.5f, 0.25f);
    mixer.Play(id, true);
  }
  std::vector<int16_t> out(kFrames * 2);
  for (auto _ : state) {
    mixer.Mix(out.data(), kFrames);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kFrames * kVoices);
}

void BM_Mix_Mono16_Resampled(benchmark::State& state) { MixVoices(state, 1, 16, 22050); }
void BM_Mix_Stereo16_SameRate(benchmark::State& state) { MixVoices(state, 2, 16, 44100); }
void BM_Mix_Mono8_Resampled(benchmark::State& state) { MixVoices(state, 1, 8, 11025); }

// Reference: SDL adding 32 stereo 16-bit blocks of the output rate at half volume.
void BM_SdlMixAudioFormat_Stereo16(benchmark::State& state) {
  const auto pcm = Tone(2, 16, kFrames);
  std::vector<uint8_t> out(kFrames * 4);
  for (auto _ : state) {
    std::fill(out.begin(), out.end(), 0);
    for (int i = 0; i < kVoices; ++i) {
      SDL_MixAudioFormat(out.data(), pcm->bytes.data(), AUDIO_S16LSB, static_cast<Uint32>(out.size()),
                         SDL_MIX_MAXVOLUME / 2);
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kFrames * kVoices);
}

}  // namespace

BENCHMARK(BM_Mix_Mono16_Resampled);
BENCHMARK(BM_Mix_Stereo16_SameRate);
BENCHMARK(BM_Mix_Mono8_Resampled);
BENCHMARK(BM_SdlMixAudioFormat_Stereo16);
BENCHMARK_MAIN();
