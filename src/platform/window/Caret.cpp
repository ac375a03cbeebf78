// The process's one caret. It draws nothing: its owner and position are what the system's text
// input needs to know.

#include "platform/backend/Backend.h"
#include "platform/window/WinUser.h"

#include <mutex>

namespace {

struct Caret {
  HWND owner = nullptr;
  int width = 0;
  int height = 0;
  int x = 0;
  int y = 0;
  int hideCount = 0;  // shown only at 0
};

std::mutex gLock;
Caret gCaret;

void Report(const char* call) {
  Velk::Backend::Get().CaretChanged(call, gCaret.owner, gCaret.owner && gCaret.hideCount == 0, gCaret.x, gCaret.y);
}

bool Owns(HWND hwnd) { return hwnd && gCaret.owner == hwnd; }

}  // namespace

BOOL CreateCaret(HWND hwnd, HBITMAP, int width, int height) {
  std::lock_guard<std::mutex> hold(gLock);
  if (!IsWindow(hwnd)) return FALSE;
  gCaret = Caret{hwnd, width, height, 0, 0, 1};
  Report("CreateCaret");
  return TRUE;
}

BOOL SetCaretPos(int x, int y) {
  std::lock_guard<std::mutex> hold(gLock);
  if (!gCaret.owner) return FALSE;
  gCaret.x = x;
  gCaret.y = y;
  Report("SetCaretPos");
  return TRUE;
}

BOOL GetCaretPos(POINT* pt) {
  std::lock_guard<std::mutex> hold(gLock);
  if (!pt || !gCaret.owner) return FALSE;
  pt->x = gCaret.x;
  pt->y = gCaret.y;
  return TRUE;
}

BOOL ShowCaret(HWND hwnd) {
  std::lock_guard<std::mutex> hold(gLock);
  if (!Owns(hwnd) || gCaret.hideCount == 0) return FALSE;
  --gCaret.hideCount;
  Report("ShowCaret");
  return TRUE;
}

BOOL HideCaret(HWND hwnd) {
  std::lock_guard<std::mutex> hold(gLock);
  if (!Owns(hwnd)) return FALSE;
  ++gCaret.hideCount;
  Report("HideCaret");
  return TRUE;
}

BOOL DestroyCaret() {
  std::lock_guard<std::mutex> hold(gLock);
  if (!gCaret.owner) return FALSE;
  gCaret = Caret{};
  Report("DestroyCaret");
  return TRUE;
}
