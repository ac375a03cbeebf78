#pragma once
// System metrics and system parameters, answered from the back end's desktop.

#include "platform/base/WinTypes.h"

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXCURSOR = 13;
constexpr int SM_CYCURSOR = 14;
constexpr int SM_CXFULLSCREEN = 16;
constexpr int SM_CYFULLSCREEN = 17;
constexpr int SM_TABLETPC = 86;

constexpr UINT SPI_GETSCREENSAVETIMEOUT = 0x000E;
constexpr UINT SPI_GETSCREENSAVEACTIVE = 0x0010;
constexpr UINT SPI_GETWORKAREA = 0x0030;
constexpr UINT SPI_SCREENSAVERRUNNING = 0x0061;
constexpr UINT SPI_GETSCREENSAVERRUNNING = 0x0072;

struct LASTINPUTINFO {
  UINT cbSize = sizeof(LASTINPUTINFO);
  DWORD dwTime = 0;
};

int GetSystemMetrics(int index);
// SPI_GETWORKAREA fills a RECT. The screen saver's answers come from the desktop's (ScreenSaver);
// where it cannot tell, the saver is inactive (timeout 0, not running). Setting its running state
// is refused.
BOOL SystemParametersInfoW(UINT action, UINT uiParam, void* pvParam, UINT winIni);
inline BOOL SystemParametersInfoA(UINT action, UINT uiParam, void* pvParam, UINT winIni) {
  return SystemParametersInfoW(action, uiParam, pvParam, winIni);
}
// The tick of the desktop's last input; FALSE where the desktop cannot tell.
BOOL GetLastInputInfo(LASTINPUTINFO* info);
