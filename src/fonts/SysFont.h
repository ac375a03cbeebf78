#pragma once
#include <cstdint>
#include <string>

#include "fonts/Font.h"
#include "platform/gdi/Gdi.h"

namespace Velk {

class DDImage;
class FontHost;

// A font of the system, drawn by its text output through a pair of bitmaps whose difference
// gives the text's alpha.
class SysFont : public Font {
 public:
  HFONT mHFont = nullptr;  // owned
  FontHost* mApp = nullptr;
  bool mDrawShadow = false;    // a black copy one pixel right and down, under the text
  bool mSimulateBold = false;  // every output repeated one pixel to the right

  // The global application, the ANSI character set and 96 pixels per inch.
  SysFont(const std::string& face, int pointSize, bool bold, bool italics, bool underline);
  // The screen's pixels per inch.
  SysFont(FontHost* app, const std::string& face, int pointSize, int charSet, bool bold, bool italics, bool underline);
  SysFont(const SysFont& other);
  SysFont& operator=(const SysFont&) = delete;
  ~SysFont() override;

  int StringWidth(const std::wstring& str) override;
  void DrawString(Graphics* g, int x, int y, const std::wstring& str, const Color& color, const Rect& clip) override;
  Font* Duplicate() override;

  // One ARGB pixel from the same pixel of text drawn over white and over black (0x00RRGGBB each).
  static uint32_t RecoverPixel(uint32_t white, uint32_t black);

 private:
  void InitFont(FontHost* app, const std::string& face, int pointSize, int charSet, bool bold, bool italics,
                bool underline, bool useDeviceDpi);
  HWND MainWindow() const;
  // Text straight onto the pixels of a 32-bit display surface; false for a surface of another depth,
  // which then takes the memory path.
  bool DrawOnSurface(Graphics* g, DDImage* image, int x, int y, const std::wstring& str, COLORREF color,
                     const Rect& clip);
  // The shadow and the text with the cell's top-left at (x, y).
  void OutputText(HDC dc, int x, int y, const std::wstring& str, COLORREF color) const;
  // Text over the given stock brush into a new w x h section; null when it cannot be made.
  HBITMAP RenderOver(HDC dc, int brush, int w, int h, const std::wstring& str, COLORREF color, uint32_t*& bits) const;
};

}  // namespace Velk
