#include "platform/shell/Shell.h"

#include "platform/backend/Backend.h"
#include "platform/base/PlatformText.h"

#include <cstring>

namespace {

constexpr uintptr_t kSucceeded = 42;

HINSTANCE Result(uintptr_t code) { return reinterpret_cast<HINSTANCE>(code); }

}  // namespace

HINSTANCE ShellExecuteA(HWND, LPCSTR operation, LPCSTR file, LPCSTR, LPCSTR, int) {
  bool open = !operation || std::strcmp(operation, "open") == 0;
  if (!open || !file || !*file) return Result(SE_ERR_NOASSOC);
  std::string url = Velk::PlatformText::Utf16ToUtf8(Velk::PlatformText::Latin1ToUtf16(file));
  return Result(Velk::Backend::Get().OpenUrl(url) ? kSucceeded : SE_ERR_NOASSOC);
}
