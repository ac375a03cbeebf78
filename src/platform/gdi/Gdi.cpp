#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <utility>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiBitmap.h"
#include "platform/gdi/GdiBrush.h"
#include "platform/gdi/GdiFont.h"

namespace {

constexpr int kScreenDpi = 96;
// The cell height of the stock system font.
constexpr LONG kSystemFontHeight = 16;

uint32_t PixelOf(COLORREF color) { return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF); }

GdiFont* SystemFont() {
  static GdiFont* font = [] {
    LOGFONTA description;
    description.lfHeight = kSystemFontHeight;
    description.lfWeight = FW_NORMAL;
    std::strcpy(description.lfFaceName, "System");
    return new GdiFont(description, true);
  }();
  return font;
}

// Lines end at '\n', '\r' or "\r\n".
template <typename OnLine>
void ForEachLine(const wchar_t* text, int count, OnLine onLine) {
  int start = 0;
  for (int i = 0; i <= count; ++i) {
    if (i < count && text[i] != L'\n' && text[i] != L'\r') continue;
    onLine(text + start, i - start);
    if (i + 1 < count && text[i] == L'\r' && text[i + 1] == L'\n') ++i;
    start = i + 1;
  }
}

}  // namespace

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  int64_t product = static_cast<int64_t>(a) * b;
  int64_t half = (c < 0 ? -static_cast<int64_t>(c) : c) / 2;
  bool negative = (product < 0) != (c < 0);
  int64_t magnitude = (product < 0 ? -product : product) + half;
  int64_t result = magnitude / (c < 0 ? -static_cast<int64_t>(c) : c);
  if (negative) result = -result;
  if (result > INT_MAX || result < INT_MIN) return -1;
  return static_cast<int>(result);
}

HDC GetDC(HWND) { return new DeviceContext; }

int ReleaseDC(HWND, HDC dc) {
  delete dc;
  return 1;
}

HDC CreateCompatibleDC(HDC) { return new DeviceContext; }

BOOL DeleteDC(HDC dc) {
  delete dc;
  return dc ? TRUE : FALSE;
}

int GetDeviceCaps(HDC, int index) { return index == LOGPIXELSX || index == LOGPIXELSY ? kScreenDpi : 0; }

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, const char* faceName) {
  LOGFONTA d;
  d.lfHeight = height;
  d.lfWidth = width;
  d.lfEscapement = escapement;
  d.lfOrientation = orientation;
  d.lfWeight = weight;
  d.lfItalic = static_cast<BYTE>(italic);
  d.lfUnderline = static_cast<BYTE>(underline);
  d.lfStrikeOut = static_cast<BYTE>(strikeOut);
  d.lfCharSet = static_cast<BYTE>(charSet);
  d.lfOutPrecision = static_cast<BYTE>(outPrecision);
  d.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  d.lfQuality = static_cast<BYTE>(quality);
  d.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (faceName) std::strncpy(d.lfFaceName, faceName, LF_FACESIZE - 1);
  return new GdiFont(d);
}

HFONT CreateFontIndirectA(const LOGFONTA* description) { return description ? new GdiFont(*description) : nullptr; }

int GetObjectA(HGDIOBJ object, int size, void* out) {
  auto* font = dynamic_cast<GdiFont*>(object);
  if (!font || !out || size < static_cast<int>(sizeof(LOGFONTA))) return 0;
  std::memcpy(out, &font->Description(), sizeof(LOGFONTA));
  return sizeof(LOGFONTA);
}

HGDIOBJ GetStockObject(int which) {
  static HBRUSH__ white(0xFFFFFF, true);
  static HBRUSH__ black(0x000000, true);
  switch (which) {
    case WHITE_BRUSH:
      return &white;
    case BLACK_BRUSH:
      return &black;
    case SYSTEM_FONT:
      return SystemFont();
    default:
      return nullptr;
  }
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  if (!dc) return nullptr;
  if (auto* font = dynamic_cast<GdiFont*>(object)) return std::exchange(dc->mFont, font);
  if (auto* bitmap = dynamic_cast<GdiBitmap*>(object)) return std::exchange(dc->mBitmap, bitmap);
  return nullptr;
}

