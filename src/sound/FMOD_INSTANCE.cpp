#include "sound/FMOD_INSTANCE.h"

#include "platform/modules/Modules.h"
#include "platform/msgbox/MessageBox.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace Velk {

namespace {

std::mutex gMutex;
FMOD_INSTANCE* gInstance = nullptr;
int gReferences = 0;

[[noreturn]] void Fail(const char* text) {
  MessageBoxA(nullptr, text, "Error", MB_ICONERROR);
  std::exit(0);
}

template <typename Function>
void Bind(HMODULE module, const char* name, Function& entry) {
  entry = reinterpret_cast<Function>(GetProcAddress(module, name));
  if (entry) return;
  char text[256];
  std::snprintf(text, sizeof text, "\"%s\" function not found in fmod.dll", name);
  Fail(text);
}

}  // namespace

void FMOD_INSTANCE::Resolve(HMODULE module) {
  Bind(module, "_FSOUND_SetBufferSize@4", FSOUND_SetBufferSize);
  Bind(module, "_FSOUND_SetHWND@4", FSOUND_SetHWND);
  Bind(module, "_FSOUND_Init@12", FSOUND_Init);
  Bind(module, "_FSOUND_Close@0", FSOUND_Close);
  Bind(module, "_FSOUND_Sample_Load@16", FSOUND_Sample_Load);
  Bind(module, "_FSOUND_Sample_Alloc@28", FSOUND_Sample_Alloc);
  Bind(module, "_FSOUND_Sample_Free@4", FSOUND_Sample_Free);
  Bind(module, "_FSOUND_Sample_Lock@28", FSOUND_Sample_Lock);
  Bind(module, "_FSOUND_Sample_Unlock@20", FSOUND_Sample_Unlock);
  Bind(module, "_FSOUND_Sample_SetLoopPoints@12", FSOUND_Sample_SetLoopPoints);
  Bind(module, "_FSOUND_Sample_GetLength@4", FSOUND_Sample_GetLength);
  Bind(module, "_FSOUND_Sample_GetDefaults@20", FSOUND_Sample_GetDefaults);
  Bind(module, "_FSOUND_Sample_GetMode@4", FSOUND_Sample_GetMode);
  Bind(module, "_FSOUND_PlaySound@8", FSOUND_PlaySound);
  Bind(module, "_FSOUND_StopSound@4", FSOUND_StopSound);
  Bind(module, "_FSOUND_SetVolume@8", FSOUND_SetVolume);
  Bind(module, "_FSOUND_SetPaused@8", FSOUND_SetPaused);
  Bind(module, "_FSOUND_SetLoopMode@8", FSOUND_SetLoopMode);
  Bind(module, "_FSOUND_IsPlaying@4", FSOUND_IsPlaying);
  Bind(module, "_FSOUND_Stream_OpenFile@12", FSOUND_Stream_OpenFile);
  Bind(module, "_FSOUND_Stream_Close@4", FSOUND_Stream_Close);
  Bind(module, "_FSOUND_Stream_Play@8", FSOUND_Stream_Play);
  Bind(module, "_FMUSIC_LoadSong@4", FMUSIC_LoadSong);
  Bind(module, "_FMUSIC_PlaySong@4", FMUSIC_PlaySong);
  Bind(module, "_FMUSIC_StopSong@4", FMUSIC_StopSong);
  Bind(module, "_FMUSIC_SetLooping@8", FMUSIC_SetLooping);
  Bind(module, "_FMUSIC_SetOrder@8", FMUSIC_SetOrder);
  Bind(module, "_FMUSIC_SetPaused@8", FMUSIC_SetPaused);
  Bind(module, "_FMUSIC_SetMasterVolume@8", FMUSIC_SetMasterVolume);
  Bind(module, "_FMUSIC_IsPlaying@4", FMUSIC_IsPlaying);
}

FMOD_INSTANCE* FMOD_INSTANCE::Acquire() {
  std::lock_guard lock(gMutex);
  if (!gInstance) {
    HMODULE module = LoadLibraryA("fmod.dll");
    if (!module) Fail("Can't find fmod.dll.");
    auto* table = new FMOD_INSTANCE;
    table->mModule = module;
    table->Resolve(module);
    gInstance = table;
  }
  ++gReferences;
  return gInstance;
}

void FMOD_INSTANCE::Release() {
  std::lock_guard lock(gMutex);
  if (!gInstance || --gReferences >= 1) return;
  FreeLibrary(gInstance->mModule);
  delete gInstance;
  gInstance = nullptr;
}

std::optional<PcmSound> FMOD_INSTANCE::ReadSample(FSOUND_SAMPLE* sample) {
  const unsigned int mode = FSOUND_Sample_GetMode(sample);
  int frequency = 0;
  FSOUND_Sample_GetDefaults(sample, &frequency, nullptr, nullptr, nullptr);
  PcmSound sound;
  sound.channels = (mode & FSOUND_MONO) ? 1 : 2;
  sound.bits = (mode & FSOUND_8BITS) ? 8 : 16;
  sound.rate = static_cast<uint32_t>(frequency);
  const unsigned int length = FSOUND_Sample_GetLength(sample) * sound.BlockAlign();
  void* part1 = nullptr;
  void* part2 = nullptr;
  unsigned int bytes1 = 0;
  unsigned int bytes2 = 0;
  if (!FSOUND_Sample_Lock(sample, 0, static_cast<int>(length), &part1, &part2, &bytes1, &bytes2)) return std::nullopt;
  const auto* first = static_cast<const uint8_t*>(part1);
  sound.data.assign(first, first + std::min(bytes1, length));
  sound.data.resize(length);
  FSOUND_Sample_Unlock(sample, part1, part2, bytes1, bytes2);
  return sound;
}

}  // namespace Velk
