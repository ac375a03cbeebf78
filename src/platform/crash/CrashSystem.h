#pragma once
// What the crash report needs of the system beyond the fault: the system's version line and the
// report window.
#include <string>

namespace Velk {

// "NT <major>.<minor> <name> Build <release>" from the running kernel.
std::string SystemVersionText();

enum CrashWindowChoice { kCrashWindowClose = 1, kCrashWindowSend = 2 };
// Shows the report with a "Close Now" button, and "Send Report" when offerSend is set. Without a
// window (headless, or none can be shown) the report goes to stderr and the answer is Close.
int ShowCrashWindow(const std::wstring& title, const std::wstring& message, const std::string& report,
                    bool offerSend);

}  // namespace Velk
