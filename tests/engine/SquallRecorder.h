#pragma once
// A recording stand-in for the sound library's calls: every call is logged with its integer
// arguments, results are scripted, channels stay live until stopped, and attached workers run when
// the test says so.

#include "engine/QCSoundSystem.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

struct SquallCall {
  std::string name;
  std::vector<int> args;
  bool operator==(const SquallCall&) const = default;
};

class SquallRecorder {
 public:
  struct Worker {
    SQUALL_Worker worker;
    void* user;
    int period;
  };

  int devices = 1;
  int initResult = 0;
  std::map<std::string, int> loadResults;  // by path; otherwise the next sample id
  std::vector<SquallCall> calls;
  std::map<int, int> liveChannels;  // channel -> sample
  std::map<int, Worker> workers;
  std::vector<int> unloadedUnderLiveChannel;

  static SquallRecorder*& Current() {
    static SquallRecorder* current = nullptr;
    return current;
  }

  SquallRecorder() {
    Current() = this;
    SetSquallCalls(&kCalls);
  }
  ~SquallRecorder() {
    SetSquallCalls(nullptr);
    Current() = nullptr;
  }

  std::vector<SquallCall> Named(const std::string& name) const {
    std::vector<SquallCall> out;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(out), [&](const auto& c) { return c.name == name; });
    return out;
  }
  // The volumes of the Channel_SetVolume calls since the last Clear.
  std::vector<int> Volumes(int channel) const {
    std::vector<int> out;
    for (const auto& c : Named("Channel_SetVolume"))
      if (c.args[0] == channel) out.push_back(c.args[1]);
    return out;
  }
  void Clear() { calls.clear(); }

  // One pass of the library's worker thread: every worker attached now runs once.
  void RunWorkers() {
    std::vector<std::pair<int, Worker>> due(workers.begin(), workers.end());
    for (auto& [channel, w] : due) {
      auto it = workers.find(channel);
      if (it != workers.end() && it->second.worker == w.worker) w.worker(channel, w.user);
    }
  }

 private:
  static SquallRecorder& R() { return *Current(); }
  static int Log(const char* name, std::vector<int> args, int result = 0) {
    R().calls.push_back({name, std::move(args)});
    return result;
  }

  static int GetNumDevice() { return Log("GetNumDevice", {}, R().devices); }
  static int Init(SQUALL_Settings* p) {
    return Log("Init",
               {static_cast<int>(p->window), p->device, p->sampleRate, p->bitsPerSample, p->channels, p->option1,
                p->option2, p->option3, p->option4, p->option5},
               R().initResult);
  }
  static int SetSpeakerMode(int mode) { return Log("SetSpeakerMode", {mode}); }
  static int SetFileCallbacks(SQUALL_OpenCallback, SQUALL_SeekCallback, SQUALL_ReadCallback, SQUALL_CloseCallback) {
    return Log("SetFileCallbacks", {});
  }
  static int SetMemoryCallbacks(SQUALL_AllocCallback, SQUALL_FreeCallback) { return Log("SetMemoryCallbacks", {}); }
  static int Pause(int flag) { return Log("Pause", {flag}); }
  static int Stop() { return Log("Stop", {}); }
  static int Free() { return Log("Free", {}); }
  static int Sample_LoadFile(const char* path, int memory, SQUALL_SampleDefaults* d) {
    auto scripted = R().loadResults.find(path);
    const int result = scripted != R().loadResults.end() ? scripted->second : R().nextSample_++;
    if (!d) return Log("Sample_LoadFile", {memory}, result);
    return Log("Sample_LoadFile", {memory, d->group, d->priority, d->frequency, d->volume, d->pan}, result);
  }
  static int Sample_PlayEx(int sample, int loop, int group, int start, int priority, int volume, int frequency,
                           int pan) {
    const int channel = R().nextChannel_++;
    R().liveChannels[channel] = sample;
    return Log("Sample_PlayEx", {sample, loop, group, start, priority, volume, frequency, pan}, channel);
  }
  static int Sample_Pause(int sample, int flag) { return Log("Sample_Pause", {sample, flag}); }
  static int Sample_Stop(int sample) {
    std::erase_if(R().liveChannels, [&](const auto& c) { return c.second == sample; });
    return Log("Sample_Stop", {sample});
  }
  static int Sample_Unload(int sample) {
    for (const auto& [channel, s] : R().liveChannels)
      if (s == sample) R().unloadedUnderLiveChannel.push_back(sample);
    return Log("Sample_Unload", {sample});
  }
  static int Channel_Status(int channel) { return Log("Channel_Status", {channel}, R().liveChannels.count(channel)); }
  static int Channel_Start(int channel) { return Log("Channel_Start", {channel}); }
  static int Channel_Stop(int channel) {
    R().liveChannels.erase(channel);
    R().workers.erase(channel);
    return Log("Channel_Stop", {channel});
  }
  static int Channel_Pause(int channel, int flag) { return Log("Channel_Pause", {channel, flag}); }
  static int Channel_SetVolume(int channel, int volume) { return Log("Channel_SetVolume", {channel, volume}); }
  static int ChannelGroup_SetVolume(int group, int volume) { return Log("ChannelGroup_SetVolume", {group, volume}); }
  static int Channel_SetWorker(int channel, SQUALL_Worker worker, void* user, int period) {
    if (worker) {
      R().workers[channel] = {worker, user, period};
    } else {
      R().workers.erase(channel);
    }
    return Log("Channel_SetWorker", {channel, worker ? 1 : 0, period});
  }

  static constexpr QCSquallCalls kCalls = {
      &GetNumDevice,
      &Init,
      &SetSpeakerMode,
      &SetFileCallbacks,
      &SetMemoryCallbacks,
      &Pause,
      &Stop,
      &Free,
      &Sample_LoadFile,
      &Sample_PlayEx,
      &Sample_Pause,
      &Sample_Stop,
      &Sample_Unload,
      &Channel_Status,
      &Channel_Start,
      &Channel_Stop,
      &Channel_Pause,
      &Channel_SetVolume,
      &ChannelGroup_SetVolume,
      &Channel_SetWorker,
  };

  int nextSample_ = 1;
  int nextChannel_ = 1;
};
