#include "platform/msgbox/MessageBox.h"

#include "platform/backend/Backend.h"
#include "platform/base/PlatformText.h"

#include <cstdio>
#include <mutex>

namespace {

constexpr UINT kButtonsMask = 0x0F;

std::mutex gHookLock;
Velk::MessageBoxHook gHook;

std::vector<Velk::MessageBoxButton> ButtonsOf(UINT type) {
  switch (type & kButtonsMask) {
    case MB_OKCANCEL:
      return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_YESNOCANCEL:
      return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO:
      return {{IDYES, "Yes"}, {IDNO, "No"}};
    case MB_RETRYCANCEL:
      return {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
    default:
      return {{IDOK, "OK"}};
  }
}

}  // namespace

namespace Velk {

void SetMessageBoxHook(MessageBoxHook hook) {
  std::lock_guard guard(gHookLock);
  gHook = std::move(hook);
}

}  // namespace Velk

int MessageBoxW(HWND hwnd, LPCWSTR text, LPCWSTR caption, UINT type) {
  std::wstring wideText = text ? text : L"";
  std::wstring wideCaption = caption ? caption : L"Error";
  std::string utf8Text = Velk::PlatformText::Utf16ToUtf8(wideText);
  std::string utf8Caption = Velk::PlatformText::Utf16ToUtf8(wideCaption);
  auto buttons = ButtonsOf(type);
  const int pressed = Velk::Backend::Get().ShowMessageBox(hwnd, utf8Text, utf8Caption, type, buttons);
  if (pressed) return pressed;

  std::fprintf(stderr, "[%s] %s\n", utf8Caption.c_str(), utf8Text.c_str());
  Velk::MessageBoxHook hook;
  {
    std::lock_guard guard(gHookLock);
    hook = gHook;
  }
  if (hook) return hook(wideText, wideCaption, type);
  return buttons.back().result;
}

int MessageBoxA(HWND hwnd, LPCSTR text, LPCSTR caption, UINT type) {
  std::wstring wideText = Velk::PlatformText::Latin1ToUtf16(text ? text : "");
  std::wstring wideCaption = Velk::PlatformText::Latin1ToUtf16(caption ? caption : "Error");
  return MessageBoxW(hwnd, wideText.c_str(), wideCaption.c_str(), type);
}
