// The system's control classes and the calls on child windows: parents, ids, texts, enabling.

#include "platform/window/SystemControls.h"

#include "platform/base/PlatformText.h"
#include "platform/window/ButtonControl.h"
#include "platform/window/ControlStates.h"
#include "platform/window/EditControl.h"

#include <algorithm>
#include <cstring>

using Velk::Window;
using Velk::WindowTable;

namespace {

// A static control only shows its text in its font.
LRESULT StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Velk::ControlStates::Instance().Common(hwnd, message, wParam)) return 0;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

namespace Velk {

std::optional<WindowClass> SystemControlClass(const std::wstring& name) {
  const std::wstring lower = PlatformText::LowerAscii(name);
  if (lower != L"button" && lower != L"edit" && lower != L"static") return std::nullopt;
  WindowClass control;
  control.name = lower;
  control.proc = lower == L"button" ? &ButtonControl::Proc : lower == L"edit" ? &EditControl::Proc : &StaticProc;
  return control;
}

}  // namespace Velk

HWND GetParent(HWND hwnd) {
  auto w = WindowTable::Instance().Get(hwnd);
  return w ? w->parent : nullptr;
}

HWND GetDlgItem(HWND parent, int id) {
  for (HWND each : WindowTable::Instance().All()) {
    auto w = WindowTable::Instance().Get(each);
    if (w && w->parent == parent && w->id == id) return each;
  }
  return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
  auto w = WindowTable::Instance().Get(hwnd);
  return w ? w->id : 0;
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
  const std::wstring value = text ? text : L"";
  return WindowTable::Instance().Update(hwnd, [&](Window& w) { w.title = value; }) ? TRUE : FALSE;
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text) {
  return SetWindowTextW(hwnd, Velk::PlatformText::Latin1ToUtf16(text ? text : "").c_str());
}

int GetWindowTextW(HWND hwnd, wchar_t* buffer, int size) {
  auto w = WindowTable::Instance().Get(hwnd);
  if (!w || !buffer || size <= 0) return 0;
  const int count = std::min(static_cast<int>(w->title.size()), size - 1);
  std::copy_n(w->title.data(), count, buffer);
  buffer[count] = L'\0';
  return count;
}

int GetWindowTextLengthW(HWND hwnd) {
  auto w = WindowTable::Instance().Get(hwnd);
  return w ? static_cast<int>(w->title.size()) : 0;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  bool wasDisabled = false;
  WindowTable::Instance().Update(hwnd, [&](Window& w) {
    wasDisabled = !w.enabled;
    w.enabled = enable != FALSE;
  });
  return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
  auto w = WindowTable::Instance().Get(hwnd);
  return w && w->enabled ? TRUE : FALSE;
}
