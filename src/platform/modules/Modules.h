#pragma once
// LoadLibrary and GetProcAddress over a table of modules that this layer provides itself, plus the
// program's own module, whose exported callbacks the game registers by name. A module that no
// facility provides cannot be loaded.

#include "platform/base/WinTypes.h"

#include <map>
#include <string>

// Names are matched without regard to case and without their folder; ".dll" is assumed when the
// name has no extension. Null with ERROR_MOD_NOT_FOUND when the module is unknown or hidden.
HMODULE LoadLibraryA(const char* name);
inline HMODULE LoadLibrary(const char* name) { return LoadLibraryA(name); }
// Null names the program's own module. Otherwise only a module that is loaded (or always resident).
HMODULE GetModuleHandleA(const char* name);
inline HMODULE GetModuleHandle(const char* name) { return GetModuleHandleA(name); }
// Entry names are case-sensitive. Null with ERROR_PROC_NOT_FOUND when absent or hidden.
FARPROC GetProcAddress(HMODULE module, const char* name);
// Drops one reference; the last one unloads the module. The program's own module stays.
BOOL FreeLibrary(HMODULE module);
// The program's path for null or the program's module, the module's name for a stand-in. The text
// is cut to size - 1 characters when longer, and then size is returned with ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size);
inline DWORD GetModuleFileName(HMODULE module, char* buffer, DWORD size) {
  return GetModuleFileNameA(module, buffer, size);
}

namespace Velk {

using ModuleExports = std::map<std::string, FARPROC>;

// A function as a module entry.
template <typename Function>
FARPROC ModuleEntry(Function* function) {
  return reinterpret_cast<FARPROC>(function);
}

class ModuleTable {
 public:
  // Adds a module (or more entries to one already known). A resident module is loaded from the start,
  // as the system's own libraries are.
  static void Register(const std::string& name, const ModuleExports& exports, bool resident = false);
  // An exported callback of the program, reached through GetProcAddress(GetModuleHandle(NULL), name).
  static void RegisterProgramExport(const std::string& name, FARPROC function);

  // For tests: a hidden module cannot be loaded, a hidden entry cannot be found. An empty module
  // name in HideEntry names the program's own module.
  static void Hide(const std::string& module, bool hidden = true);
  static void HideEntry(const std::string& module, const std::string& entry, bool hidden = true);
  static void ShowAll();
};

// The stand-in modules of the layer's facilities, registered on the table's first use. They are
// listed in one place rather than registered by static objects, which a static library may drop.
void RegisterStandInModules();

}  // namespace Velk
