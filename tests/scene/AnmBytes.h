#pragma once
// Hand-made animation files, byte by byte, including damaged ones that no writer would produce.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace AnmTesting {

constexpr uint32_t kBase = 0x10000000;

struct RawFrame {
  int32_t v[6];
};

struct RawSequence {
  int32_t loopMode = 0;
  int32_t fps = 0;
  std::vector<RawFrame> frames;
  int32_t frameCountOverride = INT32_MIN;  // written instead of frames.size() when set
};

struct RawEntry {
  std::string image;
  std::string name;
  int32_t mirrorWidth = 0;
  int sequence = 0;  // index into the sequences; several entries may share one
  bool unterminatedName = false;
};

// Lays out: header, entries, sequences, frames, in that order, at base kBase.
class AnmBytes {
 public:
  std::vector<RawEntry> entries;
  std::vector<RawSequence> sequences;
  uint32_t magic = 0x214D4E41;
  int64_t sizeDelta = 0;           // added to the stored image size
  uint32_t entryPointerDelta = 0;  // added to the stored entry pointer

  std::vector<uint8_t> Build() const {
    std::vector<uint8_t> image(8 + entries.size() * 140);
    size_t seqStart = image.size();
    image.resize(seqStart + sequences.size() * 24);
    std::vector<size_t> seqOffsets;
    for (size_t i = 0; i < sequences.size(); ++i) {
      const RawSequence& s = sequences[i];
      size_t at = seqStart + i * 24;
      seqOffsets.push_back(at);
      Put(image, at + 8, s.loopMode);
      Put(image, at + 12, s.fps);
      int32_t count = s.frameCountOverride != INT32_MIN ? s.frameCountOverride : int32_t(s.frames.size());
      Put(image, at + 16, count);
      Put(image, at + 20, int32_t(kBase + image.size()));
      for (const RawFrame& f : s.frames)
        for (int32_t v : f.v) Append(image, v);
    }
    Put(image, 0, int32_t(entries.size()));
    Put(image, 4, int32_t(kBase + 8 + entryPointerDelta));
    for (size_t i = 0; i < entries.size(); ++i) {
      const RawEntry& e = entries[i];
      size_t at = 8 + i * 140;
      std::memcpy(&image[at], e.image.data(), std::min<size_t>(e.image.size(), 64));
      Put(image, at + 64, int32_t(0x7777));
      if (e.unterminatedName)
        std::memset(&image[at + 68], 'x', 64);
      else
        std::memcpy(&image[at + 68], e.name.data(), std::min<size_t>(e.name.size(), 64));
      Put(image, at + 132, e.mirrorWidth);
      Put(image, at + 136, int32_t(kBase + seqOffsets.at(size_t(e.sequence))));
    }
    std::vector<uint8_t> file;
    Append(file, int32_t(magic));
    Append(file, int32_t(kBase));
    Append(file, int32_t(int64_t(image.size()) + sizeDelta));
    file.insert(file.end(), image.begin(), image.end());
    return file;
  }

  // An entry with its own sequence of n frames; frame i is at (10 i, 0), 8 x 8, offset (i, -i).
  AnmBytes& Add(const std::string& name, int frames, int fps, int loopMode) {
    RawSequence s;
    s.fps = fps;
    s.loopMode = loopMode;
    for (int i = 0; i < frames; ++i) s.frames.push_back({{10 * i, 0, 8, 8, i, -i}});
    sequences.push_back(s);
    entries.push_back({"anm\\img\\" + name + ".png", name, 8, int(sequences.size() - 1), false});
    return *this;
  }

 private:
  static void Put(std::vector<uint8_t>& b, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(uint32_t(v) >> (8 * i));
  }
  static void Append(std::vector<uint8_t>& b, int32_t v) {
    b.resize(b.size() + 4);
    Put(b, b.size() - 4, v);
  }
};

}  // namespace AnmTesting
