#pragma once
// An archive layer that serves files from memory: tests put the files a reader expects under their
// names (either slash, any case) and the module-level PakFile functions find them. Files not put here
// come from the disk, as with archives. It publishes itself like the real layer, so make it before
// anything else creates one.

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "resources/PakInterface.h"

class MemoryPak : public PakInterface {
 public:
  void Put(const std::string& name, std::string bytes) { mFiles[FoldName(name)] = std::move(bytes); }
  void Put(const std::string& name, const std::vector<uint8_t>& bytes) {
    Put(name, std::string(bytes.begin(), bytes.end()));
  }
  void Remove(const std::string& name) { mFiles.erase(FoldName(name)); }
  // The number of opens of a name, found or not.
  int OpenCount(const std::string& name) const {
    auto it = mOpens.find(FoldName(name));
    return it == mOpens.end() ? 0 : it->second;
  }

  PakFile* Open(const char* name, const char* mode) override {
    std::string key = FoldName(name);
    ++mOpens[key];
    auto it = mFiles.find(key);
    if (it == mFiles.end()) return PakInterface::Open(name, mode);
    std::string& bytes = it->second;
    // A memory stream cannot be empty; an empty temporary file reads the same.
    FILE* stream = bytes.empty() ? std::tmpfile() : fmemopen(bytes.data(), bytes.size(), "rb");
    if (!stream) return nullptr;
    return new PakFile{nullptr, 0, stream};
  }

 private:
  std::map<std::string, std::string> mFiles;
  std::map<std::string, int> mOpens;
};
