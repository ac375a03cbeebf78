#pragma once
// Typed values below HKEY_CURRENT_USER\SOFTWARE\<key>. A value name may carry a subkey: the part
// before its last '\' names a key below the application's key. With an empty key nothing is read
// or written and every call fails.

#include "platform/base/WinTypes.h"

#include <string>

namespace Velk {

class RegistryStore {
 public:
  explicit RegistryStore(const std::string& key) : mKey(key) {}

  bool Write(const std::string& name, DWORD type, const BYTE* data, DWORD size) const;
  // The characters without a terminator.
  bool WriteString(const std::string& name, const std::string& text) const;
  bool WriteInteger(const std::string& name, int value) const;

  // `size` holds the buffer's size in and the value's size out.
  bool Read(const std::string& name, DWORD* type, BYTE* data, DWORD* size) const;
  // True only for a REG_DWORD value; `value` is left alone otherwise.
  bool ReadInteger(const std::string& name, int& value) const;

  void EraseValue(const std::wstring& name) const;

  // Where the key's values are kept; empty when no key is set.
  std::string Folder() const;

  // The REG_DWORD layout shared by every typed reader and writer, the application's included.
  static void EncodeInteger(int value, BYTE bytes[4]);
  // True only for a 4-byte REG_DWORD.
  static bool DecodeInteger(DWORD type, const BYTE* bytes, DWORD size, int& value);

 private:
  // The key path and the bare value name; false when no key is set.
  bool Locate(const std::string& name, std::string& path, std::string& value) const;

  std::string mKey;
};

}  // namespace Velk
