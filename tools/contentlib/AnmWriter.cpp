#include "contentlib/AnmWriter.h"

#include "contentlib/ByteBuffer.h"

namespace Content {

bool AnmWriter::Build(const std::string& fileName, std::vector<uint8_t>& out, Findings& findings) const {
  bool ok = true;
  size_t frameCount = 0;
  for (const AnmEntry& e : mEntries) {
    for (const std::string* field : {&e.image, &e.name})
      if (field->size() >= kNameField) {
        findings.Add(fileName, "entry '" + e.name + "': '" + *field + "' is longer than 63 bytes");
        ok = false;
      }
    if (e.frames.empty()) {
      findings.Add(fileName, "entry '" + e.name + "' has no frames");
      ok = false;
    }
    frameCount += e.frames.size();
  }
  if (!ok) return false;

  const size_t count = mEntries.size();
  const size_t sequences = 8 + count * kEntrySize;
  const size_t frames = sequences + count * kSequenceSize;
  const size_t imageSize = frames + frameCount * kFrameSize;
  ByteBuffer b;
  b.U32LE(kMagic), b.U32LE(kBase), b.U32LE(static_cast<uint32_t>(imageSize));
  b.U32LE(static_cast<uint32_t>(count)), b.U32LE(kBase + 8);
  for (size_t i = 0; i < count; ++i) {
    const AnmEntry& e = mEntries[i];
    b.Padded(e.image, kNameField);
    b.U32LE(0);
    b.Padded(e.name, kNameField);
    b.U32LE(static_cast<uint32_t>(e.frames.front().w));  // mirrored frames land in the same box
    b.U32LE(static_cast<uint32_t>(kBase + sequences + i * kSequenceSize));
  }
  size_t firstFrame = 0;
  for (const AnmEntry& e : mEntries) {
    b.U32LE(0), b.U32LE(0);
    b.U32LE(static_cast<uint32_t>(e.loop));
    b.U32LE(static_cast<uint32_t>(e.frames.size() == 1 ? 0 : e.fps));
    b.U32LE(static_cast<uint32_t>(e.frames.size()));
    b.U32LE(static_cast<uint32_t>(kBase + frames + firstFrame * kFrameSize));
    firstFrame += e.frames.size();
  }
  for (const AnmEntry& e : mEntries)
    for (const AnmFrame& f : e.frames) {
      for (int32_t v : {f.x, f.y, f.w, f.h}) b.U32LE(static_cast<uint32_t>(v));
      b.U32LE(0), b.U32LE(0);
    }
  out = std::move(b.bytes);
  return true;
}

}  // namespace Content
