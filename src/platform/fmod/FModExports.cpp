#include "platform/fmod/FModExports.h"

#include "platform/fmod/FMod.h"

namespace Velk {

// The names carry the calling convention's decoration: '_' before, '@' and the argument bytes after.
ModuleExports FModExports() {
  return {
      {"_FSOUND_SetBufferSize@4", ModuleEntry(&FSOUND_SetBufferSize)},
      {"_FSOUND_SetHWND@4", ModuleEntry(&FSOUND_SetHWND)},
      {"_FSOUND_Init@12", ModuleEntry(&FSOUND_Init)},
      {"_FSOUND_Close@0", ModuleEntry(&FSOUND_Close)},
      {"_FSOUND_Sample_Load@16", ModuleEntry(&FSOUND_Sample_Load)},
      {"_FSOUND_Sample_Alloc@28", ModuleEntry(&FSOUND_Sample_Alloc)},
      {"_FSOUND_Sample_Free@4", ModuleEntry(&FSOUND_Sample_Free)},
      {"_FSOUND_Sample_Lock@28", ModuleEntry(&FSOUND_Sample_Lock)},
      {"_FSOUND_Sample_Unlock@20", ModuleEntry(&FSOUND_Sample_Unlock)},
      {"_FSOUND_Sample_SetLoopPoints@12", ModuleEntry(&FSOUND_Sample_SetLoopPoints)},
      {"_FSOUND_Sample_GetLength@4", ModuleEntry(&FSOUND_Sample_GetLength)},
      {"_FSOUND_Sample_GetDefaults@20", ModuleEntry(&FSOUND_Sample_GetDefaults)},
      {"_FSOUND_Sample_GetMode@4", ModuleEntry(&FSOUND_Sample_GetMode)},
      {"_FSOUND_PlaySound@8", ModuleEntry(&FSOUND_PlaySound)},
      {"_FSOUND_StopSound@4", ModuleEntry(&FSOUND_StopSound)},
      {"_FSOUND_SetVolume@8", ModuleEntry(&FSOUND_SetVolume)},
      {"_FSOUND_SetPaused@8", ModuleEntry(&FSOUND_SetPaused)},
      {"_FSOUND_SetLoopMode@8", ModuleEntry(&FSOUND_SetLoopMode)},
      {"_FSOUND_IsPlaying@4", ModuleEntry(&FSOUND_IsPlaying)},
      {"_FSOUND_Stream_OpenFile@12", ModuleEntry(&FSOUND_Stream_OpenFile)},
      {"_FSOUND_Stream_Close@4", ModuleEntry(&FSOUND_Stream_Close)},
      {"_FSOUND_Stream_Play@8", ModuleEntry(&FSOUND_Stream_Play)},
      {"_FMUSIC_LoadSong@4", ModuleEntry(&FMUSIC_LoadSong)},
      {"_FMUSIC_PlaySong@4", ModuleEntry(&FMUSIC_PlaySong)},
      {"_FMUSIC_StopSong@4", ModuleEntry(&FMUSIC_StopSong)},
      {"_FMUSIC_SetLooping@8", ModuleEntry(&FMUSIC_SetLooping)},
      {"_FMUSIC_SetOrder@8", ModuleEntry(&FMUSIC_SetOrder)},
      {"_FMUSIC_SetPaused@8", ModuleEntry(&FMUSIC_SetPaused)},
      {"_FMUSIC_SetMasterVolume@8", ModuleEntry(&FMUSIC_SetMasterVolume)},
      {"_FMUSIC_IsPlaying@4", ModuleEntry(&FMUSIC_IsPlaying)},
  };
}

}  // namespace Velk
