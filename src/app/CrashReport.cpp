#include "app/CrashReport.h"

#include "app/CrashAppInfo.h"
#include "common/StringUtil.h"
#include "platform/crash/CrashSystem.h"
#include "platform/crash/ModuleAddress.h"

namespace Velk {

namespace {

struct ExceptionEntry {
  DWORD code;
  const char* name;
};

constexpr ExceptionEntry kExceptionNames[] = {
    {0x40000005, "Segment Notification"},
    {0x80000003, "Breakpoint"},
    {0x80000004, "Single step"},
    {0x00000000, "Wait 0"},
    {0x00000080, "Abandoned Wait 0"},
    {0x000000C0, "User APC"},
    {0x00000102, "Timeout"},
    {0x00000103, "Pending"},
    {0x80000001, "Guard Page Violation"},
    {0x80000002, "Data Type Misalignment"},
    {0xC0000005, "Access Violation"},
    {0xC0000006, "In Page Error"},
    {0xC0000017, "No Memory"},
    {0xC000001D, "Illegal Instruction"},
    {0xC0000025, "Noncontinuable Exception"},
    {0xC0000026, "Invalid Disposition"},
    {0xC000008C, "Array Bounds Exceeded"},
    {0xC000008D, "Float Denormal Operand"},
    {0xC000008E, "Divide by Zero"},
    {0xC000008F, "Float Inexact Result"},
    {0xC0000090, "Float Invalid Operation"},
    {0xC0000091, "Float Overflow"},
    {0xC0000092, "Float Stack Check"},
    {0xC0000093, "Float Underflow"},
    {0xC0000094, "Integer Divide by Zero"},
    {0xC0000095, "Integer Overflow"},
    {0xC0000096, "Privileged Instruction"},
    {0xC00000FD, "Stack Overflow"},
    {0xC000013A, "Ctrl+C Exit"},
};

using ULL = unsigned long long;

}  // namespace

const char* CrashReport::ExceptionName(DWORD code) {
  for (const ExceptionEntry& entry : kExceptionNames)
    if (entry.code == code) return entry.name;
  return nullptr;
}

std::string CrashReport::Heading(const FaultRecord& record, std::string& title) {
  std::string text;
  if (const char* name = ExceptionName(record.exceptionCode))
    text = FormatString("Exception: %s (code 0x%x) at address %08llX in thread %X\r\n", name, record.exceptionCode,
                        static_cast<ULL>(record.address), record.threadId);
  else
    text = FormatString("Unknown exception: (code 0x%x) at address %08llX in thread %X\r\n", record.exceptionCode,
                        static_cast<ULL>(record.address), record.threadId);
  ModuleAddress where = DescribeAddressOf(record.processId, record.address);
  text += "Module: " + ModuleFileName(where.modulePath) + "\r\n";
  text += FormatString("Logical Address: %04X:%08llX\r\n\r\n", where.section, static_cast<ULL>(where.offset));
  title = FormatString("Exception at %04X:%08llX", where.section, static_cast<ULL>(where.offset));
  return text;
}

std::string CrashReport::StackTrace(const FaultRecord& record) {
  std::string text;
  for (int i = 0; i < record.frameCount; ++i) {
    ModuleAddress where = DescribeAddressOf(record.processId, record.frames[i]);
    if (!where.symbol.empty())
      text += FormatString("%08llX %s+%llX\r\n", static_cast<ULL>(record.frames[i]), where.symbol.c_str(),
                           static_cast<ULL>(where.symbolOffset));
    else
      text += FormatString("%08llX %04X:%08llX %s\r\n", static_cast<ULL>(record.frames[i]), where.section,
                           static_cast<ULL>(where.offset), ModuleFileName(where.modulePath).c_str());
  }
  return text;
}

std::string CrashReport::Registers(const FaultRegisters& r) {
  return FormatString("EAX:%08llX EBX:%08llX ECX:%08llX EDX:%08llX ESI:%08llX EDI:%08llX\r\n", static_cast<ULL>(r.eax),
                      static_cast<ULL>(r.ebx), static_cast<ULL>(r.ecx), static_cast<ULL>(r.edx),
                      static_cast<ULL>(r.esi), static_cast<ULL>(r.edi)) +
         FormatString("EIP:%08llX ESP:%08llX  EBP:%08llX\r\n", static_cast<ULL>(r.eip), static_cast<ULL>(r.esp),
                      static_cast<ULL>(r.ebp)) +
         FormatString("CS:%04X SS:%04X DS:%04X ES:%04X FS:%04X GS:%04X\r\n", r.cs, r.ss, r.ds, r.es, r.fs, r.gs) +
         FormatString("Flags:%08X\r\n\r\n", r.flags);
}

std::string CrashReport::SystemText(const CrashAppInfo* app) {
  std::string text = "Windows Ver: " + SystemVersionText() + "\r\n";
  if (app && app->hasApplication) {
    text += "DDraw Ver: " + app->ddrawVersion + "\r\n";
    text += "DSound Ver: " + app->dsoundVersion + "\r\n";
  }
  return text;
}

std::string CrashReport::Build(const FaultRecord& record, const CrashAppInfo* app, std::string& title) {
  std::string text =
      Heading(record, title) + StackTrace(record) + "\r\n" + Registers(record.registers) + SystemText(app);
  if (app && app->hasApplication && !app->crashInfo.empty()) text += "\r\n" + app->crashInfo;
  return text;
}

}  // namespace Velk
