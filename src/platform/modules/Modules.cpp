#include "platform/modules/Modules.h"

#include "platform/base/LastError.h"
#include "platform/files/AsciiCase.h"
#include "platform/process/ProcessInfo.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>

namespace {

struct Module {
  std::string name;
  Velk::ModuleExports exports;
  std::set<std::string> hiddenEntries;
  bool hidden = false;
  bool resident = false;
  int references = 0;
};

struct Table {
  std::mutex lock;
  std::map<std::string, std::unique_ptr<Module>> modules;
  Module program;
};

Table& RawTable() {
  static Table table;
  return table;
}

// Registration by the facilities runs on first use, so no static initialiser order matters.
Table& LoadedTable() {
  static std::once_flag once;
  std::call_once(once, [] { Velk::RegisterStandInModules(); });
  return RawTable();
}

std::string CanonicalName(const std::string& given) {
  size_t cut = given.find_last_of("\\/");
  std::string name = cut == std::string::npos ? given : given.substr(cut + 1);
  for (char& c : name) c = Velk::FoldAscii(c);
  if (!name.empty() && name.back() == '.') {
    name.pop_back();  // a trailing dot means "no extension": nothing is appended
  } else if (name.find('.') == std::string::npos) {
    name += ".dll";
  }
  return name;
}

bool IsLoaded(const Module& module) { return !module.hidden && (module.resident || module.references > 0); }

Module* Find(Table& table, const std::string& name) {
  auto it = table.modules.find(CanonicalName(name));
  return it == table.modules.end() ? nullptr : it->second.get();
}

// The module behind a handle, or null when the handle names none.
Module* FromHandle(Table& table, HMODULE handle) {
  auto* wanted = reinterpret_cast<Module*>(handle);
  if (wanted == &table.program) return wanted;
  for (auto& entry : table.modules) {
    if (entry.second.get() == wanted) return wanted;
  }
  return nullptr;
}

HMODULE ToHandle(Module* module) { return reinterpret_cast<HMODULE>(module); }

}  // namespace

HMODULE LoadLibraryA(const char* name) {
  Table& table = LoadedTable();
  std::lock_guard<std::mutex> hold(table.lock);
  Module* module = name != nullptr ? Find(table, name) : nullptr;
  if (module == nullptr || module->hidden) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  ++module->references;
  return ToHandle(module);
}

HMODULE GetModuleHandleA(const char* name) {
  Table& table = LoadedTable();
  std::lock_guard<std::mutex> hold(table.lock);
  if (name == nullptr) return ToHandle(&table.program);
  Module* module = Find(table, name);
  if (module == nullptr || !IsLoaded(*module)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return ToHandle(module);
}

FARPROC GetProcAddress(HMODULE handle, const char* name) {
  Table& table = LoadedTable();
  std::lock_guard<std::mutex> hold(table.lock);
  Module* module = FromHandle(table, handle);
  if (module == nullptr || (module != &table.program && !IsLoaded(*module))) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  auto it = name != nullptr ? module->exports.find(name) : module->exports.end();
  if (it == module->exports.end() || module->hiddenEntries.count(it->first) != 0) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return it->second;
}

BOOL FreeLibrary(HMODULE handle) {
  Table& table = LoadedTable();
  std::lock_guard<std::mutex> hold(table.lock);
  Module* module = FromHandle(table, handle);
  if (module == nullptr || (module != &table.program && !module->resident && module->references == 0)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (module->references > 0) --module->references;
  return TRUE;
}

DWORD GetModuleFileNameA(HMODULE handle, char* buffer, DWORD size) {
  std::string path;
  {
    Table& table = LoadedTable();
    std::lock_guard<std::mutex> hold(table.lock);
    Module* module = handle == nullptr ? &table.program : FromHandle(table, handle);
    if (module == nullptr) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return 0;
    }
    path = module == &table.program ? Velk::GetProgramPath() : module->name;
  }
  if (buffer == nullptr || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  size_t copied = std::min<size_t>(path.size(), size - 1);
  std::memcpy(buffer, path.data(), copied);
  buffer[copied] = '\0';
  if (copied < path.size()) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  return static_cast<DWORD>(copied);
}

namespace Velk {

void ModuleTable::Register(const std::string& name, const ModuleExports& exports, bool resident) {
  Table& table = RawTable();
  std::lock_guard<std::mutex> hold(table.lock);
  std::string key = CanonicalName(name);
  auto& slot = table.modules[key];
  if (!slot) {
    slot = std::make_unique<Module>();
    slot->name = key;
  }
  slot->resident = slot->resident || resident;
  for (const auto& entry : exports) slot->exports[entry.first] = entry.second;
}

void ModuleTable::RegisterProgramExport(const std::string& name, FARPROC function) {
  Table& table = RawTable();
  std::lock_guard<std::mutex> hold(table.lock);
  table.program.exports[name] = function;
}

void ModuleTable::Hide(const std::string& module, bool hidden) {
  Table& table = LoadedTable();
  std::lock_guard<std::mutex> hold(table.lock);
  if (Module* found = Find(table, module)) found->hidden = hidden;
}

void ModuleTable::HideEntry(const std::string& module, const std::string& entry, bool hidden) {
  Table& table = LoadedTable();
  std::lock_guard<std::mutex> hold(table.lock);
  Module* found = module.empty() ? &table.program : Find(table, module);
  if (found == nullptr) return;
  if (hidden) {
    found->hiddenEntries.insert(entry);
  } else {
    found->hiddenEntries.erase(entry);
  }
}

void ModuleTable::ShowAll() {
  Table& table = LoadedTable();
  std::lock_guard<std::mutex> hold(table.lock);
  table.program.hiddenEntries.clear();
  for (auto& entry : table.modules) {
    entry.second->hidden = false;
    entry.second->hiddenEntries.clear();
  }
}

}  // namespace Velk
