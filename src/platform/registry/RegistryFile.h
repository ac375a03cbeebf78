#pragma once
// The values of one registry key and their file form, one value a line:
//   "MusicVolume"=dword:00000055
//   "RuntimeError"="text"
// Names and texts are quoted; '"', '\' and every byte outside printable ASCII are escaped (\" \\ \xHH),
// so any bytes survive and the file stays plain ASCII. Other code may keep its own values under the
// same key, so damage costs as little as it can: a line that does not read is skipped and the rest
// kept, and a file that is not a key file at all (nor a plain file) is set aside for the user as
// "<file>.bad" (or, when that is taken, "<file>.bad.1" and so on), never overwritten. A folder in the
// file's place, a file that cannot be read, and one that cannot be set aside are left as they are for
// the rest of the run, even should they become readable, and named once; nothing is then kept. A
// file this process may not write (one the user made read-only, another user's, or one on a read-only
// file system) is left as it is for the run too, even should it become writable, and named once; its
// values are read at every load. A damaged file never stops the program.

#include "platform/base/WinTypes.h"

#include <string>
#include <vector>

namespace Velk {

class RegistryFile {
 public:
  struct Value {
    std::string name;
    DWORD type = 0;
    std::string data;  // REG_DWORD: 4 bytes, little-endian
  };

  // The values of the file; none when it is missing, unreadable or left unread earlier in the run.
  // Skipped lines and a file set aside or left as it is are logged, each once per run.
  static RegistryFile Load(const std::string& path);
  // True when what stands at the path must not be written over (see above).
  bool LeftAlone() const { return leftAlone_; }
  // Keeps every line that reads; false when any did not (their numbers, from 1, in SkippedLines).
  bool Parse(const std::string& text);
  const std::vector<size_t>& SkippedLines() const { return skipped_; }
  std::string Serialize() const;
  // Replaces the file atomically.
  bool Save(const std::string& path) const;

  // Value names ignore ASCII case, as in the registry.
  const Value* Find(const std::string& name) const;
  void Set(const std::string& name, DWORD type, const std::string& data);
  bool Erase(const std::string& name);
  size_t Count() const { return values_.size(); }

 private:
  // The lines of `text`, read from `path`, that were skipped, each logged once per run.
  void ReportSkipped(const std::string& path, const std::string& text) const;

  std::vector<Value> values_;
  std::vector<size_t> skipped_;
  bool leftAlone_ = false;
};

}  // namespace Velk
