#pragma once
// Where an instruction address lies: its module, the module's executable segment (numbered from 1,
// standing for the code section of a Windows module) and the offset in it, and the nearest exported
// symbol when the module names one.
#include <cstdint>
#include <string>

namespace Velk {

struct ModuleAddress {
  std::string modulePath;  // empty when no module holds the address
  int section = 0;         // 0 when the address is in no executable segment
  uintptr_t offset = 0;
  std::string symbol;  // demangled; empty when none
  uintptr_t symbolOffset = 0;
};

ModuleAddress DescribeAddress(uintptr_t address);
// The same for an address of another process (a copy of this one forked at its start): what this
// process had loaded then lies at the same places; other modules are found in the process's map.
ModuleAddress DescribeAddressOf(int process, uintptr_t address);
// The file-name part of a path.
std::string ModuleFileName(const std::string& path);
// A readable form of a mangled symbol name, or the name itself.
std::string DemangleSymbol(const std::string& name);

}  // namespace Velk
