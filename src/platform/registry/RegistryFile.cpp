#include "platform/registry/RegistryFile.h"

#include "platform/base/LastError.h"
#include "platform/files/AsciiCase.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/KeptCopy.h"
#include "platform/files/RegularFile.h"
#include "platform/registry/Registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <set>

namespace Velk {

namespace {

// Larger files are not key files of ours.
constexpr uint64_t kMaxFileSize = 1 << 20;

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendQuoted(std::string& out, const std::string& bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  out += '"';
  for (char c : bytes) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  out += '"';
}

// Reads a quoted text at `pos`, leaving `pos` after its closing quote.
bool ReadQuoted(const std::string& line, size_t& pos, std::string& out) {
  if (pos >= line.size() || line[pos] != '"') return false;
  out.clear();
  for (++pos; pos < line.size(); ++pos) {
    char c = line[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++pos >= line.size()) return false;
    if (line[pos] == '"' || line[pos] == '\\') {
      out += line[pos];
    } else if (line[pos] == 'x' && pos + 2 < line.size() && HexDigit(line[pos + 1]) >= 0 &&
               HexDigit(line[pos + 2]) >= 0) {
      out += static_cast<char>(HexDigit(line[pos + 1]) * 16 + HexDigit(line[pos + 2]));
      pos += 2;
    } else {
      return false;
    }
  }
  return false;
}

bool ReadDword(const std::string& line, size_t pos, std::string& out) {
  static const std::string kPrefix = "dword:";
  if (line.compare(pos, kPrefix.size(), kPrefix) != 0 || line.size() != pos + kPrefix.size() + 8) return false;
  uint32_t value = 0;
  for (size_t i = pos + kPrefix.size(); i < line.size(); ++i) {
    int digit = HexDigit(line[i]);
    if (digit < 0) return false;
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  out.clear();
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
  return true;
}

bool ParseLine(const std::string& line, RegistryFile::Value& value) {
  size_t pos = 0;
  if (!ReadQuoted(line, pos, value.name) || pos >= line.size() || line[pos] != '=') return false;
  ++pos;
  if (pos < line.size() && line[pos] == '"') {
    value.type = REG_SZ;
    return ReadQuoted(line, pos, value.data) && pos == line.size();
  }
  value.type = REG_DWORD;
  return ReadDword(line, pos, value.data);
}

// True the first time `what` is asked about in this run.
bool FirstReport(const std::string& what) {
  static std::mutex lock;
  static std::set<std::string> reported;
  std::lock_guard guard(lock);
  return reported.insert(what).second;
}

// The files left as they are in this run, and why. What was left alone once stays so for the run,
// even when it can be read or written later: a file not read was since stood in for by the
// defaults, and writing them would take the place of the user's values; a read-only one is the
// user's wish that its values stay as they are, and is read at every load.
enum class Left { No, Unread, ReadOnly };

struct LeftFiles {
  std::mutex lock;
  std::map<std::string, Left> paths;
};

LeftFiles& LeftForTheRun() {
  static LeftFiles left;
  return left;
}

Left LeftEarlier(const std::string& path) {
  std::lock_guard guard(LeftForTheRun().lock);
  auto found = LeftForTheRun().paths.find(path);
  return found != LeftForTheRun().paths.end() ? found->second : Left::No;
}

// `leave` tells whether the file stays as it is; it then does for the rest of the run. True when it
// stays.
bool LeaveForTheRun(const std::string& path, bool leave, Left why = Left::Unread) {
  std::lock_guard guard(LeftForTheRun().lock);
  if (leave) LeftForTheRun().paths.emplace(path, why);
  return leave;
}

// Keeps a file that is no key file for the user under the first free "<file>.bad", "<file>.bad.1",
// ..., so that the next write starts afresh without destroying it or an earlier copy. False when it
// could not be moved there.
bool SetAside(const std::string& path, const char* why) {
  const std::string kept = KeptCopyName(path);
  const bool moved = MoveToKeptCopy(path, kept);
  const int error = errno;
  if (moved) {
    std::fprintf(stderr, "settings file %s is %s; kept aside as %s\n", path.c_str(), why, kept.c_str());
  } else {
    std::fprintf(stderr, "settings file %s is %s and cannot be kept aside as %s (%s); it is left as it is\n",
                 path.c_str(), why, kept.c_str(), std::strerror(error));
  }
  return moved;
}

// A folder in the file's place is the user's, not a damaged file: it stays as it is, and no setting
// is kept. Anything else that is not a plain file is set aside. False when it stays.
bool NotPlain(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return SetAside(path, "not a plain file");
  std::fprintf(stderr, "settings cannot be kept: %s is a folder; the game runs on its defaults\n", path.c_str());
  return false;
}

// A file that is there but cannot be read may hold the user's settings: it is neither read nor
// written over this run.
void Unreadable(const std::string& path, int error) {
  std::fprintf(stderr, "settings file %s cannot be read (%s); it is left as it is, and the game runs on its defaults\n",
               path.c_str(), std::strerror(error));
}

// Why `path` cannot be read, told; true when it is left as it is for the run. A missing file is
// none of these.
bool LeaveUnread(const std::string& path, int error) {
  if (error == ENOENT || error == ENOTDIR) return false;
  if (error == EFBIG) return LeaveForTheRun(path, !SetAside(path, "larger than a key file can be"));
  if (error == EISDIR) return LeaveForTheRun(path, !NotPlain(path));
  Unreadable(path, error);
  return LeaveForTheRun(path, true);
}

// Why this process may not write the file: a file whose mode lets nobody write is read-only; one
// whose mode lets its owner write is another user's (left by a run under sudo, say).
std::string WhyNotWritable(const std::string& path, int error) {
  if (error == EROFS) return "is on a read-only file system";
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return "is read-only";
  return "cannot be written by this user (" + ErrorText(ErrorFromErrno(error)) + ")";
}

// A file this process may not write (by its own rights, so root writes a file of mode 0444 as it
// does any other) is kept as it is: the user made it read-only to keep its values, or it is not
// this user's. Its values are used, and nothing is written over it this run. True when it is so,
// told the first time.
bool LeaveReadOnly(const std::string& path) {
  if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0) return false;
  const int error = errno;
  if (error != EACCES && error != EPERM && error != EROFS) return false;
  std::fprintf(stderr, "settings file %s %s; its values are used, and the settings of this run are not kept\n",
               path.c_str(), WhyNotWritable(path, error).c_str());
  return LeaveForTheRun(path, true, Left::ReadOnly);
}

}  // namespace

RegistryFile RegistryFile::Load(const std::string& path) {
  RegistryFile file;
  const Left earlier = LeftEarlier(path);
  file.leftAlone_ = earlier != Left::No;
  if (earlier == Left::Unread) return file;
  std::string text;
  if (!ReadRegularFile(path, kMaxFileSize, text)) {
    file.leftAlone_ = file.leftAlone_ || LeaveUnread(path, errno);
    return file;
  }
  if (text.find('\0') != std::string::npos || (!file.Parse(text) && file.Count() == 0)) {
    file.values_.clear();
    // One left read-only stays as it is, whatever it has come to hold.
    if (earlier == Left::No) file.leftAlone_ = LeaveForTheRun(path, !SetAside(path, "not a settings file"));
    return file;
  }
  file.leftAlone_ = file.leftAlone_ || LeaveReadOnly(path);
  file.ReportSkipped(path, text);
  return file;
}

void RegistryFile::ReportSkipped(const std::string& path, const std::string& text) const {
  for (size_t line : skipped_) {
    if (FirstReport(path + ":" + std::to_string(line) + ":" + std::to_string(std::hash<std::string>()(text)))) {
      std::fprintf(stderr, "settings file %s, line %zu does not read; the line is skipped\n", path.c_str(), line);
    }
  }
}

bool RegistryFile::Parse(const std::string& text) {
  values_.clear();
  skipped_.clear();
  size_t pos = 0;
  for (size_t number = 1; pos < text.size(); ++number) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    Value value;
    if (ParseLine(line, value)) {
      Set(value.name, value.type, value.data);
    } else {
      skipped_.push_back(number);
    }
  }
  return skipped_.empty();
}

