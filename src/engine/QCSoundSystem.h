#pragma once
// The game's side of the sound library: starting and stopping it with a count, the state that the
// sound table and the music table share, and the file callbacks through which the library reads every
// sound and music file from the archives.

#include "platform/squall/Squall.h"

#include <atomic>
#include <cstdint>

// The library calls the game makes. They go through this table so that tests can record them.
struct QCSquallCalls {
  decltype(&SQUALL_GetNumDevice) GetNumDevice;
  decltype(&SQUALL_Init) Init;
  decltype(&SQUALL_SetSpeakerMode) SetSpeakerMode;
  decltype(&SQUALL_SetFileCallbacks) SetFileCallbacks;
  decltype(&SQUALL_SetMemoryCallbacks) SetMemoryCallbacks;
  decltype(&SQUALL_Pause) Pause;
  decltype(&SQUALL_Stop) Stop;
  decltype(&SQUALL_Free) Free;
  decltype(&SQUALL_Sample_LoadFile) Sample_LoadFile;
  decltype(&SQUALL_Sample_PlayEx) Sample_PlayEx;
  decltype(&SQUALL_Sample_Pause) Sample_Pause;
  decltype(&SQUALL_Sample_Stop) Sample_Stop;
  decltype(&SQUALL_Sample_Unload) Sample_Unload;
  decltype(&SQUALL_Channel_Status) Channel_Status;
  decltype(&SQUALL_Channel_Start) Channel_Start;
  decltype(&SQUALL_Channel_Stop) Channel_Stop;
  decltype(&SQUALL_Channel_Pause) Channel_Pause;
  decltype(&SQUALL_Channel_SetVolume) Channel_SetVolume;
  decltype(&SQUALL_ChannelGroup_SetVolume) ChannelGroup_SetVolume;
  decltype(&SQUALL_Channel_SetWorker) Channel_SetWorker;
};

const QCSquallCalls& Squall();
// Tests only: routes every call to `calls`; null goes back to the library.
void SetSquallCalls(const QCSquallCalls* calls);

// Process-wide, shared by the sound and the music table.
struct QCSoundState {
  // True only after the library started; every library call is skipped while it is false.
  std::atomic<bool> present{false};
  int startCount = 0;
  SQUALL_Settings parameters{};  // the library keeps the address
  std::atomic<int> soundVolume{100};
  std::atomic<int> musicVolume{100};
};

QCSoundState& SoundState();
inline bool IsSoundPresent() { return SoundState().present; }

// The engine holds one; its end is the engine's stop of the library.
class QCSoundSystem {
 public:
  QCSoundSystem();
  ~QCSoundSystem();
  QCSoundSystem(const QCSoundSystem&) = delete;
  QCSoundSystem& operator=(const QCSoundSystem&) = delete;
};

// Only the first start brings the library up; with no device or a failed start the game runs silent.
void StartSoundSystem(intptr_t window);
// The stop that matches the first start shuts the library down.
void StopSoundSystem();
// Runs the library's due workers (the music fades); the main loop calls it once per step.
void PumpSoundSystem(uint32_t nowMs);
// Pauses or resumes every channel at once while the window has no focus, independent of the counted
// pauses. Not to be confused with PauseAllSounds (QCSoundTable.h), which counts per entry.
void PauseAllSound(bool pause);
