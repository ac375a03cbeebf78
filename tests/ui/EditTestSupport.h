#pragma once
// A font with one advance for every character it draws (none for control characters and '~'),
// and a name field's host with a clipboard of its own.
#include <string>

#include "fonts/Font.h"
#include "ui/QCEditBuffer.h"

class FixedAdvanceFont : public Velk::Font {
 public:
  explicit FixedAdvanceFont(int advance, int height = 12, int ascent = 9) : mAdvance(advance) {
    mHeight = height;
    mAscent = ascent;
  }
  int StringWidth(const std::wstring& s) override {
    int w = 0;
    for (wchar_t c : s) w += CharWidth(c);
    return w;
  }
  int CharWidth(wchar_t c) override { return c < 32 || c == L'~' ? 0 : mAdvance; }
  Font* Duplicate() override { return new FixedAdvanceFont(*this); }

  int mAdvance;
};

class ClipboardHost : public QCEditBuffer::Host {
 public:
  std::string clipboard;
  bool extended = true;
  std::string GetClipboardText() override { return clipboard; }
  void SetClipboardText(const std::string& text) override { clipboard = text; }
  bool AllowsExtendedChars() override { return extended; }
};
