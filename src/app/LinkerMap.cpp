#include "app/LinkerMap.h"

#include "common/Parse.h"
#include "common/StringUtil.h"
#include "platform/crash/ModuleAddress.h"
#include "platform/files/FindFiles.h"
#include "platform/files/PathMap.h"
#include "platform/files/RegularFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace Velk {

namespace {

constexpr int kMaxLine = 4096;
constexpr size_t kMinSymbolLine = 23;
constexpr size_t kLineEntriesWidth = 80;
constexpr size_t kLogicalAddressWidth = 13;

// Hexadecimal of exactly the given span; false when it is out of range or holds anything else.
bool HexField(const std::string& line, size_t start, size_t count, uint32_t& value) {
  if (start + count > line.size()) return false;
  std::string field = TrimSpace(line.substr(start, count));
  return !field.empty() && ParseHex(field, value);
}

bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

bool IsLogicalAddress(const std::string& text, size_t at) {
  if (at + kLogicalAddressWidth > text.size() || text[at + 4] != ':') return false;
  if (at > 0 && IsHex(text[at - 1])) return false;
  for (size_t i = 0; i < kLogicalAddressWidth; ++i)
    if (i != 4 && !IsHex(text[at + i])) return false;
  return true;
}

// The entry with the greatest address at or below `at` within the same section.
template <typename Map>
typename Map::const_iterator AtOrBelow(const Map& map, uint32_t section, uint32_t offset) {
  auto it = map.upper_bound({section, offset});
  if (it == map.begin()) return map.end();
  --it;
  return it->first.first == section ? it : map.end();
}

bool IsRegularFile(const std::string& name) {
  const int fd = OpenRegularFile(MapPath(name), O_RDONLY);
  if (fd < 0) {
    std::fprintf(stderr, "The map file %s is not a plain file that can be read and is not used.\n", name.c_str());
    return false;
  }
  close(fd);
  return true;
}

}  // namespace

std::string LinkerMap::FindMapFile() {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA("*.map", &data);
  if (search == INVALID_HANDLE_VALUE) return {};
  std::string name;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsRegularFile(data.cFileName)) name = data.cFileName;
  } while (name.empty() && FindNextFileA(search, &data));
  FindClose(search);
  return name;
}

bool LinkerMap::Load(const std::string& path) {
  const int fd = OpenRegularFile(MapPath(path), O_RDONLY);
  if (fd < 0) return false;
  std::string text;
  const bool read = ReadBounded(fd, kMaxMapBytes, text);
  const bool tooLarge = !read && errno == EFBIG;
  close(fd);
  if (tooLarge)
    std::fprintf(stderr, "The map file %s is larger than %llu MB and is not used.\n", path.c_str(),
                 static_cast<unsigned long long>(kMaxMapBytes >> 20));
  if (!read) return false;
  // Lines as fgets gives them with a buffer of kMaxLine characters: a longer one comes in pieces.
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find('\n', at);
    const size_t length = std::min((end == std::string::npos ? text.size() : end + 1) - at, size_t{kMaxLine - 1});
    std::string line = text.substr(at, length);
    at += length;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    ParseLine(line);
  }
  return true;
}

void LinkerMap::ParseLine(const std::string& line) {
  if (line.rfind("Line numbers", 0) == 0) {
    size_t open = line.find('(');
    size_t close = open == std::string::npos ? open : line.find(')', open);
    mLineFile = close == std::string::npos ? std::string() : line.substr(open + 1, close - open - 1);
    mInLineSection = true;
    return;
  }
  if (ParseSymbolLine(line)) return;
  if (mInLineSection && line.size() == kLineEntriesWidth) ParseLineEntries(line);
}

bool LinkerMap::ParseSymbolLine(const std::string& line) {
  if (line.size() < kMinSymbolLine || line[5] != ':') return false;
  uint32_t section = 0, offset = 0;
  if (!HexField(line, 1, 4, section) || !HexField(line, 6, 8, offset)) return false;
  size_t end = line.find(' ', 21);
  std::string name = line.substr(21, end == std::string::npos ? std::string::npos : end - 21);
  if (!name.empty()) mSymbols[{section, offset}] = name;
  return true;
}

void LinkerMap::ParseLineEntries(const std::string& line) {
  for (size_t k = 0; k < 4; ++k) {
    size_t base = 20 * k;
    uint32_t section = 0, offset = 0;
    int number = 0;
    if (!ParseInt(TrimSpace(line.substr(base, 6)), number) || !HexField(line, base + 7, 4, section) ||
        !HexField(line, base + 12, 8, offset))
      continue;
    mLines[{section, offset}] = SourceLine{mLineFile, number};
  }
}

std::string LinkerMap::Describe(uint32_t section, uint32_t offset) const {
  auto symbol = AtOrBelow(mSymbols, section, offset);
  if (symbol == mSymbols.end()) return {};
  std::string text = DemangleSymbol(symbol->second);
  if (uint32_t distance = offset - symbol->first.second) text += FormatString("+0x%X", distance);
  auto line = AtOrBelow(mLines, section, offset);
  if (line != mLines.end())
    text += FormatString("\r\n    %s line %d +0x%X", line->second.file.c_str(), line->second.line,
                         offset - line->first.second);
  return text;
}

std::string LinkerMap::Symbolise(const std::string& report) const {
  std::string out;
  size_t at = 0;
  while (at < report.size()) {
    if (IsLogicalAddress(report, at)) {
      uint32_t section = 0, offset = 0;
      ParseHex(report.substr(at, 4), section);
      ParseHex(report.substr(at + 5, 8), offset);
      std::string described = Describe(section, offset);
      if (!described.empty()) {
        out += described;
        at += kLogicalAddressWidth;
        continue;
      }
    }
    out += report[at++];
  }
  return out;
}

}  // namespace Velk
