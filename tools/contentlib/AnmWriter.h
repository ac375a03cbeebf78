#pragma once
// Animation files (.anm): "ANM!", the saved base address, the image size, then an image of pointers
// relative to that base: a header, 140-byte entries, one 24-byte sequence per entry (never shared:
// the loader relocates a sequence once per entry that points at it) and the 24-byte frames.

#include <cstdint>
#include <string>
#include <vector>

#include "contentlib/Findings.h"

namespace Content {

struct AnmFrame {
  int32_t x = 0, y = 0, w = 0, h = 0;
};

enum class AnmLoop : int32_t { Loop = 0, Once = 1, Backward = 2 };

struct AnmEntry {
  std::string image;  // the atlas path, '\' separated
  std::string name;   // part + skin + orientation + word
  AnmLoop loop = AnmLoop::Loop;
  int32_t fps = 0;  // a still is written with 0
  std::vector<AnmFrame> frames;
};

class AnmWriter {
 public:
  static constexpr uint32_t kMagic = 0x214D4E41;  // "ANM!"
  static constexpr uint32_t kBase = 0x10000000;
  static constexpr size_t kNameField = 64;
  static constexpr size_t kEntrySize = 140;
  static constexpr size_t kSequenceSize = 24;
  static constexpr size_t kFrameSize = 24;

  void Add(AnmEntry entry) { mEntries.push_back(std::move(entry)); }
  size_t Count() const { return mEntries.size(); }

  // False with findings naming the file and the entry when a name does not fit its 64-byte field
  // with a terminator or an entry has no frames.
  bool Build(const std::string& fileName, std::vector<uint8_t>& out, Findings& findings) const;

 private:
  std::vector<AnmEntry> mEntries;
};

}  // namespace Content
