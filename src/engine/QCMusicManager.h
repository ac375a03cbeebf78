#pragma once
// The game's music: named streams from cfg\cfg.xml, one of them current. Making another one current
// fades it in over about a second while the old one fades out over about two and is unloaded. The
// fades run as library workers on the music channel group (-1), which has its own volume.

#include <cstdint>
#include <map>
#include <memory>
#include <string>

struct IXMLDOMNode;

struct QCMusicStream {
  std::string path;
  uint32_t sample = 0;   // 0: not loaded
  uint32_t channel = 0;  // 0: not playing
  float fade = 0.0f;     // 0 up to just over 1; the fade steps depend on it being a 32-bit float
};

class QCMusicManager {
 public:
  QCMusicManager() = default;
  // Channels and samples are left to the library's shutdown that follows.
  ~QCMusicManager() = default;
  QCMusicManager(const QCMusicManager&) = delete;
  QCMusicManager& operator=(const QCMusicManager&) = delete;

  // Reads "music/stream" under the root; a stream without name or path, or with a name already
  // read, ends the reading with false and keeps the streams before it.
  bool LoadMusicTable(IXMLDOMNode* root);
  // Makes the named stream current with a cross-fade. The current name and unknown names change
  // nothing. Always true.
  bool Play(const std::string& name);
  void Pause();
  void Resume();
  static void PauseStream(QCMusicStream* stream);
  static void ResumeStream(QCMusicStream* stream);

  const std::string& Current() const { return current_; }
  QCMusicStream* Find(const std::string& name) const;

 private:
  void StartStream(QCMusicStream& stream);

  std::string current_;
  std::map<std::string, std::unique_ptr<QCMusicStream>> streams_;
};

// Sets the music group's volume at once; running fades take it up at their next step.
void SetMusicVolume(int volume);
int GetMusicVolume();
