#include "platform/ddraw/DDraw.h"
#include "platform/dsound/DSound.h"
#include "platform/files/ShellFolders.h"
#include "platform/modules/Modules.h"

namespace Velk {

namespace {

template <typename Function>
FARPROC Entry(Function* function) {
  return reinterpret_cast<FARPROC>(function);
}

}  // namespace

// One line per module a facility provides.
void RegisterStandInModules() {
  ModuleTable::Register("ddraw.dll", {{"DirectDrawCreate", Entry(&DirectDrawCreate)},
                                      {"DirectDrawCreateEx", Entry(&DirectDrawCreateEx)}});
  ModuleTable::Register("dsound.dll", {{"DirectSoundCreate", Entry(&DirectSoundCreate)}});
  ModuleTable::Register("kernel32.dll", {}, true);
  ModuleTable::Register("shell32.dll", {{"SHGetFolderPathA", Entry(&SHGetFolderPathA)}});
  ModuleTable::Register("shfolder.dll", {{"SHGetFolderPathA", Entry(&SHGetFolderPathA)}});
  ModuleTable::Register("user32.dll", {}, true);
  ModuleTable::Register("version.dll", {});
}

}  // namespace Velk
