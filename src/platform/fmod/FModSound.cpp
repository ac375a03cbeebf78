// The FSOUND entries of the FMOD stand-in: samples, streams and channels over the shared mixer.

#include "platform/fmod/FMod.h"
#include "platform/fmod/FModFile.h"
#include "platform/fmod/FModState.h"

#include <algorithm>
#include <cstring>

using Velk::FModFile;
using Velk::FModState;

namespace {

constexpr int kMaxFrames = 1 << 27;

bool ValidRange(const FSOUND_SAMPLE& sample, int offset, int length) {
  return offset >= 0 && length >= 0 &&
         static_cast<size_t>(offset) + static_cast<size_t>(length) <= sample.pcm->bytes.size();
}

}  // namespace

signed char FSOUND_SetBufferSize(int ms) { return ms > 0 ? 1 : 0; }

signed char FSOUND_SetHWND(void*) { return 1; }

signed char FSOUND_Init(int mixRate, int maxChannels, unsigned int) {
  if (mixRate <= 0 || maxChannels <= 0) return 0;
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  state.HoldOutput();
  return 1;
}

void FSOUND_Close() {
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  state.StopEverything();
  state.ReleaseOutput();
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int, const char* name, unsigned int, int) {
  auto sample = FModFile::LoadSample(name);
  if (!sample) return nullptr;
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  return state.AddSample(std::move(sample));
}

FSOUND_SAMPLE* FSOUND_Sample_Alloc(int, int length, unsigned int mode, int frequency, int volume, int pan,
                                   int priority) {
  if (length <= 0 || length > kMaxFrames || frequency <= 0) return nullptr;
  auto sample = std::make_unique<FSOUND_SAMPLE>();
  sample->pcm = std::make_shared<Velk::AudioPcm>();
  sample->pcm->bits = (mode & FSOUND_8BITS) ? 8 : 16;
  sample->pcm->channels = (mode & FSOUND_STEREO) ? 2 : 1;
  // Silence: 8-bit samples are unsigned.
  sample->pcm->bytes.assign(static_cast<size_t>(length) * sample->pcm->BlockAlign(), sample->pcm->bits == 8 ? 128 : 0);
  sample->mode = mode;
  sample->frequency = frequency;
  sample->volume = std::clamp(volume, 0, 255);
  sample->pan = std::clamp(pan, 0, 255);
  sample->priority = priority;
  sample->loopEnd = static_cast<size_t>(length);
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  return state.AddSample(std::move(sample));
}

void FSOUND_Sample_Free(FSOUND_SAMPLE* sample) {
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  if (state.IsLive(sample)) state.FreeSample(sample);
}

signed char FSOUND_Sample_Lock(FSOUND_SAMPLE* sample, int offset, int length, void** part1, void** part2,
                               unsigned int* bytes1, unsigned int* bytes2) {
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  if (!state.IsLive(sample) || !part1 || !bytes1 || !ValidRange(*sample, offset, length)) return 0;
  *part1 = sample->pcm->bytes.data() + offset;
  *bytes1 = static_cast<unsigned int>(length);
  if (part2) *part2 = nullptr;
  if (bytes2) *bytes2 = 0;
  return 1;
}

signed char FSOUND_Sample_Unlock(FSOUND_SAMPLE* sample, void*, void*, unsigned int, unsigned int) {
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  return state.IsLive(sample) ? 1 : 0;
}

signed char FSOUND_Sample_SetLoopPoints(FSOUND_SAMPLE* sample, int start, int end) {
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  if (!state.IsLive(sample) || start < 0 || end < start || static_cast<size_t>(end) >= sample->pcm->Frames()) {
    return 0;
  }
  sample->loopStart = static_cast<size_t>(start);
  sample->loopEnd = static_cast<size_t>(end) + 1;
  return 1;
}

unsigned int FSOUND_Sample_GetLength(FSOUND_SAMPLE* sample) {
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  return state.IsLive(sample) ? static_cast<unsigned int>(sample->pcm->Frames()) : 0;
}

signed char FSOUND_Sample_GetDefaults(FSOUND_SAMPLE* sample, int* frequency, int* volume, int* pan, int* priority) {
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  if (!state.IsLive(sample)) return 0;
  if (frequency) *frequency = sample->frequency;
  if (volume) *volume = sample->volume;
  if (pan) *pan = sample->pan;
  if (priority) *priority = sample->priority;
  return 1;
}

unsigned int FSOUND_Sample_GetMode(FSOUND_SAMPLE* sample) {
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  return state.IsLive(sample) ? sample->mode : 0;
}

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample) {
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  return state.IsLive(sample) ? state.Play(channel, *sample) : -1;
}

signed char FSOUND_StopSound(int channel) {
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  return state.Stop(channel) ? 1 : 0;
}

signed char FSOUND_SetVolume(int channel, int volume) {
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  return state.SetVolume(channel, volume) ? 1 : 0;
}

signed char FSOUND_SetPaused(int channel, signed char paused) {
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  return state.SetPaused(channel, paused != 0) ? 1 : 0;
}

signed char FSOUND_SetLoopMode(int channel, unsigned int mode) {
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  return state.SetLooping(channel, (mode & FSOUND_LOOP_NORMAL) != 0) ? 1 : 0;
}

signed char FSOUND_IsPlaying(int channel) {
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  return state.IsPlaying(channel) ? 1 : 0;
}

FSOUND_STREAM* FSOUND_Stream_OpenFile(const char* name, unsigned int, int) {
  auto sample = FModFile::LoadSample(name);
  if (!sample) return nullptr;
  auto stream = std::make_unique<FSOUND_STREAM>();
  stream->sample = std::move(*sample);
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  return state.AddStream(std::move(stream));
}

signed char FSOUND_Stream_Close(FSOUND_STREAM* stream) {
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  return state.FreeStream(stream) ? 1 : 0;
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
  FModState& state = FModState::Get();
  auto lock = state.Lock();
  return state.IsLive(stream) ? state.Play(channel, stream->sample) : -1;
}
