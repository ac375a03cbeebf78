#include "exports/ExportTable.h"

#include "exports/EffectCallbacks.h"
#include "platform/modules/Modules.h"

void RegisterEffectCallbacks() {
#define QC_REGISTER(name) Velk::ModuleTable::RegisterProgramExport(#name, reinterpret_cast<FARPROC>(&name));
#define QC_REGISTER_ALIAS(alias, name) \
  Velk::ModuleTable::RegisterProgramExport(#alias, reinterpret_cast<FARPROC>(&name));
  QC_CONTROL_CALLBACKS(QC_REGISTER)
  QC_MESSAGE_CALLBACKS(QC_REGISTER)
  QC_CALLBACK_ALIASES(QC_REGISTER_ALIAS)
#undef QC_REGISTER
#undef QC_REGISTER_ALIAS
}
