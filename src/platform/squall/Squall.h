#pragma once
// The sound library the game's effects and music play through: samples loaded from files, channels
// that play them, channel groups with their own volume, and periodic workers attached to channels.
// Every argument and result is a 32-bit integer. Results >= 0 mean success; the failures are the
// SQUALL_ERROR_* codes below. Sample and channel ids start at 1 and are never given out twice.
//
// Here it plays over the process's one software mixer. Two things differ from a library with a thread
// of its own: workers run when the host calls SQUALL_StandIn_Pump, and Ogg Vorbis files decode on a
// background thread (a channel on such a sample starts sounding once its data is ready).

#include <cstdint>

// Passed to SQUALL_Init and kept by the caller for the library's lifetime. Only the sample rate, the
// bit depth and the channel count mean anything here; the device always mixes 44100 Hz 16-bit stereo.
struct SQUALL_Settings {
  intptr_t window;
  int32_t device;
  int32_t sampleRate;
  int32_t bitsPerSample;
  int32_t channels;
  int32_t option1;
  int32_t option2;
  int32_t option3;
  int32_t option4;
  int32_t option5;
  float factor1;
  float factor2;
  float factor3;
};

// What a sample's channels take unless the play call says otherwise. Stored; PlayEx always says.
struct SQUALL_SampleDefaults {
  int32_t group;
  int32_t priority;
  int32_t frequency;
  int32_t volume;
  int32_t pan;
  float minDistance;
  float maxDistance;
};

// The file callbacks: every file the library reads goes through them. open answers -1 when the file
// does not open; seek answers the position after seeking; read answers the bytes read.
using SQUALL_OpenCallback = int (*)(const char* name);
using SQUALL_SeekCallback = int (*)(int handle, int offset, int origin);
using SQUALL_ReadCallback = int (*)(int handle, void* buffer, int size);
using SQUALL_CloseCallback = void (*)(int handle);
using SQUALL_AllocCallback = void* (*)(unsigned size);
using SQUALL_FreeCallback = void (*)(void* block);
// Called about every `period` ms with its channel and user pointer while attached.
using SQUALL_Worker = int (*)(int channel, void* user);

constexpr int SQUALL_ERROR_NOT_STARTED = -1;
constexpr int SQUALL_ERROR_BAD_ID = -2;
constexpr int SQUALL_ERROR_FILE = -3;
constexpr int SQUALL_ERROR_NO_CHANNEL = -4;
// A sample that live channels still play is not unloaded.
constexpr int SQUALL_ERROR_IN_USE = -5;

// 1 when an output can be opened, else 0 (the caller then runs silent).
int SQUALL_GetNumDevice();
int SQUALL_Init(SQUALL_Settings* parameters);
int SQUALL_SetSpeakerMode(int mode);
int SQUALL_SetFileCallbacks(SQUALL_OpenCallback open, SQUALL_SeekCallback seek, SQUALL_ReadCallback read,
                            SQUALL_CloseCallback close);
int SQUALL_SetMemoryCallbacks(SQUALL_AllocCallback alloc, SQUALL_FreeCallback free);
// The global pause; independent of the sample and channel pauses.
int SQUALL_Pause(int pause);
// Stops every channel and drops every worker.
int SQUALL_Stop();
// Closes the output and frees every sample.
int SQUALL_Free();

// WAV (PCM 8/16-bit, mono or stereo) or Ogg Vorbis; answers the sample id.
int SQUALL_Sample_LoadFile(const char* path, int memory, SQUALL_SampleDefaults* defaults);
// Answers the channel id. The frequency is not used: every file plays at its own pitch.
int SQUALL_Sample_PlayEx(int sample, int loop, int group, int start, int priority, int volume, int frequency, int pan);
// Pauses or resumes the channels the sample has now; later channels are not affected.
int SQUALL_Sample_Pause(int sample, int pause);
int SQUALL_Sample_Stop(int sample);
int SQUALL_Sample_Unload(int sample);

// Non-zero while the channel plays or is paused; 0 once it ended, was stopped or never existed.
int SQUALL_Channel_Status(int channel);
// Clears the channel's own pause; a playing channel is left as it is (never restarted).
int SQUALL_Channel_Start(int channel);
int SQUALL_Channel_Stop(int channel);
int SQUALL_Channel_Pause(int channel, int pause);
// Volume 0-100.
int SQUALL_Channel_SetVolume(int channel, int volume);
// Sets the volume of every live channel of the group; channels started later take their own.
int SQUALL_ChannelGroup_SetVolume(int group, int volume);
// Attaches a worker (null detaches). A worker may detach itself, stop its channel and unload its
// sample from inside its call.
int SQUALL_Channel_SetWorker(int channel, SQUALL_Worker worker, void* user, int periodMs);

// Runs each worker whose period has passed, at most once per call. The host calls it once per
// main-loop step with the current timeGetTime().
int SQUALL_StandIn_Pump(uint32_t nowMs);
