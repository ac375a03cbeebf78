#include "platform/registry/Registry.h"

#include "platform/files/AsciiCase.h"
#include "platform/files/PathMap.h"
#include "platform/files/XdgFolders.h"
#include "platform/registry/RegistryFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>

namespace {

constexpr const char* kValuesFile = "settings.ini";

constexpr LONG Status(DWORD error) { return static_cast<LONG>(error); }

struct OpenKey {
  std::string folder;  // without a trailing '/'
  REGSAM access = 0;
};

// One lock for every key: each change reads, edits and rewrites a whole file.
std::mutex gRegistryLock;
std::set<OpenKey*> gOpenKeys;

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsSoftware(const std::string& part) {
  static const std::string kSoftware = "software";
  if (part.size() != kSoftware.size()) return false;
  for (size_t i = 0; i < part.size(); ++i) {
    if (Velk::FoldAscii(part[i]) != kSoftware[i]) return false;
  }
  return true;
}

// The folder of `subKey` below `key`, or an error for a bad handle or name.
LONG ResolveFolder(HKEY key, const char* subKey, std::string& folder) {
  bool fromRoot = key == HKEY_CURRENT_USER;
  if (fromRoot) {
    folder = Velk::GetConfigHome();
  } else if (gOpenKeys.count(reinterpret_cast<OpenKey*>(key)) != 0) {
    folder = reinterpret_cast<OpenKey*>(key)->folder;
  } else {
    return Status(ERROR_INVALID_HANDLE);
  }
  std::string path = subKey != nullptr ? subKey : "";
  size_t pos = 0;
  bool first = true;
  while (pos <= path.size()) {
    size_t end = path.find_first_of("\\/", pos);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(pos, end - pos);
    pos = end + 1;
    if (part.empty()) continue;
    // Key names are never allowed to climb out of the store.
    if (part == "." || part == "..") return Status(ERROR_INVALID_NAME);
    if (!(first && fromRoot && IsSoftware(part))) folder += "/" + part;
    first = false;
  }
  folder = Velk::MapPath(folder);
  return Status(ERROR_SUCCESS);
}

HKEY NewHandle(const std::string& folder, REGSAM access) {
  auto key = std::make_unique<OpenKey>();
  key->folder = folder;
  key->access = access;
  gOpenKeys.insert(key.get());
  return reinterpret_cast<HKEY>(key.release());
}

// The open key behind a handle when it allows `needed`, else the error.
LONG UsableKey(HKEY handle, REGSAM needed, OpenKey*& key) {
  if (handle == HKEY_CURRENT_USER) return Status(ERROR_ACCESS_DENIED);
  key = reinterpret_cast<OpenKey*>(handle);
  if (gOpenKeys.count(key) == 0) return Status(ERROR_INVALID_HANDLE);
  if ((key->access & needed) != needed) return Status(ERROR_ACCESS_DENIED);
  return Status(ERROR_SUCCESS);
}

std::string ValuesPath(const OpenKey& key) { return key.folder + "/" + kValuesFile; }

// Why `folder` cannot hold files: a part of the path that is a file, or the system's error.
std::string WhyUnwritable(const std::string& folder, int error) {
  const std::string file = Velk::FileInTheWay(folder);
  return file.empty() ? std::strerror(error) : file + " is a file, not a folder";
}

// Settings that cannot be saved are lost at exit, so the user hears of it, once a run; play goes on.
void ReportUnwritable(const std::string& folder, int error) {
  static std::atomic<bool> reported{false};
  if (reported.exchange(true)) return;
  std::fprintf(stderr, "settings cannot be saved in %s: %s\n", folder.c_str(), WhyUnwritable(folder, error).c_str());
}

LONG Store(const OpenKey& key, const Velk::RegistryFile& values) {
  // What was left as it stood when the values were read (a folder, a file that cannot be read, one
  // this process may not write) was named then, and is never written over.
  if (values.LeftAlone()) return Status(ERROR_ACCESS_DENIED);
  if (values.Save(ValuesPath(key))) return Status(ERROR_SUCCESS);
  int error = errno;
  ReportUnwritable(key.folder, error);
  return Status(error == ENOENT ? ERROR_FILE_NOT_FOUND : Velk::ErrorFromErrno(error));
}

}  // namespace

LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD, REGSAM access, HKEY* result) {
  if (result == nullptr) return Status(ERROR_INVALID_PARAMETER);
  *result = nullptr;
  std::lock_guard<std::mutex> hold(gRegistryLock);
  std::string folder;
  LONG status = ResolveFolder(key, subKey, folder);
  if (status != Status(ERROR_SUCCESS)) return status;
  if (!IsFolder(folder)) return Status(ERROR_FILE_NOT_FOUND);
  *result = NewHandle(folder, access);
  return Status(ERROR_SUCCESS);
}

