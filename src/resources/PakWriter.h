#pragma once
// Builds .pak archives: header, directory in key order, member data, every byte scrambled.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Velk {

class PakWriter {
 public:
  // Refuses (false, with a reason) an empty name, one over 255 bytes, a non-ASCII name, a name
  // that folds equal to one already added, and an archive that would reach 2 GiB.
  bool AddMember(const std::string& name, std::vector<uint8_t> data, uint64_t fileTime, std::string& error);

  // The archive's bytes as stored on disk.
  std::vector<uint8_t> Build() const;

  // Written beside the target first and renamed over it, so a failure leaves no half archive.
  bool WriteFile(const std::string& path, std::string& error) const;

 private:
  struct Member {
    std::string name;
    std::vector<uint8_t> data;
    uint64_t fileTime = 0;
  };

  std::map<std::string, Member> mMembers;  // by upper-cased name, the reader's key
  uint64_t mTotalSize = 9;                 // header and end marker
};

}  // namespace Velk
