#pragma once
// Message boxes. The sdl back end shows SDL's box; where none can be shown (headless, or SDL
// failing) the text goes to stderr and the answer comes from the hook tests set, or else the
// box's safe answer: OK for a plain box, otherwise its last button (No, Cancel).

#include "platform/base/WinTypes.h"

#include <functional>
#include <string>

using LPCSTR = const char*;
using LPCWSTR = const wchar_t*;

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_TOPMOST = 0x00040000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDRETRY = 4;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

int MessageBoxW(HWND hwnd, LPCWSTR text, LPCWSTR caption, UINT type);
int MessageBoxA(HWND hwnd, LPCSTR text, LPCSTR caption, UINT type);

namespace Velk {

// Answers boxes that cannot be shown; it receives the text, the caption and the type. An empty
// hook restores the safe answers.
using MessageBoxHook = std::function<int(const std::wstring& text, const std::wstring& caption, UINT type)>;
void SetMessageBoxHook(MessageBoxHook hook);

}  // namespace Velk
