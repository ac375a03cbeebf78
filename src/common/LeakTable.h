#pragma once
// Allocation tracking for leak hunting: blocks recorded as allocated and not yet released are reported
// to "mem_leaks.txt" in the current folder. Reporting is off unless switched on; the process-wide
// table reports when it is destroyed at exit.

#include <cstdint>
#include <map>
#include <string>

#include "common/CriticalSection.h"

namespace Velk {

class LeakTable {
 public:
  LeakTable() = default;
  ~LeakTable();
  LeakTable(const LeakTable&) = delete;
  LeakTable& operator=(const LeakTable&) = delete;

  void Add(const void* block, int size, const char* file, int line);
  void Remove(const void* block);
  void SetReporting(bool on) { mReporting = on; }
  bool IsReporting() const { return mReporting; }
  // Writes the report of every block still recorded; does nothing while reporting is off.
  void WriteLeakReport();

 private:
  struct Record {
    int size;
    std::string file;  // at most 260 characters
    int line;
  };

  CriticalSection mLock;
  std::map<const void*, Record> mRecords;  // in address order
  bool mReporting = false;
};

LeakTable& GetLeakTable();
void WriteLeakReport();

}  // namespace Velk
