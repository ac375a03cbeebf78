#include "platform/crash/CrashSystem.h"

#include "platform/backend/Backend.h"
#include "platform/base/PlatformText.h"

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

int ShowCrashWindow(const std::wstring& title, const std::wstring& message, const std::string& report,
                    bool offerSend) {
  std::vector<MessageBoxButton> buttons;
  if (offerSend) buttons.push_back({kCrashWindowSend, "Send Report"});
  buttons.push_back({kCrashWindowClose, "Close Now"});
  std::string text = PlatformText::Utf16ToUtf8(message) + "\n\n" + PlatformText::Utf16ToUtf8(PlatformText::Latin1ToUtf16(report));
  std::string caption = PlatformText::Utf16ToUtf8(title);
  if (int pressed = Backend::Get().ShowMessageBox(nullptr, text, caption, 0x10, buttons)) return pressed;
  std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
  return kCrashWindowClose;
}

}  // namespace Velk
