#pragma once
// A linker map lying next to the program: its public symbols and line-number tables turn the
// logical addresses of a crash report ("0001:00001234") into function names and source lines.
#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace Velk {

class LinkerMap {
 public:
  // The most of a map file that is read; a real map is far smaller, and a larger file is not used.
  static constexpr uint64_t kMaxMapBytes = 32ull << 20;

  // The first plain file "*.map" in the current folder, or "" when there is none. Anything else of
  // that name (a pipe, a link to a device) is passed over, as the error output says: reading it
  // could wait for ever.
  static std::string FindMapFile();
  // False when the file cannot be opened or read, or holds more than kMaxMapBytes (then the error
  // output says so).
  bool Load(const std::string& path);
  void ParseLine(const std::string& line);
  // Every logical address whose section has a symbol at or below it is replaced by the symbol,
  // its distance and, when known, the source line.
  std::string Symbolise(const std::string& report) const;

 private:
  using Address = std::pair<uint32_t, uint32_t>;  // section, offset
  struct SourceLine {
    std::string file;
    int line = 0;
  };
  bool ParseSymbolLine(const std::string& line);
  void ParseLineEntries(const std::string& line);
  std::string Describe(uint32_t section, uint32_t offset) const;

  std::map<Address, std::string> mSymbols;
  std::map<Address, SourceLine> mLines;
  bool mInLineSection = false;
  std::string mLineFile;
};

}  // namespace Velk
