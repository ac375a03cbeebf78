#include "platform/ddraw/DDraw.h"
#include "platform/dsound/DSound.h"
#include "platform/files/ShellFolders.h"
#include "platform/fmod/FModExports.h"
#include "platform/metrics/SystemMetrics.h"
#include "platform/modules/Modules.h"

namespace Velk {

// One line per module a facility provides.
void RegisterStandInModules() {
  ModuleTable::Register("ddraw.dll", {{"DirectDrawCreate", ModuleEntry(&DirectDrawCreate)},
                                      {"DirectDrawCreateEx", ModuleEntry(&DirectDrawCreateEx)}});
  ModuleTable::Register("dsound.dll", {{"DirectSoundCreate", ModuleEntry(&DirectSoundCreate)}});
  ModuleTable::Register("fmod.dll", FModExports());
  ModuleTable::Register("kernel32.dll", {}, true);
  ModuleTable::Register("shell32.dll", {{"SHGetFolderPathA", ModuleEntry(&SHGetFolderPathA)}});
  ModuleTable::Register("shfolder.dll", {{"SHGetFolderPathA", ModuleEntry(&SHGetFolderPathA)}});
  ModuleTable::Register("user32.dll", {{"GetLastInputInfo", ModuleEntry(&GetLastInputInfo)}}, true);
  ModuleTable::Register("version.dll", {});
}

}  // namespace Velk
