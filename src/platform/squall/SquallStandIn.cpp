// The sound library over the process's software mixer. One mutex guards all state: samples load on
// the start-up loading thread while the main thread pauses and plays, Ogg files decode on a thread of
// their own, and the mixer (which has its own lock) pulls from the audio thread.

#include "platform/squall/Squall.h"

#include "platform/audio/AudioOutput.h"
#include "platform/clock/Clock.h"
#include "platform/squall/SquallDecode.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace Velk {

namespace {

constexpr int kDefaultChannels = 32;

struct Sample {
  std::shared_ptr<const AudioPcm> pcm;  // null while an Ogg file still decodes
  uint32_t rate = 0;
  bool failed = false;
  SQUALL_SampleDefaults defaults{};
};

struct Channel {
  int sample = 0;
  int group = 0;
  AudioMixer::VoiceId voice = 0;  // 0 until the sample's data is ready
  bool running = false;           // the mixer was last told to play it
  bool loop = false;
  int volume = 100;
  int pan = 50;
  bool samplePaused = false;
  bool channelPaused = false;
  SQUALL_Worker worker = nullptr;
  void* user = nullptr;
  int period = 0;
  DWORD due = 0;
};

struct DecodeJob {
  int sample = 0;
  std::unique_ptr<SquallFileSource> source;
};

struct StandIn {
  std::mutex mutex;
  bool started = false;
  bool paused = false;
  int maxChannels = kDefaultChannels;
  // Ids only ever count up, so a stale id can never reach a later sample or channel.
  int nextSample = 1;
  int nextChannel = 1;
  SquallFileCallbacks files;
  SQUALL_AllocCallback alloc = nullptr;
  SQUALL_FreeCallback free = nullptr;
  std::map<int, Sample> samples;
  std::map<int, Channel> channels;

