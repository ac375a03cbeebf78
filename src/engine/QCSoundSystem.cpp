#include "engine/QCSoundSystem.h"

#include "resources/PakInterface.h"

#include <cstdlib>
#include <map>
#include <mutex>

namespace {

constexpr QCSquallCalls kLibrary = {
    &SQUALL_GetNumDevice,
    &SQUALL_Init,
    &SQUALL_SetSpeakerMode,
    &SQUALL_SetFileCallbacks,
    &SQUALL_SetMemoryCallbacks,
    &SQUALL_Pause,
    &SQUALL_Stop,
    &SQUALL_Free,
    &SQUALL_Sample_LoadFile,
    &SQUALL_Sample_PlayEx,
    &SQUALL_Sample_Pause,
    &SQUALL_Sample_Stop,
    &SQUALL_Sample_Unload,
    &SQUALL_Channel_Status,
    &SQUALL_Channel_Start,
    &SQUALL_Channel_Stop,
    &SQUALL_Channel_Pause,
    &SQUALL_Channel_SetVolume,
    &SQUALL_ChannelGroup_SetVolume,
    &SQUALL_Channel_SetWorker,
};

std::atomic<const QCSquallCalls*> gCalls{&kLibrary};

constexpr int kSpeakerMode = 3;

// The library's file handles are ints; the archive layer's are pointers. Handles count up from 1.
struct FileTable {
  std::mutex mutex;
  std::map<int, PakFile*> files;
  int next = 1;
};

FileTable& Files() {
  static FileTable table;
  return table;
}

PakFile* FindFile(int handle) {
  FileTable& table = Files();
  std::lock_guard lock(table.mutex);
  auto it = table.files.find(handle);
  return it == table.files.end() ? nullptr : it->second;
}

int OpenSoundFile(const char* name) {
  PakFile* file = PakFileOpen(name, "rb");
  if (!file) return -1;
  FileTable& table = Files();
  std::lock_guard lock(table.mutex);
  const int handle = table.next++;
  table.files[handle] = file;
  return handle;
}

int SeekSoundFile(int handle, int offset, int origin) {
  PakFile* file = FindFile(handle);
  if (!file) return -1;
  PakFileSeek(file, offset, origin);
  return PakFileTell(file);
}

int ReadSoundFile(int handle, void* buffer, int size) {
  PakFile* file = FindFile(handle);
  if (!file || size <= 0) return 0;
  return static_cast<int>(PakFileRead(buffer, 1, static_cast<size_t>(size), file));
}

void CloseSoundFile(int handle) {
  PakFile* file = nullptr;
  {
    FileTable& table = Files();
    std::lock_guard lock(table.mutex);
    auto it = table.files.find(handle);
    if (it == table.files.end()) return;
    file = it->second;
    table.files.erase(it);
  }
  PakFileClose(file);
}

void* AllocateForSound(unsigned size) { return size == 0 ? nullptr : std::malloc(size); }

void FreeForSound(void* block) { std::free(block); }

void FillParameters(SQUALL_Settings& p, intptr_t window) {
  p = SQUALL_Settings{window, 0, 44100, 16, 32, 1, 1, 0, 500, 0, 0.0f, 0.0f, 0.0f};
}

}  // namespace

const QCSquallCalls& Squall() { return *gCalls.load(); }

void SetSquallCalls(const QCSquallCalls* calls) { gCalls = calls ? calls : &kLibrary; }

QCSoundState& SoundState() {
  static QCSoundState state;
  return state;
}

QCSoundSystem::QCSoundSystem() { SoundState().present = false; }

QCSoundSystem::~QCSoundSystem() { StopSoundSystem(); }

void StartSoundSystem(intptr_t window) {
  QCSoundState& state = SoundState();
  if (state.startCount++ != 0) return;
  FillParameters(state.parameters, window);
  const QCSquallCalls& squall = Squall();
  state.present = squall.GetNumDevice() != 0 && squall.Init(&state.parameters) >= 0;
  if (!state.present) return;
  squall.SetSpeakerMode(kSpeakerMode);
  squall.SetFileCallbacks(&OpenSoundFile, &SeekSoundFile, &ReadSoundFile, &CloseSoundFile);
  squall.SetMemoryCallbacks(&AllocateForSound, &FreeForSound);
}

// A stop without a start (an engine whose start-up failed early) leaves the count at 0, so that a
// later start still starts.
void StopSoundSystem() {
  QCSoundState& state = SoundState();
  if (state.startCount == 0 || --state.startCount != 0 || !state.present) return;
  Squall().Stop();
  Squall().Free();
  state.present = false;
}

void PumpSoundSystem(uint32_t nowMs) {
  if (IsSoundPresent()) SQUALL_StandIn_Pump(nowMs);
}

void PauseAllSound(bool pause) {
  if (IsSoundPresent()) Squall().Pause(pause ? 1 : 0);
}