BOOL DeleteObject(HGDIOBJ object) {
  if (!object || object->IsStock()) return FALSE;
  delete object;
  return TRUE;
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
  if (!dc || !metrics) return FALSE;
  metrics->tmAscent = dc->mFont->Ascent();
  metrics->tmDescent = dc->mFont->Descent();
  metrics->tmHeight = metrics->tmAscent + metrics->tmDescent;
  return TRUE;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD) {
  if (bits) *bits = nullptr;
  if (!info || usage != DIB_RGB_COLORS) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biBitCount != 32 || h.biCompression != BI_RGB || h.biPlanes != 1 || h.biWidth <= 0 || h.biHeight >= 0 ||
      h.biHeight == INT32_MIN)
    return nullptr;
  auto* bitmap = new GdiBitmap(h.biWidth, -h.biHeight);
  if (bits) *bits = bitmap->Pixels();
  return bitmap;
}

HBITMAP CreateBitmapOverPixels(uint32_t* pixels, int width, int height, int pitch) {
  if (!pixels || width <= 0 || height <= 0 || pitch < width) return nullptr;
  return new GdiBitmap(pixels, width, height, pitch);
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  if (!dc || !rect || !brush) return 0;
  TextTarget target = dc->Target();
  const int left = std::max<int>(rect->left, target.clip.left), right = std::min<int>(rect->right, target.clip.right);
  const int top = std::max<int>(rect->top, target.clip.top), bottom = std::min<int>(rect->bottom, target.clip.bottom);
  for (int y = top; y < bottom; ++y)
    std::fill(target.pixels + static_cast<ptrdiff_t>(y) * target.pitch + left,
              target.pixels + static_cast<ptrdiff_t>(y) * target.pitch + std::max(left, right), brush->Pixel());
  return 1;
}

int SetBkMode(HDC dc, int mode) { return dc ? std::exchange(dc->mBkMode, mode) : 0; }

COLORREF SetTextColor(HDC dc, COLORREF color) { return dc ? std::exchange(dc->mTextColor, color) : 0; }

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
  if (!dc) return 0;
  RECT clip{left, top, right, bottom};
  if (dc->mHasClip) {
    clip.left = std::max(clip.left, dc->mClip.left);
    clip.top = std::max(clip.top, dc->mClip.top);
    clip.right = std::min(clip.right, dc->mClip.right);
    clip.bottom = std::min(clip.bottom, dc->mClip.bottom);
  }
  dc->mClip = clip;
  dc->mHasClip = true;
  // SIMPLEREGION or NULLREGION
  return clip.left < clip.right && clip.top < clip.bottom ? 2 : 1;
}

BOOL TextOutW(HDC dc, int x, int y, const wchar_t* text, int count) {
  if (!dc || (!text && count > 0)) return FALSE;
  dc->mFont->Draw(dc->Target(), x, y, text, count, PixelOf(dc->mTextColor));
  return TRUE;
}

int DrawTextExW(HDC dc, wchar_t* text, int count, RECT* rect, UINT format, DRAWTEXTPARAMS*) {
  if (!dc || !rect || !(format & DT_CALCRECT)) return 0;
  if (!text) count = 0;
  if (count < 0) count = static_cast<int>(std::wcslen(text));
  int widest = 0, lines = 0;
  auto measure = [&](const wchar_t* line, int length) {
    widest = std::max(widest, dc->mFont->LineWidth(line, length));
    ++lines;
  };
  if (format & DT_SINGLELINE)
    measure(text, count);
  else
    ForEachLine(text, count, measure);
  const int height = lines * (dc->mFont->Ascent() + dc->mFont->Descent());
  rect->right = rect->left + widest;
  rect->bottom = rect->top + height;
  return height;
}
