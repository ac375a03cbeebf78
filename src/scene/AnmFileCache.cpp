#include "scene/AnmFileCache.h"

#include <cstdio>
#include <vector>

#include "common/StringUtil.h"
#include "engine/EngineUtil.h"
#include "resources/PakInterface.h"

namespace {

// The whole file's bytes through the archive layer; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  PakFile* file = PakFileOpen(path.c_str(), "rb");
  if (!file) return false;
  bool ok = PakFileSeek(file, 0, SEEK_END) == 0;
  LONG size = ok ? PakFileTell(file) : -1;
  ok = ok && size >= 0 && PakFileSeek(file, 0, SEEK_SET) == 0;
  if (ok) {
    bytes.resize(static_cast<size_t>(size));
    ok = PakFileRead(bytes.data(), 1, bytes.size(), file) == bytes.size();
  }
  PakFileClose(file);
  return ok;
}

}  // namespace

std::mutex AnmFileCache::sLock;
std::map<std::string, std::weak_ptr<const AnmFile>> AnmFileCache::sFiles;

std::shared_ptr<const AnmFile> AnmFileCache::Get(const std::string& name) {
  std::lock_guard<std::mutex> guard(sLock);
  std::weak_ptr<const AnmFile>& slot = sFiles[Velk::ToUpper(name)];
  std::shared_ptr<const AnmFile> file = slot.lock();
  if (file) return file;
  file = Read(name);
  slot = file;
  return file;
}

std::shared_ptr<const AnmFile> AnmFileCache::Read(const std::string& name) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile("anm\\" + name + ".anm", bytes)) return nullptr;
  auto file = std::make_shared<AnmFile>();
  if (!file->Parse(bytes.data(), bytes.size())) {
    DebugLog("anm\\%s.anm: damaged, not loaded", name.c_str());
    return nullptr;
  }
  return file;
}