  std::thread decoder;
  std::condition_variable decodeWake;
  std::deque<DecodeJob> decodeJobs;
  bool decoderStop = false;
};

using Lock = std::unique_lock<std::mutex>;
using ChannelIt = std::map<int, Channel>::iterator;

StandIn& State() {
  // Never destroyed: the decoder may still run while static destructors do.
  static StandIn* state = new StandIn;
  return *state;
}

AudioMixer& Mixer() { return AudioOutput::Mixer(); }

void Log(const char* what, const char* detail) { std::fprintf(stderr, "sound: %s%s\n", what, detail); }

int Percent(int value) { return std::clamp(value, 0, 100); }

bool Audible(const StandIn& st, const Channel& ch) { return !st.paused && !ch.samplePaused && !ch.channelPaused; }

void ApplyGain(const Channel& ch) {
  if (!ch.voice) return;
  const float volume = ch.volume / 100.0f;
  const float left = std::min(1.0f, (100 - ch.pan) / 50.0f);
  const float right = std::min(1.0f, ch.pan / 50.0f);
  Mixer().SetGain(ch.voice, volume * left, volume * right);
}

// Brings the voice in line with the three pause flags. False when the voice turns out to have
// ended by itself, so the channel is over.
bool ApplyPause(const StandIn& st, Channel& ch) {
  if (!ch.voice) return true;
  if (Audible(st, ch)) {
    if (!ch.running) Mixer().Play(ch.voice, ch.loop);
    ch.running = true;
    return true;
  }
  if (!ch.running) return true;
  ch.running = false;
  return Mixer().Stop(ch.voice);
}

bool Ended(const StandIn& st, const Channel& ch) {
  if (ch.voice) return ch.running && !Mixer().IsPlaying(ch.voice);
  auto sample = st.samples.find(ch.sample);
  return sample == st.samples.end() || sample->second.failed;
}

ChannelIt RemoveChannel(StandIn& st, ChannelIt it) {
  if (it->second.voice) Mixer().RemoveVoice(it->second.voice);
  return st.channels.erase(it);
}

// Channels whose sound ran out are dropped with their voices and workers.
void Reap(StandIn& st) {
  for (auto it = st.channels.begin(); it != st.channels.end();) {
    it = Ended(st, it->second) ? RemoveChannel(st, it) : std::next(it);
  }
}

// Locks and drops ended channels, so that nothing below mistakes an ended voice for a paused one.
Lock Enter(StandIn& st) {
  Lock lock(st.mutex);
  if (st.started) Reap(st);
  return lock;
}

void StartVoice(StandIn& st, Channel& ch, const Sample& sample) {
  ch.voice = Mixer().AddVoice(sample.pcm, sample.rate);
  ApplyGain(ch);
  ApplyPause(st, ch);
}

Channel* FindChannel(StandIn& st, int id) {
  auto it = st.channels.find(id);
  return it == st.channels.end() ? nullptr : &it->second;
}

Sample* FindSample(StandIn& st, int id) {
  auto it = st.samples.find(id);
  return it == st.samples.end() ? nullptr : &it->second;
}

// Applies `change` to every channel `pick` selects and re-applies its pause; ended ones are dropped.
template <typename Pick, typename Change>
void ForChannels(StandIn& st, Pick pick, Change change) {
  for (auto it = st.channels.begin(); it != st.channels.end();) {
    if (!pick(it->second)) {
      ++it;
      continue;
    }
    change(it->second);
    ApplyGain(it->second);
    it = ApplyPause(st, it->second) ? std::next(it) : RemoveChannel(st, it);
  }
}

// Runs a change on one channel; the code for an unknown or ended one.
template <typename Change>
int WithChannel(int id, Change change) {
  StandIn& st = State();
  Lock lock = Enter(st);
  if (!st.started) return SQUALL_ERROR_NOT_STARTED;
  auto it = st.channels.find(id);
  if (it == st.channels.end()) return SQUALL_ERROR_BAD_ID;
  change(it->second);
  ApplyGain(it->second);
  if (!ApplyPause(st, it->second)) RemoveChannel(st, it);
  return 0;
}

void FinishDecode(StandIn& st, int id, std::optional<SquallPcm> decoded) {
  Sample* sample = FindSample(st, id);
  if (!sample) return;  // unloaded while it decoded
  if (!decoded) {
    sample->failed = true;
    Log("cannot decode sample ", std::to_string(id).c_str());
    return;
  }
  sample->pcm = std::move(decoded->pcm);
  sample->rate = decoded->rate;
  for (auto& [channelId, ch] : st.channels) {
    if (ch.sample == id && !ch.voice) StartVoice(st, ch, *sample);
  }
}

void DecoderLoop() {
  StandIn& st = State();
  Lock lock(st.mutex);
  for (;;) {
    st.decodeWake.wait(lock, [&] { return st.decoderStop || !st.decodeJobs.empty(); });
    if (st.decoderStop) return;
    DecodeJob job = std::move(st.decodeJobs.front());
    st.decodeJobs.pop_front();
    if (!FindSample(st, job.sample)) continue;  // unloaded before its turn
    lock.unlock();
    std::optional<SquallPcm> decoded = SquallDecode::Decode(*job.source);
    job.source.reset();
    lock.lock();
    FinishDecode(st, job.sample, std::move(decoded));
  }
}

void QueueDecode(StandIn& st, int sample, std::unique_ptr<SquallFileSource> source) {
  st.decodeJobs.push_back({sample, std::move(source)});
  if (!st.decoder.joinable()) st.decoder = std::thread(DecoderLoop);
  st.decodeWake.notify_one();
}

void StopDecoder(StandIn& st, Lock& lock) {
  st.decoderStop = true;
  st.decodeWake.notify_one();
  std::thread decoder = std::move(st.decoder);
  lock.unlock();
  if (decoder.joinable()) decoder.join();
  lock.lock();
  st.decodeJobs.clear();
  st.decoderStop = false;
}

void RemoveAllChannels(StandIn& st) {
  for (auto it = st.channels.begin(); it != st.channels.end();) it = RemoveChannel(st, it);
}

bool UsesSample(const StandIn& st, int sample) {
  return std::any_of(st.channels.begin(), st.channels.end(), [&](const auto& c) { return c.second.sample == sample; });
}

// Runs `change` on every channel of the sample.
template <typename Change>
int ForSampleChannels(int sample, Change change) {
  StandIn& st = State();
  Lock lock = Enter(st);
  if (!st.started) return SQUALL_ERROR_NOT_STARTED;
  if (!FindSample(st, sample)) return SQUALL_ERROR_BAD_ID;
  ForChannels(
      st, [&](const Channel& ch) { return ch.sample == sample; }, change);
  return 0;
}

struct DueWorker {
  int channel;
  SQUALL_Worker worker;
  void* user;
};

std::vector<DueWorker> CollectDueWorkers(StandIn& st, DWORD nowMs) {
  std::vector<DueWorker> due;
  for (auto& [id, ch] : st.channels) {
    if (!ch.worker || TickDiff(nowMs, ch.due) < 0) continue;
    due.push_back({id, ch.worker, ch.user});
    ch.due += ch.period;
    if (TickDiff(nowMs, ch.due) >= 0) ch.due = nowMs + ch.period;  // fell behind: no bursts
  }
  return due;
}

// A worker called earlier in the same pump may have detached, replaced or stopped this one.
bool StillAttached(StandIn& st, const DueWorker& due) {
  Lock lock(st.mutex);
  const Channel* ch = FindChannel(st, due.channel);
  return ch && ch->worker == due.worker && ch->user == due.user;
}

}  // namespace

}  // namespace Velk

