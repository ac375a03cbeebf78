// The sound library stand-in: one worker pump over 32 live channels, loading and starting a minute of
// Ogg Vorbis on the calling thread, and the Ogg decoder's own speed.

#include "platform/audio/AudioOutput.h"
#include "platform/clock/Clock.h"
#include "platform/squall/Squall.h"
#include "platform/squall/SquallDecode.h"

#include "../tests/platform/squall/SquallMemoryFiles.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

namespace {

namespace mf = Velk::SquallMemoryFiles;

constexpr double kLongOggSeconds = 60.0;

void Start() {
  Velk::AudioOutput::SetManualMixing(true);
  SQUALL_Settings settings{0, 0, 44100, 16, 32, 1, 1, 0, 500, 0, 0.0f, 0.0f, 0.0f};
  SQUALL_Init(&settings);
  mf::Install();
}

bool PutLongOgg() {
  std::ifstream in(LONG_OGG_PATH, std::ios::binary);
  mf::Bytes bytes{std::istreambuf_iterator<char>(in), {}};
  if (bytes.empty()) return false;
  mf::Put("long.ogg", std::move(bytes));
  return true;
}

int FadeStep(int channel, void* user) {
  auto* volume = static_cast<int*>(user);
  *volume = (*volume + 3) % 100;
  SQUALL_Channel_SetVolume(channel, *volume);
  return 1;
}

void BM_PumpOver32Channels(benchmark::State& state) {
  Start();
  mf::Put("flat.wav", mf::Wave(mf::Samples16(std::vector<int16_t>(44100, 1000))));
  const int sample = SQUALL_Sample_LoadFile("flat.wav", 0, nullptr);
  std::vector<int> channels;
  for (int i = 0; i < 32; ++i) channels.push_back(SQUALL_Sample_PlayEx(sample, 1, 1, 1, 0, 50, 44100, 50));
  int volumes[2] = {0, 50};
  SQUALL_Channel_SetWorker(channels[0], &FadeStep, &volumes[0], 1);
  SQUALL_Channel_SetWorker(channels[1], &FadeStep, &volumes[1], 1);
  uint32_t now = timeGetTime();
  for (auto _ : state) {
    now += 100;  // every worker is due on every pump
    benchmark::DoNotOptimize(SQUALL_StandIn_Pump(now));
  }
  SQUALL_Free();
}
BENCHMARK(BM_PumpOver32Channels);

void BM_LoadAndPlayLongOgg(benchmark::State& state) {
  Start();
  if (!PutLongOgg()) {
    state.SkipWithError("no long Ogg file");
    return;
  }
  for (auto _ : state) {
    const int sample = SQUALL_Sample_LoadFile("long.ogg", 0, nullptr);
    const int channel = SQUALL_Sample_PlayEx(sample, 1, -1, 1, 0, 0, 44100, 50);
    benchmark::DoNotOptimize(channel);
    state.PauseTiming();
    SQUALL_Channel_Stop(channel);
    SQUALL_Sample_Unload(sample);
    state.ResumeTiming();
  }
  SQUALL_Free();
}
BENCHMARK(BM_LoadAndPlayLongOgg)->Unit(benchmark::kMicrosecond);

// Seconds of sound decoded per second of work: the real-time factor.
void BM_DecodeLongOgg(benchmark::State& state) {
  if (!PutLongOgg()) {
    state.SkipWithError("no long Ogg file");
    return;
  }
  const Velk::SquallFileCallbacks files{&mf::Open, &mf::Seek, &mf::Read, &mf::Close};
  for (auto _ : state) {
    auto source = Velk::SquallFileSource::Open(files, "long.ogg");
    benchmark::DoNotOptimize(Velk::SquallDecode::Decode(*source));
  }
  state.counters["realtime_x"] =
      benchmark::Counter(kLongOggSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeLongOgg)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
