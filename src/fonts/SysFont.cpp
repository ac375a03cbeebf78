#include "fonts/SysFont.h"

#include <algorithm>

#include "fonts/FontHost.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/DisplayRenderer.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"

namespace Velk {

namespace {

constexpr int kDefaultDpi = 96;
constexpr int kPointsPerInch = 72;

}  // namespace

SysFont::SysFont(const std::string& face, int pointSize, bool bold, bool italics, bool underline) {
  InitFont(FontHost::GetDefault(), face, pointSize, ANSI_CHARSET, bold, italics, underline, false);
}

SysFont::SysFont(FontHost* app, const std::string& face, int pointSize, int charSet, bool bold, bool italics,
                 bool underline) {
  InitFont(app, face, pointSize, charSet, bold, italics, underline, true);
}

// The shadow and simulated bold are copied: a copy of a shadowed font should look the same.
SysFont::SysFont(const SysFont& other)
    : Font(other), mApp(other.mApp), mDrawShadow(other.mDrawShadow), mSimulateBold(other.mSimulateBold) {
  LOGFONTA description;
  GetObjectA(other.mHFont, sizeof(description), &description);
  mHFont = CreateFontIndirectA(&description);
}

SysFont::~SysFont() { DeleteObject(mHFont); }

Font* SysFont::Duplicate() { return new SysFont(*this); }

HWND SysFont::MainWindow() const { return mApp ? mApp->GetMainWindow() : nullptr; }

void SysFont::InitFont(FontHost* app, const std::string& face, int pointSize, int charSet, bool bold, bool italics,
                       bool underline, bool useDeviceDpi) {
  mApp = app;
  HWND window = MainWindow();
  HDC dc = GetDC(window);
  const int h = MulDiv(pointSize, useDeviceDpi ? GetDeviceCaps(dc, LOGPIXELSY) : kDefaultDpi, kPointsPerInch);
  mHFont =
      CreateFontA(-h, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italics, underline, 0, static_cast<DWORD>(charSet),
                  OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
  HGDIOBJ old = SelectObject(dc, mHFont);
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  mHeight = metrics.tmHeight;
  mAscent = metrics.tmAscent;
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  mDrawShadow = false;
  mSimulateBold = false;
}

int SysFont::StringWidth(const std::wstring& str) {
  HWND window = MainWindow();
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, mHFont);
  RECT rect;
  std::wstring text = str;
  DrawTextExW(dc, text.data(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_NOPREFIX, nullptr);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return rect.right;
}

void SysFont::OutputText(HDC dc, int x, int y, const std::wstring& str, COLORREF color) const {
  const int count = static_cast<int>(str.size());
  if (mDrawShadow) {
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutW(dc, x + 1, y + 1, str.c_str(), count);
    if (mSimulateBold) TextOutW(dc, x + 2, y + 1, str.c_str(), count);
  }
  SetTextColor(dc, color);
  TextOutW(dc, x, y, str.c_str(), count);
  if (mSimulateBold) TextOutW(dc, x + 1, y, str.c_str(), count);
}

HBITMAP SysFont::RenderOver(HDC dc, int brush, int w, int h, const std::wstring& str, COLORREF color,
                            uint32_t*& bits) const {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  bits = static_cast<uint32_t*>(pixels);
  if (!bitmap) return nullptr;
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  const RECT all{0, 0, w, h};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(brush)));
  HGDIOBJ oldFont = SelectObject(dc, mHFont);
  SetBkMode(dc, TRANSPARENT);
  OutputText(dc, 0, 0, str, color);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  return bitmap;
}