std::string RegistryFile::Serialize() const {
  std::string out;
  for (const Value& value : values_) {
    AppendQuoted(out, value.name);
    out += '=';
    if (value.type == REG_DWORD) {
      uint32_t v = 0;
      for (size_t i = 0; i < 4 && i < value.data.size(); ++i) {
        v |= static_cast<uint32_t>(static_cast<unsigned char>(value.data[i])) << (8 * i);
      }
      char hex[9];
      std::snprintf(hex, sizeof hex, "%08x", v);
      out += "dword:";
      out += hex;
    } else {
      AppendQuoted(out, value.data);
    }
    out += '\n';
  }
  return out;
}

bool RegistryFile::Save(const std::string& path) const { return WriteFileAtomically(path, Serialize()); }

const RegistryFile::Value* RegistryFile::Find(const std::string& name) const {
  for (const Value& value : values_) {
    if (SameName(value.name, name)) return &value;
  }
  return nullptr;
}

void RegistryFile::Set(const std::string& name, DWORD type, const std::string& data) {
  for (Value& value : values_) {
    if (SameName(value.name, name)) {
      value.type = type;
      value.data = data;
      return;
    }
  }
  values_.push_back({name, type, data});
}

bool RegistryFile::Erase(const std::string& name) {
  for (auto it = values_.begin(); it != values_.end(); ++it) {
    if (SameName(it->name, name)) {
      values_.erase(it);
      return true;
    }
  }
  return false;
}

}  // namespace Velk
