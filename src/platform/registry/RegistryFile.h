#pragma once
// The values of one registry key and their file form, one value a line:
//   "MusicVolume"=dword:00000055
//   "RuntimeError"="text"
// Names and texts are quoted; '"', '\' and every byte outside printable ASCII are escaped (\" \\ \xHH),
// so any bytes survive and the file stays plain ASCII. A file that does not read cleanly counts as
// an empty key: a damaged file never stops the program.

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

  // The values of the file; none when it is missing or damaged.
  static RegistryFile Load(const std::string& path);
  // False, leaving the values empty, when the text is not a well-formed key file.
  bool Parse(const std::string& text);
  std::string Serialize() const;
  // Replaces the file atomically.
  bool Save(const std::string& path) const;

  // Value names ignore ASCII case, as in the registry.
  const Value* Find(const std::string& name) const;
  void Set(const std::string& name, DWORD type, const std::string& data);
  bool Erase(const std::string& name);
  size_t Count() const { return values_.size(); }

 private:
  std::vector<Value> values_;
};

}  // namespace Velk
