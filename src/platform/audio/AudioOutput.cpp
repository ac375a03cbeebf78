#include "platform/audio/AudioOutput.h"

#include "platform/audio/AudioSink.h"
#include "platform/backend/Backend.h"

#include <unistd.h>

#include <memory>
#include <mutex>

namespace Velk {

namespace {

struct OutputState {
  std::mutex mutex;
  int users = 0;
  bool manual = false;
  bool failOpen = false;
  std::unique_ptr<AudioSink> sink;
  pid_t opener = 0;  // the process that opened the sink, and so runs its thread
};

OutputState& State() {
  // Never destroyed: a sink thread may still mix while static destructors run.
  static OutputState* state = new OutputState;
  return *state;
}

}  // namespace

AudioMixer& AudioOutput::Mixer() {
  static AudioMixer* mixer = new AudioMixer;
  return *mixer;
}

bool AudioOutput::Acquire() {
  OutputState& state = State();
  std::lock_guard lock(state.mutex);
  if (state.failOpen) return false;
  if (state.users++ == 0 && !state.manual) {
    state.sink = Backend::Get().OpenAudioSink(Mixer());
    state.opener = getpid();
  }
  return true;
}

void AudioOutput::Release() {
  OutputState& state = State();
  std::lock_guard lock(state.mutex);
  if (state.users > 0 && --state.users == 0) state.sink.reset();
}

void AudioOutput::CloseForExit() {
  OutputState& state = State();
  std::lock_guard lock(state.mutex);
  // A child made by fork has the sink but not its thread, which could never be joined there.
  if (state.opener == getpid()) state.sink.reset();
}

bool AudioOutput::IsAudible() {
  OutputState& state = State();
  std::lock_guard lock(state.mutex);
  return state.sink && state.sink->IsAudible();
}

void AudioOutput::SetManualMixing(bool manual) {
  OutputState& state = State();
  std::lock_guard lock(state.mutex);
  state.manual = manual;
}

void AudioOutput::SetFailOpen(bool fail) {
  OutputState& state = State();
  std::lock_guard lock(state.mutex);
  state.failOpen = fail;
}

}  // namespace Velk
