#include "scene/AnmFile.h"

#include <cstring>
#include <map>

namespace {

uint32_t ReadU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Bounds-checked little-endian reads from the image; the first failure sticks with its reason.
class ImageReader {
 public:
  ImageReader(const uint8_t* image, size_t size, uint32_t base) : mImage(image), mSize(size), mBase(base) {}

  bool Failed() const { return !mError.empty(); }
  const std::string& Error() const { return mError; }

  bool Fail(const std::string& why) {
    if (mError.empty()) mError = why;
    return false;
  }

  // True when count records of recordSize bytes from offset lie inside the image.
  bool Fits(uint64_t offset, uint64_t count, uint64_t recordSize) const {
    return offset <= mSize && count <= (mSize - offset) / recordSize;
  }

  int32_t I32(uint64_t offset) { return static_cast<int32_t>(U32(offset)); }

  uint32_t U32(uint64_t offset) {
    if (!Fits(offset, 1, 4)) {
      Fail("field out of range");
      return 0;
    }
    return ReadU32(mImage + offset);
  }

  // A pointer field turned into an offset into the image; fails when it points before the image.
  uint64_t Pointer(uint64_t offset, const char* what) {
    uint32_t pointer = U32(offset);
    if (pointer < mBase) Fail(std::string(what) + " pointer before the image");
    return pointer - static_cast<uint64_t>(mBase);
  }

  std::string Name(uint64_t offset, const char* what) {
    const char* text = reinterpret_cast<const char*>(mImage + offset);
    size_t length = strnlen(text, kAnmNameSize);
    if (length == kAnmNameSize) Fail(std::string(what) + " without terminator");
    return std::string(text, length);
  }

 private:
  const uint8_t* mImage;
  size_t mSize;
  uint32_t mBase;
  std::string mError;
};

bool ReadSequence(ImageReader& in, uint64_t offset, AnmSequence& seq) {
  if (!in.Fits(offset, 1, kAnmSequenceSize)) return in.Fail("sequence out of range");
  seq.loopMode = in.I32(offset + 8);
  seq.fps = in.I32(offset + 12);
  seq.frameCount = in.I32(offset + 16);
  if (seq.frameCount < 0) return in.Fail("negative frame count");
  if (seq.frameCount < 2) seq.fps = 0;
  if (seq.frameCount == 0) return true;
  uint64_t frames = in.Pointer(offset + 20, "frame");
  if (in.Failed() || !in.Fits(frames, static_cast<uint64_t>(seq.frameCount), kAnmFrameSize))
    return in.Fail("frames out of range");
  seq.frames.resize(static_cast<size_t>(seq.frameCount));
  for (AnmFrame& f : seq.frames) {
    f.srcX = in.I32(frames);
    f.srcY = in.I32(frames + 4);
    f.width = in.I32(frames + 8);
    f.height = in.I32(frames + 12);
    f.offX = in.I32(frames + 16);
    f.offY = in.I32(frames + 20);
    frames += kAnmFrameSize;
  }
  return true;
}

bool ReadEntries(ImageReader& in, const AnmHeader& header, std::vector<AnmEntry>& entries) {
  std::map<uint64_t, std::shared_ptr<const AnmSequence>> sequences;  // by offset, read once
  uint64_t offset = header.entriesOffset;
  entries.resize(static_cast<size_t>(header.entryCount));
  for (AnmEntry& entry : entries) {
    entry.imageFile = in.Name(offset, "image name");
    entry.name = in.Name(offset + 68, "entry name");
    entry.mirrorWidth = in.I32(offset + 132);
    uint64_t seqOffset = in.Pointer(offset + 136, "sequence");
    if (in.Failed()) return false;
    auto& shared = sequences[seqOffset];
    if (!shared) {
      auto seq = std::make_shared<AnmSequence>();
      if (!ReadSequence(in, seqOffset, *seq)) return false;
      shared = std::move(seq);
    }
    entry.sequence = shared;
    offset += kAnmEntrySize;
  }
  return true;
}

}  // namespace

bool AnmFile::Parse(const uint8_t* data, size_t size, std::string* error) {
  auto fail = [error](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  if (size < kAnmFileHeaderSize) return fail("shorter than the file header");
  if (ReadU32(data) != kAnmMagic) return fail("not an animation file");
  uint32_t base = ReadU32(data + 4);
  uint32_t imageSize = ReadU32(data + 8);
  if (imageSize > size - kAnmFileHeaderSize) return fail("image larger than the file");
  if (imageSize < kAnmHeaderSize) return fail("image smaller than its header");

  ImageReader in(data + kAnmFileHeaderSize, imageSize, base);
  AnmHeader header;
  header.entryCount = in.I32(0);
  if (header.entryCount < 0) return fail("negative entry count");
  std::vector<AnmEntry> entries;
  if (header.entryCount > 0) {
    uint64_t entriesOffset = in.Pointer(4, "entry");
    if (in.Failed() || !in.Fits(entriesOffset, static_cast<uint64_t>(header.entryCount), kAnmEntrySize))
      return fail(in.Failed() ? in.Error() : "entries out of range");
    header.entriesOffset = static_cast<uint32_t>(entriesOffset);
    if (!ReadEntries(in, header, entries)) return fail(in.Error());
  }
  mEntries = std::move(entries);
  return true;
}