using Velk::State;

int SQUALL_GetNumDevice() {
  Velk::StandIn& st = State();
  {
    Velk::Lock lock(st.mutex);
    if (st.started) return 1;
  }
  if (!Velk::AudioOutput::Acquire()) return 0;
  Velk::AudioOutput::Release();
  return 1;
}

int SQUALL_Init(SQUALL_Settings* parameters) {
  Velk::StandIn& st = State();
  Velk::Lock lock(st.mutex);
  if (st.started) return 0;
  if (!parameters || !Velk::AudioOutput::Acquire()) return SQUALL_ERROR_NOT_STARTED;
  st.started = true;
  st.paused = false;
  st.maxChannels =
      parameters->channels > 0 ? std::min(parameters->channels, Velk::kDefaultChannels) : Velk::kDefaultChannels;
  return 0;
}

int SQUALL_SetSpeakerMode(int) { return 0; }

int SQUALL_SetFileCallbacks(SQUALL_OpenCallback open, SQUALL_SeekCallback seek, SQUALL_ReadCallback read,
                            SQUALL_CloseCallback close) {
  Velk::StandIn& st = State();
  Velk::Lock lock(st.mutex);
  st.files = {open, seek, read, close};
  return 0;
}

// Kept for the host's sake; the samples here live in ordinary vectors.
int SQUALL_SetMemoryCallbacks(SQUALL_AllocCallback alloc, SQUALL_FreeCallback free) {
  Velk::StandIn& st = State();
  Velk::Lock lock(st.mutex);
  st.alloc = alloc;
  st.free = free;
  return 0;
}

int SQUALL_Pause(int pause) {
  Velk::StandIn& st = State();
  Velk::Lock lock = Velk::Enter(st);
  if (!st.started) return SQUALL_ERROR_NOT_STARTED;
  st.paused = pause != 0;
  Velk::ForChannels(
      st, [](const Velk::Channel&) { return true; }, [](Velk::Channel&) {});
  return 0;
}

int SQUALL_Stop() {
  Velk::StandIn& st = State();
  Velk::Lock lock(st.mutex);
  if (!st.started) return SQUALL_ERROR_NOT_STARTED;
  Velk::RemoveAllChannels(st);
  return 0;
}

int SQUALL_Free() {
  Velk::StandIn& st = State();
  Velk::Lock lock(st.mutex);
  if (!st.started) return SQUALL_ERROR_NOT_STARTED;
  Velk::StopDecoder(st, lock);
  Velk::RemoveAllChannels(st);
  st.samples.clear();
  st.started = false;
  st.paused = false;
  Velk::AudioOutput::Release();
  return 0;
}

int SQUALL_Sample_LoadFile(const char* path, int, SQUALL_SampleDefaults* defaults) {
  Velk::StandIn& st = State();
  Velk::SquallFileCallbacks files;
  {
    Velk::Lock lock(st.mutex);
    if (!st.started) return SQUALL_ERROR_NOT_STARTED;
    files = st.files;
  }
  // The file is read without the lock, so that loading never holds up the main thread.
  auto source = Velk::SquallFileSource::Open(files, path);
  if (!source) {
    Velk::Log("cannot open ", path ? path : "(null)");
    return SQUALL_ERROR_FILE;
  }
  const Velk::SquallFileKind kind = Velk::SquallDecode::Sniff(*source);
  Velk::Sample sample;
  if (defaults) sample.defaults = *defaults;
  if (kind == Velk::SquallFileKind::Wave) {
    auto decoded = Velk::SquallDecode::Decode(*source);
    if (!decoded) {
      Velk::Log("cannot decode ", path);
      return SQUALL_ERROR_FILE;
    }
    sample.pcm = std::move(decoded->pcm);
    sample.rate = decoded->rate;
  } else if (kind != Velk::SquallFileKind::Ogg) {
    Velk::Log("not a sound file: ", path);
    return SQUALL_ERROR_FILE;
  }
  Velk::Lock lock(st.mutex);
  if (!st.started) return SQUALL_ERROR_NOT_STARTED;
  const int id = st.nextSample++;
  st.samples[id] = std::move(sample);
  if (kind == Velk::SquallFileKind::Ogg) Velk::QueueDecode(st, id, std::move(source));
  return id;
}

