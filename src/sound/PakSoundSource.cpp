#include "sound/PakSoundSource.h"

#include <limits>

namespace Velk {

std::unique_ptr<PakSoundSource> PakSoundSource::Open(const std::string& name) {
  PakFile* file = PakFileOpen(name.c_str(), "rb");
  if (!file) return nullptr;
  return std::unique_ptr<PakSoundSource>(new PakSoundSource(file));
}

PakSoundSource::~PakSoundSource() { PakFileClose(mFile); }

size_t PakSoundSource::Read(void* dst, size_t bytes) {
  if (bytes == 0) return 0;
  return PakFileRead(dst, 1, bytes, mFile);
}

bool PakSoundSource::Seek(int64_t offset, int origin) {
  if (offset < std::numeric_limits<LONG>::min() || offset > std::numeric_limits<LONG>::max()) return false;
  return PakFileSeek(mFile, static_cast<LONG>(offset), origin) == 0;
}

int64_t PakSoundSource::Tell() { return PakFileTell(mFile); }

}  // namespace Velk
