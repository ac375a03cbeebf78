#include "platform/crash/CrashSystem.h"

#include <cstdio>
#include <cstdlib>
#include <sys/utsname.h>

namespace Velk {

std::string SystemVersionText() {
  utsname names{};
  if (uname(&names) != 0) return "NT 0.0  Build 0";
  char* rest = nullptr;
  long major = std::strtol(names.release, &rest, 10);
  long minor = *rest == '.' ? std::strtol(rest + 1, &rest, 10) : 0;
  char text[512];
  std::snprintf(text, sizeof text, "NT %ld.%ld %s Build %s", major, minor, names.sysname, names.release);
  return text;
}

}  // namespace Velk
