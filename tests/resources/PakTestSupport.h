#pragma once
// Scratch folders and hand-made archive bytes for the archive layer's tests.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ScratchFolder.h"
#include "resources/PakFormat.h"
#include "resources/PlainPak.h"

// A scratch folder that is the current directory for the test's lifetime.
class WorkingScratchFolder : public ScratchFolder {
 public:
  WorkingScratchFolder() : mPrevious(std::filesystem::current_path()) { std::filesystem::current_path(Path()); }
  ~WorkingScratchFolder() {
    std::error_code ignored;
    std::filesystem::current_path(mPrevious, ignored);
  }

 private:
  std::filesystem::path mPrevious;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
