#pragma once
// Pixels kept as runs of equal words and stretches of words as they are. A picture whose pixels may go
// but that nothing else holds exactly (no textures yet, or textures and a display copy that lose bits)
// keeps them in this form; flat art takes a fraction of the room and every word comes back as it was.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace Velk {

class PackedPixels {
 public:
  // The packed form of `count` words, or null when it would take more than half their room.
  static std::unique_ptr<PackedPixels> Pack(const uint32_t* pixels, size_t count);

  // Writes the `Count()` words back.
  void Unpack(uint32_t* out) const;
  size_t Count() const { return mCount; }
  size_t ByteSize() const { return mWordCount * sizeof(uint32_t); }

 private:
  PackedPixels(size_t count, size_t wordCount);

  size_t mCount;
  size_t mWordCount;
  std::unique_ptr<uint32_t[]> mWords;
};

}  // namespace Velk