int SQUALL_Sample_PlayEx(int sample, int loop, int group, int start, int, int volume, int, int pan) {
  Velk::StandIn& st = State();
  Velk::Lock lock = Velk::Enter(st);
  if (!st.started) return SQUALL_ERROR_NOT_STARTED;
  const Velk::Sample* found = Velk::FindSample(st, sample);
  if (!found) return SQUALL_ERROR_BAD_ID;
  if (found->failed) return SQUALL_ERROR_FILE;
  if (static_cast<int>(st.channels.size()) >= st.maxChannels) return SQUALL_ERROR_NO_CHANNEL;
  const int id = st.nextChannel++;
  Velk::Channel& ch = st.channels[id];
  ch.sample = sample;
  ch.group = group;
  ch.loop = loop != 0;
  ch.volume = Velk::Percent(volume);
  ch.pan = Velk::Percent(pan);
  ch.channelPaused = start == 0;
  if (found->pcm) Velk::StartVoice(st, ch, *found);
  return id;
}

int SQUALL_Sample_Pause(int sample, int pause) {
  return Velk::ForSampleChannels(sample, [&](Velk::Channel& ch) { ch.samplePaused = pause != 0; });
}

int SQUALL_Sample_Stop(int sample) {
  Velk::StandIn& st = State();
  Velk::Lock lock(st.mutex);
  if (!st.started) return SQUALL_ERROR_NOT_STARTED;
  if (!Velk::FindSample(st, sample)) return SQUALL_ERROR_BAD_ID;
  for (auto it = st.channels.begin(); it != st.channels.end();) {
    it = it->second.sample == sample ? Velk::RemoveChannel(st, it) : std::next(it);
  }
  return 0;
}

int SQUALL_Sample_Unload(int sample) {
  Velk::StandIn& st = State();
  Velk::Lock lock = Velk::Enter(st);
  if (!st.started) return SQUALL_ERROR_NOT_STARTED;
  if (!Velk::FindSample(st, sample)) return SQUALL_ERROR_BAD_ID;
  if (Velk::UsesSample(st, sample)) {
    Velk::Log("not unloading a sample that still plays: ", std::to_string(sample).c_str());
    return SQUALL_ERROR_IN_USE;
  }
  st.samples.erase(sample);
  return 0;
}

int SQUALL_Channel_Status(int channel) {
  Velk::StandIn& st = State();
  Velk::Lock lock = Velk::Enter(st);
  return st.started && Velk::FindChannel(st, channel) ? 1 : 0;
}

int SQUALL_Channel_Start(int channel) {
  return Velk::WithChannel(channel, [](Velk::Channel& ch) { ch.channelPaused = false; });
}

int SQUALL_Channel_Stop(int channel) {
  Velk::StandIn& st = State();
  Velk::Lock lock(st.mutex);
  if (!st.started) return SQUALL_ERROR_NOT_STARTED;
  auto it = st.channels.find(channel);
  if (it == st.channels.end()) return SQUALL_ERROR_BAD_ID;
  Velk::RemoveChannel(st, it);
  return 0;
}

int SQUALL_Channel_Pause(int channel, int pause) {
  return Velk::WithChannel(channel, [&](Velk::Channel& ch) { ch.channelPaused = pause != 0; });
}

int SQUALL_Channel_SetVolume(int channel, int volume) {
  return Velk::WithChannel(channel, [&](Velk::Channel& ch) { ch.volume = Velk::Percent(volume); });
}

int SQUALL_ChannelGroup_SetVolume(int group, int volume) {
  Velk::StandIn& st = State();
  Velk::Lock lock = Velk::Enter(st);
  if (!st.started) return SQUALL_ERROR_NOT_STARTED;
  Velk::ForChannels(
      st, [&](const Velk::Channel& ch) { return ch.group == group; },
      [&](Velk::Channel& ch) { ch.volume = Velk::Percent(volume); });
  return 0;
}

int SQUALL_Channel_SetWorker(int channel, SQUALL_Worker worker, void* user, int periodMs) {
  return Velk::WithChannel(channel, [&](Velk::Channel& ch) {
    ch.worker = worker;
    ch.user = user;
    ch.period = std::max(1, periodMs);
    ch.due = timeGetTime() + ch.period;
  });
}

int SQUALL_StandIn_Pump(uint32_t nowMs) {
  Velk::StandIn& st = State();
  std::vector<Velk::DueWorker> due;
  {
    Velk::Lock lock = Velk::Enter(st);
    if (!st.started) return SQUALL_ERROR_NOT_STARTED;
    due = Velk::CollectDueWorkers(st, nowMs);
  }
  // Called without the lock: a worker calls back into the library.
  int called = 0;
  for (const Velk::DueWorker& item : due) {
    if (!Velk::StillAttached(st, item)) continue;
    item.worker(item.channel, item.user);
    ++called;
  }
  return called;
}
