#include "platform/files/ShellFolders.h"

#include "platform/files/FindFiles.h"
#include "platform/files/XdgFolders.h"

#include <sys/stat.h>

#include <cstring>
#include <string>

HRESULT SHGetFolderPathA(HWND, int folder, HANDLE, DWORD, char* path) {
  int id = folder & ~CSIDL_FLAG_CREATE;
  if (path == nullptr || (id != CSIDL_APPDATA && id != CSIDL_LOCAL_APPDATA && id != CSIDL_COMMON_APPDATA)) {
    return E_INVALIDARG;
  }
  path[0] = '\0';
  std::string found = Velk::GetDataHome();
  if (found.size() >= MAX_PATH) return E_FAIL;
  if ((folder & CSIDL_FLAG_CREATE) != 0 && !Velk::MakeFolders(found)) return E_FAIL;
  std::memcpy(path, found.c_str(), found.size() + 1);
  struct stat info {};
  return stat(found.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? S_OK : S_FALSE;
}
