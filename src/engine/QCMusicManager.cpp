#include "engine/QCMusicManager.h"

#include "engine/QCSoundSystem.h"
#include "engine/XmlAccess.h"

#include <algorithm>

namespace {

constexpr int kNameSize = 128;
constexpr int kPathSize = 260;
constexpr int kMusicGroup = -1;
constexpr float kFadeStep = 0.05f;
constexpr int kFadeInPeriodMs = 50;
constexpr int kFadeOutPeriodMs = 100;

int FadedVolume(float fade) {
  // The product is taken in double: the steps of a fade-out from 60 land on 26 where a float
  // product would give 27.
  return static_cast<int>(static_cast<double>(fade) * GetMusicVolume());
}

int FadeIn(int channel, void* user) {
  auto* stream = static_cast<QCMusicStream*>(user);
  stream->fade += kFadeStep;
  if (!IsSoundPresent()) return 1;
  Squall().Channel_SetVolume(channel, std::min(100, FadedVolume(stream->fade)));
  if (stream->fade >= 1.0f) Squall().Channel_SetWorker(channel, nullptr, stream, kFadeOutPeriodMs);
  return 1;
}

int FadeOut(int channel, void* user) {
  auto* stream = static_cast<QCMusicStream*>(user);
  stream->fade -= kFadeStep;
  const bool present = IsSoundPresent();
  if (present) Squall().Channel_SetVolume(channel, std::max(0, FadedVolume(stream->fade)));
  if (stream->fade > 0.0f) return 1;
  if (present) {
    Squall().Channel_SetWorker(channel, nullptr, stream, kFadeOutPeriodMs);
    Squall().Channel_Stop(channel);
  }
  stream->channel = 0;
  if (present && stream->sample != 0) Squall().Sample_Unload(static_cast<int>(stream->sample));
  stream->sample = 0;
  return 1;
}

void StartFadeOut(QCMusicStream& stream) {
  if (IsSoundPresent() && stream.channel != 0) {
    Squall().Channel_SetWorker(static_cast<int>(stream.channel), &FadeOut, &stream, kFadeOutPeriodMs);
  }
}

// False at a stream without a name or a path, or with the name of one read before.
bool ReadStream(IXMLDOMNode* node, std::map<std::string, std::unique_ptr<QCMusicStream>>& streams) {
  char name[kNameSize] = {};
  char path[kPathSize] = {};
  if (!node || !XmlGetAttrString(node, L"name", name, kNameSize) || !XmlGetAttrString(node, L"path", path, kPathSize) ||
      streams.count(name) != 0)
    return false;
  auto stream = std::make_unique<QCMusicStream>();
  stream->path = path;
  streams[name] = std::move(stream);
  return true;
}

}  // namespace

bool QCMusicManager::LoadMusicTable(IXMLDOMNode* root) {
  bool ok = true;
  XmlForEach(root, L"music/stream", [&](IXMLDOMNode* node) { return ok = ReadStream(node, streams_); });
  return ok;
}

QCMusicStream* QCMusicManager::Find(const std::string& name) const {
  auto it = streams_.find(name);
  return it == streams_.end() ? nullptr : it->second.get();
}

bool QCMusicManager::Play(const std::string& name) {
  if (name == current_) return true;
  QCMusicStream* next = Find(name);
  if (!next) return true;
  StartStream(*next);
  if (QCMusicStream* old = Find(current_)) StartFadeOut(*old);
  current_ = name;
  return true;
}

// A stream asked for again while its fade-out still runs turns round on the channel it has: the
// fade-out would otherwise stop and unload what a second channel of the same sample plays.
void QCMusicManager::StartStream(QCMusicStream& stream) {
  if (!IsSoundPresent()) {
    stream.fade = 0.0f;
    return;
  }
  const QCSquallCalls& squall = Squall();
  if (stream.channel != 0 && squall.Channel_Status(static_cast<int>(stream.channel)) != 0) {
    squall.Channel_SetWorker(static_cast<int>(stream.channel), &FadeIn, &stream, kFadeInPeriodMs);
    return;
  }
  if (stream.sample == 0) {
    const int sample = squall.Sample_LoadFile(stream.path.c_str(), 0, nullptr);
    stream.sample = sample > 0 ? static_cast<uint32_t>(sample) : 0;
  }
  stream.fade = 0.0f;
  stream.channel = 0;
  if (stream.sample == 0) return;
  const int channel = squall.Sample_PlayEx(static_cast<int>(stream.sample), 1, kMusicGroup, 1, 0, 0, 44100, 50);
  if (channel <= 0) return;
  stream.channel = static_cast<uint32_t>(channel);
  squall.Channel_SetWorker(channel, &FadeIn, &stream, kFadeInPeriodMs);
}

void QCMusicManager::PauseStream(QCMusicStream* stream) {
  if (IsSoundPresent()) Squall().Channel_Pause(static_cast<int>(stream->channel), 1);
}

void QCMusicManager::ResumeStream(QCMusicStream* stream) {
  if (IsSoundPresent()) Squall().Channel_Pause(static_cast<int>(stream->channel), 0);
}

void QCMusicManager::Pause() {
  if (QCMusicStream* stream = Find(current_)) PauseStream(stream);
}

void QCMusicManager::Resume() {
  if (QCMusicStream* stream = Find(current_)) ResumeStream(stream);
}

void SetMusicVolume(int volume) {
  SoundState().musicVolume = volume;
  if (IsSoundPresent()) Squall().ChannelGroup_SetVolume(kMusicGroup, volume);
}

int GetMusicVolume() { return SoundState().musicVolume; }
