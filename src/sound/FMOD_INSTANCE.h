#pragma once
// The entry points of the optional FMOD library ("fmod.dll"), resolved by name at run time. One
// table per process, shared by reference count between the sound manager and the FMOD music
// interface.

#include "platform/audio/PcmSound.h"
#include "platform/base/WinTypes.h"
#include "platform/fmod/FMod.h"

#include <optional>

namespace Velk {

class FMOD_INSTANCE {
 public:
  // Counts a reference up and loads the library on the first. A missing library or entry is told in a
  // message box and ends the program: whoever asks for the library cannot run without it.
  static FMOD_INSTANCE* Acquire();
  // Gives back a reference that Acquire handed out; the last one frees the library.
  static void Release();

  // A sample's format and data, as PCM; null when it cannot be locked.
  std::optional<PcmSound> ReadSample(FSOUND_SAMPLE* sample);

  signed char (*FSOUND_SetBufferSize)(int ms) = nullptr;
  signed char (*FSOUND_SetHWND)(void* window) = nullptr;
  signed char (*FSOUND_Init)(int mixRate, int maxChannels, unsigned int flags) = nullptr;
  void (*FSOUND_Close)() = nullptr;
  FSOUND_SAMPLE* (*FSOUND_Sample_Load)(int index, const char* name, unsigned int mode, int length) = nullptr;
  FSOUND_SAMPLE* (*FSOUND_Sample_Alloc)(int index, int length, unsigned int mode, int frequency, int volume, int pan,
                                        int priority) = nullptr;
  void (*FSOUND_Sample_Free)(FSOUND_SAMPLE* sample) = nullptr;
  signed char (*FSOUND_Sample_Lock)(FSOUND_SAMPLE* sample, int offset, int length, void** part1, void** part2,
                                    unsigned int* bytes1, unsigned int* bytes2) = nullptr;
  signed char (*FSOUND_Sample_Unlock)(FSOUND_SAMPLE* sample, void* part1, void* part2, unsigned int bytes1,
                                      unsigned int bytes2) = nullptr;
  signed char (*FSOUND_Sample_SetLoopPoints)(FSOUND_SAMPLE* sample, int start, int end) = nullptr;
  unsigned int (*FSOUND_Sample_GetLength)(FSOUND_SAMPLE* sample) = nullptr;
  signed char (*FSOUND_Sample_GetDefaults)(FSOUND_SAMPLE* sample, int* frequency, int* volume, int* pan,
                                           int* priority) = nullptr;
  unsigned int (*FSOUND_Sample_GetMode)(FSOUND_SAMPLE* sample) = nullptr;
  int (*FSOUND_PlaySound)(int channel, FSOUND_SAMPLE* sample) = nullptr;
  signed char (*FSOUND_StopSound)(int channel) = nullptr;
  signed char (*FSOUND_SetVolume)(int channel, int volume) = nullptr;
  signed char (*FSOUND_SetPaused)(int channel, signed char paused) = nullptr;
  signed char (*FSOUND_SetLoopMode)(int channel, unsigned int mode) = nullptr;
  signed char (*FSOUND_IsPlaying)(int channel) = nullptr;
  FSOUND_STREAM* (*FSOUND_Stream_OpenFile)(const char* name, unsigned int mode, int length) = nullptr;
  signed char (*FSOUND_Stream_Close)(FSOUND_STREAM* stream) = nullptr;
  int (*FSOUND_Stream_Play)(int channel, FSOUND_STREAM* stream) = nullptr;
  FMUSIC_MODULE* (*FMUSIC_LoadSong)(const char* name) = nullptr;
  signed char (*FMUSIC_PlaySong)(FMUSIC_MODULE* module) = nullptr;
  signed char (*FMUSIC_StopSong)(FMUSIC_MODULE* module) = nullptr;
  signed char (*FMUSIC_SetLooping)(FMUSIC_MODULE* module, signed char looping) = nullptr;
  signed char (*FMUSIC_SetOrder)(FMUSIC_MODULE* module, int order) = nullptr;
  signed char (*FMUSIC_SetPaused)(FMUSIC_MODULE* module, signed char paused) = nullptr;
  signed char (*FMUSIC_SetMasterVolume)(FMUSIC_MODULE* module, int volume) = nullptr;
  signed char (*FMUSIC_IsPlaying)(FMUSIC_MODULE* module) = nullptr;

 private:
  FMOD_INSTANCE() = default;
  void Resolve(HMODULE module);

  HMODULE mModule = nullptr;
};

}  // namespace Velk
