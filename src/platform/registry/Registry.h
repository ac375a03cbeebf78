#pragma once
// The registry under HKEY_CURRENT_USER, kept as one file per key below the user's configuration
// folder. Each key is a folder; its values are in the file "settings.ini" inside it. The
// "Software" level of the Windows layout is left out, so HKCU\Software\<vendor>\<product> lives in
// $XDG_CONFIG_HOME/<vendor>/<product>/. Key names ignore case; '\' and '/' both separate keys.
// Only REG_DWORD and REG_SZ values are stored. All calls return a Windows error code.

#include "platform/base/LastError.h"
#include "platform/base/SecurityAttributes.h"
#include "platform/base/WinTypes.h"

#include <string>

struct HKEY__;
using HKEY = HKEY__*;
using REGSAM = DWORD;

inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u));

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_DWORD = 4;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// ERROR_FILE_NOT_FOUND when the key does not exist.
LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, REGSAM access, HKEY* result);
// Creates the key and any missing parents.
LONG RegCreateKeyExA(HKEY key, const char* subKey, DWORD reserved, char* keyClass, DWORD options, REGSAM access,
                     const SECURITY_ATTRIBUTES* security, HKEY* result, DWORD* disposition);
// REG_DWORD takes exactly 4 bytes; REG_SZ takes `size` bytes as given (a terminator is not needed).
// ERROR_INVALID_PARAMETER for another type or size, ERROR_ACCESS_DENIED without KEY_SET_VALUE.
LONG RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
// `size` holds the buffer's size in and the value's size out. With no buffer only type and size are
// told. A buffer too small gives ERROR_MORE_DATA and the size needed. A REG_SZ value gets a
// terminator after it when the buffer has room, not counted in the size.
LONG RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
LONG RegDeleteValueA(HKEY key, const char* name);
LONG RegCloseKey(HKEY key);

namespace Velk {

// The folder that holds the key `subKey` of HKEY_CURRENT_USER, whether it is made yet or not; empty
// for a name that would climb out of the store.
std::string RegistryKeyFolder(const std::string& subKey);

}  // namespace Velk
