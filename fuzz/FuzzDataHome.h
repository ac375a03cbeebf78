#pragma once
// The game's data folder for a fuzzing run: a folder of its own, where pref.dat goes, removed with
// everything in it when the run ends.

#include <filesystem>
#include <string>

#include "platform/ScopedEnv.h"
#include "platform/ScratchFolder.h"

class FuzzDataHome {
 public:
  explicit FuzzDataHome(const std::filesystem::path& parent = std::filesystem::temp_directory_path())
      : folder_(parent), env_("XDG_DATA_HOME", folder_.Path().c_str()) {}

  const std::string& Path() const { return folder_.Path(); }

 private:
  ScratchFolder folder_;
  ScopedEnv env_;
};
