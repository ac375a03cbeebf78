#pragma once
// The text of a crash report: the exception and where it happened, the stack, the registers, the
// system and the application's own crash information.
#include "platform/crash/FatalSignals.h"

#include <string>

namespace Velk {

struct CrashAppInfo;

class CrashReport {
 public:
  // The exception's name, or null for a code without one.
  static const char* ExceptionName(DWORD code);
  // The report; `title` receives "Exception at SSSS:OOOOOOOO". Without the application's
  // information its parts are left out.
  static std::string Build(const FaultRecord& record, const CrashAppInfo* app, std::string& title);

 private:
  static std::string Heading(const FaultRecord& record, std::string& title);
  static std::string StackTrace(const FaultRecord& record);
  static std::string Registers(const FaultRegisters& r);
  static std::string SystemText(const CrashAppInfo* app);
};

}  // namespace Velk
