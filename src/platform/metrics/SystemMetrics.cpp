#include "platform/metrics/SystemMetrics.h"

#include "platform/backend/Backend.h"
#include "platform/window/WindowTable.h"
#include "platform/window/WinUser.h"

namespace {

constexpr int kCursorSize = 32;

int CaptionHeight() {
  RECT frame = Velk::WindowFrame(WS_CAPTION);
  return frame.top - frame.bottom;
}

}  // namespace

int GetSystemMetrics(int index) {
  Velk::DisplayInfo display = Velk::Backend::Get().Display();
  const RECT& work = display.workArea;
  switch (index) {
    case SM_CXSCREEN: return display.desktop.width;
    case SM_CYSCREEN: return display.desktop.height;
    case SM_CYCAPTION: return CaptionHeight();
    case SM_CXCURSOR:
    case SM_CYCURSOR: return kCursorSize;
    // The client area of a maximised window: the work area less the caption.
    case SM_CXFULLSCREEN: return work.right - work.left;
    case SM_CYFULLSCREEN: return work.bottom - work.top - CaptionHeight();
    case SM_TABLETPC: return 0;
    default: return 0;
  }
}

BOOL SystemParametersInfoW(UINT action, UINT, void* pvParam, UINT) {
  switch (action) {
    case SPI_GETWORKAREA:
      if (!pvParam) return FALSE;
      *static_cast<RECT*>(pvParam) = Velk::Backend::Get().Display().workArea;
      return TRUE;
    case SPI_GETSCREENSAVETIMEOUT:
      if (!pvParam) return FALSE;
      *static_cast<int*>(pvParam) = 0;
      return TRUE;
    case SPI_GETSCREENSAVEACTIVE:
    case SPI_GETSCREENSAVERRUNNING:
      if (!pvParam) return FALSE;
      *static_cast<BOOL*>(pvParam) = FALSE;
      return TRUE;
    default:
      return FALSE;
  }
}
