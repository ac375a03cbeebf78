#include "app/CrashWindowKit.h"

#include "platform/window/ControlStates.h"

#include <map>
#include <mutex>
#include <string>
#include <tuple>

namespace Velk {

namespace {

// The windows' fonts, made once and given back when the process ends.
struct FontCache {
  ~FontCache() {
    for (auto& [description, font] : fonts) DeleteObject(font);
  }
  std::mutex lock;
  std::map<std::tuple<std::string, int, bool>, HFONT> fonts;
};

}  // namespace

HWND CrashWindowKit::MakeWindow(const wchar_t* className, WNDPROC proc, const wchar_t* title, int x, int y, int width,
                                int height) {
  WNDCLASSW windowClass;
  windowClass.lpfnWndProc = proc;
  windowClass.lpszClassName = className;
  RegisterClassW(&windowClass);  // a second window finds it registered
  RECT outer{0, 0, width, height};
  AdjustWindowRect(&outer, kWindowStyle, FALSE);
  return CreateWindowExW(0, className, title, kWindowStyle, x, y, outer.right - outer.left, outer.bottom - outer.top,
                         nullptr, nullptr, nullptr, nullptr);
}

HWND CrashWindowKit::MakeChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id, int x,
                               int y, int width, int height, HFONT font) {
  HWND child = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                               reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
  if (child && font) SendMessageW(child, WM_SETFONT, ControlStates::Instance().FontParam(font), TRUE);
  return child;
}

HFONT CrashWindowKit::Font(const char* face, int points, bool bold) {
  static FontCache cache;
  std::lock_guard guard(cache.lock);
  HFONT& font = cache.fonts[{face, points, bold}];
  if (!font) {
    font = CreateFontA(-MulDiv(points, 96, 72), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                       OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
  }
  return font;
}

void CrashWindowKit::RunLoop(const std::atomic<bool>& done) {
  MSG msg;
  while (!done && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace Velk
