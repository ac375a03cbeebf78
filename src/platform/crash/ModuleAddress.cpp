#include "platform/crash/ModuleAddress.h"

#include <cxxabi.h>
#include <cstdlib>
#include <dlfcn.h>
#include <link.h>

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