void SysFont::DrawString(Graphics* g, int x, int y, const std::wstring& str, const Color& color, const Rect& clip) {
  const COLORREF textColor = RGB(color.mRed, color.mGreen, color.mBlue);
  if (auto* surfaceImage = dynamic_cast<DDImage*>(g->mDestImage)) {
    if (DrawOnSurface(g, surfaceImage, x, y, str, textColor, clip)) return;
  }
  if (g->mDestImage == &gNullImage) return;
  const int w = StringWidth(str), h = mHeight;
  // No section can be made for an empty size, and then there is nothing to draw.
  if (w <= 0 || h <= 0) return;
  HDC dc = CreateCompatibleDC(nullptr);
  uint32_t* white = nullptr;
  uint32_t* black = nullptr;
  HBITMAP whiteBitmap = RenderOver(dc, WHITE_BRUSH, w, h, str, textColor, white);
  HBITMAP blackBitmap = RenderOver(dc, BLACK_BRUSH, w, h, str, textColor, black);
  if (whiteBitmap && blackBitmap) {
    MemoryImage image;
    image.CreateBlank(w, h);
    uint32_t* out = image.GetArgbBits();
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    for (size_t i = 0; i < count; ++i) out[i] = RecoverPixel(white[i], black[i]);
    image.OnBitsChanged();
    g->DrawImage(&image, x, y - mAscent);
  }
  DeleteObject(whiteBitmap);
  DeleteObject(blackBitmap);
  DeleteDC(dc);
}

bool SysFont::DrawOnSurface(Graphics* g, DDImage* image, int x, int y, const std::wstring& str, COLORREF color,
                            const Rect& clip) {
  IDirectDrawSurface* surface = image->GetSurface();
  if (!surface) return true;
  if (image->Is3DDrawSurface()) image->mDDInterface->mRenderer->EndSceneIfBegun();
  // A locked image lends its lock; otherwise the surface is locked for this text only.
  const bool locked = image->mLockCount > 0;
  DDSURFACEDESC desc = image->mLockedSurfaceDesc;
  if (!locked && FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return true;
  HBITMAP pixels = nullptr;
  if (desc.ddpfPixelFormat.dwRGBBitCount == 32 && desc.lPitch > 0 && desc.lPitch % 4 == 0)
    pixels = CreateBitmapOverPixels(static_cast<uint32_t*>(desc.lpSurface), static_cast<int>(desc.dwWidth),
                                    static_cast<int>(desc.dwHeight), desc.lPitch / 4);
  if (pixels) {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, pixels);
    SelectObject(dc, mHFont);
    SetBkMode(dc, TRANSPARENT);
    IntersectClipRect(dc, clip.mX, clip.mY, clip.mX + clip.mWidth, clip.mY + clip.mHeight);
    // The text cell's top one pixel lower than through the memory path.
    const int top = y - mAscent + 1;
    OutputText(dc, static_cast<int>(static_cast<float>(x) + g->mTransX),
               static_cast<int>(static_cast<float>(top) + g->mTransY), str, color);
    DeleteDC(dc);
    DeleteObject(pixels);
  }
  if (!locked) surface->Unlock(nullptr);
  if (!pixels) return false;
  image->FreeNonSurfaceData();
  return true;
}

// Over white a pixel of coverage a shows 255(1 - a) + c a, over black c a: the difference gives a,
// and the black one, divided by a, gives c.
uint32_t SysFont::RecoverPixel(uint32_t white, uint32_t black) {
  if (white == black) return white | 0xFF000000u;
  if ((white & 0xFFFFFF) == 0xFFFFFF && (white & black & 0xFFFFFF) == 0) return 0;
  int alpha = 255;
  uint32_t values = 0;
  for (int shift = 16; shift >= 0; shift -= 8) {
    const int w = static_cast<int>((white >> shift) & 0xFF), k = static_cast<int>((black >> shift) & 0xFF);
    const int a = 255 - (w - k);
    // No coverage estimate for the channel: nothing of the text is known here.
    if (a <= 0) return 0;
    alpha = std::min(alpha, a);
    values |= static_cast<uint32_t>(std::min(k * 255 / a, 255)) << shift;
  }
  return (static_cast<uint32_t>(alpha) << 24) | values;
}

}  // namespace Velk
