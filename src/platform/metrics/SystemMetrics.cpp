#include "platform/metrics/SystemMetrics.h"

#include "platform/backend/Backend.h"
#include "platform/metrics/ScreenSaver.h"
#include "platform/window/WindowTable.h"
#include "platform/window/WinUser.h"

namespace {

constexpr int kCursorSize = 32;

int CaptionHeight() {
  RECT frame = Velk::WindowFrame(WS_CAPTION);
  return frame.top - frame.bottom;
}

BOOL AnswerScreenSaver(UINT action, void* out) {
  const Velk::ScreenSaverState state = Velk::ScreenSaver::Query().value_or(Velk::ScreenSaverState{});
  if (action == SPI_GETSCREENSAVETIMEOUT) {
    *static_cast<int*>(out) = static_cast<int>(state.timeoutSeconds);
  } else {
    *static_cast<BOOL*>(out) = (action == SPI_GETSCREENSAVEACTIVE ? state.active : state.running) ? TRUE : FALSE;
  }
  return TRUE;
}

}  // namespace

int GetSystemMetrics(int index) {
  Velk::DisplayInfo display = Velk::Backend::Get().Display();
  const RECT& work = display.workArea;
  switch (index) {
    case SM_CXSCREEN:
      return display.desktop.width;
    case SM_CYSCREEN:
      return display.desktop.height;
    case SM_CYCAPTION:
      return CaptionHeight();
    case SM_CXCURSOR:
    case SM_CYCURSOR:
      return kCursorSize;
    // The client area of a maximised window: the work area less the caption.
    case SM_CXFULLSCREEN:
      return work.right - work.left;
    case SM_CYFULLSCREEN:
      return work.bottom - work.top - CaptionHeight();
    case SM_TABLETPC:
      return 0;
    default:
      return 0;
  }
}

BOOL SystemParametersInfoW(UINT action, UINT, void* pvParam, UINT) {
  switch (action) {
    case SPI_GETWORKAREA:
      if (!pvParam) return FALSE;
      *static_cast<RECT*>(pvParam) = Velk::Backend::Get().Display().workArea;
      return TRUE;
    case SPI_GETSCREENSAVETIMEOUT:
    case SPI_GETSCREENSAVEACTIVE:
    case SPI_GETSCREENSAVERRUNNING:
      return pvParam ? AnswerScreenSaver(action, pvParam) : FALSE;
    default:
      return FALSE;
  }
}

BOOL GetLastInputInfo(LASTINPUTINFO* info) {
  const auto state = Velk::ScreenSaver::Query();
  if (!info || !state) return FALSE;
  info->dwTime = state->lastInputTick;
  return TRUE;
}
