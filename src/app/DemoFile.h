#pragma once
// The ".dmo" file: magic, version, seed, product version, marker block, demo length, then the
// event bytes of the demo stream. Little-endian throughout.
#include "common/Buffer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Velk {

struct DemoMarker {
  std::string name;
  uint32_t update = 0;
};

class DemoFile {
 public:
  static constexpr uint32_t kMagic = 0x42BEEF78;
  static constexpr uint32_t kVersion = 2;
  static constexpr size_t kMaxProductVersion = 255;

  uint32_t mSeed = 0;
  std::string mProductVersion;
  std::vector<DemoMarker> mMarkers;
  uint32_t mDemoLength = 0;  // the update counter at save time

  // Writes the file with the events' meaningful bytes; false (and nothing said) when it cannot open.
  bool Save(const std::string& path, const Buffer& events) const;
  // Reads the file whose product version must equal expectedVersion; the events land in `events`,
  // rewound. On failure `error` holds the text to show.
  bool Load(const std::string& path, const std::string& expectedVersion, Buffer& events, std::string& error);

  // Writes and parses the same bytes as Save and Load, without the file.
  std::vector<uint8_t> Serialise(const Buffer& events) const;
  bool Parse(const std::vector<uint8_t>& bytes, const std::string& expectedVersion, Buffer& events, std::string& error);

 private:
  bool ParseMarkers(const std::vector<uint8_t>& block);
};

}  // namespace Velk
