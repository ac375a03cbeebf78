#pragma once
// The crash report's "Send Report" road: the "Error Details" window that asks for the user's
// comments, then the "Submitting Report" window while the report is posted, with a box to retry when
// the server cannot be reached. Both windows run their own message loops on the calling thread.
#include "app/CrashUpload.h"
#include "platform/window/WinUser.h"

#include <string>

namespace Velk {

class CrashSubmit {
 public:
  static constexpr size_t kMaxUserText = 8192;

  // `withApplication` false disables "Continue": without the application there is nothing to send.
  static void Run(const std::string& host, CrashUploadFields fields, bool withApplication);
  // The windows with their controls, hidden; null when they cannot be made.
  static HWND MakeDetailsWindow(bool withApplication);
  static HWND MakeProgressWindow();

 private:
  static bool AskDetails(bool withApplication, std::string& userText);
  static void Upload(const std::string& host, const std::string& request);
};

}  // namespace Velk
