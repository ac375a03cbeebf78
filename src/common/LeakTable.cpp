#include "common/LeakTable.h"

#include <cstdio>
#include <ctime>
#include <mutex>

#include "common/StringUtil.h"
#include "platform/debug/DebugOutput.h"
#include "platform/files/PathMap.h"

namespace Velk {

namespace {

constexpr size_t kMaxFileName = 260;

void Emit(FILE* out, const std::string& line) {
  std::fputs(line.c_str(), out);
  OutputDebugStringA(line.c_str());
}

}  // namespace

LeakTable::~LeakTable() {
  WriteLeakReport();
  mRecords.clear();
}

void LeakTable::Add(const void* block, int size, const char* file, int line) {
  std::lock_guard lock(mLock);
  mRecords[block] = Record{size, std::string(file).substr(0, kMaxFileName), line};
}

void LeakTable::Remove(const void* block) {
  std::lock_guard lock(mLock);
  mRecords.erase(block);
}

void LeakTable::WriteLeakReport() {
  if (!mReporting) return;
  std::lock_guard lock(mLock);
  FILE* out = Velk::OpenFile("mem_leaks.txt", "wt");
  if (out == nullptr) return;

  time_t now = std::time(nullptr);
  char when[64] = "";
  ctime_r(&now, when);
  OutputDebugStringA("\n");
  Emit(out, FormatString("Memory Leak Report for %s\n", when));
  long long total = 0;
  for (const auto& [block, record] : mRecords) {
    Emit(out, FormatString("%s(%d) : Leak %d byte%s\n", record.file.c_str(), record.line, record.size,
                           record.size >= 2 ? "s" : ""));
    total += record.size;
  }
  Emit(out, std::string(59, '-') + "\n");
  Emit(out, FormatString("Total Unfreed: %lld bytes (%lldKB)\n\n", total, total / 1024));
  std::fclose(out);
}

LeakTable& GetLeakTable() {
  static LeakTable table;
  return table;
}

void WriteLeakReport() { GetLeakTable().WriteLeakReport(); }

}  // namespace Velk
