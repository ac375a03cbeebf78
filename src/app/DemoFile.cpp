#include "app/DemoFile.h"

#include "platform/files/AtomicFile.h"
#include "platform/files/PathMap.h"

#include <cstdio>

namespace Velk {

namespace {

constexpr const char* kInvalid = "Invalid demo file.";

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Reads fields from the file's bytes; every read is checked against what remains.
class ByteReader {
 public:
  explicit ByteReader(const std::vector<uint8_t>& bytes) : mBytes(bytes) {}
  size_t Remaining() const { return mBytes.size() - mPos; }
  bool U16(uint32_t& value) { return Number(2, value); }
  bool U32(uint32_t& value) { return Number(4, value); }
  bool Bytes(size_t count, std::vector<uint8_t>& out) {
    if (count > Remaining()) return false;
    out.assign(mBytes.begin() + static_cast<std::ptrdiff_t>(mPos),
               mBytes.begin() + static_cast<std::ptrdiff_t>(mPos + count));
    mPos += count;
    return true;
  }

 private:
  bool Number(int size, uint32_t& value) {
    if (static_cast<size_t>(size) > Remaining()) return false;
    value = 0;
    for (int i = 0; i < size; ++i) value |= static_cast<uint32_t>(mBytes[mPos++]) << (8 * i);
    return true;
  }
  const std::vector<uint8_t>& mBytes;
  size_t mPos = 0;
};

}  // namespace

std::vector<uint8_t> DemoFile::Serialise(const Buffer& events) const {
  std::vector<uint8_t> out;
  PutU32(out, kMagic);
  PutU32(out, kVersion);
  PutU32(out, mSeed);
  size_t versionLength = std::min(mProductVersion.size(), kMaxProductVersion);
  out.push_back(static_cast<uint8_t>(versionLength));
  out.push_back(0);
  out.insert(out.end(), mProductVersion.begin(), mProductVersion.begin() + static_cast<std::ptrdiff_t>(versionLength));
  Buffer markers;
  markers.WriteU32(static_cast<uint32_t>(mMarkers.size()));
  for (const DemoMarker& marker : mMarkers) {
    markers.WriteString(marker.name);
    markers.WriteU32(marker.update);
  }
  PutU32(out, static_cast<uint32_t>(markers.ByteLength()));
  out.insert(out.end(), markers.Data(), markers.Data() + markers.ByteLength());
  PutU32(out, mDemoLength);
  if (events.ByteLength() > 0) out.insert(out.end(), events.Data(), events.Data() + events.ByteLength());
  return out;
}

bool DemoFile::Save(const std::string& path, const Buffer& events) const {
  // Replaced whole, so a run killed while saving leaves the previous recording readable.
  std::vector<uint8_t> bytes = Serialise(events);
  return WriteFileAtomically(MapPath(path), std::string(bytes.begin(), bytes.end()));
}

bool DemoFile::Load(const std::string& path, const std::string& expectedVersion, Buffer& events, std::string& error) {
  FILE* file = OpenFile(path, "rb");
  if (!file) {
    error = "Demo file not found: " + path;
    return false;
  }
  std::vector<uint8_t> bytes;
  uint8_t chunk[4096];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(file);
  return Parse(bytes, expectedVersion, events, error);
}

bool DemoFile::Parse(const std::vector<uint8_t>& bytes, const std::string& expectedVersion, Buffer& events,
                     std::string& error) {
  ByteReader reader(bytes);
  uint32_t magic = 0, version = 0, versionLength = 0;
  std::vector<uint8_t> text;
  error = kInvalid;
  if (!reader.U32(magic) || magic != kMagic) return false;
  if (!reader.U32(version) || !reader.U32(mSeed) || !reader.U16(versionLength)) return false;
  // The whole stored string is consumed; only its first 255 bytes count.
  if (!reader.Bytes(versionLength, text)) return false;
  if (text.size() > kMaxProductVersion) text.resize(kMaxProductVersion);
  mProductVersion.assign(text.begin(), text.end());
  if (mProductVersion != expectedVersion) {
    error = "This demo file appears to be for '" + mProductVersion + "'";
    return false;
  }
  mMarkers.clear();
  if (version >= 2) {
    uint32_t blockLength = 0;
    std::vector<uint8_t> block;
    size_t remaining = reader.Remaining();
    if (!reader.U32(blockLength) || remaining < 4 || blockLength >= remaining - 4) return false;
    if (!reader.Bytes(blockLength, block) || !ParseMarkers(block)) return false;
  }
  std::vector<uint8_t> eventBytes;
  if (!reader.U32(mDemoLength) || reader.Remaining() == 0) return false;
  reader.Bytes(reader.Remaining(), eventBytes);
  events.Clear();
  events.WriteBytes(eventBytes.data(), static_cast<int>(eventBytes.size()));
  events.RewindRead();
  error.clear();
  return true;
}

bool DemoFile::ParseMarkers(const std::vector<uint8_t>& block) {
  Buffer markers;
  markers.WriteBytes(block.data(), static_cast<int>(block.size()));
  markers.RewindRead();
  uint32_t count = markers.ReadU32();
  while (mMarkers.size() < count && !markers.AtEnd()) {
    DemoMarker marker;
    marker.name = markers.ReadString();
    marker.update = markers.ReadU32();
    mMarkers.push_back(marker);
  }
  return mMarkers.size() >= count;
}

}  // namespace Velk
