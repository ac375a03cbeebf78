#pragma once
// Animation files shared by the players that play them. A level has hundreds of parts but a few
// dozen animation files: each file is read and parsed once and kept while any player holds it.

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "scene/AnmFile.h"

class AnmFileCache {
 public:
  // The parsed "anm\<name>.anm"; null when it cannot be read or is damaged.
  static std::shared_ptr<const AnmFile> Get(const std::string& name);

 private:
  static std::shared_ptr<const AnmFile> Read(const std::string& name);

  static std::mutex sLock;
  static std::map<std::string, std::weak_ptr<const AnmFile>> sFiles;  // by upper-cased name
};
