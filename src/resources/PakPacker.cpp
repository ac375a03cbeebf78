#include "resources/PakPacker.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "resources/PakInterface.h"
#include "resources/PakWriter.h"

namespace fs = std::filesystem;

namespace Velk {

namespace {

bool ReadWholeFile(const fs::path& path, std::vector<uint8_t>& data) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  data.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}

// A Windows FILETIME: 100 ns units since 1601-01-01 UTC.
uint64_t FileTimeOf(const fs::path& path) {
  constexpr uint64_t kSecondsFrom1601To1970 = 11644473600ULL;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return 0;
  return (static_cast<uint64_t>(info.st_mtim.tv_sec) + kSecondsFrom1601To1970) * 10000000ULL +
         static_cast<uint64_t>(info.st_mtim.tv_nsec) / 100;
}

std::string MemberName(const fs::path& relative) {
  std::string name = relative.generic_string();
  for (char& c : name)
    if (c == '/') c = '\\';
  return name;
}

// The program mounts archives with bytes after the last member; the packer never writes them, so
// here they mean a damaged directory.
bool Mount(PakInterface& pak, const std::string& archivePath, std::string& error) {
  if (!pak.MountArchive(archivePath)) {
    error = "cannot read " + archivePath + ": missing, unreadable or not a valid archive";
    return false;
  }
  size_t uncovered = pak.GetArchives().back()->uncoveredBytes;
  if (uncovered == 0) return true;
  error = archivePath + " is damaged: " + std::to_string(uncovered) + " bytes belong to no member";
  return false;
}

// The archive's own entry (the whole file under its name) starts at 0; members start after the
// header and directory.
bool IsMember(const PakEntry& entry) { return entry.start > 0; }

// Relative, no empty, "." or ".." component, no drive: it stays inside the target folder.
bool IsSafeMemberName(const std::string& name) {
  size_t begin = 0;
  for (;;) {
    size_t end = name.find('\\', begin);
    std::string part = name.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    if (part.empty() || part == "." || part == ".." || part.find('/') != std::string::npos ||
        part.find(':') != std::string::npos)
      return false;
    if (end == std::string::npos) return true;
    begin = end + 1;
  }
}

bool ExtractMember(PakInterface& pak, const PakEntry& entry, const fs::path& folder, std::string& error) {
  PakFile* file = pak.Open(entry.name.c_str(), "rb");
  if (!file || !file->entry) {
    if (file) pak.Close(file);
    error = "member not readable: " + entry.name;
    return false;
  }
  std::vector<uint8_t> data(static_cast<size_t>(entry.size));
  size_t got = pak.Read(data.data(), 1, data.size(), file);
  pak.Close(file);
  std::string relative = entry.name;
  for (char& c : relative)
    if (c == '\\') c = '/';
  fs::path target = folder / fs::path(relative);
  std::error_code ec;
  fs::create_directories(target.parent_path(), ec);
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(got));
  out.close();
  if (got != data.size() || !out) {
    error = "cannot write " + target.string();
    return false;
  }
  return true;
}

}  // namespace

bool PakPacker::Create(const std::string& archivePath, const std::string& folder, TimeStamps times,
                       std::string& error) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    error = "not a folder: " + folder;
    return false;
  }
  PakWriter writer;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    std::vector<uint8_t> data;
    if (!ReadWholeFile(it->path(), data)) {
      error = "cannot read " + it->path().string();
      return false;
    }
    uint64_t fileTime = times == TimeStamps::FromFiles ? FileTimeOf(it->path()) : 0;
    if (!writer.AddMember(MemberName(fs::relative(it->path(), folder)), std::move(data), fileTime, error)) return false;
  }
  if (ec) {
    error = "cannot list " + folder + ": " + ec.message();
    return false;
  }
  return writer.WriteFile(archivePath, error);
}

bool PakPacker::List(const std::string& archivePath, std::ostream& out, std::string& error) {
  PakInterface pak;
  if (!Mount(pak, archivePath, error)) return false;
  for (const auto& [key, entry] : pak.GetDirectory())
    if (IsMember(entry)) out << entry.size << "  " << entry.name << '\n';
  return true;
}

bool PakPacker::Extract(const std::string& archivePath, const std::string& folder, std::string& error) {
  PakInterface pak;
  if (!Mount(pak, archivePath, error)) return false;
  for (const auto& [key, entry] : pak.GetDirectory()) {
    if (IsMember(entry) && !IsSafeMemberName(entry.name)) {
      error = "refusing to extract unsafe member name: \"" + entry.name + "\"";
      return false;
    }
  }
  for (const auto& [key, entry] : pak.GetDirectory())
    if (IsMember(entry) && !ExtractMember(pak, entry, folder, error)) return false;
  return true;
}

}  // namespace Velk
