#include "app/RegistryStore.h"

#include "common/StringUtil.h"
#include "platform/registry/Registry.h"

namespace Velk {

bool RegistryStore::Locate(const std::string& name, std::string& path, std::string& value) const {
  if (mKey.empty()) return false;
  std::string key = mKey;
  if (key.back() == '\\' || key.back() == '/') key.pop_back();
  path = "SOFTWARE\\" + key;
  size_t slash = name.rfind('\\');
  if (slash == std::string::npos) {
    value = name;
  } else {
    path += "\\" + name.substr(0, slash);
    value = name.substr(slash + 1);
  }
  return true;
}

std::string RegistryStore::Folder() const {
  std::string path, value;
  return Locate("", path, value) ? RegistryKeyFolder(path) : std::string();
}

bool RegistryStore::Write(const std::string& name, DWORD type, const BYTE* data, DWORD size) const {
  std::string path, value;
  if (!Locate(name, path, value)) return false;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
    char keyClass[] = "Key";
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, keyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, &disposition) != ERROR_SUCCESS) {
      return false;
    }
  }
  LONG result = RegSetValueExA(key, value.c_str(), 0, type, data, size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

bool RegistryStore::WriteString(const std::string& name, const std::string& text) const {
  return Write(name, REG_SZ, reinterpret_cast<const BYTE*>(text.data()), static_cast<DWORD>(text.size()));
}

void RegistryStore::EncodeInteger(int value, BYTE bytes[4]) {
  auto word = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<BYTE>(word >> (8 * i));
}

bool RegistryStore::DecodeInteger(DWORD type, const BYTE* bytes, DWORD size, int& value) {
  if (type != REG_DWORD || size != 4) return false;
  uint32_t word = 0;
  for (int i = 0; i < 4; ++i) word |= static_cast<uint32_t>(bytes[i]) << (8 * i);
  value = static_cast<int>(word);
  return true;
}

bool RegistryStore::WriteInteger(const std::string& name, int value) const {
  BYTE bytes[4];
  EncodeInteger(value, bytes);
  return Write(name, REG_DWORD, bytes, 4);
}

bool RegistryStore::Read(const std::string& name, DWORD* type, BYTE* data, DWORD* size) const {
  std::string path, value;
  if (!Locate(name, path, value)) return false;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  LONG result = RegQueryValueExA(key, value.c_str(), nullptr, type, data, size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

bool RegistryStore::ReadInteger(const std::string& name, int& value) const {
  DWORD type = REG_NONE;
  BYTE bytes[4] = {};
  DWORD size = sizeof(bytes);
  return Read(name, &type, bytes, &size) && DecodeInteger(type, bytes, size, value);
}

void RegistryStore::EraseValue(const std::wstring& name) const {
  std::string path, value;
  if (!Locate(Narrow(name), path, value)) return;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, value.c_str());
  RegCloseKey(key);
}

}  // namespace Velk
