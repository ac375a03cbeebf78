#include "resources/PakWriter.h"

#include <cstdio>
#include <fstream>

#include "resources/PakFormat.h"
#include "resources/PakInterface.h"

namespace Velk {

namespace {

constexpr uint8_t kMemberFlags = 0x00;
constexpr uint64_t kMaxArchiveSize = 0x7FFFFFFF;
constexpr size_t kRecordFixedSize = 1 + 1 + 4 + 8;

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

bool IsAsciiName(const std::string& name) {
  for (unsigned char c : name)
    if (c < 0x20 || c >= 0x7F) return false;
  return true;
}

}  // namespace

bool PakWriter::AddMember(const std::string& name, std::vector<uint8_t> data, uint64_t fileTime, std::string& error) {
  if (name.empty() || name.size() > 255) {
    error = "member name must be 1 to 255 bytes: \"" + name + "\"";
    return false;
  }
  if (!IsAsciiName(name)) {
    error = "member name is not printable ASCII: \"" + name + "\"";
    return false;
  }
  std::string key = PakInterface::MemberKey(name);
  auto existing = mMembers.find(key);
  if (existing != mMembers.end()) {
    error = "member names differ only in case: \"" + existing->second.name + "\" and \"" + name + "\"";
    return false;
  }
  uint64_t grown = mTotalSize + kRecordFixedSize + name.size() + data.size();
  if (grown > kMaxArchiveSize) {
    error = "archive would exceed 2 GiB at \"" + name + "\"";
    return false;
  }
  mTotalSize = grown;
  mMembers.emplace(std::move(key), Member{name, std::move(data), fileTime});
  return true;
}

std::vector<uint8_t> PakWriter::Build() const {
  std::vector<uint8_t> out;
  out.reserve(mTotalSize);
  PutU32(out, kPakMagic);
  PutU32(out, kPakVersion);
  for (const auto& [key, member] : mMembers) {
    out.push_back(kMemberFlags);
    out.push_back(static_cast<uint8_t>(member.name.size()));
    out.insert(out.end(), member.name.begin(), member.name.end());
    PutU32(out, static_cast<uint32_t>(member.data.size()));
    PutU32(out, static_cast<uint32_t>(member.fileTime));
    PutU32(out, static_cast<uint32_t>(member.fileTime >> 32));
  }
  out.push_back(kPakEndOfDirectory);
  for (const auto& [key, member] : mMembers) out.insert(out.end(), member.data.begin(), member.data.end());
  PakScrambleBytes(out.data(), out.size());
  return out;
}

bool PakWriter::WriteFile(const std::string& path, std::string& error) const {
  std::vector<uint8_t> bytes = Build();
  std::string temporary = path + ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
      std::remove(temporary.c_str());
      error = "cannot write " + path;
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    error = "cannot replace " + path;
    return false;
  }
  return true;
}

}  // namespace Velk