LONG RegCreateKeyExA(HKEY key, const char* subKey, DWORD, char*, DWORD, REGSAM access, const SECURITY_ATTRIBUTES*,
                     HKEY* result, DWORD* disposition) {
  if (result == nullptr) return Status(ERROR_INVALID_PARAMETER);
  *result = nullptr;
  std::lock_guard<std::mutex> hold(gRegistryLock);
  std::string folder;
  LONG status = ResolveFolder(key, subKey, folder);
  if (status != Status(ERROR_SUCCESS)) return status;
  bool existed = IsFolder(folder);
  if (!existed && !Velk::MakeFolders(folder)) {
    ReportUnwritable(folder, errno);
    return Status(ERROR_ACCESS_DENIED);
  }
  if (disposition != nullptr) *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  *result = NewHandle(folder, access);
  return Status(ERROR_SUCCESS);
}

LONG RegSetValueExA(HKEY handle, const char* name, DWORD, DWORD type, const BYTE* data, DWORD size) {
  bool sizeFits = type == REG_DWORD ? size == 4 : type == REG_SZ;
  if (!sizeFits || (data == nullptr && size != 0)) return Status(ERROR_INVALID_PARAMETER);
  std::lock_guard<std::mutex> hold(gRegistryLock);
  OpenKey* key = nullptr;
  LONG status = UsableKey(handle, KEY_SET_VALUE, key);
  if (status != Status(ERROR_SUCCESS)) return status;
  Velk::RegistryFile values = Velk::RegistryFile::Load(ValuesPath(*key));
  std::string bytes = data != nullptr ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
  values.Set(name != nullptr ? name : "", type, bytes);
  return Store(*key, values);
}

LONG RegQueryValueExA(HKEY handle, const char* name, DWORD*, DWORD* type, BYTE* data, DWORD* size) {
  if (data != nullptr && size == nullptr) return Status(ERROR_INVALID_PARAMETER);
  std::lock_guard<std::mutex> hold(gRegistryLock);
  OpenKey* key = nullptr;
  LONG status = UsableKey(handle, KEY_QUERY_VALUE, key);
  if (status != Status(ERROR_SUCCESS)) return status;
  Velk::RegistryFile values = Velk::RegistryFile::Load(ValuesPath(*key));
  const Velk::RegistryFile::Value* value = values.Find(name != nullptr ? name : "");
  if (value == nullptr) return Status(ERROR_FILE_NOT_FOUND);
  if (type != nullptr) *type = value->type;
  auto length = static_cast<DWORD>(value->data.size());
  if (data == nullptr) {
    if (size != nullptr) *size = length;
    return Status(ERROR_SUCCESS);
  }
  DWORD room = *size;
  *size = length;
  if (room < length) return Status(ERROR_MORE_DATA);
  std::copy(value->data.begin(), value->data.end(), data);
  // Stored texts carry no terminator; add one so a reader never runs past the text.
  if (value->type == REG_SZ && room > length) data[length] = 0;
  return Status(ERROR_SUCCESS);
}

LONG RegDeleteValueA(HKEY handle, const char* name) {
  std::lock_guard<std::mutex> hold(gRegistryLock);
  OpenKey* key = nullptr;
  LONG status = UsableKey(handle, KEY_SET_VALUE, key);
  if (status != Status(ERROR_SUCCESS)) return status;
  Velk::RegistryFile values = Velk::RegistryFile::Load(ValuesPath(*key));
  if (!values.Erase(name != nullptr ? name : "")) return Status(ERROR_FILE_NOT_FOUND);
  return Store(*key, values);
}

LONG RegCloseKey(HKEY handle) {
  if (handle == HKEY_CURRENT_USER) return Status(ERROR_SUCCESS);
  std::lock_guard<std::mutex> hold(gRegistryLock);
  auto* key = reinterpret_cast<OpenKey*>(handle);
  if (gOpenKeys.erase(key) == 0) return Status(ERROR_INVALID_HANDLE);
  delete key;
  return Status(ERROR_SUCCESS);
}

std::string Velk::RegistryKeyFolder(const std::string& subKey) {
  std::lock_guard<std::mutex> hold(gRegistryLock);
  std::string folder;
  return ResolveFolder(HKEY_CURRENT_USER, subKey.c_str(), folder) == Status(ERROR_SUCCESS) ? folder : std::string();
}
