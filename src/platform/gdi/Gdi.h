#pragma once
// The GDI text calls that system fonts make: fonts, device contexts, 32-bit DIB sections, stock
// brushes, measuring and text output. Text is rendered by FreeType from the DejaVu faces that stand
// in for the requested ones. The device is a 96 dpi screen.

#include <cstdint>

#include "platform/base/WinTypes.h"

class GdiObject;
class GdiFont;
class GdiBitmap;
struct HBRUSH__;
class DeviceContext;

using HGDIOBJ = GdiObject*;
using HFONT = GdiFont*;
using HBITMAP = GdiBitmap*;
using HBRUSH = HBRUSH__*;
using HDC = DeviceContext*;
using COLORREF = DWORD;

constexpr COLORREF RGB(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

constexpr int LF_FACESIZE = 32;

struct LOGFONTA {
  LONG lfHeight = 0;
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = 0;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 0;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  char lfFaceName[LF_FACESIZE] = {};
};

struct TEXTMETRICA {
  LONG tmHeight = 0;
  LONG tmAscent = 0;
  LONG tmDescent = 0;
};

struct BITMAPINFOHEADER {
  DWORD biSize = 0;
  LONG biWidth = 0;
  LONG biHeight = 0;
  WORD biPlanes = 0;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};

struct RGBQUAD {
  BYTE rgbBlue = 0;
  BYTE rgbGreen = 0;
  BYTE rgbRed = 0;
  BYTE rgbReserved = 0;
};

struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

struct DRAWTEXTPARAMS;

constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

constexpr int FW_NORMAL = 400;
constexpr int FW_SEMIBOLD = 600;
constexpr int FW_BOLD = 700;

constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE OUT_TT_PRECIS = 4;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FF_DONTCARE = 0;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr UINT DT_SINGLELINE = 0x00000020;
constexpr UINT DT_CALCRECT = 0x00000400;
constexpr UINT DT_NOPREFIX = 0x00000800;

constexpr DWORD BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;

constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_BRUSH = 4;
constexpr int SYSTEM_FONT = 13;

constexpr int GDI_ERROR = -1;

// The objects behind the handles, so that a handle converts to HGDIOBJ as it does on Windows.
#include "platform/gdi/GdiBitmap.h"
#include "platform/gdi/GdiBrush.h"
#include "platform/gdi/GdiFont.h"

// a * b / c in 64 bits, rounded half away from zero; -1 when c is 0 or the result leaves 32 bits.
int MulDiv(int a, int b, int c);

// A measuring context on the screen; the window is not consulted.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
int GetDeviceCaps(HDC dc, int index);

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, const char* faceName);
HFONT CreateFontIndirectA(const LOGFONTA* description);
// Fills a LOGFONTA of a font; returns the bytes written, 0 for anything else.
int GetObjectA(HGDIOBJ object, int size, void* out);
HGDIOBJ GetStockObject(int which);
// Returns the object of the same kind that was selected before; null on a bad argument.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Stock objects are never deleted.
BOOL DeleteObject(HGDIOBJ object);
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);

// Only 32-bit uncompressed top-down sections (negative height) are made; null otherwise, and for an
// empty size.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
// The pixels of a locked 32-bit display surface as a bitmap, rows pitch pixels apart; the memory
// stays the surface's. Selected into a memory context it takes the place of the surface's own DC.
HBITMAP CreateBitmapOverPixels(uint32_t* pixels, int width, int height, int pitch);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);

int SetBkMode(HDC dc, int mode);
COLORREF SetTextColor(HDC dc, COLORREF color);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
// (x, y) is the top-left of the text cell; anti-aliased coverage is blended over the pixels.
BOOL TextOutW(HDC dc, int x, int y, const wchar_t* text, int count);
// Measures only (DT_CALCRECT): rect.right grows by the widest line's advance, rect.bottom by the
// lines' height; '&' is never a prefix. Returns the text height, 0 without DT_CALCRECT.
int DrawTextExW(HDC dc, wchar_t* text, int count, RECT* rect, UINT format, DRAWTEXTPARAMS* params);
