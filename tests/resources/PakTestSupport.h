#pragma once
// Scratch folders and hand-made archive bytes for the archive layer's tests.

#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "resources/PakFormat.h"
#include "resources/PlainPak.h"

// A fresh folder that becomes the current directory for the test's lifetime.
class ScratchFolder {
 public:
  ScratchFolder() {
    char pattern[] = "/tmp/paktest-XXXXXX";
    mPath = mkdtemp(pattern);
    char previous[PATH_MAX];
    mPrevious = getcwd(previous, sizeof previous) ? previous : "/";
    std::filesystem::current_path(mPath);
  }
  ~ScratchFolder() {
    std::filesystem::current_path(mPrevious);
    std::error_code ec;
    std::filesystem::remove_all(mPath, ec);
  }
  const std::string& Path() const { return mPath; }

 private:
  std::string mPath;
  std::string mPrevious;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
