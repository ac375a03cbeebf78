#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "platform/gdi/FaceFiles.h"
#include "platform/gdi/Gdi.h"

namespace {

// A memory context holding a top-down section of w x h pixels, filled white.
struct Section {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = nullptr;
  uint32_t* bits = nullptr;

  Section(int w, int h) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* pixels = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    bits = static_cast<uint32_t*>(pixels);
    SelectObject(dc, bitmap);
    const RECT all{0, 0, w, h};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~Section() {
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
};

HFONT Sans(int pixels, const char* face = "Arial", bool underline = false) {
  return CreateFontA(-pixels, 0, 0, 0, FW_NORMAL, 0, underline, 0, ANSI_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                     ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

int Measure(HDC dc, const wchar_t* text) {
  RECT r;
  std::wstring s = text;
  DrawTextExW(dc, s.data(), static_cast<int>(s.size()), &r, DT_CALCRECT | DT_NOPREFIX, nullptr);
  return r.right;
}

TEST(GdiTextTest, MulDivRoundsHalfAwayFromZero) {
  EXPECT_EQ(MulDiv(12, 96, 72), 16);
  EXPECT_EQ(MulDiv(8, 96, 72), 11);   // 10.67
  EXPECT_EQ(MulDiv(10, 96, 72), 13);  // 13.33
  EXPECT_EQ(MulDiv(3, 1, 2), 2);
  EXPECT_EQ(MulDiv(-3, 1, 2), -2);
  EXPECT_EQ(MulDiv(3, 1, -2), -2);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(0x7FFFFFFF, 4, 2), -1);
  EXPECT_EQ(MulDiv(0x40000000, 4, 8), 0x20000000);
}

TEST(GdiTextTest, RequestedFacesBecomeDejaVuFiles) {
  EXPECT_EQ(FaceFilePath("Arial", false, false), "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  EXPECT_EQ(FaceFilePath("Tahoma", true, false), "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
  EXPECT_EQ(FaceFilePath("courier new", false, true), "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Oblique.ttf");
  EXPECT_EQ(FaceFilePath("Courier New", true, true), "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-BoldOblique.ttf");
}

TEST(GdiTextTest, SectionsAreMadeOnlyForA32BitTopDownSize) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 0, -4, 1, 32, BI_RGB};
  void* bits = &info;
  EXPECT_EQ(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(bits, nullptr);
  info.bmiHeader.biWidth = 4;
  info.bmiHeader.biHeight = 0;
  EXPECT_EQ(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  info.bmiHeader.biHeight = -4;
  info.bmiHeader.biBitCount = 24;
  EXPECT_EQ(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_FALSE(DeleteObject(GetStockObject(WHITE_BRUSH)));
  DeleteDC(dc);
}

TEST(GdiTextTest, MeasuringAddsAdvancesAndTakesTheWidestLine) {
  HDC dc = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
  HFONT font = Sans(16);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA tm;
  ASSERT_TRUE(GetTextMetricsA(dc, &tm));
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  const int a = Measure(dc, L"A"), b = Measure(dc, L"V");
  EXPECT_EQ(Measure(dc, L"AV"), a + b);  // no kerning
  EXPECT_EQ(Measure(dc, L"AV\r\nAVAV\nA"), 2 * (a + b));
  RECT r{0, 0, 0, 0};
  std::wstring two = L"A\nB";
  EXPECT_EQ(DrawTextExW(dc, two.data(), 3, &r, DT_CALCRECT, nullptr), 2 * tm.tmHeight);
  // A surrogate pair is one character, not two missing ones.
  EXPECT_NE(Measure(dc, L"\xD83D\xDE00"), Measure(dc, L"\xD83D") + Measure(dc, L"\xDE00"));
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
}

TEST(GdiTextTest, TextBlendsCoverageInTheColourInsideTheClip) {
  Section s(40, 30);
  HFONT font = Sans(20, "Arial", true);
  SelectObject(s.dc, font);
  SetBkMode(s.dc, TRANSPARENT);
  SetTextColor(s.dc, RGB(255, 0, 0));
  IntersectClipRect(s.dc, 0, 0, 20, 30);
  ASSERT_TRUE(TextOutW(s.dc, 2, 1, L"\x2588\x2588", 2));  // full blocks
  int red = 0;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      const uint32_t p = s.bits[y * 40 + x];
      if (x >= 20) {
        EXPECT_EQ(p, 0xFFFFFFu) << x << "," << y;  // clipped; the top byte stays 0
      }
      if (p == 0xFF0000) ++red;
      EXPECT_EQ(p >> 8 & 0xFF, p & 0xFF) << x << "," << y;  // blends towards red keep green = blue
    }
  }
  EXPECT_GT(red, 100);
  EXPECT_EQ(s.bits[0], 0xFFFFFFu);  // above and left of the cell
  DeleteObject(font);
}

// Fonts are made on the loading thread while the main thread draws: both go through one FreeType.
TEST(GdiTextTest, FontsCanBeMadeMeasuredAndDrawnOnTwoThreadsAtOnce) {
  auto work = [](int pixels, std::vector<int>& widths) {
    for (int i = 0; i < 20; ++i) {
      Section s(80, 40);
      HFONT font = Sans(pixels + i % 3, i % 2 ? "Courier New" : "Arial");
      SelectObject(s.dc, font);
      widths.push_back(Measure(s.dc, L"Thread safe"));
      TextOutW(s.dc, 0, 0, L"Thread safe", 11);
      SelectObject(s.dc, GetStockObject(SYSTEM_FONT));
      DeleteObject(font);
    }
  };
  std::vector<int> alone, first, second;
  work(12, alone);
  std::thread t1(work, 12, std::ref(first));
  std::thread t2(work, 14, std::ref(second));
  t1.join();
  t2.join();
  EXPECT_EQ(first, alone);
  EXPECT_EQ(second.size(), 20u);
}

}  // namespace
