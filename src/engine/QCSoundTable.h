#pragma once
// The game's named sounds from cfg\cfg.xml: play by name, per-object channels, channel groups that
// pause, resume and stop together, and the sound volume. The table is process-wide: it is read once
// on the loading thread and used from the main thread afterwards.

#include <cstdint>
#include <string>

struct IXMLDOMNode;

struct QCSoundEntry {
  uint32_t sample = 0;  // 0: not loaded
  std::string path;
  int group = 0;
  bool loop = false;
  int pauseCount = 0;  // group and entry pauses
};

// A game object's own channel for one named sound; the object that asked for it owns it.
struct QCSoundChannel {
  QCSoundEntry* entry = nullptr;
  int channel = 0;
  int pauseCount = 0;
};

// Reads "sounds/sound" under the root and loads every sample.
void LoadSoundTable(IXMLDOMNode* root);
// The entry stored under the name, or null.
QCSoundEntry* FindSoundEntry(const std::string& name);
// Plays the named sound once, whatever its loop flag; unknown names are ignored.
void PlaySoundByName(const std::string& name);
// Null while sound is absent or for a name not in the table.
QCSoundChannel* CreateSoundChannel(const std::string& name);

// A null channel (no sound) is ignored.
void SoundChannelPlay(QCSoundChannel* channel);
void SoundChannelStop(QCSoundChannel* channel);
void SoundChannelPause(QCSoundChannel* channel);
void SoundChannelResume(QCSoundChannel* channel);

// Counted: a group paused twice needs two resumes. Unknown group names are ignored.
void PauseSoundGroup(const std::string& group);
void ResumeSoundGroup(const std::string& group);
void StopSoundGroup(const std::string& group);
// The counted pause over every entry. Not to be confused with PauseAllSound (QCSoundSystem.h), the
// uncounted pause of everything while the window has no focus.
void PauseAllSounds();
void ResumeAllSounds();

void PlaySoundEntry(QCSoundEntry* entry);
void StopSoundEntry(QCSoundEntry* entry);
void PauseSoundEntry(QCSoundEntry* entry);
void ResumeSoundEntry(QCSoundEntry* entry);

// For every sound started from now on and every group.
void SetSoundVolume(int volume);
// Stops, unloads and deletes every entry; group ids already given out are not given out again.
void ClearSoundTable();
