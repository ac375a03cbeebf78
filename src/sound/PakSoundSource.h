#pragma once
// A sound file opened through the archive layer (an archive member or a loose file).

#include "resources/PakInterface.h"
#include "platform/audio/SoundSource.h"

#include <memory>
#include <string>

namespace Velk {

class PakSoundSource : public SoundSource {
 public:
  // Null when the file cannot be opened.
  static std::unique_ptr<PakSoundSource> Open(const std::string& name);
  ~PakSoundSource() override;
  PakSoundSource(const PakSoundSource&) = delete;
  PakSoundSource& operator=(const PakSoundSource&) = delete;

  size_t Read(void* dst, size_t bytes) override;
  bool Seek(int64_t offset, int origin) override;
  int64_t Tell() override;

 private:
  explicit PakSoundSource(PakFile* file) : mFile(file) {}
  PakFile* mFile;
};

}  // namespace Velk
