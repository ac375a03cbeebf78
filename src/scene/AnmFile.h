#pragma once
// The contents of an animation file (anm\<name>.anm): named entries, each an image strip with a run
// of frame rectangles, a frame rate and a loop mode.
//
// On disk the file is a memory image written with 32-bit absolute pointers: "ANM!", the base address
// B the image was laid out at, the image size N, then N bytes in which every pointer is B + offset.
// We never relocate those pointers in memory; each record is read by its offset (pointer - B), and
// every offset and count is checked against N first, so a damaged file is refused whole.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

constexpr uint32_t kAnmMagic = 0x214D4E41;  // "ANM!"
constexpr size_t kAnmFileHeaderSize = 12;
constexpr size_t kAnmHeaderSize = 8;
constexpr size_t kAnmEntrySize = 140;
constexpr size_t kAnmSequenceSize = 24;
constexpr size_t kAnmFrameSize = 24;
constexpr size_t kAnmNameSize = 64;

enum AnmLoopMode { kAnmLoop = 0, kAnmOnceForward = 1, kAnmOnceBackward = 2 };

// One frame: its rectangle in the entry's image and where it lands relative to the part.
struct AnmFrame {
  int32_t srcX = 0;
  int32_t srcY = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t offX = 0;
  int32_t offY = 0;
};

struct AnmSequence {
  int32_t loopMode = kAnmLoop;
  int32_t fps = 0;  // 0 for a still (fewer than two frames)
  int32_t frameCount = 0;
  std::vector<AnmFrame> frames;  // frameCount of them
};

struct AnmEntry {
  std::string imageFile;
  std::string name;
  int32_t mirrorWidth = 0;
  // Entries that pointed at one sequence record share it.
  std::shared_ptr<const AnmSequence> sequence;
};

// The image's first record.
struct AnmHeader {
  int32_t entryCount = 0;
  uint32_t entriesOffset = 0;
};

class AnmFile {
 public:
  // Reads a whole file's bytes; false (with a reason) and the object unchanged on any damage.
  bool Parse(const uint8_t* data, size_t size, std::string* error = nullptr);

  const std::vector<AnmEntry>& Entries() const { return mEntries; }

 private:
  std::vector<AnmEntry> mEntries;
};
