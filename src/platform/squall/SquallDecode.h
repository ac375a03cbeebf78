#pragma once
// Reading sound files for the sound library: a byte stream over the host's four file callbacks, and
// the WAV and Ogg Vorbis decoders behind it. Nothing here touches a file except through the callbacks.

#include "platform/audio/AudioPcm.h"
#include "platform/audio/SoundSource.h"
#include "platform/squall/Squall.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace Velk {

struct SquallFileCallbacks {
  SQUALL_OpenCallback open = nullptr;
  SQUALL_SeekCallback seek = nullptr;
  SQUALL_ReadCallback read = nullptr;
  SQUALL_CloseCallback close = nullptr;

  bool IsSet() const { return open && seek && read && close; }
};

// One open file; closed with the source.
class SquallFileSource : public SoundSource {
 public:
  // Null when the callbacks are missing or the file does not open.
  static std::unique_ptr<SquallFileSource> Open(const SquallFileCallbacks& files, const char* path);
  ~SquallFileSource() override;
  SquallFileSource(const SquallFileSource&) = delete;
  SquallFileSource& operator=(const SquallFileSource&) = delete;

  size_t Read(void* dst, size_t bytes) override;
  bool Seek(int64_t offset, int origin) override;
  int64_t Tell() override;

 private:
  SquallFileSource(const SquallFileCallbacks& files, int handle) : files_(files), handle_(handle) {}
  SquallFileCallbacks files_;
  int handle_;
};

struct SquallPcm {
  std::shared_ptr<const AudioPcm> pcm;
  uint32_t rate = 0;
};

enum class SquallFileKind { Wave, Ogg, Unknown };

class SquallDecode {
 public:
  // The most frames a sample may hold.
  static constexpr uint64_t kMaxFrames = uint64_t{1} << 27;

  // Looks at the first bytes and rewinds.
  static SquallFileKind Sniff(SoundSource& source);
  // Null for anything but PCM 8/16-bit mono or stereo WAV, or mono or stereo Ogg Vorbis, within
  // kMaxFrames frames.
  static std::optional<SquallPcm> Decode(SoundSource& source);
};

}  // namespace Velk
