#include "platform/crash/ModuleAddress.h"

#include <cxxabi.h>
#include <map>
#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <link.h>
#include <sstream>

namespace Velk {

namespace {

struct SegmentSearch {
  uintptr_t address = 0;
  int section = 0;
  uintptr_t offset = 0;
  std::string modulePath;
};

int FindSegment(dl_phdr_info* info, size_t, void* data) {
  auto* search = static_cast<SegmentSearch*>(data);
  int executable = 0;
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& header = info->dlpi_phdr[i];
    if (header.p_type != PT_LOAD || !(header.p_flags & PF_X)) continue;
    ++executable;
    uintptr_t start = info->dlpi_addr + header.p_vaddr;
    if (search->address < start || search->address - start >= header.p_memsz) continue;
    search->section = executable;
    search->offset = search->address - start;
    search->modulePath = info->dlpi_name ? info->dlpi_name : "";
    return 1;
  }
  return 0;
}

}  // namespace

ModuleAddress DescribeAddress(uintptr_t address) {
  ModuleAddress result;
  SegmentSearch search;
  search.address = address;
  if (dl_iterate_phdr(FindSegment, &search)) {
    result.section = search.section;
    result.offset = search.offset;
    result.modulePath = search.modulePath;
  }
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(address), &info)) {
    if (info.dli_fname && *info.dli_fname) result.modulePath = info.dli_fname;
    if (info.dli_sname) {
      result.symbol = DemangleSymbol(info.dli_sname);
      result.symbolOffset = address - reinterpret_cast<uintptr_t>(info.dli_saddr);
    }
  }
  return result;
}

ModuleAddress DescribeAddressOf(int process, uintptr_t address) {
  ModuleAddress local = DescribeAddress(address);
  if (local.section != 0) return local;
  // Lines of "start-end perms offset device inode path".
  std::ifstream maps("/proc/" + std::to_string(process) + "/maps");
  std::string line;
  std::map<std::string, int> executables;
  while (std::getline(maps, line)) {
    std::istringstream fields(line);
    std::string range, perms, offset, device, inode, path;
    fields >> range >> perms >> offset >> device >> inode >> path;
    const size_t dash = range.find('-');
    if (dash == std::string::npos || perms.find('x') == std::string::npos) continue;
    const int section = ++executables[path];
    const uintptr_t start = std::strtoull(range.c_str(), nullptr, 16);
    const uintptr_t end = std::strtoull(range.c_str() + dash + 1, nullptr, 16);
    if (address < start || address >= end) continue;
    ModuleAddress found;
    found.modulePath = path;
    found.section = section;
    found.offset = address - start;
    return found;
  }
  return local;
}

std::string ModuleFileName(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DemangleSymbol(const std::string& name) {
  int status = 0;
  char* readable = abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status);
  if (status != 0 || !readable) return name;
  std::string result = readable;
  std::free(readable);
  return result;
}

}  // namespace Velk
